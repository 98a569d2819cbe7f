// SaveRasterImageAsJpeg and EncodeRasterImageAsJpeg.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>

#include "imaging/imaging_internal.h"
#include "imaging/jpeg_errors.h"
#include "imaging/raster_image.h"
#include "platform/files.h"

namespace albumora {
namespace {

constexpr int kMaxQualityStep = 10;

// Zero-initialised, so destroying it is safe whether or not jpeg_create_compress ran.
struct EncodeJob {
  jpeg_compress_struct cinfo;
  JpegErrorManager errors;
  ~EncodeJob() { jpeg_destroy_compress(&cinfo); }
};

// A destination that appends to a std::string. An allocation failure becomes a libjpeg error, so
// that no C++ exception passes through libjpeg's C frames.
struct StringDestination {
  jpeg_destination_mgr pub;
  std::string* out;
  std::array<JOCTET, 16384> buffer;
};

bool AppendToString(StringDestination* destination, std::size_t count) {
  try {
    destination->out->append(reinterpret_cast<const char*>(destination->buffer.data()), count);
    return true;
  } catch (...) {
    return false;
  }
}

void StartString(j_compress_ptr cinfo) {
  auto* destination = reinterpret_cast<StringDestination*>(cinfo->dest);
  destination->pub.next_output_byte = destination->buffer.data();
  destination->pub.free_in_buffer = destination->buffer.size();
}

boolean FlushString(j_compress_ptr cinfo) {
  auto* destination = reinterpret_cast<StringDestination*>(cinfo->dest);
  if (!AppendToString(destination, destination->buffer.size())) {
    ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
  }
  StartString(cinfo);
  return TRUE;
}

void FinishString(j_compress_ptr cinfo) {
  auto* destination = reinterpret_cast<StringDestination*>(cinfo->dest);
  if (!AppendToString(destination, destination->buffer.size() - destination->pub.free_in_buffer)) {
    ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
  }
}

// Encodes `image` into `file`, or into `memory` when there is no file. Plain C locals only (see
// JpegErrorManager): an error of libjpeg, including a write error, comes back here as false.
bool Compress(EncodeJob* job, const RasterImage* image, int quality, std::FILE* file,
              StringDestination* memory) {
  InstallJpegErrorManager(reinterpret_cast<j_common_ptr>(&job->cinfo), &job->errors);
  if (setjmp(job->errors.jump)) return false;
  jpeg_create_compress(&job->cinfo);
  if (file != nullptr) {
    jpeg_stdio_dest(&job->cinfo, file);
  } else {
    memory->pub.init_destination = StartString;
    memory->pub.empty_output_buffer = FlushString;
    memory->pub.term_destination = FinishString;
    job->cinfo.dest = &memory->pub;
  }
  job->cinfo.image_width = static_cast<JDIMENSION>(image->width());
  job->cinfo.image_height = static_cast<JDIMENSION>(image->height());
  job->cinfo.input_components = 3;
  job->cinfo.in_color_space = JCS_RGB;
  // The defaults give YCbCr 4:2:0, standard Huffman tables, ISLOW and a JFIF 1.01 marker. Not
  // forcing baseline lets quality 1..20 keep quantisation values above 255 (16-bit tables in an
  // extended sequential frame).
  jpeg_set_defaults(&job->cinfo);
  jpeg_set_quality(&job->cinfo, quality, FALSE);
  jpeg_start_compress(&job->cinfo, TRUE);
  while (job->cinfo.next_scanline < job->cinfo.image_height) {
    // libjpeg only reads the rows it is given.
    JSAMPROW row = const_cast<JSAMPROW>(image->row(static_cast<int>(job->cinfo.next_scanline)));
    jpeg_write_scanlines(&job->cinfo, &row, 1);
  }
  jpeg_finish_compress(&job->cinfo);
  return true;
}

int QualityOfStep(int quality_step) { return std::clamp(quality_step, 0, kMaxQualityStep) * 10; }

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// Removes what a failed save left at `native`, but only the regular file that was written
// (never a device such as /dev/full, nor a file put there since).
void RemoveIncomplete(const std::string& native, const struct stat& written) {
  struct stat now;
  if (S_ISREG(written.st_mode) && ::stat(native.c_str(), &now) == 0 &&
      now.st_dev == written.st_dev && now.st_ino == written.st_ino) {
    ::unlink(native.c_str());
  }
}

// Gives a writable regular file at `native` up, so that the picture goes into a new file. A file
// truncated and written again in place is flushed to disk when it is closed (ext4's safeguard for
// replace-by-truncate), which costs milliseconds per picture when a gallery is made again; a new
// file is not. Links, devices and files the user may not write are left to fopen as they are.
void RemoveReplaceableFile(const std::string& native) {
  struct stat existing;
  if (::lstat(native.c_str(), &existing) == 0 && S_ISREG(existing.st_mode) &&
      (existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 &&
      ::faccessat(AT_FDCWD, native.c_str(), W_OK, AT_EACCESS) == 0) {
    ::unlink(native.c_str());
  }
}

}  // namespace

bool SaveRasterImageAsJpeg(const RasterImage& image, std::string_view path, int quality_step) {
  if (image.empty()) return false;
  const std::string native = NativePath(path);
  RemoveReplaceableFile(native);
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(native.c_str(), "wb"));
  if (file == nullptr) return false;
  struct stat written {};
  const bool known = ::fstat(::fileno(file.get()), &written) == 0;
  bool saved = false;
  {
    EncodeJob job{};
    saved = Compress(&job, &image, QualityOfStep(quality_step), file.get(), nullptr);
  }
  // fclose writes what stdio still buffers; a failure there is a failed save too.
  saved = std::fclose(file.release()) == 0 && saved;
  if (!saved && known) RemoveIncomplete(native, written);
  return saved;
}

bool EncodeRasterImageAsJpeg(const RasterImage& image, int quality_step, std::string* jpeg) {
  jpeg->clear();
  if (image.empty()) return false;
  auto destination = std::make_unique<StringDestination>();
  destination->out = jpeg;
  EncodeJob job{};
  if (!Compress(&job, &image, QualityOfStep(quality_step), nullptr, destination.get())) {
    jpeg->clear();
    return false;
  }
  return true;
}

}  // namespace albumora
