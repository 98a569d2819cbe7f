// ScaleRasterImage against a plain double-precision area average.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "imaging/raster_image.h"
#include "test_pictures.h"

namespace albumora {
namespace {

// The mean of the source area each target pixel covers, by overlap lengths in doubles.
std::vector<double> ReferenceScale(const RasterImage& source, int width, int height) {
  const double sx = static_cast<double>(source.width()) / width;
  const double sy = static_cast<double>(source.height()) / height;
  std::vector<double> out(static_cast<std::size_t>(width) * height * 3);
  for (int ty = 0; ty < height; ++ty) {
    for (int tx = 0; tx < width; ++tx) {
      double sum[3] = {0, 0, 0};
      double area = 0;
      for (int y = static_cast<int>(ty * sy); y < source.height() && y < (ty + 1) * sy; ++y) {
        const double wy = std::min<double>(y + 1, (ty + 1) * sy) - std::max<double>(y, ty * sy);
        for (int x = static_cast<int>(tx * sx); x < source.width() && x < (tx + 1) * sx; ++x) {
          const double wx = std::min<double>(x + 1, (tx + 1) * sx) - std::max<double>(x, tx * sx);
          const Rgb p = source.pixel(x, y);
          sum[0] += wx * wy * p.r;
          sum[1] += wx * wy * p.g;
          sum[2] += wx * wy * p.b;
          area += wx * wy;
        }
      }
      for (int c = 0; c < 3; ++c)
        out[(static_cast<std::size_t>(ty) * width + tx) * 3 + c] = sum[c] / area;
    }
  }
  return out;
}

RasterImage RandomPicture(int width, int height, unsigned seed) {
  std::mt19937 random(seed);
  return testing::MakePicture(width, height, [&random](int, int) {
    return Rgb{static_cast<std::uint8_t>(random()), static_cast<std::uint8_t>(random()),
               static_cast<std::uint8_t>(random())};
  });
}

double WorstError(const RasterImage& scaled, const std::vector<double>& reference) {
  double worst = 0;
  for (int y = 0; y < scaled.height(); ++y) {
    for (std::size_t i = 0; i < scaled.stride(); ++i) {
      const double expected = reference[static_cast<std::size_t>(y) * scaled.stride() + i];
      worst = std::max(worst, std::abs(scaled.row(y)[i] - expected));
    }
  }
  return worst;
}

struct Ratio {
  int from_width, from_height, to_width, to_height;
};

class ResampleAccuracyTest : public ::testing::TestWithParam<Ratio> {};

TEST_P(ResampleAccuracyTest, WithinOneOfTheExactMean) {
  const Ratio r = GetParam();
  for (unsigned seed = 1; seed <= 3; ++seed) {
    const RasterImage source = RandomPicture(r.from_width, r.from_height, seed);
    RasterImage scaled = source;
    ScaleRasterImage(scaled, r.to_width, r.to_height);
    ASSERT_EQ(scaled.width(), r.to_width);
    ASSERT_EQ(scaled.height(), r.to_height);
    // Rounded to nearest: half a level, plus a hair for the fixed-point division.
    EXPECT_LE(WorstError(scaled, ReferenceScale(source, r.to_width, r.to_height)), 0.5001);
  }
}

INSTANTIATE_TEST_SUITE_P(Ratios, ResampleAccuracyTest,
                         ::testing::Values(Ratio{97, 61, 13, 7},    // odd shrink
                                           Ratio{100, 75, 33, 25},  // uneven spans
                                           Ratio{64, 48, 7, 48},    // one axis only
                                           Ratio{31, 17, 1, 1},     // everything into one
                                           Ratio{40, 700, 3, 2},    // spans of 350 rows
                                           Ratio{300, 2, 150, 1},   // flat strip
                                           Ratio{7, 5, 23, 19},     // odd enlargement
                                           Ratio{3, 2, 8, 5},       // small enlargement
                                           Ratio{40, 30, 57, 11},   // wider and lower
                                           Ratio{1, 1, 5, 3}));     // one pixel spread

TEST(ResampleTest, IntegerRatioGivesBlockMeans) {
  // 8 x 8 in 4 x 4 blocks, each block with sixteen different values around a known mean.
  const RasterImage source = testing::MakePicture(8, 8, [](int x, int y) {
    const int block = (y / 4) * 2 + x / 4;
    const int offset = (y % 4) * 4 + x % 4;                           // 0..15, mean 7.5
    return Rgb{static_cast<std::uint8_t>(40 * block + offset * 2),    // mean 40 b + 15
               static_cast<std::uint8_t>(200 - 50 * block + offset),  // mean 200 - 50 b + 7.5
               static_cast<std::uint8_t>(block == 3 ? 255 : 0)};
  });
  RasterImage scaled = source;
  ScaleRasterImage(scaled, 2, 2);
  EXPECT_EQ(scaled.pixel(0, 0), (Rgb{15, 208, 0}));  // 207.5 rounds up
  EXPECT_EQ(scaled.pixel(1, 0), (Rgb{55, 158, 0}));
  EXPECT_EQ(scaled.pixel(0, 1), (Rgb{95, 108, 0}));
  EXPECT_EQ(scaled.pixel(1, 1), (Rgb{135, 58, 255}));
}

TEST(ResampleTest, ConstantStaysConstantAtEveryRatio) {
  const Rgb colour{255, 1, 128};
  for (const auto& [w, h] : std::vector<std::pair<int, int>>{
           {1, 1}, {2, 3}, {7, 5}, {13, 13}, {100, 1}, {1, 100}, {333, 251}, {1000, 3}}) {
    RasterImage picture(97, 89, colour);
    ScaleRasterImage(picture, w, h);
    ASSERT_EQ(picture.width(), w);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) ASSERT_EQ(picture.pixel(x, y), colour) << w << "x" << h;
    }
  }
}

