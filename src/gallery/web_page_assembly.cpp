#include "gallery/line_reader.h"
#include "gallery/page_writers.h"
#include "gallery/template_engine.h"
#include "platform/text.h"

namespace albumora {

void NotePageWriteFailure(RunState& run, std::string_view path) {
  if (run.trouble.failed_page_writes++ == 0) run.trouble.first_failed_page = std::string(path);
}

PagesOutcome AssembleWebPages(RunState& run) {
  const PagesOutcome overview = WriteOverviewTempPages(run);
  if (overview != PagesOutcome::kWritten) return overview;

  const std::string gallery = GalleryFolder(run);
  for (int p = 1; p <= run.layout.page_count; ++p) {
    // Copied line by line: a first-stage page is never held whole.
    LineReader first_stage;
    if (!first_stage.Open(run.values.temp_folder + "fotos_" + Decimal(p) + ".htm")) {
      run.controls.ShowMessage("Achtung", Cp1252("Konnte Vorlagen Datei nicht öffnen!"));
    }
    const std::string path = gallery + "fotos_" + Decimal(p) + ".htm";
    TextWriter page;
    if (!page.Open(path)) {
      run.controls.ShowMessage("Albumora", "Ich kann die Seite nicht schreiben");
      return PagesOutcome::kProgramMustEnd;
    }
    for (std::string line; first_stage.ReadLine(&line);) {
      page.WriteLine(ReplacePlaceholders(run, line, p));
    }
    if (!page.Close()) NotePageWriteFailure(run, path);
    run.reporter.ShowStatus("Schreibe Webseite: " + Decimal(p));
    run.reporter.KeepAlive(100);
  }
  const PagesOutcome photo_pages = WritePhotoPages(run);
  if (photo_pages != PagesOutcome::kWritten) return photo_pages;

  if (run.trouble.failed_page_writes > 0) {
    run.controls.ShowMessage(
        "Achtung", Decimal(run.trouble.failed_page_writes) +
                       Cp1252(" Seite(n) konnten nicht vollständig geschrieben werden, zum "
                              "Beispiel\n\n") +
                       run.trouble.first_failed_page +
                       Cp1252("\n\nIst der Datenträger voll? Die Fotowebseite ist unvollständig."));
  }
  return PagesOutcome::kWritten;
}

}  // namespace albumora
