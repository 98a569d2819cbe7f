// Colour-managed copies: which embedded profiles convert, how exactly, and what is ignored.
#include "imaging/colour_profile.h"

#include <gtest/gtest.h>
#include <lcms2.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "imaging/jpeg_library.h"
#include "imaging/raster_image.h"
#include "test_pictures.h"

namespace albumora {
namespace {

using testing::JpegKind;
using testing::JpegOptions;
using testing::MakeJpeg;

// ---- Profiles made with LittleCMS -----------------------------------------------------------

struct ProfileCloser {
  void operator()(void* profile) const { cmsCloseProfile(profile); }
};
struct TransformDeleter {
  void operator()(void* transform) const { cmsDeleteTransform(transform); }
};
using Profile = std::unique_ptr<void, ProfileCloser>;
using Transform = std::unique_ptr<void, TransformDeleter>;

std::string Bytes(const Profile& profile) {
  cmsUInt32Number size = 0;
  cmsSaveProfileToMem(profile.get(), nullptr, &size);
  std::string bytes(size, '\0');
  cmsSaveProfileToMem(profile.get(), bytes.data(), &size);
  return bytes;
}

void Describe(const Profile& profile, const char* text) {
  cmsMLU* mlu = cmsMLUalloc(nullptr, 1);
  cmsMLUsetASCII(mlu, "en", "US", text);
  cmsWriteTag(profile.get(), cmsSigProfileDescriptionTag, mlu);
  cmsMLUfree(mlu);
}

constexpr cmsCIExyYTRIPLE kSrgbPrimaries = {{0.64, 0.33, 1}, {0.30, 0.60, 1}, {0.15, 0.06, 1}};
constexpr cmsCIExyYTRIPLE kP3Primaries = {{0.680, 0.320, 1}, {0.265, 0.690, 1}, {0.150, 0.060, 1}};
constexpr cmsCIExyYTRIPLE kAdobePrimaries = {{0.64, 0.33, 1}, {0.21, 0.71, 1}, {0.15, 0.06, 1}};
constexpr cmsCIExyY kD65 = {0.3127, 0.3290, 1};

// A matrix-shaper profile; gamma 0 means the sRGB curve.
std::string RgbProfile(const cmsCIExyYTRIPLE& primaries, const char* description,
                       double gamma = 0) {
  const double srgb_curve[] = {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045};
  cmsToneCurve* curve = gamma == 0 ? cmsBuildParametricToneCurve(nullptr, 4, srgb_curve)
                                   : cmsBuildGamma(nullptr, gamma);
  cmsToneCurve* curves[] = {curve, curve, curve};
  const Profile profile(cmsCreateRGBProfile(&kD65, &primaries, curves));
  cmsFreeToneCurve(curve);
  Describe(profile, description);
  return Bytes(profile);
}

std::string GrayProfile() {
  cmsToneCurve* curve = cmsBuildGamma(nullptr, 1.8);
  const Profile profile(cmsCreateGrayProfile(cmsD50_xyY(), curve));
  cmsFreeToneCurve(curve);
  Describe(profile, "Gray Gamma 1.8");
  return Bytes(profile);
}

// A table-based RGB profile (identity curves into Lab).
std::string TableProfile(const char* description) {
  const Profile profile(cmsCreateProfilePlaceholder(nullptr));
  cmsSetProfileVersion(profile.get(), 4.3);
  cmsSetDeviceClass(profile.get(), cmsSigDisplayClass);
  cmsSetColorSpace(profile.get(), cmsSigRgbData);
  cmsSetPCS(profile.get(), cmsSigLabData);
  cmsPipeline* lut = cmsPipelineAlloc(nullptr, 3, 3);
  cmsPipelineInsertStage(lut, cmsAT_BEGIN, cmsStageAllocToneCurves(nullptr, 3, nullptr));
  cmsWriteTag(profile.get(), cmsSigAToB0Tag, lut);
  cmsPipelineFree(lut);
  cmsWriteTag(profile.get(), cmsSigMediaWhitePointTag, cmsD50_XYZ());
  Describe(profile, description);
  return Bytes(profile);
}

// A version 2 profile whose lut16Type table declares 255 grid points per input: about 100 MB
// of table in a profile of a few hundred bytes.
std::string OversizedTableProfile() {
  const Profile profile(cmsCreateProfilePlaceholder(nullptr));
  cmsSetProfileVersion(profile.get(), 2.1);
  cmsSetDeviceClass(profile.get(), cmsSigDisplayClass);
  cmsSetColorSpace(profile.get(), cmsSigRgbData);
  cmsSetPCS(profile.get(), cmsSigLabData);
  cmsPipeline* lut = cmsPipelineAlloc(nullptr, 3, 3);
  cmsPipelineInsertStage(lut, cmsAT_END, cmsStageAllocCLut16bit(nullptr, 2, 3, 3, nullptr));
  cmsWriteTag(profile.get(), cmsSigAToB0Tag, lut);
  cmsPipelineFree(lut);
  cmsWriteTag(profile.get(), cmsSigMediaWhitePointTag, cmsD50_XYZ());
  std::string bytes = Bytes(profile);
  const std::size_t table = bytes.find("mft2");
  if (table == std::string::npos) {
    ADD_FAILURE() << "LittleCMS wrote no lut16Type";
    return bytes;
  }
  bytes[table + 10] = static_cast<char>(255);
  return bytes;
}

// A press-like CMYK profile: ink (0 = none) to colour with a cast no plain formula has.
int SampleInk(const cmsUInt16Number in[], cmsUInt16Number out[], void* to_lab) {
  double rgb[3];
  const double white = 1 - in[3] / 65535.0;
  for (int c = 0; c < 3; ++c) rgb[c] = (1 - in[c] / 65535.0) * white;
  rgb[0] *= 0.85;
  rgb[2] = 0.1 + 0.8 * rgb[2];
  cmsCIELab lab;
  cmsDoTransform(to_lab, rgb, &lab, 1);
  cmsFloat2LabEncoded(out, &lab);
  return TRUE;
}

std::string CmykProfile() {
  const Profile srgb(cmsCreate_sRGBProfile());
  const Profile lab(cmsCreateLab4Profile(nullptr));
  const Transform to_lab(cmsCreateTransform(srgb.get(), TYPE_RGB_DBL, lab.get(), TYPE_Lab_DBL,
                                            INTENT_RELATIVE_COLORIMETRIC, 0));
  const Profile profile(cmsCreateProfilePlaceholder(nullptr));
  cmsSetProfileVersion(profile.get(), 4.3);
  cmsSetDeviceClass(profile.get(), cmsSigOutputClass);
  cmsSetColorSpace(profile.get(), cmsSigCmykData);
  cmsSetPCS(profile.get(), cmsSigLabData);
  cmsPipeline* lut = cmsPipelineAlloc(nullptr, 4, 3);
  cmsStage* table = cmsStageAllocCLut16bit(nullptr, 9, 4, 3, nullptr);
  cmsStageSampleCLut16bit(table, SampleInk, to_lab.get(), 0);
  // A lutAtoBType holds curves, table, curves.
  cmsPipelineInsertStage(lut, cmsAT_END, cmsStageAllocToneCurves(nullptr, 4, nullptr));
  cmsPipelineInsertStage(lut, cmsAT_END, table);
  cmsPipelineInsertStage(lut, cmsAT_END, cmsStageAllocToneCurves(nullptr, 3, nullptr));
  cmsWriteTag(profile.get(), cmsSigAToB0Tag, lut);
  cmsPipelineFree(lut);
  cmsWriteTag(profile.get(), cmsSigMediaWhitePointTag, cmsD50_XYZ());
  Describe(profile, "Test Press CMYK");
  return Bytes(profile);
}

// LittleCMS's own conversion of `count` pixels of `format` to sRGB.
std::vector<std::uint8_t> LittleCmsSrgb(const std::string& icc, cmsUInt32Number format,
                                        const std::uint8_t* pixels, int count) {
  const Profile profile(
      cmsOpenProfileFromMem(icc.data(), static_cast<cmsUInt32Number>(icc.size())));
  const Profile srgb(cmsCreate_sRGBProfile());
  const Transform transform(cmsCreateTransform(profile.get(), format, srgb.get(), TYPE_RGB_8,
                                               INTENT_RELATIVE_COLORIMETRIC,
                                               cmsFLAGS_BLACKPOINTCOMPENSATION));
  std::vector<std::uint8_t> out(static_cast<std::size_t>(count) * 3);
  EXPECT_NE(transform, nullptr);
  if (transform == nullptr) return {};
  cmsDoTransform(transform.get(), pixels, out.data(), static_cast<cmsUInt32Number>(count));
  return out;
}

RasterImage Decoded(const std::string& jpeg, ImagingWorkspace* workspace = nullptr) {
  RasterImage image;
  EXPECT_TRUE(DecodeRasterImage(jpeg, &image, nullptr, workspace));
  return image;
}

// Pure P3 red, green, blue and three mid-tones in 8 x 8 patches.
Rgb P3Patches(int x, int y) {
  static constexpr Rgb kPatches[] = {{255, 0, 0},    {0, 255, 0},   {0, 0, 255},
                                     {200, 100, 50}, {60, 180, 90}, {80, 90, 200}};
  return kPatches[(y / 8) * 3 + x / 8];
}

// ---- Conversion ------------------------------------------------------------------------------

struct ConversionCase {
  const char* name;
  std::string icc;
  JpegKind kind;
  cmsUInt32Number format;  // how LittleCMS reads the untagged copy's pixels
};

TEST(ColourConversionTest, CopiesMatchLittleCmsWithinTwo) {
  const cmsUInt32Number gray_in_rgb =
      COLORSPACE_SH(PT_GRAY) | CHANNELS_SH(1) | BYTES_SH(1) | EXTRA_SH(2);
  const ConversionCase cases[] = {
      {"display_p3", RgbProfile(kP3Primaries, "Display P3"), JpegKind::kRgb, TYPE_RGB_8},
      {"adobe_rgb", RgbProfile(kAdobePrimaries, "Adobe RGB (1998)", 2.19921875), JpegKind::kRgb,
       TYPE_RGB_8},
      {"gray", GrayProfile(), JpegKind::kGray, gray_in_rgb},
  };
  ImagingWorkspace workspace;
  for (const ConversionCase& c : cases) {
    JpegOptions options;
    options.width = 24;
    options.height = 16;
    options.quality = 100;
    options.full_chroma = true;
    options.kind = c.kind;
    RasterImage untagged = Decoded(MakeJpeg(options, P3Patches), &workspace);
    options.icc_profile = c.icc;
    RasterImage tagged = Decoded(MakeJpeg(options, P3Patches), &workspace);
    ASSERT_NE(tagged.colour_profile(), nullptr) << c.name;
    ScaleRasterImage(untagged, 12, 8, &workspace);
    ScaleRasterImage(tagged, 12, 8, &workspace);
    ASSERT_NE(tagged.colour_profile(), nullptr) << c.name << ": scaling keeps the profile";
    ConvertToSrgb(tagged);
    EXPECT_EQ(tagged.colour_profile(), nullptr) << c.name;

    RasterImage expected = untagged;
    for (int y = 0; y < 8; ++y) {
      const std::vector<std::uint8_t> row = LittleCmsSrgb(c.icc, c.format, untagged.row(y), 12);
      ASSERT_EQ(row.size(), std::size_t{36}) << c.name;
      std::copy(row.begin(), row.end(), expected.mutable_row(y));
    }
    EXPECT_LE(testing::MaxDifference(tagged, expected), 2) << c.name;
    EXPECT_GT(testing::MaxDifference(tagged, untagged), 8) << c.name << ": nothing converted";
  }
}

// Every 3rd level of each channel (all grid corners and the points between them), through the
// profile and through LittleCMS directly.
TEST(ColourConversionTest, EveryColourWithinTwoOfLittleCms) {
  const std::string profiles[] = {RgbProfile(kP3Primaries, "Display P3"),
                                  RgbProfile(kAdobePrimaries, "Adobe RGB (1998)", 2.19921875),
                                  TableProfile("Scanner RGB")};
  std::vector<std::uint8_t> colours;
  for (int r = 0; r < 256; r += 3) {
    for (int g = 0; g < 256; g += 3) {
      for (int b = 0; b < 256; b += 3)
        colours.insert(colours.end(), {std::uint8_t(r), std::uint8_t(g), std::uint8_t(b)});
    }
  }
  const int count = static_cast<int>(colours.size() / 3);
  for (const std::string& icc : profiles) {
    const std::shared_ptr<const ColourProfile> profile =
        ColourProfile::Parse(icc, PixelLayout::kRgb);
    ASSERT_NE(profile, nullptr);
    std::vector<std::uint8_t> converted = colours;
    profile->ToSrgb(converted.data(), converted.data(), count);
    const std::vector<std::uint8_t> expected =
        LittleCmsSrgb(icc, TYPE_RGB_8, colours.data(), count);
    ASSERT_EQ(expected.size(), converted.size());
    int worst = 0;
    for (std::size_t i = 0; i < converted.size(); ++i) {
      worst = std::max(worst, std::abs(converted[i] - expected[i]));
    }
    EXPECT_LE(worst, 2);
  }
}

// The decoder's own CMYK samples, as libjpeg gives them.
std::vector<std::uint8_t> RawCmyk(const std::string& jpeg) {
  jpeg_decompress_struct cinfo{};
  jpeg_error_mgr errors{};
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(jpeg.data()), jpeg.size());
  jpeg_read_header(&cinfo, TRUE);
  cinfo.dct_method = JDCT_ISLOW;
  jpeg_start_decompress(&cinfo);
  std::vector<std::uint8_t> samples(std::size_t{4} * cinfo.output_width * cinfo.output_height);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = samples.data() + std::size_t{4} * cinfo.output_width * cinfo.output_scanline;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return samples;
}

TEST(ColourConversionTest, CmykIsReadInvertedWithOrWithoutAdobeMarker) {
  const std::string icc = CmykProfile();
  for (const bool tagged : {false, true}) {
    JpegOptions options;
    options.kind = JpegKind::kAdobeCmyk;
    if (tagged) options.icc_profile = icc;
    const std::string adobe = MakeJpeg(options);
    options.kind = JpegKind::kCmyk;
    const std::string stripped = MakeJpeg(options);
    const RasterImage with_marker = Decoded(adobe);
    const RasterImage without_marker = Decoded(stripped);
    EXPECT_EQ(testing::MaxDifference(with_marker, without_marker), 0) << tagged;
    EXPECT_EQ(without_marker.colour_profile(), nullptr) << "converted while decoding";
    if (!tagged) continue;
    const std::vector<std::uint8_t> expected =
        LittleCmsSrgb(icc, TYPE_CMYK_8_REV, RawCmyk(stripped).data(), 64 * 48);
    ASSERT_EQ(expected.size(), std::size_t{64 * 48 * 3});
    int worst = 0;
    for (int i = 0; i < 64 * 48; ++i) {
      const Rgb got = without_marker.pixel(i % 64, i / 64);
      for (const auto& [have, want] : {std::pair{got.r, expected[3 * i]},
                                       {got.g, expected[3 * i + 1]},
                                       {got.b, expected[3 * i + 2]}}) {
        worst = std::max(worst, std::abs(have - want));
      }
    }
    EXPECT_LE(worst, 2);
    options.icc_profile.clear();
    EXPECT_GT(testing::MaxDifference(without_marker, Decoded(MakeJpeg(options))), 8)
        << "the profile was not used";
  }
}

TEST(ColourConversionTest, SrgbAndUntaggedPhotosGiveTheSameFiles) {
  const Profile builtin(cmsCreate_sRGBProfile());
  const std::string srgb_profiles[] = {
      Bytes(builtin),
      RgbProfile(kSrgbPrimaries, "Kamera RGB"),  // the standard's numbers, another name
      TableProfile("sRGB IEC61966-2.1"),         // tables, recognised by name
  };
  JpegOptions options;
  options.width = 40;
  options.height = 30;
  auto copy_of = [](const std::string& jpeg) {
    RasterImage image = Decoded(jpeg);
    EXPECT_EQ(image.colour_profile(), nullptr);
    ScaleRasterImage(image, 20, 15);
    ConvertToSrgb(image);
    std::string out;
    EncodeRasterImageAsJpeg(image, 7, &out);
    return out;
  };
  const std::string untagged = copy_of(MakeJpeg(options));
  for (const std::string& icc : srgb_profiles) {
    options.icc_profile = icc;
    EXPECT_EQ(copy_of(MakeJpeg(options)), untagged);
  }
}

TEST(ColourConversionTest, SrgbIsRecognisedByItsNumbersNotItsName) {
  const struct {
    const char* name;
    std::string icc;
    bool converts;
  } cases[] = {
      {"srgb_numbers", RgbProfile(kSrgbPrimaries, "RGB"), false},
      {"srgb_primaries_gamma_2_2", RgbProfile(kSrgbPrimaries, "sRGB", 2.2), true},
      {"p3_named_srgb", RgbProfile(kP3Primaries, "sRGB IEC61966-2.1"), true},
      {"table_named_srgb", TableProfile("sRGB v4 ICC preference"), false},
      {"table_other_name", TableProfile("Scanner RGB"), true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ColourProfile::Parse(c.icc, PixelLayout::kRgb) != nullptr, c.converts) << c.name;
  }
}

// ---- Profiles that cannot be used --------------------------------------------------------------

std::string WithWord(std::string icc, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) icc[at + i] = static_cast<char>(value >> (24 - 8 * i));
  return icc;
}

