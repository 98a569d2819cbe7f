#include "gallery_test_support.h"

#include <jpeglib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "platform/files.h"
#include "settings/settings.h"
#include "ui/control_ids.h"

namespace albumora::testing {

void WorkFolderTest::SetUp() { work_.emplace(); }

void WorkFolderTest::TearDown() { work_.reset(); }

std::string WorkFolderTest::Path(std::string_view relative) const {
  return work_->path() + std::string(relative);
}

std::string CrLfLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::string EncodeTestJpeg(int width, int height, bool grayscale, int quality) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = grayscale ? 1 : 3;
  cinfo.in_color_space = grayscale ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<unsigned char> row(static_cast<std::size_t>(width) * cinfo.input_components);
  while (cinfo.next_scanline < cinfo.image_height) {
    const int y = static_cast<int>(cinfo.next_scanline);
    for (int x = 0; x < width; ++x) {
      if (grayscale) {
        row[static_cast<std::size_t>(x)] =
            static_cast<unsigned char>((x + y) * 255 / (width + height));
      } else {
        row[static_cast<std::size_t>(x) * 3] = static_cast<unsigned char>(x * 255 / width);
        row[static_cast<std::size_t>(x) * 3 + 1] = static_cast<unsigned char>(y * 255 / height);
        row[static_cast<std::size_t>(x) * 3 + 2] = 128;
      }
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  std::string jpeg(reinterpret_cast<const char*>(buffer), size);
  jpeg_destroy_compress(&cinfo);
  std::free(buffer);
  return jpeg;
}

namespace {

void PutLittleEndian(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

std::string EncodeTestBitmap(int width, int height) {
  const std::uint32_t stride = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
  const std::uint32_t pixel_bytes = stride * static_cast<std::uint32_t>(height);
  std::string bmp = "BM";
  PutLittleEndian(bmp, 54 + pixel_bytes, 4);
  PutLittleEndian(bmp, 0, 4);
  PutLittleEndian(bmp, 54, 4);
  PutLittleEndian(bmp, 40, 4);
  PutLittleEndian(bmp, static_cast<std::uint32_t>(width), 4);
  PutLittleEndian(bmp, static_cast<std::uint32_t>(height), 4);
  PutLittleEndian(bmp, 1, 2);
  PutLittleEndian(bmp, 24, 2);
  PutLittleEndian(bmp, 0, 4);
  PutLittleEndian(bmp, pixel_bytes, 4);
  PutLittleEndian(bmp, 2835, 4);
  PutLittleEndian(bmp, 2835, 4);
  PutLittleEndian(bmp, 0, 4);
  PutLittleEndian(bmp, 0, 4);
  for (int y = 0; y < height; ++y) {
    std::string row;
    for (int x = 0; x < width; ++x) row += std::string{char(200), char(x & 0xFF), char(y & 0xFF)};
    row.resize(stride, '\0');
    bmp += row;
  }
  return bmp;
}

PictureSize JpegFrameSize(const std::filesystem::path& path) {
  const std::string data = ReadFile(path);
  std::size_t i = 2;
  if (data.size() < 4 || static_cast<unsigned char>(data[0]) != 0xFF ||
      static_cast<unsigned char>(data[1]) != 0xD8) {
    return {};
  }
  auto byte = [&data](std::size_t at) { return static_cast<unsigned char>(data[at]); };
  while (i + 9 < data.size()) {
    if (byte(i) != 0xFF) return {};
    const unsigned char marker = byte(i + 1);
    const std::size_t length = (byte(i + 2) << 8) | byte(i + 3);
    if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
      return {(byte(i + 7) << 8) | byte(i + 8), (byte(i + 5) << 8) | byte(i + 6)};
    }
    i += 2 + length;
  }
  return {};
}

RunEnvironment::RunEnvironment()
    : values(MakeProgramValues(LocalDate{2008, 3, 15},
                               std::filesystem::current_path().string() + "/tmp/")) {
  std::filesystem::create_directories(std::filesystem::current_path() / "tmp");
  // The controls start with their placeholder captions; a first start puts the defaults in.
  LoadSettings(controls, "keine-einstellungen.alb");
}

void RunEnvironment::SetSourceFolder(std::string_view folder) {
  controls.SetControlText(ctl::kSourceFolder, folder);
  values.source_folder_name = DeriveSourceFolderName(folder);
}

std::vector<std::string> RunEnvironment::MessageTexts() const {
  std::vector<std::string> texts;
  for (const auto& message : controls.messages())
    texts.push_back(message.title + ": " + message.text);
  return texts;
}

}  // namespace albumora::testing
