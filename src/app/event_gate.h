// Where the windows hand their events to the program. While a command runs, or while a run lets
// the window breathe (KeepAlive), the gate is busy and drops every event that arrives: one
// command runs to its end before the next is read, and commands given during a run are lost.
// Events still queued when a command ends are handled afterwards, in order, unless the command
// was a generation run.
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

  void NoteRun() override { run_in_command_ = true; }

  // Runs the handler unless busy; the handler itself runs busy. When the command was a run, what
  // the user did meanwhile and is still waiting (a click during the run's last pause, a close
  // request) belongs to the run: it is dropped now rather than run once the run is over. After
  // any other command the waiting events stay queued and each is handled in its turn, so that a
  // quick second action is not lost while its widget already shows it.
  void Deliver(const WindowEvent& event) override {
    if (busy() || !handler_) return;
    BusyScope scope(*this);
    run_in_command_ = false;
    handler_(event);
    if (run_in_command_ && drain_) drain_();
    run_in_command_ = false;
  }

 private:
  void EnterBusy() override { ++busy_depth_; }
  void LeaveBusy() override { --busy_depth_; }

  Handler handler_;
  std::function<void()> drain_;
  int busy_depth_ = 0;
  bool run_in_command_ = false;
};

}  // namespace albumora

#endif  // ALBUMORA_APP_EVENT_GATE_H_
