// A fresh folder per test, removed with everything in it afterwards.
#ifndef ALBUMORA_TESTS_PLATFORM_SCRATCH_FOLDER_H_
#define ALBUMORA_TESTS_PLATFORM_SCRATCH_FOLDER_H_

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

namespace albumora {

class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = testing::TempDir() + "albumora-platform-XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern + "/";
    EXPECT_FALSE(path_.empty());
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The folder, ending with '/'. Plain ASCII, so it is the same text in UTF-8 and Windows-1252.
  const std::string& path() const { return path_; }
  std::string operator/(std::string_view name) const { return path_ + std::string(name); }

  // Writes a file under its native (UTF-8) name.
  void Write(std::string_view name, std::string_view content) const {
    std::ofstream out(path_ + std::string(name), std::ios::binary);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    ASSERT_TRUE(out.good()) << name;
  }

  std::string Read(std::string_view name) const {
    std::ifstream in(path_ + std::string(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  int EntryCount() const {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(path_)) ++count;
    return count;
  }

 private:
  std::string path_;
};

inline mode_t ModeOf(const std::string& native) {
  struct stat info {};
  stat(native.c_str(), &info);
  return info.st_mode & 07777;
}

}  // namespace albumora

#endif  // ALBUMORA_TESTS_PLATFORM_SCRATCH_FOLDER_H_
