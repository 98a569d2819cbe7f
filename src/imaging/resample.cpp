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

namespace albumora {
namespace {

// The source pixels one target pixel covers: `first` with `first_weight`, then count - 2 inner
// pixels of weight `inner_weight`, then the last with `last_weight` (when count > 1).
struct Span {
  std::int32_t first;
  std::int32_t count;
  std::uint32_t first_weight;
  std::uint32_t last_weight;
};

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

// The two row loops carry the work; where the toolchain can pick code by processor at load time,
// they get an AVX2 version beside the baseline one.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__linux__)
#define ALBUMORA_HOT __attribute__((noinline, target_clones("avx2", "default")))
#else
#define ALBUMORA_HOT
#endif

constexpr std::size_t kBlock = 64;  // samples summed in registers at a time
constexpr int kMaxShortSum = 257;   // rows whose bytes add up within 16 bits (257 * 255)

// acc[k] = weighted sum over the rows of `span` (n = samples per row).
ALBUMORA_HOT void SumRows(const RasterImage& image, const Span& span, std::uint32_t inner_weight,
                          std::size_t n, std::uint32_t* acc, std::uint32_t* inner) {
  const std::uint8_t* first = image.row(span.first);
  const std::uint32_t fw = span.first_weight;
  if (span.count == 1) {
    for (std::size_t k = 0; k < n; ++k) acc[k] = first[k] * fw;
    return;
  }
  const std::uint8_t* last = image.row(span.first + span.count - 1);
  const std::uint32_t lw = span.last_weight;
  if (span.count == 2) {
    for (std::size_t k = 0; k < n; ++k) acc[k] = first[k] * fw + last[k] * lw;
    return;
  }
  const int inner_rows = span.count - 2;
  if (inner_rows <= kMaxShortSum) {
    // The inner rows are summed a block of samples at a time in 16 bits, in registers, so
    // every source byte is loaded once and nothing else goes through memory.
    const std::size_t stride = image.stride();
    const std::uint8_t* inner_rows_start = image.row(span.first + 1);
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
  const std::uint8_t* row = image.row(span.first + 1);
  for (std::size_t k = 0; k < n; ++k) inner[k] = row[k];
  for (int j = 2; j < span.count - 1; ++j) {
    row = image.row(span.first + j);
    for (std::size_t k = 0; k < n; ++k) inner[k] += row[k];
  }
  for (std::size_t k = 0; k < n; ++k) {
    acc[k] = first[k] * fw + last[k] * lw + inner[k] * inner_weight;
  }
}

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

// Everything after the checks of ScaleRasterImage; it may throw std::bad_alloc.
void Scale(RasterImage& image, int width, int height, ImagingWorkspace* workspace) {
  const int source_width = image.width();
  const int source_height = image.height();
  const std::vector<Span> rows = Spans(source_height, height);
  const std::vector<Span> columns = Spans(source_width, width);
  const auto divisor = static_cast<std::uint64_t>(source_width) * source_height;
  const int shift = 24 + static_cast<int>(std::bit_width(divisor));
  const std::uint64_t multiplier = ((std::uint64_t{1} << shift) + divisor / 2) / divisor;

  const std::size_t n = image.stride();
  std::vector<std::uint32_t> own_words;
  std::vector<std::uint32_t>& words =
      workspace != nullptr ? *WorkspaceAccess::Words(*workspace) : own_words;
  if (words.size() < 2 * n) words.resize(2 * n);
  std::uint32_t* acc = words.data();
  std::uint32_t* inner = words.data() + n;

  // A vertical sum is at most 255 * source_height; a span covers at most this many of them.
  const std::uint64_t longest_span = static_cast<std::uint64_t>(source_width) / width + 2;
  const bool narrow_sums =
      longest_span * 255 * static_cast<std::uint64_t>(source_height) < (std::uint64_t{1} << 32);
  RasterImage scaled = imaging_internal::NewRasterImage(width, height, workspace);
  std::uint8_t* out = RasterImageAccess::FreshData(scaled);
  for (int y = 0; y < height; ++y) {
    SumRows(image, rows[static_cast<std::size_t>(y)], static_cast<std::uint32_t>(height), n, acc,
            inner);
    std::uint8_t* target = out + scaled.stride() * static_cast<std::size_t>(y);
    const auto inner_weight = static_cast<std::uint32_t>(width);
    if (narrow_sums) {
      SumColumns<std::uint32_t>(acc, columns, inner_weight, multiplier, shift, target);
    } else {
      SumColumns<std::uint64_t>(acc, columns, inner_weight, multiplier, shift, target);
    }
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

}  // namespace albumora
