// Decoding a JPEG file held in memory with libjpeg.
#ifndef ALBUMORA_IMAGING_JPEG_DECODER_H_
#define ALBUMORA_IMAGING_JPEG_DECODER_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "imaging/orientation.h"
#include "imaging/raster_image.h"

namespace albumora {

// A progressive file is given up after this many scans: thousands of tiny scans can keep the
// decoder busy for minutes, and real encoders write about ten.
inline constexpr int kMaxJpegScans = 100;

// What libjpeg itself may allocate for one picture (the coefficient buffers of a progressive
// file); beyond it the load fails instead of the machine running out of memory.
inline constexpr long kMaxJpegDecoderMemory = 1536L * 1024 * 1024;

bool DecodeJpeg(std::string_view bytes, std::int64_t max_pixels, RasterImage* image,
                std::string* error, ImagingWorkspace* workspace);

// What the header says about the stored picture.
struct JpegLayout {
  int width = 0;   // stored
  int height = 0;  // stored
  bool cmyk = false;
  Orientation orientation = Orientation::kNormal;
  // The embedded profile the pixels need converting through (see colour_profile.h); nullptr for
  // none and for sRGB. CMYK rows are converted through it before they are handed on.
  std::shared_ptr<const ColourProfile> colour_profile;
};

// Takes the decoded rows of a stored picture (RGB, top to bottom) as they come.
class JpegRowConsumer {
 public:
  virtual ~JpegRowConsumer() = default;
  // Called once the header is read and checked, before any row; may allocate and throw. False
  // declines the picture (nothing is decoded).
  virtual bool Start(const JpegLayout& layout) = 0;
  // Runs between libjpeg's calls: must neither throw nor allocate.
  virtual void TakeRows(const std::uint8_t* rows, std::size_t stride, int count) = 0;
};

enum class StreamResult {
  kComplete,  // every row went to the consumer
  kFailed,    // the photo cannot be decoded; `error` says why
  kDeclined,  // the consumer's Start said no
  kBroken,    // an error after some rows were delivered
};

// Decodes with the same set-up, parameters and limits as DecodeJpeg, but hands the rows on in
// bands instead of keeping the picture.
StreamResult StreamJpeg(std::string_view bytes, std::int64_t max_pixels, JpegRowConsumer* consumer,
                        std::string* error, ImagingWorkspace* workspace);

}  // namespace albumora

#endif  // ALBUMORA_IMAGING_JPEG_DECODER_H_
