#include "gallery/photo_list.h"

#include <unordered_set>

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace albumora {

PhotoEntry MakePhotoEntry(int number, std::string_view listed_name) {
  PhotoEntry entry;
  entry.listed_name = std::string(listed_name);
  entry.name = LowerCase(listed_name);
  entry.nummer = Decimal(number);
  entry.kl_bild = "kl/k_" + entry.name;
  entry.gr_bild = "gr/g_" + entry.name;
  entry.link_vorschau = "bild_" + entry.nummer + ".htm";
  entry.download = "download.php?file=" + entry.name;
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

PhotoScan ScanPhotoFolder(std::string_view source_folder) {
  PhotoScan scan;
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
    } else {
      scan.photos.Add(name);
    }
  }
  return scan;
}

}  // namespace albumora
