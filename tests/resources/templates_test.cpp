// The default templates and style sheet: the rules the engine relies on, checked on the files.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "html_checks.h"
#include "platform/text.h"
#include "scratch.h"

namespace albumora {
namespace {

const std::string kStartMarker = "<!--##AL_Schleife_Anfang-->";
const std::string kEndMarker = "<!--##AL_Schleife_Ende-->";
const std::string kNewPhoto = "<!--##AL_NewFoto-->";

std::string Template(const std::string& name) {
  return ReadFileBytes(SourceDir() / "resources" / "vorlagen" / name);
}

std::vector<std::string> Lines(const std::string& name) { return SplitTextLines(Template(name)); }

bool Holds(const std::string& line, const std::string& word) {
  return line.find(word) != std::string::npos;
}

int CountLines(const std::vector<std::string>& lines, const std::string& word) {
  return static_cast<int>(
      std::count_if(lines.begin(), lines.end(), [&](const auto& l) { return Holds(l, word); }));
}

class BothTemplatesTest : public testing::TestWithParam<const char*> {};

TEST_P(BothTemplatesTest, AreWindows1252WithCrLfAndSayTheirCharsetFirst) {
  const std::string bytes = Template(GetParam());
  // Windows-1252 umlauts are no valid UTF-8, so a file saved as UTF-8 shows here.
  EXPECT_FALSE(FromUtf8(bytes).has_value()) << "looks like UTF-8 rather than Windows-1252";
  EXPECT_NE(bytes.find('\xFC'), std::string::npos) << "the German text lost its umlauts";
  const auto lf = std::count(bytes.begin(), bytes.end(), '\n');
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\r'), lf);
  std::size_t crlf = 0;
  for (std::size_t at = bytes.find("\r\n"); at != std::string::npos;
       at = bytes.find("\r\n", at + 2)) {
    ++crlf;
  }
  EXPECT_EQ(static_cast<long>(crlf), lf);
  // The head block follows the "<head>" line and, on photo pages, may end the head early with
  // the navigation bar; so everything the head needs stands on that line itself.
  const std::vector<std::string> lines = Lines(GetParam());
  ASSERT_EQ(CountLines(lines, "<head>"), 1);
  const auto head =
      std::find_if(lines.begin(), lines.end(), [](const auto& l) { return Holds(l, "<head>"); });
  EXPECT_TRUE(Holds(*head, "<meta charset=\"windows-1252\">")) << *head;
  EXPECT_TRUE(Holds(*head, "name=\"viewport\"")) << *head;
}

TEST_P(BothTemplatesTest, EndTheBodyOnALineOfItsOwn) {
  const std::vector<std::string> lines = Lines(GetParam());
  ASSERT_EQ(CountLines(lines, "</body>"), 1);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "</body>"), lines.end());
  EXPECT_EQ(CountLines(lines, "<HEAD>") + CountLines(lines, "</BODY>"), 0);
}

TEST_P(BothTemplatesTest, UseOnlyKnownPlaceholdersOneKindPerLine) {
  for (const std::string& line : Lines(GetParam())) {
    std::vector<std::string> words = WordsInLine(line);
    for (const std::string& word : words) EXPECT_FALSE(word.starts_with("##AL_?")) << line;
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
    // The engine fills only the first kind of a line.
    EXPECT_LE(words.size(), 1u) << line;
  }
}

INSTANTIATE_TEST_SUITE_P(Defaults, BothTemplatesTest,
                         testing::Values("standard._vl", "standard.gvl", "standard_download.gvl"));

struct SplitTemplate {
  std::vector<std::string> head, loop, tail;
};

SplitTemplate Split(const std::vector<std::string>& lines) {
  SplitTemplate split;
  auto at = lines.begin();
  while (at != lines.end()) {
    split.head.push_back(*at);
    if (Holds(*at++, kStartMarker)) break;
  }
  while (at != lines.end()) {
    split.loop.push_back(*at);
    if (Holds(*at++, kEndMarker)) break;
  }
  split.tail.assign(at, lines.end());
  return split;
}

