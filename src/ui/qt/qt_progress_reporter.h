// Progress of a run in the main window: the status fields, the progress bar, the run buttons,
// and KeepAlive, which lets the window repaint and take typing while every command is dropped.
#ifndef ALBUMORA_UI_QT_QT_PROGRESS_REPORTER_H_
#define ALBUMORA_UI_QT_QT_PROGRESS_REPORTER_H_

#include <functional>

#include "ui/progress_reporter.h"
#include "ui/qt/qt_controls.h"
#include "ui/window_events.h"

namespace albumora {

class QtProgressReporter : public ProgressReporter {
 public:
  using Sleeper = std::function<void(int milliseconds)>;

  // `sleep` waits the given time; the default really sleeps.
  QtProgressReporter(QtControls& controls, WindowEventSink& gate, Sleeper sleep = {});

  void ShowPhotoCount(int count) override;
  void ShowStatus(std::string_view text) override;
  void SetProgressMaximum(int maximum) override;
  void SetProgress(int position) override;
  void KeepAlive(int pause_ms) override;
  void SetRunControls(bool running) override;
  void Pause(int pause_ms) override;

 private:
  QtControls& controls_;
  WindowEventSink& gate_;
  Sleeper sleep_;
};

}  // namespace albumora

#endif  // ALBUMORA_UI_QT_QT_PROGRESS_REPORTER_H_
