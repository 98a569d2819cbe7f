// Deciding whether a photo's copies are still those the record says were made from it, and
// converting it otherwise.
#ifndef ALBUMORA_GALLERY_CURRENT_COPIES_H_
#define ALBUMORA_GALLERY_CURRENT_COPIES_H_

#include <cstdint>
#include <functional>
#include <optional>

#include "gallery/conversion_record.h"
#include "gallery/photo_job.h"

namespace albumora {

using PhotoConverter = std::function<ConvertedPhoto(const PhotoJob&, ImagingWorkspace&)>;

// What became of one photo in a run.
struct PhotoOutcome {
  ConvertedPhoto photo;
  std::uint64_t source_size = 0;  // bytes; 0 when the source could not be looked at
  bool converted = false;         // false: the recorded copies were current
  // The photo and its copies as they are now, to be recorded; nullopt when anything went wrong.
  std::optional<RecordedPhoto> recorded;
};

// Takes the copies as they are when `previous` (the record of the photo from a run with the same
// settings, or null) shows that they were made from this source content and were not replaced;
// converts the photo with `convert` otherwise. In doubt it converts.
PhotoOutcome MakeOrReuse(const PhotoJob& job, const RecordedPhoto* previous,
                         const PhotoConverter& convert, ImagingWorkspace& workspace);

// The copies a job makes, in the order ConvertPhoto makes them (the original copy only when
// asked for).
std::vector<std::string> CopyPaths(const PhotoJob& job);

}  // namespace albumora

#endif  // ALBUMORA_GALLERY_CURRENT_COPIES_H_
