// RasterImage copies and the reuse of buffers through a workspace.
#include "imaging/raster_image.h"

#include <gtest/gtest.h>

#include <memory>

#include "test_pictures.h"

namespace albumora {
namespace {

TEST(RasterImageTest, CopiesAreIndependentValues) {
  RasterImage photo = testing::MakePicture(6, 4);
  RasterImage copy = photo;
  EXPECT_TRUE(copy.SharesPixelsWith(photo));  // nothing copied yet
  copy.set_pixel(1, 1, Rgb{1, 2, 3});
  EXPECT_FALSE(copy.SharesPixelsWith(photo));
  EXPECT_EQ(copy.pixel(1, 1), (Rgb{1, 2, 3}));
  EXPECT_EQ(photo.pixel(1, 1), testing::DefaultPattern(1, 1));
  // Writing through the original detaches it too, and leaves the copy as it was.
  RasterImage second = photo;
  photo.mutable_row(0)[0] = 99;
  EXPECT_EQ(second.pixel(0, 0), testing::DefaultPattern(0, 0));
}

TEST(RasterImageTest, ScalingACopyLeavesTheOriginal) {
  const RasterImage photo = testing::MakePicture(40, 30);
  RasterImage big = photo;
  ScaleRasterImage(big, 20, 15);
  EXPECT_EQ(big.width(), 20);
  EXPECT_EQ(photo.width(), 40);
  EXPECT_EQ(testing::MaxDifference(photo, testing::MakePicture(40, 30)), 0);
}

TEST(RasterImageTest, SizesOutOfRangeMakeNoPicture) {
  EXPECT_TRUE(RasterImage(0, 5).empty());
  EXPECT_TRUE(RasterImage(5, -1).empty());
  EXPECT_TRUE(RasterImage(kMaxPictureSide + 1, 1).empty());
  EXPECT_EQ(RasterImage(kMaxPictureSide + 1, 1).width(), 0);
  EXPECT_FALSE(RasterImage(1, 1).empty());
}

TEST(WorkspaceTest, BuffersReturnAndAreReused) {
  ImagingWorkspace workspace;
  const std::string jpeg = testing::MakeJpeg(testing::JpegOptions{});
  RasterImage photo;
  ASSERT_TRUE(DecodeRasterImage(jpeg, &photo, nullptr, &workspace));
  const std::uint8_t* first_buffer = photo.row(0);
  const std::size_t before = workspace.RetainedBytes();
  photo.Release();
  EXPECT_GE(workspace.RetainedBytes(), before + 64 * 48 * 3);
  ASSERT_TRUE(DecodeRasterImage(jpeg, &photo, nullptr, &workspace));
  EXPECT_EQ(photo.row(0), first_buffer);  // the same memory, not fresh pages
}

TEST(WorkspaceTest, ARunOfPhotosKeepsAFewBuffers) {
  ImagingWorkspace workspace;
  RasterImage big;
  for (int i = 0; i < 6; ++i) {
    testing::JpegOptions options;
    options.width = 120 + 10 * (i % 3);
    options.height = 90;
    RasterImage photo;
    ASSERT_TRUE(DecodeRasterImage(testing::MakeJpeg(options), &photo, nullptr, &workspace));
    big = photo;
    ScaleRasterImage(big, 60, 45, &workspace);
    ScaleRasterImage(photo, 20, 15, &workspace);
  }
  // Bounded: a few buffers of the largest photo, not one per photo.
  EXPECT_LT(workspace.RetainedBytes(), 6 * 140 * 90 * 3);
}

TEST(WorkspaceTest, PicturesMayOutliveTheirWorkspace) {
  RasterImage photo;
  {
    ImagingWorkspace workspace;
    ASSERT_TRUE(
        DecodeRasterImage(testing::MakeJpeg(testing::JpegOptions{}), &photo, nullptr, &workspace));
  }
  RasterImage copy = photo;
  ScaleRasterImage(copy, 10, 10);
  EXPECT_EQ(photo.width(), 64);
  photo.Release();  // freed, not returned to the gone workspace
  EXPECT_EQ(copy.width(), 10);
}

}  // namespace
}  // namespace albumora
