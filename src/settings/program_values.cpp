#include "settings/program_values.h"

#include <cstdio>

#include "platform/paths.h"

namespace albumora {
namespace {

std::string TwoDigits(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d", value);
  return text;
}

std::string FourDigits(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d", value);
  return text;
}

}  // namespace

ProgramValues MakeProgramValues(const LocalDate& today, std::string_view user_temp_folder) {
  ProgramValues values;
  values.program_build = "155";
  values.program_version = "0.4.0";
  values.version_full = values.program_version + "." + values.program_build;
  values.generator_text = std::string(kProductName) + " " + values.version_full;
  const std::string year = FourDigits(today.year);
  const std::string month = TwoDigits(today.month);
  const std::string day = TwoDigits(today.day);
  values.start_date_ymd = year + "-" + month + "-" + day;
  values.start_date_dmy = day + "-" + month + "-" + year;
  values.temp_folder = std::string(user_temp_folder) + "Albumora" + kPathSeparator;
  return values;
}

std::string DeriveSourceFolderName(std::string_view source_folder_text) {
  std::string_view rest = source_folder_text;
  // A chosen folder ends with a separator, a hand-written one need not: both name the same
  // folder and must give the same gallery.
  if (!rest.empty() && IsPathSeparator(rest.back())) rest.remove_suffix(1);
  const std::size_t last = rest.find_last_of("/\\");
  return std::string(last == std::string_view::npos ? rest : rest.substr(last + 1));
}

}  // namespace albumora
