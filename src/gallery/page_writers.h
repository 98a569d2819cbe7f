// The three page writers of a run: the overview pages (first written into the temporary folder,
// then filled into the gallery folder) and the photo pages.
#ifndef ALBUMORA_GALLERY_PAGE_WRITERS_H_
#define ALBUMORA_GALLERY_PAGE_WRITERS_H_

#include <string_view>

#include "gallery/run_state.h"
#include "platform/text_writer.h"

namespace albumora {

// The product's home page, named in the credit footer of every page (the same address as the
// desktop program's kProductWebsite).
inline constexpr std::string_view kProductWebAddress = "https://albumora.example";
inline constexpr std::string_view kProductWebLabel = "albumora.example";

enum class PagesOutcome {
  kWritten,
  kNotWritten,      // the template or the rows setting makes pages impossible; the user was told
  kProgramMustEnd,  // a page file could not be created; the message was shown
};

// Splits the small-view template, fixes the page arithmetic and writes the first-stage overview
// pages into the temporary folder.
PagesOutcome WriteOverviewTempPages(RunState& run);

// Overview pages into the gallery folder (every placeholder filled), then the photo pages.
PagesOutcome AssembleWebPages(RunState& run);

// One page per photo from the big-view template.
PagesOutcome WritePhotoPages(RunState& run);

// The page arithmetic for `photo_count` photos. Rows or thumbnails per row of 0 give no pages.
OverviewLayout ComputeOverviewLayout(int photo_count, int thumbs_per_row, int rows_per_page);

// The credit footer; `with_rule` adds the "<hr>" line the photo pages have before it.
void WriteCreditFooter(const RunState& run, TextWriter& page, bool with_rule);

// Counts a page whose writing failed after it was created (a full disk), for the message at the
// end of the run.
void NotePageWriteFailure(RunState& run, std::string_view path);

}  // namespace albumora

#endif  // ALBUMORA_GALLERY_PAGE_WRITERS_H_
