// The template engine on arbitrary template bytes: the split, the loop expansion page by page and
// the general placeholder pass over every written line, as a run does it. The first two bytes
// choose the photo count and the rows per page; the output is counted, not kept.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "gallery/page_writers.h"
#include "gallery/template_engine.h"
#include "platform/text.h"
#include "settings/program_values.h"
#include "ui/control_ids.h"
#include "ui/memory_controls.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace albumora;
  if (size < 2) return 0;
  const int photo_count = data[0] % 24;
  const int rows = data[1] % 11;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 2, size - 2);

  MemoryControls controls;
  MemoryProgressReporter reporter(controls);
  const ProgramValues values = MakeProgramValues(LocalDate{2008, 3, 15}, "/nonexistent/");
  // Values that hold placeholder words must not be filled again.
  controls.SetControlText(ctl::kWindowTitle, "##AL_FensterTitel ##AL_Name");
  controls.SetControlText(ctl::kHeading, "##AL_Ueberschrift");
  RunState run(controls, reporter, values);
  for (int i = 1; i <= photo_count; ++i) run.photos.Add("Foto " + Decimal(i) + ".JPG");

  run.overview = SplitOverviewLines(SplitTextLines(bytes));
  const OverviewTemplate& overview = run.overview;
  if (overview.head_lines.size() + overview.loop_lines.size() + overview.tail_lines.size() !=
      SplitTextLines(bytes).size()) {
    std::abort();  // the split must keep every line
  }
  run.layout = ComputeOverviewLayout(photo_count, overview.thumbs_per_row, rows);
  if (photo_count > 0 && run.layout.page_count > 0 &&
      1LL * run.layout.page_count * run.layout.photos_per_page < run.layout.rounded_photo_count) {
    std::abort();  // the pages must have room for every photo
  }

  std::size_t written = 0;
  int photo_index = 0;
  for (int page = 1; page <= run.layout.page_count; ++page) {
    for (const std::string& line : overview.head_lines) {
      written += ReplacePlaceholders(run, line, page).size();
    }
    const int index_before = photo_index;
    ExpandLoopBlock(
        overview, run.photos, run.layout.rows_per_page, run.layout.rounded_photo_count, photo_index,
        [&](std::string_view line) { written += ReplacePlaceholders(run, line, page).size(); });
    if (photo_index < index_before) std::abort();
    for (const std::string& line : overview.tail_lines) {
      written += ReplacePlaceholders(run, line, page).size();
    }
  }
  return written == static_cast<std::size_t>(-1);
}
