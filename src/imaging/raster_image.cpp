#include "imaging/raster_image.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "imaging/bitmap_reader.h"
#include "imaging/colour_profile.h"
#include "imaging/imaging_internal.h"
#include "imaging/jpeg_decoder.h"
#include "platform/files.h"
#include "platform/text.h"

namespace albumora {
namespace imaging_internal {

Block AllocateBlock(std::size_t size) {
  return Block{std::make_unique_for_overwrite<std::uint8_t[]>(size), size};
}

Block BufferPool::Take(std::size_t size) {
  std::lock_guard lock(mutex_);
  auto best = free_.end();
  for (auto it = free_.begin(); it != free_.end(); ++it) {
    if (it->capacity >= size && (best == free_.end() || it->capacity < best->capacity)) best = it;
  }
  if (best == free_.end()) {
    if (!free_.empty()) {
      free_.erase(std::max_element(free_.begin(), free_.end(), [](const Block& a, const Block& b) {
        return a.capacity < b.capacity;
      }));
    }
    return AllocateBlock(size);
  }
  Block block = std::move(*best);
  free_.erase(best);
  return block;
}

void BufferPool::Give(Block block) {
  std::lock_guard lock(mutex_);
  free_.push_back(std::move(block));
  if (free_.size() > kMaxFreeBlocks) {
    free_.erase(std::min_element(free_.begin(), free_.end(), [](const Block& a, const Block& b) {
      return a.capacity < b.capacity;
    }));
  }
}

std::size_t BufferPool::RetainedBytes() const {
  std::lock_guard lock(mutex_);
  std::size_t total = 0;
  for (const Block& block : free_) total += block.capacity;
  return total;
}

PixelStore::~PixelStore() {
  if (std::shared_ptr<BufferPool> pool = home_.lock()) pool->Give(std::move(block_));
}

bool SizeWithinLimits(std::int64_t width, std::int64_t height, std::int64_t max_pixels) {
  return width >= 1 && height >= 1 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
         width * height <= std::min(max_pixels, kMaxPixelCount);
}

RasterImage NewRasterImage(int width, int height, ImagingWorkspace* workspace) {
  const std::size_t size = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                           RasterImage::kBytesPerPixel;
  std::shared_ptr<PixelStore> store;
  if (workspace != nullptr) {
    const std::shared_ptr<BufferPool>& pool = WorkspaceAccess::Pool(*workspace);
    store = std::make_shared<PixelStore>(pool->Take(size), pool);
  } else {
    store = std::make_shared<PixelStore>(AllocateBlock(size), std::weak_ptr<BufferPool>());
  }
  return RasterImageAccess::Make(width, height, std::move(store));
}

}  // namespace imaging_internal

using imaging_internal::NewRasterImage;

RasterImage::RasterImage(int width, int height, Rgb fill) {
  if (!imaging_internal::SizeWithinLimits(width, height, kMaxPixelCount)) return;
  *this = NewRasterImage(width, height, nullptr);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* out = RasterImageAccess::FreshData(*this) + stride() * y;
    for (int x = 0; x < width; ++x, out += kBytesPerPixel) {
      out[0] = fill.r;
      out[1] = fill.g;
      out[2] = fill.b;
    }
  }
}

Rgb RasterImage::pixel(int x, int y) const {
  const std::uint8_t* p = row(y) + static_cast<std::size_t>(x) * kBytesPerPixel;
  return Rgb{p[0], p[1], p[2]};
}

void RasterImage::set_pixel(int x, int y, Rgb color) {
  std::uint8_t* p = mutable_row(y) + static_cast<std::size_t>(x) * kBytesPerPixel;
  p[0] = color.r;
  p[1] = color.g;
  p[2] = color.b;
}

void RasterImage::Release() {
  pixels_.reset();
  colour_profile_.reset();
  data_ = nullptr;
  width_ = 0;
  height_ = 0;
}

std::uint8_t* RasterImage::MutableData() {
  if (pixels_ != nullptr && pixels_.use_count() > 1) {
    // Shared with a copy: this picture takes a buffer of its own before it changes.
    RasterImage own = NewRasterImage(width_, height_, nullptr);
    std::memcpy(own.data_, data_, stride() * static_cast<std::size_t>(height_));
    own.colour_profile_ = std::move(colour_profile_);
    *this = std::move(own);
  }
  return data_;
}

