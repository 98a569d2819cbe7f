// Loading photos: colour spaces, coding modes, damaged and hostile files, file kinds.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "imaging/jpeg_decoder.h"
#include "imaging/jpeg_library.h"
#include "imaging/orientation.h"
#include "imaging/photo_copies.h"
#include "imaging/raster_image.h"
#include "test_pictures.h"

namespace albumora {
namespace {

using testing::JpegKind;
using testing::JpegOptions;
using testing::MakeJpeg;
using testing::TempFolder;

// Offset of the first frame (SOF) marker.
std::size_t FindFrame(const std::string& jpeg) {
  for (std::size_t at = 2; at + 1 < jpeg.size(); ++at) {
    const auto code = static_cast<unsigned char>(jpeg[at + 1]);
    if (static_cast<unsigned char>(jpeg[at]) == 0xFF && code >= 0xC0 && code <= 0xC3) return at;
  }
  return std::string::npos;
}

std::string WithDeclaredSize(std::string jpeg, int width, int height) {
  const std::size_t frame = FindFrame(jpeg);
  jpeg[frame + 5] = static_cast<char>(height >> 8);
  jpeg[frame + 6] = static_cast<char>(height & 0xFF);
  jpeg[frame + 7] = static_cast<char>(width >> 8);
  jpeg[frame + 8] = static_cast<char>(width & 0xFF);
  return jpeg;
}

bool Decodes(const std::string& bytes, RasterImage* image, std::string* error = nullptr) {
  return DecodeRasterImage(bytes, image, error);
}

// A flat picture of `side` x `side` with every sample `value`, encoded to memory; `tune` may change
// the parameters after the defaults are set (a scan script, say).
std::string FlatJpeg(int side, int components, J_COLOR_SPACE space, JSAMPLE value,
                     const std::function<void(jpeg_compress_struct&)>& tune = nullptr) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr errors{};
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = side;
  cinfo.image_height = side;
  cinfo.input_components = components;
  cinfo.in_color_space = space;
  jpeg_set_defaults(&cinfo);
  if (tune) tune(cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<JSAMPLE> row(static_cast<std::size_t>(side * components), value);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::string jpeg(reinterpret_cast<char*>(buffer), size);
  free(buffer);
  return jpeg;
}

// Encodes with a scan script of single-coefficient scans (a valid progressive file).
std::string ManyScanJpeg(int ac_scans_per_component, int components) {
  std::vector<jpeg_scan_info> script;
  jpeg_scan_info dc{};
  dc.comps_in_scan = components;
  for (int c = 0; c < components; ++c) dc.component_index[c] = c;
  script.push_back(dc);
  for (int c = 0; c < components; ++c) {
    for (int k = 1; k <= ac_scans_per_component; ++k) {
      jpeg_scan_info ac{};
      ac.comps_in_scan = 1;
      ac.component_index[0] = c;
      ac.Ss = k;
      ac.Se = k == ac_scans_per_component ? 63 : k;
      script.push_back(ac);
    }
  }
  return FlatJpeg(16, components, components == 1 ? JCS_GRAYSCALE : JCS_RGB, 90,
                  [&script](jpeg_compress_struct& cinfo) {
                    cinfo.scan_info = script.data();
                    cinfo.num_scans = static_cast<int>(script.size());
                  });
}

std::string TwoComponentJpeg() { return FlatJpeg(9, 2, JCS_UNKNOWN, 77); }

// ---- Colour spaces and coding modes -------------------------------------------------------------

struct ColourCase {
  const char* name;
  JpegKind kind;
};

class ColourSpaceTest : public ::testing::TestWithParam<ColourCase> {};

TEST_P(ColourSpaceTest, DecodesToTheRightColours) {
  JpegOptions options;
  options.width = 32;
  options.height = 24;
  options.kind = GetParam().kind;
  options.quality = 100;
  options.full_chroma = true;
  // Flat areas of very different colours (flat, so that the lossy coding stays out of the way).
  const auto areas = [](int x, int y) {
    if (y < 8) return x < 16 ? Rgb{200, 40, 40} : Rgb{30, 160, 220};
    if (y < 16) return x < 16 ? Rgb{250, 250, 250} : Rgb{10, 10, 10};
    return x < 16 ? Rgb{128, 128, 64} : Rgb{0, 255, 0};
  };
  RasterImage image;
  ASSERT_TRUE(Decodes(MakeJpeg(options, areas), &image));
  ASSERT_EQ(image.width(), 32);
  ASSERT_EQ(image.height(), 24);
  for (int y : {2, 12, 20}) {
    for (int x : {4, 27}) {
      const Rgb want = areas(x, y);
      const Rgb got = image.pixel(x, y);
      if (options.kind == JpegKind::kGray) {
        EXPECT_NEAR(got.r, want.r, 3) << x << "," << y;
        EXPECT_EQ(got.g, got.r);
        EXPECT_EQ(got.b, got.r);
      } else {
        EXPECT_NEAR(got.r, want.r, 4) << x << "," << y;
        EXPECT_NEAR(got.g, want.g, 4) << x << "," << y;
        EXPECT_NEAR(got.b, want.b, 4) << x << "," << y;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Kinds, ColourSpaceTest,
                         ::testing::Values(ColourCase{"rgb", JpegKind::kRgb},
                                           ColourCase{"gray", JpegKind::kGray},
                                           ColourCase{"cmyk", JpegKind::kCmyk},
                                           ColourCase{"adobe_inverted_cmyk", JpegKind::kAdobeCmyk},
                                           ColourCase{"adobe_ycck", JpegKind::kAdobeYcck}),
                         [](const auto& info) { return info.param.name; });

TEST(CodingModeTest, ProgressiveAndArithmeticDecodeLikeBaseline) {
  JpegOptions baseline;
  baseline.width = 50;
  baseline.height = 38;
  RasterImage expected;
  ASSERT_TRUE(Decodes(MakeJpeg(baseline), &expected));
  for (const auto& [progressive, arithmetic] :
       std::vector<std::pair<bool, bool>>{{true, false}, {false, true}, {true, true}}) {
    JpegOptions options = baseline;
    options.progressive = progressive;
    options.arithmetic = arithmetic;
    RasterImage image;
    ASSERT_TRUE(Decodes(MakeJpeg(options), &image)) << progressive << arithmetic;
    EXPECT_LE(testing::MaxDifference(image, expected), 2) << progressive << arithmetic;
  }
}

TEST(CodingModeTest, ScansAreLimited) {
  RasterImage image;
  // 1 + 63 scans: a legitimate if unusual file.
  ASSERT_TRUE(Decodes(ManyScanJpeg(63, 1), &image));
  EXPECT_EQ(image.width(), 16);
  // 1 + 3 * 63 scans: given up.
  std::string error;
  EXPECT_FALSE(Decodes(ManyScanJpeg(63, 3), &image, &error));
  EXPECT_TRUE(image.empty());
  EXPECT_NE(error.find("Durchg"), std::string::npos) << error;
}

// ---- Damaged and hostile files ------------------------------------------------------------------

TEST(DamagedJpegTest, TruncatedFileGivesTheFullSize) {
  JpegOptions options;
  options.width = 80;
  options.height = 64;
  const std::string whole = MakeJpeg(options);
  RasterImage complete;
  ASSERT_TRUE(Decodes(whole, &complete));
  for (std::size_t keep : {whole.size() / 2, whole.size() - 2, whole.find("\xFF\xDA") + 20}) {
    RasterImage image;
    ASSERT_TRUE(Decodes(whole.substr(0, keep), &image)) << keep;
    EXPECT_EQ(image.width(), 80);
    EXPECT_EQ(image.height(), 64);
    if (keep >= whole.size() / 2) {
      EXPECT_EQ(image.pixel(3, 2), complete.pixel(3, 2));
    }
  }
}

TEST(DamagedJpegTest, ErrorAfterTheRowsKeepsThePicture) {
  // A second copy of the scan before the end: libjpeg fails in jpeg_finish_decompress, after
  // every row has been delivered.
  JpegOptions options;
  options.width = 24;
  options.height = 16;
  const std::string whole = MakeJpeg(options);
  const std::size_t scan = whole.find("\xFF\xDA");
  const std::string doubled = whole.substr(0, whole.size() - 2) + whole.substr(scan);
  RasterImage expected;
  RasterImage image;
  ASSERT_TRUE(Decodes(whole, &expected));
  ASSERT_TRUE(Decodes(doubled, &image));
  EXPECT_EQ(testing::MaxDifference(image, expected), 0);
}

TEST(DamagedJpegTest, BrokenHeadersFail) {
  JpegOptions options;
  const std::string good = MakeJpeg(options);
  const std::size_t frame = FindFrame(good);
  std::string twelve_bit = good;
  twelve_bit[frame + 4] = 12;
  std::string lossless = good;
  lossless[frame + 1] = static_cast<char>(0xC3);
  std::string bad_tables = good;
  bad_tables[good.find("\xFF\xDB") + 4] = 0x35;  // table number 5, precision 3
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"only the start marker", good.substr(0, 2)},
      {"cut inside the header", good.substr(0, frame + 6)},
      {"cut before the scan", good.substr(0, good.find("\xFF\xDA"))},
      {"12-bit samples", twelve_bit},
      {"lossless", lossless},
      {"bad table", bad_tables},
      {"zero width", WithDeclaredSize(good, 0, 48)},
      {"two components", TwoComponentJpeg()},
  };
  for (const auto& [name, bytes] : cases) {
    RasterImage image;
    std::string error;
    EXPECT_FALSE(Decodes(bytes, &image, &error)) << name;
    EXPECT_TRUE(image.empty()) << name;
    EXPECT_FALSE(error.empty()) << name;
  }
}

TEST(DamagedJpegTest, HugeDeclaredSizeIsRefusedBeforeAllocating) {
  JpegOptions options;
  options.progressive = true;
  const std::string small = MakeJpeg(options);
  ImagingWorkspace workspace;
  for (const auto& [width, height] :
       std::vector<std::pair<int, int>>{{65000, 16}, {16, 40000}, {32767, 32767}, {20000, 14000}}) {
    RasterImage image;
    std::string error;
    EXPECT_FALSE(
        DecodeRasterImage(WithDeclaredSize(small, width, height), &image, &error, &workspace));
    EXPECT_NE(error.find("zu gro"), std::string::npos) << error;
    EXPECT_LT(workspace.RetainedBytes(), 1024u);  // no picture buffer was ever made
  }
  // A tighter limit of the workspace applies the same way.
  workspace.set_max_pixel_count(1000);
  RasterImage image;
  EXPECT_FALSE(DecodeRasterImage(WithDeclaredSize(small, 40, 30), &image, nullptr, &workspace));
  EXPECT_TRUE(DecodeRasterImage(WithDeclaredSize(small, 40, 25), &image, nullptr, &workspace));
}

// Within the picture limits, a progressive file still makes libjpeg keep every coefficient of
// the picture; a few hundred bytes that declare 16384 x 16384 pixels in full chroma would take
// 1.5 GiB before a row is seen. The decoder's memory limit refuses that before allocating it:
// libjpeg then reports that it would need a backing store, which it does not have. The same
// holds when the copies are made while decoding, which make no picture of full size either.
TEST(DamagedJpegTest, ProgressiveFileBeyondTheDecoderMemoryFails) {
  constexpr int kSide = 16384;
  const long coefficient_bytes = 3L * kSide * kSide * static_cast<long>(sizeof(JCOEF));
  // The coefficients alone fill the limit; libjpeg's other buffers take it beyond.
  ASSERT_GE(coefficient_bytes, kMaxJpegDecoderMemory);
  JpegOptions options;
  options.progressive = true;
  options.full_chroma = true;
  const std::string declared = WithDeclaredSize(MakeJpeg(options), kSide, kSide);
  ASSERT_LT(declared.size(), 20000u);
  constexpr const char* kRefused = "Backing store not supported";

  RasterImage image;
  std::string error;
  EXPECT_FALSE(Decodes(declared, &image, &error));
  EXPECT_TRUE(image.empty());
  EXPECT_NE(error.find(kRefused), std::string::npos) << error;

  ImagingWorkspace workspace;
  PhotoCopies copies;
  EXPECT_FALSE(ConvertPhotoBytes(declared, 1024, 150, &copies, &error, &workspace));
  EXPECT_TRUE(copies.big.empty() && copies.small.empty());
  EXPECT_NE(error.find(kRefused), std::string::npos) << error;
  EXPECT_LT(workspace.RetainedBytes(), std::size_t{kSide} * kSide * 3 / 64);
}

// libjpeg's warnings (here: data that ends early) are counted, never written anywhere.
TEST(DamagedJpegTest, WarningsAreNotPrinted) {
  JpegOptions options;
  options.progressive = true;
  const std::string whole = MakeJpeg(options);
  ::testing::internal::CaptureStderr();
  ::testing::internal::CaptureStdout();
  RasterImage image;
  const bool decoded =
      Decodes(whole.substr(0, whole.size() / 2) + std::string(300, '\xFF'), &image);
  const std::string out = ::testing::internal::GetCapturedStdout();
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_TRUE(decoded);
  EXPECT_EQ(out, "");
  EXPECT_EQ(err, "");
}

TEST(DamagedJpegTest, NotAJpegFails) {
  for (const std::string& bytes :
       {std::string(), std::string("\xFF"), std::string("Dies ist ein Text, kein Bild.\r\n"),
        std::string("\x00\x00\x01\x00", 4) /* an icon */}) {
    RasterImage image;
    std::string error;
    EXPECT_FALSE(Decodes(bytes, &image, &error));
    EXPECT_FALSE(error.empty());
  }
}

// ---- Bitmaps named .jpg -------------------------------------------------------------------------

struct BitmapCase {
  const char* name;
  int bits;
  bool top_down;
};

class BitmapTest : public ::testing::TestWithParam<BitmapCase> {};

TEST_P(BitmapTest, ReadsExactly) {
  testing::BitmapOptions options;
  options.width = 7;  // rows need padding
  options.height = 3;
  options.bits = GetParam().bits;
  options.top_down = GetParam().top_down;
  const auto pattern = [](int x, int y) {
    return Rgb{static_cast<std::uint8_t>(x * 30), static_cast<std::uint8_t>(y * 80),
               static_cast<std::uint8_t>(x == y ? 255 : 7)};
  };
  RasterImage image;
  ASSERT_TRUE(Decodes(testing::MakeBitmap(options, pattern), &image));
  EXPECT_EQ(testing::MaxDifference(image, testing::MakePicture(7, 3, pattern)), 0);
}

INSTANTIATE_TEST_SUITE_P(Depths, BitmapTest,
                         ::testing::Values(BitmapCase{"rgb24", 24, false},
                                           BitmapCase{"rgb24_top_down", 24, true},
                                           BitmapCase{"rgb32", 32, false},
                                           BitmapCase{"palette8", 8, false},
                                           BitmapCase{"palette8_top_down", 8, true}),
                         [](const auto& info) { return info.param.name; });

void PutLe32(std::string* bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) (*bytes)[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

TEST(BitmapDamageTest, EveryFieldIsChecked) {
  testing::BitmapOptions options;
  const std::string good = testing::MakeBitmap(options);
  testing::BitmapOptions palette_options;
  palette_options.bits = 8;
  const std::string palette = testing::MakeBitmap(palette_options);
  auto patched = [](std::string bytes, std::size_t at, std::uint32_t value) {
    PutLe32(&bytes, at, value);
    return bytes;
  };
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"header only", good.substr(0, 30)},
      {"pixels cut", good.substr(0, good.size() - 5)},
      {"offset past the end", patched(good, 10, 0xFFFFFF00u)},
      {"zero width", patched(good, 18, 0)},
      {"negative width", patched(good, 18, 0xFFFFFFF0u)},
      {"huge", patched(patched(good, 18, 30000), 22, 30000)},
      {"too wide", patched(good, 18, 40000)},
      {"run-length coded", patched(palette, 30, 1)},
      {"unknown header", patched(good, 14, 20)},
      {"odd depth", patched(good, 28, 0x00070001)},
  };
  for (const auto& [name, bytes] : cases) {
    RasterImage image;
    std::string error;
    EXPECT_FALSE(Decodes(bytes, &image, &error)) << name;
    EXPECT_FALSE(error.empty()) << name;
  }
}

TEST(BitmapDamageTest, IndexBeyondThePaletteIsBlack) {
  testing::BitmapOptions options;
  options.bits = 8;
  std::string bytes = testing::MakeBitmap(options, [](int, int) { return Rgb{9, 8, 7}; });
  // One palette entry; make the first stored pixel use index 200.
  const std::uint32_t offset = static_cast<std::uint8_t>(bytes[10]);
  bytes[offset] = static_cast<char>(200);
  RasterImage image;
  ASSERT_TRUE(Decodes(bytes, &image));
  EXPECT_EQ(image.pixel(0, options.height - 1), (Rgb{0, 0, 0}));  // bottom-up: first stored row
  EXPECT_EQ(image.pixel(1, 0), (Rgb{9, 8, 7}));
}

// ---- What LoadRasterImage reads -----------------------------------------------------------------

TEST(LoadFileTest, ReadsPhotosAndBitmapsByContent) {
  TempFolder folder;
  testing::WriteFile(folder.File("a.jpg"), MakeJpeg(JpegOptions{}));
  testing::WriteFile(folder.File("b.jpg"), testing::MakeBitmap(testing::BitmapOptions{}));
  RasterImage image;
  ASSERT_TRUE(LoadRasterImage(folder.File("a.jpg"), &image));
  EXPECT_EQ(image.width(), 64);
  ASSERT_TRUE(LoadRasterImage(folder.File("b.jpg"), &image));
  EXPECT_EQ(image.width(), 5);
}

TEST(LoadFileTest, OnlyRegularFilesAreRead) {
  TempFolder folder;
  std::filesystem::create_directory(folder.File("folder.jpg"));
  ASSERT_EQ(mkfifo(folder.File("pipe.jpg").c_str(), 0600), 0);
  std::filesystem::create_symlink("/dev/zero", folder.File("zero.jpg"));
  testing::WriteFile(folder.File("empty.jpg"), "");
  testing::WriteFile(folder.File("text.jpg"), "kein Bild\r\n");
  for (const char* name :
       {"folder.jpg", "pipe.jpg", "zero.jpg", "empty.jpg", "text.jpg", "missing.jpg"}) {
    RasterImage image(3, 3);
    std::string error;
    // A FIFO must not block the open, /dev/zero must not be read forever.
    EXPECT_FALSE(LoadRasterImage(folder.File(name), &image, &error)) << name;
    EXPECT_TRUE(image.empty()) << name;
    EXPECT_FALSE(error.empty()) << name;
  }
}

TEST(LoadFileTest, LinkToAPhotoIsFollowed) {
  TempFolder folder;
  testing::WriteFile(folder.File("real.jpg"), MakeJpeg(JpegOptions{}));
  std::filesystem::create_symlink(folder.File("real.jpg"), folder.File("link.jpg"));
  RasterImage image;
  EXPECT_TRUE(LoadRasterImage(folder.File("link.jpg"), &image));
}

TEST(LoadFileTest, WindowsNamesAreConverted) {
  TempFolder folder;
  testing::WriteFile(folder.File("Gr\xC3\xBC\xC3\x9F"
                                 "e.jpg"),
                     MakeJpeg(JpegOptions{}));  // UTF-8
  RasterImage image;
  EXPECT_TRUE(LoadRasterImage(folder.File("Gr\xFC\xDF"
                                          "e.jpg"),
                              &image));  // Windows-1252
}

// ---- Rows after an error ------------------------------------------------------------------------

TEST(RowWriterTest, MissingRowsAreGrayInEveryOrientation) {
  for (int value = 1; value <= 8; ++value) {
    const auto orientation = static_cast<Orientation>(value);
    const bool swap = SwapsSides(orientation);
    RasterImage image(swap ? 20 : 30, swap ? 30 : 20, Rgb{1, 2, 3});
    std::vector<std::uint8_t> strip(OrientedRowWriter::StripBytes(30, orientation));
    OrientedRowWriter writer(&image, 30, 20, orientation, strip.data());
    for (int y = 0; y < 7; ++y) {
      std::fill_n(writer.NextRow(), 90, std::uint8_t{250});
      writer.Commit();
    }
    writer.FillRemaining(128);
    int white = 0;
    int gray = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const Rgb p = image.pixel(x, y);
        white += p == Rgb{250, 250, 250};
        gray += p == Rgb{128, 128, 128};
      }
    }
    EXPECT_EQ(white, 7 * 30) << value;
    EXPECT_EQ(gray, 13 * 30) << value;
  }
}

}  // namespace
}  // namespace albumora
