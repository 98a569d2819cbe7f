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
bool IsLineBreak(char c) { return c == '\r' || c == '\n' || c == '\0'; }

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
  std::replace_if(out.begin(), out.end(), IsLineBreak, ' ');
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
  text_.clear();
  text_.shrink_to_fit();
  lines_.clear();
  lines_.shrink_to_fit();
  current_ = kNone;
  pending_.reset();
}

bool SettingsStore::OpenForReading(std::string_view file) {
  CloseStore();
  file_ = std::string(file);
  if (!ReadWholeFile(file, &text_, kMaxFileBytes)) return false;
  open_ = true;
  Parse(0);
  return true;
}

void SettingsStore::OpenFromBytes(std::string_view bytes) {
  CloseStore();
  open_ = true;
  from_bytes_ = true;
  text_ = std::string(bytes);
  Parse(0);
}

bool SettingsStore::CreateForWriting(std::string_view file) {
  CloseStore();
  file_ = std::string(file);
  open_ = true;
  return true;
}

void SettingsStore::Parse(std::size_t begin) {
  std::string_view data = std::string_view(text_).substr(begin);
  if (data.size() > 2 && data.substr(0, 3) == kByteOrderMark) {
    utf8_ = true;
    data.remove_prefix(3);
  }
  // Every line takes at least one character and one break, so this bounds the line count and
  // spares the list its regrowth on huge files.
  const auto breaks =
      static_cast<std::size_t>(std::count_if(data.begin(), data.end(), IsLineBreak));
  lines_.reserve(std::min(breaks, data.size() / 2) + 1);
  std::size_t pos = 0;
  while (pos < data.size()) {
    std::size_t end = pos;
    while (end < data.size() && !IsLineBreak(data[end])) ++end;
    const std::string_view line = TrimLeft(data.substr(pos, end - pos));
    const bool empty = pos == end;
    pos = end;
    while (pos < data.size() && IsLineBreak(data[pos])) ++pos;
    if (empty) continue;

    if (!line.empty() && line.front() == ';') {
      std::string_view text = line.substr(1);
      if (!text.empty() && text.front() == ' ') text.remove_prefix(1);
      AddLine(LineKind::kComment, {}, text);
    } else if (!line.empty() && line.front() == '[') {
      const std::string_view rest = line.substr(1);
      AddLine(LineKind::kGroup, rest.substr(0, rest.find(']')), {});
    } else if (const std::size_t equals = line.find('='); equals == std::string_view::npos) {
      AddLine(LineKind::kEntry, TrimRight(line), {});
    } else {
      AddLine(LineKind::kEntry, TrimRight(line.substr(0, equals)),
              TrimLeft(line.substr(equals + 1)));
    }
  }
}

SettingsStore::Line SettingsStore::MakeLine(LineKind kind, std::string_view key,
                                            std::string_view value) const {
  const auto offset = [this](std::string_view piece) {
    return piece.empty() ? 0 : static_cast<std::size_t>(piece.data() - text_.data());
  };
  return Line{kind, offset(key), key.size(), offset(value), value.size()};
}

void SettingsStore::AddLine(LineKind kind, std::string_view key, std::string_view value) {
  lines_.push_back(MakeLine(kind, key, value));
}

// Adds a piece to the end of text_ and gives it back as it is stored there.
std::size_t SettingsStore::Append(std::string_view piece) {
  const std::size_t at = text_.size();
  text_ += piece;
  return at;
}

std::string SettingsStore::Encode(std::string_view text) const {
  return utf8_ ? EightBitToUtf8(text) : std::string(text);
}

// Names are compared without regard to letter case: the program's own lower-casing in an 8-bit
// file, only A-Z in a UTF-8 file (the 8-bit rule would split UTF-8 sequences).
bool SettingsStore::SameName(std::string_view a, std::string_view b) const {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    if (x == y) continue;
    const auto fold = [this](unsigned char c) {
      const bool upper = (c >= 'A' && c <= 'Z') || (!utf8_ && c >= 0xC0 && c <= 0xDE);
      return upper ? static_cast<unsigned char>(c + 0x20) : c;
    };
    if (fold(x) != fold(y)) return false;
  }
  return true;
}

