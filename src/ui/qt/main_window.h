// The main window, built from the control table: menu bar, toolbar, settings panel with its three
// tabs, progress bar, buttons and the two-field status bar, each control at its fixed place.
// Every user action on a control, every menu item and the close box go to the event gate.
#ifndef ALBUMORA_UI_QT_MAIN_WINDOW_H_
#define ALBUMORA_UI_QT_MAIN_WINDOW_H_

#include <QWidget>
#include <map>

#include "ui/control_table.h"
#include "ui/window_events.h"

class QAction;
class QButtonGroup;
class QLabel;
class QMenuBar;
class QToolBar;

namespace albumora {

inline constexpr int kMainClientWidth = 499;
inline constexpr int kMainClientHeight = 451;  // the menu bar takes its height from this
inline constexpr int kMainWindowX = 467;
inline constexpr int kMainWindowY = 204;
inline constexpr int kToolBarHeight = 28;
inline constexpr int kStatusBarHeight = 20;
inline constexpr int kStatusFieldWidths[] = {200, 296};

class MainWindow : public QWidget {
  Q_OBJECT

 public:
  explicit MainWindow(WindowEventSink& gate);

  // The widget of a control of the table, or nullptr for an unknown number.
  QWidget* control(int number) const;
  // The page of the settings panel that holds a tab's controls, the window's own area below the
  // menu bar otherwise.
  QWidget* pageOf(ControlParent parent) const;
  QAction* menuItem(int item) const;
  QAction* toolButton(int number) const;
  QLabel* statusField(int field) const;
  QMenuBar* menuBar() const { return menu_bar_; }
  QWidget* clientArea() const { return client_; }
  QButtonGroup* optionGroup() const { return option_group_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenu();
  void BuildToolBar();
  void BuildStatusBar();
  void BuildControls();
  QWidget* CreateControl(const ControlSpec& spec, QWidget* parent);
  void ConnectEvents(const ControlSpec& spec, QWidget* widget);
  void Report(EventKind kind, int number);

  WindowEventSink& gate_;
  QMenuBar* menu_bar_;
  QWidget* client_;
  QToolBar* tool_bar_ = nullptr;
  QButtonGroup* option_group_;
  std::map<int, QWidget*> controls_;
  std::map<ControlParent, QWidget*> pages_;
  std::map<int, QAction*> menu_items_;
  QAction* tool_buttons_[2] = {};
  QLabel* status_fields_[2] = {};
};

}  // namespace albumora

#endif  // ALBUMORA_UI_QT_MAIN_WINDOW_H_
