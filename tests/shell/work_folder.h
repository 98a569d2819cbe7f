// A fresh folder per test that is also the current folder, so that the settings file and the
// photos the test makes land there; removed with everything in it afterwards.
#ifndef ALBUMORA_TESTS_SHELL_WORK_FOLDER_H_
#define ALBUMORA_TESTS_SHELL_WORK_FOLDER_H_

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>

namespace albumora {

class WorkFolder {
 public:
  WorkFolder() : previous_(std::filesystem::current_path()) {
    std::string pattern = testing::TempDir() + "albumora-window-XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern + "/";
    EXPECT_FALSE(path_.empty());
    std::filesystem::current_path(path_);
  }
  ~WorkFolder() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  WorkFolder(const WorkFolder&) = delete;
  WorkFolder& operator=(const WorkFolder&) = delete;

  // Absolute, ending with '/'; ASCII, so the same text in UTF-8 and Windows-1252.
  const std::string& path() const { return path_; }
  std::string operator/(std::string_view name) const { return path_ + std::string(name); }

  void Write(std::string_view name, std::string_view content) const {
    const std::filesystem::path file = path_ + std::string(name);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
  }

  std::string Read(std::string_view name) const {
    std::ifstream in(path_ + std::string(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  bool Exists(std::string_view name) const {
    return std::filesystem::exists(path_ + std::string(name));
  }

 private:
  std::filesystem::path previous_;
  std::string path_;
};

}  // namespace albumora

#endif  // ALBUMORA_TESTS_SHELL_WORK_FOLDER_H_
