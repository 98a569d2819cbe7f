// Cache files are hints: odd files are refused without waiting, and the folder follows XDG.
#include "platform/cache_files.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "platform/file_identity.h"
#include "platform/machine.h"
#include "support/scratch_folder.h"

namespace albumora {
namespace {

namespace fs = std::filesystem;

class CacheFilesTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return folder_.path() + name; }
  ScratchFolder folder_;
};

TEST_F(CacheFilesTest, OnlyRegularFilesWithinTheBoundAreRead) {
  struct Case {
    const char* name;
    std::function<void(const std::string&)> make;
    bool readable;
  };
  const Case cases[] = {
      {"plain", [](const std::string& p) { WriteFileBytes(p, "1234"); }, true},
      {"at bound", [](const std::string& p) { WriteFileBytes(p, std::string(16, 'x')); }, true},
      {"over bound", [](const std::string& p) { WriteFileBytes(p, std::string(17, 'x')); }, false},
      {"fifo", [](const std::string& p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); }, false},
      {"folder", [](const std::string& p) { fs::create_directory(p); }, false},
      {"link",
       [this](const std::string& p) {
         WriteFileBytes(Path("target"), "1234");
         fs::create_symlink(Path("target"), p);
       },
       false},
      {"missing", [](const std::string&) {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = Path(std::string("case ") + c.name);
    c.make(path);
    std::string data = "old";
    EXPECT_EQ(ReadCacheFile(path, 16, &data), c.readable);
    EXPECT_EQ(data, c.readable ? data : std::string());
  }
}

TEST_F(CacheFilesTest, WritingReplacesALinkInsteadOfFollowingIt) {
  WriteFileBytes(Path("theirs"), "keep");
  fs::create_symlink(Path("theirs"), Path("record"));
  ASSERT_TRUE(WriteCacheFile(Path("record"), "mine"));
  EXPECT_EQ(ReadFileBytes(Path("theirs")), "keep");
  EXPECT_FALSE(fs::is_symlink(Path("record")));
  EXPECT_EQ(ReadFileBytes(Path("record")), "mine");
  EXPECT_FALSE(WriteCacheFile(Path("no/such/folder/record"), "x"));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_.path()), fs::directory_iterator()), 2);
}

TEST_F(CacheFilesTest, CacheFolderIsMadeWithItsParents) {
  EXPECT_TRUE(CreateCacheFolder(Path("a/b/c/")));
  EXPECT_TRUE(fs::is_directory(Path("a/b/c")));
  EXPECT_EQ(ModeOf(Path("a/b/c")) & 077, 0u);
  WriteFileBytes(Path("file"), "");
  EXPECT_FALSE(CreateCacheFolder(Path("file/cache/")));
}

class EnvironmentVariable {
 public:
  EnvironmentVariable(const char* name, const char* value) : name_(name) {
    if (const char* old = getenv(name)) old_ = old;
    value ? setenv(name, value, 1) : unsetenv(name);
  }
  ~EnvironmentVariable() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(UserCacheFolderTest, XdgFolderWhenAbsoluteElseHome) {
  struct Case {
    const char* xdg;
    const char* home;
    const char* expected;
  } const cases[] = {
      {"/x/cache", "/home/u", "/x/cache/prog/"},
      {"/x/cache/", "/home/u", "/x/cache/prog/"},
      {"relative", "/home/u", "/home/u/.cache/prog/"},
      {nullptr, "/home/u/", "/home/u/.cache/prog/"},
      {"", "/home/u", "/home/u/.cache/prog/"},
      {nullptr, nullptr, ""},
      {nullptr, "relative", ""},
  };
  for (const Case& c : cases) {
    const EnvironmentVariable xdg("XDG_CACHE_HOME", c.xdg);
    const EnvironmentVariable home("HOME", c.home);
    EXPECT_EQ(UserCacheFolder("prog"), c.expected) << (c.xdg ? c.xdg : "-");
  }
}

TEST_F(CacheFilesTest, SignatureAndHashTellFilesApart) {
  WriteFileBytes(Path("a"), "same");
  WriteFileBytes(Path("b"), "same");
  WriteFileBytes(Path("c"), "diff");
  fs::create_symlink(Path("a"), Path("link"));
  EXPECT_EQ(ContentHashOf(Path("a")), ContentHashOf(Path("b")));
  EXPECT_NE(ContentHashOf(Path("a")), ContentHashOf(Path("c")));
  EXPECT_FALSE(ContentHashOf(Path("missing")));
  EXPECT_NE(SignatureOf(Path("a")), SignatureOf(Path("b")));  // other inode
  EXPECT_EQ(SignatureOf(Path("link")), SignatureOf(Path("a")));
  EXPECT_FALSE(OwnFileSignatureOf(Path("link")));
  EXPECT_FALSE(SignatureOf(folder_.path()));
  const auto before = SignatureOf(Path("a"));
  fs::last_write_time(Path("a"), fs::last_write_time(Path("a")) + std::chrono::seconds(1));
  EXPECT_NE(SignatureOf(Path("a")), before);
}

TEST(MachineTest, AvailableMemoryIsReadFromItsOwnLine) {
  EXPECT_EQ(AvailableMemoryIn("MemTotal: 100 kB\nMemAvailable:    2048 kB\n"), 2048u << 10);
  EXPECT_FALSE(AvailableMemoryIn("MemTotal: 100 kB\nXMemAvailable: 5 kB\n"));
  EXPECT_FALSE(AvailableMemoryIn("MemAvailable: kB\n"));
  EXPECT_FALSE(AvailableMemoryIn("MemAvailable: 99999999999999999999 kB\n"));
  EXPECT_TRUE(AvailableMemory());
  EXPECT_GE(UsableCores(), 1);
}

}  // namespace
}  // namespace albumora
