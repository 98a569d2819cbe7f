// Values set once at start-up and read by the generation and the pages.
#ifndef ALBUMORA_SETTINGS_PROGRAM_VALUES_H_
#define ALBUMORA_SETTINGS_PROGRAM_VALUES_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/files.h"
#include "settings/settings.h"

namespace albumora {

inline constexpr std::string_view kProductName = "Albumora";

struct ProgramValues {
  std::string program_version;  // "0.4.0"
  std::string program_build;    // "155"
  std::string version_full;     // "0.4.0.155"
  std::string generator_text;   // "Albumora 0.4.0.155"
  std::string start_date_ymd;   // "2008-03-15"
  std::string start_date_dmy;   // "15-03-2008"
  std::string temp_folder;      // user temporary folder + "Albumora/"
  // Where a run keeps what it made (a file-system path ending with '/'); empty: nowhere, every
  // run converts every photo.
  std::string cache_folder;
  std::string source_folder_name;  // also renewed whenever a source folder is chosen
  // Names a list of left-out photos shows before "… und N weitere": a message box must stay on
  // the screen, while the batch prints every name so that all of them can be put right.
  std::size_t max_names_listed = 20;
  // Where a finished run keeps the settings: the file they were loaded from.
  std::string settings_file = std::string(kSettingsFileName);
};

// `user_temp_folder` ends with a separator (see UserTempFolder()).
ProgramValues MakeProgramValues(const LocalDate& today, std::string_view user_temp_folder);

// The last folder name of a source-folder text: one trailing separator (a chosen folder always
// has one) is dropped, then what follows the last '/' or '\' is kept.
std::string DeriveSourceFolderName(std::string_view source_folder_text);

}  // namespace albumora

#endif  // ALBUMORA_SETTINGS_PROGRAM_VALUES_H_
