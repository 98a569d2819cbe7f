#include "ui/qt/qt_progress_reporter.h"

#include <QCoreApplication>
#include <chrono>
#include <thread>

#include "platform/text.h"
#include "ui/control_ids.h"

namespace albumora {
namespace {

void SleepFor(int milliseconds) {
  if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace

QtProgressReporter::QtProgressReporter(QtControls& controls, WindowEventSink& gate, Sleeper sleep)
    : controls_(controls), gate_(gate), sleep_(sleep ? std::move(sleep) : Sleeper(SleepFor)) {}

void QtProgressReporter::ShowPhotoCount(int count) {
  controls_.SetStatusField(0, std::string(kPhotoCountPrefix) + Decimal(count));
}

void QtProgressReporter::ShowStatus(std::string_view text) { controls_.SetStatusField(1, text); }

void QtProgressReporter::SetProgressMaximum(int maximum) {
  controls_.SetControlMaximum(ctl::kProgressBar, maximum);
}

void QtProgressReporter::SetProgress(int position) {
  controls_.SetControlState(ctl::kProgressBar, position);
}

void QtProgressReporter::KeepAlive(int pause_ms) {
  gate_.NoteRun();
  {
    // Painting, typing and ticking happen; every command the events carry is dropped for good.
    WindowEventSink::BusyScope busy(gate_);
    QCoreApplication::processEvents();
  }
  sleep_(pause_ms);
}

void QtProgressReporter::SetRunControls(bool running) {
  if (running) gate_.NoteRun();
  controls_.DisableControl(ctl::kQuit, running);
  controls_.DisableControl(ctl::kCreateWebsite, running);
  controls_.DisableControl(ctl::kCancel, !running);
}

void QtProgressReporter::Pause(int pause_ms) { sleep_(pause_ms); }

}  // namespace albumora
