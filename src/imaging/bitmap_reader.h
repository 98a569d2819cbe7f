// Our own reader for Windows bitmap files (a photo file may be a bitmap named .jpg).
#ifndef ALBUMORA_IMAGING_BITMAP_READER_H_
#define ALBUMORA_IMAGING_BITMAP_READER_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "imaging/raster_image.h"

namespace albumora {

// Reads uncompressed bitmaps: 1-, 4- and 8-bit palette pictures, 16-, 24- and 32-bit pictures
// (16 and 32 bits also with colour masks), bottom-up and top-down, with the Windows or the OS/2
// header. Compressed (RLE, embedded JPEG/PNG) bitmaps fail. Every size, offset and palette index
// is checked against the data; an index beyond the palette gives black.
bool DecodeBitmap(std::string_view bytes, std::int64_t max_pixels, RasterImage* image,
                  std::string* error, ImagingWorkspace* workspace);

}  // namespace albumora

#endif  // ALBUMORA_IMAGING_BITMAP_READER_H_
