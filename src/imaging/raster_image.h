// A decoded 24-bit picture and the operations that make the site's JPEG pictures from a photo.
//
// Plain use (every call allocates what it needs):
//   RasterImage photo;
//   if (!LoadRasterImage(path, &photo, &error)) ...;
//   RasterImage big = photo;                  // cheap: shares the pixels until one side changes
//   PictureSize size = FitLongSide(photo.width(), photo.height(), 1024);
//   ScaleRasterImage(big, size.width, size.height);
//   SaveRasterImageAsJpeg(big, big_path, 7);
//
// A run over many photos should pass one ImagingWorkspace to LoadRasterImage and
// ScaleRasterImage: it keeps the file buffer, the pixel buffers and the scaler's rows from one
// photo for the next, so that a 12-megapixel photo does not map 36 MB of fresh memory each time
// (touching new pages costs more than decoding into them). Results are the same with or without.
#ifndef ALBUMORA_IMAGING_RASTER_IMAGE_H_
#define ALBUMORA_IMAGING_RASTER_IMAGE_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace albumora {

struct PictureSize {
  int width = 0;
  int height = 0;
  bool operator==(const PictureSize&) const = default;
};

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  bool operator==(const Rgb&) const = default;
};

// Limits checked right after a picture's header has been read, before anything large is
// allocated. A side must fit the 16-bit size of a picture; the pixel count is sized for real
// cameras (medium format and multi-shot pictures stay below it) and bounds the picture buffer at
// 768 MiB, so that a small file cannot declare a picture that exhausts memory.
inline constexpr int kMaxPictureSide = 32767;
inline constexpr std::int64_t kMaxPixelCount = std::int64_t{1} << 28;  // ~268 megapixels

class ColourProfile;
class ColourProfileCache;

namespace imaging_internal {
class PixelStore;
class BufferPool;
}  // namespace imaging_internal

// Pixels are 3 bytes, red, green, blue, rows top to bottom without padding (stride = 3 * width).
// A picture that was not made is 0 x 0 and empty().
//
// Copies are values: changing one never changes another. A copy shares the pixel buffer until
// either side asks for mutable pixels (copy-on-write), so copying a photo that is then only read
// and scaled costs nothing. ScaleRasterImage reads the old pixels and gives the picture new ones,
// so it never copies a shared buffer. A RasterImage is not thread-safe; copies may live on
// different threads.
class RasterImage {
 public:
  static constexpr int kBytesPerPixel = 3;

  RasterImage() = default;
  // A picture of the given size (each side 1..kMaxPictureSide) filled with `fill`; 0 x 0 when the
  // size is out of range.
  RasterImage(int width, int height, Rgb fill = {});

  int width() const { return width_; }
  int height() const { return height_; }
  bool empty() const { return pixels_ == nullptr; }
  std::size_t stride() const { return static_cast<std::size_t>(width_) * kBytesPerPixel; }

  const std::uint8_t* row(int y) const { return data_ + stride() * static_cast<std::size_t>(y); }
  // Detaches a shared buffer first, so the write stays in this picture.
  std::uint8_t* mutable_row(int y) {
    return MutableData() + stride() * static_cast<std::size_t>(y);
  }

  Rgb pixel(int x, int y) const;
  void set_pixel(int x, int y, Rgb color);

  // Drops the pixels (they go back to their workspace, if any); the picture becomes 0 x 0.
  void Release();

  bool SharesPixelsWith(const RasterImage& other) const {
    return pixels_ != nullptr && pixels_ == other.pixels_;
  }

  // The embedded colour profile the pixels still need converting through (see
  // colour_profile.h); nullptr for sRGB. Copies and scaled copies keep it.
  const std::shared_ptr<const ColourProfile>& colour_profile() const { return colour_profile_; }
  void set_colour_profile(std::shared_ptr<const ColourProfile> profile) {
    colour_profile_ = std::move(profile);
  }

 private:
  friend class RasterImageAccess;

