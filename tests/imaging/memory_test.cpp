// A picture within the size limits that does not fit the memory the process may have: the load
// fails and scaling keeps the picture, as for any other picture that cannot be made.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "imaging/raster_image.h"
#include "test_pictures.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define ALBUMORA_SANITIZED_MEMORY 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || \
    __has_feature(memory_sanitizer)
#define ALBUMORA_SANITIZED_MEMORY 1
#endif
#endif

namespace albumora {
namespace {

// The address space the process uses now, in bytes; 0 when unknown.
rlim_t AddressSpaceInUse() {
  std::FILE* statm = std::fopen("/proc/self/statm", "r");
  if (statm == nullptr) return 0;
  unsigned long pages = 0;
  const int read = std::fscanf(statm, "%lu", &pages);
  std::fclose(statm);
  return read == 1 ? static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) : 0;
}

// Lets the process map only `headroom` bytes more than it has, until destroyed.
class AddressSpaceLimit {
 public:
  explicit AddressSpaceLimit(rlim_t headroom) {
    getrlimit(RLIMIT_AS, &old_);
    const rlim_t in_use = AddressSpaceInUse();
    rlimit tight = old_;
    tight.rlim_cur = in_use + headroom;
    active_ = in_use != 0 && setrlimit(RLIMIT_AS, &tight) == 0;
  }
  ~AddressSpaceLimit() {
    if (active_) setrlimit(RLIMIT_AS, &old_);
  }
  AddressSpaceLimit(const AddressSpaceLimit&) = delete;
  AddressSpaceLimit& operator=(const AddressSpaceLimit&) = delete;
  bool active() const { return active_; }

 private:
  rlimit old_{};
  bool active_ = false;
};

// Offset of the first frame (SOF) marker.
std::size_t FindFrame(const std::string& jpeg) {
  for (std::size_t at = 2; at + 1 < jpeg.size(); ++at) {
    const auto code = static_cast<unsigned char>(jpeg[at + 1]);
    if (static_cast<unsigned char>(jpeg[at]) == 0xFF && code >= 0xC0 && code <= 0xC3) return at;
  }
  return std::string::npos;
}

constexpr rlim_t kHeadroom = rlim_t{96} << 20;

TEST(OutOfMemoryTest, PictureThatCannotBeMadeFailsTheLoad) {
#ifdef ALBUMORA_SANITIZED_MEMORY
  GTEST_SKIP() << "the sanitizer's allocator reserves the address space itself";
#endif
  // A small file that declares 16000 x 10000 pixels: 480 MB of picture.
  std::string jpeg = testing::MakeJpeg(testing::JpegOptions{});
  const std::size_t frame = FindFrame(jpeg);
  ASSERT_NE(frame, std::string::npos);
  jpeg[frame + 5] = static_cast<char>(10000 >> 8);
  jpeg[frame + 6] = static_cast<char>(10000 & 0xFF);
  jpeg[frame + 7] = static_cast<char>(16000 >> 8);
  jpeg[frame + 8] = static_cast<char>(16000 & 0xFF);

  RasterImage image(3, 3);
  std::string error;
  bool decoded = true;
  {
    AddressSpaceLimit limit(kHeadroom);
    if (!limit.active()) GTEST_SKIP() << "the address space cannot be limited here";
    decoded = DecodeRasterImage(jpeg, &image, &error);
  }
  EXPECT_FALSE(decoded);
  EXPECT_TRUE(image.empty());
  EXPECT_NE(error.find("Arbeitsspeicher"), std::string::npos) << error;
  // With the memory back, the next photo loads.
  EXPECT_TRUE(DecodeRasterImage(testing::MakeJpeg(testing::JpegOptions{}), &image));
}

TEST(OutOfMemoryTest, ScaledPictureThatCannotBeMadeKeepsTheOldOne) {
#ifdef ALBUMORA_SANITIZED_MEMORY
  GTEST_SKIP() << "the sanitizer's allocator reserves the address space itself";
#endif
  RasterImage picture = testing::MakePicture(64, 48);
  const RasterImage before = picture;
  ImagingWorkspace workspace;
  {
    AddressSpaceLimit limit(kHeadroom);
    if (!limit.active()) GTEST_SKIP() << "the address space cannot be limited here";
    ScaleRasterImage(picture, 16000, 10000);
    ScaleRasterImage(picture, 16000, 10000, &workspace);
  }
  EXPECT_TRUE(picture.SharesPixelsWith(before));
  EXPECT_EQ(picture.width(), 64);
  EXPECT_EQ(picture.height(), 48);
}

}  // namespace
}  // namespace albumora
