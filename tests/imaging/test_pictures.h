// Test photos made by the tests themselves: JPEGs encoded with libjpeg in every colour space and
// mode the loader meets, Windows bitmaps, and small helpers for files.
#ifndef ALBUMORA_TESTS_IMAGING_TEST_PICTURES_H_
#define ALBUMORA_TESTS_IMAGING_TEST_PICTURES_H_

#include <cstdint>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "imaging/raster_image.h"

namespace albumora {

inline void PrintTo(const PictureSize& size, std::ostream* out) {
  *out << size.width << " x " << size.height;
}
inline void PrintTo(const Rgb& c, std::ostream* out) {
  *out << "(" << int{c.r} << ", " << int{c.g} << ", " << int{c.b} << ")";
}

}  // namespace albumora

namespace albumora::testing {

// Every CMYK kind stores inverted ink (0 = full ink) as Adobe applications do; kCmyk is such a
// file with the Adobe marker stripped.
enum class JpegKind { kRgb, kGray, kCmyk, kAdobeCmyk, kAdobeYcck };

struct JpegOptions {
  int width = 64;
  int height = 48;
  JpegKind kind = JpegKind::kRgb;
  int quality = 95;
  bool progressive = false;
  bool arithmetic = false;
  bool full_chroma = false;  // 4:4:4 instead of the default 4:2:0
  // Sampling factors of the first component when not 0 (the others stay 1 x 1): 2 x 1 is 4:2:2,
  // 1 x 2 is 4:4:0, 4 x 1 is 4:1:1.
  int luma_h_sampling = 0;
  int luma_v_sampling = 0;
  int exif_orientation = 0;  // 0: no EXIF segment
  bool big_endian_exif = false;
  std::string icc_profile{};        // written with libjpeg's jpeg_write_icc_profile when not empty
  std::vector<std::string> app2{};  // APP2 segments written as given (e.g. from IccChunks)
};

// The APP2 segments of `profile` in `count` chunks of about equal size, numbered 1..count.
std::vector<std::string> IccChunks(const std::string& profile, int count);

// The colour of a stored pixel: a smooth, asymmetric pattern unless the caller gives one.
using PixelFunction = std::function<Rgb(int x, int y)>;
Rgb DefaultPattern(int x, int y);

std::string MakeJpeg(const JpegOptions& options, const PixelFunction& pixel = DefaultPattern);
// Encodes a picture exactly as given (RGB, 4:4:4, quality 100).
std::string JpegOf(const RasterImage& image);

struct BitmapOptions {
  int width = 5;
  int height = 3;
  int bits = 24;  // 8 (palette), 24 or 32
  bool top_down = false;
};
std::string MakeBitmap(const BitmapOptions& options, const PixelFunction& pixel = DefaultPattern);

RasterImage MakePicture(int width, int height, const PixelFunction& pixel = DefaultPattern);

// A fresh folder below the system's temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }
  // Path of a file inside, as the program's text.
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);

// Largest difference of one channel between two pictures of the same size.
int MaxDifference(const RasterImage& a, const RasterImage& b);

}  // namespace albumora::testing

#endif  // ALBUMORA_TESTS_IMAGING_TEST_PICTURES_H_
