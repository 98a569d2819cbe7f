// Decoding a JPEG file held in memory with libjpeg.
#ifndef ALBUMORA_IMAGING_JPEG_DECODER_H_
#define ALBUMORA_IMAGING_JPEG_DECODER_H_

#include <cstdint>
#include <string>
#include <string_view>

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

}  // namespace albumora

#endif  // ALBUMORA_IMAGING_JPEG_DECODER_H_
