#include "gallery/conversion_record.h"

#include <charconv>
#include <cstdio>
#include <vector>

#include "platform/cache_files.h"

namespace albumora {
namespace {

constexpr std::string_view kFirstLine = "albumora conversion record 1";
// Far above any real gallery (a photo takes about 200 bytes), small enough to read at once.
constexpr std::uint64_t kMaxRecordBytes = std::uint64_t{64} << 20;
constexpr std::size_t kPhotoNumbers = 14;

std::vector<std::string_view> SplitFields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (std::size_t tab; (tab = line.find('\t')) != std::string_view::npos;) {
    fields.push_back(line.substr(0, tab));
    line.remove_prefix(tab + 1);
  }
  fields.push_back(line);
  return fields;
}

template <typename Number>
bool ReadNumber(std::string_view text, Number* value, int base = 10) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value, base);
  return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

// A name that cannot be written on one line of the record is simply not recorded.
bool FitsOnLine(std::string_view text) {
  return text.find_first_of("\t\r\n") == std::string_view::npos;
}

std::string Hex(std::uint64_t value) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

std::string PhotoLine(const std::string& name, const RecordedPhoto& photo) {
  std::string line = "photo";
  const auto add = [&line](auto value) { line += '\t' + std::to_string(value); };
  add(photo.source.size);
  add(photo.source.modified_ns);
  add(photo.source.changed_ns);
  add(photo.source.inode);
  add(photo.source.device);
  line += '\t' + Hex(photo.content_hash);
  add(photo.width);
  add(photo.height);
  for (const CopyStamp* copy : {&photo.big, &photo.small, &photo.original}) {
    add(copy->size);
    add(copy->modified_ns);
  }
  return line + '\t' + name + '\n';
}

bool ParsePhotoLine(const std::vector<std::string_view>& fields, ConversionRecord* record) {
  if (fields.size() != kPhotoNumbers + 2 || fields[0] != "photo") return false;
  RecordedPhoto photo;
  bool ok = ReadNumber(fields[1], &photo.source.size) &&
            ReadNumber(fields[2], &photo.source.modified_ns) &&
            ReadNumber(fields[3], &photo.source.changed_ns) &&
            ReadNumber(fields[4], &photo.source.inode) &&
            ReadNumber(fields[5], &photo.source.device) &&
            ReadNumber(fields[6], &photo.content_hash, 16) && ReadNumber(fields[7], &photo.width) &&
            ReadNumber(fields[8], &photo.height);
  std::size_t field = 9;
  for (CopyStamp* copy : {&photo.big, &photo.small, &photo.original}) {
    ok = ok && ReadNumber(fields[field], &copy->size) &&
         ReadNumber(fields[field + 1], &copy->modified_ns);
    field += 2;
  }
  const std::string_view name = fields[kPhotoNumbers + 1];
  if (!ok || name.empty()) return false;
  return record->photos.emplace(std::string(name), photo).second;
}

bool ParseSettings(const std::vector<std::string_view>& fields, ConversionSettings* settings) {
  int original = 0;
  if (fields.size() != 6 || fields[0] != "settings" ||
      !ReadNumber(fields[1], &settings->big_pixels) ||
      !ReadNumber(fields[2], &settings->big_quality) ||
      !ReadNumber(fields[3], &settings->small_pixels) ||
      !ReadNumber(fields[4], &settings->small_quality) || !ReadNumber(fields[5], &original) ||
      (original != 0 && original != 1)) {
    return false;
  }
  settings->original_copy = original == 1;
  return true;
}

// "key<TAB>value" with the value taken whole.
bool ParseText(std::string_view line, std::string_view key, std::string* value) {
  if (line.size() <= key.size() || line.substr(0, key.size()) != key || line[key.size()] != '\t') {
    return false;
  }
  *value = line.substr(key.size() + 1);
  return true;
}

}  // namespace

std::string SerializeRecord(const ConversionRecord& record) {
  const ConversionSettings& s = record.settings;
  std::string text = std::string(kFirstLine) + "\nversion\t" + record.program_version +
                     "\ngallery\t" + record.gallery + "\nsource\t" + record.source_folder +
                     "\nsettings\t" + std::to_string(s.big_pixels) + '\t' +
                     std::to_string(s.big_quality) + '\t' + std::to_string(s.small_pixels) + '\t' +
                     std::to_string(s.small_quality) + '\t' + (s.original_copy ? "1" : "0") + '\n';
  for (const auto& [name, photo] : record.photos) {
    if (FitsOnLine(name)) text += PhotoLine(name, photo);
  }
  return text + "end\n";
}

std::optional<ConversionRecord> ParseRecord(std::string_view text) {
  std::vector<std::string_view> lines;
  for (std::size_t end; (end = text.find('\n')) != std::string_view::npos;) {
    lines.push_back(text.substr(0, end));
    text.remove_prefix(end + 1);
  }
  // A record cut short lacks its last line; anything after it means it is not ours.
  if (!text.empty() || lines.size() < 6 || lines.front() != kFirstLine || lines.back() != "end") {
    return std::nullopt;
  }
  ConversionRecord record;
  if (!ParseText(lines[1], "version", &record.program_version) ||
      !ParseText(lines[2], "gallery", &record.gallery) ||
      !ParseText(lines[3], "source", &record.source_folder) ||
      !ParseSettings(SplitFields(lines[4]), &record.settings)) {
    return std::nullopt;
  }
  for (std::size_t i = 5; i + 1 < lines.size(); ++i) {
    if (!ParsePhotoLine(SplitFields(lines[i]), &record)) return std::nullopt;
  }
  return record;
}

std::string RecordPathFor(std::string_view cache_folder, std::string_view gallery) {
  return std::string(cache_folder) + "gallery-" + Hex(HashOfBytes(gallery)) + ".record";
}

std::optional<ConversionRecord> LoadRecord(std::string_view path, std::string_view gallery) {
  std::string text;
  if (!ReadCacheFile(path, kMaxRecordBytes, &text)) return std::nullopt;
  std::optional<ConversionRecord> record = ParseRecord(text);
  if (!record || record->gallery != gallery) return std::nullopt;
  return record;
}

bool SaveRecord(std::string_view cache_folder, const ConversionRecord& record) {
  if (cache_folder.empty() || !FitsOnLine(record.gallery) || !FitsOnLine(record.source_folder) ||
      !CreateCacheFolder(cache_folder)) {
    return false;
  }
  return WriteCacheFile(RecordPathFor(cache_folder, record.gallery), SerializeRecord(record));
}

}  // namespace albumora
