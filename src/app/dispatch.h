// The event loop's dispatch: menu items and control events by number, and close requests.
#ifndef ALBUMORA_APP_DISPATCH_H_
#define ALBUMORA_APP_DISPATCH_H_

#include "app/commands.h"

namespace albumora {

enum class EventKind { kMenu, kControl, kClose };

// Window numbers.
inline constexpr int kMainWindowNumber = 0;
inline constexpr int kInfoWindowNumber = 1;

struct WindowEvent {
  EventKind kind;
  int window;  // kMainWindowNumber or kInfoWindowNumber
  int number;  // the menu item or the control; unused for a close request
};

// Runs the command of one event. Menu items and controls without an action do nothing.
void DispatchEvent(AppContext& app, const WindowEvent& event);

}  // namespace albumora

#endif  // ALBUMORA_APP_DISPATCH_H_
