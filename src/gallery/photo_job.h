// One photo's conversion as a plain function of its inputs, and the options of converting all.
#ifndef ALBUMORA_GALLERY_PHOTO_JOB_H_
#define ALBUMORA_GALLERY_PHOTO_JOB_H_

#include <functional>
#include <string>
#include <vector>

#include "imaging/raster_image.h"

namespace albumora {

// What makes copies differ besides the source.
struct ConversionSettings {
  int big_pixels = 0;
  int big_quality = 0;
  int small_pixels = 0;
  int small_quality = 0;
  bool original_copy = false;
  bool operator==(const ConversionSettings&) const = default;
};

// Everything the conversion of one photo needs, taken from the run before any photo starts, so
// that photos can be converted on any thread.
struct PhotoJob {
  std::string source;       // the file to read
  std::string listed_name;  // as the source folder lists it
  std::string name;         // lower-cased; names the copies
  std::string gallery;      // the gallery folder, ending with a separator
  ConversionSettings settings;
};

// Where a job's copies go.
std::string BigCopyPath(const PhotoJob& job);
std::string SmallCopyPath(const PhotoJob& job);
std::string OriginalCopyPath(const PhotoJob& job);

// What the conversion of one photo found and did.
struct ConvertedPhoto {
  bool decoded = false;
  std::string error;  // why it could not be decoded (may be empty)
  int width = 0;      // of the upright photo
  int height = 0;
  std::vector<std::string> failed_saves;  // paths, in the order they were tried
};

// How the photos of a run are converted. None of it changes what the run writes or shows.
struct ConversionOptions {
  int jobs = 0;       // threads converting photos; 0: as many as the machine allows
  bool full = false;  // convert every photo, even those whose copies are current
  // Converts one photo; empty: ConvertPhoto. Lets tests count and observe conversions.
  std::function<ConvertedPhoto(const PhotoJob&, ImagingWorkspace&)> convert;
};

}  // namespace albumora

#endif  // ALBUMORA_GALLERY_PHOTO_JOB_H_
