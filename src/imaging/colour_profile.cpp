#include "imaging/colour_profile.h"

// clang-format off
#include <lcms2.h>
#include <lcms2_plugin.h>
// clang-format on

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <optional>
#include <type_traits>
#include <utility>

namespace albumora {
namespace {

// What LittleCMS may hold for one profile at a time. A damaged profile of a few kilobytes can
// declare colour tables of hundreds of megabytes, which LittleCMS allocates (and clears) before
// it finds the data missing; with this budget the allocation fails and the profile is refused.
// Real transforms stay far below it (a CMYK one holds about 2 MB).
constexpr std::size_t kMaxProfileMemory = 64 * 1024 * 1024;

// The fixed part of an ICC profile; anything shorter is not one.
constexpr std::size_t kIccHeaderBytes = 128;

std::uint32_t BigEndianWord(std::string_view bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i)
    value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

// The header's size and the tag table agree with the bytes there are. LittleCMS skips tags that
// point outside and reads a profile shorter than it says it is; such a profile was damaged on the
// way and its colours cannot be trusted.
bool TagTableIsSound(std::string_view icc) {
  constexpr std::size_t kTagEntryBytes = 12;
  const std::size_t declared = BigEndianWord(icc, 0);
  if (declared > icc.size() || declared < kIccHeaderBytes + 4) return false;
  const std::size_t count = BigEndianWord(icc, kIccHeaderBytes);
  const std::size_t table_end = kIccHeaderBytes + 4 + count * kTagEntryBytes;
  if (count > (declared - kIccHeaderBytes - 4) / kTagEntryBytes) return false;
  for (std::size_t entry = kIccHeaderBytes + 4; entry < table_end; entry += kTagEntryBytes) {
    const std::size_t offset = BigEndianWord(icc, entry + 4);
    const std::size_t size = BigEndianWord(icc, entry + 8);
    if (offset < table_end || offset > declared || size > declared - offset) return false;
  }
  return true;
}

// Each block carries its size in front, so that freeing it gives its share of the budget back.
constexpr std::size_t kBlockHeader = alignof(std::max_align_t);

struct MemoryBudget {
  std::atomic<std::size_t> used{0};
};

MemoryBudget& BudgetOf(cmsContext context) {
  return *static_cast<MemoryBudget*>(cmsGetContextUserData(context));
}

void* BoundedMalloc(cmsContext context, cmsUInt32Number size) {
  MemoryBudget& budget = BudgetOf(context);
  std::size_t used = budget.used.load();
  do {
    if (size > kMaxProfileMemory - used) return nullptr;
  } while (!budget.used.compare_exchange_weak(used, used + size));
  auto* block = static_cast<unsigned char*>(std::malloc(size + kBlockHeader));
  if (block == nullptr) {
    budget.used -= size;
    return nullptr;
  }
  const std::size_t stored = size;
  std::memcpy(block, &stored, sizeof stored);
  return block + kBlockHeader;
}

std::size_t BlockSize(const void* data) {
  std::size_t size = 0;
  std::memcpy(&size, static_cast<const unsigned char*>(data) - kBlockHeader, sizeof size);
  return size;
}

void BoundedFree(cmsContext context, void* data) {
  if (data == nullptr) return;
  BudgetOf(context).used -= BlockSize(data);
  std::free(static_cast<unsigned char*>(data) - kBlockHeader);
}

// LittleCMS reallocates only small lists: a new block and a copy will do.
void* BoundedRealloc(cmsContext context, void* data, cmsUInt32Number size) {
  void* fresh = BoundedMalloc(context, size);
  if (fresh == nullptr || data == nullptr) return fresh;
  std::memcpy(fresh, data, std::min<std::size_t>(size, BlockSize(data)));
  BoundedFree(context, data);
  return fresh;
}

void IgnoreError(cmsContext, cmsUInt32Number, const char*) {}

struct ContextDeleter {
  void operator()(cmsContext context) const { cmsDeleteContext(context); }
};
struct ProfileDeleter {
  void operator()(void* profile) const { cmsCloseProfile(profile); }
};
struct TransformDeleter {
  void operator()(void* transform) const { cmsDeleteTransform(transform); }
};
using ContextHandle = std::unique_ptr<std::remove_pointer_t<cmsContext>, ContextDeleter>;
using ProfileHandle = std::unique_ptr<void, ProfileDeleter>;
using TransformHandle = std::unique_ptr<void, TransformDeleter>;

bool UsableClass(cmsProfileClassSignature device_class) {
  return device_class == cmsSigInputClass || device_class == cmsSigDisplayClass ||
         device_class == cmsSigOutputClass || device_class == cmsSigColorSpaceClass;
}

cmsColorSpaceSignature ColourSpaceOf(PixelLayout layout) {
  switch (layout) {
    case PixelLayout::kRgb:
      return cmsSigRgbData;
    case PixelLayout::kGray:
      return cmsSigGrayData;
    case PixelLayout::kInvertedCmyk:
      return cmsSigCmykData;
  }
  return cmsSigRgbData;
}

bool DescriptionNamesSrgb(cmsHPROFILE profile) {
  char text[256] = {};
  cmsGetProfileInfoASCII(profile, cmsInfoDescription, "en", "US", text, sizeof text);
  text[sizeof text - 1] = '\0';
  return std::strstr(text, "sRGB") != nullptr;
}

bool NearXyz(const cmsCIEXYZ* a, const cmsCIEXYZ* b) {
  // Makers round the adapted primaries differently, by a few 1/10,000.
  constexpr double kTolerance = 0.003;
  return a != nullptr && b != nullptr && std::fabs(a->X - b->X) <= kTolerance &&
         std::fabs(a->Y - b->Y) <= kTolerance && std::fabs(a->Z - b->Z) <= kTolerance;
}

bool NearCurve(const cmsToneCurve* curve, const cmsToneCurve* reference) {
  if (curve == nullptr || reference == nullptr) return false;
  constexpr int kSamples = 64;
  for (int i = 0; i <= kSamples; ++i) {
    const float x = static_cast<float>(i) / kSamples;
    const float want = cmsEvalToneCurveFloat(reference, x);
    // Tables of 1024 entries match to 1/10,000; a gamma of 2.2 is off by 4/1,000 mid-range and
    // by a factor near black.
    if (std::fabs(cmsEvalToneCurveFloat(curve, x) - want) > 0.001f + 0.01f * want) return false;
  }
  return true;
}

// The standard's primaries and curves, compared with LittleCMS's own sRGB profile.
bool MatrixShaperIsSrgb(cmsHPROFILE profile, cmsHPROFILE srgb) {
  constexpr cmsTagSignature kColorants[] = {cmsSigRedColorantTag, cmsSigGreenColorantTag,
                                            cmsSigBlueColorantTag};
  constexpr cmsTagSignature kCurves[] = {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag};
  for (cmsTagSignature tag : kColorants) {
    if (!NearXyz(static_cast<const cmsCIEXYZ*>(cmsReadTag(profile, tag)),
                 static_cast<const cmsCIEXYZ*>(cmsReadTag(srgb, tag)))) {
      return false;
    }
  }
  for (cmsTagSignature tag : kCurves) {
    if (!NearCurve(static_cast<const cmsToneCurve*>(cmsReadTag(profile, tag)),
                   static_cast<const cmsToneCurve*>(cmsReadTag(srgb, tag)))) {
      return false;
    }
  }
  return true;
}

// A matrix-shaper profile (the kind cameras and most editors write) is judged by its numbers,
// whatever it calls itself; a table-based one by its description, as its tables cannot be
// compared cheaply ("sRGB IEC61966-2.1", "sRGB v4 ICC preference", "sRGB built-in").
bool IsSrgb(cmsHPROFILE profile, cmsHPROFILE srgb) {
  if (cmsGetColorSpace(profile) != cmsSigRgbData) return false;
  const bool tables = cmsIsTag(profile, cmsSigAToB0Tag) || cmsIsTag(profile, cmsSigAToB1Tag);
  if (cmsIsMatrixShaper(profile) && !tables) return MatrixShaperIsSrgb(profile, srgb);
  return DescriptionNamesSrgb(profile);
}

// Relative colorimetric with black-point compensation, as browsers and editors show photos.
// Without LittleCMS's one-pixel cache a transform holds no state between calls, so threads can
// share it.
TransformHandle ToSrgbTransform(cmsContext context, cmsHPROFILE profile, cmsUInt32Number format,
                                cmsHPROFILE srgb, cmsUInt32Number srgb_format) {
  return TransformHandle(cmsCreateTransformTHR(context, profile, format, srgb, srgb_format,
                                               INTENT_RELATIVE_COLORIMETRIC,
                                               cmsFLAGS_BLACKPOINTCOMPENSATION | cmsFLAGS_NOCACHE));
}

// LittleCMS's sRGB with linear curves: sRGB's primaries and white in linear light.
ProfileHandle LinearSrgb(cmsContext context) {
  ProfileHandle profile(cmsCreate_sRGBProfileTHR(context));
  cmsToneCurve* linear = cmsBuildGamma(context, 1.0);
  bool written = profile != nullptr && linear != nullptr;
  for (cmsTagSignature tag : {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag}) {
    written = written && cmsWriteTag(profile.get(), tag, linear);
  }
  if (linear != nullptr) cmsFreeToneCurve(linear);
  if (!written) profile.reset();
  return profile;
}

// Matrix-shaper profiles (what cameras, phones and most editors embed) convert the way
// LittleCMS's own fast path does: each channel into linear light through the profile's curve, one
// 3 x 3 matrix (with the offset of black-point compensation) into linear sRGB, the sRGB curve
// back. LittleCMS gives the curves' values and the matrix; the work per pixel is done here, since
// LittleCMS spends about 20 ns a pixel packing and unpacking its general pixel formats, which
// would cost a tenth of a photo's whole conversion.
class MatrixShaper {
 public:
  // nullopt for other profiles, and when LittleCMS's conversion is not the map expected.
  static std::optional<MatrixShaper> Make(cmsContext context, cmsHPROFILE profile) {
    if (!cmsIsMatrixShaper(profile) || cmsIsTag(profile, cmsSigAToB0Tag) ||
        cmsIsTag(profile, cmsSigAToB1Tag)) {
      return std::nullopt;
    }
    const ProfileHandle linear_srgb = LinearSrgb(context);
    const ProfileHandle srgb(cmsCreate_sRGBProfileTHR(context));
    if (linear_srgb == nullptr || srgb == nullptr) return std::nullopt;
    // Floating point is unbounded for matrix-shaper profiles: colours outside sRGB keep their
    // negative and above-one values until the final curve clips them.
    const TransformHandle to_linear =
        ToSrgbTransform(context, profile, TYPE_RGB_FLT, linear_srgb.get(), TYPE_RGB_FLT);
    const TransformHandle encode =
        ToSrgbTransform(context, linear_srgb.get(), TYPE_RGB_FLT, srgb.get(), TYPE_RGB_8);
    MatrixShaper shaper;
    if (to_linear == nullptr || encode == nullptr || !shaper.ReadCurves(profile) ||
        !shaper.MeasureMatrix(to_linear.get()) || !shaper.Agrees(to_linear.get())) {
      return std::nullopt;
    }
    shaper.TabulateEncoding(encode.get());
    return shaper;
  }

