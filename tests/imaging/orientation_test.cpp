// The EXIF orientation: every value gives the upright picture, damaged tags change nothing.
#include "imaging/orientation.h"

#include <gtest/gtest.h>

#include <string>

#include "imaging/raster_image.h"
#include "test_pictures.h"

namespace albumora {
namespace {

// The upright photo: 5 x 3 blocks of 16 x 16 pixels, every block its own colour, so any turn or
// mirror shows. Turned by a quarter it is stored with 80 rows: more than one strip of the row
// writer, and not a whole number of them.
constexpr int kBlock = 16;
constexpr int kColumns = 5;
constexpr int kRows = 3;

Rgb BlockColour(int column, int row) {
  return Rgb{static_cast<std::uint8_t>(30 + column * 50), static_cast<std::uint8_t>(30 + row * 90),
             static_cast<std::uint8_t>(column == row ? 230 : 20)};
}

// Where the pixel (x, y) of the stored picture is shown in the upright picture (width w, height h
// of the stored one).
std::pair<int, int> Upright(int orientation, int x, int y, int w, int h) {
  switch (orientation) {
    case 2:
      return {w - 1 - x, y};
    case 3:
      return {w - 1 - x, h - 1 - y};
    case 4:
      return {x, h - 1 - y};
    case 5:
      return {y, x};
    case 6:
      return {h - 1 - y, x};
    case 7:
      return {h - 1 - y, w - 1 - x};
    case 8:
      return {y, w - 1 - x};
    default:
      return {x, y};
  }
}

struct OrientationCase {
  int value;
  bool big_endian;
};

class OrientationTest : public ::testing::TestWithParam<OrientationCase> {};

TEST_P(OrientationTest, PhotoComesOutUpright) {
  const int value = GetParam().value;
  const bool swapped = value >= 5;
  const int upright_width = kColumns * kBlock;
  const int upright_height = kRows * kBlock;
  const int stored_width = swapped ? upright_height : upright_width;
  const int stored_height = swapped ? upright_width : upright_height;
  testing::JpegOptions options;
  options.width = stored_width;
  options.height = stored_height;
  options.quality = 100;
  options.full_chroma = true;
  options.exif_orientation = value;
  options.big_endian_exif = GetParam().big_endian;
  // Store the pixels as a camera would: the upright picture turned back.
  const std::string jpeg = testing::MakeJpeg(options, [&](int x, int y) {
    const auto [ux, uy] = Upright(value, x, y, stored_width, stored_height);
    return BlockColour(ux / kBlock, uy / kBlock);
  });

  RasterImage image;
  ASSERT_TRUE(DecodeRasterImage(jpeg, &image));
  ASSERT_EQ(image.width(), upright_width);
  ASSERT_EQ(image.height(), upright_height);
  for (int row = 0; row < kRows; ++row) {
    for (int column = 0; column < kColumns; ++column) {
      const Rgb got = image.pixel(column * kBlock + kBlock / 2, row * kBlock + kBlock / 2);
      const Rgb want = BlockColour(column, row);
      EXPECT_NEAR(got.r, want.r, 3) << column << "," << row;
      EXPECT_NEAR(got.g, want.g, 3) << column << "," << row;
      EXPECT_NEAR(got.b, want.b, 3) << column << "," << row;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Values, OrientationTest,
                         ::testing::Values(OrientationCase{1, false}, OrientationCase{2, false},
                                           OrientationCase{3, false}, OrientationCase{4, false},
                                           OrientationCase{5, false}, OrientationCase{6, false},
                                           OrientationCase{7, false}, OrientationCase{8, false},
                                           OrientationCase{6, true}, OrientationCase{5, true}),
                         [](const auto& info) {
                           return std::to_string(info.param.value) +
                                  (info.param.big_endian ? "_motorola" : "_intel");
                         });

std::string Exif(const std::string& tiff) { return std::string("Exif\0\0", 6) + tiff; }

TEST(ExifOrientationTest, DamagedOrForeignDataMeansNormal) {
  // A good little-endian directory with the orientation 6, for reference.
  const std::string good =
      Exif(std::string("II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0\x06\0\0\0", 22));
  ASSERT_EQ(ExifOrientation(good), Orientation::kRotate90Cw);
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"empty", ""},
      {"no tiff", Exif("")},
      {"xmp", "http://ns.adobe.com/xap/1.0/\0<x:xmpmeta/>"},
      {"bad byte order", Exif(std::string("XX*\0\x08\0\0\0", 8))},
      {"bad magic", Exif(std::string("II+\0\x08\0\0\0", 8))},
      {"directory past the end", Exif(std::string("II*\0\xFF\xFF\0\0", 8))},
      {"entries past the end", Exif(std::string("II*\0\x08\0\0\0\xFF\xFF\x12\x01", 12))},
      {"value 9", Exif(std::string("II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0\x09\0\0\0", 22))},
      {"value 0", Exif(std::string("II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0\x00\0\0\0", 22))},
      {"two values",
       Exif(std::string("II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x02\0\0\0\x06\0\0\0", 22))},
      {"text type",
       Exif(std::string("II*\0\x08\0\0\0\x01\0\x12\x01\x02\0\x01\0\0\0\x06\0\0\0", 22))},
      {"cut in the value", good.substr(0, good.size() - 3)},
  };
  for (const auto& [name, data] : cases)
    EXPECT_EQ(ExifOrientation(data), Orientation::kNormal) << name;
}

}  // namespace
}  // namespace albumora
