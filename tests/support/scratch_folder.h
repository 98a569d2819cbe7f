// Test folders: a fresh folder per test, removed with everything in it afterwards, and whole-file
// reads and writes. Shared by the tests of every layer.
#ifndef ALBUMORA_TESTS_SUPPORT_SCRATCH_FOLDER_H_
#define ALBUMORA_TESTS_SUPPORT_SCRATCH_FOLDER_H_

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>

namespace albumora {

inline std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Writes a file under its native (UTF-8) name, creating the folders on its way.
inline void WriteFileBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::error_code ignored;
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ignored);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}

inline mode_t ModeOf(const std::string& native) {
  struct stat info {};
  stat(native.c_str(), &info);
  return info.st_mode & 07777;
}

class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = ::testing::TempDir() + "albumora-test-XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern + "/";
    EXPECT_FALSE(path_.empty());
  }
  ~ScratchFolder() {
    std::error_code ignored;
    // A test may have taken away our own rights to a sub-folder; give them back to remove it.
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // Absolute, ending with '/'. Plain ASCII, so the same text in UTF-8 and Windows-1252.
  const std::string& path() const { return path_; }
  std::string operator/(std::string_view name) const { return path_ + std::string(name); }

  void Write(std::string_view name, std::string_view content) const {
    WriteFileBytes(*this / name, content);
  }
  std::string Read(std::string_view name) const { return ReadFileBytes(*this / name); }
  bool Exists(std::string_view name) const { return std::filesystem::exists(*this / name); }

  int EntryCount() const {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(path_)) ++count;
    return count;
  }

 private:
  std::string path_;
};

// A scratch folder that is also the current folder while it lives, so that the settings file and
// the files a test makes land there.
class WorkFolder : public ScratchFolder {
 public:
  WorkFolder() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(path());
  }
  ~WorkFolder() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
  }

 private:
  std::filesystem::path previous_;
};

}  // namespace albumora

#endif  // ALBUMORA_TESTS_SUPPORT_SCRATCH_FOLDER_H_
