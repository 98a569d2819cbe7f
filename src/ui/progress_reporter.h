// How a generation run shows its progress and keeps the window alive.
#ifndef ALBUMORA_UI_PROGRESS_REPORTER_H_
#define ALBUMORA_UI_PROGRESS_REPORTER_H_

#include <string_view>

namespace albumora {

inline constexpr std::string_view kPhotoCountPrefix = "Anzahl der Fotos im Verzeichnis: ";

class ProgressReporter {
 public:
  virtual ~ProgressReporter() = default;

  // Status field 0: kPhotoCountPrefix + count.
  virtual void ShowPhotoCount(int count) = 0;
  // Status field 1 (Windows-1252 text).
  virtual void ShowStatus(std::string_view text) = 0;
  virtual void SetProgressMaximum(int maximum) = 0;
  virtual void SetProgress(int position) = 0;
  // Handles at most one pending window event, drops the command it carries, then sleeps.
  virtual void KeepAlive(int pause_ms) = 0;
  // True disables buttons 88 and 86 and enables 87; false the reverse. 87 stays hidden.
  virtual void SetRunControls(bool running) = 0;
  // A plain pause that handles no events. Only the window's reporter actually waits; it exists
  // so that a person can read the status text.
  virtual void Pause(int pause_ms) = 0;
};

}  // namespace albumora

#endif  // ALBUMORA_UI_PROGRESS_REPORTER_H_
