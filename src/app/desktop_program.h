// The desktop program put together: the main window, its controls and reporter, the event gate
// wired to the dispatch tables, the requesters and the info window.
#ifndef ALBUMORA_APP_DESKTOP_PROGRAM_H_
#define ALBUMORA_APP_DESKTOP_PROGRAM_H_

#include <functional>
#include <memory>
#include <vector>

#include "app/commands.h"
#include "app/event_gate.h"
#include "settings/program_values.h"
#include "ui/qt/info_window.h"
#include "ui/qt/main_window.h"
#include "ui/qt/qt_application.h"
#include "ui/qt/qt_controls.h"
#include "ui/qt/qt_progress_reporter.h"
#include "ui/services.h"

namespace albumora {

class DesktopProgram : public WindowShell {
 public:
  struct Options {
    Requesters* requesters = nullptr;   // nullptr: Qt's file dialogs
    Launcher* launcher = nullptr;       // nullptr: QProcess and the desktop's handler
    QtProgressReporter::Sleeper sleep;  // empty: really sleep
    std::function<void()> on_end;       // leaves the event loop
  };

  DesktopProgram(ProgramValues values, Options options);
  ~DesktopProgram() override;
  DesktopProgram(const DesktopProgram&) = delete;
  DesktopProgram& operator=(const DesktopProgram&) = delete;

  // The start-up steps after the window exists (settings, rules, photo count), then shows it.
  void Start();

  void ShowInfo() override;
  void CloseInfo() override;
  void EndProgram() override;

  MainWindow& window() { return *window_; }
  QtControls& controls() { return controls_; }
  QtProgressReporter& reporter() { return reporter_; }
  EventGate& gate() { return gate_; }
  const ProgramValues& values() const { return values_; }
  InfoWindow* info_window() const { return info_.get(); }
  bool ended() const { return ended_; }

 private:
  void RetireInfoWindow();

  ProgramValues values_;
  Options options_;
  EventGate gate_;
  std::unique_ptr<MainWindow> window_;
  QtControls controls_;
  QtProgressReporter reporter_;
  std::unique_ptr<Requesters> own_requesters_;
  std::unique_ptr<Launcher> own_launcher_;
  AppContext app_;
  std::unique_ptr<InfoWindow> info_;
  // Closed info windows, kept until no handler of theirs can be on the call stack any more.
  std::vector<std::unique_ptr<InfoWindow>> retired_;
  bool ended_ = false;
};

}  // namespace albumora

#endif  // ALBUMORA_APP_DESKTOP_PROGRAM_H_
