// Where the windows hand their events to the program. While a command runs, or while a run lets
// the window breathe (KeepAlive), the gate is busy and drops every event that arrives: one
// command runs to its end before the next is read, and commands given during a run are lost.
#ifndef ALBUMORA_APP_EVENT_GATE_H_
#define ALBUMORA_APP_EVENT_GATE_H_

#include <functional>
#include <utility>

#include "ui/window_events.h"

namespace albumora {

class EventGate : public WindowEventSink {
 public:
  using Handler = std::function<void(const WindowEvent&)>;

  void set_handler(Handler handler) { handler_ = std::move(handler); }
  // Handles the window events that are pending (the gate is busy meanwhile).
  void set_drain(std::function<void()> drain) { drain_ = std::move(drain); }
  bool busy() const { return busy_depth_ > 0; }

  // Runs the handler unless busy; the handler itself runs busy. What the user did while it ran
  // and that is still waiting (a click during a run's last pause, a close request) belongs to
  // that time: it is dropped now rather than run once the command is over.
  void Deliver(const WindowEvent& event) override {
    if (busy() || !handler_) return;
    BusyScope scope(*this);
    handler_(event);
    if (drain_) drain_();
  }

 private:
  void EnterBusy() override { ++busy_depth_; }
  void LeaveBusy() override { --busy_depth_; }

  Handler handler_;
  std::function<void()> drain_;
  int busy_depth_ = 0;
};

}  // namespace albumora

#endif  // ALBUMORA_APP_EVENT_GATE_H_
