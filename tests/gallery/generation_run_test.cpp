// Whole runs over photos the tests make: layout, picture sizes, pages, links, messages, and what
// bad input does.
#include "gallery/generation_run.h"

#include <gtest/gtest.h>
#include <lcms2.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "gallery_test_support.h"
#include "platform/text.h"
#include "support/icc_profiles.h"
#include "ui/control_ids.h"
#include "ui/memory_controls.h"
#include "ui/progress_reporter.h"

namespace albumora {
namespace {

namespace fs = std::filesystem;
using testing::CrLfLines;
using testing::DisplayP3Profile;
using testing::EncodeTestBitmap;
using testing::EncodeTestJpeg;
using testing::JpegFrameSize;
using testing::ProfileBytes;
using testing::ReadFile;
using testing::RunEnvironment;
using testing::WorkFolderTest;
using testing::WriteFile;

const std::vector<std::string> kSmallTemplate = {
    "<html>",
    "<head>",
    "<title>##AL_FensterTitel</title>",
    "</head>",
    "<body><h1>##AL_Ueberschrift</h1>",
    "<table><!--##AL_Schleife_Anfang-->",
    "<tr>",
    "<!--##AL_NewFoto-->",
    "<td><a href=\"##AL_Link_Vorschau\"><img src=\"##AL_kl_Bild\"></a></td>",
    "<!--##AL_NewFoto-->",
    "<td><a href=\"##AL_Link_Vorschau\"><img src=\"##AL_kl_Bild\"></a></td>",
    "</tr>",
    "<!--##AL_Schleife_Ende-->",
    "</table>",
    "<p>##AL_Version$",
    "##AL_Datum</p></body>",
    "</html>"};
const std::vector<std::string> kBigTemplate = {"<html>",
                                               "<head>",
                                               "</head>",
                                               "<body>",
                                               "<img src=\"##AL_gr_Bild\"",
                                               "alt=\"##AL_Name\">",
                                               "<p>##AL_Pixel</p>",
                                               "<p>##AL_Size</p>",
                                               "<a href=\"##AL_Download\">Original</a>",
                                               "</body>",
                                               "</html>"};

struct TestPhoto {
  const char* file;
  PictureSize size;  // 0 x 0: not a picture
  PictureSize big;
  PictureSize small;
};

// Listed in the order the original platform lists them: upper-cased, ordinal.
const TestPhoto kPhotos[] = {
    {"bitmap.jpg", {64, 48}, {800, 600}, {150, 112}},
    {"grau.jpg", {300, 200}, {800, 533}, {150, 100}},
    {"GROSS.JPG", {400, 300}, {800, 600}, {150, 112}},
    {"hoch.jpg", {600, 900}, {533, 800}, {100, 150}},
    {"kaputt.jpg", {0, 0}, {}, {}},
    {"Landschaft.jpg", {900, 600}, {800, 533}, {150, 100}},
    {"quadrat.jpg", {500, 500}, {800, 800}, {150, 150}},
};

// What a browser asks for when it follows a link of a page: the path up to a '#', with "%XX"
// escapes undone; of a download link just the value of "file", where '&' ends it and '+' is a
// blank. The bytes are then read in the page's code page.
std::string ResolvedLink(std::string_view link) {
  link = link.substr(0, link.find('#'));
  std::string prefix;
  constexpr std::string_view kDownload = "download.php?file=";
  if (link.rfind(kDownload, 0) == 0) {
    prefix = "download.php?";
    link = link.substr(kDownload.size());
    link = link.substr(0, link.find('&'));
  }
  std::string bytes;
  for (std::size_t i = 0; i < link.size(); ++i) {
    if (link[i] == '%' && i + 2 < link.size() &&
        std::isxdigit(static_cast<unsigned char>(link[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(link[i + 2]))) {
      bytes += static_cast<char>(std::stoi(std::string(link.substr(i + 1, 2)), nullptr, 16));
      i += 2;
    } else {
      bytes += !prefix.empty() && link[i] == '+' ? ' ' : link[i];
    }
  }
  return prefix + ToUtf8(bytes);
}

class GenerationRunTest : public WorkFolderTest {
 protected:
  void SetUp() override {
    WorkFolderTest::SetUp();
    env_ = std::make_unique<RunEnvironment>();
    WriteFile(Path("Urlaub/bitmap.jpg"), EncodeTestBitmap(64, 48));
    WriteFile(Path("Urlaub/grau.jpg"), EncodeTestJpeg(300, 200, /*grayscale=*/true));
    WriteFile(Path("Urlaub/GROSS.JPG"), EncodeTestJpeg(400, 300));
    WriteFile(Path("Urlaub/hoch.jpg"), EncodeTestJpeg(600, 900));
    WriteFile(Path("Urlaub/kaputt.jpg"), "Das ist kein Foto.\n");
    WriteFile(Path("Urlaub/Landschaft.jpg"), EncodeTestJpeg(900, 600));
    WriteFile(Path("Urlaub/quadrat.jpg"), EncodeTestJpeg(500, 500));
    WriteFile(Path("Urlaub/nicht.jpeg"), EncodeTestJpeg(100, 100));
    WriteFile(Path("leer.jpg"), EncodeTestJpeg(120, 80));
    WriteFile(Path("download.php"), "<?php // Test\n");
    for (const char* name : {"anfang.gif", "ende.gif", "zurück.gif", "vor.gif", "space.gif"}) {
      WriteFile(Path(std::string("symbole/") + name), name);
    }
    WriteFile(Path("Stil/Galerie.CSS"), "body { margin: 0 }\n");
    WriteFile(Path("vorlage._vl"), CrLfLines(kSmallTemplate));
    WriteFile(Path("vorlage.gvl"), CrLfLines(kBigTemplate));

    env_->SetSourceFolder(Path("Urlaub/"));
    Set(ctl::kTargetFolder, Path("site/"));
    Set(ctl::kSmallTemplate, Path("vorlage._vl"));
    Set(ctl::kBigTemplate, Path("vorlage.gvl"));
    Set(ctl::kControlSymbolFolder, Path("symbole/"));
    Set(ctl::kCssFile, Path("Stil/Galerie.CSS"));
    Set(ctl::kWindowTitle, "Urlaub");
    Set(ctl::kHeading, "Fotos von Urlaub");
    Set(ctl::kRowsPerPage, "2");
    State(ctl::kBigPixels, 800);
    State(ctl::kSmallPixels, 150);
    State(ctl::kBigQuality, 8);
    State(ctl::kSmallQuality, 7);
    State(ctl::kOriginalDownload, 1);
    State(ctl::kWebalbum, 1);
    State(ctl::kMetaTags, 1);
    State(ctl::kExternalCss, 1);
  }

  void Set(int control, std::string_view text) { env_->controls.SetControlText(control, text); }
  void State(int control, int state) { env_->controls.SetControlState(control, state); }

  RunOutcome Run() { return GenerationRun(env_->controls, env_->reporter, env_->values); }

  fs::path Gallery() const { return fs::path(Path("site/fotos/urlaub")); }

  // Every href and src of every page must name a file of the gallery.
  void ExpectEveryLinkResolves(bool originals_offered) {
    const std::regex link(R"re((?:href|src)="([^"]*)")re");
    int links = 0;
    for (const auto& entry : fs::directory_iterator(Gallery())) {
      if (entry.path().extension() != ".htm") continue;
      const std::string page = ReadFile(entry.path());
      for (std::sregex_iterator it(page.begin(), page.end(), link), end; it != end; ++it) {
        const std::string target = ResolvedLink((*it)[1].str());
        ++links;
        if (target == "../../index.htm" || target.rfind("https://", 0) == 0) continue;
        if (target.rfind("download.php?", 0) == 0) {
          if (!originals_offered) continue;
          EXPECT_TRUE(fs::is_regular_file(Gallery() / "download.php")) << entry.path();
          EXPECT_TRUE(fs::is_regular_file(Gallery() / "original" / target.substr(13)))
              << entry.path() << ": " << target;
          continue;
        }
        EXPECT_TRUE(fs::is_regular_file(Gallery() / target)) << entry.path() << ": " << target;
      }
    }
    EXPECT_GT(links, 0);
  }

  std::unique_ptr<RunEnvironment> env_;
};

TEST_F(GenerationRunTest, WholeRunMakesTheGallery) {
  ASSERT_EQ(Run(), RunOutcome::kFinished);

  // Pictures, by their frame headers, and the byte copies of the originals.
  int photo = 0;
  for (const TestPhoto& source : kPhotos) {
    if (source.size.width == 0) continue;
    ++photo;
    const std::string name = LowerCase(source.file);
    SCOPED_TRACE(name);
    EXPECT_EQ(JpegFrameSize(Gallery() / "gr" / ("g_" + name)), source.big);
    EXPECT_EQ(JpegFrameSize(Gallery() / "kl" / ("k_" + name)), source.small);
    EXPECT_EQ(ReadFile(Gallery() / "original" / name),
              ReadFile(fs::path(Path("Urlaub")) / source.file));
    const std::string page = ReadFile(Gallery() / ("bild_" + std::to_string(photo) + ".htm"));
    const auto bytes = fs::file_size(fs::path(Path("Urlaub")) / source.file);
    EXPECT_NE(page.find("<p>" + std::to_string(source.size.width) + "*" +
                        std::to_string(source.size.height) + "</p>\r\n<p>" +
                        std::to_string(bytes / 1024) + " KB</p>"),
              std::string::npos);
    EXPECT_NE(page.find("alt=\"" + name + "\""), std::string::npos);
  }
  EXPECT_EQ(photo, 6);
  EXPECT_EQ(JpegFrameSize(Gallery() / "kl" / "leer.jpg"), (PictureSize{150, 100}));
  EXPECT_FALSE(fs::exists(Gallery() / "gr" / "g_kaputt.jpg"));
  EXPECT_FALSE(fs::exists(Gallery() / "gr" / "g_nicht.jpeg"));
  EXPECT_EQ(ReadFile(Gallery() / "download.php"), "<?php // Test\n");
  EXPECT_EQ(ReadFile(Gallery() / "galerie.css"), "body { margin: 0 }\n");
  EXPECT_EQ(ReadFile(Gallery() / "zurück.gif"), "zurück.gif");
  for (const char* page : {"bild_1.htm", "bild_6.htm", "fotos_1.htm", "fotos_2.htm"}) {
    EXPECT_TRUE(fs::is_regular_file(Gallery() / page)) << page;
  }
  EXPECT_FALSE(fs::exists(Gallery() / "bild_7.htm"));
  EXPECT_FALSE(fs::exists(Gallery() / "fotos_3.htm"));
  ExpectEveryLinkResolves(/*originals_offered=*/true);

  // The overview pages have every placeholder filled; the new-photo markers stay as comments.
  const std::string overview = ReadFile(Gallery() / "fotos_2.htm");
  EXPECT_EQ(std::regex_replace(overview, std::regex("<!--##AL_NewFoto-->"), "").find("##AL_"),
            std::string::npos);
  EXPECT_NE(overview.find("<p>Albumora 0.4.0.155\r\n15-03-2008</p>"), std::string::npos);
  EXPECT_NE(overview.find("<h1>Fotos von Urlaub</h1>"), std::string::npos);

  std::vector<std::string> expected_status;
  for (int n = 1; n <= 7; ++n)
    expected_status.push_back("Bearbeite Bild: " + std::to_string(n) + " / 7");
  for (const char* step : {"Schreibe Temp-Datei: ", "Schreibe Webseite: "}) {
    for (int p = 1; p <= 2; ++p) expected_status.push_back(step + std::to_string(p));
  }
  for (int n = 1; n <= 6; ++n) {
    expected_status.push_back(Cp1252("Schreibe Vergößerungs Webseite: ") + std::to_string(n));
  }
  expected_status.push_back(Cp1252("Lösche den Inhalt des Albumora Tempverzeichnis: "));
  expected_status.push_back("Fertig: ");
  EXPECT_EQ(env_->reporter.status_log(), expected_status);
  EXPECT_EQ(env_->controls.StatusField(0), "Anzahl der Fotos im Verzeichnis: 7");
  EXPECT_EQ(env_->reporter.paused_ms(), 1800);
  EXPECT_EQ(env_->controls.ControlMaximum(ctl::kProgressBar), 7);
  EXPECT_FALSE(env_->controls.IsControlDisabled(ctl::kCreateWebsite));

  ASSERT_EQ(env_->controls.messages().size(), 1u);
  EXPECT_EQ(env_->controls.messages()[0].title, "Achtung");
  EXPECT_NE(env_->controls.messages()[0].text.find("kaputt.jpg"), std::string::npos);
  EXPECT_TRUE(fs::is_regular_file(Path("Einstellung.alb")));
  EXPECT_TRUE(fs::is_regular_file(fs::path(env_->values.temp_folder) / "fotos_2.htm"));
}

// The JPEG with the profile in one APP2 segment right after the start marker.
std::string WithIccProfile(const std::string& jpeg, const std::string& icc) {
  const std::size_t length = 2 + 14 + icc.size();
  std::string segment = "\xFF\xE2";
  segment += static_cast<char>(length >> 8);
  segment += static_cast<char>(length & 0xFF);
  segment += std::string("ICC_PROFILE\0\1\1", 14) + icc;
  return jpeg.substr(0, 2) + segment + jpeg.substr(2);
}

TEST_F(GenerationRunTest, CopiesOfTaggedPhotosAreSrgb) {
  const std::string plain = EncodeTestJpeg(900, 600);
  WriteFile(Path("Urlaub/p3.jpg"), WithIccProfile(plain, DisplayP3Profile()));
  WriteFile(Path("Urlaub/srgb.jpg"), WithIccProfile(plain, ProfileBytes(cmsCreate_sRGBProfile())));
  WriteFile(Path("Urlaub/ungetaggt.jpg"), plain);
  ASSERT_EQ(Run(), RunOutcome::kFinished);
  for (const char* copy : {"gr/g_", "kl/k_"}) {
    const std::string untagged = ReadFile(Gallery() / (copy + std::string("ungetaggt.jpg")));
    EXPECT_EQ(ReadFile(Gallery() / (copy + std::string("srgb.jpg"))), untagged) << copy;
    EXPECT_NE(ReadFile(Gallery() / (copy + std::string("p3.jpg"))), untagged) << copy;
  }
}

TEST_F(GenerationRunTest, SecondSmallerRunLeavesTheHigherNumberedFiles) {
  ASSERT_EQ(Run(), RunOutcome::kFinished);
  const std::string old_page_6 = ReadFile(Gallery() / "bild_6.htm");
  for (const char* gone : {"hoch.jpg", "Landschaft.jpg", "quadrat.jpg", "kaputt.jpg"}) {
    fs::remove(fs::path(Path("Urlaub")) / gone);
  }
  State(ctl::kOriginalDownload, 0);
  ASSERT_EQ(Run(), RunOutcome::kFinished);
  EXPECT_TRUE(env_->controls.messages().size() == 1u);  // only the first run's message
  EXPECT_EQ(ReadFile(Gallery() / "bild_6.htm"), old_page_6);
  EXPECT_TRUE(fs::exists(Gallery() / "gr" / "g_quadrat.jpg"));
  EXPECT_TRUE(fs::exists(Gallery() / "fotos_2.htm"));
  // The new pages know only three photos.
  const std::string page = ReadFile(Gallery() / "bild_1.htm");
  EXPECT_NE(page.find(R"(<a href="bild_3.htm">Letztes Foto </a>)"), std::string::npos);
  EXPECT_EQ(ReadFile(Gallery() / "fotos_1.htm").find("fotos_2.htm"), std::string::npos);
}

TEST_F(GenerationRunTest, WithoutOriginalsNoCopiesAndNoScript) {
  State(ctl::kOriginalDownload, 0);
  ASSERT_EQ(Run(), RunOutcome::kFinished);
  EXPECT_FALSE(fs::exists(Gallery() / "original"));
  EXPECT_FALSE(fs::exists(Gallery() / "download.php"));
  ExpectEveryLinkResolves(/*originals_offered=*/false);
}

TEST_F(GenerationRunTest, MissingSourceFolderWarnsAndStillFinishes) {
  env_->SetSourceFolder(Path("Fehlt/"));
  ASSERT_EQ(Run(), RunOutcome::kNoPages);
  EXPECT_EQ(env_->MessageTexts(),
            std::vector<std::string>{"Achtung: In diesem Verzeichnis\n\n" + Path("Fehlt/") +
                                     "\n\nwurden keine *.jpg Dateien gefunden "});
  const fs::path gallery = Path("site/fotos/fehlt");
  EXPECT_EQ(JpegFrameSize(gallery / "kl" / "leer.jpg"), (PictureSize{150, 100}));
  EXPECT_TRUE(fs::is_directory(gallery / "gr"));
  EXPECT_FALSE(fs::exists(gallery / "fotos_1.htm"));
  EXPECT_TRUE(fs::exists(gallery / "download.php"));
  EXPECT_EQ(env_->reporter.status_log().back(), "Fertig: ");
  EXPECT_TRUE(fs::is_regular_file(Path("Einstellung.alb")));
}

TEST_F(GenerationRunTest, EmptySourceTextUsesTheCurrentFolder) {
  env_->SetSourceFolder("");
  ASSERT_EQ(Run(), RunOutcome::kFinished);
  // The current folder holds leer.jpg, which is then the one photo.
  EXPECT_TRUE(fs::is_regular_file(Path("site/fotos/bild_1.htm")));
  EXPECT_TRUE(fs::is_regular_file(Path("site/fotos/gr/g_leer.jpg")));
  EXPECT_TRUE(env_->controls.messages().empty());
}

TEST_F(GenerationRunTest, EmptyTargetTextPutsTheGalleryUnderTheCurrentFolder) {
  Set(ctl::kTargetFolder, "");
  ASSERT_EQ(Run(), RunOutcome::kFinished);
  EXPECT_TRUE(fs::is_regular_file(Path("fotos/urlaub/fotos_1.htm")));
}

// Without a user temporary folder the scratch folder is a relative "Albumora/": it is used, but
// whatever the user already keeps in a folder of that name in the current folder survives.
TEST_F(GenerationRunTest, RelativeTemporaryFolderIsNeverCleared) {
  WriteFile(Path("Albumora/brief.txt"), "mine");
  env_->values.temp_folder = "Albumora/";
  ASSERT_EQ(Run(), RunOutcome::kFinished);
  EXPECT_EQ(ReadFile(Path("Albumora/brief.txt")), "mine");
  EXPECT_TRUE(fs::is_regular_file(Gallery() / "fotos_1.htm"));
}

TEST_F(GenerationRunTest, MissingEmptyThumbnailIsReportedNotFatal) {
  fs::remove(Path("leer.jpg"));
  ASSERT_EQ(Run(), RunOutcome::kFinished);
  ASSERT_EQ(env_->controls.messages().size(), 1u);
  EXPECT_NE(env_->controls.messages()[0].text.find("leer.jpg"), std::string::npos);
  EXPECT_FALSE(fs::exists(Gallery() / "kl" / "leer.jpg"));
  EXPECT_TRUE(fs::exists(Gallery() / "fotos_2.htm"));
}

// Pictures that cannot be saved are no photos of the gallery: with the target a file, every
// photo is left out and no page is written.
TEST_F(GenerationRunTest, UnwritableTargetLeavesEveryPhotoOutAndWritesNoPage) {
  WriteFile(Path("datei"), "kein Ordner");
  Set(ctl::kTargetFolder, Path("datei/"));
  ASSERT_EQ(Run(), RunOutcome::kNoPages);
  const auto messages = env_->MessageTexts();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("weil ihre Bilder nicht gespeichert werden konnten:\nbitmap.jpg\n"),
            std::string::npos)
      << messages[0];
  EXPECT_NE(messages[0].find("konnten nicht gespeichert werden, zum Beispiel"), std::string::npos);
  EXPECT_NE(messages[0].find("kaputt.jpg"), std::string::npos) << messages[0];
  EXPECT_EQ(ReadFile(Path("datei")), "kein Ordner");
}

// A photo whose big or small picture, or whose original copy, cannot be saved would get a page
// that links to nothing: it is left out like an unreadable one, and the numbers close up.
TEST_F(GenerationRunTest, PhotoWhoseCopiesCannotBeSavedIsLeftOut) {
  for (const char* in_the_way : {"gr/g_hoch.jpg", "kl/k_landschaft.jpg", "original/quadrat.jpg"}) {
    fs::create_directories(Gallery() / in_the_way);
  }
  ASSERT_EQ(Run(), RunOutcome::kFinished);
  EXPECT_TRUE(fs::exists(Gallery() / "bild_3.htm"));
  EXPECT_FALSE(fs::exists(Gallery() / "bild_4.htm"));
  ExpectEveryLinkResolves(/*originals_offered=*/true);
  ASSERT_EQ(env_->controls.messages().size(), 1u);
  EXPECT_NE(env_->controls.messages()[0].text.find(
                "nicht gespeichert werden konnten:\nhoch.jpg\nLandschaft.jpg\nquadrat.jpg"),
            std::string::npos)
      << env_->controls.messages()[0].text;
}

// The copies put "g_" or "k_" in front of the name. A name the file system takes only without
// them is left out before any work, measured in the bytes of its UTF-8 form.
TEST_F(GenerationRunTest, NameTooLongForItsCopiesIsLeftOutUpFront) {
  const long limit = pathconf(Path().c_str(), _PC_NAME_MAX);
  if (limit <= 8 || limit > 1000) GTEST_SKIP() << "no usable name limit: " << limit;
  // Umlauts take two bytes in UTF-8 but one in Windows-1252.
  const auto name_of = [](std::size_t utf8_bytes) {
    std::string name((utf8_bytes - 4) % 2, 'a');
    while (name.size() < utf8_bytes - 4) name += "\xC3\xA4";
    return name + ".jpg";
  };
  const std::string fits = name_of(static_cast<std::size_t>(limit) - 2);
  const std::string too_long = name_of(static_cast<std::size_t>(limit) - 1);
  for (const std::string& name : {fits, too_long}) {
    WriteFile(fs::path(Path("Urlaub")) / name, EncodeTestJpeg(40, 30));
  }
  ASSERT_EQ(Run(), RunOutcome::kFinished);
  EXPECT_TRUE(fs::exists(Gallery() / "gr" / ("g_" + fits)));
  EXPECT_TRUE(fs::exists(Gallery() / "bild_7.htm"));
  EXPECT_FALSE(fs::exists(Gallery() / "bild_8.htm"));
  ASSERT_EQ(env_->controls.messages().size(), 1u);
  const std::string& text = env_->controls.messages()[0].text;
  EXPECT_NE(text.find(Cp1252("zu lang für das Dateisystem des Zielverzeichnisses ist. Bitte "
                             "kürzen Sie ihn:\n") +
                      Cp1252(too_long)),
            std::string::npos)
      << text;
  EXPECT_EQ(text.find("gespeichert"), std::string::npos) << text;
}

// '#' and '%' in a name would end or escape the links to its pictures, '&' and '+' the value
// of the download link.
TEST_F(GenerationRunTest, NamesWithLinkCharactersGetLinksThatReachTheirFiles) {
  for (const char* name : {"Bild #3.jpg", "100% Sonne.jpg", "a&b+c.jpg", "%41.jpg"}) {
    WriteFile(fs::path(Path("Urlaub")) / name, EncodeTestJpeg(40, 30));
  }
  ASSERT_EQ(Run(), RunOutcome::kFinished);
  EXPECT_TRUE(fs::exists(Gallery() / "bild_10.htm"));
  ExpectEveryLinkResolves(/*originals_offered=*/true);
}

// A source folder typed without a separator (a settings file written by hand or for the batch)
// is the same folder as the chosen one, and gets the same gallery.
TEST_F(GenerationRunTest, SourceFolderWithoutSeparatorGivesTheSameGallery) {
  env_->SetSourceFolder(Path("Urlaub"));
  ASSERT_EQ(Run(), RunOutcome::kFinished);
  EXPECT_TRUE(fs::is_regular_file(Gallery() / "bild_6.htm"));
  EXPECT_FALSE(fs::exists(Path("site/fotos/urlau")));
}

TEST_F(GenerationRunTest, LeftOutNamesAreNamedOnce) {
  WriteFile(Path("Urlaub/frage?.jpg"), EncodeTestJpeg(40, 30));
  WriteFile(Path("Urlaub/quadrat.JPG"), EncodeTestJpeg(40, 30));
  WriteFile(Path("Urlaub/\xc5\x81\xc3\xb3"
                 "dz.jpg"),
            EncodeTestJpeg(40, 30));
  ASSERT_EQ(Run(), RunOutcome::kFinished);
  ASSERT_EQ(env_->controls.messages().size(), 1u);
  const std::string text = env_->controls.messages()[0].text;
  for (const std::string& name : {std::string("frage?.jpg"), std::string("quadrat.jpg"),
                                  Cp1252("?ódz.jpg"), std::string("kaputt.jpg")}) {
    EXPECT_NE(text.find(name), std::string::npos) << name << " in " << text;
  }
  EXPECT_TRUE(fs::exists(Gallery() / "bild_6.htm"));
  EXPECT_FALSE(fs::exists(Gallery() / "bild_7.htm"));
}

// Every reporter call and message of a run, in order, with the arguments.
class RecordingReporter : public ProgressReporter {
 public:
  explicit RecordingReporter(MemoryControls& controls) {
    controls.set_message_callback([this](const MemoryControls::Message& message) {
      calls.push_back("Message " + message.title + ": " +
                      message.text.substr(0, message.text.find('\n')));
    });
  }

  void ShowPhotoCount(int count) override { calls.push_back("Count " + std::to_string(count)); }
  void ShowStatus(std::string_view text) override {
    // Whether the settings are saved yet tells the order of the last steps.
    calls.push_back("Status " + std::string(text) +
                    (fs::exists("Einstellung.alb") ? " (saved)" : ""));
  }
  void SetProgressMaximum(int maximum) override {
    calls.push_back("Maximum " + std::to_string(maximum));
  }
  void SetProgress(int position) override {
    calls.push_back("Progress " + std::to_string(position));
  }
  void KeepAlive(int pause_ms) override {
    calls.push_back("KeepAlive " + std::to_string(pause_ms));
  }
  void SetRunControls(bool running) override { calls.push_back(running ? "Lock" : "Unlock"); }
  void Pause(int pause_ms) override {
    calls.push_back("Pause " + std::to_string(pause_ms) +
                    (fs::exists("Einstellung.alb") ? " (saved)" : ""));
  }

  std::vector<std::string> calls;
};

TEST_F(GenerationRunTest, ReporterCallsOfAWholeRunInOrder) {
  for (const char* gone : {"bitmap.jpg", "grau.jpg", "GROSS.JPG", "hoch.jpg", "kaputt.jpg"}) {
    fs::remove(fs::path(Path("Urlaub")) / gone);
  }
  WriteFile(Path("vorlage._vl"), CrLfLines({"<!--##AL_Schleife_Anfang-->", "<!--##AL_NewFoto-->",
                                            "##AL_kl_Bild", "<!--##AL_Schleife_Ende-->"}));
  Set(ctl::kRowsPerPage, "1");
  RecordingReporter reporter(env_->controls);
  ASSERT_EQ(GenerationRun(env_->controls, reporter, env_->values), RunOutcome::kFinished);
  std::vector<std::string> expected = {"Count 2", "Lock", "Maximum 2"};
  for (int n = 1; n <= 2; ++n) {
    for (const std::string& call :
         {std::string("KeepAlive 1"), "Progress " + std::to_string(n),
          "Status Bearbeite Bild: " + std::to_string(n) + " / 2", std::string("KeepAlive 1")}) {
      expected.push_back(call);
    }
  }
  expected.push_back("Unlock");
  for (const std::string& page :
       {std::string("Schreibe Temp-Datei: "), std::string("Schreibe Webseite: "),
        Cp1252("Schreibe Vergößerungs Webseite: ")}) {
    for (int n = 1; n <= 2; ++n) {
      expected.push_back("Status " + page + std::to_string(n));
      expected.push_back("KeepAlive 100");
    }
  }
  for (const std::string& call :
       {Cp1252("Status Lösche den Inhalt des Albumora Tempverzeichnis: "),
        std::string("Pause 1800"), std::string("Status Fertig:  (saved)")}) {
    expected.push_back(call);
  }
  EXPECT_EQ(reporter.calls, expected);
}

TEST_F(GenerationRunTest, ReporterCallsOfARunWithoutPhotos) {
  env_->SetSourceFolder(Path("Leer/"));
  fs::create_directories(Path("Leer"));
  Set(ctl::kBigTemplate, Path("fehlt.gvl"));
  RecordingReporter reporter(env_->controls);
  ASSERT_EQ(GenerationRun(env_->controls, reporter, env_->values), RunOutcome::kNoPages);
  EXPECT_EQ(reporter.calls,
            (std::vector<std::string>{
                "Count 0", "Lock", "Maximum 0", "Message Achtung: In diesem Verzeichnis", "Unlock",
                Cp1252("Message Achtung: Kann Vorlagen Datei nicht öffnen!"),
                Cp1252("Status Lösche den Inhalt des Albumora Tempverzeichnis: "), "Pause 1800",
                "Status Fertig:  (saved)"}));
  EXPECT_TRUE(fs::is_regular_file(Path("site/fotos/leer/kl/leer.jpg")));
  EXPECT_TRUE(fs::is_regular_file(Path("site/fotos/leer/download.php")));
  EXPECT_FALSE(fs::exists(Path("site/fotos/leer/galerie.css")));
}

struct BadTemplate {
  const char* name;
  std::string bytes;
  std::vector<std::string> messages;  // substrings, in order
  bool overview_pages;
};

using namespace std::string_literals;
const std::string kNulTemplate =
    "<head>\0<title>##AL_FensterTitel</title>\0\0<!--##AL_Schleife_Anfang-->\0"
    "<!--##AL_NewFoto-->\0##AL_kl_Bild\0<!--##AL_Schleife_Ende-->\0</body>"s;

std::string MegabyteLines() {
  return "<head>\r\n" + std::string(2 << 20, 'x') + "##AL_FensterTitel\r\n" +
         "<!--##AL_Schleife_Anfang-->\r\n<!--##AL_NewFoto-->\r\n" + std::string(1 << 20, 'y') +
         "##AL_kl_Bild\r\n<!--##AL_Schleife_Ende-->\r\n</body>\r\n";
}

class BadTemplateTest : public GenerationRunTest,
                        public ::testing::WithParamInterface<BadTemplate> {};

TEST_P(BadTemplateTest, RunFinishesWithTheMessageAndLosesNothing) {
  // Two photos are enough; the others would only cost time.
  for (const char* gone : {"bitmap.jpg", "grau.jpg", "GROSS.JPG", "hoch.jpg", "kaputt.jpg"}) {
    fs::remove(fs::path(Path("Urlaub")) / gone);
  }
  if (std::string_view(GetParam().name) == "missing") {
    Set(ctl::kSmallTemplate, Path("fehlt._vl"));
  } else {
    WriteFile(Path("vorlage._vl"), GetParam().bytes);
  }
  ASSERT_EQ(Run(), GetParam().overview_pages ? RunOutcome::kFinished : RunOutcome::kNoPages);
  const auto messages = env_->MessageTexts();
  ASSERT_EQ(messages.size(), GetParam().messages.size());
  for (std::size_t i = 0; i < messages.size(); ++i) {
    EXPECT_NE(messages[i].find(GetParam().messages[i]), std::string::npos) << messages[i];
  }
  EXPECT_EQ(fs::exists(Gallery() / "fotos_1.htm"), GetParam().overview_pages);
  EXPECT_EQ(fs::exists(Gallery() / "bild_2.htm"), GetParam().overview_pages);
  EXPECT_TRUE(fs::exists(Gallery() / "gr" / "g_quadrat.jpg"));
  EXPECT_EQ(env_->reporter.status_log().back(), "Fertig: ");
  EXPECT_TRUE(fs::is_regular_file(Path("Einstellung.alb")));
}

INSTANTIATE_TEST_SUITE_P(
    Templates, BadTemplateTest,
    ::testing::Values(BadTemplate{"missing",
                                  "",
                                  {Cp1252("Achtung: Vorlagen Datei konnte nicht geöffnet werden!")},
                                  false},
                      BadTemplate{"no_markers",
                                  "<html>\r\n<img src=\"##AL_kl_Bild\">\r\n</html>\r\n",
                                  {"##AL_kl_Bild"},
                                  false},
                      BadTemplate{"start_marker_only",
                                  "<html>\r\n<!--##AL_Schleife_Anfang-->\r\n<!--##AL_NewFoto-->\r\n"
                                  "<img src=\"##AL_kl_Bild\">\r\n</body></html>\r\n",
                                  {},
                                  true},
                      BadTemplate{"nul_bytes", kNulTemplate, {}, true},
                      BadTemplate{"megabyte_lines", MegabyteLines(), {}, true},
                      BadTemplate{"empty_file", "", {"##AL_kl_Bild"}, false}),
    [](const ::testing::TestParamInfo<BadTemplate>& info) { return info.param.name; });

TEST_F(GenerationRunTest, NulBytesEndLines) {
  WriteFile(Path("vorlage._vl"), kNulTemplate);
  ASSERT_EQ(Run(), RunOutcome::kFinished);
  const auto lines = SplitTextLines(ReadFile(Gallery() / "fotos_1.htm"));
  EXPECT_NE(std::find(lines.begin(), lines.end(), "<title>Urlaub</title>"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "kl/k_bitmap.jpg"), lines.end());
  EXPECT_EQ(ReadFile(Gallery() / "fotos_1.htm").find('\0'), std::string::npos);
}

TEST_F(GenerationRunTest, MegabyteLinesArriveWhole) {
  WriteFile(Path("vorlage._vl"), MegabyteLines());
  ASSERT_EQ(Run(), RunOutcome::kFinished);
  const auto lines = SplitTextLines(ReadFile(Gallery() / "fotos_1.htm"));
  EXPECT_NE(std::find(lines.begin(), lines.end(), std::string(2 << 20, 'x') + "Urlaub"),
            lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), std::string(1 << 20, 'y') + "kl/k_bitmap.jpg"),
            lines.end());
}

}  // namespace
}  // namespace albumora