ImagingWorkspace::ImagingWorkspace()
    : pool_(std::make_shared<imaging_internal::BufferPool>()),
      colour_profiles_(std::make_unique<ColourProfileCache>()) {}
ImagingWorkspace::~ImagingWorkspace() = default;

void ImagingWorkspace::set_max_pixel_count(std::int64_t count) {
  max_pixel_count_ = std::clamp<std::int64_t>(count, 1, kMaxPixelCount);
}

std::size_t ImagingWorkspace::RetainedBytes() const {
  return pool_->RetainedBytes() + file_bytes_.capacity() + words_.capacity() * sizeof(words_[0]) +
         bytes_.capacity();
}

std::string ImagingMessage(std::string_view utf8_text) { return Cp1252(utf8_text); }

namespace imaging_internal {

std::string OutOfMemoryMessage() {
  return ImagingMessage("Für das Bild reicht der Arbeitsspeicher nicht.");
}

}  // namespace imaging_internal

using imaging_internal::OutOfMemoryMessage;

namespace {

void SetError(std::string* error, std::string message) {
  if (error != nullptr) *error = std::move(message);
}

bool DecodeByKind(std::string_view bytes, RasterImage* image, std::string* error,
                  ImagingWorkspace* workspace) {
  const std::int64_t max_pixels =
      workspace != nullptr ? workspace->max_pixel_count() : kMaxPixelCount;
  if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
    return DecodeBitmap(bytes, max_pixels, image, error, workspace);
  }
  if (bytes.size() < 2 || static_cast<unsigned char>(bytes[0]) != 0xFF ||
      static_cast<unsigned char>(bytes[1]) != 0xD8) {
    SetError(error, ImagingMessage("Die Datei ist kein JPEG-Bild."));
    return false;
  }
  return DecodeJpeg(bytes, max_pixels, image, error, workspace);
}

}  // namespace

bool DecodeRasterImage(std::string_view bytes, RasterImage* image, std::string* error,
                       ImagingWorkspace* workspace) {
  image->Release();
  // A picture within the limits may still not fit the memory there is: the load fails, the run
  // goes on. Nothing throws inside libjpeg's frames; the buffers are made around its calls.
  try {
    return DecodeByKind(bytes, image, error, workspace);
  } catch (const std::bad_alloc&) {
    image->Release();
    SetError(error, OutOfMemoryMessage());
    return false;
  }
}

namespace imaging_internal {

bool ReadPhotoFile(std::string_view path, std::string* bytes, std::string* error) {
  // Only regular files, read up to their size: a folder, a FIFO or a device named .jpg is refused.
  bool read = false;
  try {
    read = ReadWholeFile(path, bytes);
  } catch (const std::bad_alloc&) {
    bytes->clear();
    SetError(error, OutOfMemoryMessage());
    return false;
  }
  if (!read) {
    bytes->clear();
    SetError(error, ImagingMessage("Die Datei kann nicht gelesen werden."));
    return false;
  }
  return true;
}

std::string* FileBuffer(ImagingWorkspace* workspace, std::string* own) {
  return workspace != nullptr ? WorkspaceAccess::FileBytes(*workspace) : own;
}

}  // namespace imaging_internal

bool LoadRasterImage(std::string_view path, RasterImage* image, std::string* error,
                     ImagingWorkspace* workspace) {
  image->Release();
  std::string own_bytes;
  std::string* bytes = imaging_internal::FileBuffer(workspace, &own_bytes);
  if (!imaging_internal::ReadPhotoFile(path, bytes, error)) return false;
  const bool loaded = DecodeRasterImage(*bytes, image, error, workspace);
  bytes->clear();  // keeps the capacity for the next photo
  return loaded;
}

PictureSize FitLongSide(int width, int height, int long_side) {
  if (width < 1 || height < 1 || long_side < 1) return {};
  const std::int64_t w = width;
  const std::int64_t h = height;
  const std::int64_t l = long_side;
  if (h < w) return {long_side, static_cast<int>(h * l / w)};
  return {static_cast<int>(w * l / h), long_side};
}

PictureSize FitWidth(int width, int height, int new_width) {
  if (width < 1 || height < 1 || new_width < 1) return {};
  const std::int64_t new_height = std::int64_t{height} * new_width / width;
  return {new_width, static_cast<int>(std::min<std::int64_t>(new_height, INT_MAX))};
}

}  // namespace albumora
