#include "imaging/jpeg_decoder.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "imaging/colour_profile.h"
#include "imaging/imaging_internal.h"
#include "imaging/jpeg_errors.h"
#include "imaging/orientation.h"
#include "platform/text.h"

namespace albumora {
namespace {

constexpr std::uint8_t kMissingRowsGray = 128;
// Rows decoded before they are handed on: a few of libjpeg's row groups, well inside the cache.
constexpr unsigned kBandRows = 32;

// The libjpeg object and what its callbacks reach. Zero-initialised, so destroying it is safe
// whether or not jpeg_create_decompress ran.
struct DecodeJob {
  jpeg_decompress_struct cinfo;
  JpegErrorManager errors;
  jpeg_progress_mgr progress;
  bool started;
  JOCTET* icc;  // the embedded colour profile, from jpeg_read_icc_profile (malloc)
  unsigned int icc_size;
  ~DecodeJob() {
    jpeg_destroy_decompress(&cinfo);
    std::free(icc);
  }
};

void LimitScans(j_common_ptr cinfo) {
  const auto* decompress = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (decompress->input_scan_number > kMaxJpegScans) {
    auto* manager = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    manager->too_many_scans = true;
    std::longjmp(manager->jump, 1);
  }
}

// Sets up libjpeg and reads the header. Plain C locals only (see JpegErrorManager).
bool ReadHeader(DecodeJob* job, const unsigned char* data, unsigned long size) {
  InstallJpegErrorManager(reinterpret_cast<j_common_ptr>(&job->cinfo), &job->errors);
  if (setjmp(job->errors.jump)) return false;
  jpeg_create_decompress(&job->cinfo);
  job->cinfo.mem->max_memory_to_use = kMaxJpegDecoderMemory;
  job->progress.progress_monitor = LimitScans;
  job->cinfo.progress = &job->progress;
  // The whole file in one piece; when libjpeg asks for more, it raises a warning and is given
  // FF D9, so a file that ends early decodes to a picture of full size.
  jpeg_mem_src(&job->cinfo, data, size);
  jpeg_save_markers(&job->cinfo, JPEG_APP0 + 1, 0xFFFF);
  jpeg_save_markers(&job->cinfo, JPEG_APP0 + 2, 0xFFFF);  // ICC profile chunks
  return jpeg_read_header(&job->cinfo, TRUE) == JPEG_HEADER_OK;
}

enum DecodeResult { kDecodeComplete, kStartFailed, kRowsBroken };

// Decodes every row into the writer, one scanline per call. Plain C locals only.
DecodeResult DecodeRows(DecodeJob* job, OrientedRowWriter* writer, std::uint8_t* cmyk_row,
                        const ColourProfile* cmyk_profile, unsigned width, unsigned height) {
  if (setjmp(job->errors.jump)) return job->started ? kRowsBroken : kStartFailed;
  jpeg_start_decompress(&job->cinfo);
  // The row copy relies on this shape; anything else is refused before a row is read.
  if (job->cinfo.output_width != width || job->cinfo.output_height != height ||
      job->cinfo.output_components != (cmyk_row != nullptr ? 4 : 3)) {
    return kStartFailed;
  }
  job->started = true;
  while (job->cinfo.output_scanline < job->cinfo.output_height) {
    JSAMPROW row = cmyk_row != nullptr ? cmyk_row : writer->NextRow();
    if (jpeg_read_scanlines(&job->cinfo, &row, 1) != 1) return kRowsBroken;
    if (cmyk_row != nullptr) {
      ConvertCmykRow(cmyk_profile, cmyk_row, writer->NextRow(),
                     static_cast<int>(job->cinfo.output_width));
    }
    writer->Commit();
  }
  jpeg_finish_decompress(&job->cinfo);
  return kDecodeComplete;
}

Orientation FindOrientation(const jpeg_decompress_struct& cinfo) {
  for (jpeg_saved_marker_ptr marker = cinfo.marker_list; marker != nullptr; marker = marker->next) {
    if (marker->marker != JPEG_APP0 + 1) continue;
    const std::string_view data(reinterpret_cast<const char*>(marker->data), marker->data_length);
    if (data.size() >= 5 && data.substr(0, 5) == std::string_view("Exif\0", 5)) {
      return ExifOrientation(data);
    }
  }
  return Orientation::kNormal;
}

// The payload of the ICC chunks libjpeg saved, counted before libjpeg joins them into one buffer.
std::size_t IccChunkBytes(const jpeg_decompress_struct& cinfo) {
  constexpr std::size_t kChunkHeader = 14;  // "ICC_PROFILE\0", chunk number, chunk count
  std::size_t total = 0;
  for (jpeg_saved_marker_ptr marker = cinfo.marker_list; marker != nullptr; marker = marker->next) {
    if (marker->marker == JPEG_APP0 + 2 && marker->data_length >= kChunkHeader &&
        std::memcmp(marker->data, "ICC_PROFILE", 12) == 0) {
      total += marker->data_length - kChunkHeader;
    }
  }
  return total;
}

// Joins the chunks; libjpeg refuses missing, repeated and contradictorily numbered ones (in any
// order they are fine). Plain C locals only.
bool ReadIccProfile(DecodeJob* job) {
  if (setjmp(job->errors.jump)) {
    job->errors.message[0] = '\0';  // out of memory for the profile: the photo goes on without
    return false;
  }
  return jpeg_read_icc_profile(&job->cinfo, &job->icc, &job->icc_size) == TRUE;
}

// The embedded profile when the pixels need converting through it; nullptr for none, sRGB and
// every profile that cannot be used: such photos are shown as they are, nothing is reported.
std::shared_ptr<const ColourProfile> EmbeddedProfile(DecodeJob* job, PixelLayout layout,
                                                     ImagingWorkspace* workspace) {
  if (IccChunkBytes(job->cinfo) > kMaxColourProfileBytes || !ReadIccProfile(job)) return nullptr;
  const std::string_view icc(reinterpret_cast<const char*>(job->icc), job->icc_size);
  if (workspace != nullptr) return WorkspaceAccess::ColourProfiles(*workspace)->Find(icc, layout);
  return ColourProfile::Parse(icc, layout);
}

std::string LibraryError(const JpegErrorManager& errors) {
  if (errors.too_many_scans) return ImagingMessage("Das JPEG-Bild hat zu viele Durchgänge.");
  return ImagingMessage("Das JPEG-Bild ist beschädigt: ") + errors.message;
}

void SetError(std::string* error, std::string message) {
  if (error != nullptr) *error = std::move(message);
}

// Everything before the first row, the same for both ways of decoding: libjpeg's set-up, the
// header, the limits and the decoding parameters. False with the message when the photo cannot
// be decoded.
bool SetUpDecoder(DecodeJob* job, std::string_view bytes, std::int64_t max_pixels,
                  JpegLayout* layout, std::string* error, ImagingWorkspace* workspace) {
  if (!ReadHeader(job, reinterpret_cast<const unsigned char*>(bytes.data()),
                  static_cast<unsigned long>(bytes.size()))) {
    SetError(error, LibraryError(job->errors));
    return false;
  }
  jpeg_decompress_struct& cinfo = job->cinfo;
  // Checked before anything large exists: a few hundred bytes may declare a gigantic picture.
  if (!imaging_internal::SizeWithinLimits(cinfo.image_width, cinfo.image_height, max_pixels)) {
    SetError(error, ImagingMessage("Das Bild ist zu groß (") + Decimal(cinfo.image_width) +
                        ImagingMessage(" × ") + Decimal(cinfo.image_height) +
                        ImagingMessage(" Pixel)."));
    return false;
  }
  cinfo.dct_method = JDCT_ISLOW;
  PixelLayout pixel_layout = PixelLayout::kRgb;
  switch (cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE:
      cinfo.out_color_space = JCS_RGB;  // each gray value into all three channels
      pixel_layout = PixelLayout::kGray;
      break;
    case JCS_YCbCr:
    case JCS_RGB:
      break;  // libjpeg's default output is RGB
    case JCS_CMYK:
    case JCS_YCCK:
      // libjpeg's default output is CMYK, turned into RGB row by row. It is read as inverted
      // (0 = full ink) whether or not the Adobe marker says so: Adobe applications write it so,
      // files without the marker are in practice theirs with the marker stripped, and browsers
      // read them the same way.
      pixel_layout = PixelLayout::kInvertedCmyk;
      break;
    default:
      SetError(error, ImagingMessage("Das JPEG-Bild hat einen nicht unterstützten Farbraum."));
      return false;
  }
  layout->width = static_cast<int>(cinfo.image_width);
  layout->height = static_cast<int>(cinfo.image_height);
  layout->cmyk = pixel_layout == PixelLayout::kInvertedCmyk;
  layout->orientation = FindOrientation(cinfo);
  layout->colour_profile = EmbeddedProfile(job, pixel_layout, workspace);
  return true;
}

std::string StartFailedMessage(const JpegErrorManager& errors) {
  return errors.message[0] != '\0' || errors.too_many_scans
             ? LibraryError(errors)
             : ImagingMessage("Das JPEG-Bild hat einen nicht unterstützten Aufbau.");
}

// Decodes the rows a band at a time and hands each band to the consumer. Plain C locals only.
DecodeResult DecodeBands(DecodeJob* job, JpegRowConsumer* consumer, std::uint8_t* band,
                         std::uint8_t* cmyk_band, const ColourProfile* cmyk_profile, unsigned width,
                         unsigned height) {
  if (setjmp(job->errors.jump)) return job->started ? kRowsBroken : kStartFailed;
  jpeg_start_decompress(&job->cinfo);
  if (job->cinfo.output_width != width || job->cinfo.output_height != height ||
      job->cinfo.output_components != (cmyk_band != nullptr ? 4 : 3)) {
    return kStartFailed;
  }
  job->started = true;
  const std::size_t stride = std::size_t{width} * 3;
  const std::size_t decoded_stride = cmyk_band != nullptr ? std::size_t{width} * 4 : stride;
  std::uint8_t* decoded = cmyk_band != nullptr ? cmyk_band : band;
  while (job->cinfo.output_scanline < job->cinfo.output_height) {
    // libjpeg returns at most one row group per call; the band is filled with several.
    JSAMPROW rows[kBandRows];
    unsigned filled = 0;
    while (filled < kBandRows && job->cinfo.output_scanline < job->cinfo.output_height) {
      for (unsigned i = filled; i < kBandRows; ++i) rows[i] = decoded + decoded_stride * i;
      const JDIMENSION got = jpeg_read_scanlines(&job->cinfo, rows + filled, kBandRows - filled);
      if (got == 0) return kRowsBroken;
      filled += got;
    }
    if (cmyk_band != nullptr) {
      for (unsigned i = 0; i < filled; ++i) {
        ConvertCmykRow(cmyk_profile, cmyk_band + decoded_stride * i, band + stride * i,
                       static_cast<int>(width));
      }
    }
    consumer->TakeRows(band, stride, static_cast<int>(filled));
  }
  jpeg_finish_decompress(&job->cinfo);
  return kDecodeComplete;
}

}  // namespace

bool DecodeJpeg(std::string_view bytes, std::int64_t max_pixels, RasterImage* image,
                std::string* error, ImagingWorkspace* workspace) {
  DecodeJob job{};
  JpegLayout layout;
  if (!SetUpDecoder(&job, bytes, max_pixels, &layout, error, workspace)) return false;
  jpeg_decompress_struct& cinfo = job.cinfo;
  const int width = layout.width;
  const int height = layout.height;
  const bool cmyk = layout.cmyk;
  const Orientation orientation = layout.orientation;
  const bool swap = SwapsSides(orientation);
  *image =
      imaging_internal::NewRasterImage(swap ? height : width, swap ? width : height, workspace);

  std::vector<std::uint8_t> own_scratch;
  std::vector<std::uint8_t>& scratch =
      workspace != nullptr ? *WorkspaceAccess::Bytes(*workspace) : own_scratch;
  const std::size_t strip_bytes = OrientedRowWriter::StripBytes(width, orientation);
  const std::size_t cmyk_bytes = cmyk ? static_cast<std::size_t>(width) * 4 : 0;
  if (scratch.size() < strip_bytes + cmyk_bytes) scratch.resize(strip_bytes + cmyk_bytes);
  OrientedRowWriter writer(image, width, height, orientation, scratch.data());

  // CMYK goes through its profile row by row; other pictures keep theirs for their copies.
  if (!cmyk) image->set_colour_profile(layout.colour_profile);
  switch (DecodeRows(&job, &writer, cmyk ? scratch.data() + strip_bytes : nullptr,
                     cmyk ? layout.colour_profile.get() : nullptr, cinfo.image_width,
                     cinfo.image_height)) {
    case kDecodeComplete:
      return true;
    case kStartFailed:
      image->Release();
      SetError(error, StartFailedMessage(job.errors));
      return false;
    case kRowsBroken:
      // An error after decoding has started keeps the picture at full size: the rows libjpeg
      // delivered hold the photo, and the rows it did not deliver (including the one it was
      // writing) are mid-gray, the colour libjpeg itself gives data missing at the end.
      writer.FillRemaining(kMissingRowsGray);
      return true;
  }
  return false;
}

StreamResult StreamJpeg(std::string_view bytes, std::int64_t max_pixels, JpegRowConsumer* consumer,
                        std::string* error, ImagingWorkspace* workspace) {
  DecodeJob job{};
  JpegLayout layout;
  if (!SetUpDecoder(&job, bytes, max_pixels, &layout, error, workspace)) {
    return StreamResult::kFailed;
  }
  if (!consumer->Start(layout)) return StreamResult::kDeclined;
  std::vector<std::uint8_t> own_scratch;
  std::vector<std::uint8_t>& scratch =
      workspace != nullptr ? *WorkspaceAccess::Bytes(*workspace) : own_scratch;
  const std::size_t band_bytes =
      std::size_t{kBandRows} * static_cast<std::size_t>(layout.width) * 3;
  const std::size_t cmyk_bytes = layout.cmyk ? band_bytes / 3 * 4 : 0;
  if (scratch.size() < band_bytes + cmyk_bytes) scratch.resize(band_bytes + cmyk_bytes);
  switch (DecodeBands(&job, consumer, scratch.data(),
                      layout.cmyk ? scratch.data() + band_bytes : nullptr,
                      layout.cmyk ? layout.colour_profile.get() : nullptr, job.cinfo.image_width,
                      job.cinfo.image_height)) {
    case kDecodeComplete:
      return StreamResult::kComplete;
    case kStartFailed:
      SetError(error, StartFailedMessage(job.errors));
      return StreamResult::kFailed;
    case kRowsBroken:
      return StreamResult::kBroken;
  }
  return StreamResult::kFailed;
}

}  // namespace albumora
