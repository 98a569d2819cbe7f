// The page writers against a photo list made in the test: the worked examples byte for byte, the
// head blocks, the navigation and the page arithmetic.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "gallery/page_writers.h"
#include "gallery/template_engine.h"
#include "gallery_test_support.h"
#include "platform/text.h"
#include "ui/control_ids.h"

namespace albumora {
namespace {

namespace fs = std::filesystem;
using testing::CrLfLines;
using testing::ReadFile;
using testing::RunEnvironment;
using testing::WorkFolderTest;
using testing::WriteFile;

const std::vector<std::string> kSmallTemplate = {"<html>",
                                                 "<head>",
                                                 "</head>",
                                                 "<body>",
                                                 "<table>",
                                                 "<!--##AL_Schleife_Anfang-->",
                                                 "<tr>",
                                                 "<!--##AL_NewFoto-->",
                                                 "<td><img src=\"##AL_kl_Bild\"></td>",
                                                 "</tr>",
                                                 "<!--##AL_Schleife_Ende-->",
                                                 "</table>",
                                                 "</body>",
                                                 "</html>"};
const std::vector<std::string> kBigTemplate = {
    "<html>", "<head>", "</head>", "<body>", "<img src=\"##AL_gr_Bild\">", "</body>", "</html>"};

std::vector<std::string> PageLines(const fs::path& path) { return SplitTextLines(ReadFile(path)); }

bool HasLine(const std::vector<std::string>& lines, std::string_view line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class PagesTest : public WorkFolderTest {
 protected:
  void SetUp() override {
    WorkFolderTest::SetUp();
    env_ = std::make_unique<RunEnvironment>();
    run_ = std::make_unique<RunState>(env_->controls, env_->reporter, env_->values);
    env_->SetSourceFolder(Path("Urlaub/"));
    Set(ctl::kTargetFolder, Path("site/"));
    Set(ctl::kWindowTitle, "Urlaub");
    Set(ctl::kSmallTemplate, Path("vorlage._vl"));
    Set(ctl::kBigTemplate, Path("vorlage.gvl"));
    Set(ctl::kRowsPerPage, "2");
    SetTemplates(kSmallTemplate, kBigTemplate);
    fs::create_directories(Gallery());
  }

  void Set(int control, std::string_view text) { env_->controls.SetControlText(control, text); }
  void Check(int control) { env_->controls.SetControlState(control, 1); }

  void SetTemplates(const std::vector<std::string>& small, const std::vector<std::string>& big) {
    WriteFile(Path("vorlage._vl"), CrLfLines(small));
    WriteFile(Path("vorlage.gvl"), CrLfLines(big));
  }

  void AddPhotos(int count) {
    for (int i = 0; i < count; ++i)
      run_->photos.Add(std::string(1, static_cast<char>('a' + i)) + ".jpg");
  }

  fs::path Gallery() const { return fs::path(Path("site/fotos/urlaub")); }
  fs::path Temp() const { return fs::path(env_->values.temp_folder); }

  std::unique_ptr<RunEnvironment> env_;
  std::unique_ptr<RunState> run_;
};

TEST_F(PagesTest, PhotoPageOfTheWorkedExample) {
  AddPhotos(3);
  run_->overview.thumbs_per_row = 3;  // 3 x 2 rows: 6 photos per overview page
  ASSERT_EQ(WritePhotoPages(*run_), PagesOutcome::kWritten);
  EXPECT_EQ(ReadFile(Gallery() / "bild_2.htm"),
            ReadFile(fs::path(ALBUMORA_TEST_DATA_DIR) / "gallery/photo_page_bild_2.htm"));
  EXPECT_TRUE(env_->controls.messages().empty());
}

TEST_F(PagesTest, OverviewPagesOfTheWorkedExample) {
  AddPhotos(3);
  fs::create_directories(Temp());
  ASSERT_EQ(AssembleWebPages(*run_), PagesOutcome::kWritten);
  ASSERT_EQ(run_->layout.page_count, 2);
  for (int p = 1; p <= 2; ++p) {
    const std::string name = "fotos_" + std::to_string(p) + ".htm";
    const std::string golden = ReadFile(fs::path(ALBUMORA_TEST_DATA_DIR) /
                                        ("gallery/overview_page_" + std::to_string(p) + ".htm"));
    EXPECT_EQ(ReadFile(Temp() / name), golden) << name;
    EXPECT_EQ(ReadFile(Gallery() / name), golden) << name;
  }
  EXPECT_FALSE(fs::exists(Gallery() / "fotos_3.htm"));
}

TEST_F(PagesTest, StatusTextsComeInPageOrder) {
  AddPhotos(5);
  Set(ctl::kRowsPerPage, "3");
  fs::create_directories(Temp());
  ASSERT_EQ(AssembleWebPages(*run_), PagesOutcome::kWritten);
  EXPECT_EQ(
      env_->reporter.status_log(),
      (std::vector<std::string>{
          "Schreibe Temp-Datei: 1", "Schreibe Temp-Datei: 2", "Schreibe Webseite: 1",
          "Schreibe Webseite: 2", Cp1252("Schreibe Vergößerungs Webseite: 1"),
          Cp1252("Schreibe Vergößerungs Webseite: 2"), Cp1252("Schreibe Vergößerungs Webseite: 3"),
          Cp1252("Schreibe Vergößerungs Webseite: 4"),
          Cp1252("Schreibe Vergößerungs Webseite: 5")}));
  EXPECT_EQ(env_->reporter.keep_alive_calls(), 9);
}

TEST_F(PagesTest, PageArithmeticAndNavigationRanges) {
  // Three cells per row, two rows, seven photos: 9 cells in rows, 6 per page, 2 pages.
  SetTemplates({"<!--##AL_Schleife_Anfang-->", "<!--##AL_NewFoto-->", "##AL_kl_Bild",
                "<!--##AL_NewFoto-->", "##AL_kl_Bild", "<!--##AL_NewFoto-->", "##AL_kl_Bild",
                "<!--##AL_Schleife_Ende-->", "</body>"},
               kBigTemplate);
  AddPhotos(7);
  fs::create_directories(Temp());
  ASSERT_EQ(AssembleWebPages(*run_), PagesOutcome::kWritten);
  EXPECT_EQ(run_->layout.rounded_photo_count, 9);
  EXPECT_EQ(run_->layout.photos_per_page, 6);
  EXPECT_EQ(run_->layout.page_count, 2);
  const auto page2 = PageLines(Gallery() / "fotos_2.htm");
  EXPECT_EQ(std::count(page2.begin(), page2.end(), "kl/leer.jpg"), 2);
  EXPECT_TRUE(HasLine(page2, "kl/k_g.jpg"));
  EXPECT_TRUE(HasLine(page2, R"([<a href="fotos_1.htm">1-6</a>])"));
  EXPECT_TRUE(HasLine(page2, R"([<a href="fotos_2.htm"><font color="#FF0000">7-12</font></a>])"));
  // Photo 6 is on the first overview page, photo 7 on the second.
  EXPECT_TRUE(HasLine(PageLines(Gallery() / "bild_6.htm"),
                      Cp1252(R"(<a href="fotos_1.htm">Zurück zu den Miniaturen</a>)")));
  EXPECT_TRUE(HasLine(PageLines(Gallery() / "bild_7.htm"),
                      Cp1252(R"(<a href="fotos_2.htm">Zurück zu den Miniaturen</a>)")));
}

TEST_F(PagesTest, NavigationRangesDoNotWrapAroundAt32767) {
  // 4000 cells per row and 10 rows make 40000 photos per page, past what 16 bits hold.
  std::vector<std::string> small = {"<!--##AL_Schleife_Anfang-->", "<!--##AL_NewFoto-->"};
  small.insert(small.end(), 4000, "##AL_kl_Bild");
  small.insert(small.end(), {"<!--##AL_Schleife_Ende-->", "</body>"});
  SetTemplates(small, kBigTemplate);
  Set(ctl::kRowsPerPage, "10");
  AddPhotos(1);
  fs::create_directories(Temp());
  ASSERT_EQ(AssembleWebPages(*run_), PagesOutcome::kWritten);
  EXPECT_TRUE(HasLine(PageLines(Gallery() / "fotos_1.htm"),
                      R"([<a href="fotos_1.htm"><font color="#FF0000">1-40000</font></a>])"));
}

TEST_F(PagesTest, FinalPassFillsWhatTheLoopLeftWithThePageNumber) {
  SetTemplates({"<head>", "<title>##AL_FensterTitel</title> ##AL_Ueberschrift", "<p>##AL_Name</p>",
                "<table><!--##AL_Schleife_Anfang-->", "<!--##AL_NewFoto-->",
                "##AL_kl_Bild ##AL_gr_Bild", "<!--##AL_Schleife_Ende-->"},
               kBigTemplate);
  Check(ctl::kMetaTags);
  AddPhotos(4);
  Set(ctl::kRowsPerPage, "1");
  fs::create_directories(Temp());
  ASSERT_EQ(AssembleWebPages(*run_), PagesOutcome::kWritten);
  const auto page2 = PageLines(Gallery() / "fotos_2.htm");
  EXPECT_TRUE(HasLine(page2, "<title>Urlaub</title> ##AL_Ueberschrift"));
  EXPECT_TRUE(HasLine(page2, "<p>b.jpg</p>"));  // the page number serves as photo number
  EXPECT_TRUE(HasLine(page2, R"(<meta name="DC.Title" content="Urlaub">)"));
  EXPECT_TRUE(HasLine(page2, R"(<meta name="DC.Subject" content="Urlaub">)"));
  // The loop filled the thumbnail; the big picture on the same line is left to the final pass.
  EXPECT_TRUE(HasLine(PageLines(Temp() / "fotos_2.htm"), "kl/k_b.jpg ##AL_gr_Bild"));
  EXPECT_TRUE(HasLine(page2, "kl/k_b.jpg gr/g_b.jpg"));
  // The start marker line is dropped with the tag it holds.
  EXPECT_FALSE(HasLine(page2, "<table><!--##AL_Schleife_Anfang-->"));
  EXPECT_FALSE(HasLine(page2, "<table>"));
}

TEST_F(PagesTest, OverviewHeadBlock) {
  Check(ctl::kRobots);
  Check(ctl::kMetaTags);
  Check(ctl::kRevealTransition);
  Check(ctl::kBlendTransition);
  Check(ctl::kExternalCss);
  Set(ctl::kMetaDescription, " ");
  Set(ctl::kMetaPublisher, "Verlag");
  WriteFile(Path("css/Mein Stil.CSS"), "body{}");
  Set(ctl::kCssFile, Path("css/Mein Stil.CSS"));
  AddPhotos(1);
  fs::create_directories(Temp());
  ASSERT_EQ(WriteOverviewTempPages(*run_), PagesOutcome::kWritten);
  const auto page = PageLines(Temp() / "fotos_1.htm");
  const std::vector<std::string> expected = {
      "<head>", R"(<meta name="robots" content="nofollow">)",
      R"(<meta name="DC.Title" content="##AL_FensterTitel">)",
      R"(<meta name="DC.Subject" content="##AL_FensterTitel">)",
      R"(<meta name="DC.Description" content=" ">)",
      R"(<meta name="DC.Publisher" content="Verlag">)",
      R"(<meta name="DC.Date" content="2008-03-15">)", R"(<meta name="DC.Type" content="Image">)",
      R"(<meta name="DC.Format" content="text/html">)", R"(<meta name="DC.Language" content="de">)",
      R"(<meta name="GENERATOR" content="Albumora 0.4.0.155">)", "",
      R"x(<meta http-equiv="Page-Enter" content="revealTrans(Duration=3.0,Transition=23)">)x", "",
      // The copy is stored lower-cased, and the link must find it on a case-sensitive system.
      R"(<link rel="stylesheet" type="text/css" href="mein stil.css">)", "", "</head>"};
  ASSERT_GE(page.size(), expected.size() + 1);
  EXPECT_EQ(std::vector<std::string>(page.begin() + 1, page.begin() + 1 + expected.size()),
            expected);
  EXPECT_EQ(ReadFile(Gallery() / "mein stil.css"), "body{}");
}

TEST_F(PagesTest, OverviewHeadBlockWithAuthorAndBlendTransition) {
  Check(ctl::kMetaTags);
  Check(ctl::kBlendTransition);
  Set(ctl::kMetaAuthor, "Anna <A&B>");
  AddPhotos(1);
  fs::create_directories(Temp());
  ASSERT_EQ(WriteOverviewTempPages(*run_), PagesOutcome::kWritten);
  const auto page = PageLines(Temp() / "fotos_1.htm");
  EXPECT_TRUE(HasLine(page, R"(<meta name="robots" content="noindex">)"));
  EXPECT_TRUE(HasLine(page, R"(<meta name="DC.Creator" content="Anna <A&B>">)"));
  EXPECT_TRUE(HasLine(page, R"(<meta name="DC.Rights" content="Alle Rechte liegen beim Autor">)"));
  EXPECT_TRUE(
      HasLine(page, R"x(<meta http-equiv="Page-Enter" content="blendTrans(Duration=2.0)">)x"));
  EXPECT_FALSE(HasLine(page, R"(<meta name="DC.Publisher" content="">)"));
}

class PhotoPageTest : public PagesTest {
 protected:
  std::vector<std::string> WritePage(int count, int number) {
    AddPhotos(count);
    run_->overview.thumbs_per_row = 3;
    EXPECT_EQ(WritePhotoPages(*run_), PagesOutcome::kWritten);
    return PageLines(Gallery() / ("bild_" + std::to_string(number) + ".htm"));
  }

  static std::vector<std::string> TextNavigation(int previous, int next, int last) {
    return {"<center><b>", R"(<a href="bild_1.htm">Erstes Foto -- </a>)",
            "<a href=\"bild_" + std::to_string(previous) + ".htm\">R&uuml;ckw&auml;rts -- </a>",
            "<a href=\"bild_" + std::to_string(next) + ".htm\">Vorw&auml;rts -- </a>",
            "<a href=\"bild_" + std::to_string(last) + ".htm\">Letztes Foto </a>"};
  }

  static bool HasSequence(const std::vector<std::string>& lines,
                          const std::vector<std::string>& sequence) {
    return std::search(lines.begin(), lines.end(), sequence.begin(), sequence.end()) != lines.end();
  }
};

TEST_F(PhotoPageTest, HeadBlockWithMetaTagsAndBothTransitions) {
  Check(ctl::kMetaTags);
  Check(ctl::kRevealTransition);
  Check(ctl::kBlendTransition);
  Set(ctl::kCssFile, Path("keine_css_datei.css"));
  Set(ctl::kWindowTitle, "Titel \"mit\" <b>");
  const auto page = WritePage(1, 1);
  const std::vector<std::string> expected = {
      "<html>",
      "<head>",
      R"(<meta name="robots" content="noindex">)",
      R"(<meta name="DC.Title" content="Titel "mit" <b>">)",
      R"(<meta name="DC.Date" content="2008-03-15">)",
      R"(<meta name="DC.Format" content="text/html">)",
      R"(<meta name="DC.Language" content="de">)",
      R"(<meta name="GENERATOR" content="Albumora 0.4.0.155">)",
      "",
      R"x(<meta http-equiv="Page-Exit" content="revealTrans(Duration=3.0,Transition=23)">)x",
      "",
      R"(<title>Titel "mit" <b></title>)",
      "</head>"};
  ASSERT_GE(page.size(), expected.size());
  EXPECT_EQ(std::vector<std::string>(page.begin(), page.begin() + expected.size()), expected);
}

TEST_F(PhotoPageTest, TextNavigationWrapsAroundAtBothEnds) {
  Check(ctl::kWebalbum);
  Set(ctl::kControlSymbolFolder, Path("keine_symbole/"));
  auto first = TextNavigation(5, 2, 5);
  auto head = first;
  head.push_back("</b></center><hr>");
  auto footer = first;
  footer.push_back("</b></center>");
  const auto page1 = WritePage(5, 1);
  EXPECT_TRUE(HasSequence(page1, head));
  EXPECT_TRUE(HasSequence(page1, footer));
  auto last = TextNavigation(4, 1, 5);
  last.push_back("</b></center>");
  EXPECT_TRUE(HasSequence(PageLines(Gallery() / "bild_5.htm"), last));
}

TEST_F(PhotoPageTest, SinglePhotoLeadsToItselfEverywhere) {
  Check(ctl::kWebalbum);
  Set(ctl::kControlSymbolFolder, Path("keine_symbole/"));
  EXPECT_TRUE(HasSequence(WritePage(1, 1), TextNavigation(1, 1, 1)));
}

TEST_F(PhotoPageTest, GraphicNavigationWhenTheSymbolFolderHoldsTheGraphics) {
  Check(ctl::kWebalbum);
  for (const char* name : {"anfang.gif", "ende.gif", "zurück.gif", "vor.gif", "space.gif"}) {
    WriteFile(Path(std::string("symbole/") + name), name);
  }
  Set(ctl::kControlSymbolFolder, Path("symbole/"));
  const auto page = WritePage(3, 2);
  const std::string space = R"(<img border="0" src="space.gif" width="20" height="20">)";
  EXPECT_TRUE(HasSequence(
      page,
      {"<center>",
       R"(<a titel="Erstes Foto" href="bild_1.htm"><img border="0" src="anfang.gif" width="20" height="20"></a>)",
       space,
       Cp1252(
           R"(<a href="bild_1.htm"><img border="0" src="zurück.gif" width="20" height="20"></a>)"),
       space, R"(<a href="bild_3.htm"><img border="0" src="vor.gif" width="20" height="20"></a>)",
       space, R"(<a href="bild_3.htm"><img border="0" src="ende.gif" width="20" height="20"></a>)",
       "</center><hr>"}));
  // The footer always has the text form.
  auto footer = TextNavigation(1, 3, 3);
  footer.push_back("</b></center>");
  EXPECT_TRUE(HasSequence(page, footer));
  EXPECT_EQ(ReadFile(Gallery() / "zurück.gif"), "zurück.gif");
  EXPECT_EQ(ReadFile(Gallery() / "space.gif"), "space.gif");
}

TEST_F(PhotoPageTest, BodyAndHeadTagsOnOddLines) {
  SetTemplates(kSmallTemplate, {"<HEAD>", "<head><title>x</title>", "##AL_Name</body></html>",
                                "<head></body>##AL_Nummer"});
  const auto page = WritePage(1, 1);
  const std::vector<std::string> head_block = {
      "", R"(<link rel="stylesheet" type="text/css" href="">)", "", "<title>Urlaub</title>"};
  std::vector<std::string> expected = {"<HEAD>", "<head><title>x</title>"};
  expected.insert(expected.end(), head_block.begin(), head_block.end());
  // The rest of a "</body>" line is written as it is, and the footer continues that line.
  expected.push_back("##AL_Name</html><br><hr><center><b>");
  EXPECT_TRUE(HasSequence(page, expected));
  // A line with both tags: filled line and head block first, then the footer sequence.
  std::vector<std::string> both = {"<head></body>1"};
  both.insert(both.end(), head_block.begin(), head_block.end());
  both.push_back("<head>##AL_Nummer<br><hr><center><b>");
  EXPECT_TRUE(HasSequence(page, both));
}

TEST_F(PagesTest, RunStopsBeforePagesWhenRowsOrThumbnailsAreMissing) {
  AddPhotos(2);
  fs::create_directories(Temp());
  Set(ctl::kRowsPerPage, "");
  SetTemplates({"<html>", "<!--##AL_Schleife_Anfang-->", "<!--##AL_Schleife_Ende-->"},
               kBigTemplate);
  EXPECT_EQ(AssembleWebPages(*run_), PagesOutcome::kNotWritten);
  ASSERT_EQ(env_->controls.messages().size(), 1u);
  const std::string text = env_->controls.messages()[0].text;
  EXPECT_EQ(env_->controls.messages()[0].title, "Achtung");
  EXPECT_NE(text.find(Cp1252("„Anzahl der Fotos untereinander:“")), std::string::npos) << text;
  EXPECT_NE(text.find(Path("vorlage._vl")), std::string::npos) << text;
  EXPECT_NE(text.find("##AL_kl_Bild"), std::string::npos) << text;
  EXPECT_FALSE(fs::exists(Temp() / "fotos_1.htm"));
  EXPECT_FALSE(fs::exists(Gallery() / "bild_1.htm"));
}

TEST_F(PagesTest, TemplateThatCannotBeOpenedIsReportedOnce) {
  AddPhotos(2);
  fs::create_directories(Temp());
  Set(ctl::kSmallTemplate, Path("fehlt._vl"));
  EXPECT_EQ(AssembleWebPages(*run_), PagesOutcome::kNotWritten);
  EXPECT_EQ(
      env_->MessageTexts(),
      std::vector<std::string>{Cp1252("Achtung: Vorlagen Datei konnte nicht geöffnet werden!")});
}

TEST_F(PagesTest, BigTemplateThatCannotBeOpenedGivesEmptyPages) {
  AddPhotos(2);
  fs::create_directories(Temp());
  Set(ctl::kBigTemplate, Path("fehlt.gvl"));
  EXPECT_EQ(AssembleWebPages(*run_), PagesOutcome::kWritten);
  EXPECT_EQ(env_->MessageTexts(),
            std::vector<std::string>{Cp1252("Achtung: Kann Vorlagen Datei nicht öffnen!")});
  EXPECT_EQ(fs::file_size(Gallery() / "bild_2.htm"), 0u);
}

TEST_F(PagesTest, PageThatCannotBeCreatedEndsTheRun) {
  AddPhotos(2);
  fs::create_directories(Temp());
  fs::create_directories(Gallery() / "bild_2.htm");  // a folder where the page should go
  EXPECT_EQ(AssembleWebPages(*run_), PagesOutcome::kProgramMustEnd);
  EXPECT_EQ(env_->MessageTexts(),
            std::vector<std::string>{Cp1252(
                "Albumora: Ich kann eine Seite für die Vergrößerung des Fotos nicht schreiben")});
  EXPECT_EQ(env_->reporter.status_log().back(), Cp1252("Schreibe Vergößerungs Webseite: 1"));
}

TEST_F(PagesTest, OverviewPageThatCannotBeCreatedEndsTheRun) {
  AddPhotos(2);
  WriteFile(Path("kein_ordner"), "");
  env_->values.temp_folder = Path("kein_ordner/Albumora/");
  EXPECT_EQ(AssembleWebPages(*run_), PagesOutcome::kProgramMustEnd);
  EXPECT_EQ(env_->MessageTexts(),
            std::vector<std::string>{"Albumora: Ich kann die Seite nicht schreiben"});
}

}  // namespace
}  // namespace albumora