TEST(OverviewTemplateTest, HasOneLoopBlockOfCellsThatEachStartWithTheNewPhotoMarker) {
  const std::vector<std::string> lines = Lines("standard._vl");
  EXPECT_EQ(CountLines(lines, kStartMarker), 1);
  EXPECT_EQ(CountLines(lines, kEndMarker), 1);
  const SplitTemplate split = Split(lines);
  ASSERT_FALSE(split.loop.empty());
  EXPECT_EQ(split.head.back(), kStartMarker) << "the marker line is dropped whole";
  EXPECT_EQ(split.loop.back(), kEndMarker) << "the marker line is dropped whole";
  // A page's last pass is cut right after its first new-photo line: nothing may come before it.
  EXPECT_EQ(split.loop.front(), kNewPhoto);
  const int cells = CountLines(split.loop, kNewPhoto);
  EXPECT_EQ(std::count(split.loop.begin(), split.loop.end(), kNewPhoto), cells)
      << "new-photo marker lines hold nothing else";
  EXPECT_EQ(CountLines(split.loop, "##AL_kl_Bild"), cells) << "the page arithmetic counts both";
}

TEST(OverviewTemplateTest, ColumnCountMatchesTheCellsOfARow) {
  const SplitTemplate split = Split(Lines("standard._vl"));
  const std::regex columns("--spalten: ([0-9]+)");
  std::smatch match;
  std::string value;
  for (const std::string& line : split.head) {
    if (std::regex_search(line, match, columns)) value = match[1];
  }
  EXPECT_EQ(value, std::to_string(CountLines(split.loop, kNewPhoto)));
}

TEST(OverviewTemplateTest, LoopLinesHoldOnlyWhatTheLoopFillsPerCell) {
  // Anything else would be filled later from the photo whose number equals the page number.
  const std::vector<std::string> loop_words = {
      "##AL_kl_Bild", "##AL_Link_Vorschau", "##AL_Nummer",  "##AL_Name",         "##AL_Pixel",
      "##AL_Size",    "##AL_Download",      "##AL_NewFoto", "##AL_Schleife_Ende"};
  for (const std::string& line : Split(Lines("standard._vl")).loop) {
    for (const std::string& word : WordsInLine(line)) {
      EXPECT_NE(std::find(loop_words.begin(), loop_words.end(), word), loop_words.end()) << line;
    }
  }
  for (const std::string& line : Split(Lines("standard._vl")).head) {
    for (const std::string& word : WordsInLine(line)) {
      EXPECT_EQ(std::find(loop_words.begin(), loop_words.end() - 2, word), loop_words.end() - 2)
          << "a photo placeholder outside the loop shows the photo of the page number: " << line;
    }
  }
}

// What the engine makes of the template, reduced to the template's own lines: the head without
// its marker line, full passes, a last pass cut after its first new-photo line, and the tail.
std::string ExpandedOverview(int full_passes) {
  const SplitTemplate split = Split(Lines("standard._vl"));
  std::string page;
  for (std::size_t i = 0; i + 1 < split.head.size(); ++i) page += split.head[i] + "\n";
  for (int pass = 0; pass < full_passes; ++pass) {
    for (std::size_t i = 0; i + 1 < split.loop.size(); ++i) page += split.loop[i] + "\n";
  }
  for (std::size_t i = 0; i + 1 < split.loop.size(); ++i) {
    page += split.loop[i] + "\n";
    if (Holds(split.loop[i], kNewPhoto)) break;
  }
  for (const std::string& line : split.tail) page += line + "\n";
  return page;
}

const std::set<std::string> kElements = {"html", "head",   "body",       "header", "main",
                                         "div",  "figure", "figcaption", "a",      "h1",
                                         "p",    "time",   "span",       "title"};

TEST(OverviewTemplateTest, PagesNestProperlyAlsoWhenALastPassIsCutShort) {
  for (int passes : {0, 1, 3}) {
    EXPECT_EQ(NestingFault(ExpandedOverview(passes), kElements), "") << passes << " passes";
  }
}

TEST(PhotoTemplateTest, LeavesTheTitleToTheHeadBlockAndHasNoLoop) {
  const std::vector<std::string> lines = Lines("standard.gvl");
  EXPECT_EQ(CountLines(lines, "<title"), 0);
  EXPECT_EQ(CountLines(lines, "##AL_Schleife") + CountLines(lines, "##AL_NewFoto"), 0);
  std::string page;
  for (const std::string& line : lines) page += line + "\n";
  EXPECT_EQ(NestingFault(page, kElements), "");
  EXPECT_EQ(CountLines(lines, "##AL_gr_Bild"), 1);
}

