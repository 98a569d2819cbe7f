// The resampler's row kernels in SIMD, built once for every processor family Highway knows and
// picked when the program runs. Every kernel computes the same exact integer sums as a plain
// loop would, so the bytes do not depend on the processor.
//
// Vertical kernels: a block of samples is summed over the rows of a span in 16-bit lanes held in
// registers (at most kMaxInnerRows rows of bytes fit), so every source byte is loaded once, and
// only the finished 32-bit weighted sums are stored.
//
// Horizontal kernel: one target pixel at a time, its three channels in the first three lanes of
// a 128-bit vector (the fourth lane holds the next sample and is never used). The sums of the
// covered pixels are 32-bit lanes; weighting, dividing and rounding happen in 64-bit lanes.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "imaging/resample_rows.h"

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "imaging/resample_kernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

HWY_BEFORE_NAMESPACE();
namespace albumora::imaging_internal {
namespace HWY_NAMESPACE {
namespace {

namespace hn = hwy::HWY_NAMESPACE;

// A full vector of 16-bit sums and the bytes that widen into it; a full vector of 32-bit sums
// and the bytes and 16-bit sums that widen into it.
using D16 = hn::ScalableTag<std::uint16_t>;
using D8For16 = hn::Rebind<std::uint8_t, D16>;
using D32 = hn::ScalableTag<std::uint32_t>;
using D8For32 = hn::Rebind<std::uint8_t, D32>;
using D16For32 = hn::Rebind<std::uint16_t, D32>;
using V16 = hn::Vec<D16>;
using V32 = hn::Vec<D32>;

HWY_INLINE V16 ShortsAt(const std::uint8_t* p) {
  return hn::PromoteTo(D16(), hn::LoadU(D8For16(), p));
}
HWY_INLINE V32 WordsAt(const std::uint8_t* p) {
  return hn::PromoteTo(D32(), hn::LoadU(D8For32(), p));
}
HWY_INLINE V32 WordsAt(const std::uint16_t* p) {
  return hn::PromoteTo(D32(), hn::LoadU(D16For32(), p));
}
HWY_INLINE V32 WordsAt(const std::uint32_t* p) { return hn::LoadU(D32(), p); }

// acc = first * fw + last * lw + inner * iw for the words of one vector at offset `at`.
HWY_INLINE void StoreSpanSum(const std::uint8_t* first, const std::uint8_t* last, V32 inner, V32 fw,
                             V32 lw, V32 iw, std::size_t at, std::uint32_t* acc) {
  const V32 sum =
      hn::Add(hn::Add(hn::Mul(WordsAt(first + at), fw), hn::Mul(WordsAt(last + at), lw)),
              hn::Mul(inner, iw));
  hn::StoreU(sum, D32(), acc + at);
}

}  // namespace

void SumSpanRowsKernel(const std::uint8_t* first, std::size_t stride, const Span& span,
                       std::uint32_t inner_weight, std::size_t n, std::uint32_t* acc,
                       std::uint32_t* inner) {
  const D32 d32;
  const std::size_t words = hn::Lanes(d32);
  const std::uint32_t fw = span.first_weight;
  const std::uint32_t lw = span.last_weight;
  const V32 fw_v = hn::Set(d32, fw);
  const V32 lw_v = hn::Set(d32, lw);
  const V32 iw_v = hn::Set(d32, inner_weight);
  std::size_t k = 0;
  if (span.count == 1) {
    for (; k + words <= n; k += words) hn::StoreU(hn::Mul(WordsAt(first + k), fw_v), d32, acc + k);
    for (; k < n; ++k) acc[k] = first[k] * fw;
    return;
  }
  const std::uint8_t* last = first + stride * static_cast<std::size_t>(span.count - 1);
  if (span.count == 2) {
    for (; k + words <= n; k += words) {
      StoreSpanSum(first, last, hn::Zero(d32), fw_v, lw_v, iw_v, k, acc);
    }
    for (; k < n; ++k) acc[k] = first[k] * fw + last[k] * lw;
    return;
  }
  const int inner_rows = span.count - 2;
  const std::uint8_t* inner_start = first + stride;
  if (inner_rows <= kMaxInnerRows) {
#if HWY_TARGET != HWY_SCALAR  // one lane has no halves; the loop below does it all
    const D16 d16;
    const std::size_t shorts = hn::Lanes(d16);
    const hn::Half<D16> half;
    // Two vectors of sums at a time, so that two additions are under way.
    for (; k + 2 * shorts <= n; k += 2 * shorts) {
      V16 sum0 = hn::Zero(d16);
      V16 sum1 = hn::Zero(d16);
      const std::uint8_t* row = inner_start + k;
      for (int j = 0; j < inner_rows; ++j, row += stride) {
        sum0 = hn::Add(sum0, ShortsAt(row));
        sum1 = hn::Add(sum1, ShortsAt(row + shorts));
      }
      StoreSpanSum(first, last, hn::PromoteTo(d32, hn::LowerHalf(half, sum0)), fw_v, lw_v, iw_v, k,
                   acc);
      StoreSpanSum(first, last, hn::PromoteTo(d32, hn::UpperHalf(half, sum0)), fw_v, lw_v, iw_v,
                   k + words, acc);
      StoreSpanSum(first, last, hn::PromoteTo(d32, hn::LowerHalf(half, sum1)), fw_v, lw_v, iw_v,
                   k + 2 * words, acc);
      StoreSpanSum(first, last, hn::PromoteTo(d32, hn::UpperHalf(half, sum1)), fw_v, lw_v, iw_v,
                   k + 3 * words, acc);
    }
#endif
    for (; k < n; ++k) {
      std::uint32_t sum = 0;
      const std::uint8_t* row = inner_start + k;
      for (int j = 0; j < inner_rows; ++j, row += stride) sum += *row;
      acc[k] = first[k] * fw + last[k] * lw + sum * inner_weight;
    }
    return;
  }
  // Spans of very many rows (a copy hundreds of times smaller than the photo) sum in 32 bits.
  for (k = 0; k < n; ++k) inner[k] = inner_start[k];
  const std::uint8_t* row = inner_start;
  for (int j = 1; j < inner_rows; ++j) {
    row += stride;
    for (k = 0; k + words <= n; k += words) {
      hn::StoreU(hn::Add(hn::LoadU(d32, inner + k), WordsAt(row + k)), d32, inner + k);
    }
    for (; k < n; ++k) inner[k] += row[k];
  }
  for (k = 0; k + words <= n; k += words) {
    StoreSpanSum(first, last, hn::LoadU(d32, inner + k), fw_v, lw_v, iw_v, k, acc);
  }
  for (; k < n; ++k) acc[k] = first[k] * fw + last[k] * lw + inner[k] * inner_weight;
}

void StartRowSumKernel(std::uint32_t* acc, const std::uint8_t* row, std::uint32_t weight,
                       std::size_t n) {
  const D32 d32;
  const V32 w = hn::Set(d32, weight);
  std::size_t k = 0;
  for (; k + hn::Lanes(d32) <= n; k += hn::Lanes(d32)) {
    hn::StoreU(hn::Mul(WordsAt(row + k), w), d32, acc + k);
  }
  for (; k < n; ++k) acc[k] = row[k] * weight;
}

namespace {

// acc += values * weight, for rows of bytes and for 16-bit sums of rows.
template <typename T>
HWY_INLINE void AddWeighted(std::uint32_t* acc, const T* values, std::uint32_t weight,
                            std::size_t n) {
  const D32 d32;
  const V32 w = hn::Set(d32, weight);
  std::size_t k = 0;
  for (; k + hn::Lanes(d32) <= n; k += hn::Lanes(d32)) {
    hn::StoreU(hn::Add(WordsAt(acc + k), hn::Mul(WordsAt(values + k), w)), d32, acc + k);
  }
  for (; k < n; ++k) acc[k] += values[k] * weight;
}

}  // namespace

void AddWeightedRowKernel(std::uint32_t* acc, const std::uint8_t* row, std::uint32_t weight,
                          std::size_t n) {
  AddWeighted(acc, row, weight, n);
}

void AddInnerRowsKernel(std::uint16_t* inner, bool fresh, const std::uint8_t* rows,
                        std::size_t stride, int count, std::size_t n) {
  const D16 d16;
  const std::size_t shorts = hn::Lanes(d16);
  std::size_t k = 0;
  for (; k + 2 * shorts <= n; k += 2 * shorts) {
    V16 sum0 = fresh ? hn::Zero(d16) : hn::LoadU(d16, inner + k);
    V16 sum1 = fresh ? hn::Zero(d16) : hn::LoadU(d16, inner + k + shorts);
    const std::uint8_t* row = rows + k;
    for (int j = 0; j < count; ++j, row += stride) {
      sum0 = hn::Add(sum0, ShortsAt(row));
      sum1 = hn::Add(sum1, ShortsAt(row + shorts));
    }
    hn::StoreU(sum0, d16, inner + k);
    hn::StoreU(sum1, d16, inner + k + shorts);
  }
  for (; k < n; ++k) {
    std::uint32_t sum = fresh ? 0 : inner[k];
    const std::uint8_t* row = rows + k;
    for (int j = 0; j < count; ++j, row += stride) sum += *row;
    inner[k] = static_cast<std::uint16_t>(sum);
  }
}

void FoldInnerRowsKernel(std::uint32_t* acc, const std::uint16_t* inner, std::uint32_t weight,
                         std::size_t n) {
  AddWeighted(acc, inner, weight, n);
}

#if HWY_TARGET != HWY_SCALAR  // a pixel needs four lanes
namespace {

// One pixel's three channels and the next sample.
using DPixel = hn::FixedTag<std::uint32_t, 4>;
using VPixel = hn::Vec<DPixel>;

// Dividing a weighted sum takes its two 32-bit halves apart, unless every weighted sum fits 32
// bits (255 times the photo's pixel count does: photos up to 16.8 megapixels).
#if HWY_ARCH_X86 && HWY_TARGET <= HWY_AVX2
// Turns the sums of one target pixel into its bytes. With 256-bit vectors the four lanes widen
// to 64 bits in one register.
template <bool kWordSums>
class PixelFinisher {
 public:
  PixelFinisher(std::uint32_t inner_weight, std::uint64_t multiplier, int shift)
      : inner_weight_(hn::Set(kHalves, inner_weight)),
        multiplier_(hn::Set(kHalves, static_cast<std::uint32_t>(multiplier))),
        half_(hn::Set(kWide, std::uint64_t{1} << (shift - 1))),
        shift_(shift) {}

