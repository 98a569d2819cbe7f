// A fresh folder per test, removed with everything in it afterwards.
#ifndef ALBUMORA_TESTS_SETTINGS_SCRATCH_FOLDER_H_
#define ALBUMORA_TESTS_SETTINGS_SCRATCH_FOLDER_H_

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>

namespace albumora::testing_support {

class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = ::testing::TempDir() + "albumora-settings-XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern + "/";
    EXPECT_FALSE(path_.empty());
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The folder's path ends with '/'; it is plain ASCII, so the same in UTF-8 and Windows-1252.
  std::string operator/(std::string_view name) const { return path_ + std::string(name); }

  void Write(std::string_view name, std::string_view content) const {
    std::ofstream out(*this / name, std::ios::binary);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
  }

  std::string Read(std::string_view name) const { return ReadFile(*this / name); }

  static std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  int CountEntries() const {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(path_)) ++count;
    return count;
  }

 private:
  std::string path_;
};

}  // namespace albumora::testing_support

#endif  // ALBUMORA_TESTS_SETTINGS_SCRATCH_FOLDER_H_
