// Step 2 of a run: every photo of the source folder becomes a big and a small JPEG copy.
#ifndef ALBUMORA_GALLERY_CONVERT_PHOTOS_H_
#define ALBUMORA_GALLERY_CONVERT_PHOTOS_H_

#include <string>

#include "gallery/photo_job.h"
#include "gallery/run_state.h"

namespace albumora {

// Makes the copies of one photo: the original copy (when asked for), the big and the small one,
// both scaled from the decoded source. Touches no file but its own copies.
ConvertedPhoto ConvertPhoto(const PhotoJob& job, ImagingWorkspace& workspace);

// Scans the source folder into run.photos, then converts every photo, makes the empty
// thumbnail and tells the user about photos that could not be taken. Photos that could not be
// read are left out of run.photos afterwards, the others numbered 1..n again.
void ConvertPhotos(RunState& run);

// The message about left-out names, unreadable photos and failed saves; empty when all went well.
std::string ConversionTroubleText(const RunState& run);

// A name as it can be shown in a message: control characters become '?'.
std::string DisplayName(std::string_view name);

}  // namespace albumora

#endif  // ALBUMORA_GALLERY_CONVERT_PHOTOS_H_
