// The copies made while the rows stream by must be the copies made from the whole decoded photo:
// the same size for the page, the same pixels and so the same bytes in every saved file, the same
// messages. The whole-photo way (load, copy, scale each, convert each to sRGB) is the reference.
#include "imaging/photo_copies.h"

#include <gtest/gtest.h>
#include <hwy/targets.h>
#include <lcms2.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "imaging/colour_profile.h"
#include "imaging/raster_image.h"
#include "imaging/row_stream_scaler.h"
#include "support/icc_profiles.h"
#include "test_pictures.h"

namespace albumora {
namespace {

using testing::DisplayP3Profile;
using testing::JpegKind;
using testing::JpegOptions;
using testing::MakeJpeg;
using testing::ProfileBytes;

struct Sides {
  int big;
  int small;
};

// Shrinking, enlarging the big copy, and sides that leave the photo's size (a side of 0, or a
// copy as large as the photo).
constexpr Sides kSides[] = {{23, 5}, {100, 9}, {0, 7}, {61, 3}};

bool SamePixels(const RasterImage& a, const RasterImage& b) {
  if (a.width() != b.width() || a.height() != b.height()) return false;
  for (int y = 0; y < a.height(); ++y) {
    if (std::memcmp(a.row(y), b.row(y), a.stride()) != 0) return false;
  }
  return true;
}

// Runs `check` once with the SIMD kernels of every kind of processor this one can run (the
// kernels are picked per processor, so each kind has code of its own).
template <typename Check>
void ForEachSimdTarget(Check check) {
  const std::vector<std::int64_t> targets = hwy::SupportedAndGeneratedTargets();
  ASSERT_FALSE(targets.empty());
  for (std::int64_t target : targets) {
    SCOPED_TRACE(hwy::TargetName(target));
    hwy::SetSupportedTargetsForTest(target);
    check();
  }
  hwy::SetSupportedTargetsForTest(0);
}

std::string Encoded(const RasterImage& image) {
  std::string jpeg;
  EncodeRasterImageAsJpeg(image, 7, &jpeg);
  return jpeg;
}

// Converts `bytes` both ways and compares everything a run keeps of the photo.
void ExpectSameCopies(const std::string& bytes, Sides sides, const std::string& label) {
  SCOPED_TRACE(label + " sides " + std::to_string(sides.big) + "/" + std::to_string(sides.small));
  RasterImage photo;
  std::string frame_error;
  const bool decoded = DecodeRasterImage(bytes, &photo, &frame_error);
  const PictureSize full{photo.width(), photo.height()};
  RasterImage big = photo;
  const PictureSize big_size = FitLongSide(photo.width(), photo.height(), sides.big);
  ScaleRasterImage(big, big_size.width, big_size.height);
  ConvertToSrgb(big);
  const PictureSize small_size = FitLongSide(photo.width(), photo.height(), sides.small);
  ScaleRasterImage(photo, small_size.width, small_size.height);
  ConvertToSrgb(photo);

  for (bool with_workspace : {false, true}) {
    ImagingWorkspace workspace;
    PhotoCopies copies;
    std::string error;
    ASSERT_EQ(ConvertPhotoBytes(bytes, sides.big, sides.small, &copies, &error,
                                with_workspace ? &workspace : nullptr),
              decoded);
    EXPECT_EQ(error, frame_error);
    if (!decoded) {
      EXPECT_TRUE(copies.big.empty() && copies.small.empty());
      continue;
    }
    EXPECT_EQ(copies.full, full);
    EXPECT_TRUE(copies.big.colour_profile() == nullptr);  // converted, ready to be saved
    EXPECT_TRUE(copies.small.colour_profile() == nullptr);
    EXPECT_TRUE(SamePixels(copies.big, big));
    EXPECT_TRUE(SamePixels(copies.small, photo));
    EXPECT_TRUE(Encoded(copies.big) == Encoded(big));  // no dump of a whole file when not
    EXPECT_TRUE(Encoded(copies.small) == Encoded(photo));
  }
}

TEST(PhotoCopiesTest, EveryOrientationAndOddSize) {
  const PictureSize sizes[] = {{61, 37}, {37, 61}, {3, 101}, {101, 3}, {1, 53}, {53, 1}, {1, 1}};
  for (int orientation = 0; orientation <= 8; ++orientation) {
    for (PictureSize size : sizes) {
      JpegOptions options;
      options.width = size.width;
      options.height = size.height;
      options.exif_orientation = orientation;
      const std::string jpeg = MakeJpeg(options);
      for (Sides sides : kSides) {
        ExpectSameCopies(jpeg, sides,
                         "orientation " + std::to_string(orientation) + " " +
                             std::to_string(size.width) + "x" + std::to_string(size.height));
      }
    }
  }
}

TEST(PhotoCopiesTest, EveryKindOfJpeg) {
  struct Case {
    const char* name;
    JpegOptions options;
  };
  auto with = [](auto change) {
    JpegOptions options;
    options.width = 83;
    options.height = 59;
    options.exif_orientation = 6;
    change(options);
    return options;
  };
  const Case cases[] = {
      {"4:2:0", with([](JpegOptions&) {})},
      {"4:4:4", with([](JpegOptions& o) { o.full_chroma = true; })},
      {"4:2:2", with([](JpegOptions& o) { o.luma_h_sampling = 2, o.luma_v_sampling = 1; })},
      {"4:4:0", with([](JpegOptions& o) { o.luma_h_sampling = 1, o.luma_v_sampling = 2; })},
      {"4:1:1", with([](JpegOptions& o) { o.luma_h_sampling = 4, o.luma_v_sampling = 1; })},
      {"gray", with([](JpegOptions& o) { o.kind = JpegKind::kGray; })},
      {"cmyk", with([](JpegOptions& o) { o.kind = JpegKind::kCmyk; })},
      {"adobe cmyk", with([](JpegOptions& o) { o.kind = JpegKind::kAdobeCmyk; })},
      {"ycck", with([](JpegOptions& o) { o.kind = JpegKind::kAdobeYcck; })},
      {"progressive", with([](JpegOptions& o) { o.progressive = true; })},
      {"progressive 8", with([](JpegOptions& o) { o.progressive = true, o.exif_orientation = 8; })},
      {"arithmetic", with([](JpegOptions& o) { o.arithmetic = true; })},
  };
  for (const Case& c : cases) {
    const std::string jpeg = MakeJpeg(c.options);
    for (Sides sides : kSides) ExpectSameCopies(jpeg, sides, c.name);
  }
}

TEST(PhotoCopiesTest, DamagedAndForeignFiles) {
  JpegOptions options;
  options.width = 80;
  options.height = 64;
  options.exif_orientation = 5;
  const std::string whole = MakeJpeg(options);
  const std::size_t scan = whole.find("\xFF\xDA");
  options.progressive = true;
  const std::string progressive = MakeJpeg(options);
  std::string huge = whole;  // declares 32767 x 32767 pixels
  const std::size_t frame = huge.find("\xFF\xC0");
  huge[frame + 5] = huge[frame + 7] = '\x7F';
  huge[frame + 6] = huge[frame + 8] = '\xFF';
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"cut in half", whole.substr(0, whole.size() / 2)},
      {"cut early", whole.substr(0, scan + 20)},
      {"cut before the end marker", whole.substr(0, whole.size() - 2)},
      {"progressive cut", progressive.substr(0, progressive.size() * 2 / 3)},
      {"error after the rows", whole.substr(0, whole.size() - 2) + whole.substr(scan)},
      {"header only", whole.substr(0, scan)},
      {"too large", huge},
      {"bitmap", testing::MakeBitmap({.width = 31, .height = 17})},
      {"not a picture", "GIF89a"},
      {"empty", ""},
  };
  for (const auto& c : cases) {
    for (Sides sides : kSides) ExpectSameCopies(c.bytes, sides, c.name);
  }
}

