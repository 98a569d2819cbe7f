// The control operations over the widgets of the main window, with the value rules of every
// control kind (the same as MemoryControls). Changes made here never report a control event.
#ifndef ALBUMORA_UI_QT_QT_CONTROLS_H_
#define ALBUMORA_UI_QT_QT_CONTROLS_H_

#include <functional>
#include <string>

#include "ui/controls.h"
#include "ui/qt/main_window.h"

namespace albumora {

class QtControls : public Controls {
 public:
  // Sees each message instead of the modal box (the window's tests).
  using MessageHandler = std::function<void(const std::string& title, const std::string& text)>;

  explicit QtControls(MainWindow& window) : window_(window) {}

  std::string GetControlText(int control) const override;
  void SetControlText(int control, std::string_view text) override;
  int GetControlState(int control) const override;
  void SetControlState(int control, int state) override;
  void DisableControl(int control, bool disabled) override;
  void HideControl(int control, bool hidden) override;
  void SetControlMaximum(int control, int maximum) override;
  void ShowMessage(std::string_view title, std::string_view text) override;
  bool IsControlDisabled(int control) const override;
  bool IsControlHidden(int control) const override;

  // Status bar 90.
  std::string StatusField(int field) const;
  void SetStatusField(int field, std::string_view text);
  int ControlMaximum(int control) const;

  void set_message_handler(MessageHandler handler) { message_handler_ = std::move(handler); }
  MainWindow& window() const { return window_; }

 private:
  MainWindow& window_;
  MessageHandler message_handler_;
};

}  // namespace albumora

#endif  // ALBUMORA_UI_QT_QT_CONTROLS_H_
