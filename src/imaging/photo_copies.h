// The two pictures a gallery makes of each photo, made in one pass over the decoded rows.
//
//   PhotoCopies copies;
//   if (!ConvertPhotoFile(path, 1024, 150, &copies, &error, &workspace)) ...;
//   SaveRasterImageAsJpeg(copies.big, big_path, 7);
//
// The result is byte for byte what loading the photo, copying it and scaling each copy with
// FitLongSide and ScaleRasterImage gives, with the same messages, limits and handling of damaged
// files. A JPEG is decoded in bands of rows that feed the sums of both copies at once, in the
// orientation the rows are stored in; only the finished copies are turned upright. The full-size
// picture is never held, unless the photo needs it: a bitmap, a copy as large as the photo (or of
// a side below 1, which keeps the photo's size), or a file that fails part way.
//
// Copies of a photo with a colour profile come back converted to sRGB, the profile dropped (see
// colour_profile.h), whichever way they were made.
#ifndef ALBUMORA_IMAGING_PHOTO_COPIES_H_
#define ALBUMORA_IMAGING_PHOTO_COPIES_H_

#include <string>
#include <string_view>

#include "imaging/raster_image.h"

namespace albumora {

struct PhotoCopies {
  RasterImage big;
  RasterImage small;
  PictureSize full;  // the upright photo's size
};

// Reads a photo like LoadRasterImage and makes the copies whose longer sides are `big_side` and
// `small_side`, both upright. On failure returns false, leaves `copies` empty and says why in
// `error` when given.
bool ConvertPhotoFile(std::string_view path, int big_side, int small_side, PhotoCopies* copies,
                      std::string* error = nullptr, ImagingWorkspace* workspace = nullptr);

// The same for a file already in memory.
bool ConvertPhotoBytes(std::string_view bytes, int big_side, int small_side, PhotoCopies* copies,
                       std::string* error = nullptr, ImagingWorkspace* workspace = nullptr);

}  // namespace albumora

#endif  // ALBUMORA_IMAGING_PHOTO_COPIES_H_