// The first screen of an overview page is a row the loop block repeats like every other, so no
// thumbnail is lazy; and the empty cell's link keeps a name (its alt begins with fixed text).
TEST(OverviewTemplateTest, ThumbnailsLoadAtOnceAndAlwaysNameTheirLink) {
  const SplitTemplate split = Split(Lines("standard._vl"));
  for (std::size_t i = 0; i < split.loop.size(); ++i) {
    const std::string& line = split.loop[i];
    if (!Holds(line, "<img ")) continue;
    std::string tag = line;
    for (std::size_t j = i + 1; j < split.loop.size() && !Holds(tag, ">"); ++j) {
      tag += "\n" + split.loop[j];
    }
    EXPECT_FALSE(Holds(tag, "loading=")) << tag;
    const std::size_t alt = tag.find("alt=\"");
    ASSERT_NE(alt, std::string::npos) << tag;
    EXPECT_FALSE(tag.compare(alt + 5, 5, "##AL_") == 0) << "an empty cell's alt would be empty";
  }
}

class PhotoTemplatesTest : public testing::TestWithParam<const char*> {};

// The big picture's box is known before it loads: calc(1 / W*H) is H/W, read by the style sheet.
TEST_P(PhotoTemplatesTest, ReserveTheBigPicturesBoxFromItsPixels) {
  const std::vector<std::string> lines = Lines(GetParam());
  const auto picture = std::find_if(lines.begin(), lines.end(),
                                    [](const auto& l) { return Holds(l, "##AL_gr_Bild"); });
  ASSERT_NE(picture, lines.end());
  ASSERT_LT(picture + 1, lines.end());
  EXPECT_EQ(picture[1], " style=\"--hoehe-je-breite: calc(1 / ##AL_Pixel)\"");
  EXPECT_TRUE(Holds(Template("standard.css"), "aspect-ratio: 1 / var(--hoehe-je-breite)"));
}

INSTANTIATE_TEST_SUITE_P(Defaults, PhotoTemplatesTest,
                         testing::Values("standard.gvl", "standard_download.gvl"));

// Download is off by default, and then there is no download.php to link to.
TEST(PhotoTemplateTest, OnlyTheDownloadTemplateLinksToTheOriginal) {
  EXPECT_EQ(CountLines(Lines("standard.gvl"), "href=\"##AL_Download\""), 0);
  EXPECT_EQ(CountLines(Lines("standard_download.gvl"), "href=\"##AL_Download\""), 1);
  // Otherwise the two are the same page.
  std::vector<std::string> with = Lines("standard_download.gvl");
  std::vector<std::string> without = Lines("standard.gvl");
  const auto body = [](const std::vector<std::string>& l) {
    return std::vector<std::string>(std::find(l.begin(), l.end(), "</head>"), l.end());
  };
  std::vector<std::string> rest = body(with);
  std::erase_if(rest, [](const auto& l) { return Holds(l, "##AL_Download"); });
  EXPECT_EQ(rest, body(without));
}

// Rules whose loss would bring the old faults back, each with what it guards.
TEST(StyleSheetTest, KeepsFocusMotionAndEmptyLinkRules) {
  const std::string css = Template("standard.css");
  const std::vector<std::pair<std::string, std::string>> rules = {
      {"a:focus-visible {\r\n  outline: 3px solid", "a visible focus ring on every link"},
      {"@media (prefers-reduced-motion: reduce)", "no zoom for those who asked for less motion"},
      {".zelle a[href=\"\"] {\r\n  visibility: hidden;", "the empty cell's link is no stop"},
      {"body > a[href=\"../../index.htm\"] {\r\n  display: none;", "the re-opened empty link"},
  };
  for (const auto& [rule, why] : rules) EXPECT_TRUE(Holds(css, rule)) << why;
  // A cell that clips its content cuts off the focus ring of its link.
  const std::size_t cell = css.find("\r\n.zelle {");
  ASSERT_NE(cell, std::string::npos);
  EXPECT_FALSE(Holds(css.substr(cell, css.find('}', cell) - cell), "overflow"));
}

TEST(StyleSheetTest, DeclaresItsCharsetAndBalancesItsBraces) {
  const std::string css = Template("standard.css");
  EXPECT_TRUE(css.starts_with("@charset \"windows-1252\";\r\n"));
  EXPECT_EQ(std::count(css.begin(), css.end(), '{'), std::count(css.begin(), css.end(), '}'));
  EXPECT_EQ(css.find("/*", css.rfind("*/")), std::string::npos) << "an unclosed comment";
}

}  // namespace
}  // namespace albumora