  // Four-lane vectors (GCC and Clang) carry a pixel's three channels through the matrix at once;
  // a third faster than channel by channel.
  void Apply(const std::uint8_t* in, std::uint8_t* out, int count) const {
    using Lanes = float __attribute__((vector_size(16)));
    using IntLanes = std::int32_t __attribute__((vector_size(16)));
    constexpr float kSteps = kEncodingSteps;
    const Lanes red = {matrix_[0] * kSteps, matrix_[3] * kSteps, matrix_[6] * kSteps, 0};
    const Lanes green = {matrix_[1] * kSteps, matrix_[4] * kSteps, matrix_[7] * kSteps, 0};
    const Lanes blue = {matrix_[2] * kSteps, matrix_[5] * kSteps, matrix_[8] * kSteps, 0};
    const Lanes offset = {offset_[0] * kSteps + 0.5f, offset_[1] * kSteps + 0.5f,
                          offset_[2] * kSteps + 0.5f, 0};  // + 0.5: the cast below rounds
    const Lanes low = {0, 0, 0, 0};
    const Lanes high = {kSteps, kSteps, kSteps, kSteps};
    for (int i = 0; i < count; ++i, in += 3, out += 3) {
      Lanes steps =
          red * linear_[0][in[0]] + green * linear_[1][in[1]] + blue * linear_[2][in[2]] + offset;
      steps = steps < low ? low : steps;
      steps = steps > high ? high : steps;
      const IntLanes index = __builtin_convertvector(steps, IntLanes);
      out[0] = encoding_[index[0]];
      out[1] = encoding_[index[1]];
      out[2] = encoding_[index[2]];
    }
  }

