// What SaveRasterImageAsJpeg writes, and what it leaves behind when it cannot.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <array>
#include <filesystem>
#include <string>

#include "imaging/jpeg_library.h"
#include "imaging/raster_image.h"
#include "test_pictures.h"

namespace albumora {
namespace {

using testing::ReadFile;
using testing::TempFolder;

using QuantTable = std::array<unsigned, DCTSIZE2>;

// The luminance and chrominance tables libjpeg makes for `quality` without forced baseline.
std::array<QuantTable, 2> ExpectedTables(int quality) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr errors{};
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  cinfo.in_color_space = JCS_RGB;
  cinfo.input_components = 3;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, FALSE);
  std::array<QuantTable, 2> tables{};
  for (int t = 0; t < 2; ++t) {
    for (int i = 0; i < DCTSIZE2; ++i) tables[t][i] = cinfo.quant_tbl_ptrs[t]->quantval[i];
  }
  jpeg_destroy_compress(&cinfo);
  return tables;
}

// The header of a written file as libjpeg reads it back.
struct WrittenHeader {
  int components = 0;
  std::array<int, 3> h_samp{};
  std::array<int, 3> v_samp{};
  bool jfif = false;
  int jfif_major = 0;
  int jfif_minor = 0;
  int density_unit = -1;
  int x_density = 0;
  int y_density = 0;
  bool adobe = false;
  bool progressive = false;
  std::array<QuantTable, 2> tables{};
};

WrittenHeader ReadHeaderOf(const std::string& jpeg) {
  jpeg_decompress_struct cinfo{};
  jpeg_error_mgr errors{};
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(jpeg.data()), jpeg.size());
  jpeg_read_header(&cinfo, TRUE);
  WrittenHeader header;
  header.components = cinfo.num_components;
  for (int c = 0; c < std::min(3, cinfo.num_components); ++c) {
    header.h_samp[c] = cinfo.comp_info[c].h_samp_factor;
    header.v_samp[c] = cinfo.comp_info[c].v_samp_factor;
  }
  header.jfif = cinfo.saw_JFIF_marker;
  header.jfif_major = cinfo.JFIF_major_version;
  header.jfif_minor = cinfo.JFIF_minor_version;
  header.density_unit = cinfo.density_unit;
  header.x_density = cinfo.X_density;
  header.y_density = cinfo.Y_density;
  header.adobe = cinfo.saw_Adobe_marker;
  header.progressive = cinfo.progressive_mode;
  for (int t = 0; t < 2; ++t) {
    for (int i = 0; i < DCTSIZE2; ++i) header.tables[t][i] = cinfo.quant_tbl_ptrs[t]->quantval[i];
  }
  jpeg_destroy_decompress(&cinfo);
  return header;
}

// The markers of the file before its first scan: frame type and table precisions.
struct RawMarkers {
  std::string frames;  // one letter per SOF marker: '0' baseline, '1' extended sequential, ...
  int dqt_8bit = 0;
  int dqt_16bit = 0;
};

RawMarkers ScanMarkers(const std::string& jpeg) {
  RawMarkers markers;
  std::size_t at = 2;
  while (at + 4 <= jpeg.size() && static_cast<unsigned char>(jpeg[at]) == 0xFF) {
    const auto code = static_cast<unsigned char>(jpeg[at + 1]);
    const std::size_t length =
        (static_cast<unsigned char>(jpeg[at + 2]) << 8) | static_cast<unsigned char>(jpeg[at + 3]);
    if (code == 0xDA) break;
    if (code >= 0xC0 && code <= 0xC3) markers.frames += static_cast<char>('0' + (code - 0xC0));
    if (code == 0xDB) {
      for (std::size_t p = at + 4; p < at + 2 + length;) {
        const bool wide = (static_cast<unsigned char>(jpeg[p]) >> 4) != 0;
        (wide ? markers.dqt_16bit : markers.dqt_8bit)++;
        p += 1 + (wide ? 128 : 64);
      }
    }
    at += 2 + length;
  }
  return markers;
}