  // The target pixel from its first pixel, the sum of its fully covered pixels and its last
  // pixel, written to out[0..3).
  HWY_INLINE void Finish(VPixel first, VPixel inner, VPixel last, const Span& span,
                         std::uint8_t* out) const {
    const VWide sum = hn::Add(
        hn::Add(Weigh(first, hn::Set(kHalves, span.first_weight)), Weigh(inner, inner_weight_)),
        Weigh(last, hn::Set(kHalves, span.last_weight)));
    // (sum * multiplier + half) >> shift, exact while the product stays below 2^64 (as the
    // divisor is chosen): the multiplier has 32 bits, the sum is taken in two halves.
    VWide product = hn::MulEven(hn::BitCast(kHalves, sum), multiplier_);
    if constexpr (!kWordSums) {
      const VWide high = hn::MulEven(hn::BitCast(kHalves, hn::ShiftRight<32>(sum)), multiplier_);
      product = hn::Add(product, hn::ShiftLeft<32>(high));
    }
    const VWide mean = hn::ShiftRightSame(hn::Add(product, half_), shift_);
    const auto bytes = hn::TruncateTo(hn::FixedTag<std::uint8_t, 4>(), mean);
    const std::uint32_t word = hn::GetLane(hn::BitCast(hn::FixedTag<std::uint32_t, 1>(), bytes));
    std::memcpy(out, &word, 3);
  }