TEST(HostileProfileTest, ConvertsAsUntagged) {
  const std::string p3 = RgbProfile(kP3Primaries, "Display P3");
  std::vector<std::string> repeated = testing::IccChunks(p3, 2);
  repeated.push_back(repeated[0]);
  std::vector<std::string> contradicting = testing::IccChunks(p3, 2);
  contradicting[1][13] = 3;
  std::vector<std::string> numbered_zero = testing::IccChunks(p3, 1);
  numbered_zero[0][12] = 0;
  const Profile placeholder(cmsCreateProfilePlaceholder(nullptr));
  cmsSetDeviceClass(placeholder.get(), cmsSigDisplayClass);
  cmsSetColorSpace(placeholder.get(), cmsSigRgbData);
  const struct {
    const char* name;
    std::vector<std::string> app2;
    JpegKind kind = JpegKind::kRgb;
  } cases[] = {
      {"truncated", testing::IccChunks(p3.substr(0, p3.size() / 2), 1)},
      {"header_too_short", testing::IccChunks(p3.substr(0, 100), 1)},
      {"size_beyond_data", testing::IccChunks(WithWord(p3, 0, 0x7FFFFFFF), 1)},
      {"size_too_small", testing::IccChunks(WithWord(p3, 0, 132), 1)},
      {"tag_count_huge", testing::IccChunks(WithWord(p3, 128, 0x00FFFFFF), 1)},
      {"tag_outside", testing::IccChunks(WithWord(p3, 136, 0xFFFFFF00), 1)},
      {"tag_size_huge", testing::IccChunks(WithWord(p3, 140, 0xFFFFFFF0), 1)},
      {"garbage_in_100_chunks", testing::IccChunks(std::string(100 * 1000, '\x5A'), 100)},
      {"chunk_repeated", repeated},
      {"chunk_counts_contradict", contradicting},
      {"chunk_numbered_zero", numbered_zero},
      {"empty_chunk", {std::string("ICC_PROFILE\0\1\1", 14)}},
      {"ten_megabytes", testing::IccChunks(p3 + std::string(10 << 20, '\0'), 161)},
      {"no_tags", testing::IccChunks(Bytes(placeholder), 1)},
      {"table_beyond_memory_budget", testing::IccChunks(OversizedTableProfile(), 1)},
      {"gray_profile_on_rgb", testing::IccChunks(GrayProfile(), 1)},
      {"rgb_profile_on_gray", testing::IccChunks(p3, 1), JpegKind::kGray},
      {"rgb_profile_on_cmyk", testing::IccChunks(p3, 1), JpegKind::kCmyk},
  };
  ImagingWorkspace workspace;
  for (const auto& c : cases) {
    JpegOptions options;
    options.kind = c.kind;
    const RasterImage plain = Decoded(MakeJpeg(options));
    options.app2 = c.app2;
    RasterImage image;
    std::string error;
    ASSERT_TRUE(DecodeRasterImage(MakeJpeg(options), &image, &error, &workspace)) << c.name;
    EXPECT_EQ(image.colour_profile(), nullptr) << c.name;
    ConvertToSrgb(image);
    EXPECT_EQ(testing::MaxDifference(image, plain), 0) << c.name;
    EXPECT_EQ(error, "") << c.name;
  }
}

