// Feeds arbitrary bytes to the photo loader (JPEG and bitmap paths), then scales and encodes what
// it made, converting colour profiles, as a run would; then makes the same copies while decoding
// and stops when they differ in any byte or in the outcome.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "imaging/colour_profile.h"
#include "imaging/photo_copies.h"
#include "imaging/raster_image.h"

namespace {

bool SamePixels(const albumora::RasterImage& a, const albumora::RasterImage& b) {
  if (a.width() != b.width() || a.height() != b.height()) return false;
  for (int y = 0; y < a.height(); ++y) {
    if (std::memcmp(a.row(y), b.row(y), a.stride()) != 0) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr int kBigSide = 64;
  constexpr int kSmallSide = 9;
  albumora::ImagingWorkspace workspace;
  // Small enough that every input decodes quickly; the full limit is tested elsewhere.
  workspace.set_max_pixel_count(4'000'000);
  albumora::RasterImage photo;
  std::string error;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const bool decoded = albumora::DecodeRasterImage(bytes, &photo, &error, &workspace);

  albumora::PhotoCopies copies;
  std::string copies_error;
  const bool converted =
      albumora::ConvertPhotoBytes(bytes, kBigSide, kSmallSide, &copies, &copies_error, &workspace);
  if (converted != decoded || copies_error != error) std::abort();
  if (!decoded) return 0;

  // The copies a run makes, the whole-picture way.
  albumora::RasterImage expected_big = photo;
  albumora::RasterImage expected_small = photo;
  const albumora::PictureSize big_copy =
      albumora::FitLongSide(photo.width(), photo.height(), kBigSide);
  albumora::ScaleRasterImage(expected_big, big_copy.width, big_copy.height, &workspace);
  albumora::ConvertToSrgb(expected_big);
  const albumora::PictureSize small_copy =
      albumora::FitLongSide(photo.width(), photo.height(), kSmallSide);
  albumora::ScaleRasterImage(expected_small, small_copy.width, small_copy.height, &workspace);
  albumora::ConvertToSrgb(expected_small);
  if (!SamePixels(copies.big, expected_big) || !SamePixels(copies.small, expected_small) ||
      copies.big.colour_profile() != nullptr || copies.small.colour_profile() != nullptr) {
    std::abort();
  }

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
