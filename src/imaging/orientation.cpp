#include "imaging/orientation.h"

#include <algorithm>
#include <cstring>

#include "imaging/imaging_internal.h"

namespace albumora {
namespace {

constexpr int kOrientationTag = 0x0112;
constexpr int kTypeShort = 3;
constexpr int kTypeLong = 4;
constexpr std::size_t kTiffStart = 6;  // after "Exif\0\0"
constexpr std::size_t kEntrySize = 12;

// Reads numbers of the TIFF structure inside the EXIF segment in its byte order; every read is
// checked against the end of the data.
class TiffReader {
 public:
  explicit TiffReader(std::string_view tiff) : tiff_(tiff) {}

  bool ReadByteOrder() {
    if (tiff_.size() < 8) return false;
    if (tiff_.substr(0, 2) == "II") {
      little_endian_ = true;
    } else if (tiff_.substr(0, 2) == "MM") {
      little_endian_ = false;
    } else {
      return false;
    }
    std::uint32_t magic = 0;
    return Read(2, 2, &magic) && magic == 42;
  }

  bool Read(std::size_t offset, int bytes, std::uint32_t* value) const {
    if (offset > tiff_.size() || tiff_.size() - offset < static_cast<std::size_t>(bytes)) {
      return false;
    }
    std::uint32_t result = 0;
    for (int i = 0; i < bytes; ++i) {
      const auto byte =
          static_cast<std::uint8_t>(tiff_[offset + (little_endian_ ? bytes - 1 - i : i)]);
      result = (result << 8) | byte;
    }
    *value = result;
    return true;
  }

 private:
  std::string_view tiff_;
  bool little_endian_ = true;
};

}  // namespace

Orientation ExifOrientation(std::string_view app1) {
  if (app1.size() < kTiffStart || app1.substr(0, 5) != std::string_view("Exif\0", 5)) {
    return Orientation::kNormal;
  }
  TiffReader tiff(app1.substr(kTiffStart));
  std::uint32_t ifd = 0;
  std::uint32_t entries = 0;
  if (!tiff.ReadByteOrder() || !tiff.Read(4, 4, &ifd) || !tiff.Read(ifd, 2, &entries)) {
    return Orientation::kNormal;
  }
  // Only the first directory (the main picture) is looked at; its size bounds the loop.
  for (std::uint32_t i = 0; i < entries; ++i) {
    const std::size_t entry = std::size_t{ifd} + 2 + i * kEntrySize;
    std::uint32_t tag = 0;
    std::uint32_t type = 0;
    std::uint32_t count = 0;
    if (!tiff.Read(entry, 2, &tag) || !tiff.Read(entry + 2, 2, &type) ||
        !tiff.Read(entry + 4, 4, &count)) {
      break;
    }
    if (tag != kOrientationTag) continue;
    std::uint32_t value = 0;
    if (count != 1 || (type != kTypeShort && type != kTypeLong) ||
        !tiff.Read(entry + 8, type == kTypeShort ? 2 : 4, &value) || value < 1 || value > 8) {
      return Orientation::kNormal;
    }
    return static_cast<Orientation>(value);
  }
  return Orientation::kNormal;
}

bool SwapsSides(Orientation orientation) {
  return orientation == Orientation::kTranspose || orientation == Orientation::kRotate90Cw ||
         orientation == Orientation::kTransverse || orientation == Orientation::kRotate90Ccw;
}

OrientedRowWriter::OrientedRowWriter(RasterImage* image, int stored_width, int stored_height,
                                     Orientation orientation, std::uint8_t* strip)
    : pixels_(RasterImageAccess::FreshData(*image)),
      out_stride_(image->stride()),
      width_(stored_width),
      height_(stored_height),
      orientation_(orientation),
      strip_(SwapsSides(orientation) ? strip : nullptr) {
  Prepare();
}

std::size_t OrientedRowWriter::StripBytes(int stored_width, Orientation orientation) {
  if (!SwapsSides(orientation)) return 0;
  return static_cast<std::size_t>(stored_width) * RasterImage::kBytesPerPixel * kStripRows;
}

void OrientedRowWriter::Prepare() {
  if (row_ >= height_) {
    next_ = nullptr;
    return;
  }
  const std::size_t in_stride = static_cast<std::size_t>(width_) * RasterImage::kBytesPerPixel;
  switch (orientation_) {
    case Orientation::kNormal:
    case Orientation::kMirrorHorizontal:
      next_ = pixels_ + out_stride_ * row_;
      break;
    case Orientation::kRotate180:
    case Orientation::kMirrorVertical:
      next_ = pixels_ + out_stride_ * (height_ - 1 - row_);
      break;
    default:
      next_ = strip_ + in_stride * strip_count_;
      break;
  }
}

void OrientedRowWriter::Commit() {
  if (next_ == nullptr) return;
  if (orientation_ == Orientation::kMirrorHorizontal || orientation_ == Orientation::kRotate180) {
    std::uint8_t* left = next_;
    std::uint8_t* right = next_ + (width_ - 1) * RasterImage::kBytesPerPixel;
    for (; left < right; left += 3, right -= 3) std::swap_ranges(left, left + 3, right);
  }
  ++row_;
  if (strip_ != nullptr && (++strip_count_ == kStripRows || row_ == height_)) FlushStrip();
  Prepare();
}

void OrientedRowWriter::FlushStrip() {
  const std::size_t in_stride = static_cast<std::size_t>(width_) * RasterImage::kBytesPerPixel;
  const bool columns_reversed =
      orientation_ == Orientation::kTransverse || orientation_ == Orientation::kRotate90Ccw;
  const bool rows_reversed =
      orientation_ == Orientation::kRotate90Cw || orientation_ == Orientation::kTransverse;
  // Stored column x becomes an upright row; the strip's rows become a run of upright columns.
  // Done in tiles of a few columns, so that both the strip and the picture are walked in runs.
  for (int x0 = 0; x0 < width_; x0 += kTileColumns) {
    const int x1 = std::min(width_, x0 + kTileColumns);
    for (int r = 0; r < strip_count_; ++r) {
      const int y = strip_first_ + r;
      const std::size_t column = static_cast<std::size_t>(rows_reversed ? height_ - 1 - y : y) *
                                 RasterImage::kBytesPerPixel;
      const std::uint8_t* in =
          strip_ + in_stride * r + static_cast<std::size_t>(x0) * RasterImage::kBytesPerPixel;
      for (int x = x0; x < x1; ++x, in += RasterImage::kBytesPerPixel) {
        std::uint8_t* target =
            pixels_ + out_stride_ * (columns_reversed ? width_ - 1 - x : x) + column;
        std::memcpy(target, in, RasterImage::kBytesPerPixel);
      }
    }
  }
  strip_first_ += strip_count_;
  strip_count_ = 0;
}

void OrientedRowWriter::FillRemaining(std::uint8_t value) {
  const std::size_t in_stride = static_cast<std::size_t>(width_) * RasterImage::kBytesPerPixel;
  while (next_ != nullptr) {
    std::memset(next_, value, in_stride);
    Commit();
  }
}

}  // namespace albumora
