// The 33 user settings as data, and the settings file that keeps them between starts.
#ifndef ALBUMORA_SETTINGS_SETTINGS_H_
#define ALBUMORA_SETTINGS_SETTINGS_H_

#include <span>
#include <string_view>

#include "ui/controls.h"

namespace albumora {

inline constexpr std::string_view kSettingsFileName = "Einstellung.alb";

enum class FieldKind { kText, kPath, kFlag, kOption, kStep, kNumber, kChoice };

struct SettingsField {
  const char* key;    // with the leading '#'
  const char* group;  // "FotosAllgemein", "WebseiteAllgemein", "Meta_Tag", "CSS"
  int control;
  FieldKind kind;
  int minimum = 0;  // Step and Number only
  int maximum = 0;
  int label = 0;  // Step only: the label that shows the step times 10 and "%"
};

// The fields in the order in which SaveSettings writes them.
std::span<const SettingsField> SettingsFields();

// The field held by `control`, or nullptr.
const SettingsField* FindSettingsField(int control);

class SettingsStore;

// The two halves of LoadSettings and SaveSettings over a store that is already open: the store
// is read (or written) but neither opened nor closed.
void LoadSettingsFrom(SettingsStore& store, Controls& controls);
void SaveSettingsTo(SettingsStore& store, const Controls& controls);

// Fills the controls from the settings file; a missing or unreadable file leaves the defaults.
void LoadSettings(Controls& controls, std::string_view file = kSettingsFileName);

// Writes the controls into the settings file. A file that cannot be written stays as it was;
// nothing is reported.
void SaveSettings(const Controls& controls, std::string_view file = kSettingsFileName);

}  // namespace albumora

#endif  // ALBUMORA_SETTINGS_SETTINGS_H_