TEST(ColourProfileTest, ChunksInAnyOrderMakeTheProfile) {
  const std::string p3 = RgbProfile(kP3Primaries, "Display P3");
  JpegOptions options;
  options.icc_profile = p3;
  RasterImage in_order = Decoded(MakeJpeg(options));
  std::vector<std::string> chunks = testing::IccChunks(p3, 3);
  options.icc_profile.clear();
  options.app2 = {chunks[2], chunks[0], chunks[1]};
  RasterImage shuffled = Decoded(MakeJpeg(options));
  ASSERT_NE(shuffled.colour_profile(), nullptr);
  ConvertToSrgb(in_order);
  ConvertToSrgb(shuffled);
  EXPECT_EQ(testing::MaxDifference(in_order, shuffled), 0);
}

// ---- Sharing ---------------------------------------------------------------------------------

TEST(ColourProfileTest, SharedByPhotosCopiesAndThreads) {
  JpegOptions options;
  options.width = 300;
  options.height = 200;
  options.icc_profile = RgbProfile(kAdobePrimaries, "Adobe RGB (1998)", 2.19921875);
  const std::string jpeg = MakeJpeg(options);
  ImagingWorkspace workspace;
  const RasterImage photo = Decoded(jpeg, &workspace);
  const RasterImage again = Decoded(jpeg, &workspace);
  EXPECT_EQ(photo.colour_profile(), again.colour_profile()) << "parsed once per workspace";

  RasterImage expected = photo;
  ConvertToSrgb(expected);
  EXPECT_NE(photo.colour_profile(), nullptr) << "a converted copy leaves the photo as it was";
  EXPECT_EQ(testing::MaxDifference(photo, again), 0);

  std::vector<RasterImage> copies(4, photo);
  std::vector<std::thread> threads;
  for (RasterImage& copy : copies) threads.emplace_back([&copy] { ConvertToSrgb(copy); });
  for (std::thread& thread : threads) thread.join();
  for (const RasterImage& copy : copies) EXPECT_EQ(testing::MaxDifference(copy, expected), 0);
}

}  // namespace
}  // namespace albumora
