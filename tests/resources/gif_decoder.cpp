#include "gif_decoder.h"

#include <string>

namespace albumora {
namespace {

class Reader {
 public:
  explicit Reader(std::string_view data) : data_(data) {}
  bool Has(std::size_t n) const { return at_ + n <= data_.size(); }
  int Byte() { return Has(1) ? static_cast<std::uint8_t>(data_[at_++]) : -1; }
  int Word() {
    const int low = Byte();
    const int high = Byte();
    return low < 0 || high < 0 ? -1 : low | (high << 8);
  }
  bool Skip(std::size_t n) {
    if (!Has(n)) return false;
    at_ += n;
    return true;
  }
  std::string_view Take(std::size_t n) {
    const std::string_view piece = data_.substr(at_, n);
    at_ += n;
    return piece;
  }

 private:
  std::string_view data_;
  std::size_t at_ = 0;
};

// Sub-blocks up to the empty block; false when the file ends first.
bool ReadSubBlocks(Reader& in, std::vector<std::uint8_t>* out) {
  for (;;) {
    const int length = in.Byte();
    if (length < 0) return false;
    if (length == 0) return true;
    if (!in.Has(static_cast<std::size_t>(length))) return false;
    for (char c : in.Take(static_cast<std::size_t>(length))) {
      if (out != nullptr) out->push_back(static_cast<std::uint8_t>(c));
    }
  }
}

}  // namespace

std::optional<std::vector<std::uint8_t>> LzwDecompress(const std::vector<std::uint8_t>& data,
                                                       int min_code_size) {
  const int clear = 1 << min_code_size;
  const int end = clear + 1;
  std::vector<std::vector<std::uint8_t>> table;
  auto reset = [&] {
    table.assign(static_cast<std::size_t>(end) + 1, {});
    for (int i = 0; i < clear; ++i)
      table[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i)};
  };
  reset();
  int code_size = min_code_size + 1;
  std::size_t bit = 0;
  std::optional<int> previous;
  std::vector<std::uint8_t> out;
  for (;;) {
    if (bit + static_cast<std::size_t>(code_size) > data.size() * 8) return std::nullopt;
    int code = 0;
    for (int i = 0; i < code_size; ++i, ++bit) {
      code |= ((data[bit / 8] >> (bit % 8)) & 1) << i;
    }
    if (code == clear) {
      reset();
      code_size = min_code_size + 1;
      previous.reset();
      continue;
    }
    if (code == end) return out;
    std::vector<std::uint8_t> entry;
    if (code < static_cast<int>(table.size()) && code != end && code != clear) {
      entry = table[static_cast<std::size_t>(code)];
    } else if (code == static_cast<int>(table.size()) && previous) {
      entry = table[static_cast<std::size_t>(*previous)];
      entry.push_back(entry.front());
    } else {
      return std::nullopt;
    }
    out.insert(out.end(), entry.begin(), entry.end());
    if (previous && table.size() < 4096) {
      std::vector<std::uint8_t> added = table[static_cast<std::size_t>(*previous)];
      added.push_back(entry.front());
      table.push_back(std::move(added));
      if (table.size() == (std::size_t{1} << code_size) && code_size < 12) ++code_size;
    }
    previous = code;
  }
}

std::optional<DecodedGif> DecodeGif(std::string_view file) {
  Reader in(file);
  if (!in.Has(6) || (in.Take(6) != "GIF89a")) return std::nullopt;
  DecodedGif gif;
  gif.width = in.Word();
  gif.height = in.Word();
  const int flags = in.Byte();
  if (gif.width <= 0 || gif.height <= 0 || flags < 0 || !in.Skip(2)) return std::nullopt;
  if (flags & 0x80) {
    const int entries = 1 << ((flags & 7) + 1);
    if (!in.Has(static_cast<std::size_t>(entries) * 3)) return std::nullopt;
    for (int i = 0; i < entries; ++i) {
      gif.palette.push_back({static_cast<std::uint8_t>(in.Byte()),
                             static_cast<std::uint8_t>(in.Byte()),
                             static_cast<std::uint8_t>(in.Byte())});
    }
  }
  bool have_image = false;
  for (;;) {
    const int kind = in.Byte();
    if (kind == 0x3B) break;
    if (kind == 0x21) {
      const int label = in.Byte();
      std::vector<std::uint8_t> body;
      if (!ReadSubBlocks(in, &body)) return std::nullopt;
      if (label == 0xF9 && body.size() == 4 && (body[0] & 1)) gif.transparent = body[3];
    } else if (kind == 0x2C && !have_image) {
      const int left = in.Word();
      const int top = in.Word();
      const int width = in.Word();
      const int height = in.Word();
      const int image_flags = in.Byte();
      const int min_code_size = in.Byte();
      if (left != 0 || top != 0 || width != gif.width || height != gif.height || image_flags != 0 ||
          min_code_size < 2 || min_code_size > 8) {
        return std::nullopt;
      }
      std::vector<std::uint8_t> data;
      if (!ReadSubBlocks(in, &data)) return std::nullopt;
      auto pixels = LzwDecompress(data, min_code_size);
      if (!pixels || pixels->size() != static_cast<std::size_t>(width) * height) {
        return std::nullopt;
      }
      for (std::uint8_t index : *pixels) {
        if (index >= gif.palette.size()) return std::nullopt;
      }
      gif.pixels = std::move(*pixels);
      have_image = true;
    } else {
      return std::nullopt;
    }
  }
  if (!have_image) return std::nullopt;
  return gif;
}

}  // namespace albumora
