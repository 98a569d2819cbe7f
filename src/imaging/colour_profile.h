// Embedded ICC profiles: which photos need their colours converted, and the conversion to sRGB.
//
// The web shows pictures without a profile as sRGB, so copies of a photo stored in a wider space
// (Display P3, Adobe RGB) or as CMYK or gray with a profile are converted to sRGB: relative
// colorimetric intent with black-point compensation, as browsers and photo editors do for
// display. Photos without a profile and photos whose profile is sRGB are left exactly as they
// are. A profile that cannot be used (damaged, too big, of a kind that does not describe the
// pixels, refused by LittleCMS) counts as no profile.
//
// Where it happens: the decoder attaches the parsed profile to the picture (copies and scaled
// copies keep it), or hands it on with the header to the copies made while decoding, and
// ConvertToSrgb turns a finished, scaled copy into sRGB (photo_copies.h does it for both ways).
// Scaling first is close enough: the scaler averages the encoded values, not linear light, so
// averaging before or after the conversion are both the same approximation; an ICC transform is
// smooth, so where neighbouring pixels are alike the two orders agree to a level, and only a pixel
// that mixes very different colours at a sharp edge can differ by a few levels. It makes the
// conversion's cost that of a 1024-pixel copy instead of a 12-megapixel photo. CMYK is the
// exception: its four channels do not survive the decoder's RGB picture, so CMYK rows go through
// the profile while they are decoded (see ConvertCmykRow); CMYK photos are rare.
#ifndef ALBUMORA_IMAGING_COLOUR_PROFILE_H_
#define ALBUMORA_IMAGING_COLOUR_PROFILE_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "imaging/raster_image.h"

namespace albumora {

// Larger profiles are ignored before anything is allocated for them. Camera and display profiles
// have a few kilobytes, the large press CMYK profiles a few hundred.
inline constexpr std::size_t kMaxColourProfileBytes = 4 * 1024 * 1024;

// What the decoded pixels are: 3-byte RGB, 3-byte RGB holding one gray value three times, or
// 4-byte CMYK stored inverted (0 = full ink) as Adobe applications write it.
enum class PixelLayout { kRgb, kGray, kInvertedCmyk };

// A usable, non-sRGB profile with its transform to sRGB. Immutable once made, so pictures and
// threads share it; the transform keeps no per-call cache, so several threads may convert
// through it at the same time.
class ColourProfile {
 public:
  // The profile for `icc` when the pixels of `layout` need converting through it; nullptr for an
  // sRGB profile and for every profile that cannot be used.
  static std::shared_ptr<const ColourProfile> Parse(std::string_view icc, PixelLayout layout);

  struct Resources;  // the LittleCMS objects, defined in the .cpp
  class Key {        // only Parse makes profiles
    friend class ColourProfile;
    Key() = default;
  };
  ColourProfile(Key, PixelLayout layout, std::unique_ptr<Resources> resources);
  ~ColourProfile();
  ColourProfile(const ColourProfile&) = delete;
  ColourProfile& operator=(const ColourProfile&) = delete;

  PixelLayout layout() const { return layout_; }

  // Converts `count` pixels of the layout to 3-byte sRGB. `in` may equal `out` except for CMYK.
  void ToSrgb(const std::uint8_t* in, std::uint8_t* out, int count) const;

 private:
  PixelLayout layout_;
  std::unique_ptr<Resources> resources_;
};

// Parsed profiles by their bytes: photos of one camera carry the same profile, which is then
// parsed and its transform built once. Holds a few profiles, the least recently used is dropped.
// Thread-safe.
class ColourProfileCache {
 public:
  std::shared_ptr<const ColourProfile> Find(std::string_view icc, PixelLayout layout);

 private:
  static constexpr std::size_t kMaxEntries = 8;

  struct Entry {
    std::string icc;
    PixelLayout layout;
    std::shared_ptr<const ColourProfile> profile;  // may be nullptr: nothing to convert
  };

  std::mutex mutex_;
  std::vector<Entry> entries_;  // most recently used last
};

// Converts a picture that carries a profile to sRGB in place and drops the profile. A picture
// without one is not touched.
void ConvertToSrgb(RasterImage& image);

// One decoded row of inverted CMYK to RGB: through `profile` when there is one, else with the
// plain formula (which knows nothing of the inks).
void ConvertCmykRow(const ColourProfile* profile, const std::uint8_t* cmyk, std::uint8_t* rgb,
                    int width);

}  // namespace albumora

#endif  // ALBUMORA_IMAGING_COLOUR_PROFILE_H_