 private:
  using DWide = hn::FixedTag<std::uint64_t, 4>;
  using DHalves = hn::Repartition<std::uint32_t, DWide>;
  using VWide = hn::Vec<DWide>;
  using VHalves = hn::Vec<DHalves>;
  static constexpr DWide kWide{};
  static constexpr DHalves kHalves{};

  // Every lane times the weight, in 64 bits.
  static HWY_INLINE VWide Weigh(VPixel v, VHalves weight) {
    return hn::MulEven(hn::BitCast(kHalves, hn::PromoteTo(kWide, v)), weight);
  }

  VHalves inner_weight_;
  VHalves multiplier_;
  VWide half_;
  int shift_;
};
#else
// The same with 128-bit vectors: the channels are weighed and divided as even lanes (red, blue)
// and odd lanes (green), as the processors multiply 32 by 32 bits into 64 only in even lanes.
template <bool kWordSums>
class PixelFinisher {
 public:
  PixelFinisher(std::uint32_t inner_weight, std::uint64_t multiplier, int shift)
      : inner_weight_(hn::Set(DPixel(), inner_weight)),
        multiplier_(hn::Set(DPixel(), static_cast<std::uint32_t>(multiplier))),
        half_(hn::Set(DWide(), std::uint64_t{1} << (shift - 1))),
        shift_(shift) {}

