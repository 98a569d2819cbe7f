#include "imaging/bitmap_reader.h"

#include <array>
#include <bit>

#include "imaging/imaging_internal.h"
#include "platform/text.h"

namespace albumora {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;  // OS/2 1.x: 16-bit sizes, 3-byte palette entries
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kMasksInHeaderSize = 52;  // V2 and later carry the masks inside
constexpr std::uint32_t kCompressionNone = 0;
constexpr std::uint32_t kCompressionBitfields = 3;

std::uint32_t ReadLe(std::string_view bytes, std::size_t offset, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) {
    value = (value << 8) | static_cast<std::uint8_t>(bytes[offset + i]);
  }
  return value;
}

// One colour channel of a 16- or 32-bit pixel: where its bits are and how to widen them to 8.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  int bits = 0;

  static Channel FromMask(std::uint32_t mask) {
    Channel channel;
    if (mask == 0) return channel;
    channel.mask = mask;
    channel.shift = std::countr_zero(mask);
    channel.bits = std::countr_one(mask >> channel.shift);
    return channel;
  }
  // Masks must be contiguous runs of bits.
  bool valid() const {
    return mask == 0 || (std::uint64_t{mask} >> shift) == (std::uint64_t{1} << bits) - 1;
  }

  std::uint8_t Extract(std::uint32_t pixel) const {
    if (bits == 0) return 0;
    const std::uint32_t value = (pixel & mask) >> shift;
    if (bits >= 8) return static_cast<std::uint8_t>(value >> (bits - 8));
    const std::uint32_t top = (std::uint32_t{1} << bits) - 1;
    return static_cast<std::uint8_t>((value * 255 + top / 2) / top);
  }
};

struct BitmapLayout {
  std::int64_t width = 0;
  std::int64_t height = 0;
  bool top_down = false;
  int bits = 0;
  std::size_t pixel_offset = 0;
  std::size_t stride = 0;
  std::array<Channel, 3> channels;  // red, green, blue for 16 and 32 bits
  std::array<Rgb, 256> palette{};   // unlisted entries stay black
};

enum class Verdict { kOk, kDamaged, kUnsupported, kTooLarge };

void ReadPalette(std::string_view bytes, std::size_t start, std::size_t entry_size,
                 std::uint32_t colours_used, BitmapLayout* layout) {
  const std::uint32_t possible = std::uint32_t{1} << layout->bits;
  const std::uint32_t count =
      colours_used == 0 || colours_used > possible ? possible : colours_used;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t at = start + i * entry_size;
    if (at + 3 > bytes.size() || at + 3 > layout->pixel_offset) break;  // a short palette: black
    layout->palette[i] =
        Rgb{static_cast<std::uint8_t>(bytes[at + 2]), static_cast<std::uint8_t>(bytes[at + 1]),
            static_cast<std::uint8_t>(bytes[at])};
  }
}

