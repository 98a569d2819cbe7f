// The pictures that come with the program and those of the example album.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "gif_decoder.h"
#include "gif_writer.h"
#include "navigation_graphics.h"
#include "scratch.h"

namespace albumora {
namespace {

namespace fs = std::filesystem;

struct Size {
  int width = 0;
  int height = 0;
};

// The size in the frame header of a JPEG file; nullopt when the file is no JPEG.
std::optional<Size> JpegSize(const std::string& file) {
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(file[i]); };
  if (file.size() < 4 || byte(0) != 0xFF || byte(1) != 0xD8) return std::nullopt;
  std::size_t at = 2;
  while (at + 9 < file.size()) {
    if (byte(at) != 0xFF) return std::nullopt;
    const int marker = byte(at + 1);
    const std::size_t length = byte(at + 2) << 8 | byte(at + 3);
    const bool frame =
        marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frame) return Size{byte(at + 7) << 8 | byte(at + 8), byte(at + 5) << 8 | byte(at + 6)};
    at += 2 + length;
  }
  return std::nullopt;
}

DecodedGif ProgramGif(const std::string& name) {
  const std::string file = ReadFileBytes(ProgramDir() / name);
  std::optional<DecodedGif> gif = DecodeGif(file);
  EXPECT_TRUE(gif.has_value()) << name << " is no well-formed GIF";
  return gif.value_or(DecodedGif{});
}

// Rows of '.' (transparent), '#' (button) and 'o' (arrow, the lighter colours).
std::vector<std::string> Picture(const DecodedGif& gif) {
  std::vector<std::string> rows;
  for (int y = 0; y < gif.height; ++y) {
    std::string row;
    for (int x = 0; x < gif.width; ++x) {
      const auto rgb = gif.Rgb(x, y);
      row += gif.IsTransparent(x, y) ? '.' : (rgb[0] + rgb[1] + rgb[2] > 3 * 160 ? 'o' : '#');
    }
    rows.push_back(row);
  }
  return rows;
}

std::vector<std::string> Mirrored(std::vector<std::string> rows) {
  for (std::string& row : rows) std::reverse(row.begin(), row.end());
  return rows;
}

// How many arrow pixels each column holds.
std::vector<int> ArrowColumns(const std::vector<std::string>& rows) {
  std::vector<int> heights(rows.empty() ? 0 : rows[0].size(), 0);
  for (const std::string& row : rows) {
    for (std::size_t x = 0; x < row.size(); ++x) heights[x] += row[x] == 'o';
  }
  return heights;
}

std::string Show(const std::vector<std::string>& rows) {
  std::string text = "\n";
  for (const std::string& row : rows) text += row + "\n";
  return text;
}

TEST(NavigationGraphicsTest, AreTwentyByTwentyWithTransparency) {
  for (const char* name : {"anfang.gif", "ende.gif", "zurück.gif", "vor.gif", "space.gif"}) {
    SCOPED_TRACE(name);
    const DecodedGif gif = ProgramGif(name);
    EXPECT_EQ(gif.width, kNavigationGraphicSize);
    EXPECT_EQ(gif.height, kNavigationGraphicSize);
    EXPECT_TRUE(gif.transparent.has_value());
  }
}

TEST(NavigationGraphicsTest, SpaceIsBlank) {
  const DecodedGif gif = ProgramGif("space.gif");
  for (int y = 0; y < gif.height; ++y) {
    for (int x = 0; x < gif.width; ++x) ASSERT_TRUE(gif.IsTransparent(x, y)) << x << "," << y;
  }
}

TEST(NavigationGraphicsTest, ButtonsHaveRoundCornersAndAnArrow) {
  for (const char* name : {"anfang.gif", "ende.gif", "zurück.gif", "vor.gif"}) {
    const std::vector<std::string> rows = Picture(ProgramGif(name));
    ASSERT_EQ(rows.size(), 20u);
    EXPECT_EQ(rows[0][0], '.') << name << Show(rows);
    EXPECT_EQ(rows[19][19], '.') << name << Show(rows);
    EXPECT_EQ(rows[10][2], '#') << name << Show(rows);
    const std::vector<int> columns = ArrowColumns(rows);
    EXPECT_GE(*std::max_element(columns.begin(), columns.end()), 8) << name << Show(rows);
  }
}

TEST(NavigationGraphicsTest, LeftAndRightArePairedMirrorImages) {
  EXPECT_EQ(Picture(ProgramGif("zurück.gif")), Mirrored(Picture(ProgramGif("vor.gif"))));
  EXPECT_EQ(Picture(ProgramGif("anfang.gif")), Mirrored(Picture(ProgramGif("ende.gif"))));
  EXPECT_NE(Picture(ProgramGif("vor.gif")), Picture(ProgramGif("ende.gif")));
}