TEST(JpegOutputTest, StepSevenIsQualitySeventyIn420Jfif) {
  TempFolder folder;
  const std::string path = folder.File("g_photo.jpg");
  ASSERT_TRUE(SaveRasterImageAsJpeg(testing::MakePicture(40, 30), path, 7));
  const std::string jpeg = ReadFile(path);
  const WrittenHeader header = ReadHeaderOf(jpeg);
  EXPECT_EQ(header.tables, ExpectedTables(70));
  EXPECT_EQ(header.components, 3);
  EXPECT_EQ(header.h_samp, (std::array<int, 3>{2, 1, 1}));
  EXPECT_EQ(header.v_samp, (std::array<int, 3>{2, 1, 1}));
  EXPECT_TRUE(header.jfif);
  EXPECT_EQ(header.jfif_major, 1);
  EXPECT_EQ(header.jfif_minor, 1);
  EXPECT_EQ(header.density_unit, 0);
  EXPECT_EQ(header.x_density, 1);
  EXPECT_EQ(header.y_density, 1);
  EXPECT_FALSE(header.adobe);
  EXPECT_FALSE(header.progressive);
  const RawMarkers markers = ScanMarkers(jpeg);
  EXPECT_EQ(markers.frames, "0");
  EXPECT_EQ(markers.dqt_16bit, 0);
}

TEST(JpegOutputTest, LowStepsWriteSixteenBitTablesInAnExtendedFrame) {
  const RasterImage picture = testing::MakePicture(16, 16);
  for (int step : {-3, 0, 1, 2}) {
    SCOPED_TRACE(step);
    std::string jpeg;
    ASSERT_TRUE(EncodeRasterImageAsJpeg(picture, step, &jpeg));
    const RawMarkers markers = ScanMarkers(jpeg);
    EXPECT_EQ(markers.frames, "1");
    EXPECT_GT(markers.dqt_16bit, 0);
    EXPECT_EQ(ReadHeaderOf(jpeg).tables, ExpectedTables(std::max(step, 0) * 10));
  }
  for (int step : {3, 10, 25}) {
    SCOPED_TRACE(step);
    std::string jpeg;
    ASSERT_TRUE(EncodeRasterImageAsJpeg(picture, step, &jpeg));
    EXPECT_EQ(ScanMarkers(jpeg).frames, "0");
    EXPECT_EQ(ReadHeaderOf(jpeg).tables, ExpectedTables(std::min(step, 10) * 10));
  }
}

TEST(JpegOutputTest, RowsAreWrittenTopDownAsRedGreenBlue) {
  // Top half red, bottom half blue: a flipped or channel-swapped encoder shows at once.
  const RasterImage picture = testing::MakePicture(32, 32, [](int, int y) {
    return y < 16 ? Rgb{230, 20, 20} : Rgb{20, 20, 230};
  });
  std::string jpeg;
  ASSERT_TRUE(EncodeRasterImageAsJpeg(picture, 10, &jpeg));
  RasterImage back;
  ASSERT_TRUE(DecodeRasterImage(jpeg, &back));
  // Away from the edge, which 4:2:0 chroma blurs.
  for (int y : {0, 10, 22, 31}) {
    for (int x : {0, 15, 31}) {
      const Rgb expected = picture.pixel(x, y);
      const Rgb got = back.pixel(x, y);
      EXPECT_NEAR(got.r, expected.r, 8) << x << "," << y;
      EXPECT_NEAR(got.g, expected.g, 8) << x << "," << y;
      EXPECT_NEAR(got.b, expected.b, 8) << x << "," << y;
    }
  }
}

