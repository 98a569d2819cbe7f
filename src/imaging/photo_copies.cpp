#include "imaging/photo_copies.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <optional>
#include <utility>
#include <vector>

#include "imaging/colour_profile.h"
#include "imaging/imaging_internal.h"
#include "imaging/jpeg_decoder.h"
#include "imaging/orientation.h"
#include "imaging/row_stream_scaler.h"

namespace albumora {
namespace {

using imaging_internal::RowStreamScaler;

// Whether ScaleRasterImage would make a new picture of `size` from a picture of `full`.
bool Rescales(PictureSize full, PictureSize size) {
  return size != full &&
         imaging_internal::SizeWithinLimits(size.width, size.height, kMaxPixelCount);
}

// The size turned as `orientation` turns it (a quarter turn swaps the sides either way).
PictureSize Turned(PictureSize upright, Orientation orientation) {
  return SwapsSides(orientation) ? PictureSize{upright.height, upright.width} : upright;
}

// A picture scaled in the stored orientation, turned upright.
RasterImage Upright(RasterImage stored, Orientation orientation, ImagingWorkspace* workspace) {
  if (orientation == Orientation::kNormal) return stored;
  const bool swap = SwapsSides(orientation);
  RasterImage upright = imaging_internal::NewRasterImage(
      swap ? stored.height() : stored.width(), swap ? stored.width() : stored.height(), workspace);
  // The decoder's band buffer is free by now.
  std::vector<std::uint8_t> own_strip;
  std::vector<std::uint8_t>& strip =
      workspace != nullptr ? *WorkspaceAccess::Bytes(*workspace) : own_strip;
  const std::size_t strip_bytes = OrientedRowWriter::StripBytes(stored.width(), orientation);
  if (strip.size() < strip_bytes) strip.resize(strip_bytes);
  OrientedRowWriter writer(&upright, stored.width(), stored.height(), orientation, strip.data());
  for (int y = 0; y < stored.height(); ++y) {
    std::memcpy(writer.NextRow(), stored.row(y), stored.stride());
    writer.Commit();
  }
  return upright;
}

// Every finished copy passes here, however it was made: converted to sRGB, turned upright, ready
// to be saved. The conversion comes first: the upright picture is a new one, without the profile.
void FinishCopy(RasterImage* copy, Orientation stored_orientation, ImagingWorkspace* workspace) {
  ConvertToSrgb(*copy);
  *copy = Upright(std::move(*copy), stored_orientation, workspace);
}

// Both copies scaled from the whole decoded photo: for what cannot be streamed.
bool CopiesFromFrame(std::string_view bytes, int big_side, int small_side, PhotoCopies* copies,
                     std::string* error, ImagingWorkspace* workspace) {
  RasterImage photo;
  if (!DecodeRasterImage(bytes, &photo, error, workspace)) return false;
  copies->full = {photo.width(), photo.height()};
  copies->big = photo;  // shares the pixels until it is scaled
  const PictureSize big = FitLongSide(photo.width(), photo.height(), big_side);
  ScaleRasterImage(copies->big, big.width, big.height, workspace);
  const PictureSize small = FitLongSide(photo.width(), photo.height(), small_side);
  copies->small = std::move(photo);
  ScaleRasterImage(copies->small, small.width, small.height, workspace);
  FinishCopy(&copies->big, Orientation::kNormal, workspace);
  FinishCopy(&copies->small, Orientation::kNormal, workspace);
  return true;
}

// Feeds the decoded rows to the scalers of both copies.
class CopyStreamer : public JpegRowConsumer {
 public:
  CopyStreamer(int big_side, int small_side, PhotoCopies* copies, ImagingWorkspace* workspace)
      : big_side_(big_side), small_side_(small_side), copies_(copies), workspace_(workspace) {}

