#include "gallery/run_state.h"

#include "platform/paths.h"
#include "platform/text.h"
#include "ui/control_ids.h"

namespace albumora {

std::string GalleryFolderPath(std::string_view target_folder, std::string_view source_folder_name) {
  // The file system tells letter case apart, so the folder is spelled lower-cased everywhere.
  return WithTrailingSeparator(target_folder) + "fotos" + kPathSeparator +
         LowerCase(source_folder_name) + kPathSeparator;
}

std::string GalleryFolder(const RunState& run) {
  return GalleryFolderPath(run.Text(ctl::kTargetFolder), run.values.source_folder_name);
}

int ReadDecimal(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  constexpr long long kLimit = 1LL << 31;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > kLimit) value = kLimit;
  }
  if (negative) value = -value;
  if (value > kLimit - 1) value = kLimit - 1;
  return static_cast<int>(value);
}

int RowsPerPage(const RunState& run) { return ReadDecimal(run.Text(ctl::kRowsPerPage)); }

std::string StyleSheetLinkName(std::string_view style_sheet_path) {
  if (!style_sheet_path.empty() && style_sheet_path.front() == '"') {
    style_sheet_path.remove_prefix(1);
  }
  std::string_view name = FileNamePart(style_sheet_path);
  return std::string(name.substr(0, name.find('"')));
}

}  // namespace albumora
