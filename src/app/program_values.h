// Values set once at start-up and read by the generation and the pages.
#ifndef ALBUMORA_APP_PROGRAM_VALUES_H_
#define ALBUMORA_APP_PROGRAM_VALUES_H_

#include <string>
#include <string_view>

#include "platform/files.h"
#include "settings/settings.h"

namespace albumora {

inline constexpr std::string_view kProductName = "Albumora";

struct ProgramValues {
  std::string program_version;     // "0.4.0"
  std::string program_build;       // "155"
  std::string version_full;        // "0.4.0.155"
  std::string generator_text;      // "Albumora 0.4.0.155"
  std::string start_date_ymd;      // "2008-03-15"
  std::string start_date_dmy;      // "15-03-2008"
  std::string temp_folder;         // user temporary folder + "Albumora/"
  std::string source_folder_name;  // also renewed whenever a source folder is chosen
  // Where a finished run keeps the settings: the file they were loaded from.
  std::string settings_file = std::string(kSettingsFileName);
};

// `user_temp_folder` ends with a separator (see UserTempFolder()).
ProgramValues MakeProgramValues(const LocalDate& today, std::string_view user_temp_folder);

// The last folder name of a source-folder text: the final character (the trailing separator a
// chosen folder always has) is dropped, then what follows the last '/' or '\' is kept.
std::string DeriveSourceFolderName(std::string_view source_folder_text);

}  // namespace albumora

#endif  // ALBUMORA_APP_PROGRAM_VALUES_H_
