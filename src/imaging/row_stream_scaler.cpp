#include "imaging/row_stream_scaler.h"

#include <algorithm>

#include "imaging/imaging_internal.h"

namespace albumora::imaging_internal {

RowStreamScaler::RowStreamScaler(int source_width, int source_height, RasterImage* target)
    : spans_(Spans(source_height, target->height())),
      columns_(source_width, source_height, target->width()),
      samples_(static_cast<std::size_t>(source_width) * RasterImage::kBytesPerPixel),
      target_height_(target->height()),
      out_(RasterImageAccess::FreshData(*target)),
      out_stride_(target->stride()),
      acc_(std::make_unique_for_overwrite<std::uint32_t[]>(samples_)),
      inner_(std::make_unique<std::uint16_t[]>(samples_)) {}

void RowStreamScaler::TakeRows(const std::uint8_t* rows, std::size_t stride, int count) {
  int i = 0;
  while (i < count && next_target_ < target_height_) {
    const int y = next_row_ + i;
    const Span& span = spans_[static_cast<std::size_t>(next_target_)];
    const int last = span.first + span.count - 1;
    if (y > span.first && y < last) {
      // A run of fully covered rows: summed in 16 bits, folded in before they could overflow.
      const int run = std::min({count - i, last - y, kMaxInnerRows - inner_rows_});
      AddInnerRows(inner_.get(), rows + stride * static_cast<std::size_t>(i), stride, run,
                   samples_);
      inner_rows_ += run;
      if (inner_rows_ == kMaxInnerRows) {
        FoldInnerRows(acc_.get(), inner_.get(), static_cast<std::uint32_t>(target_height_),
                      samples_);
        inner_rows_ = 0;
      }
      i += run;
      continue;
    }
    TakeEdgeRow(rows + stride * static_cast<std::size_t>(i), y);
    ++i;
  }
  next_row_ += count;
}

// Row y is the first or last of the open target row's span; it may also begin the following
// ones (when enlarging, one source row covers several target rows).
void RowStreamScaler::TakeEdgeRow(const std::uint8_t* row, int y) {
  while (next_target_ < target_height_) {
    const Span& span = spans_[static_cast<std::size_t>(next_target_)];
    if (span.first > y) return;
    const int last = span.first + span.count - 1;
    if (y == span.first) {
      StartRowSum(acc_.get(), row, span.first_weight, samples_);
    } else {
      AddWeightedRow(acc_.get(), row, span.last_weight, samples_);
    }
    if (y != last) return;
    FinishTargetRow();
  }
}

void RowStreamScaler::FinishTargetRow() {
  if (inner_rows_ > 0) {
    FoldInnerRows(acc_.get(), inner_.get(), static_cast<std::uint32_t>(target_height_), samples_);
    inner_rows_ = 0;
  }
  columns_.Run(acc_.get(), out_ + out_stride_ * static_cast<std::size_t>(next_target_));
  ++next_target_;
}

}  // namespace albumora::imaging_internal
