// The row kernels of the area-averaging resampler, shared by ScaleRasterImage (which reads a whole
// picture) and the streaming scaler (which is handed the rows one band at a time). Both compute the
// same exact integer sums and divide them the same way, so they give the same bytes.
#ifndef ALBUMORA_IMAGING_RESAMPLE_ROWS_H_
#define ALBUMORA_IMAGING_RESAMPLE_ROWS_H_

#include <cstddef>
#include <cstdint>
#include <vector>

namespace albumora::imaging_internal {

// The source pixels one target pixel covers: `first` with `first_weight`, then count - 2 inner
// pixels of weight `inner_weight` (the target's size along the axis), then the last with
// `last_weight` (when count > 1).
struct Span {
  std::int32_t first;
  std::int32_t count;
  std::uint32_t first_weight;
  std::uint32_t last_weight;
};

std::vector<Span> Spans(int source, int target);

// How a sum over a source_width x source_height area becomes a mean, rounded to nearest.
struct Divisor {
  std::uint64_t multiplier;
  int shift;
};
Divisor AreaDivisor(int source_width, int source_height);

// The vertical sums are read a pixel at a time in vectors of four words, so a buffer of them holds
// this many words more than the row's samples (their values do not matter).
inline constexpr std::size_t kSumPadding = 1;

// One target row from the vertical sums `acc` (3 per source pixel, then kSumPadding): the
// horizontal weighted sum, divided and rounded. `source_height` bounds a vertical sum at
// 255 * source_height.
class ColumnPass {
 public:
  ColumnPass(int source_width, int source_height, int target_width);
  void Run(const std::uint32_t* acc, std::uint8_t* out) const;

 private:
  std::vector<Span> spans_;
  std::uint32_t inner_weight_;
  Divisor divisor_;
  bool narrow_sums_;    // whether the sum over a span fits 32 bits
  bool word_sums_;      // whether a whole weighted sum does
  int even_inner_ = 0;  // when > 0, every span has this many fully covered pixels or one more
};

// ColumnPass::Run in 64 bits throughout, for sums too large for 32-bit lanes (pictures tens of
// thousands of pixels tall, shrunk hundreds of times) and for processors without SIMD.
void SumColumnsWide(const std::uint32_t* acc, const Span* spans, std::size_t count,
                    std::uint32_t inner_weight, Divisor divisor, std::uint8_t* out);

// ColumnPass::Run for sums that fit 32 bits, in SIMD; `word_sums` when the weighted sums do too.
void SumColumnsNarrow(const std::uint32_t* acc, const std::vector<Span>& spans,
                      std::uint32_t inner_weight, Divisor divisor, int even_inner, bool word_sums,
                      std::uint8_t* out);

// acc = the weighted sum of the span's rows, the first at `first`, the next `stride` bytes on
// (n samples each); `inner` is scratch of n words, used for spans of very many rows.
void SumSpanRows(const std::uint8_t* first, std::size_t stride, const Span& span,
                 std::uint32_t inner_weight, std::size_t n, std::uint32_t* acc,
                 std::uint32_t* inner);

// Vertical sums of streamed rows (n samples each); all exact in 32 bits.
// acc = row * weight
void StartRowSum(std::uint32_t* acc, const std::uint8_t* row, std::uint32_t weight, std::size_t n);
// acc += row * weight
void AddWeightedRow(std::uint32_t* acc, const std::uint8_t* row, std::uint32_t weight,
                    std::size_t n);
// inner += the `count` rows at rows, rows + stride, ...; at most kMaxInnerRows rows in all
// before FoldInnerRows. A `fresh` sum starts from 0 rather than from what inner holds.
void AddInnerRows(std::uint16_t* inner, bool fresh, const std::uint8_t* rows, std::size_t stride,
                  int count, std::size_t n);
// acc += inner * weight
void FoldInnerRows(std::uint32_t* acc, const std::uint16_t* inner, std::uint32_t weight,
                   std::size_t n);

// Rows of bytes whose sum stays within 16 bits (257 * 255 = 65535).
inline constexpr int kMaxInnerRows = 257;

}  // namespace albumora::imaging_internal

#endif  // ALBUMORA_IMAGING_RESAMPLE_ROWS_H_
