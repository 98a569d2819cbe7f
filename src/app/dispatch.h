// The event loop's dispatch: menu items and control events by number, and close requests.
#ifndef ALBUMORA_APP_DISPATCH_H_
#define ALBUMORA_APP_DISPATCH_H_

#include "app/commands.h"
#include "ui/window_events.h"

namespace albumora {

// Runs the command of one event. Menu items and controls without an action do nothing.
void DispatchEvent(AppContext& app, const WindowEvent& event);

}  // namespace albumora

#endif  // ALBUMORA_APP_DISPATCH_H_
