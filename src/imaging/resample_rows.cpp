// The plan of the area-averaging resampler (see resample.cpp for the arithmetic): which source
// pixels each target pixel covers, the divisor, and the horizontal pass. The hot loops are in
// resample_kernels.cpp.
#include "imaging/resample_rows.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <span>
#include <vector>

namespace albumora {

namespace imaging_internal {

std::vector<Span> Spans(int source, int target) {
  std::vector<Span> spans(static_cast<std::size_t>(target));
  for (int t = 0; t < target; ++t) {
    const std::int64_t begin = std::int64_t{t} * source;
    const std::int64_t end = begin + source;
    const std::int64_t first = begin / target;
    const std::int64_t last = (end - 1) / target;
    Span& span = spans[static_cast<std::size_t>(t)];
    span.first = static_cast<std::int32_t>(first);
    span.count = static_cast<std::int32_t>(last - first + 1);
    if (first == last) {
      span.first_weight = static_cast<std::uint32_t>(source);
      span.last_weight = 0;
    } else {
      span.first_weight = static_cast<std::uint32_t>((first + 1) * target - begin);
      span.last_weight = static_cast<std::uint32_t>(end - last * target);
    }
  }
  return spans;
}

Divisor AreaDivisor(int source_width, int source_height) {
  const auto divisor =
      static_cast<std::uint64_t>(source_width) * static_cast<std::uint64_t>(source_height);
  const int shift = 24 + static_cast<int>(std::bit_width(divisor));
  return {((std::uint64_t{1} << shift) + divisor / 2) / divisor, shift};
}

ColumnPass::ColumnPass(int source_width, int source_height, int target_width)
    : spans_(Spans(source_width, target_width)),
      inner_weight_(static_cast<std::uint32_t>(target_width)),
      divisor_(AreaDivisor(source_width, source_height)) {
  // A vertical sum is at most 255 * source_height; a span covers at most this many of them.
  const std::uint64_t longest_span = static_cast<std::uint64_t>(source_width) / target_width + 2;
  const auto height = static_cast<std::uint64_t>(source_height);
  narrow_sums_ = longest_span * 255 * height < (std::uint64_t{1} << 32);
  // A weighted sum is at most 255 * source_width * source_height.
  word_sums_ = 255 * static_cast<std::uint64_t>(source_width) * height < (std::uint64_t{1} << 32);
  const auto [fewest, most] = std::minmax_element(
      spans_.begin(), spans_.end(), [](const Span& a, const Span& b) { return a.count < b.count; });
  if (fewest->count >= 3 && most->count - fewest->count <= 1) even_inner_ = fewest->count - 2;
}

void SumColumnsWide(const std::uint32_t* acc, const Span* spans, std::size_t count,
                    std::uint32_t inner_weight, Divisor divisor, std::uint8_t* out) {
  const std::uint64_t multiplier = divisor.multiplier;
  const int shift = divisor.shift;
  const std::uint64_t half = std::uint64_t{1} << (shift - 1);
  for (const Span& span : std::span(spans, count)) {
    const std::uint32_t* p = acc + std::size_t{3} * static_cast<std::size_t>(span.first);
    std::uint64_t r = std::uint64_t{p[0]} * span.first_weight;
    std::uint64_t g = std::uint64_t{p[1]} * span.first_weight;
    std::uint64_t b = std::uint64_t{p[2]} * span.first_weight;
    if (span.count > 1) {
      std::uint64_t ir = 0;
      std::uint64_t ig = 0;
      std::uint64_t ib = 0;
      const std::uint32_t* q = p + 3;
      for (int i = 1; i < span.count - 1; ++i, q += 3) {
        ir += q[0];
        ig += q[1];
        ib += q[2];
      }
      r += std::uint64_t{ir} * inner_weight + std::uint64_t{q[0]} * span.last_weight;
      g += std::uint64_t{ig} * inner_weight + std::uint64_t{q[1]} * span.last_weight;
      b += std::uint64_t{ib} * inner_weight + std::uint64_t{q[2]} * span.last_weight;
    }
    out[0] = static_cast<std::uint8_t>((r * multiplier + half) >> shift);
    out[1] = static_cast<std::uint8_t>((g * multiplier + half) >> shift);
    out[2] = static_cast<std::uint8_t>((b * multiplier + half) >> shift);
    out += 3;
  }
}

void ColumnPass::Run(const std::uint32_t* acc, std::uint8_t* out) const {
  if (narrow_sums_) {
    SumColumnsNarrow(acc, spans_, inner_weight_, divisor_, even_inner_, word_sums_, out);
  } else {
    SumColumnsWide(acc, spans_.data(), spans_.size(), inner_weight_, divisor_, out);
  }
}

}  // namespace imaging_internal
}  // namespace albumora
