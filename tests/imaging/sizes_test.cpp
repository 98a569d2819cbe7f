// The sizes of the big and small pictures, through the whole load-fit-scale-save road.
#include <gtest/gtest.h>

#include <climits>

#include "imaging/raster_image.h"
#include "test_pictures.h"

namespace albumora {
namespace {

using testing::JpegOptions;
using testing::MakeJpeg;
using testing::TempFolder;

struct SizeCase {
  const char* name;
  int width;
  int height;
  int big_side;
  int small_side;
  PictureSize big;
  PictureSize small;
};

class ConversionSizeTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(ConversionSizeTest, BigAndSmallPictureSizes) {
  const SizeCase& c = GetParam();
  TempFolder folder;
  JpegOptions options;
  options.width = c.width;
  options.height = c.height;
  testing::WriteFile(folder.File("photo.jpg"), MakeJpeg(options));

  ImagingWorkspace workspace;
  RasterImage photo;
  ASSERT_TRUE(LoadRasterImage(folder.File("photo.jpg"), &photo, nullptr, &workspace));
  RasterImage big = photo;
  const PictureSize big_size = FitLongSide(photo.width(), photo.height(), c.big_side);
  EXPECT_EQ(big_size, c.big);
  ScaleRasterImage(big, big_size.width, big_size.height, &workspace);
  ASSERT_TRUE(SaveRasterImageAsJpeg(big, folder.File("g.jpg"), 7));
  const PictureSize small_size = FitLongSide(photo.width(), photo.height(), c.small_side);
  ScaleRasterImage(photo, small_size.width, small_size.height, &workspace);
  ASSERT_TRUE(SaveRasterImageAsJpeg(photo, folder.File("k.jpg"), 7));

  // A fitted side of 0 keeps the source size.
  auto written_size = [&c](PictureSize fitted) {
    return fitted.width == 0 || fitted.height == 0 ? PictureSize{c.width, c.height} : fitted;
  };
  RasterImage written;
  ASSERT_TRUE(LoadRasterImage(folder.File("g.jpg"), &written));
  EXPECT_EQ((PictureSize{written.width(), written.height()}), written_size(c.big));
  ASSERT_TRUE(LoadRasterImage(folder.File("k.jpg"), &written));
  EXPECT_EQ((PictureSize{written.width(), written.height()}), written_size(c.small));
}

INSTANTIATE_TEST_SUITE_P(
    Photos, ConversionSizeTest,
    ::testing::Values(SizeCase{"landscape", 1600, 1200, 440, 150, {440, 330}, {150, 112}},
                      SizeCase{"portrait", 1200, 1600, 440, 150, {330, 440}, {112, 150}},
                      SizeCase{"exact_big_side", 1024, 768, 1024, 150, {1024, 768}, {150, 112}},
                      SizeCase{"enlarged", 300, 200, 800, 150, {800, 533}, {150, 100}},
                      SizeCase{"square", 500, 500, 440, 150, {440, 440}, {150, 150}},
                      // The height would be 0: the picture is saved at its source size.
                      SizeCase{"extreme_aspect", 900, 2, 440, 150, {440, 0}, {150, 0}}),
    [](const auto& info) { return info.param.name; });

TEST(ConversionSizeTest, ExtremeAspectKeepsSourceSize) {
  RasterImage picture = testing::MakePicture(900, 2);
  const PictureSize size = FitLongSide(900, 2, 440);
  ScaleRasterImage(picture, size.width, size.height);
  EXPECT_EQ(picture.width(), 900);
  EXPECT_EQ(picture.height(), 2);
}

TEST(FitTest, Rules) {
  EXPECT_EQ(FitLongSide(900, 600, 800), (PictureSize{800, 533}));
  EXPECT_EQ(FitLongSide(600, 900, 150), (PictureSize{100, 150}));
  EXPECT_EQ(FitLongSide(32767, 32767, 1024), (PictureSize{1024, 1024}));
  EXPECT_EQ(FitLongSide(32767, 32766, 32767), (PictureSize{32767, 32766}));
  EXPECT_EQ(FitWidth(100, 300, 150), (PictureSize{150, 450}));  // whatever the orientation
  EXPECT_EQ(FitWidth(300, 100, 150), (PictureSize{150, 50}));
  EXPECT_EQ(FitWidth(1, 32767, 1 << 30).height, INT_MAX);  // no wrap-around
  // A failed load has no size; nothing divides by zero.
  EXPECT_EQ(FitLongSide(0, 0, 150), (PictureSize{}));
  EXPECT_EQ(FitWidth(0, 10, 150), (PictureSize{}));
  EXPECT_EQ(FitLongSide(10, 10, 0), (PictureSize{}));
}

}  // namespace
}  // namespace albumora
