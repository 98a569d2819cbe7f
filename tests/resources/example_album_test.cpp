// The bundled example album run through a whole generation, as scripts/run does it: the settings
// file, the default templates and the files that come with the program working together.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "gallery/generation_run.h"
#include "html_checks.h"
#include "platform/files.h"
#include "platform/text.h"
#include "scratch.h"
#include "settings/program_values.h"
#include "settings/settings.h"
#include "ui/control_ids.h"
#include "ui/memory_controls.h"

namespace albumora {
namespace {

namespace fs = std::filesystem;

constexpr int kPhotos = 8;
constexpr int kOverviewPages = 2;  // three cells per row, two rows per page

class ExampleAlbumRunTest : public testing::Test {
 protected:
  void SetUp() override {
    previous_folder_ = fs::current_path();
    const fs::path work = fs::path(scratch_.path());
    fs::copy(SourceDir() / "example", work, fs::copy_options::recursive);
    fs::create_directories(work / "vorlagen");
    fs::create_directories(work / "site");
    fs::create_directories(work / "temp");
    for (const char* name :
         {"standard._vl", "standard.gvl", "standard_download.gvl", "standard.css"}) {
      fs::copy_file(ProgramDir() / "vorlagen" / name, work / "vorlagen" / name);
    }
    for (const char* name : {"anfang.gif", "ende.gif", "zurück.gif", "vor.gif", "space.gif",
                             "leer.jpg", "download.php"}) {
      fs::copy_file(ProgramDir() / name, work / name);
    }
    fs::current_path(work);
  }
  void TearDown() override { fs::current_path(previous_folder_); }

  RunOutcome Run() {
    LoadSettings(controls_);
    values_ = MakeProgramValues(TodayLocal(), (fs::path(scratch_.path()) / "temp").string() + "/");
    values_.source_folder_name =
        DeriveSourceFolderName(controls_.GetControlText(ctl::kSourceFolder));
    return GenerationRun(controls_, reporter_, values_);
  }

  fs::path Gallery() const { return fs::path(scratch_.path()) / "site" / "fotos" / "urlaub"; }

  ScratchFolder scratch_;
  fs::path previous_folder_;
  MemoryControls controls_;
  MemoryProgressReporter reporter_{controls_};
  ProgramValues values_;
};

std::vector<std::string> PageNames() {
  std::vector<std::string> names;
  for (int n = 1; n <= kPhotos; ++n) names.push_back("bild_" + std::to_string(n) + ".htm");
  for (int p = 1; p <= kOverviewPages; ++p) names.push_back("fotos_" + std::to_string(p) + ".htm");
  return names;
}

TEST_F(ExampleAlbumRunTest, WritesTheWholeGalleryAndKeepsTheSettingsFileAsItIs) {
  ASSERT_EQ(Run(), RunOutcome::kFinished);
  for (const auto& message : controls_.messages()) {
    ADD_FAILURE() << message.title << ": " << message.text;
  }
  for (const std::string& name : PageNames()) EXPECT_TRUE(fs::is_regular_file(Gallery() / name));
  EXPECT_FALSE(fs::exists(Gallery() / ("bild_" + std::to_string(kPhotos + 1) + ".htm")));
  EXPECT_FALSE(fs::exists(Gallery() / "fotos_3.htm"));
  // The run saves the settings; a file in the program's own form comes back byte for byte.
  EXPECT_EQ(ReadFileBytes("Einstellung.alb"),
            ReadFileBytes(SourceDir() / "example" / "Einstellung.alb"));
}

TEST_F(ExampleAlbumRunTest, EveryLinkOfEveryPageLeadsToAFileOfTheGallery) {
  ASSERT_EQ(Run(), RunOutcome::kFinished);
  for (const std::string& name : PageNames()) {
    const std::string page = ReadFileBytes(Gallery() / name);
    for (std::string target : LinkTargets(page)) {
      if (target.empty() || target == "../../index.htm" || target.starts_with("https://")) {
        continue;  // the page itself, the table of contents, the product's site
      }
      if (target.starts_with("file:")) target.erase(0, 5);  // the graphic navigation bar
      if (target.starts_with("download.php?file=")) {
        EXPECT_TRUE(fs::is_regular_file(Gallery() / "download.php"));
        target = "original/" + target.substr(18);
      }
      EXPECT_TRUE(fs::is_regular_file(Gallery() / ToUtf8(target))) << name << ": " << target;
    }
  }
}

TEST_F(ExampleAlbumRunTest, PagesKeepTheTemplatesStructureAndOneTitle) {
  ASSERT_EQ(Run(), RunOutcome::kFinished);
  // The program's own navigation and footer blocks use older tags; the template's elements
  // must still nest on every page, also on the last page whose loop is cut short.
  const std::set<std::string> template_elements = {"header",     "main", "div",  "figure",
                                                   "figcaption", "h1",   "time", "span"};
  for (const std::string& name : PageNames()) {
    const std::string page = ReadFileBytes(Gallery() / name);
    EXPECT_EQ(NestingFault(page, template_elements), "") << name;
    EXPECT_LT(page.find("<meta charset=\"windows-1252\">"), 1024u) << name;
    std::size_t titles = 0;
    for (std::size_t at = page.find("<title>"); at != std::string::npos;
         at = page.find("<title>", at + 1)) {
      ++titles;
    }
    EXPECT_EQ(titles, 1u) << name;
    for (const std::string& line : SplitTextLines(page)) {
      for (const std::string& word : WordsInLine(line)) {
        EXPECT_EQ(word, "##AL_NewFoto") << name << " kept a placeholder: " << line;
      }
    }
  }
}

}  // namespace
}  // namespace albumora
