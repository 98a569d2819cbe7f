// An independent reader for the GIF files we write: enough of GIF89a to check our graphics.
#ifndef ALBUMORA_TESTS_RESOURCES_GIF_DECODER_H_
#define ALBUMORA_TESTS_RESOURCES_GIF_DECODER_H_

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace albumora {

struct DecodedGif {
  int width = 0;
  int height = 0;
  std::vector<std::array<std::uint8_t, 3>> palette;
  std::optional<int> transparent;
  std::vector<std::uint8_t> pixels;  // palette indices

  bool IsTransparent(int x, int y) const {
    return transparent && pixels[static_cast<std::size_t>(y) * width + x] == *transparent;
  }
  std::array<std::uint8_t, 3> Rgb(int x, int y) const {
    return palette[pixels[static_cast<std::size_t>(y) * width + x]];
  }
};

// nullopt when the file is not a well-formed single-frame GIF.
std::optional<DecodedGif> DecodeGif(std::string_view file);

// Decodes a GIF LZW code stream; nullopt on a malformed stream.
std::optional<std::vector<std::uint8_t>> LzwDecompress(const std::vector<std::uint8_t>& data,
                                                       int min_code_size);

}  // namespace albumora

#endif  // ALBUMORA_TESTS_RESOURCES_GIF_DECODER_H_
