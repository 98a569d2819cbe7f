#include "gallery/photo_list.h"

#include <algorithm>
#include <cstdint>
#include <unordered_set>

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace albumora {

namespace {

// A browser reads '#' in a link as the start of a fragment and "%XX" as an escape; in a query
// '&' also ends the value and '+' stands for a blank.
constexpr std::string_view kPathSpecials = "#%";
constexpr std::string_view kQuerySpecials = "#%&+";

// `name` as it is written into a link: the bytes in `specials` as "%XX" escapes, every other byte
// as it is, so that the links of other names read as they always did.
std::string LinkText(std::string_view name, std::string_view specials) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(name.size());
  for (const char c : name) {
    if (specials.find(c) == std::string_view::npos) {
      text += c;
      continue;
    }
    const auto byte = static_cast<unsigned char>(c);
    text += '%';
    text += kHex[byte >> 4];
    text += kHex[byte & 0x0F];
  }
  return text;
}

}  // namespace

PhotoEntry MakePhotoEntry(int number, std::string_view listed_name) {
  PhotoEntry entry;
  entry.listed_name = std::string(listed_name);
  entry.name = LowerCase(listed_name);
  entry.nummer = Decimal(number);
  const std::string in_path = LinkText(entry.name, kPathSpecials);
  entry.kl_bild = "kl/k_" + in_path;
  entry.gr_bild = "gr/g_" + in_path;
  entry.link_vorschau = "bild_" + entry.nummer + ".htm";
  entry.download = "download.php?file=" + LinkText(entry.name, kQuerySpecials);
  return entry;
}

const PhotoEntry& PhotoList::Entry(int place) const {
  static const PhotoEntry kEmpty;
  if (place < 1 || place > count()) return kEmpty;
  return entries_[static_cast<std::size_t>(place - 1)];
}

PhotoEntry& PhotoList::MutableEntry(int place) {
  return entries_.at(static_cast<std::size_t>(place - 1));
}

void PhotoList::Add(std::string_view listed_name) {
  entries_.push_back(MakePhotoEntry(count() + 1, listed_name));
}

void PhotoList::RemoveAndRenumber(const std::vector<bool>& dropped) {
  std::vector<PhotoEntry> kept;
  kept.reserve(entries_.size());
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (i + 1 < dropped.size() && dropped[i + 1]) continue;
    PhotoEntry entry = MakePhotoEntry(static_cast<int>(kept.size()) + 1, entries_[i].listed_name);
    entry.pixel = std::move(entries_[i].pixel);
    entry.size = std::move(entries_[i].size);
    kept.push_back(std::move(entry));
  }
  entries_ = std::move(kept);
}

bool IsControlCharacter(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7F || byte == 0x81 || byte == 0x8D || byte == 0x8F ||
         byte == 0x90 || byte == 0x9D;
}

bool HasForbiddenNameCharacter(std::string_view name) {
  for (const char c : name) {
    if (IsControlCharacter(c)) return true;
    switch (c) {
      case '<':
      case '>':
      case ':':
      case '"':
      case '|':
      case '?':
      case '*':
      case '\\':
        return true;
      default:
        break;
    }
  }
  return false;
}

PhotoScan ScanPhotoFolder(std::string_view source_folder, std::string_view gallery_folder) {
  PhotoScan scan;
  // The copies are named "g_" or "k_" + the lower-cased name; the limit is in the bytes of the
  // file system's own (UTF-8) form of that name.
  std::size_t max_name_bytes = SIZE_MAX;
  if (!gallery_folder.empty()) {
    const std::string gallery = WithTrailingSeparator(gallery_folder);
    for (const char* copies : {"gr", "kl"}) {
      max_name_bytes = std::min(max_name_bytes, MaxNameBytes(gallery + copies));
    }
  }
  FolderListing listing = ListJpegFiles(WithTrailingSeparator(source_folder));
  for (const std::string& utf8 : listing.unrepresentable) {
    scan.left_out.push_back({Cp1252(utf8), LeftOutReason::kNoWindows1252Form});
  }
  // A Windows folder can never hold two names that differ only in letter case; here both
  // would be written to the same lower-cased files, and one photo would show the other's picture.
  std::unordered_set<std::string> lowered_names;
  for (const std::string& name : listing.names) {
    if (HasForbiddenNameCharacter(name)) {
      scan.left_out.push_back({name, LeftOutReason::kForbiddenCharacter});
    } else if (!lowered_names.insert(LowerCase(name)).second) {
      scan.left_out.push_back({name, LeftOutReason::kSameLowerCaseName});
    } else if (NativePath("g_" + LowerCase(name)).size() > max_name_bytes) {
      scan.left_out.push_back({name, LeftOutReason::kNameTooLong});
    } else {
      scan.photos.Add(name);
    }
  }
  return scan;
}

}  // namespace albumora
