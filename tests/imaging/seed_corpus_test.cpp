// Writes the seed corpus of the JPEG fuzzer (tests/fuzz/corpus/jpeg). Run on purpose only:
//   ALBUMORA_JPEG_SEEDS=tests/fuzz/corpus/jpeg imaging_tests
//       --gtest_also_run_disabled_tests --gtest_filter='*SeedCorpus*'
#include <gtest/gtest.h>
#include <lcms2.h>

#include <cstdlib>
#include <string>

#include "support/icc_profiles.h"
#include "test_pictures.h"

namespace albumora {
namespace {

using testing::JpegKind;
using testing::JpegOptions;
using testing::ProfileBytes;

// Small profiles for the colour-profile paths: a wide-gamut RGB and a gray one.
std::string WideGamutProfile() {
  const cmsCIExyY white = {0.3127, 0.3290, 1};
  const cmsCIExyYTRIPLE primaries = {{0.68, 0.32, 1}, {0.265, 0.69, 1}, {0.15, 0.06, 1}};
  cmsToneCurve* curve = cmsBuildGamma(nullptr, 2.2);
  cmsToneCurve* curves[] = {curve, curve, curve};
  const std::string bytes = ProfileBytes(cmsCreateRGBProfile(&white, &primaries, curves));
  cmsFreeToneCurve(curve);
  return bytes;
}

std::string GrayProfile() {
  cmsToneCurve* curve = cmsBuildGamma(nullptr, 1.8);
  const std::string bytes = ProfileBytes(cmsCreateGrayProfile(cmsD50_xyY(), curve));
  cmsFreeToneCurve(curve);
  return bytes;
}

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
  options = tiny;
  options.icc_profile = WideGamutProfile();
  write("icc_wide_gamut.jpg", testing::MakeJpeg(options));
  options.icc_profile.clear();
  options.app2 = testing::IccChunks(WideGamutProfile(), 3);
  std::swap(options.app2[0], options.app2[2]);
  write("icc_chunks_out_of_order.jpg", testing::MakeJpeg(options));
  options = tiny;
  options.kind = JpegKind::kGray;
  options.icc_profile = GrayProfile();
  write("icc_gray.jpg", testing::MakeJpeg(options));
  options = tiny;
  options.kind = JpegKind::kCmyk;
  write("cmyk_no_marker.jpg", testing::MakeJpeg(options));
  testing::BitmapOptions bitmap;
  write("bitmap24.bmp", testing::MakeBitmap(bitmap));
  bitmap.bits = 8;
  bitmap.top_down = true;
  write("bitmap8_top_down.bmp", testing::MakeBitmap(bitmap));
}

}  // namespace
}  // namespace albumora
