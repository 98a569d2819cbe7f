#include "platform/files.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "platform/text.h"
#include "support/scratch_folder.h"

namespace albumora {
namespace {

using namespace std::string_literals;

TEST(ReadWholeFileTest, ReadsRegularFilesAndLinksToThem) {
  ScratchFolder folder;
  const std::string content = "a\0b\r\n\xFF"s;
  folder.Write("data.bin", content);
  std::filesystem::create_symlink(folder / "data.bin", folder / "link.bin");
  std::string data = "stale";
  ASSERT_TRUE(ReadWholeFile(folder / "data.bin", &data));
  EXPECT_EQ(data, content);
  ASSERT_TRUE(ReadWholeFile(folder / "link.bin", &data));
  EXPECT_EQ(data, content);
  folder.Write("empty", "");
  ASSERT_TRUE(ReadWholeFile(folder / "empty", &data));
  EXPECT_EQ(data, "");
}

TEST(ReadWholeFileTest, RefusesWhatIsNotARegularFileOrTooLarge) {
  ScratchFolder folder;
  std::string data = "stale";
  EXPECT_FALSE(ReadWholeFile(folder / "missing", &data));
  EXPECT_EQ(data, "");
  EXPECT_FALSE(ReadWholeFile(folder.path(), &data));
  // A FIFO without a writer would block a plain open for ever.
  ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
  EXPECT_FALSE(ReadWholeFile(folder / "fifo", &data));
  folder.Write("ten", "0123456789");
  EXPECT_FALSE(ReadWholeFile(folder / "ten", &data, 9));
  EXPECT_TRUE(ReadWholeFile(folder / "ten", &data, 10));
  EXPECT_FALSE(ReadWholeFile("/dev/zero", &data));
}

TEST(ReadTextLinesTest, SplitsTheFile) {
  ScratchFolder folder;
  folder.Write("settings.alb", "[CSS]\r\n#CSS_Extern_CheckBox = 1\rlast");
  std::vector<std::string> lines = {"stale"};
  ASSERT_TRUE(ReadTextLines(folder / "settings.alb", &lines));
  EXPECT_EQ(lines, (std::vector<std::string>{"[CSS]", "#CSS_Extern_CheckBox = 1", "last"}));
  EXPECT_FALSE(ReadTextLines(folder / "missing.alb", &lines));
  EXPECT_TRUE(lines.empty());
}

TEST(NativePathTest, Windows1252NamesBecomeUtf8OnDisk) {
  ScratchFolder folder;
  const std::string name = folder.path() +
                           "zur\xFC"
                           "ck.gif";
  EXPECT_EQ(NativePath(name), folder.path() + "zurück.gif");
  ASSERT_TRUE(ReplaceFileAtomically(name, "gif"));
  EXPECT_EQ(folder.Read("zurück.gif"), "gif");
  EXPECT_TRUE(IsRegularFile(name));
  EXPECT_EQ(FileSize(name), 3u);
  EXPECT_EQ(FileSize(folder.path()), std::nullopt);
  EXPECT_TRUE(IsFolder(folder.path()));
  EXPECT_FALSE(IsFolder(name));
}

TEST(ReplaceFileAtomicallyTest, CreatesAndReplacesLeavingNoTemporaryFile) {
  ScratchFolder folder;
  ASSERT_TRUE(ReplaceFileAtomically(folder / "Einstellung.alb", "first, a longer text\r\n"));
  EXPECT_EQ(folder.Read("Einstellung.alb"), "first, a longer text\r\n");
  ASSERT_TRUE(ReplaceFileAtomically(folder / "Einstellung.alb", "second\r\n"));
  EXPECT_EQ(folder.Read("Einstellung.alb"), "second\r\n");
  ASSERT_TRUE(ReplaceFileAtomically(folder / "Einstellung.alb", ""));
  EXPECT_EQ(folder.Read("Einstellung.alb"), "");
  EXPECT_EQ(folder.EntryCount(), 1);
}

TEST(ReplaceFileAtomicallyTest, KeepsPermissionBitsAndLinks) {
  ScratchFolder folder;
  folder.Write("real.alb", "old");
  ASSERT_EQ(chmod((folder / "real.alb").c_str(), 0640), 0);
  std::filesystem::create_symlink(folder / "real.alb", folder / "link.alb");
  ASSERT_TRUE(ReplaceFileAtomically(folder / "link.alb", "new"));
  EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.alb"));
  EXPECT_EQ(folder.Read("real.alb"), "new");
  EXPECT_EQ(ModeOf(folder / "real.alb"), 0640u);
  EXPECT_EQ(folder.EntryCount(), 2);
}

TEST(ReplaceFileAtomicallyTest, LeavesAReadOnlyFileAsItWas) {
  ScratchFolder folder;
  folder.Write("Einstellung.alb", "kept");
  ASSERT_EQ(chmod((folder / "Einstellung.alb").c_str(), 0444), 0);
  EXPECT_FALSE(ReplaceFileAtomically(folder / "Einstellung.alb", "lost"));
  EXPECT_EQ(folder.Read("Einstellung.alb"), "kept");
  EXPECT_EQ(ModeOf(folder / "Einstellung.alb"), 0444u);
  EXPECT_EQ(folder.EntryCount(), 1);
}

TEST(ReplaceFileAtomicallyTest, FailsCleanlyWhereNothingCanBeWritten) {
  ScratchFolder folder;
  EXPECT_FALSE(ReplaceFileAtomically(folder / "missing/x.alb", "data"));
  ASSERT_TRUE(CreateFolder(folder / "sub"));
  EXPECT_FALSE(ReplaceFileAtomically(folder / "sub", "data"));  // a folder is not replaced
  EXPECT_TRUE(IsFolder(folder / "sub"));
  EXPECT_EQ(folder.EntryCount(), 1);
}

TEST(ReplaceFileAtomicallyTest, FailsInAFolderWeMayNotWrite) {
  if (geteuid() == 0) GTEST_SKIP() << "root may write into any folder";
  ScratchFolder folder;
  ASSERT_TRUE(CreateFolder(folder / "locked"));
  ASSERT_EQ(chmod((folder / "locked").c_str(), 0555), 0);
  EXPECT_FALSE(ReplaceFileAtomically(folder / "locked/x.alb", "data"));
  EXPECT_FALSE(IsRegularFile(folder / "locked/x.alb"));
}

// Runs `action` as a user the permission bits apply to. Root passes every check, so as root it
// runs in a child process that has given up its rights first.
bool AsUnprivilegedUser(const std::function<bool()>& action) {
  if (geteuid() != 0) return action();
  const pid_t child = fork();
  if (child == 0) {
    const bool dropped = setgroups(0, nullptr) == 0 && setgid(65534) == 0 && setuid(65534) == 0;
    _exit(dropped && action() ? 0 : 1);
  }
  int status = 0;
  return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

TEST(ReplaceFileAtomicallyTest, OverwritesInPlaceInAFolderThatRefusesNewFiles) {
  ScratchFolder folder;
  ASSERT_EQ(chmod(folder.path().c_str(), 0755), 0);
  folder.Write("locked/Einstellung.alb", "old, and longer than the new text\r\n");
  folder.Write("locked/fest.alb", "kept");
  ASSERT_EQ(chmod((folder / "locked/Einstellung.alb").c_str(), 0666), 0);
  ASSERT_EQ(chmod((folder / "locked/fest.alb").c_str(), 0444), 0);
  ASSERT_EQ(chmod((folder / "locked").c_str(), 0555), 0);
  const auto save = [&folder](const char* name) {
    return AsUnprivilegedUser([&] { return ReplaceFileAtomically(folder / name, "new\r\n"); });
  };
  EXPECT_TRUE(save("locked/Einstellung.alb"));
  EXPECT_FALSE(save("locked/fest.alb"));  // the file refuses as well
  EXPECT_FALSE(save("locked/neu.alb"));   // nothing to overwrite
  ASSERT_EQ(chmod((folder / "locked").c_str(), 0755), 0);
  EXPECT_EQ(folder.Read("locked/Einstellung.alb"), "new\r\n");
  EXPECT_EQ(ModeOf(folder / "locked/Einstellung.alb"), 0666u);
  EXPECT_EQ(folder.Read("locked/fest.alb"), "kept");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder / "locked"), {}), 2);
}