Verdict ReadLayout(std::string_view bytes, std::int64_t max_pixels, BitmapLayout* layout) {
  if (bytes.size() < kFileHeaderSize + 4) return Verdict::kDamaged;
  layout->pixel_offset = ReadLe(bytes, 10, 4);
  const std::uint32_t header_size = ReadLe(bytes, kFileHeaderSize, 4);
  const bool core = header_size == kCoreHeaderSize;
  if (!core && header_size < kInfoHeaderSize) return Verdict::kUnsupported;
  if (bytes.size() < kFileHeaderSize + header_size) return Verdict::kDamaged;
  const std::size_t h = kFileHeaderSize;
  std::uint32_t compression = kCompressionNone;
  std::uint32_t colours_used = 0;
  std::size_t palette_start = h + header_size;
  if (core) {
    layout->width = ReadLe(bytes, h + 4, 2);
    layout->height = ReadLe(bytes, h + 6, 2);
    if (ReadLe(bytes, h + 8, 2) != 1) return Verdict::kDamaged;
    layout->bits = static_cast<int>(ReadLe(bytes, h + 10, 2));
  } else {
    layout->width = static_cast<std::int32_t>(ReadLe(bytes, h + 4, 4));
    const std::int64_t height = static_cast<std::int32_t>(ReadLe(bytes, h + 8, 4));
    layout->top_down = height < 0;
    layout->height = height < 0 ? -height : height;
    if (ReadLe(bytes, h + 12, 2) != 1) return Verdict::kDamaged;
    layout->bits = static_cast<int>(ReadLe(bytes, h + 14, 2));
    compression = ReadLe(bytes, h + 16, 4);
    colours_used = ReadLe(bytes, h + 32, 4);
  }
  if (layout->width < 1 || layout->height < 1) return Verdict::kDamaged;
  if (!imaging_internal::SizeWithinLimits(layout->width, layout->height, max_pixels)) {
    return Verdict::kTooLarge;
  }

  switch (layout->bits) {
    case 1:
    case 4:
    case 8:
      if (compression != kCompressionNone) return Verdict::kUnsupported;
      ReadPalette(bytes, palette_start, core ? 3 : 4, colours_used, layout);
      break;
    case 16:
    case 32: {
      std::array<std::uint32_t, 3> masks =
          layout->bits == 16 ? std::array<std::uint32_t, 3>{0x7C00, 0x03E0, 0x001F}
                             : std::array<std::uint32_t, 3>{0xFF0000, 0xFF00, 0xFF};
      if (compression == kCompressionBitfields && !core) {
        const std::size_t at =
            header_size >= kMasksInHeaderSize ? h + kInfoHeaderSize : h + header_size;
        if (at + 12 > bytes.size()) return Verdict::kDamaged;
        for (int c = 0; c < 3; ++c) masks[c] = ReadLe(bytes, at + 4 * c, 4);
      } else if (compression != kCompressionNone) {
        return Verdict::kUnsupported;
      }
      for (int c = 0; c < 3; ++c) {
        layout->channels[c] = Channel::FromMask(masks[c]);
        if (!layout->channels[c].valid()) return Verdict::kDamaged;
      }
      break;
    }
    case 24:
      if (compression != kCompressionNone) return Verdict::kUnsupported;
      break;
    default:
      return Verdict::kUnsupported;
  }

  layout->stride = static_cast<std::size_t>((layout->width * layout->bits + 31) / 32 * 4);
  const std::size_t last_row_bytes =
      static_cast<std::size_t>((layout->width * layout->bits + 7) / 8);
  const std::size_t needed =
      layout->stride * static_cast<std::size_t>(layout->height - 1) + last_row_bytes;
  if (layout->pixel_offset < kFileHeaderSize + kCoreHeaderSize ||
      layout->pixel_offset > bytes.size() || bytes.size() - layout->pixel_offset < needed) {
    return Verdict::kDamaged;
  }
  return Verdict::kOk;
}

void ConvertRow(const BitmapLayout& layout, const std::uint8_t* in, std::uint8_t* out) {
  const auto width = static_cast<int>(layout.width);
  auto put = [&out](Rgb c) {
    out[0] = c.r;
    out[1] = c.g;
    out[2] = c.b;
    out += 3;
  };
  switch (layout.bits) {
    case 1:
    case 4:
    case 8: {
      const int per_byte = 8 / layout.bits;
      const unsigned index_mask = (1u << layout.bits) - 1;
      for (int x = 0; x < width; ++x) {
        const int shift = 8 - layout.bits * (x % per_byte + 1);
        put(layout.palette[(in[x / per_byte] >> shift) & index_mask]);
      }
      break;
    }
    case 24:
      for (int x = 0; x < width; ++x, in += 3) put(Rgb{in[2], in[1], in[0]});
      break;
    default: {
      const int bytes_per_pixel = layout.bits / 8;
      for (int x = 0; x < width; ++x, in += bytes_per_pixel) {
        std::uint32_t pixel = 0;
        for (int i = bytes_per_pixel - 1; i >= 0; --i) pixel = (pixel << 8) | in[i];
        put(Rgb{layout.channels[0].Extract(pixel), layout.channels[1].Extract(pixel),
                layout.channels[2].Extract(pixel)});
      }
      break;
    }
  }
}

}  // namespace

bool DecodeBitmap(std::string_view bytes, std::int64_t max_pixels, RasterImage* image,
                  std::string* error, ImagingWorkspace* workspace) {
  BitmapLayout layout;
  switch (ReadLayout(bytes, max_pixels, &layout)) {
    case Verdict::kOk:
      break;
    case Verdict::kDamaged:
      if (error != nullptr) *error = ImagingMessage("Das Bitmap-Bild ist beschädigt.");
      return false;
    case Verdict::kUnsupported:
      if (error != nullptr) *error = ImagingMessage("Dieses Bitmap-Format wird nicht unterstützt.");
      return false;
    case Verdict::kTooLarge:
      if (error != nullptr) {
        *error = ImagingMessage("Das Bild ist zu groß (") + Decimal(layout.width) +
                 ImagingMessage(" × ") + Decimal(layout.height) + ImagingMessage(" Pixel).");
      }
      return false;
  }
  const auto width = static_cast<int>(layout.width);
  const auto height = static_cast<int>(layout.height);
  *image = imaging_internal::NewRasterImage(width, height, workspace);
  std::uint8_t* pixels = RasterImageAccess::FreshData(*image);
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data()) + layout.pixel_offset;
  for (int r = 0; r < height; ++r) {
    const int y = layout.top_down ? r : height - 1 - r;
    ConvertRow(layout, data + layout.stride * r, pixels + image->stride() * y);
  }
  return true;
}

}  // namespace albumora