// Ink (0 = none) to Lab with a red cast, so the profile's colours differ from the plain formula.
int SampleInk(const cmsUInt16Number in[], cmsUInt16Number out[], void*) {
  const double white = 1 - in[3] / 65535.0;
  cmsCIELab lab{100 * (1 - in[0] / 131070.0) * white, 20 + 40 * (in[1] / 65535.0 - 0.5),
                -40 * (in[2] / 65535.0 - 0.5)};
  cmsFloat2LabEncoded(out, &lab);
  return TRUE;
}

// A CMYK output profile holding only a colour table (a lutAtoBType of curves, table, curves).
std::string CmykProfile() {
  cmsHPROFILE profile = cmsCreateProfilePlaceholder(nullptr);
  cmsSetProfileVersion(profile, 4.3);
  cmsSetDeviceClass(profile, cmsSigOutputClass);
  cmsSetColorSpace(profile, cmsSigCmykData);
  cmsSetPCS(profile, cmsSigLabData);
  cmsPipeline* lut = cmsPipelineAlloc(nullptr, 4, 3);
  cmsStage* table = cmsStageAllocCLut16bit(nullptr, 5, 4, 3, nullptr);
  cmsStageSampleCLut16bit(table, SampleInk, nullptr, 0);
  cmsPipelineInsertStage(lut, cmsAT_END, cmsStageAllocToneCurves(nullptr, 4, nullptr));
  cmsPipelineInsertStage(lut, cmsAT_END, table);
  cmsPipelineInsertStage(lut, cmsAT_END, cmsStageAllocToneCurves(nullptr, 3, nullptr));
  cmsWriteTag(profile, cmsSigAToB0Tag, lut);
  cmsPipelineFree(lut);
  cmsWriteTag(profile, cmsSigMediaWhitePointTag, cmsD50_XYZ());
  return ProfileBytes(profile);
}

