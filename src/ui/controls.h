// The seven control operations through which the logic reads and changes the window's
// controls, by control number, plus the message box. Texts are Windows-1252.
#ifndef ALBUMORA_UI_CONTROLS_H_
#define ALBUMORA_UI_CONTROLS_H_

#include <string>
#include <string_view>

namespace albumora {

class Controls {
 public:
  virtual ~Controls() = default;

  virtual std::string GetControlText(int control) const = 0;
  virtual void SetControlText(int control, std::string_view text) = 0;
  virtual int GetControlState(int control) const = 0;
  virtual void SetControlState(int control, int state) = 0;
  virtual void DisableControl(int control, bool disabled) = 0;
  virtual void HideControl(int control, bool hidden) = 0;
  virtual void SetControlMaximum(int control, int maximum) = 0;

  // A modal message box with the title, the text and one OK button; returns when it is closed.
  virtual void ShowMessage(std::string_view title, std::string_view text) = 0;

  // Read back what DisableControl and HideControl set (for the logic's tests and the window).
  virtual bool IsControlDisabled(int control) const = 0;
  virtual bool IsControlHidden(int control) const = 0;
};

}  // namespace albumora

#endif  // ALBUMORA_UI_CONTROLS_H_
