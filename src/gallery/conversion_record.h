// The record of what the last run made of each photo of a gallery: which source (signature and
// content hash), with which settings and program version, giving which copies (their size and
// modification time). A photo whose source and copies still match is not converted again.
// The record lives in the per-user cache folder, never inside the site, one file per gallery.
#ifndef ALBUMORA_GALLERY_CONVERSION_RECORD_H_
#define ALBUMORA_GALLERY_CONVERSION_RECORD_H_

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "gallery/photo_job.h"
#include "platform/file_identity.h"

namespace albumora {

// A copy as it was left: replaced by anyone since, it no longer matches.
struct CopyStamp {
  std::uint64_t size = 0;
  std::int64_t modified_ns = 0;
  bool operator==(const CopyStamp&) const = default;
};

struct RecordedPhoto {
  FileSignature source;
  std::uint64_t content_hash = 0;
  int width = 0;  // of the upright photo
  int height = 0;
  CopyStamp big;
  CopyStamp small;
  CopyStamp original;  // unused unless original_copy
  bool operator==(const RecordedPhoto&) const = default;
};

struct ConversionRecord {
  std::string program_version;
  std::string gallery;        // absolute path of the gallery folder (the key)
  std::string source_folder;  // the source folder text of the run
  ConversionSettings settings;
  std::map<std::string, RecordedPhoto> photos;  // by the name the source folder lists
  bool operator==(const ConversionRecord&) const = default;
};

std::string SerializeRecord(const ConversionRecord& record);
// nullopt for anything that is not a complete record as SerializeRecord writes it.
std::optional<ConversionRecord> ParseRecord(std::string_view text);

// The record file of a gallery in `cache_folder` (ending with '/'): named by a hash of the
// gallery's absolute path, so that equally named galleries in different places keep apart.
std::string RecordPathFor(std::string_view cache_folder, std::string_view gallery);

// The record at `path`, when it is readable, well-formed and belongs to `gallery`.
std::optional<ConversionRecord> LoadRecord(std::string_view path, std::string_view gallery);
// Creates the cache folder when needed and replaces the record whole. False when it could not.
bool SaveRecord(std::string_view cache_folder, const ConversionRecord& record);

}  // namespace albumora

#endif  // ALBUMORA_GALLERY_CONVERSION_RECORD_H_
