#include "imaging/colour_profile.h"

// clang-format off
#include <lcms2.h>
#include <lcms2_plugin.h>
// clang-format on

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <type_traits>

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

// LittleCMS's names for the pixel layouts. Gray pixels are read from the first byte of each RGB
// triple (the other two are the same value), so a gray picture converts in place.
cmsUInt32Number InputFormat(PixelLayout layout) {
  switch (layout) {
    case PixelLayout::kRgb:
      return TYPE_RGB_8;
    case PixelLayout::kGray:
      return COLORSPACE_SH(PT_GRAY) | CHANNELS_SH(1) | BYTES_SH(1) | EXTRA_SH(2);
    case PixelLayout::kInvertedCmyk:
      return TYPE_CMYK_8_REV;
  }
  return TYPE_RGB_8;
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

}  // namespace

struct ColourProfile::Resources {
  // Declared in the order they are needed; destroyed the other way round.
  cmsPluginMemHandler memory{};
  MemoryBudget budget;
  ContextHandle context;
  TransformHandle transform;
};

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
  // Without LittleCMS's one-pixel cache a transform holds no state between calls, so threads
  // can share it.
  resources->transform.reset(cmsCreateTransformTHR(
      context, profile.get(), InputFormat(layout), srgb.get(), TYPE_RGB_8,
      INTENT_RELATIVE_COLORIMETRIC, cmsFLAGS_BLACKPOINTCOMPENSATION | cmsFLAGS_NOCACHE));
  if (resources->transform == nullptr) return nullptr;
  return std::make_shared<const ColourProfile>(Key{}, layout, std::move(resources));
}

ColourProfile::ColourProfile(Key, PixelLayout layout, std::unique_ptr<Resources> resources)
    : layout_(layout), resources_(std::move(resources)) {}

ColourProfile::~ColourProfile() = default;

void ColourProfile::ToSrgb(const std::uint8_t* in, std::uint8_t* out, int count) const {
  if (count > 0) {
    cmsDoTransform(resources_->transform.get(), in, out, static_cast<cmsUInt32Number>(count));
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
