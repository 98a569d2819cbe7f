// ScaleRasterImage: exact area averaging as a separable box filter in integers.
//
// Along one axis, take a source of n pixels and a target of m pixels and measure positions in
// units of 1/m source pixel: source pixel i covers [i*m, (i+1)*m) and target pixel t covers
// [t*n, (t+1)*n). The weight of a source pixel in a target pixel is the length of their overlap,
// an integer; a target pixel's weights add up to n. Fully covered pixels weigh m, the two edge
// pixels less; when enlarging, a target pixel lies inside one source pixel (weight n) or
// straddles two. The same rule thus shrinks and enlarges.
//
// The filter runs vertically first (each target row is the weighted sum of its source rows, exact
// in 32 bits: at most 255 * n_v), then horizontally on that row (exact in 64 bits: at most
// 255 * n_v * n_h < 2^38). The sum is divided by D = n_v * n_h with rounding to nearest, by
// multiplying with R = round(2^S / D) where 2^S is about 2^24 * D: the relative error of R is
// below 2^-25, so the result is the exactly rounded mean except within 1e-5 of a half.
// Vertical first keeps the expensive horizontal step to one pass per target row; the vertical
// pass adds whole rows, the inner rows of a span 16 bits wide in registers, which the compiler
// vectorises.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <new>
#include <vector>

#include "imaging/imaging_internal.h"
#include "imaging/raster_image.h"
#include "imaging/resample_rows.h"

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

}  // namespace imaging_internal

namespace {

using imaging_internal::Span;

// The two row loops carry the work; where the toolchain can pick code by processor at load time,
// they get an AVX2 version beside the baseline one.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__linux__)
#define ALBUMORA_HOT __attribute__((noinline, target_clones("avx2", "default")))
#else
#define ALBUMORA_HOT
#endif

constexpr std::size_t kBlock = 64;  // samples summed in registers at a time
constexpr int kMaxShortSum = 257;   // rows whose bytes add up within 16 bits (257 * 255)

}  // namespace

namespace imaging_internal {

// acc[k] = weighted sum over the rows of `span` (n = samples per row).
ALBUMORA_HOT void SumSpanRows(const std::uint8_t* first, std::size_t stride, const Span& span,
                              std::uint32_t inner_weight, std::size_t n, std::uint32_t* acc,
                              std::uint32_t* inner) {
  const std::uint32_t fw = span.first_weight;
  if (span.count == 1) {
    for (std::size_t k = 0; k < n; ++k) acc[k] = first[k] * fw;
    return;
  }
  const std::uint8_t* last = first + stride * static_cast<std::size_t>(span.count - 1);
  const std::uint32_t lw = span.last_weight;
  if (span.count == 2) {
    for (std::size_t k = 0; k < n; ++k) acc[k] = first[k] * fw + last[k] * lw;
    return;
  }
  const int inner_rows = span.count - 2;
  if (inner_rows <= kMaxShortSum) {
    // The inner rows are summed a block of samples at a time in 16 bits, in registers, so
    // every source byte is loaded once and nothing else goes through memory.
    const std::uint8_t* inner_rows_start = first + stride;
    std::size_t k = 0;
    for (; k + kBlock <= n; k += kBlock) {
      std::uint16_t sum[kBlock] = {};
      const std::uint8_t* row = inner_rows_start + k;
      for (int j = 0; j < inner_rows; ++j, row += stride) {
        for (std::size_t i = 0; i < kBlock; ++i)
          sum[i] = static_cast<std::uint16_t>(sum[i] + row[i]);
      }
      for (std::size_t i = 0; i < kBlock; ++i) {
        acc[k + i] = first[k + i] * fw + last[k + i] * lw + sum[i] * inner_weight;
      }
    }
    for (; k < n; ++k) {
      std::uint32_t sum = 0;
      const std::uint8_t* row = inner_rows_start + k;
      for (int j = 0; j < inner_rows; ++j, row += stride) sum += *row;
      acc[k] = first[k] * fw + last[k] * lw + sum * inner_weight;
    }
    return;
  }
  const std::uint8_t* row = first + stride;
  for (std::size_t k = 0; k < n; ++k) inner[k] = row[k];
  for (int j = 2; j < span.count - 1; ++j) {
    row += stride;
    for (std::size_t k = 0; k < n; ++k) inner[k] += row[k];
  }
  for (std::size_t k = 0; k < n; ++k) {
    acc[k] = first[k] * fw + last[k] * lw + inner[k] * inner_weight;
  }
}

}  // namespace imaging_internal

