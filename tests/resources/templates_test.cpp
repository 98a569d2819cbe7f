// The default templates and style sheet: the rules the engine relies on, checked on the files.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>
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
                         testing::Values("standard._vl", "standard.gvl"));

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

TEST(StyleSheetTest, DeclaresItsCharsetAndBalancesItsBraces) {
  const std::string css = Template("standard.css");
  EXPECT_TRUE(css.starts_with("@charset \"windows-1252\";\r\n"));
  EXPECT_EQ(std::count(css.begin(), css.end(), '{'), std::count(css.begin(), css.end(), '}'));
  EXPECT_EQ(css.find("/*", css.rfind("*/")), std::string::npos) << "an unclosed comment";
}

}  // namespace
}  // namespace albumora
