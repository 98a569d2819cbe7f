// The main window's controls as data: number, kind, place and caption. Both the in-memory
// controls and the Qt window are built from this one table.
#ifndef ALBUMORA_UI_CONTROL_TABLE_H_
#define ALBUMORA_UI_CONTROL_TABLE_H_

#include <span>

namespace albumora {

enum class ControlKind {
  kFrame,
  kReadOnlyText,
  kEditText,
  kLabel,
  kCheckBox,
  kOption,
  kSlider,
  kSpin,
  kDropDownList,
  kPushButton,
  kProgressBar,
  kContainer,
  kTabPanel,
};

// Where a control lives: outside the panel, on one of its three tabs, or inside container 40.
enum class ControlParent { kWindow, kPhotosTab, kWebsiteTab, kHtmlHeadTab, kContainer40 };

struct ControlSpec {
  int number;
  ControlKind kind;
  ControlParent parent;
  int x, y, width, height;
  const char* caption;  // UTF-8 source text; caption or initial text, "" for none
  const char* tooltip;  // UTF-8, nullptr for none
  int minimum = 0;      // sliders, spins, progress bar
  int maximum = 0;
};

// Every control of the main window in creation order (which is also the tab order).
std::span<const ControlSpec> MainWindowControls();

// The entry for `number`, or nullptr.
const ControlSpec* FindControlSpec(int number);

// The tabs of the settings panel 89 in the order they are added; a tab's index is the panel's
// state while it is the visible one.
struct TabSpec {
  ControlParent page;
  const char* caption;  // UTF-8
};
std::span<const TabSpec> SettingsPanelTabs();

// The items of drop-down list 47 in list order: "1" to "10".
std::span<const char* const> RowCountItems();

}  // namespace albumora

#endif  // ALBUMORA_UI_CONTROL_TABLE_H_
