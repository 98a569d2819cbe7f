// The requesters' filter texts ("description|pattern|description|pattern", patterns separated
// by ';') in the form Qt's file dialog takes: "description (pattern pattern)".
#ifndef ALBUMORA_UI_QT_FILE_FILTER_H_
#define ALBUMORA_UI_QT_FILE_FILTER_H_

#include <string>
#include <string_view>
#include <vector>

namespace albumora {

// One entry per pair, in order: the description, a blank and the patterns in parentheses,
// which Qt reads from the last parentheses of an entry. The description is kept whole even when
// it names the patterns itself, so that a dialog that hides the patterns
// (QFileDialog::HideNameFilterDetails) shows exactly the description. A pattern "*.*" means every
// file, as it does in the filter texts' own convention; Qt's "*.*" would leave out names without
// a dot, so it becomes "*". A last description without patterns is dropped.
std::vector<std::string> QtNameFilters(std::string_view filter);

}  // namespace albumora

#endif  // ALBUMORA_UI_QT_FILE_FILTER_H_
