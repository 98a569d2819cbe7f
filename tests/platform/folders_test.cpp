#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/files.h"
#include "support/scratch_folder.h"

namespace albumora {
namespace {

TEST(ListJpegFilesTest, RegularJpgFilesInCaseInsensitiveOrder) {
  ScratchFolder folder;
  for (const char* name : {"b.jpg", "A.JPG", "_c.Jpg", "a.jpg", "\xC3\xA4.jpg", "z.jpeg",
                           "notes.txt", "jpg", "x.jpg.bak"}) {
    folder.Write(name, "x");
  }
  ASSERT_TRUE(CreateFolder(folder / "folder.jpg"));
  std::filesystem::create_symlink(folder / "b.jpg", folder / "link.jpg");
  std::filesystem::create_symlink(folder / "gone", folder / "dangling.jpg");
  std::filesystem::create_symlink(folder / "folder.jpg", folder / "dirlink.jpg");

  const FolderListing listing = ListJpegFiles(folder.path());
  // Same key "A.JPG": the raw bytes decide. Letters sort before '_', ä after both.
  EXPECT_EQ(listing.names, (std::vector<std::string>{"A.JPG", "a.jpg", "b.jpg", "link.jpg",
                                                     "_c.Jpg", "\xE4.jpg"}));
  EXPECT_TRUE(listing.unrepresentable.empty());
}

TEST(ListJpegFilesTest, NamesWithoutAWindows1252FormAreReportedApart) {
  ScratchFolder folder;
  folder.Write("\xFF\xFE.jpg", "x");      // not UTF-8 at all
  folder.Write("\xE2\x86\x92.jpg", "x");  // an arrow: UTF-8, but not in the code page
  folder.Write("ok.jpg", "x");
  const FolderListing listing = ListJpegFiles(folder.path());
  EXPECT_EQ(listing.names, std::vector<std::string>{"ok.jpg"});
  EXPECT_EQ(listing.unrepresentable,
            (std::vector<std::string>{"\xE2\x86\x92.jpg", "\xFF\xFE.jpg"}));
}

TEST(ListJpegFilesTest, MissingFolderAndCurrentFolder) {
  ScratchFolder folder;
  EXPECT_TRUE(ListJpegFiles(folder / "missing/").names.empty());
  folder.Write("here.jpg", "x");
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(folder.path());
  const FolderListing listing = ListJpegFiles("");
  std::filesystem::current_path(previous);
  EXPECT_EQ(listing.names, std::vector<std::string>{"here.jpg"});
}

TEST(ClearFolderTest, DeletesFilesAndRemovesTheEmptyFolder) {
  ScratchFolder folder;
  ASSERT_TRUE(CreateFolder(folder / "temp"));
  folder.Write("temp/fotos_1.htm", "x");
  folder.Write("temp/fotos_2.htm", "x");
  folder.Write("temp/no extension", "x");
  ClearFolder(folder / "temp/");
  EXPECT_FALSE(std::filesystem::exists(folder / "temp"));
  ClearFolder(folder / "temp/");  // missing: nothing happens
  EXPECT_EQ(folder.EntryCount(), 0);
}

TEST(ClearFolderTest, KeepsSubFoldersAndDoesNotFollowALink) {
  ScratchFolder folder;
  ASSERT_TRUE(CreateFolder(folder / "temp"));
  ASSERT_TRUE(CreateFolder(folder / "temp/sub"));
  folder.Write("temp/sub/inner.htm", "x");
  folder.Write("temp/page.htm", "x");
  ASSERT_TRUE(CreateFolder(folder / "precious"));
  folder.Write("precious/photo.jpg", "x");
  std::filesystem::create_symlink(folder / "precious/photo.jpg", folder / "temp/link.jpg");
  std::filesystem::create_symlink(folder / "precious", folder / "linked");

  ClearFolder(folder / "temp");
  EXPECT_FALSE(std::filesystem::exists(folder / "temp/page.htm"));
  EXPECT_FALSE(std::filesystem::is_symlink(folder / "temp/link.jpg"));
  EXPECT_TRUE(std::filesystem::exists(folder / "temp/sub/inner.htm"));

  ClearFolder(folder / "linked");
  EXPECT_EQ(folder.Read("precious/photo.jpg"), "x");
}

// The temporary folder as the program spells it: with a trailing separator, and whatever
// "." and ".." the user's environment put in. None of these may reach the folder a link leads to.
class ClearFolderLinkTest : public testing::TestWithParam<const char*> {};

TEST_P(ClearFolderLinkTest, NeverEmptiesTheFolderALinkLeadsTo) {
  ScratchFolder folder;
  folder.Write("precious/photo.jpg", "x");
  ASSERT_TRUE(CreateFolder(folder / "real"));
  std::filesystem::create_symlink(folder / "precious", folder / "linked");
  std::filesystem::create_symlink("precious", folder / "relative");
  ClearFolder(folder / GetParam());
  EXPECT_EQ(folder.Read("precious/photo.jpg"), "x");
  EXPECT_TRUE(std::filesystem::is_symlink(folder / "linked"));
}

INSTANTIATE_TEST_SUITE_P(Spellings, ClearFolderLinkTest,
                         testing::Values("linked", "linked/", "linked//", "linked/.", "linked/./",
                                         "relative/", "real/../linked/", "./linked/",
                                         "linked/../linked/", "precious/.."));

TEST(ClearFolderTest, FollowsOwnLinksOnTheWayButNotSomeoneElses) {
  ScratchFolder folder;
  folder.Write("run/Albumora/fotos_1.htm", "x");
  std::filesystem::create_symlink(folder / "run", folder / "own");
  std::filesystem::create_symlink("own", folder / "chain");
  ClearFolder(folder / "chain/./Albumora/");
  EXPECT_FALSE(folder.Exists("run/Albumora"));

  if (geteuid() != 0) GTEST_SKIP() << "only root can make a link that belongs to another user";
  folder.Write("run/Albumora/fotos_1.htm", "x");
  std::filesystem::create_symlink(folder / "run", folder / "foreign");
  ASSERT_EQ(lchown((folder / "foreign").c_str(), 65534, 65534), 0);
  ClearFolder(folder / "foreign/Albumora/");
  EXPECT_EQ(folder.Read("run/Albumora/fotos_1.htm"), "x");
}

TEST(PrivateTempFolderInTest, CreatesAPrivateFolderAndReusesIt) {
  ScratchFolder folder;
  const std::string expected = folder.path() + "albumora-" + std::to_string(geteuid()) + "/";
  EXPECT_EQ(PrivateTempFolderIn(folder.path()), expected);
  EXPECT_EQ(ModeOf(expected), 0700u);
  EXPECT_EQ(PrivateTempFolderIn(folder.path() + "//"), expected);
  EXPECT_EQ(PrivateTempFolderIn(folder / "missing"), std::nullopt);
  EXPECT_EQ(PrivateTempFolderIn(""), std::nullopt);
}

TEST(PrivateTempFolderInTest, RefusesALinkAnOpenFolderAndAFile) {
  const std::string own = "albumora-" + std::to_string(geteuid());
  ScratchFolder linked;
  ASSERT_TRUE(CreateFolder(linked / "elsewhere"));
  ASSERT_EQ(chmod((linked / "elsewhere").c_str(), 0700), 0);
  std::filesystem::create_symlink(linked / "elsewhere", linked / own);
  EXPECT_EQ(PrivateTempFolderIn(linked.path()), std::nullopt);

  ScratchFolder open;
  ASSERT_EQ(mkdir((open / own).c_str(), 0700), 0);
  ASSERT_EQ(chmod((open / own).c_str(), 0750), 0);
  EXPECT_EQ(PrivateTempFolderIn(open.path()), std::nullopt);

  ScratchFolder file;
  file.Write(own, "");
  EXPECT_EQ(PrivateTempFolderIn(file.path()), std::nullopt);
}

TEST(PrivateTempFolderInTest, RefusesSomeoneElsesFolder) {
  if (geteuid() != 0) GTEST_SKIP() << "only root can give a folder away";
  ScratchFolder folder;
  const std::string own = folder / ("albumora-" + std::to_string(geteuid()));
  ASSERT_EQ(mkdir(own.c_str(), 0700), 0);
  ASSERT_EQ(chown(own.c_str(), 65534, 65534), 0);
  EXPECT_EQ(PrivateTempFolderIn(folder.path()), std::nullopt);
}

// Sets an environment variable for one test and restores it.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(UserTempFolderTest, PrefersAUsableRuntimeFolder) {
  ScratchFolder runtime;
  ScratchFolder tmp;
  ScopedEnv tmpdir("TMPDIR", tmp.path().c_str());
  {
    ScopedEnv xdg("XDG_RUNTIME_DIR", runtime.path().c_str());
    EXPECT_EQ(UserTempFolder(), runtime.path());
  }
  const std::string own = tmp.path() + "albumora-" + std::to_string(geteuid()) + "/";
  {
    ScopedEnv xdg("XDG_RUNTIME_DIR", "relative/run");
    EXPECT_EQ(UserTempFolder(), own);
  }
  {
    ScopedEnv xdg("XDG_RUNTIME_DIR", (runtime / "missing").c_str());
    EXPECT_EQ(UserTempFolder(), own);
  }
  ScopedEnv xdg("XDG_RUNTIME_DIR", nullptr);
  EXPECT_EQ(UserTempFolder(), own);
}

// A runtime folder others can enter, or one reached through a link, is as good as shared.
TEST(UserTempFolderTest, FallsBackFromASharedOrLinkedRuntimeFolder) {
  ScratchFolder runtime;
  ScratchFolder tmp;
  ScopedEnv tmpdir("TMPDIR", tmp.path().c_str());
  const std::string own = tmp.path() + "albumora-" + std::to_string(geteuid()) + "/";
  ASSERT_EQ(mkdir((runtime / "open").c_str(), 0700), 0);
  ASSERT_EQ(chmod((runtime / "open").c_str(), 0755), 0);
  ASSERT_EQ(mkdir((runtime / "private").c_str(), 0700), 0);
  std::filesystem::create_symlink(runtime / "private", runtime / "link");
  for (const std::string& value :
       {runtime / "open", runtime / "open/", runtime / "link", runtime / "link/",
        runtime / "link//", std::string("/tmp"), std::string("/")}) {
    ScopedEnv xdg("XDG_RUNTIME_DIR", value.c_str());
    EXPECT_EQ(UserTempFolder(), own) << value;
  }
  ScopedEnv xdg("XDG_RUNTIME_DIR", (runtime / "private/").c_str());
  EXPECT_EQ(UserTempFolder(), runtime / "private/");
}

TEST(TodayLocalTest, IsAPlausibleDate) {
  const LocalDate today = TodayLocal();
  EXPECT_GE(today.year, 2024);
  EXPECT_GE(today.month, 1);
  EXPECT_LE(today.month, 12);
  EXPECT_GE(today.day, 1);
  EXPECT_LE(today.day, 31);
}

}  // namespace
}  // namespace albumora
