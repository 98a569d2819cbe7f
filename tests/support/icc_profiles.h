// ICC profiles built with LittleCMS for tests that need tagged photos.
#ifndef ALBUMORA_TESTS_SUPPORT_ICC_PROFILES_H_
#define ALBUMORA_TESTS_SUPPORT_ICC_PROFILES_H_

#include <lcms2.h>

#include <string>

namespace albumora::testing {

// The bytes of `profile`, which is closed.
inline std::string ProfileBytes(cmsHPROFILE profile) {
  cmsUInt32Number size = 0;
  cmsSaveProfileToMem(profile, nullptr, &size);
  std::string bytes(size, '\0');
  cmsSaveProfileToMem(profile, bytes.data(), &size);
  cmsCloseProfile(profile);
  return bytes;
}

// A Display P3 profile as phones embed it: P3 primaries, D65 white, the sRGB curve.
inline std::string DisplayP3Profile() {
  const cmsCIExyY white = {0.3127, 0.3290, 1};
  const cmsCIExyYTRIPLE primaries = {{0.680, 0.320, 1}, {0.265, 0.690, 1}, {0.150, 0.060, 1}};
  const double srgb_curve[] = {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045};
  cmsToneCurve* curve = cmsBuildParametricToneCurve(nullptr, 4, srgb_curve);
  cmsToneCurve* curves[] = {curve, curve, curve};
  const std::string bytes = ProfileBytes(cmsCreateRGBProfile(&white, &primaries, curves));
  cmsFreeToneCurve(curve);
  return bytes;
}

}  // namespace albumora::testing

#endif  // ALBUMORA_TESTS_SUPPORT_ICC_PROFILES_H_
