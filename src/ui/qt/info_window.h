// The "Info" window: name, banner, notice, version and the two links. Modeless; its button,
// its links and its close box report to the event gate as window 1.
#ifndef ALBUMORA_UI_QT_INFO_WINDOW_H_
#define ALBUMORA_UI_QT_INFO_WINDOW_H_

#include <QWidget>
#include <map>
#include <string>

#include "ui/window_events.h"

namespace albumora {

inline constexpr int kInfoClientWidth = 301;
inline constexpr int kInfoClientHeight = 331;
inline constexpr int kInfoWindowX = 273;
inline constexpr int kInfoWindowY = 3;

class InfoWindow : public QWidget {
  Q_OBJECT

 public:
  // `version` and `build` are ProgramVersion and ProgramBuild; `website` the product's address.
  InfoWindow(WindowEventSink& gate, const std::string& version, const std::string& build,
             const std::string& website);

  // The widget of control 0..8 or 10, or nullptr.
  QWidget* control(int number) const;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void Report(EventKind kind, int number);

  WindowEventSink& gate_;
  std::map<int, QWidget*> controls_;
};

}  // namespace albumora

#endif  // ALBUMORA_UI_QT_INFO_WINDOW_H_
