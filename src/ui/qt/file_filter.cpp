#include "ui/qt/file_filter.h"

#include <algorithm>

namespace albumora {
namespace {

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (;;) {
    const std::size_t end = text.find(separator);
    parts.push_back(text.substr(0, end));
    if (end == std::string_view::npos) return parts;
    text.remove_prefix(end + 1);
  }
}

}  // namespace

std::vector<std::string> QtNameFilters(std::string_view filter) {
  std::vector<std::string> result;
  const std::vector<std::string_view> parts = Split(filter, '|');
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    std::string patterns;
    for (std::string_view pattern : Split(parts[i + 1], ';')) {
      if (pattern.empty()) continue;
      if (!patterns.empty()) patterns += ' ';
      patterns += pattern == "*.*" ? std::string_view("*") : pattern;
    }
    if (patterns.empty()) continue;
    std::string entry(parts[i]);
    if (!entry.empty()) entry += ' ';
    entry += "(" + patterns + ")";
    result.push_back(std::move(entry));
  }
  return result;
}

}  // namespace albumora
