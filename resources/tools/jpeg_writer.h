// Writes 8-bit RGB pictures as baseline JPEG files through libjpeg.
#ifndef ALBUMORA_RESOURCES_TOOLS_JPEG_WRITER_H_
#define ALBUMORA_RESOURCES_TOOLS_JPEG_WRITER_H_

#include <cstdint>
#include <string>
#include <vector>

namespace albumora {

// Writes `rgb` (rows of width * 3 bytes, top to bottom) to `path`, replacing the file. False, and
// no file left behind, when it cannot be written or libjpeg reports an error.
bool WriteJpeg(const std::string& path, const std::vector<std::uint8_t>& rgb, int width, int height,
               int quality);

}  // namespace albumora

#endif  // ALBUMORA_RESOURCES_TOOLS_JPEG_WRITER_H_