  HWY_INLINE void Finish(VPixel first, VPixel inner, VPixel last, const Span& span,
                         std::uint8_t* out) const {
    const DPixel d;
    const VPixel fw = hn::Set(d, span.first_weight);
    const VPixel lw = hn::Set(d, span.last_weight);
    const VWide red_blue = hn::Add(
        hn::Add(hn::MulEven(first, fw), hn::MulEven(inner, inner_weight_)), hn::MulEven(last, lw));
    const VWide green = hn::Add(
        hn::Add(hn::MulEven(OddLanes(first), fw), hn::MulEven(OddLanes(inner), inner_weight_)),
        hn::MulEven(OddLanes(last), lw));
    // Each 64-bit lane now holds a byte: red and blue, green and nothing.
    const VWide bytes = hn::Or(Divide(red_blue), hn::ShiftLeft<8>(Divide(green)));
    out[0] = static_cast<std::uint8_t>(hn::GetLane(bytes));
    out[1] = static_cast<std::uint8_t>(hn::GetLane(bytes) >> 8);
    out[2] = static_cast<std::uint8_t>(hn::ExtractLane(bytes, 1));
  }

 private:
  using DWide = hn::Repartition<std::uint64_t, DPixel>;
  using VWide = hn::Vec<DWide>;

  // Lanes 1 and 3 moved to where MulEven reads them (0 and 2).
  static HWY_INLINE VPixel OddLanes(VPixel v) {
    return hn::BitCast(DPixel(), hn::ShiftRight<32>(hn::BitCast(DWide(), v)));
  }

  HWY_INLINE VWide Divide(VWide sum) const {
    VWide product = hn::MulEven(hn::BitCast(DPixel(), sum), multiplier_);
    if constexpr (!kWordSums) {
      const VWide high = hn::MulEven(hn::BitCast(DPixel(), hn::ShiftRight<32>(sum)), multiplier_);
      product = hn::Add(product, hn::ShiftLeft<32>(high));
    }
    return hn::ShiftRightSame(hn::Add(product, half_), shift_);
  }