// Tagged photos are converted on the streaming path exactly as the whole-photo way converts them
// (RGB once scaled, CMYK while decoded), in several orientations; and the conversion did happen:
// the copies are not those of the same photo untagged.
TEST(PhotoCopiesTest, TaggedPhotosComeOutInSrgb) {
  const std::string p3 = DisplayP3Profile();
  const std::string cmyk = CmykProfile();
  const struct {
    const char* name;
    JpegKind kind;
    bool progressive;
    const std::string& icc;
  } cases[] = {
      {"p3", JpegKind::kRgb, false, p3},
      {"p3 progressive", JpegKind::kRgb, true, p3},
      {"cmyk", JpegKind::kCmyk, false, cmyk},
      {"adobe cmyk", JpegKind::kAdobeCmyk, false, cmyk},
  };
  for (const auto& c : cases) {
    for (const int orientation : {1, 6, 7}) {
      JpegOptions options;
      options.width = 83;
      options.height = 59;
      options.kind = c.kind;
      options.exif_orientation = orientation;
      options.progressive = c.progressive;
      const std::string untagged = MakeJpeg(options);
      options.icc_profile = c.icc;
      const std::string tagged = MakeJpeg(options);
      const std::string label = std::string(c.name) + " orientation " + std::to_string(orientation);
      for (Sides sides : kSides) ExpectSameCopies(tagged, sides, label);

      PhotoCopies plain;
      PhotoCopies converted;
      ASSERT_TRUE(ConvertPhotoBytes(untagged, 61, 9, &plain));
      ASSERT_TRUE(ConvertPhotoBytes(tagged, 61, 9, &converted));
      EXPECT_FALSE(SamePixels(plain.big, converted.big)) << label;
      EXPECT_FALSE(SamePixels(plain.small, converted.small)) << label;
    }
  }
}