std::size_t SettingsStore::SectionBegin() const { return current_ == kNone ? 0 : current_ + 1; }

std::size_t SettingsStore::SectionEnd() const {
  std::size_t end = SectionBegin();
  while (end < lines_.size() && lines_[end].kind != LineKind::kGroup) ++end;
  return end;
}

bool SettingsStore::SelectGroup(std::string_view group) {
  pending_.reset();
  current_ = kNone;
  if (group.empty()) return true;
  const std::string wanted = Encode(group);
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    // The first group line of that name wins; a later one is never reached.
    if (lines_[i].kind == LineKind::kGroup && SameName(Key(lines_[i]), wanted)) {
      current_ = i;
      return true;
    }
  }
  pending_ = std::string(group);
  return false;
}

// The index of the first entry with that key in the current group, or kNone.
std::size_t SettingsStore::FindEntry(std::string_view key) const {
  if (!open_ || pending_) return kNone;
  const std::string wanted = Encode(key);
  const std::size_t end = SectionEnd();
  for (std::size_t i = SectionBegin(); i < end; ++i) {
    if (lines_[i].kind == LineKind::kEntry && SameName(Key(lines_[i]), wanted)) return i;
  }
  return kNone;
}

std::string SettingsStore::ReadText(std::string_view key, std::string_view default_text) const {
  const std::size_t entry = FindEntry(key);
  if (entry == kNone) return std::string(default_text);
  const std::string_view value = TrimRight(TrimLeft(Value(lines_[entry])));
  if (!utf8_) return std::string(value);
  return Utf8ToEightBit(value).value_or(std::string());
}

int SettingsStore::ReadNumber(std::string_view key, int default_number) const {
  const std::size_t entry = FindEntry(key);
  return entry == kNone ? default_number : ParseLeadingNumber(Value(lines_[entry]));
}

void SettingsStore::WriteText(std::string_view key, std::string_view text) {
  WriteValue(key, Encode(OneLine(text)));
}

void SettingsStore::WriteNumber(std::string_view key, int number) {
  WriteValue(key, Decimal(number));
}

void SettingsStore::WriteValue(std::string_view key, std::string_view value) {
  if (!open_) return;
  changed_ = true;
  if (pending_) {
    const std::string name = Encode(OneLine(*pending_));
    const std::size_t at = Append(name);
    current_ = lines_.size();
    lines_.push_back(Line{LineKind::kGroup, at, name.size(), 0, 0});
    pending_.reset();
  }
  const std::string stored_key = Encode(OneLine(key));
  const std::size_t key_at = Append(stored_key);
  const std::size_t value_at = Append(value);
  const Line line{LineKind::kEntry, key_at, stored_key.size(), value_at, value.size()};
  // The stored key takes the letter case of the key given.
  if (const std::size_t entry = FindEntry(key); entry != kNone) {
    lines_[entry] = line;
  } else {
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(SectionEnd()), line);
  }
}

std::string SettingsStore::Serialise() const {
  std::string out;
  if (utf8_) out += kByteOrderMark;
  for (const Line& line : lines_) {
    switch (line.kind) {
      case LineKind::kGroup:
        out += '[';
        out += Key(line);
        out += ']';
        break;
      case LineKind::kEntry:
        out += Key(line);
        out += " = ";
        out += Value(line);
        break;
      case LineKind::kComment:
        out += "; ";
        out += Value(line);
        break;
    }
    out += "\r\n";
  }
  // An 8-bit file whose first line starts with the bytes of a byte order mark (a mark that came
  // after a blank line, say) would be read back as UTF-8 and lose its accented letters: a blank
  // first line keeps it 8-bit.
  if (!utf8_ && out.starts_with(kByteOrderMark)) out.insert(0, "\r\n");
  return out;
}

bool SettingsStore::CloseStore() {
  bool ok = true;
  if (changed_ && open_ && !from_bytes_) ok = ReplaceFileAtomically(file_, Serialise());
  Clear();
  return ok;
}

}  // namespace albumora
