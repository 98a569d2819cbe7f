// The EXIF orientation of a photo and the placing of decoded rows into the upright picture.
#ifndef ALBUMORA_IMAGING_ORIENTATION_H_
#define ALBUMORA_IMAGING_ORIENTATION_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "imaging/raster_image.h"

namespace albumora {

// EXIF orientation values: how the stored rows must be turned to show the photo upright.
enum class Orientation {
  kNormal = 1,
  kMirrorHorizontal = 2,
  kRotate180 = 3,
  kMirrorVertical = 4,
  kTranspose = 5,    // mirrored along the top-left to bottom-right diagonal
  kRotate90Cw = 6,   // turn a quarter clockwise
  kTransverse = 7,   // mirrored along the other diagonal
  kRotate90Ccw = 8,  // turn a quarter counter-clockwise
};

// The orientation recorded in an APP1 segment's data (starting "Exif\0"), or kNormal when it has
// none or the data is damaged. Reads only inside `app1`.
Orientation ExifOrientation(std::string_view app1);

bool SwapsSides(Orientation orientation);

// Takes the rows of a stored picture, top to bottom, and writes them into `image` (already of the
// upright size) turned as `orientation` says. Rows of the quarter turns and diagonal mirrors are
// gathered into strips first, so the picture is written in runs rather than one pixel per row.
class OrientedRowWriter {
 public:
  // `strip` has StripBytes() bytes (none are needed when that is 0).
  OrientedRowWriter(RasterImage* image, int stored_width, int stored_height,
                    Orientation orientation, std::uint8_t* strip);
  static std::size_t StripBytes(int stored_width, Orientation orientation);

  // Where the next stored row (3 * stored_width bytes) goes. Valid until Commit().
  std::uint8_t* NextRow() const { return next_; }
  void Commit();
  // Fills every row not yet committed with one gray value (used after a decoding error).
  void FillRemaining(std::uint8_t value);
  int rows_done() const { return row_; }

 private:
  void Prepare();
  void FlushStrip();

  static constexpr int kStripRows = 64;
  static constexpr int kTileColumns = 16;

  std::uint8_t* pixels_;
  std::size_t out_stride_;
  int width_;   // stored
  int height_;  // stored
  Orientation orientation_;
  std::uint8_t* strip_ = nullptr;
  int strip_first_ = 0;
  int strip_count_ = 0;
  int row_ = 0;
  std::uint8_t* next_ = nullptr;
};

}  // namespace albumora

#endif  // ALBUMORA_IMAGING_ORIENTATION_H_
