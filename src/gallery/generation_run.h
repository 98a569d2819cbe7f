// One run of "Fotowebseite erstellen": photos, pages, support files, settings.
#ifndef ALBUMORA_GALLERY_GENERATION_RUN_H_
#define ALBUMORA_GALLERY_GENERATION_RUN_H_

#include <string>

#include "gallery/run_state.h"
#include "settings/program_values.h"
#include "ui/controls.h"
#include "ui/progress_reporter.h"

namespace albumora {

enum class RunOutcome {
  kFinished,        // reached "Fertig: " with the pages written
  kNoPages,         // reached "Fertig: ", but wrote no page (no photos, or the template or the
                    // rows setting made pages impossible; the user was told why)
  kProgramMustEnd,  // a page could not be written; the message was shown, the program ends
};

RunOutcome GenerationRun(Controls& controls, ProgressReporter& reporter,
                         const ProgramValues& values, const ConversionOptions& options = {});

// Lists the photos of the source folder (control 13) and shows their count in status field 0.
// Returns the count. Used at start-up and when a source folder is chosen.
int ScanPhotos(const Controls& controls, ProgressReporter& reporter);

// Where a run writes the gallery: target folder (control 14) + "fotos/" + the lower-cased
// source folder name + "/".
std::string GalleryFolderOf(const Controls& controls, const ProgramValues& values);

}  // namespace albumora

#endif  // ALBUMORA_GALLERY_GENERATION_RUN_H_