TEST(CopyFileReplacingTest, CopiesBytesAndReplacesALongerTarget) {
  ScratchFolder folder;
  std::string content;
  for (int i = 0; i < 200000; ++i) content.push_back(static_cast<char>(i * 7));
  folder.Write("photo.jpg", content);
  folder.Write("copy.jpg", std::string(300000, 'z'));
  ASSERT_TRUE(CopyFileReplacing(folder / "photo.jpg", folder / "copy.jpg"));
  EXPECT_EQ(folder.Read("copy.jpg"), content);
  ASSERT_TRUE(CopyFileReplacing(folder / "photo.jpg", folder / "new.jpg"));
  EXPECT_EQ(folder.Read("new.jpg"), content);
}

TEST(CopyFileReplacingTest, CopyOntoItselfKeepsTheFile) {
  ScratchFolder folder;
  folder.Write("photo.jpg", "precious");
  std::filesystem::create_symlink(folder / "photo.jpg", folder / "alias.jpg");
  std::filesystem::create_hard_link(folder / "photo.jpg", folder / "hard.jpg");
  EXPECT_TRUE(CopyFileReplacing(folder / "photo.jpg", folder / "photo.jpg"));
  EXPECT_TRUE(CopyFileReplacing(folder / "photo.jpg", folder / "alias.jpg"));
  EXPECT_TRUE(CopyFileReplacing(folder / "hard.jpg", folder / "photo.jpg"));
  EXPECT_EQ(folder.Read("photo.jpg"), "precious");
}

TEST(CopyFileReplacingTest, RefusesMissingAndIrregularSources) {
  ScratchFolder folder;
  EXPECT_FALSE(CopyFileReplacing(folder / "missing.jpg", folder / "copy.jpg"));
  EXPECT_FALSE(IsRegularFile(folder / "copy.jpg"));
  ASSERT_TRUE(CreateFolder(folder / "dir.jpg"));
  EXPECT_FALSE(CopyFileReplacing(folder / "dir.jpg", folder / "copy.jpg"));
  ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
  EXPECT_FALSE(CopyFileReplacing(folder / "fifo", folder / "copy.jpg"));
  folder.Write("photo.jpg", "x");
  EXPECT_FALSE(CopyFileReplacing(folder / "photo.jpg", folder / "fifo"));  // no block either
  EXPECT_FALSE(CopyFileReplacing(folder / "photo.jpg", folder / "missing/copy.jpg"));
}

TEST(CreateFolderTest, ExistingFolderIsNoErrorButAFileIs) {
  ScratchFolder folder;
  EXPECT_TRUE(CreateFolder(folder / "gr"));
  EXPECT_TRUE(CreateFolder(folder / "gr"));
  folder.Write("kl", "");
  EXPECT_FALSE(CreateFolder(folder / "kl"));
  EXPECT_FALSE(CreateFolder(folder / "missing/gr"));
  EXPECT_TRUE(RemoveFolder(folder / "gr"));
  EXPECT_TRUE(DeleteFile(folder / "kl"));
  EXPECT_EQ(folder.EntryCount(), 0);
}

}  // namespace
}  // namespace albumora
