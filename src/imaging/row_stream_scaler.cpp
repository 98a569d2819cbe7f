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
      acc_(std::make_unique<std::uint32_t[]>(samples_ + kSumPadding)),
      inner_(std::make_unique_for_overwrite<std::uint16_t[]>(samples_)),
      wide_inner_(std::make_unique_for_overwrite<std::uint32_t[]>(samples_)) {}

void RowStreamScaler::TakeRows(const std::uint8_t* rows, std::size_t stride, int count) {
  const int band_first = next_row_;
  const int band_end = next_row_ + count;
  auto row = [&](int y) { return rows + stride * static_cast<std::size_t>(y - band_first); };
  const auto inner_weight = static_cast<std::uint32_t>(target_height_);
  while (next_target_ < target_height_) {
    const Span& span = spans_[static_cast<std::size_t>(next_target_)];
    const int last = span.first + span.count - 1;
    if (span.first >= band_end) break;
    if (!open_ && last < band_end) {
      // The whole span is in this band: summed in one pass, as from a whole picture.
      SumSpanRows(row(span.first), stride, span, inner_weight, samples_, acc_.get(),
                  wide_inner_.get());
      FinishTargetRow();
      continue;
    }
    // The span goes on into the next band: what lies in this one is added to the open sums.
    const int from = open_ ? band_first : span.first;
    const int to = std::min(last, band_end - 1);
    if (from == span.first) StartRowSum(acc_.get(), row(from), span.first_weight, samples_);
    for (int y = std::max(from, span.first + 1); y <= std::min(to, last - 1);) {
      // Fully covered rows in 16 bits, folded in before they could overflow.
      const int run = std::min(std::min(to, last - 1) - y + 1, kMaxInnerRows - inner_rows_);
      AddInnerRows(inner_.get(), inner_rows_ == 0, row(y), stride, run, samples_);
      inner_rows_ += run;
      if (inner_rows_ == kMaxInnerRows) FoldInner();
      y += run;
    }
    open_ = true;
    if (to < last) break;
    if (last > span.first) AddWeightedRow(acc_.get(), row(last), span.last_weight, samples_);
    FoldInner();
    FinishTargetRow();
  }
  next_row_ = band_end;
}

void RowStreamScaler::FoldInner() {
  if (inner_rows_ == 0) return;
  FoldInnerRows(acc_.get(), inner_.get(), static_cast<std::uint32_t>(target_height_), samples_);
  inner_rows_ = 0;
}

void RowStreamScaler::FinishTargetRow() {
  columns_.Run(acc_.get(), out_ + out_stride_ * static_cast<std::size_t>(next_target_));
  open_ = false;
  ++next_target_;
}

}  // namespace albumora::imaging_internal
