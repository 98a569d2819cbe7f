// Pieces shared by the files of the imaging library; not for use outside it.
#ifndef ALBUMORA_IMAGING_IMAGING_INTERNAL_H_
#define ALBUMORA_IMAGING_IMAGING_INTERNAL_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "imaging/raster_image.h"

namespace albumora {
namespace imaging_internal {

// An uninitialised byte buffer.
struct Block {
  std::unique_ptr<std::uint8_t[]> bytes;
  std::size_t capacity = 0;
};

Block AllocateBlock(std::size_t size);

// Free pixel buffers of a workspace. Pictures hand their buffer back when released; the pool is
// reached through a weak pointer, so a picture may outlive its workspace.
class BufferPool {
 public:
  // A buffer of at least `size` bytes: the smallest free one that fits, else a new one (the
  // largest free buffer is then given up, so the pool grows instead of multiplying).
  Block Take(std::size_t size);
  void Give(Block block);
  std::size_t RetainedBytes() const;

 private:
  // Enough for a photo, its big and small picture and one spare.
  static constexpr std::size_t kMaxFreeBlocks = 4;

  mutable std::mutex mutex_;
  std::vector<Block> free_;
};

class PixelStore {
 public:
  PixelStore(Block block, std::weak_ptr<BufferPool> home)
      : block_(std::move(block)), home_(std::move(home)) {}
  ~PixelStore();
  PixelStore(const PixelStore&) = delete;
  PixelStore& operator=(const PixelStore&) = delete;

  std::uint8_t* data() { return block_.bytes.get(); }

 private:
  Block block_;
  std::weak_ptr<BufferPool> home_;
};

// A new picture of `width` x `height` (both >= 1, within the limits) with uninitialised pixels,
// its buffer taken from the workspace when one is given.
RasterImage NewRasterImage(int width, int height, ImagingWorkspace* workspace);

// Whether a size is within the side limit and `max_pixels`.
bool SizeWithinLimits(std::int64_t width, std::int64_t height, std::int64_t max_pixels);

std::string OutOfMemoryMessage();

// Reads a photo file into `bytes` as LoadRasterImage does, with its messages.
bool ReadPhotoFile(std::string_view path, std::string* bytes, std::string* error);
// The workspace's file buffer, or `own` without a workspace.
std::string* FileBuffer(ImagingWorkspace* workspace, std::string* own);

}  // namespace imaging_internal

class WorkspaceAccess {
 public:
  static std::string* FileBytes(ImagingWorkspace& workspace) { return &workspace.file_bytes_; }
  static const std::shared_ptr<imaging_internal::BufferPool>& Pool(ImagingWorkspace& workspace) {
    return workspace.pool_;
  }
  static std::vector<std::uint32_t>* Words(ImagingWorkspace& workspace) {
    return &workspace.words_;
  }
  static std::vector<std::uint8_t>* Bytes(ImagingWorkspace& workspace) { return &workspace.bytes_; }
  static ColourProfileCache* ColourProfiles(ImagingWorkspace& workspace) {
    return workspace.colour_profiles_.get();
  }
};

class RasterImageAccess {
 public:
  static RasterImage Make(int width, int height,
                          std::shared_ptr<imaging_internal::PixelStore> store) {
    RasterImage image;
    image.width_ = width;
    image.height_ = height;
    image.data_ = store->data();
    image.pixels_ = std::move(store);
    return image;
  }
  // The pixels for writing, without detaching: only for pictures just made by the library.
  static std::uint8_t* FreshData(RasterImage& image) { return image.data_; }
};

// Messages for the user (Windows-1252).
std::string ImagingMessage(std::string_view utf8_text);

}  // namespace albumora

#endif  // ALBUMORA_IMAGING_IMAGING_INTERNAL_H_
