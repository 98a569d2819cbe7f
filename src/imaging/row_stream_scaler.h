// Area averaging of a picture whose rows arrive in bands, top to bottom. A target row whose
// source rows all lie in one band is summed from the band in one pass; the sums of a target row
// whose rows cross into the next band are kept open until its last row has arrived. Gives the same
// bytes as ScaleRasterImage on the whole picture.
#ifndef ALBUMORA_IMAGING_ROW_STREAM_SCALER_H_
#define ALBUMORA_IMAGING_ROW_STREAM_SCALER_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "imaging/raster_image.h"
#include "imaging/resample_rows.h"

namespace albumora::imaging_internal {

class RowStreamScaler {
 public:
  // Scales a source_width x source_height picture into `target` (already made, of the target
  // size, which differs from the source size). May throw std::bad_alloc.
  RowStreamScaler(int source_width, int source_height, RasterImage* target);

  // Takes the next `count` source rows, `stride` bytes apart. Never throws nor allocates, so it
  // may run between libjpeg's calls.
  void TakeRows(const std::uint8_t* rows, std::size_t stride, int count);

  // Whether every target row has been written.
  bool done() const { return next_target_ == target_height_; }

 private:
  void FoldInner();
  void FinishTargetRow();

  std::vector<Span> spans_;  // source rows of each target row
  ColumnPass columns_;
  std::size_t samples_;  // per source row
  int target_height_;
  std::uint8_t* out_;
  std::size_t out_stride_;
  int next_row_ = 0;     // source row the next TakeRows starts with
  int next_target_ = 0;  // the open target row, or the next to open
  bool open_ = false;    // whether acc_ holds the first rows of the next target row
  int inner_rows_ = 0;   // rows summed in inner_ since it was last folded into acc_
  std::unique_ptr<std::uint32_t[]> acc_;
  std::unique_ptr<std::uint16_t[]> inner_;
  std::unique_ptr<std::uint32_t[]> wide_inner_;  // SumSpanRows' scratch
};

}  // namespace albumora::imaging_internal

#endif  // ALBUMORA_IMAGING_ROW_STREAM_SCALER_H_
