#include "gallery/template_engine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gallery_test_support.h"
#include "ui/control_ids.h"

namespace albumora {
namespace {

using testing::RunEnvironment;

std::vector<std::string> Lines(std::initializer_list<const char*> lines) {
  return std::vector<std::string>(lines.begin(), lines.end());
}

TEST(ReplaceAllTest, ReplacesLeftToRightWithoutRescanning) {
  EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
  EXPECT_EQ(ReplaceAll("x##AL_Namey##AL_Name", "##AL_Name", "##AL_Name##AL_Name"),
            "x##AL_Name##AL_Namey##AL_Name##AL_Name");
  EXPECT_EQ(ReplaceAll("", "a", "b"), "");
  EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
}

struct PlaceholderCase {
  const char* line;
  int number;
  const char* expected;
};

class ReplacePlaceholdersTest : public ::testing::TestWithParam<PlaceholderCase> {
 protected:
  ReplacePlaceholdersTest() : run_(env_.controls, env_.reporter, env_.values) {
    env_.controls.SetControlText(ctl::kWindowTitle, "Urlaub");
    env_.controls.SetControlText(ctl::kHeading, "Sommer 2008");
    run_.photos.Add("A.jpg");
    run_.photos.Add("Bild 2 & mehr.JPG");
    run_.photos.MutableEntry(2).pixel = "900*600";
    run_.photos.MutableEntry(2).size = "717 KB";
  }

