// albumora-batch as a user runs it: in a folder with Einstellung.alb.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "gallery_test_support.h"
#include "settings/settings.h"
#include "ui/control_ids.h"

namespace albumora {
namespace {

namespace fs = std::filesystem;
using testing::CrLfLines;
using testing::EncodeTestJpeg;
using testing::ReadFile;
using testing::RunEnvironment;
using testing::WorkFolderTest;
using testing::WriteFile;

struct Result {
  int status = -1;
  std::string output;  // standard output and standard error, in the order written
};

Result RunBatch(const std::string& arguments) {
  Result result;
  // The record of what a run made goes into the work folder, not into the user's cache.
  const std::string command = std::string("XDG_CACHE_HOME=\"$PWD/cache\" '") +
                              ALBUMORA_PROGRAM_DIR + "/albumora-batch' " + arguments + " 2>&1";
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
    result.output.append(buffer, n);
  }
  const int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

class BatchTest : public WorkFolderTest {
 protected:
  void WriteSettings(std::string_view target, std::string_view rows = "3") {
    RunEnvironment env;
    env.controls.SetControlText(ctl::kSourceFolder, "Reise/");
    env.controls.SetControlText(ctl::kTargetFolder, target);
    env.controls.SetControlText(ctl::kSmallTemplate, "vorlage._vl");
    env.controls.SetControlText(ctl::kBigTemplate, "vorlage.gvl");
    env.controls.SetControlText(ctl::kRowsPerPage, rows);
    SaveSettings(env.controls, "Einstellung.alb");
    WriteFile(Path("Reise/Eins.jpg"), EncodeTestJpeg(200, 100));
    WriteFile(Path("Reise/zwei.jpg"), "kaputt");
    WriteFile(Path("vorlage._vl"), CrLfLines({"<!--##AL_Schleife_Anfang-->", "<!--##AL_NewFoto-->",
                                              "##AL_kl_Bild", "<!--##AL_Schleife_Ende-->"}));
    WriteFile(Path("vorlage.gvl"), CrLfLines({"<body>##AL_gr_Bild</body>"}));
  }
};

TEST_F(BatchTest, RunsTheGalleryOfTheSettingsFile) {
  WriteSettings("web/");
  const Result result = RunBatch("");
  EXPECT_EQ(result.status, 0) << result.output;
  EXPECT_TRUE(fs::is_regular_file(Path("web/fotos/reise/bild_1.htm")));
  EXPECT_TRUE(fs::is_regular_file(Path("web/fotos/reise/fotos_1.htm")));
  // Messages arrive on the terminal in UTF-8, as "TITLE: TEXT".
  EXPECT_NE(
      result.output.find("Achtung: Diese Dateien wurden ausgelassen, weil sie nicht als Foto"),
      std::string::npos)
      << result.output;
  EXPECT_NE(result.output.find("zwei.jpg"), std::string::npos);
  EXPECT_NE(result.output.find("Fertig: "), std::string::npos);
  EXPECT_NE(result.output.find("Galerie: " + Path("web/fotos/reise/")), std::string::npos)
      << result.output;
  // The settings are saved as a run saves them.
  EXPECT_NE(ReadFile(Path("Einstellung.alb")).find("Reise/"), std::string::npos);
}

TEST_F(BatchTest, PageThatCannotBeWrittenGivesStatusOne) {
  WriteSettings("blockiert/");
  fs::create_directories(Path("blockiert/fotos/reise/fotos_1.htm"));  // a folder in the way
  const std::string settings = ReadFile(Path("Einstellung.alb"));
  const Result result = RunBatch("");
  EXPECT_EQ(result.status, 1) << result.output;
  EXPECT_NE(result.output.find("Albumora: Ich kann die Seite nicht schreiben"), std::string::npos)
      << result.output;
  EXPECT_EQ(ReadFile(Path("Einstellung.alb")), settings);
}

// A run that stopped before its pages made no gallery, whatever the reason.
struct NoPagesCase {
  const char* name;
  const char* rows;
  const char* small_template;  // nullptr: the template file is missing
  bool photos;
};

class BatchNoPagesTest : public BatchTest, public ::testing::WithParamInterface<NoPagesCase> {};

TEST_P(BatchNoPagesTest, GivesStatusOneAndNoGalleryLine) {
  const NoPagesCase& c = GetParam();
  WriteSettings("web/", c.rows);
  if (c.small_template == nullptr) {
    fs::remove(Path("vorlage._vl"));
  } else {
    WriteFile(Path("vorlage._vl"), c.small_template);
  }
  if (!c.photos) fs::remove_all(Path("Reise"));
  const Result result = RunBatch("");
  EXPECT_EQ(result.status, 1) << result.output;
  EXPECT_EQ(result.output.find("Galerie:"), std::string::npos) << result.output;
  EXPECT_FALSE(fs::exists(Path("web/fotos/reise/fotos_1.htm")));
  EXPECT_FALSE(fs::exists(Path("web/fotos/reise/bild_1.htm")));
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, BatchNoPagesTest,
    ::testing::Values(NoPagesCase{"NoLoopBlock", "3", "<html>##AL_kl_Bild</html>\r\n", true},
                      NoPagesCase{"NoRows", "0",
                                  "<!--##AL_Schleife_Anfang-->\r\n##AL_kl_Bild\r\n"
                                  "<!--##AL_Schleife_Ende-->\r\n",
                                  true},
                      NoPagesCase{"TemplateMissing", "3", nullptr, true},
                      NoPagesCase{"NoPhotos", "3",
                                  "<!--##AL_Schleife_Anfang-->\r\n##AL_kl_Bild\r\n"
                                  "<!--##AL_Schleife_Ende-->\r\n",
                                  false}),
    [](const ::testing::TestParamInfo<NoPagesCase>& info) { return info.param.name; });

// A terminal has room for every name, and the user needs all of them to put them right.
TEST_F(BatchTest, EveryLeftOutNameIsPrinted) {
  WriteSettings("web/");
  std::vector<std::string> names;
  for (int i = 1; i <= 45; ++i) {
    names.push_back("kaputt" + std::to_string(100 + i) + ".jpg");
    WriteFile(Path("Reise/" + names.back()), "kein Foto");
  }
  const Result result = RunBatch("");
  EXPECT_EQ(result.status, 0) << result.output;
  for (const std::string& name : names) {
    EXPECT_NE(result.output.find("\n" + name), std::string::npos) << name;
  }
  EXPECT_EQ(result.output.find("weitere"), std::string::npos) << result.output;
}

TEST_F(BatchTest, SecondRunKeepsCurrentCopiesUnlessFull) {
  WriteSettings("web/");
  const fs::path copy = Path("web/fotos/reise/gr/g_eins.jpg");
  const Result first = RunBatch("--jobs 2");
  ASSERT_EQ(first.status, 0) << first.output;
  EXPECT_EQ(std::distance(fs::directory_iterator(Path("cache/albumora")), fs::directory_iterator()),
            1);
  const auto made = fs::last_write_time(copy);
  const Result second = RunBatch("");
  EXPECT_EQ(second.output, first.output);
  EXPECT_EQ(fs::last_write_time(copy), made);
  const Result full = RunBatch("--full --jobs=1");
  EXPECT_EQ(full.output, first.output);
  EXPECT_NE(fs::last_write_time(copy), made);
}

TEST_F(BatchTest, UsageErrorsAndInformation) {
  EXPECT_EQ(RunBatch("--unbekannt").status, 2);
  EXPECT_EQ(RunBatch("--jobs 0").status, 2);
  EXPECT_EQ(RunBatch("--jobs").status, 2);
  EXPECT_EQ(RunBatch("").status, 2);  // no settings file here
  const Result version = RunBatch("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.output, "Albumora 0.4.0.155\n");
  const Result help = RunBatch("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.output.find("Einstellung.alb"), std::string::npos);
}

}  // namespace
}  // namespace albumora