 private:
  // Linear light to the 8-bit sRGB level in steps of 1/16384: a twentieth of a level near black,
  // where the sRGB curve is steepest.
  static constexpr int kEncodingSteps = 16384;

  bool ReadCurves(cmsHPROFILE profile) {
    constexpr cmsTagSignature kCurves[] = {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag};
    for (int c = 0; c < 3; ++c) {
      const auto* curve = static_cast<const cmsToneCurve*>(cmsReadTag(profile, kCurves[c]));
      if (curve == nullptr) return false;
      for (int v = 0; v < 256; ++v) {
        linear_[c][v] = cmsEvalToneCurveFloat(curve, static_cast<float>(v) / 255);
      }
      if (!(linear_[c][255] - linear_[c][0] > 1e-3f)) return false;
    }
    return true;
  }

  // linear sRGB = matrix * curves(levels) + offset, from the black and the three primaries.
  bool MeasureMatrix(cmsHTRANSFORM to_linear) {
    const float in[4][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    float out[4][3];
    cmsDoTransform(to_linear, in, out, 4);
    for (int column = 0; column < 3; ++column) {
      const float span = linear_[column][255] - linear_[column][0];
      for (int c = 0; c < 3; ++c) {
        matrix_[3 * c + column] = (out[column + 1][c] - out[0][c]) / span;
      }
    }
    for (int c = 0; c < 3; ++c) {
      const float* row = matrix_.data() + 3 * c;
      offset_[c] =
          out[0][c] - (row[0] * linear_[0][0] + row[1] * linear_[1][0] + row[2] * linear_[2][0]);
      if (!std::isfinite(offset_[c]) || !std::isfinite(row[0] + row[1] + row[2])) return false;
    }
    return true;
  }

  // Whether a few colours inside the cube come out as LittleCMS makes them.
  bool Agrees(cmsHTRANSFORM to_linear) const {
    constexpr std::uint8_t kLevels[][3] = {{128, 64, 200}, {250, 250, 10}, {30, 200, 90}};
    for (const auto& levels : kLevels) {
      const float in[3] = {levels[0] / 255.0f, levels[1] / 255.0f, levels[2] / 255.0f};
      float want[3];
      cmsDoTransform(to_linear, in, want, 1);
      for (int c = 0; c < 3; ++c) {
        const float* row = matrix_.data() + 3 * c;
        const float got = row[0] * linear_[0][levels[0]] + row[1] * linear_[1][levels[1]] +
                          row[2] * linear_[2][levels[2]] + offset_[c];
        if (!(std::fabs(got - want[c]) < 1e-3f)) return false;
      }
    }
    return true;
  }

  void TabulateEncoding(cmsHTRANSFORM encode) {
    std::vector<float> ramp(3 * std::size_t{kEncodingSteps + 1});
    for (int i = 0; i <= kEncodingSteps; ++i) {
      std::fill_n(ramp.begin() + 3 * i, 3, static_cast<float>(i) / kEncodingSteps);
    }
    std::vector<std::uint8_t> levels(ramp.size());
    cmsDoTransform(encode, ramp.data(), levels.data(), kEncodingSteps + 1);
    for (int i = 0; i <= kEncodingSteps; ++i) encoding_[i] = levels[3 * std::size_t(i)];
  }

  std::array<std::array<float, 256>, 3> linear_{};
  std::array<float, 9> matrix_{};
  std::array<float, 3> offset_{};
  std::array<std::uint8_t, kEncodingSteps + 1> encoding_{};
};

}  // namespace

struct ColourProfile::Resources {
  // Declared in the order they are needed; destroyed the other way round.
  cmsPluginMemHandler memory{};
  MemoryBudget budget;
  ContextHandle context;
  TransformHandle transform;                 // CMYK and table-based RGB profiles
  std::optional<MatrixShaper> matrix;        // matrix-shaper RGB profiles
  std::array<std::uint8_t, 3 * 256> gray{};  // gray: the sRGB colour of each level
};

namespace {

// What converting the pixels of `layout` needs: the matrix, a gray table or the transform itself.
bool PrepareConversion(ColourProfile::Resources& resources, PixelLayout layout, cmsHPROFILE profile,
                       cmsHPROFILE srgb) {
  cmsContext context = resources.context.get();
  switch (layout) {
    case PixelLayout::kRgb:
      resources.matrix = MatrixShaper::Make(context, profile);
      if (resources.matrix.has_value()) return true;
      resources.transform = ToSrgbTransform(context, profile, TYPE_RGB_8, srgb, TYPE_RGB_8);
      return resources.transform != nullptr;
    case PixelLayout::kGray: {
      const TransformHandle transform =
          ToSrgbTransform(context, profile, TYPE_GRAY_8, srgb, TYPE_RGB_8);
      if (transform == nullptr) return false;
      std::array<std::uint8_t, 256> levels;
      std::iota(levels.begin(), levels.end(), 0);
      cmsDoTransform(transform.get(), levels.data(), resources.gray.data(), 256);
      return true;
    }
    case PixelLayout::kInvertedCmyk:
      resources.transform = ToSrgbTransform(context, profile, TYPE_CMYK_8_REV, srgb, TYPE_RGB_8);
      return resources.transform != nullptr;
  }
  return false;
}

}  // namespace

std::shared_ptr<const ColourProfile> ColourProfile::Parse(std::string_view icc,
                                                          PixelLayout layout) {
  if (icc.size() < kIccHeaderBytes + 4 || icc.size() > kMaxColourProfileBytes ||
      !TagTableIsSound(icc)) {
    return nullptr;
  }
  auto resources = std::make_unique<Resources>();
  resources->memory.base.Magic = cmsPluginMagicNumber;
  resources->memory.base.ExpectedVersion = LCMS_VERSION;
  resources->memory.base.Type = cmsPluginMemHandlerSig;
  resources->memory.MallocPtr = BoundedMalloc;
  resources->memory.FreePtr = BoundedFree;
  resources->memory.ReallocPtr = BoundedRealloc;
  resources->context.reset(cmsCreateContext(&resources->memory, &resources->budget));
  if (resources->context == nullptr) return nullptr;
  cmsContext context = resources->context.get();
  cmsSetLogErrorHandlerTHR(context, IgnoreError);

  const ProfileHandle profile(
      cmsOpenProfileFromMemTHR(context, icc.data(), static_cast<cmsUInt32Number>(icc.size())));
  const ProfileHandle srgb(cmsCreate_sRGBProfileTHR(context));
  if (profile == nullptr || srgb == nullptr) return nullptr;
  if (!UsableClass(cmsGetDeviceClass(profile.get())) ||
      cmsGetColorSpace(profile.get()) != ColourSpaceOf(layout) ||
      IsSrgb(profile.get(), srgb.get())) {
    return nullptr;
  }
  if (!PrepareConversion(*resources, layout, profile.get(), srgb.get())) return nullptr;
  return std::make_shared<const ColourProfile>(Key{}, layout, std::move(resources));
}

ColourProfile::ColourProfile(Key, PixelLayout layout, std::unique_ptr<Resources> resources)
    : layout_(layout), resources_(std::move(resources)) {}

ColourProfile::~ColourProfile() = default;

void ColourProfile::ToSrgb(const std::uint8_t* in, std::uint8_t* out, int count) const {
  if (count <= 0) return;
  switch (layout_) {
    case PixelLayout::kRgb:
      if (resources_->matrix.has_value()) {
        resources_->matrix->Apply(in, out, count);
      } else {
        cmsDoTransform(resources_->transform.get(), in, out, static_cast<cmsUInt32Number>(count));
      }
      break;
    case PixelLayout::kGray:
      for (int i = 0; i < count; ++i, in += 3, out += 3) {
        const std::uint8_t* colour = resources_->gray.data() + 3 * std::size_t{in[0]};
        std::copy(colour, colour + 3, out);
      }
      break;
    case PixelLayout::kInvertedCmyk:
      cmsDoTransform(resources_->transform.get(), in, out, static_cast<cmsUInt32Number>(count));
      break;
  }
}

std::shared_ptr<const ColourProfile> ColourProfileCache::Find(std::string_view icc,
                                                              PixelLayout layout) {
  const auto same = [&](const Entry& entry) { return entry.layout == layout && entry.icc == icc; };
  {
    std::lock_guard lock(mutex_);
    const auto found = std::find_if(entries_.begin(), entries_.end(), same);
    if (found != entries_.end()) {
      std::rotate(found, found + 1, entries_.end());
      return entries_.back().profile;
    }
  }
  // Parsed outside the lock: building a transform takes a millisecond or more.
  std::shared_ptr<const ColourProfile> profile = ColourProfile::Parse(icc, layout);
  std::lock_guard lock(mutex_);
  if (std::none_of(entries_.begin(), entries_.end(), same)) {
    if (entries_.size() >= kMaxEntries) entries_.erase(entries_.begin());
    entries_.push_back(Entry{std::string(icc), layout, profile});
  }
  return profile;
}

void ConvertToSrgb(RasterImage& image) {
  const std::shared_ptr<const ColourProfile> profile = image.colour_profile();
  if (profile == nullptr) return;
  image.set_colour_profile(nullptr);
  for (int y = 0; y < image.height(); ++y) {
    std::uint8_t* row = image.mutable_row(y);
    profile->ToSrgb(row, row, image.width());
  }
}

void ConvertCmykRow(const ColourProfile* profile, const std::uint8_t* cmyk, std::uint8_t* rgb,
                    int width) {
  if (profile != nullptr) {
    profile->ToSrgb(cmyk, rgb, width);
    return;
  }
  for (int x = 0; x < width; ++x, cmyk += 4, rgb += 3) {
    const unsigned white = cmyk[3];  // inverted: the white the black ink leaves, 0..255
    for (int c = 0; c < 3; ++c) {
      const unsigned v = cmyk[c] * white + 128;  // /255, rounded
      rgb[c] = static_cast<std::uint8_t>((v + (v >> 8)) >> 8);
    }
  }
}

}  // namespace albumora
