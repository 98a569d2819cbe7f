// Feeds arbitrary bytes to the photo loader (JPEG and bitmap paths), then scales and encodes what
// it made, converting colour profiles, as a run would.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "imaging/colour_profile.h"
#include "imaging/raster_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  albumora::ImagingWorkspace workspace;
  // Small enough that every input decodes quickly; the full limit is tested elsewhere.
  workspace.set_max_pixel_count(4'000'000);
  albumora::RasterImage photo;
  std::string error;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (!albumora::DecodeRasterImage(bytes, &photo, &error, &workspace)) return 0;
  albumora::RasterImage big = photo;
  const albumora::PictureSize big_size = albumora::FitLongSide(photo.width(), photo.height(), 64);
  albumora::ScaleRasterImage(big, big_size.width, big_size.height, &workspace);
  albumora::ConvertToSrgb(big);
  std::string jpeg;
  albumora::EncodeRasterImageAsJpeg(big, 7, &jpeg);
  const albumora::PictureSize small_size = albumora::FitWidth(photo.width(), photo.height(), 9);
  albumora::ScaleRasterImage(photo, small_size.width, small_size.height, &workspace);
  albumora::ConvertToSrgb(photo);
  albumora::EncodeRasterImageAsJpeg(photo, 0, &jpeg);
  return 0;
}
