// A minimal GIF89a writer: one frame, a global palette, optional transparency.
#ifndef ALBUMORA_RESOURCES_TOOLS_GIF_WRITER_H_
#define ALBUMORA_RESOURCES_TOOLS_GIF_WRITER_H_

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace albumora {

struct IndexedImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;                  // palette indices, rows top to bottom
  std::vector<std::array<std::uint8_t, 3>> palette;  // at most 256 colours
  std::optional<std::uint8_t> transparent;           // palette index shown as transparent
};

// The GIF file as bytes.
std::string EncodeGif(const IndexedImage& image);

// The variable-length LZW code stream of GIF (before it is cut into sub-blocks).
std::vector<std::uint8_t> LzwCompress(const std::vector<std::uint8_t>& indices, int min_code_size);

}  // namespace albumora

#endif  // ALBUMORA_RESOURCES_TOOLS_GIF_WRITER_H_
