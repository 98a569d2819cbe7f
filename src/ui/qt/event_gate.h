// Where the windows hand their events to the program. While a command runs, or while a run lets
// the window breathe (KeepAlive), the gate is busy and drops every event that arrives: one
// command runs to its end before the next is read, and commands given during a run are lost.
#ifndef ALBUMORA_UI_QT_EVENT_GATE_H_
#define ALBUMORA_UI_QT_EVENT_GATE_H_

#include <functional>
#include <utility>

#include "app/dispatch.h"

namespace albumora {

class EventGate {
 public:
  using Handler = std::function<void(const WindowEvent&)>;

  // Marks the gate busy for its lifetime; scopes nest.
  class BusyScope {
   public:
    explicit BusyScope(EventGate& gate) : gate_(gate) { ++gate_.busy_depth_; }
    ~BusyScope() { --gate_.busy_depth_; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

   private:
    EventGate& gate_;
  };

  void set_handler(Handler handler) { handler_ = std::move(handler); }
  bool busy() const { return busy_depth_ > 0; }

  // Runs the handler unless busy; the handler itself runs busy.
  void Deliver(const WindowEvent& event) {
    if (busy() || !handler_) return;
    BusyScope scope(*this);
    handler_(event);
  }

 private:
  Handler handler_;
  int busy_depth_ = 0;
};

}  // namespace albumora

#endif  // ALBUMORA_UI_QT_EVENT_GATE_H_
