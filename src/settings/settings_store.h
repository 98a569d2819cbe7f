// A small store of group and entry lines ("[Group]", "key = value") as the settings file keeps
// them: read leniently, written in one fixed form.
#ifndef ALBUMORA_SETTINGS_SETTINGS_STORE_H_
#define ALBUMORA_SETTINGS_SETTINGS_STORE_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace albumora {

class SettingsStore {
 public:
  // A settings file holds about forty short lines. A file larger than this is not one of ours and
  // is treated like a file that cannot be read; it keeps the memory of the line list bounded.
  static constexpr std::uint64_t kMaxFileBytes = std::uint64_t{8} << 20;

  SettingsStore() = default;
  SettingsStore(const SettingsStore&) = delete;
  SettingsStore& operator=(const SettingsStore&) = delete;
  ~SettingsStore();  // closes the store (CloseStore)

  // Reads an existing file into the line list. When it cannot be read the store is empty but
  // remembers the name, and every read gives its default. Closes a previously open store first.
  bool OpenForReading(std::string_view file);

  // The same over bytes already in memory, as if they were the file's content; a later close
  // writes nothing. For tests and the fuzzer.
  void OpenFromBytes(std::string_view bytes);

  // Starts an empty 8-bit line list for `file`. The file itself is only touched when the store
  // is closed, so a failure never leaves it half written. Closes a previously open store first.
  bool CreateForWriting(std::string_view file);

  // Makes the first group of that name (any letter case) current. An unknown name becomes the
  // pending group: reads give defaults and the first write adds its group line at the end.
  // The empty name selects the entries above the first group line.
  bool SelectGroup(std::string_view group);

  // The key's value in the current group with blanks and tabs trimmed, or the default.
  std::string ReadText(std::string_view key, std::string_view default_text = {}) const;

  // The decimal number at the start of the key's value (blanks and tabs skipped, optional sign);
  // 0 when it starts with no digit, the default when the key is missing. A digit run beyond the
  // range of int saturates at INT_MIN or INT_MAX.
  int ReadNumber(std::string_view key, int default_number) const;

  void WriteText(std::string_view key, std::string_view text);
  void WriteNumber(std::string_view key, int number);

  // Writes the whole list when it was changed and a file is open, by replacing the file at once
  // (a temporary file in the same folder renamed over it), then releases everything. False when
  // a write was due and failed; the old file is then untouched.
  bool CloseStore();

  // The file's content as CloseStore would write it.
  std::string Serialise() const;

 private:
  enum class LineKind : unsigned char { kGroup, kEntry, kComment };
  // A line's key (the name of a group line) and value (the text of a comment) are pieces of
  // text_, so a file of a million tiny lines costs no allocation per line.
  struct Line {
    LineKind kind;
    std::size_t key_at = 0;
    std::size_t key_size = 0;
    std::size_t value_at = 0;
    std::size_t value_size = 0;
  };
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  void Clear();
  void Parse(std::size_t begin);
  // `key` and `value` are pieces of text_.
  void AddLine(LineKind kind, std::string_view key, std::string_view value);
  Line MakeLine(LineKind kind, std::string_view key, std::string_view value) const;
  std::string_view Key(const Line& line) const {
    return {text_.data() + line.key_at, line.key_size};
  }
  std::string_view Value(const Line& line) const {
    return {text_.data() + line.value_at, line.value_size};
  }
  std::size_t Append(std::string_view piece);
  std::string Encode(std::string_view text) const;
  bool SameName(std::string_view a, std::string_view b) const;
  std::size_t SectionBegin() const;
  std::size_t SectionEnd() const;
  std::size_t FindEntry(std::string_view key) const;
  void WriteValue(std::string_view key, std::string_view value);

  std::string file_;
  bool open_ = false;  // a file was read or is being written
  bool from_bytes_ = false;
  bool changed_ = false;
  bool utf8_ = false;
  std::string text_;  // the file's bytes, then every key and value written since
  std::vector<Line> lines_;
  std::size_t current_ = kNone;         // line index of the current group line; kNone: the top
  std::optional<std::string> pending_;  // a selected group that has no line yet
};

}  // namespace albumora

#endif  // ALBUMORA_SETTINGS_SETTINGS_STORE_H_
