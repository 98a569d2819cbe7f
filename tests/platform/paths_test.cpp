#include "platform/paths.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/files.h"
#include "support/scratch_folder.h"

namespace albumora {
namespace {

struct PathCase {
  const char* name;
  const char* path;
  const char* folder;
  const char* file;
};

class PathPartsTest : public testing::TestWithParam<PathCase> {};

TEST_P(PathPartsTest, SplitsAtTheLastSlashOfEitherKind) {
  EXPECT_EQ(FolderPart(GetParam().path), GetParam().folder);
  EXPECT_EQ(FileNamePart(GetParam().path), GetParam().file);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PathPartsTest,
    testing::Values(PathCase{"Slash", "/home/u/style.css", "/home/u/", "style.css"},
                    PathCase{"Backslash", "C:\\Web\\Style.CSS", "C:\\Web\\", "Style.CSS"},
                    PathCase{"MixedLastIsBackslash", "a/b\\c.css", "a/b\\", "c.css"},
                    PathCase{"MixedLastIsSlash", "a\\b/c.css", "a\\b/", "c.css"},
                    PathCase{"NoSeparator", "c.css", "", "c.css"},
                    PathCase{"TrailingSeparator", "fotos/", "fotos/", ""},
                    PathCase{"Empty", "", "", ""}),
    [](const testing::TestParamInfo<PathCase>& info) { return info.param.name; });

TEST(WithTrailingSeparatorTest, AddsOnlyWhenMissing) {
  EXPECT_EQ(WithTrailingSeparator("/a/b"), std::string("/a/b") + kPathSeparator);
  EXPECT_EQ(WithTrailingSeparator("/a/b/"), "/a/b/");
  EXPECT_EQ(WithTrailingSeparator("C:\\b\\"), "C:\\b\\");
  EXPECT_EQ(WithTrailingSeparator(""), "");
}

// Changes the current folder for one test and puts it back.
class InFolder {
 public:
  explicit InFolder(const std::string& folder) : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~InFolder() { std::filesystem::current_path(previous_); }

 private:
  std::filesystem::path previous_;
};

TEST(CurrentFolderTest, EndsWithTheSeparator) {
  ScratchFolder folder;
  InFolder in(folder.path());
  const std::string current = CurrentFolder();
  ASSERT_FALSE(current.empty());
  EXPECT_EQ(current.back(), '/');
  EXPECT_TRUE(std::filesystem::equivalent(current, folder.path()));
}

TEST(ProgramFileTest, CurrentFolderFirstThenBesideTheExecutable) {
  constexpr const char* kName = "albumora-program-file-test.txt";
  ScratchFolder folder;
  InFolder in(folder.path());
  char exe[4096] = {};
  ASSERT_GT(readlink("/proc/self/exe", exe, sizeof exe - 1), 0);
  const std::filesystem::path beside_exe = std::filesystem::path(exe).parent_path() / kName;
  if (!std::ofstream(beside_exe).good()) GTEST_SKIP() << "cannot write beside the executable";
  struct Remover {
    std::filesystem::path path;
    ~Remover() { std::filesystem::remove(path); }
  } remover{beside_exe};

  EXPECT_EQ(ProgramFile(kName), beside_exe.string());
  folder.Write(kName, "y");
  EXPECT_EQ(ProgramFile(kName), CurrentFolder() + kName);
  EXPECT_EQ(ProgramFile("no-such-file.gif"), "no-such-file.gif");
  EXPECT_EQ(ProgramFile("/etc/passwd"), "/etc/passwd");
}

}  // namespace
}  // namespace albumora
