#include "settings/settings_store.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "platform/files.h"
#include "platform/text.h"

namespace albumora {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// NUL ends a line as well: a settings text never holds one, and keeping it would carry a byte
// into the controls that the window cannot show.
constexpr std::string_view kLineBreaks{"\r\n\0", 3};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimLeft(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  return text.substr(i);
}

std::string_view TrimRight(std::string_view text) {
  std::size_t n = text.size();
  while (n > 0 && IsBlank(text[n - 1])) --n;
  return text.substr(0, n);
}

// Each 8-bit character stands for the Unicode character of the same number.
std::string EightBitToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xC0 | (byte >> 6));
      out += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return out;
}

// The reverse; nullopt for a character above U+00FF or a malformed sequence. Only the lead bytes
// C2 and C3 encode U+0080..U+00FF (C0 and C1 would be overlong forms).
std::optional<std::string> Utf8ToEightBit(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x80) {
      out += text[i];
      continue;
    }
    if ((byte != 0xC2 && byte != 0xC3) || i + 1 == text.size()) return std::nullopt;
    const auto next = static_cast<unsigned char>(text[i + 1]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    out += static_cast<char>(((byte & 0x1F) << 6) | (next & 0x3F));
    ++i;
  }
  return out;
}

// A written value or key must stay on its line: a line break inside it would start a line of its
// own and could plant entries into the file.
std::string OneLine(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (kLineBreaks.find(c) != std::string_view::npos) c = ' ';
  }
  return out;
}

int ParseLeadingNumber(std::string_view value) {
  value = TrimLeft(value);
  bool negative = false;
  if (!value.empty() && (value.front() == '+' || value.front() == '-')) {
    negative = value.front() == '-';
    value.remove_prefix(1);
  }
  // Accumulated as a negative number so that INT_MIN itself is reachable.
  long long number = 0;
  for (const char c : value) {
    if (c < '0' || c > '9') break;
    number = number * 10 - (c - '0');
    if (number < INT_MIN) return negative ? INT_MIN : INT_MAX;
  }
  if (negative) return static_cast<int>(number);
  return number < -INT_MAX ? INT_MAX : static_cast<int>(-number);
}

}  // namespace

SettingsStore::~SettingsStore() { CloseStore(); }

void SettingsStore::Clear() {
  file_.clear();
  open_ = false;
  from_bytes_ = false;
  changed_ = false;
  utf8_ = false;
  lines_.clear();
  lines_.shrink_to_fit();
  current_ = kTopSection;
  pending_.reset();
  group_lines_.clear();
  first_group_.clear();
  section_keys_.clear();
}

bool SettingsStore::OpenForReading(std::string_view file) {
  CloseStore();
  file_ = std::string(file);
  std::string data;
  if (!ReadWholeFile(file, &data, kMaxFileBytes)) return false;
  open_ = true;
  Parse(data);
  return true;
}

void SettingsStore::OpenFromBytes(std::string_view bytes) {
  CloseStore();
  open_ = true;
  from_bytes_ = true;
  Parse(bytes);
}

bool SettingsStore::CreateForWriting(std::string_view file) {
  CloseStore();
  file_ = std::string(file);
  open_ = true;
  return true;
}

void SettingsStore::Parse(std::string_view data) {
  if (data.size() > 2 && data.substr(0, 3) == kByteOrderMark) {
    utf8_ = true;
    data.remove_prefix(3);
  }
  std::size_t pos = 0;
  while (pos < data.size()) {
    std::size_t end = data.find_first_of(kLineBreaks, pos);
    if (end == std::string_view::npos) end = data.size();
    const std::string_view line = TrimLeft(data.substr(pos, end - pos));
    const bool empty = pos == end;
    pos = data.find_first_not_of(kLineBreaks, end);
    if (pos == std::string_view::npos) pos = data.size();
    if (empty) continue;

    if (!line.empty() && line.front() == ';') {
      std::string_view text = line.substr(1);
      if (!text.empty() && text.front() == ' ') text.remove_prefix(1);
      AddLine({LineKind::kComment, {}, std::string(text)});
    } else if (!line.empty() && line.front() == '[') {
      const std::string_view rest = line.substr(1);
      AddLine({LineKind::kGroup, std::string(rest.substr(0, rest.find(']'))), {}});
    } else if (const std::size_t equals = line.find('='); equals == std::string_view::npos) {
      AddLine({LineKind::kEntry, std::string(TrimRight(line)), {}});
    } else {
      AddLine({LineKind::kEntry, std::string(TrimRight(line.substr(0, equals))),
               std::string(TrimLeft(line.substr(equals + 1)))});
    }
  }
  IndexGroups();
  IndexSection();
}

void SettingsStore::AddLine(Line line) { lines_.push_back(std::move(line)); }