TEST(NavigationGraphicsTest, ArrowsPointTheRightWay) {
  // A right-pointing triangle is tallest at its left edge; "last" has its bar on the right.
  const std::vector<std::string> next = Picture(ProgramGif("vor.gif"));
  std::vector<int> columns = ArrowColumns(next);
  std::erase(columns, 0);
  ASSERT_FALSE(columns.empty());
  EXPECT_GT(columns.front(), columns.back()) << Show(next);

  const std::vector<std::string> last = Picture(ProgramGif("ende.gif"));
  columns = ArrowColumns(last);
  std::erase(columns, 0);
  ASSERT_GE(columns.size(), 3u);
  EXPECT_GE(columns.back(), 8) << Show(last);
  EXPECT_LT(columns[columns.size() - 3], columns.back()) << Show(last);
}

TEST(GifWriterTest, LzwRoundTripsAcrossCodeWidthsAndTableResets) {
  std::mt19937 random(42);
  struct Case {
    int min_code_size;
    int symbols;
    std::size_t length;
  };
  // Few symbols make long runs that fill the 4096-entry table and force clear codes; many
  // symbols walk the code width through every step.
  for (const Case c : {Case{2, 1, 1}, Case{2, 4, 400}, Case{2, 2, 60000}, Case{8, 256, 50000},
                       Case{8, 3, 100000}, Case{4, 16, 0}}) {
    std::uniform_int_distribution<int> pick(0, c.symbols - 1);
    std::vector<std::uint8_t> data(c.length);
    for (auto& value : data) value = static_cast<std::uint8_t>(pick(random));
    const auto decoded = LzwDecompress(LzwCompress(data, c.min_code_size), c.min_code_size);
    ASSERT_TRUE(decoded.has_value()) << c.min_code_size << " " << c.length;
    EXPECT_TRUE(*decoded == data) << c.min_code_size << " " << c.length;
  }
}

TEST(GifWriterTest, WritesTheTransparentIndexAndPalette) {
  IndexedImage image;
  image.width = 3;
  image.height = 2;
  image.palette = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
  image.pixels = {0, 1, 2, 2, 1, 0};
  image.transparent = 2;
  const auto gif = DecodeGif(EncodeGif(image));
  ASSERT_TRUE(gif.has_value());
  EXPECT_EQ(gif->pixels, image.pixels);
  EXPECT_EQ(gif->transparent, 2);
  ASSERT_EQ(gif->palette.size(), 4u);  // padded to a power of two
  EXPECT_EQ(gif->palette[1], (std::array<std::uint8_t, 3>{4, 5, 6}));
}

TEST(ProgramFolderTest, HoldsEverythingThatComesWithTheProgram) {
  for (const char* name : {"download.php", "vorlagen/standard._vl", "vorlagen/standard.gvl",
                           "vorlagen/standard_download.gvl", "vorlagen/standard.css"}) {
    EXPECT_EQ(ReadFileBytes(ProgramDir() / name), ReadFileBytes(SourceDir() / "resources" / name))
        << name;
  }
  const std::optional<Size> empty_cell = JpegSize(ReadFileBytes(ProgramDir() / "leer.jpg"));
  ASSERT_TRUE(empty_cell.has_value());
  EXPECT_EQ(empty_cell->width, 150);
  EXPECT_EQ(empty_cell->height, 100);
}

TEST(ExampleAlbumTest, HoldsSmallLandscapeAndPortraitPhotosWithDistinctNames) {
  int landscape = 0;
  int portrait = 0;
  std::set<std::string> lowered;
  for (const auto& entry : fs::directory_iterator(SourceDir() / "example" / "Urlaub")) {
    const std::string name = entry.path().filename().string();
    SCOPED_TRACE(name);
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    EXPECT_TRUE(lower.ends_with(".jpg"));
    // Two names that differ only in letter case would share one gallery file.
    EXPECT_TRUE(lowered.insert(lower).second);
    EXPECT_LT(fs::file_size(entry.path()), 200u * 1024);
    const std::optional<Size> size = JpegSize(ReadFileBytes(entry.path()));
    ASSERT_TRUE(size.has_value());
    EXPECT_EQ(std::max(size->width, size->height), 1600);
    (size->width > size->height ? landscape : portrait) += 1;
  }
  EXPECT_GE(landscape + portrait, 5);
  EXPECT_LE(landscape + portrait, 8);
  EXPECT_GT(landscape, 0);
  EXPECT_GT(portrait, 0);
}

}  // namespace
}  // namespace albumora
