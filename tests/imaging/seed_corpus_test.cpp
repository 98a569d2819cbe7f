// Writes the seed corpus of the JPEG fuzzer (tests/fuzz/corpus/jpeg). Run on purpose only:
//   ALBUMORA_JPEG_SEEDS=tests/fuzz/corpus/jpeg imaging_tests
//       --gtest_also_run_disabled_tests --gtest_filter='*SeedCorpus*'
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "test_pictures.h"

namespace albumora {
namespace {

using testing::JpegKind;
using testing::JpegOptions;

TEST(SeedCorpus, DISABLED_Write) {
  const char* folder = std::getenv("ALBUMORA_JPEG_SEEDS");
  if (folder == nullptr) GTEST_SKIP() << "set ALBUMORA_JPEG_SEEDS to the corpus folder";
  auto write = [folder](const std::string& name, const std::string& bytes) {
    testing::WriteFile(std::string(folder) + "/" + name, bytes);
  };
  JpegOptions tiny;
  tiny.width = 12;
  tiny.height = 9;
  tiny.quality = 50;
  write("baseline.jpg", testing::MakeJpeg(tiny));
  JpegOptions options = tiny;
  options.progressive = true;
  write("progressive.jpg", testing::MakeJpeg(options));
  options = tiny;
  options.arithmetic = true;
  write("arithmetic.jpg", testing::MakeJpeg(options));
  options = tiny;
  options.kind = JpegKind::kGray;
  write("gray.jpg", testing::MakeJpeg(options));
  options = tiny;
  options.kind = JpegKind::kAdobeCmyk;
  write("adobe_cmyk.jpg", testing::MakeJpeg(options));
  options = tiny;
  options.kind = JpegKind::kAdobeYcck;
  write("adobe_ycck.jpg", testing::MakeJpeg(options));
  options = tiny;
  options.exif_orientation = 6;
  write("exif_rotated.jpg", testing::MakeJpeg(options));
  options.exif_orientation = 7;
  options.big_endian_exif = true;
  write("exif_transverse_motorola.jpg", testing::MakeJpeg(options));
  testing::BitmapOptions bitmap;
  write("bitmap24.bmp", testing::MakeBitmap(bitmap));
  bitmap.bits = 8;
  bitmap.top_down = true;
  write("bitmap8_top_down.bmp", testing::MakeBitmap(bitmap));
}

}  // namespace
}  // namespace albumora