TEST(PhotoCopiesTest, ReadsFilesLikeTheLoader) {
  testing::TempFolder folder;
  const std::string path = folder.File("photo.jpg");
  testing::WriteFile(path, MakeJpeg({.width = 40, .height = 30, .exif_orientation = 8}));
  PhotoCopies copies;
  std::string error;
  ImagingWorkspace workspace;
  ASSERT_TRUE(ConvertPhotoFile(path, 20, 6, &copies, &error, &workspace));
  EXPECT_EQ(copies.full, (PictureSize{30, 40}));
  EXPECT_EQ((PictureSize{copies.big.width(), copies.big.height()}), (PictureSize{15, 20}));
  EXPECT_EQ((PictureSize{copies.small.width(), copies.small.height()}), (PictureSize{4, 6}));

  RasterImage loaded;
  std::string load_error;
  for (const std::string& bad : {folder.File("missing.jpg"), folder.path().string()}) {
    EXPECT_FALSE(ConvertPhotoFile(bad, 20, 6, &copies, &error, &workspace));
    EXPECT_FALSE(LoadRasterImage(bad, &loaded, &load_error));
    EXPECT_EQ(error, load_error);
    EXPECT_TRUE(copies.big.empty());
  }
}

// The scaler takes the rows in bands of any size, including runs of fully covered rows longer
// than its 16-bit sums hold, on every kind of processor.
TEST(RowStreamScalerTest, AnyBandsGiveTheWholePictureResult) {
  const RasterImage source = testing::MakePicture(29, 700);
  const PictureSize targets[] = {{5, 2}, {3, 1}, {29, 699}, {58, 1400}, {1, 333}, {7, 700}};
  ForEachSimdTarget([&] {
    for (PictureSize target : targets) {
      RasterImage expected = source;
      ScaleRasterImage(expected, target.width, target.height);
      for (int band : {1, 7, 16, 300, 700}) {
        RasterImage scaled(target.width, target.height);
        imaging_internal::RowStreamScaler scaler(source.width(), source.height(), &scaled);
        for (int y = 0; y < source.height(); y += band) {
          scaler.TakeRows(source.row(y), source.stride(), std::min(band, source.height() - y));
        }
        EXPECT_TRUE(scaler.done());
        EXPECT_TRUE(SamePixels(scaled, expected))
            << target.width << "x" << target.height << " band " << band;
      }
    }
  });
}

// Spans of white rows right at the edge of the 16-bit sums (257 rows of 255 make 65535) and
// past it, whole and streamed, at a width that leaves the vector loops a remainder.
TEST(RowStreamScalerTest, SumsAtTheEdgeOfSixteenBitsStayExact) {
  ForEachSimdTarget([] {
    for (int height : {258, 259, 260, 515, 516}) {
      const RasterImage white(67, height, Rgb{255, 255, 255});
      for (int target_height : {1, 2}) {
        RasterImage scaled = white;
        ScaleRasterImage(scaled, 67, target_height);
        RasterImage streamed(67, target_height);
        imaging_internal::RowStreamScaler scaler(67, height, &streamed);
        for (int y = 0; y < height; y += 32) {
          scaler.TakeRows(white.row(y), white.stride(), std::min(32, height - y));
        }
        for (int y = 0; y < target_height; ++y) {
          for (int x = 0; x < 67; ++x) {
            ASSERT_EQ(scaled.pixel(x, y), (Rgb{255, 255, 255})) << height << " " << x << "," << y;
            ASSERT_EQ(streamed.pixel(x, y), (Rgb{255, 255, 255})) << height << " " << x << "," << y;
          }
        }
      }
    }
  });
}

}  // namespace
}  // namespace albumora