TEST(JpegOutputTest, SavingReplacesAnExistingFile) {
  TempFolder folder;
  const std::string path = folder.File("k_photo.jpg");
  testing::WriteFile(path, std::string(200000, 'x'));  // longer than the picture
  ASSERT_TRUE(SaveRasterImageAsJpeg(testing::MakePicture(20, 10), path, 5));
  const std::string written = ReadFile(path);
  ASSERT_LT(written.size(), 200000u);
  RasterImage back;
  ASSERT_TRUE(DecodeRasterImage(written, &back));
  EXPECT_EQ(back.width(), 20);
  EXPECT_EQ(back.height(), 10);
}

TEST(JpegOutputTest, SavingThroughALinkKeepsTheLink) {
  TempFolder folder;
  testing::WriteFile(folder.File("real.jpg"), "old");
  std::filesystem::create_symlink(folder.File("real.jpg"), folder.File("link.jpg"));
  ASSERT_TRUE(SaveRasterImageAsJpeg(testing::MakePicture(20, 10), folder.File("link.jpg"), 5));
  EXPECT_TRUE(std::filesystem::is_symlink(folder.File("link.jpg")));
  RasterImage back;
  EXPECT_TRUE(DecodeRasterImage(ReadFile(folder.File("real.jpg")), &back));
}

TEST(JpegOutputTest, EmptyPictureTouchesNothing) {
  TempFolder folder;
  const std::string path = folder.File("old.jpg");
  testing::WriteFile(path, "old");
  std::string jpeg = "stale";
  EXPECT_FALSE(SaveRasterImageAsJpeg(RasterImage(), path, 7));
  EXPECT_FALSE(EncodeRasterImageAsJpeg(RasterImage(), 7, &jpeg));
  EXPECT_EQ(ReadFile(path), "old");
  EXPECT_TRUE(jpeg.empty());
}

TEST(JpegSaveFailureTest, UnopenablePathFailsWithoutAFile) {
  TempFolder folder;
  testing::WriteFile(folder.File("plain"), "a file, not a folder");
  const RasterImage picture = testing::MakePicture(8, 8);
  EXPECT_FALSE(SaveRasterImageAsJpeg(picture, folder.File("missing/g.jpg"), 7));
  EXPECT_FALSE(SaveRasterImageAsJpeg(picture, folder.File("plain/g.jpg"), 7));
  EXPECT_FALSE(SaveRasterImageAsJpeg(picture, folder.path().string(), 7));
  EXPECT_FALSE(std::filesystem::exists(folder.File("missing")));
}

// A full disk: libjpeg's write error must come back as a failed save (the program goes on) and
// must not remove the device it was writing to.
TEST(JpegSaveFailureTest, FullDeviceFailsAndStays) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  EXPECT_FALSE(SaveRasterImageAsJpeg(testing::MakePicture(300, 300), "/dev/full", 7));
  EXPECT_TRUE(std::filesystem::exists("/dev/full"));
}

// A regular file that cannot grow (a file size limit stands in for a full disk) is removed.
TEST(JpegSaveFailureTest, IncompleteFileIsRemoved) {
  TempFolder folder;
  const std::string path = folder.File("g_big.jpg");
  rlimit old_limit{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  const auto old_handler = signal(SIGXFSZ, SIG_IGN);
  rlimit small = old_limit;
  small.rlim_cur = 2000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  // Noise does not compress, so the file outgrows the limit.
  const RasterImage noise = testing::MakePicture(200, 200, [](int x, int y) {
    const unsigned v = static_cast<unsigned>(x * 7919 + y * 104729) * 2654435761u;
    return Rgb{static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16),
               static_cast<std::uint8_t>(v >> 8)};
  });
  const bool saved = SaveRasterImageAsJpeg(noise, path, 10);
  setrlimit(RLIMIT_FSIZE, &old_limit);
  signal(SIGXFSZ, old_handler);
  EXPECT_FALSE(saved);
  EXPECT_FALSE(std::filesystem::exists(path));
  // The next save works again.
  EXPECT_TRUE(SaveRasterImageAsJpeg(noise, path, 10));
}

}  // namespace
}  // namespace albumora
