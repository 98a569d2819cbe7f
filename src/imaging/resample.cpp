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
// pass adds whole rows, the inner rows of a span 16 bits wide in registers. Both passes run in
// SIMD (resample_kernels.cpp).
#include <cstdint>
#include <new>
#include <vector>

#include "imaging/imaging_internal.h"
#include "imaging/raster_image.h"
#include "imaging/resample_rows.h"

namespace albumora {
namespace {

using imaging_internal::Span;

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
  if (words.size() < 2 * n + imaging_internal::kSumPadding) {
    words.resize(2 * n + imaging_internal::kSumPadding);
  }
  std::uint32_t* inner = words.data();
  std::uint32_t* acc = words.data() + n;

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

}  // namespace albumora