namespace {

// One target row from the vertical sums: the horizontal weighted sum, divided and rounded.
// `Inner` sums the fully covered pixels; 32 bits suffice unless a span is very long.
template <typename Inner>
ALBUMORA_HOT void SumColumns(const std::uint32_t* acc, const std::vector<Span>& spans,
                             std::uint32_t inner_weight, std::uint64_t multiplier, int shift,
                             std::uint8_t* out) {
  const std::uint64_t half = std::uint64_t{1} << (shift - 1);
  for (const Span& span : spans) {
    const std::uint32_t* p = acc + std::size_t{3} * static_cast<std::size_t>(span.first);
    std::uint64_t r = std::uint64_t{p[0]} * span.first_weight;
    std::uint64_t g = std::uint64_t{p[1]} * span.first_weight;
    std::uint64_t b = std::uint64_t{p[2]} * span.first_weight;
    if (span.count > 1) {
      Inner ir = 0;
      Inner ig = 0;
      Inner ib = 0;
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

// SumColumns for spans that all cover `inner` or inner + 1 fully covered pixels (inner >= 1), the
// usual case when shrinking: the loop runs the same number of times for every target pixel, so
// its end is never mispredicted, and the optional pixel is added under a mask. When a span has
// no such pixel, the masked one is its last pixel, so nothing is read outside the row.
template <typename Inner>
ALBUMORA_HOT void SumColumnsEven(const std::uint32_t* acc, const std::vector<Span>& spans,
                                 std::uint32_t inner_weight, std::uint64_t multiplier, int shift,
                                 int inner, std::uint8_t* out) {
  const std::uint64_t half = std::uint64_t{1} << (shift - 1);
  for (const Span& span : spans) {
    const std::uint32_t* p = acc + std::size_t{3} * static_cast<std::size_t>(span.first);
    Inner ir = 0;
    Inner ig = 0;
    Inner ib = 0;
    const std::uint32_t* q = p + 3;
    for (int i = 0; i < inner; ++i, q += 3) {
      ir += q[0];
      ig += q[1];
      ib += q[2];
    }
    const int more = span.count - 2 - inner;  // 0 or 1
    const std::uint32_t mask = 0u - static_cast<std::uint32_t>(more);
    ir += q[0] & mask;
    ig += q[1] & mask;
    ib += q[2] & mask;
    q += 3 * more;
    const std::uint64_t r = std::uint64_t{p[0]} * span.first_weight +
                            std::uint64_t{ir} * inner_weight +
                            std::uint64_t{q[0]} * span.last_weight;
    const std::uint64_t g = std::uint64_t{p[1]} * span.first_weight +
                            std::uint64_t{ig} * inner_weight +
                            std::uint64_t{q[1]} * span.last_weight;
    const std::uint64_t b = std::uint64_t{p[2]} * span.first_weight +
                            std::uint64_t{ib} * inner_weight +
                            std::uint64_t{q[2]} * span.last_weight;
    out[0] = static_cast<std::uint8_t>((r * multiplier + half) >> shift);
    out[1] = static_cast<std::uint8_t>((g * multiplier + half) >> shift);
    out[2] = static_cast<std::uint8_t>((b * multiplier + half) >> shift);
    out += 3;
  }
}

// Everything after the checks of ScaleRasterImage; it may throw std::bad_alloc.
void Scale(RasterImage& image, int width, int height, ImagingWorkspace* workspace) {
  const int source_width = image.width();
  const int source_height = image.height();
  const std::vector<Span> rows = imaging_internal::Spans(source_height, height);
  const imaging_internal::ColumnPass columns(source_width, source_height, width);

  const std::size_t n = image.stride();
  std::vector<std::uint32_t> own_words;
  std::vector<std::uint32_t>& words =
      workspace != nullptr ? *WorkspaceAccess::Words(*workspace) : own_words;
  if (words.size() < 2 * n) words.resize(2 * n);
  std::uint32_t* acc = words.data();
  std::uint32_t* inner = words.data() + n;

  RasterImage scaled = imaging_internal::NewRasterImage(width, height, workspace);
  std::uint8_t* out = RasterImageAccess::FreshData(scaled);
  for (int y = 0; y < height; ++y) {
    const Span& span = rows[static_cast<std::size_t>(y)];
    imaging_internal::SumSpanRows(image.row(span.first), image.stride(), span,
                                  static_cast<std::uint32_t>(height), n, acc, inner);
    columns.Run(acc, out + scaled.stride() * static_cast<std::size_t>(y));
  }
  scaled.set_colour_profile(image.colour_profile());
  image = std::move(scaled);
}

}  // namespace

void ScaleRasterImage(RasterImage& image, int width, int height, ImagingWorkspace* workspace) {
  if (image.empty() || (width == image.width() && height == image.height())) return;
  if (!imaging_internal::SizeWithinLimits(width, height, kMaxPixelCount)) return;
  // A new picture that cannot be made leaves the old one as it was, like a side of 0 does.
  try {
    Scale(image, width, height, workspace);
  } catch (const std::bad_alloc&) {
  }
}

namespace imaging_internal {

ColumnPass::ColumnPass(int source_width, int source_height, int target_width)
    : spans_(Spans(source_width, target_width)),
      inner_weight_(static_cast<std::uint32_t>(target_width)),
      divisor_(AreaDivisor(source_width, source_height)) {
  // A vertical sum is at most 255 * source_height; a span covers at most this many of them.
  const std::uint64_t longest_span = static_cast<std::uint64_t>(source_width) / target_width + 2;
  narrow_sums_ =
      longest_span * 255 * static_cast<std::uint64_t>(source_height) < (std::uint64_t{1} << 32);
  const auto [fewest, most] = std::minmax_element(
      spans_.begin(), spans_.end(), [](const Span& a, const Span& b) { return a.count < b.count; });
  if (fewest->count >= 3 && most->count - fewest->count <= 1) even_inner_ = fewest->count - 2;
}

void ColumnPass::Run(const std::uint32_t* acc, std::uint8_t* out) const {
  if (even_inner_ > 0) {
    if (narrow_sums_) {
      SumColumnsEven<std::uint32_t>(acc, spans_, inner_weight_, divisor_.multiplier, divisor_.shift,
                                    even_inner_, out);
    } else {
      SumColumnsEven<std::uint64_t>(acc, spans_, inner_weight_, divisor_.multiplier, divisor_.shift,
                                    even_inner_, out);
    }
    return;
  }
  if (narrow_sums_) {
    SumColumns<std::uint32_t>(acc, spans_, inner_weight_, divisor_.multiplier, divisor_.shift, out);
  } else {
    SumColumns<std::uint64_t>(acc, spans_, inner_weight_, divisor_.multiplier, divisor_.shift, out);
  }
}

ALBUMORA_HOT void StartRowSum(std::uint32_t* acc, const std::uint8_t* row, std::uint32_t weight,
                              std::size_t n) {
  for (std::size_t k = 0; k < n; ++k) acc[k] = row[k] * weight;
}

ALBUMORA_HOT void AddWeightedRow(std::uint32_t* acc, const std::uint8_t* row, std::uint32_t weight,
                                 std::size_t n) {
  for (std::size_t k = 0; k < n; ++k) acc[k] += row[k] * weight;
}

ALBUMORA_HOT void AddInnerRows(std::uint16_t* inner, const std::uint8_t* rows, std::size_t stride,
                               int count, std::size_t n) {
  // A block of samples is summed over all the rows in registers and stored once.
  std::size_t k = 0;
  for (; k + kBlock <= n; k += kBlock) {
    std::uint16_t sum[kBlock] = {};
    const std::uint8_t* row = rows + k;
    for (int j = 0; j < count; ++j, row += stride) {
      for (std::size_t i = 0; i < kBlock; ++i) sum[i] = static_cast<std::uint16_t>(sum[i] + row[i]);
    }
    for (std::size_t i = 0; i < kBlock; ++i) {
      inner[k + i] = static_cast<std::uint16_t>(inner[k + i] + sum[i]);
    }
  }
  for (; k < n; ++k) {
    std::uint32_t sum = inner[k];
    const std::uint8_t* row = rows + k;
    for (int j = 0; j < count; ++j, row += stride) sum += *row;
    inner[k] = static_cast<std::uint16_t>(sum);
  }
}

ALBUMORA_HOT void FoldInnerRows(std::uint32_t* acc, std::uint16_t* inner, std::uint32_t weight,
                                std::size_t n) {
  for (std::size_t k = 0; k < n; ++k) {
    acc[k] += inner[k] * weight;
    inner[k] = 0;
  }
}

}  // namespace imaging_internal
}  // namespace albumora
