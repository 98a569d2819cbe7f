#include "gallery/generation_run.h"

#include "gallery/convert_photos.h"
#include "gallery/page_writers.h"
#include "gallery/run_state.h"
#include "gallery/support_files.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "settings/settings.h"
#include "ui/control_ids.h"

namespace albumora {

int ScanPhotos(const Controls& controls, ProgressReporter& reporter) {
  const int count = ScanPhotoFolder(controls.GetControlText(ctl::kSourceFolder)).photos.count();
  reporter.ShowPhotoCount(count);
  return count;
}

std::string GalleryFolderOf(const Controls& controls, const ProgramValues& values) {
  return GalleryFolderPath(controls.GetControlText(ctl::kTargetFolder), values.source_folder_name);
}

RunOutcome GenerationRun(Controls& controls, ProgressReporter& reporter,
                         const ProgramValues& values, const ConversionOptions& options) {
  RunState run(controls, reporter, values);
  run.options = options;

  // The temporary folder only ever holds the first-stage pages of the last run. A relative one
  // (no user temporary folder could be had) would resolve into the user's own files: not cleared.
  if (IsAbsolutePath(values.temp_folder)) ClearFolder(values.temp_folder);
  CreateFolder(values.temp_folder);

  ConvertPhotos(run);
  const PagesOutcome pages = AssembleWebPages(run);
  if (pages == PagesOutcome::kProgramMustEnd) return RunOutcome::kProgramMustEnd;
  CopyDownloadScript(run);

  reporter.ShowStatus(Cp1252("Lösche den Inhalt des Albumora Tempverzeichnis: "));
  reporter.Pause(1800);
  SaveSettings(controls, values.settings_file);
  reporter.ShowStatus("Fertig: ");
  const bool pages_written = pages == PagesOutcome::kWritten && run.photos.count() > 0;
  return pages_written ? RunOutcome::kFinished : RunOutcome::kNoPages;
}

}  // namespace albumora
