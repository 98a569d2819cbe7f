// albumora-batch as a user runs it: in a folder with Einstellung.alb, or naming the folder or
// the settings file from elsewhere.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
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

// Runs the command in `folder` (the test's current folder when empty).
Result RunBatch(const std::string& arguments, const std::string& folder = "") {
  Result result;
  // The record of what a run made goes into the work folder, not into the user's cache.
  const std::string command = (folder.empty() ? "" : "cd '" + folder + "' && ") +
                              "XDG_CACHE_HOME='" + fs::current_path().string() + "/cache' '" +
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
  for (const char* documented : {"Einstellung.alb", "--quiet", "--jobs N", "--full", "--version"}) {
    EXPECT_NE(help.output.find(documented), std::string::npos) << documented;
  }
}

// Every file under `folder` with its bytes, by relative path.
std::map<std::string, std::string> FilesUnder(const fs::path& folder) {
  std::map<std::string, std::string> files;
  if (!fs::is_directory(folder)) return files;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
    const std::string name = fs::relative(entry.path(), folder).string();
    files[name] = entry.is_regular_file() ? ReadFile(entry.path()) : std::string("<folder>");
  }
  return files;
}

int LineCount(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

TEST_F(BatchTest, ManualPageHasEveryOptionOfTheHelp) {
  const std::string help = RunBatch("--help").output;
  const std::string manual =
      ReadFile(std::string(ALBUMORA_SOURCE_DIR) + "/packaging/man/albumora-batch.1");
  ASSERT_FALSE(manual.empty());
  int options = 0;
  for (std::size_t at = help.find("  --"); at != std::string::npos;
       at = help.find("  --", at + 1)) {
    const std::size_t end = help.find_first_of(" \n", at + 2);
    const std::string option = help.substr(at + 4, end - at - 4);  // without the dashes
    EXPECT_NE(manual.find("\\-\\-" + option), std::string::npos) << "--" << option;
    ++options;
  }
  EXPECT_EQ(options, 5);
}

TEST_F(BatchTest, FolderOrSettingsFileFromElsewhereWriteTheSameGallery) {
  WriteSettings("web/");
  ASSERT_EQ(RunBatch("").status, 0);
  const auto inside = FilesUnder(Path("web"));
  ASSERT_TRUE(inside.contains("fotos/reise/bild_1.htm"));
  const std::string elsewhere = Path("anderswo");
  fs::create_directories(elsewhere);

  for (const std::string& place : {Path(), Path("Einstellung.alb"), std::string("..")}) {
    SCOPED_TRACE(place);
    fs::remove_all(Path("web"));
    const Result result = RunBatch("'" + place + "'", elsewhere);
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_EQ(FilesUnder(Path("web")), inside);
    EXPECT_TRUE(FilesUnder(elsewhere).empty());
    EXPECT_NE(result.output.find("Galerie: " + Path("web/fotos/reise/")), std::string::npos)
        << result.output;
  }
}

TEST_F(BatchTest, SettingsFileOfAnotherNameIsTheOneKept) {
  WriteSettings("web/");
  fs::rename(Path("Einstellung.alb"), Path("urlaub.alb"));
  const Result result = RunBatch("--quiet urlaub.alb");
  EXPECT_EQ(result.status, 0) << result.output;
  EXPECT_TRUE(fs::is_regular_file(Path("web/fotos/reise/bild_1.htm")));
  EXPECT_FALSE(fs::exists(Path("Einstellung.alb")));
  EXPECT_NE(ReadFile(Path("urlaub.alb")).find("Reise/"), std::string::npos);
  // Quiet: the messages, no progress and no closing line.
  EXPECT_EQ(result.output.find("Bearbeite"), std::string::npos) << result.output;
  EXPECT_EQ(result.output.find("Galerie: "), std::string::npos) << result.output;
  EXPECT_NE(result.output.find("Achtung: "), std::string::npos) << result.output;
}

struct BadPlace {
  const char* name;
  void (*prepare)(const std::string& folder);  // folder: the test's, ending with '/'
  const char* argument;                        // relative to that folder
  const char* expected;                        // part of the one line on standard error
};

const BadPlace kBadPlaces[] = {
    {"FolderWithoutSettings", [](const std::string& f) { fs::create_directories(f + "leer"); },
     "leer", "gibt es keine Einstellungsdatei Einstellung.alb"},
    {"SettingsFileIsAFolder",
     [](const std::string& f) { fs::create_directories(f + "album/Einstellung.alb"); }, "album",
     "ist ein Verzeichnis"},
    {"NamedFileIsAFolder",
     [](const std::string& f) { fs::create_directories(f + "album/Einstellung.alb"); },
     "album/Einstellung.alb", "gibt es keine Einstellungsdatei"},
    {"SettingsFileIsAFifo",
     [](const std::string& f) {
       fs::create_directories(f + "album");
       mkfifo((f + "album/Einstellung.alb").c_str(), 0600);
     },
     "album", "keine gewöhnliche Datei"},
    {"Missing", [](const std::string&) {}, "fehlt/Einstellung.alb", "gibt es nicht"},
    {"TwoPlaces", [](const std::string&) {}, ". ..", "mehr als ein"},
    {"UnknownOption", [](const std::string&) {}, "--unbekannt", "unbekannte Option"},
};

class BadPlaceTest : public BatchTest, public ::testing::WithParamInterface<BadPlace> {};

TEST_P(BadPlaceTest, OneLineExitTwoAndNothingWritten) {
  const BadPlace& bad = GetParam();
  bad.prepare(Path());
  const auto before = FilesUnder(Path());
  const Result result = RunBatch(bad.argument, Path());
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(LineCount(result.output), 1) << result.output;
  EXPECT_EQ(result.output.rfind("albumora-batch: ", 0), 0u) << result.output;
  EXPECT_NE(result.output.find(bad.expected), std::string::npos) << result.output;
  EXPECT_EQ(FilesUnder(Path()), before);
}

INSTANTIATE_TEST_SUITE_P(Calls, BadPlaceTest, ::testing::ValuesIn(kBadPlaces),
                         [](const ::testing::TestParamInfo<BadPlace>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(BatchTest, UnreadableSettingsFileIsAWrongCall) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
  WriteSettings("web/");
  fs::permissions(Path("Einstellung.alb"), fs::perms::none);
  const Result result = RunBatch(Path());
  fs::permissions(Path("Einstellung.alb"), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(LineCount(result.output), 1) << result.output;
  EXPECT_NE(result.output.find("kann nicht gelesen werden"), std::string::npos) << result.output;
  EXPECT_FALSE(fs::exists(Path("web")));
}

}  // namespace
}  // namespace albumora
