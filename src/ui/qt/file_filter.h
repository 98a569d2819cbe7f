// The requesters' filter texts ("description|pattern|description|pattern", patterns separated
// by ';') in the form Qt's file dialog takes: "description (pattern pattern)".
#ifndef ALBUMORA_UI_QT_FILE_FILTER_H_
#define ALBUMORA_UI_QT_FILE_FILTER_H_

#include <string>
#include <string_view>
#include <vector>

namespace albumora {

// One entry per pair, in order. A description that already ends with its patterns in
// parentheses is kept as it is; otherwise they are appended. A last description without
// patterns is dropped.
std::vector<std::string> QtNameFilters(std::string_view filter);

}  // namespace albumora

#endif  // ALBUMORA_UI_QT_FILE_FILTER_H_
