// What the windows report to the program: menu items, control events and close requests, handed
// to a sink that the program provides.
#ifndef ALBUMORA_UI_WINDOW_EVENTS_H_
#define ALBUMORA_UI_WINDOW_EVENTS_H_

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

class WindowEventSink {
 public:
  virtual ~WindowEventSink() = default;

  // Runs the command of the event, or drops it while the program is busy.
  virtual void Deliver(const WindowEvent& event) = 0;

  // Marks the command being handled as a generation run: what the user did during it and is
  // still waiting when it ends is dropped, not run afterwards.
  virtual void NoteRun() = 0;

  // While at least one busy scope lives, every delivered event is dropped. Scopes nest.
  class BusyScope {
   public:
    explicit BusyScope(WindowEventSink& sink) : sink_(sink) { sink_.EnterBusy(); }
    ~BusyScope() { sink_.LeaveBusy(); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

   private:
    WindowEventSink& sink_;
  };

 private:
  virtual void EnterBusy() = 0;
  virtual void LeaveBusy() = 0;
};

}  // namespace albumora

#endif  // ALBUMORA_UI_WINDOW_EVENTS_H_