  VPixel inner_weight_;
  VPixel multiplier_;
  VWide half_;
  int shift_;
};
#endif

// The horizontal pass with `finisher`. When every span has even_inner fully covered pixels or
// one more, the loop over them runs the same number of times for every pixel, so its end is
// never mispredicted, and the optional pixel is added under a mask (it is the span's last pixel
// when there is none).
template <typename Finisher>
void SumColumnsWith(const Finisher& finisher, const std::uint32_t* acc, const Span* spans,
                    std::size_t count, int even_inner, std::uint8_t* out) {
  const DPixel d;
  for (const Span* span = spans; span != spans + count; ++span, out += 3) {
    const std::uint32_t* p = acc + std::size_t{3} * static_cast<std::size_t>(span->first);
    const std::uint32_t* q = p + 3;
    VPixel inner = hn::Zero(d);
    if (even_inner > 0) {
      for (int i = 0; i < even_inner; ++i, q += 3) inner = hn::Add(inner, hn::LoadU(d, q));
      const int more = span->count - 2 - even_inner;  // 0 or 1
      inner =
          hn::Add(inner, hn::And(hn::LoadU(d, q), hn::Set(d, 0u - static_cast<unsigned>(more))));
      q += 3 * more;
    } else if (span->count == 1) {
      q = p;  // the last weight is 0
    } else {
      for (int i = 1; i < span->count - 1; ++i, q += 3) inner = hn::Add(inner, hn::LoadU(d, q));
    }
    finisher.Finish(hn::LoadU(d, p), inner, hn::LoadU(d, q), *span, out);
  }
}

}  // namespace
#endif

void SumColumnsKernel(const std::uint32_t* acc, const Span* spans, std::size_t count,
                      std::uint32_t inner_weight, std::uint64_t multiplier, int shift,
                      int even_inner, bool word_sums, std::uint8_t* out) {
#if HWY_TARGET == HWY_SCALAR
  (void)even_inner;
  (void)word_sums;
  SumColumnsWide(acc, spans, count, inner_weight, Divisor{multiplier, shift}, out);
#else
  if (word_sums) {
    SumColumnsWith(PixelFinisher<true>(inner_weight, multiplier, shift), acc, spans, count,
                   even_inner, out);
  } else {
    SumColumnsWith(PixelFinisher<false>(inner_weight, multiplier, shift), acc, spans, count,
                   even_inner, out);
  }
#endif
}

// NOLINTNEXTLINE(google-readability-namespace-comments)
}  // namespace HWY_NAMESPACE
}  // namespace albumora::imaging_internal
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace albumora::imaging_internal {

HWY_EXPORT(SumSpanRowsKernel);
HWY_EXPORT(StartRowSumKernel);
HWY_EXPORT(AddWeightedRowKernel);
HWY_EXPORT(AddInnerRowsKernel);
HWY_EXPORT(FoldInnerRowsKernel);
HWY_EXPORT(SumColumnsKernel);

void SumSpanRows(const std::uint8_t* first, std::size_t stride, const Span& span,
                 std::uint32_t inner_weight, std::size_t n, std::uint32_t* acc,
                 std::uint32_t* inner) {
  HWY_DYNAMIC_DISPATCH(SumSpanRowsKernel)(first, stride, span, inner_weight, n, acc, inner);
}

void StartRowSum(std::uint32_t* acc, const std::uint8_t* row, std::uint32_t weight, std::size_t n) {
  HWY_DYNAMIC_DISPATCH(StartRowSumKernel)(acc, row, weight, n);
}

void AddWeightedRow(std::uint32_t* acc, const std::uint8_t* row, std::uint32_t weight,
                    std::size_t n) {
  HWY_DYNAMIC_DISPATCH(AddWeightedRowKernel)(acc, row, weight, n);
}

void AddInnerRows(std::uint16_t* inner, bool fresh, const std::uint8_t* rows, std::size_t stride,
                  int count, std::size_t n) {
  HWY_DYNAMIC_DISPATCH(AddInnerRowsKernel)(inner, fresh, rows, stride, count, n);
}

void FoldInnerRows(std::uint32_t* acc, const std::uint16_t* inner, std::uint32_t weight,
                   std::size_t n) {
  HWY_DYNAMIC_DISPATCH(FoldInnerRowsKernel)(acc, inner, weight, n);
}

void SumColumnsNarrow(const std::uint32_t* acc, const std::vector<Span>& spans,
                      std::uint32_t inner_weight, Divisor divisor, int even_inner, bool word_sums,
                      std::uint8_t* out) {
  HWY_DYNAMIC_DISPATCH(SumColumnsKernel)
  (acc, spans.data(), spans.size(), inner_weight, divisor.multiplier, divisor.shift, even_inner,
   word_sums, out);
}

}  // namespace albumora::imaging_internal
#endif  // HWY_ONCE
