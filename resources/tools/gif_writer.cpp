#include "gif_writer.h"

#include <algorithm>
#include <unordered_map>

namespace albumora {
namespace {

constexpr int kMaxCodeSize = 12;
constexpr int kMaxCodes = 1 << kMaxCodeSize;

// Packs codes of varying width least significant bit first, as GIF wants them.
class BitPacker {
 public:
  void Put(int code, int width) {
    accumulator_ |= static_cast<std::uint32_t>(code) << bits_;
    bits_ += width;
    while (bits_ >= 8) {
      bytes_.push_back(static_cast<std::uint8_t>(accumulator_ & 0xFF));
      accumulator_ >>= 8;
      bits_ -= 8;
    }
  }
  std::vector<std::uint8_t> Finish() {
    if (bits_ > 0) bytes_.push_back(static_cast<std::uint8_t>(accumulator_ & 0xFF));
    accumulator_ = 0;
    bits_ = 0;
    return std::move(bytes_);
  }

 private:
  std::vector<std::uint8_t> bytes_;
  std::uint32_t accumulator_ = 0;
  int bits_ = 0;
};

void PutWord(std::string& out, int value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

// Bits needed for the palette: the table always has 2^bits entries, bits 1..8.
int PaletteBits(std::size_t colors) {
  int bits = 1;
  while ((std::size_t{1} << bits) < colors) ++bits;
  return bits;
}

}  // namespace

std::vector<std::uint8_t> LzwCompress(const std::vector<std::uint8_t>& indices, int min_code_size) {
  const int clear = 1 << min_code_size;
  const int end = clear + 1;
  BitPacker packer;
  std::unordered_map<std::uint32_t, int> table;  // (prefix code << 8 | next index) -> code
  int next_code = end + 1;
  int code_size = min_code_size + 1;
  packer.Put(clear, code_size);
  if (indices.empty()) {
    packer.Put(end, code_size);
    return packer.Finish();
  }
  int prefix = indices[0];
  for (std::size_t i = 1; i < indices.size(); ++i) {
    const std::uint32_t key = (static_cast<std::uint32_t>(prefix) << 8) | indices[i];
    if (auto found = table.find(key); found != table.end()) {
      prefix = found->second;
      continue;
    }
    packer.Put(prefix, code_size);
    if (next_code < kMaxCodes) {
      table.emplace(key, next_code);
      // The decoder widens its codes once the table holds a code that does not fit.
      if (next_code == (1 << code_size) && code_size < kMaxCodeSize) ++code_size;
      ++next_code;
    } else {
      packer.Put(clear, code_size);
      table.clear();
      next_code = end + 1;
      code_size = min_code_size + 1;
    }
    prefix = indices[i];
  }
  packer.Put(prefix, code_size);
  packer.Put(end, code_size);
  return packer.Finish();
}

std::string EncodeGif(const IndexedImage& image) {
  const int bits = PaletteBits(std::max<std::size_t>(image.palette.size(), 2));
  std::string out = "GIF89a";
  PutWord(out, image.width);
  PutWord(out, image.height);
  out.push_back(static_cast<char>(0x80 | ((bits - 1) << 4) | (bits - 1)));  // global table
  out.push_back(0);  // background colour index
  out.push_back(0);  // no aspect ratio
  for (int i = 0; i < (1 << bits); ++i) {
    const auto rgb = i < static_cast<int>(image.palette.size())
                         ? image.palette[i]
                         : std::array<std::uint8_t, 3>{0, 0, 0};
    for (std::uint8_t channel : rgb) out.push_back(static_cast<char>(channel));
  }
  if (image.transparent) {
    out += "\x21\xF9\x04";  // graphic control extension
    out.push_back(0x01);    // transparent colour given
    PutWord(out, 0);        // no delay
    out.push_back(static_cast<char>(*image.transparent));
    out.push_back(0);
  }
  out.push_back(0x2C);  // image descriptor
  PutWord(out, 0);
  PutWord(out, 0);
  PutWord(out, image.width);
  PutWord(out, image.height);
  out.push_back(0);  // no local table, not interlaced
  const int min_code_size = std::max(2, bits);
  out.push_back(static_cast<char>(min_code_size));
  const std::vector<std::uint8_t> data = LzwCompress(image.pixels, min_code_size);
  for (std::size_t at = 0; at < data.size(); at += 255) {
    const std::size_t length = std::min<std::size_t>(255, data.size() - at);
    out.push_back(static_cast<char>(length));
    out.append(reinterpret_cast<const char*>(data.data() + at), length);
  }
  out.push_back(0);     // end of the image data
  out.push_back(0x3B);  // trailer
  return out;
}

}  // namespace albumora
