// What the steps of one generation run share: the live controls, the reporter, the program-wide
// values, and the tables the run builds (photo list, split template, page arithmetic).
#ifndef ALBUMORA_GALLERY_RUN_STATE_H_
#define ALBUMORA_GALLERY_RUN_STATE_H_

#include <string>
#include <string_view>
#include <vector>

#include "gallery/photo_job.h"
#include "gallery/photo_list.h"
#include "settings/program_values.h"
#include "ui/controls.h"
#include "ui/progress_reporter.h"

namespace albumora {

// The small-view template split at its loop markers.
struct OverviewTemplate {
  std::vector<std::string> head_lines;  // up to and including the start marker line
  std::vector<std::string> loop_lines;  // up to and including the end marker line
  std::vector<std::string> tail_lines;
  int thumbs_per_row = 0;  // loop lines that hold "##AL_kl_Bild"
};

// The page arithmetic of the overview pages, fixed once per run after the split.
struct OverviewLayout {
  int rows_per_page = 0;
  int photos_per_page = 0;
  int rounded_photo_count = 0;
  int page_count = 0;
};

// What went wrong with single files during the conversion; told to the user once afterwards.
struct ConversionTrouble {
  std::vector<std::string> undecodable;  // "name (reason)"
  std::vector<std::string> unsaved;      // photos left out since a copy could not be saved
  int failed_saves = 0;
  std::string first_failed_save;      // a path, as an example for the message
  std::string empty_thumbnail_error;  // why "leer.jpg" could not be read, or empty
  int failed_page_writes = 0;         // pages created but not written completely
  std::string first_failed_page;
};

struct RunState {
  RunState(Controls& run_controls, ProgressReporter& run_reporter, const ProgramValues& run_values)
      : controls(run_controls), reporter(run_reporter), values(run_values) {}

  Controls& controls;
  ProgressReporter& reporter;
  const ProgramValues& values;
  ConversionOptions options;

  PhotoList photos;
  std::vector<LeftOutName> left_out;
  ConversionTrouble trouble;
  OverviewTemplate overview;
  OverviewLayout layout;
  // What the support files were last copied from in this run. Every page that links them asks
  // for the copy; copying the same files again for each of hundreds of pages would cost more
  // than writing the pages, so a copy is repeated only when its source setting has changed.
  std::string graphics_copied_from;
  std::string style_sheet_copied_from;

  // Settings are read from the controls each time they are needed: the run keeps no copy.
  std::string Text(int control) const { return controls.GetControlText(control); }
  bool Checked(int control) const { return controls.GetControlState(control) != 0; }
  int State(int control) const { return controls.GetControlState(control); }
};

// Target folder + "fotos/" + the lower-cased source folder name + "/".
std::string GalleryFolderPath(std::string_view target_folder, std::string_view source_folder_name);
std::string GalleryFolder(const RunState& run);

// The rows-per-page list's text read as a decimal number: leading blanks and tabs skipped, one
// optional sign, then digits up to the first other character; no digits give 0.
int ReadDecimal(std::string_view text);
int RowsPerPage(const RunState& run);

// The file name a page links as its style sheet: the path's part after its last '/' or '\', a
// leading double quote of the path skipped and cut before the next double quote.
std::string StyleSheetLinkName(std::string_view style_sheet_path);

}  // namespace albumora

#endif  // ALBUMORA_GALLERY_RUN_STATE_H_
