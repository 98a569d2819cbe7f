// Helpers of the gallery tests: a private working folder, files made on the spot (JPEGs encoded
// with libjpeg, bitmaps, templates) and a run environment over the in-memory controls.
#ifndef ALBUMORA_TESTS_GALLERY_GALLERY_TEST_SUPPORT_H_
#define ALBUMORA_TESTS_GALLERY_GALLERY_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gallery/run_state.h"
#include "imaging/raster_image.h"
#include "settings/program_values.h"
#include "support/scratch_folder.h"
#include "ui/memory_controls.h"

namespace albumora::testing {

// Every test runs in a fresh folder of its own, which is also the current folder.
class WorkFolderTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Absolute path (UTF-8 == Windows-1252 for the ASCII names the tests use) ending with '/'.
  std::string Path(std::string_view relative = "") const;

  std::optional<WorkFolder> work_;
};

inline void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
  WriteFileBytes(path, bytes);
}
inline std::string ReadFile(const std::filesystem::path& path) { return ReadFileBytes(path); }

// Lines joined with CR LF after each, the way pages are written.
std::string CrLfLines(const std::vector<std::string>& lines);

// A JPEG of the given size: a smooth colour pattern, or grey with one component.
std::string EncodeTestJpeg(int width, int height, bool grayscale = false, int quality = 85);
// An uncompressed 24-bit Windows bitmap.
std::string EncodeTestBitmap(int width, int height);
// Width and height from a JPEG's frame header; 0 x 0 when there is none.
PictureSize JpegFrameSize(const std::filesystem::path& path);

// The controls, the reporter and the program values of one run, set up for a gallery in the
// work folder. Settings are put into the controls as the user would choose them.
struct RunEnvironment {
  RunEnvironment();

  MemoryControls controls;
  MemoryProgressReporter reporter{controls};
  ProgramValues values;

  // Sets the source folder text and derives the folder name, as choosing a folder does.
  void SetSourceFolder(std::string_view folder);
  std::vector<std::string> MessageTexts() const;
};

}  // namespace albumora::testing

#endif  // ALBUMORA_TESTS_GALLERY_GALLERY_TEST_SUPPORT_H_