  RunEnvironment env_;
  RunState run_;
};

TEST_P(ReplacePlaceholdersTest, FillsOnlyTheFirstKindInTestOrder) {
  EXPECT_EQ(ReplacePlaceholders(run_, GetParam().line, GetParam().number), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplacePlaceholdersTest,
    ::testing::Values(
        PlaceholderCase{"<title>##AL_FensterTitel - ##AL_Ueberschrift</title>", 1,
                        "<title>Urlaub - ##AL_Ueberschrift</title>"},
        PlaceholderCase{"##AL_Ueberschrift|##AL_Ueberschrift", 1, "Sommer 2008|Sommer 2008"},
        // Names go in as they are: no escaping of blanks or '&'.
        PlaceholderCase{"##AL_Nummer: ##AL_Name", 2, "##AL_Nummer: bild 2 & mehr.jpg"},
        PlaceholderCase{"<img src=\"##AL_gr_Bild\"> ##AL_kl_Bild", 2,
                        "<img src=\"gr/g_bild 2 & mehr.jpg\"> ##AL_kl_Bild"},
        PlaceholderCase{"##AL_kl_Bild", 2, "kl/k_bild 2 & mehr.jpg"},
        // The general pass does not put in the empty thumbnail.
        PlaceholderCase{"[##AL_kl_Bild]", 0, "[]"},
        PlaceholderCase{"##AL_Pixel, ##AL_Size", 2, "900*600, ##AL_Size"},
        PlaceholderCase{"##AL_Size", 2, "717 KB"},
        PlaceholderCase{"##AL_Link_Vorschau ##AL_Nummer", 2, "bild_2.htm ##AL_Nummer"},
        PlaceholderCase{"##AL_Nummer ##AL_Download", 2, "2 ##AL_Download"},
        PlaceholderCase{"##AL_Download", 1, "download.php?file=a.jpg"},
        PlaceholderCase{"##AL_Datum ##AL_Date", 1, "15-03-2008 ##AL_Date"},
        PlaceholderCase{"##AL_Date", 1, "2008-03-15"},
        PlaceholderCase{"##AL_Version$ ##AL_Version ##AL_Version$", 1,
                        "Albumora 0.4.0.155 ##AL_Version Albumora 0.4.0.155"},
        PlaceholderCase{"v##AL_Version", 1, "v0.4.0.155"},
        PlaceholderCase{"##AL_Name", 3, ""},  // above the photo count: empty
        PlaceholderCase{"##al_name ##AL_NAME ##AL_Nam", 1, "##al_name ##AL_NAME ##AL_Nam"}));

TEST(ReplaceThumbnailPlaceholderTest, EmptyCellShowsTheEmptyThumbnail) {
  EXPECT_EQ(ReplaceThumbnailPlaceholder("<img src=\"##AL_kl_Bild\">", "kl/k_"),
            "<img src=\"kl/leer.jpg\">");
  EXPECT_EQ(ReplaceThumbnailPlaceholder("##AL_kl_Bild|##AL_kl_Bild", "kl/k_a.jpg"),
            "kl/k_a.jpg|kl/k_a.jpg");
}

TEST(SplitOverviewLinesTest, SplitsAtTheFirstMarkersAndCountsThumbnailLines) {
  const OverviewTemplate split = SplitOverviewLines(
      Lines({"<html>", "<table><!--##AL_Schleife_Anfang--> x", "<!--##AL_NewFoto-->",
             "<td>##AL_kl_Bild</td>", "<!--##AL_Schleife_Anfang-->", "##AL_kl_Bild",
             "##AL_kl_Bild <!--##AL_Schleife_Ende-->", "<!--##AL_Schleife_Ende-->", "</html>"}));
  EXPECT_EQ(split.head_lines, Lines({"<html>", "<table><!--##AL_Schleife_Anfang--> x"}));
  EXPECT_EQ(split.loop_lines.size(), 5u);
  EXPECT_EQ(split.loop_lines.back(), "##AL_kl_Bild <!--##AL_Schleife_Ende-->");
  EXPECT_EQ(split.thumbs_per_row, 3);  // the end marker line counts like the others
  EXPECT_EQ(split.tail_lines, Lines({"<!--##AL_Schleife_Ende-->", "</html>"}));
}

TEST(SplitOverviewLinesTest, MissingMarkers) {
  const OverviewTemplate no_markers = SplitOverviewLines(Lines({"a", "##AL_kl_Bild", "c"}));
  EXPECT_EQ(no_markers.head_lines.size(), 3u);
  EXPECT_TRUE(no_markers.loop_lines.empty());
  EXPECT_EQ(no_markers.thumbs_per_row, 0);

  const OverviewTemplate start_only =
      SplitOverviewLines(Lines({"a", "<!--##AL_Schleife_Anfang-->", "##AL_kl_Bild", "c"}));
  EXPECT_EQ(start_only.loop_lines, Lines({"##AL_kl_Bild", "c"}));
  EXPECT_TRUE(start_only.tail_lines.empty());
  EXPECT_EQ(start_only.thumbs_per_row, 1);

  EXPECT_EQ(SplitOverviewLines({}).head_lines.size(), 0u);
}

// A row of two cells; the text line shows which entry a cell was filled from.
class ExpandLoopBlockTest : public ::testing::Test {
 protected:
  ExpandLoopBlockTest() {
    overview_ = SplitOverviewLines(Lines(
        {"<table>", "<!--##AL_Schleife_Anfang-->", "<tr>", "<!--##AL_NewFoto-->",
         "<td><img src=\"##AL_kl_Bild\"></td>", "<td>##AL_Nummer ##AL_Name</td>",
         "<!--##AL_NewFoto-->", "<td><img src=\"##AL_kl_Bild\"></td>",
         "<td>##AL_Nummer ##AL_Name</td>", "</tr>", "<!--##AL_Schleife_Ende-->", "</table>"}));
  }

  void AddPhotos(int count) {
    for (int i = 1; i <= count; ++i) photos_.Add("p" + std::to_string(i) + ".jpg");
  }

  std::vector<std::string> Expand(int passes, int stop_value, int& index) {
    std::vector<std::string> written;
    ExpandLoopBlock(overview_, photos_, passes, stop_value, index,
                    [&written](std::string_view line) { written.emplace_back(line); });
    return written;
  }

  static std::vector<std::string> Row(const std::string& first, const std::string& second) {
    auto cell = [](const std::string& cell_photo, const std::string& number) {
      return std::vector<std::string>{
          "<!--##AL_NewFoto-->",
          "<td><img src=\"" +
              (cell_photo.empty() ? std::string("kl/leer.jpg") : "kl/k_" + cell_photo) + "\"></td>",
          // In the loop block "##AL_Nummer" wins over "##AL_Name"; the name is left for later.
          "<td>" + number + " ##AL_Name</td>"};
    };
    std::vector<std::string> row{"<tr>"};
    for (const auto& line : cell(first, first.empty() ? "" : first.substr(1, 1)))
      row.push_back(line);
    for (const auto& line : cell(second, second.empty() ? "" : second.substr(1, 1))) {
      row.push_back(line);
    }
    row.push_back("</tr>");
    return row;
  }

  static std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
  }

  OverviewTemplate overview_;
  PhotoList photos_;
};

TEST_F(ExpandLoopBlockTest, FivePhotosFillTheLastRowWithAnEmptyCell) {
  AddPhotos(5);
  ASSERT_EQ(overview_.thumbs_per_row, 2);
  int index = 0;
  EXPECT_EQ(Expand(3, 6, index),
            Join({Row("p1.jpg", "p2.jpg"), Row("p3.jpg", "p4.jpg"), Row("p5.jpg", "")}));
  EXPECT_EQ(index, 6);
}

TEST_F(ExpandLoopBlockTest, FourPhotosCutTheThirdPassAfterItsFirstMarker) {
  AddPhotos(4);
  int index = 0;
  EXPECT_EQ(
      Expand(3, 4, index),
      Join({Row("p1.jpg", "p2.jpg"), Row("p3.jpg", "p4.jpg"), {"<tr>", "<!--##AL_NewFoto-->"}}));
  EXPECT_EQ(index, 5);
}

TEST_F(ExpandLoopBlockTest, IndexCarriesOverFromPageToPage) {
  AddPhotos(5);
  int index = 0;
  EXPECT_EQ(Expand(1, 6, index), Row("p1.jpg", "p2.jpg"));
  EXPECT_EQ(Expand(1, 6, index), Row("p3.jpg", "p4.jpg"));
  EXPECT_EQ(Expand(1, 6, index), Row("p5.jpg", ""));
}

TEST_F(ExpandLoopBlockTest, LinesBeforeTheFirstMarkerUseThePreviousCell) {
  overview_ = SplitOverviewLines(
      Lines({"<!--##AL_Schleife_Anfang-->", "##AL_Link_Vorschau", "<!--##AL_NewFoto-->",
             "##AL_kl_Bild ##AL_Pixel", "##AL_Size ##AL_Download", "<!--##AL_Schleife_Ende-->"}));
  AddPhotos(2);
  photos_.MutableEntry(1).pixel = "4*3";
  photos_.MutableEntry(2).size = "1 KB";
  int index = 0;
  EXPECT_EQ(Expand(2, 2, index), Lines({"", "<!--##AL_NewFoto-->", "kl/k_p1.jpg ##AL_Pixel",
                                        " ##AL_Download", "bild_1.htm", "<!--##AL_NewFoto-->",
                                        "kl/k_p2.jpg ##AL_Pixel", "1 KB ##AL_Download"}));
}

TEST_F(ExpandLoopBlockTest, BlockWithoutLinesWritesNothing) {
  overview_ =
      SplitOverviewLines(Lines({"<!--##AL_Schleife_Anfang-->", "<!--##AL_Schleife_Ende-->"}));
  int index = 0;
  EXPECT_TRUE(Expand(10, 0, index).empty());
  overview_ = OverviewTemplate{};
  EXPECT_TRUE(Expand(10, 0, index).empty());
}

}  // namespace
}  // namespace albumora