  std::uint8_t* MutableData();

  int width_ = 0;
  int height_ = 0;
  std::shared_ptr<imaging_internal::PixelStore> pixels_;
  std::uint8_t* data_ = nullptr;
  std::shared_ptr<const ColourProfile> colour_profile_;
};

// Buffers kept between photos: the file copy, a few pixel buffers, the scaler's rows and the
// colour profiles met so far. They grow to the largest photo seen and are not shrunk while the
// workspace lives. Pixel buffers of pictures made with the workspace return to it when the last
// picture using them is released or destroyed (also after the workspace itself is gone, then they
// are simply freed). Use one workspace per thread. Without a workspace every call allocates and
// frees its own buffers.
class ImagingWorkspace {
 public:
  ImagingWorkspace();
  ~ImagingWorkspace();
  ImagingWorkspace(const ImagingWorkspace&) = delete;
  ImagingWorkspace& operator=(const ImagingWorkspace&) = delete;

  // Pictures with more pixels than this are refused by loads through this workspace (at most
  // kMaxPixelCount; a smaller value suits tools that must stay small, such as a fuzzer).
  void set_max_pixel_count(std::int64_t count);
  std::int64_t max_pixel_count() const { return max_pixel_count_; }

  // Bytes held for reuse right now (for measurements).
  std::size_t RetainedBytes() const;

 private:
  friend class WorkspaceAccess;

  std::shared_ptr<imaging_internal::BufferPool> pool_;
  std::string file_bytes_;
  std::vector<std::uint32_t> words_;
  std::vector<std::uint8_t> bytes_;
  std::unique_ptr<ColourProfileCache> colour_profiles_;
  std::int64_t max_pixel_count_ = kMaxPixelCount;
};

// Reads a JPEG (or a Windows bitmap named .jpg) from a Windows-1252 path. Only regular files are
// read, never more than their size. The EXIF orientation of a JPEG is applied, so the picture is
// upright. On failure returns false, leaves `image` empty and says why in `error` (Windows-1252,
// German, for the user) when given.
bool LoadRasterImage(std::string_view path, RasterImage* image, std::string* error = nullptr,
                     ImagingWorkspace* workspace = nullptr);

// The same for a file already in memory (what LoadRasterImage does after reading the file).
bool DecodeRasterImage(std::string_view bytes, RasterImage* image, std::string* error = nullptr,
                       ImagingWorkspace* workspace = nullptr);

// The longer side becomes `long_side`, the other is scaled in proportion (integer division
// truncating). A square becomes long_side x long_side; landscape means height < width. A width,
// height or long side below 1 gives 0 x 0 (which ScaleRasterImage ignores).
PictureSize FitLongSide(int width, int height, int long_side);
// The width becomes `new_width`, the height is scaled in proportion. 0 x 0 for sides below 1.
PictureSize FitWidth(int width, int height, int new_width);

// Area-averaging resample in place: every new pixel is the mean of the part of the old picture
// it covers, partly covered pixels weighted by the covered fraction; the same rule enlarges. An
// unchanged size leaves the pixels untouched; a side below 1 (or above the limits), an empty
// picture or a new picture that does not fit the memory leaves the picture as it was.
void ScaleRasterImage(RasterImage& image, int width, int height,
                      ImagingWorkspace* workspace = nullptr);

// Encodes at quality step 0..10 (clamped; libjpeg quality = step * 10) to `path`, replacing an
// existing file. False for an empty picture (nothing touched), when the file cannot be opened,
// and when encoding or writing fails; an incomplete regular file is then removed.
bool SaveRasterImageAsJpeg(const RasterImage& image, std::string_view path, int quality_step);

// The same encoding into memory. False for an empty picture.
bool EncodeRasterImageAsJpeg(const RasterImage& image, int quality_step, std::string* jpeg);

}  // namespace albumora

#endif  // ALBUMORA_IMAGING_RASTER_IMAGE_H_
