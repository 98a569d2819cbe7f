#include "test_pictures.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <vector>

#include "imaging/jpeg_library.h"

namespace albumora::testing {
namespace {

struct Ink {
  std::uint8_t c, m, y, k;
};

// Ink amounts (0 = none) that print `color`: black takes what all three share.
Ink InkOf(Rgb color) {
  const int white = std::max({color.r, color.g, color.b});
  if (white == 0) return {0, 0, 0, 255};
  auto part = [white](int v) {
    return static_cast<std::uint8_t>(255 - (v * 255 + white / 2) / white);
  };
  return {part(color.r), part(color.g), part(color.b), static_cast<std::uint8_t>(255 - white)};
}

void PutLe(std::string* out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out->push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}
void PutBe(std::string* out, std::uint32_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out->push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

std::string ExifSegment(int orientation, bool big_endian) {
  std::string exif("Exif\0\0", 6);
  auto put = [&](std::uint32_t v, int n) { big_endian ? PutBe(&exif, v, n) : PutLe(&exif, v, n); };
  exif += big_endian ? "MM" : "II";
  put(42, 2);
  put(8, 4);  // first directory right after the header
  put(2, 2);  // two entries: a resolution unit before the orientation
  put(0x0128, 2);
  put(3, 2);
  put(1, 4);
  put(2, 2);
  put(0, 2);
  put(0x0112, 2);
  put(3, 2);
  put(1, 4);
  put(static_cast<std::uint32_t>(orientation), 2);
  put(0, 2);
  put(0, 4);  // no next directory
  return exif;
}

struct JpegEncoder {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr errors{};
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  JpegEncoder() {
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &buffer, &size);
  }
  ~JpegEncoder() {
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
  }
};

}  // namespace

Rgb DefaultPattern(int x, int y) {
  return Rgb{static_cast<std::uint8_t>(20 + (x * 7 + y) % 200),
             static_cast<std::uint8_t>(40 + (y * 5) % 180),
             static_cast<std::uint8_t>(x < y ? 200 : 60)};
}

std::string MakeJpeg(const JpegOptions& options, const PixelFunction& pixel) {
  JpegEncoder encoder;
  jpeg_compress_struct& cinfo = encoder.cinfo;
  cinfo.image_width = static_cast<JDIMENSION>(options.width);
  cinfo.image_height = static_cast<JDIMENSION>(options.height);
  const bool cmyk = options.kind != JpegKind::kRgb && options.kind != JpegKind::kGray;
  if (options.kind == JpegKind::kGray) {
    cinfo.input_components = 1;
    cinfo.in_color_space = JCS_GRAYSCALE;
  } else if (cmyk) {
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_CMYK;
  } else {
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
  }
  jpeg_set_defaults(&cinfo);
  if (options.kind == JpegKind::kAdobeYcck) jpeg_set_colorspace(&cinfo, JCS_YCCK);
  if (options.kind == JpegKind::kCmyk) cinfo.write_Adobe_marker = FALSE;
  jpeg_set_quality(&cinfo, options.quality, TRUE);
  if (options.full_chroma) {
    for (int c = 0; c < cinfo.num_components; ++c) {
      cinfo.comp_info[c].h_samp_factor = 1;
      cinfo.comp_info[c].v_samp_factor = 1;
    }
  }
  if (options.luma_h_sampling != 0) {
    for (int c = 0; c < cinfo.num_components; ++c) {
      cinfo.comp_info[c].h_samp_factor = c == 0 ? options.luma_h_sampling : 1;
      cinfo.comp_info[c].v_samp_factor = c == 0 ? options.luma_v_sampling : 1;
    }
  }
  if (options.progressive) jpeg_simple_progression(&cinfo);
  cinfo.arith_code = options.arithmetic ? TRUE : FALSE;
  jpeg_start_compress(&cinfo, TRUE);
  if (!options.icc_profile.empty()) {
    jpeg_write_icc_profile(&cinfo, reinterpret_cast<const JOCTET*>(options.icc_profile.data()),
                           static_cast<unsigned>(options.icc_profile.size()));
  }
  for (const std::string& segment : options.app2) {
    jpeg_write_marker(&cinfo, JPEG_APP0 + 2, reinterpret_cast<const JOCTET*>(segment.data()),
                      static_cast<unsigned>(segment.size()));
  }
  if (options.exif_orientation != 0) {
    const std::string exif = ExifSegment(options.exif_orientation, options.big_endian_exif);
    jpeg_write_marker(&cinfo, JPEG_APP0 + 1, reinterpret_cast<const JOCTET*>(exif.data()),
                      static_cast<unsigned>(exif.size()));
  }
  std::vector<JSAMPLE> row(static_cast<std::size_t>(options.width) * cinfo.input_components);
  for (int y = 0; y < options.height; ++y) {
    for (int x = 0; x < options.width; ++x) {
      const Rgb color = pixel(x, y);
      JSAMPLE* out = row.data() + static_cast<std::size_t>(x) * cinfo.input_components;
      if (options.kind == JpegKind::kGray) {
        out[0] = color.r;
      } else if (cmyk) {
        const Ink ink = InkOf(color);
        const std::uint8_t flip = 255;
        out[0] = ink.c ^ flip;
        out[1] = ink.m ^ flip;
        out[2] = ink.y ^ flip;
        out[3] = ink.k ^ flip;
      } else {
        out[0] = color.r;
        out[1] = color.g;
        out[2] = color.b;
      }
    }
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  return std::string(reinterpret_cast<const char*>(encoder.buffer), encoder.size);
}

std::vector<std::string> IccChunks(const std::string& profile, int count) {
  std::vector<std::string> chunks;
  const std::size_t part = (profile.size() + count - 1) / count;
  for (int i = 0; i < count; ++i) {
    std::string chunk("ICC_PROFILE\0", 12);
    chunk.push_back(static_cast<char>(i + 1));
    chunk.push_back(static_cast<char>(count));
    const std::size_t from = std::min(profile.size(), part * i);
    chunks.push_back(chunk + profile.substr(from, part));
  }
  return chunks;
}

std::string JpegOf(const RasterImage& image) {
  JpegOptions options;
  options.width = image.width();
  options.height = image.height();
  options.quality = 100;
  options.full_chroma = true;
  return MakeJpeg(options, [&image](int x, int y) { return image.pixel(x, y); });
}

std::string MakeBitmap(const BitmapOptions& options, const PixelFunction& pixel) {
  std::vector<Rgb> palette;
  std::map<std::uint32_t, int> index;
  const int bytes_per_pixel = options.bits / 8;
  const std::size_t stride = (static_cast<std::size_t>(options.width) * options.bits + 31) / 32 * 4;
  std::string pixels;
  for (int r = 0; r < options.height; ++r) {
    const int y = options.top_down ? r : options.height - 1 - r;
    std::string line;
    for (int x = 0; x < options.width; ++x) {
      const Rgb c = pixel(x, y);
      if (options.bits == 8) {
        const std::uint32_t key = (c.r << 16) | (c.g << 8) | c.b;
        auto [it, added] = index.emplace(key, static_cast<int>(palette.size()));
        if (added) palette.push_back(c);
        if (palette.size() > 256) throw std::runtime_error("too many colours for a palette");
        line.push_back(static_cast<char>(it->second));
      } else {
        line.push_back(static_cast<char>(c.b));
        line.push_back(static_cast<char>(c.g));
        line.push_back(static_cast<char>(c.r));
        if (bytes_per_pixel == 4) line.push_back('\0');
      }
    }
    line.resize(stride, '\0');
    pixels += line;
  }
  const std::uint32_t palette_bytes = static_cast<std::uint32_t>(palette.size()) * 4;
  const std::uint32_t offset = 14 + 40 + palette_bytes;
  std::string bmp = "BM";
  PutLe(&bmp, offset + static_cast<std::uint32_t>(pixels.size()), 4);
  PutLe(&bmp, 0, 4);
  PutLe(&bmp, offset, 4);
  PutLe(&bmp, 40, 4);
  PutLe(&bmp, static_cast<std::uint32_t>(options.width), 4);
  PutLe(&bmp, static_cast<std::uint32_t>(options.top_down ? -options.height : options.height), 4);
  PutLe(&bmp, 1, 2);
  PutLe(&bmp, static_cast<std::uint32_t>(options.bits), 2);
  PutLe(&bmp, 0, 4);  // uncompressed
  PutLe(&bmp, static_cast<std::uint32_t>(pixels.size()), 4);
  PutLe(&bmp, 2835, 4);
  PutLe(&bmp, 2835, 4);
  PutLe(&bmp, static_cast<std::uint32_t>(palette.size()), 4);
  PutLe(&bmp, 0, 4);
  for (const Rgb& c : palette) {
    bmp.push_back(static_cast<char>(c.b));
    bmp.push_back(static_cast<char>(c.g));
    bmp.push_back(static_cast<char>(c.r));
    bmp.push_back('\0');
  }
  return bmp + pixels;
}

RasterImage MakePicture(int width, int height, const PixelFunction& pixel) {
  RasterImage image(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) image.set_pixel(x, y, pixel(x, y));
  }
  return image;
}

TempFolder::TempFolder() {
  static std::atomic<int> counter{0};
  path_ = std::filesystem::temp_directory_path() /
          ("albumora-imaging-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int MaxDifference(const RasterImage& a, const RasterImage& b) {
  if (a.width() != b.width() || a.height() != b.height()) return 256;
  int worst = 0;
  for (int y = 0; y < a.height(); ++y) {
    const std::uint8_t* p = a.row(y);
    const std::uint8_t* q = b.row(y);
    for (std::size_t i = 0; i < a.stride(); ++i) worst = std::max(worst, std::abs(p[i] - q[i]));
  }
  return worst;
}

}  // namespace albumora::testing