  bool Start(const JpegLayout& layout) override {
    orientation_ = layout.orientation;
    const PictureSize upright = Turned({layout.width, layout.height}, orientation_);
    const PictureSize big = FitLongSide(upright.width, upright.height, big_side_);
    const PictureSize small = FitLongSide(upright.width, upright.height, small_side_);
    if (!Rescales(upright, big) || !Rescales(upright, small)) return false;
    copies_->full = upright;
    copies_->big = NewStoredCopy(big);
    copies_->small = NewStoredCopy(small);
    // CMYK rows arrive already converted; other pictures are converted once scaled.
    if (!layout.cmyk) {
      copies_->big.set_colour_profile(layout.colour_profile);
      copies_->small.set_colour_profile(layout.colour_profile);
    }
    big_.emplace(layout.width, layout.height, &copies_->big);
    small_.emplace(layout.width, layout.height, &copies_->small);
    return true;
  }

  void TakeRows(const std::uint8_t* rows, std::size_t stride, int count) override {
    big_->TakeRows(rows, stride, count);
    small_->TakeRows(rows, stride, count);
  }

  Orientation orientation() const { return orientation_; }

 private:
  RasterImage NewStoredCopy(PictureSize upright) {
    const PictureSize stored = Turned(upright, orientation_);
    return imaging_internal::NewRasterImage(stored.width, stored.height, workspace_);
  }

  int big_side_;
  int small_side_;
  PhotoCopies* copies_;
  ImagingWorkspace* workspace_;
  Orientation orientation_ = Orientation::kNormal;
  std::optional<RowStreamScaler> big_;
  std::optional<RowStreamScaler> small_;
};

bool IsJpeg(std::string_view bytes) {
  return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
         static_cast<unsigned char>(bytes[1]) == 0xD8;
}

bool StreamCopies(std::string_view bytes, int big_side, int small_side, PhotoCopies* copies,
                  std::string* error, ImagingWorkspace* workspace) {
  const std::int64_t max_pixels =
      workspace != nullptr ? workspace->max_pixel_count() : kMaxPixelCount;
  CopyStreamer streamer(big_side, small_side, copies, workspace);
  switch (StreamJpeg(bytes, max_pixels, &streamer, error, workspace)) {
    case StreamResult::kComplete:
      FinishCopy(&copies->big, streamer.orientation(), workspace);
      FinishCopy(&copies->small, streamer.orientation(), workspace);
      return true;
    case StreamResult::kFailed:
      return false;
    case StreamResult::kDeclined:
    case StreamResult::kBroken:
      break;
  }
  // A file that fails part way keeps the rows decoded before the failure, which only the whole
  // picture can show as it always has; it is decoded again that way (damaged files are rare).
  *copies = PhotoCopies{};
  return CopiesFromFrame(bytes, big_side, small_side, copies, error, workspace);
}

}  // namespace

bool ConvertPhotoBytes(std::string_view bytes, int big_side, int small_side, PhotoCopies* copies,
                       std::string* error, ImagingWorkspace* workspace) {
  *copies = PhotoCopies{};
  if (!IsJpeg(bytes)) {
    return CopiesFromFrame(bytes, big_side, small_side, copies, error, workspace);
  }
  bool made = false;
  try {
    made = StreamCopies(bytes, big_side, small_side, copies, error, workspace);
  } catch (const std::bad_alloc&) {
    // The whole picture may still fit where the streaming buffers did not, or fail with the
    // load's own message.
    *copies = PhotoCopies{};
    try {
      made = CopiesFromFrame(bytes, big_side, small_side, copies, error, workspace);
    } catch (const std::bad_alloc&) {
      made = false;
      if (error != nullptr) *error = imaging_internal::OutOfMemoryMessage();
    }
  }
  if (!made) *copies = PhotoCopies{};
  return made;
}

bool ConvertPhotoFile(std::string_view path, int big_side, int small_side, PhotoCopies* copies,
                      std::string* error, ImagingWorkspace* workspace) {
  *copies = PhotoCopies{};
  std::string own_bytes;
  std::string* bytes = imaging_internal::FileBuffer(workspace, &own_bytes);
  if (!imaging_internal::ReadPhotoFile(path, bytes, error)) return false;
  const bool made = ConvertPhotoBytes(*bytes, big_side, small_side, copies, error, workspace);
  bytes->clear();  // keeps the capacity for the next photo
  return made;
}

}  // namespace albumora