TEST(ResampleTest, VeryLongSpansDoNotOverflow) {
  // Each vertical sum is 255 * 3400; one target pixel adds 5000 of them (over 2^32).
  RasterImage picture(5000, 3400, Rgb{255, 255, 0});
  ScaleRasterImage(picture, 1, 1);
  EXPECT_EQ(picture.pixel(0, 0), (Rgb{255, 255, 0}));
}

TEST(ResampleTest, EnlargingByAnIntegerRepeatsPixels) {
  const RasterImage source = RandomPicture(3, 2, 9);
  RasterImage scaled = source;
  ScaleRasterImage(scaled, 9, 4);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 9; ++x) EXPECT_EQ(scaled.pixel(x, y), source.pixel(x / 3, y / 2));
  }
}

TEST(ResampleTest, UnchangedSizeKeepsThePixels) {
  RasterImage picture = RandomPicture(10, 6, 4);
  const RasterImage before = picture;
  ScaleRasterImage(picture, 10, 6);
  EXPECT_TRUE(picture.SharesPixelsWith(before));  // not even copied
}

TEST(ResampleTest, UnusableSizesKeepThePicture) {
  RasterImage picture = RandomPicture(10, 6, 5);
  const RasterImage before = picture;
  for (const auto& [w, h] : std::vector<std::pair<int, int>>{
           {0, 5}, {5, 0}, {0, 0}, {-3, 4}, {kMaxPictureSide + 1, 2}, {30000, 30000}}) {
    ScaleRasterImage(picture, w, h);
    EXPECT_TRUE(picture.SharesPixelsWith(before)) << w << "x" << h;
    EXPECT_EQ(picture.width(), 10);
  }
  RasterImage empty;
  ScaleRasterImage(empty, 5, 5);
  EXPECT_TRUE(empty.empty());
  EXPECT_EQ(empty.width(), 0);
}

TEST(ResampleTest, WorkspaceGivesTheSameResult) {
  const RasterImage source = RandomPicture(123, 77, 6);
  ImagingWorkspace workspace;
  for (const auto& [w, h] : std::vector<std::pair<int, int>>{{40, 25}, {200, 150}, {17, 9}}) {
    RasterImage plain = source;
    RasterImage reused = source;
    ScaleRasterImage(plain, w, h);
    ScaleRasterImage(reused, w, h, &workspace);
    EXPECT_EQ(testing::MaxDifference(plain, reused), 0);
  }
}

}  // namespace
}  // namespace albumora
