// A decoded 24-bit picture and the operations that make the site's JPEG pictures from a photo.
#ifndef ALBUMORA_IMAGING_RASTER_IMAGE_H_
#define ALBUMORA_IMAGING_RASTER_IMAGE_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace albumora {

struct PictureSize {
  int width = 0;
  int height = 0;
  bool operator==(const PictureSize&) const = default;
};

class RasterImage;  // defined by the imaging library (copyable; width(), height(), empty())

// Decodes a JPEG (or a Windows bitmap named .jpg) from a Windows-1252 path. On failure returns
// false and says why in `error` (in German, for the user) when given.
bool LoadRasterImage(std::string_view path, RasterImage* image, std::string* error = nullptr);

// The longer side becomes `long_side`, the other is scaled in proportion (integer division).
PictureSize FitLongSide(int width, int height, int long_side);
// The width becomes `new_width`, the height is scaled in proportion.
PictureSize FitWidth(int width, int height, int new_width);

// Area-averaging resample in place; unchanged size or a zero side leaves the picture as it was.
void ScaleRasterImage(RasterImage& image, int width, int height);

// Encodes at quality step 0..10 (clamped; quality = step * 10); replaces an existing file.
// False when the file could not be written (an incomplete file is removed).
bool SaveRasterImageAsJpeg(const RasterImage& image, std::string_view path, int quality_step);

}  // namespace albumora

#endif  // ALBUMORA_IMAGING_RASTER_IMAGE_H_