namespace albumora {
namespace {

// Overlap of source pixel i (n pixels) with target pixel t (m pixels), in 1/(n*m) units.
std::int64_t Overlap(std::int64_t i, std::int64_t t, std::int64_t n, std::int64_t m) {
  return std::max<std::int64_t>(0, std::min((i + 1) * m, (t + 1) * n) - std::max(i * m, t * n));
}

// The exact weighted sum of what each target pixel covers, divided by multiplying with
// round(2^S / D) as the resampler has always done.
RasterImage BruteForceScale(const RasterImage& source, PictureSize target) {
  const std::int64_t w = source.width();
  const std::int64_t h = source.height();
  const auto divisor = static_cast<std::uint64_t>(w * h);
  const int shift = 24 + static_cast<int>(std::bit_width(divisor));
  const std::uint64_t multiplier = ((std::uint64_t{1} << shift) + divisor / 2) / divisor;
  RasterImage scaled(target.width, target.height);
  for (int ty = 0; ty < target.height; ++ty) {
    for (int tx = 0; tx < target.width; ++tx) {
      std::uint64_t sum[3] = {};
      for (std::int64_t y = ty * h / target.height; y < h; ++y) {
        const std::int64_t wy = Overlap(y, ty, h, target.height);
        if (wy == 0) break;
        for (std::int64_t x = tx * w / target.width; x < w; ++x) {
          const std::int64_t wx = Overlap(x, tx, w, target.width);
          if (wx == 0) break;
          const Rgb p = source.pixel(static_cast<int>(x), static_cast<int>(y));
          const std::uint8_t v[3] = {p.r, p.g, p.b};
          for (int k = 0; k < 3; ++k) sum[k] += static_cast<std::uint64_t>(wx * wy) * v[k];
        }
      }
      std::uint8_t mean[3];
      for (int k = 0; k < 3; ++k) {
        mean[k] = static_cast<std::uint8_t>(
            (sum[k] * multiplier + (std::uint64_t{1} << (shift - 1))) >> shift);
      }
      scaled.set_pixel(tx, ty, Rgb{mean[0], mean[1], mean[2]});
    }
  }
  return scaled;
}

// Every scaled pixel is the exact weighted sum of what it covers, whether the picture is scaled
// whole or streamed in bands, with the kernels built for every kind of processor this one can
// run: no kernel may lose or round a sum on the way.
TEST(ExactSumsTest, EveryKernelKeepsTheSumsExact) {
  const struct {
    PictureSize source, target;
  } cases[] = {{{600, 400}, {102, 68}},   {{400, 600}, {68, 102}}, {{97, 89}, {13, 11}},
               {{1000, 7}, {3, 2}},       {{7, 1000}, {2, 3}},     {{31, 17}, {64, 40}},
               {{50, 50}, {49, 49}},      {{320, 5}, {10, 5}},     {{3, 900}, {3, 1}},
               {{1, 60}, {1, 7}},         {{60, 1}, {7, 1}},       {{4200, 4100}, {1, 1}},
               {{4400, 4100}, {600, 559}}};
  for (const auto& c : cases) {
    const RasterImage source =
        testing::MakePicture(c.source.width, c.source.height, [](int x, int y) {
          // Green is bright, so that its weighted sums pass 32 bits in the largest picture.
          return Rgb{static_cast<std::uint8_t>((x * 37 + y * 11) % 256),
                     static_cast<std::uint8_t>(248 + (x * x + y * 3) % 8),
                     static_cast<std::uint8_t>(255 - (x + y) % 256)};
        });
    const RasterImage expected = BruteForceScale(source, c.target);
    SCOPED_TRACE(std::to_string(c.source.width) + "x" + std::to_string(c.source.height) + " to " +
                 std::to_string(c.target.width) + "x" + std::to_string(c.target.height));
    ForEachSimdTarget([&] {
      RasterImage scaled = source;
      ScaleRasterImage(scaled, c.target.width, c.target.height);
      EXPECT_TRUE(SamePixels(scaled, expected));
      RasterImage streamed(c.target.width, c.target.height);
      imaging_internal::RowStreamScaler scaler(source.width(), source.height(), &streamed);
      for (int y = 0; y < source.height(); y += 32) {
        scaler.TakeRows(source.row(y), source.stride(), std::min(32, source.height() - y));
      }
      EXPECT_TRUE(SamePixels(streamed, expected));
    });
  }
}

}  // namespace
}  // namespace albumora