std::string SettingsStore::Encode(std::string_view text) const {
  return utf8_ ? EightBitToUtf8(text) : std::string(text);
}

// Names are compared without regard to letter case. In a UTF-8 file only A-Z fold, since the
// program's own lower-casing works on 8-bit characters and would split UTF-8 sequences.
std::string SettingsStore::Fold(std::string_view name) const {
  if (!utf8_) return LowerCase(name);
  std::string out(name);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::size_t SettingsStore::SectionBegin() const {
  return current_ == kTopSection ? 0 : current_ + 1;
}

std::size_t SettingsStore::SectionEnd() const {
  auto next = group_lines_.begin();
  if (current_ != kTopSection)
    next = std::upper_bound(group_lines_.begin(), group_lines_.end(), current_);
  return next == group_lines_.end() ? lines_.size() : *next;
}

void SettingsStore::IndexGroups() {
  group_lines_.clear();
  first_group_.clear();
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind != LineKind::kGroup) continue;
    group_lines_.push_back(i);
    first_group_.emplace(Fold(lines_[i].key), i);  // a later line of the same name is never found
  }
}

void SettingsStore::IndexSection() {
  section_keys_.clear();
  if (pending_) return;
  const std::size_t end = SectionEnd();
  for (std::size_t i = SectionBegin(); i < end; ++i) {
    if (lines_[i].kind == LineKind::kEntry) section_keys_.emplace(Fold(lines_[i].key), i);
  }
}

bool SettingsStore::SelectGroup(std::string_view group) {
  pending_.reset();
  bool found = true;
  if (group.empty()) {
    current_ = kTopSection;
  } else if (auto it = first_group_.find(Fold(Encode(group))); it != first_group_.end()) {
    current_ = it->second;
  } else {
    pending_ = std::string(group);
    found = false;
  }
  IndexSection();
  return found;
}

const SettingsStore::Line* SettingsStore::FindEntry(std::string_view key) const {
  if (!open_ || pending_) return nullptr;
  auto it = section_keys_.find(Fold(Encode(key)));
  return it == section_keys_.end() ? nullptr : &lines_[it->second];
}

std::string SettingsStore::ReadText(std::string_view key, std::string_view default_text) const {
  const Line* entry = FindEntry(key);
  if (entry == nullptr) return std::string(default_text);
  const std::string_view value = TrimRight(TrimLeft(entry->value));
  if (!utf8_) return std::string(value);
  return Utf8ToEightBit(value).value_or(std::string());
}

int SettingsStore::ReadNumber(std::string_view key, int default_number) const {
  const Line* entry = FindEntry(key);
  return entry == nullptr ? default_number : ParseLeadingNumber(entry->value);
}

void SettingsStore::WriteText(std::string_view key, std::string_view text) {
  WriteValue(key, Encode(OneLine(text)));
}

void SettingsStore::WriteNumber(std::string_view key, int number) {
  WriteValue(key, Decimal(number));
}

void SettingsStore::WriteValue(std::string_view key, std::string value) {
  if (!open_) return;
  if (pending_) {
    current_ = lines_.size();
    lines_.push_back({LineKind::kGroup, Encode(OneLine(*pending_)), {}});
    group_lines_.push_back(current_);
    first_group_.emplace(Fold(lines_.back().key), current_);
    pending_.reset();
    section_keys_.clear();
  }
  std::string stored_key = Encode(OneLine(key));
  std::string folded = Fold(stored_key);
  changed_ = true;
  if (auto it = section_keys_.find(folded); it != section_keys_.end()) {
    Line& line = lines_[it->second];
    line.key = std::move(stored_key);
    line.value = std::move(value);
    return;
  }
  const std::size_t at = SectionEnd();
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at),
                Line{LineKind::kEntry, std::move(stored_key), std::move(value)});
  if (at + 1 < lines_.size()) {
    // Every group line after the new entry moved down by one.
    for (std::size_t& line : group_lines_) {
      if (line >= at) ++line;
    }
    for (auto& [name, line] : first_group_) {
      if (line >= at) ++line;
    }
  }
  section_keys_.emplace(std::move(folded), at);
}

std::string SettingsStore::Serialise() const {
  std::string out;
  if (utf8_) out += kByteOrderMark;
  for (const Line& line : lines_) {
    switch (line.kind) {
      case LineKind::kGroup:
        out += '[';
        out += line.key;
        out += ']';
        break;
      case LineKind::kEntry:
        out += line.key;
        out += " = ";
        out += line.value;
        break;
      case LineKind::kComment:
        out += "; ";
        out += line.value;
        break;
    }
    out += "\r\n";
  }
  return out;
}

bool SettingsStore::CloseStore() {
  bool ok = true;
  if (changed_ && open_ && !from_bytes_) ok = ReplaceFileAtomically(file_, Serialise());
  Clear();
  return ok;
}

}  // namespace albumora
