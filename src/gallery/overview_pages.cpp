#include <algorithm>
#include <limits>

#include "gallery/page_writers.h"
#include "gallery/support_files.h"
#include "gallery/template_engine.h"
#include "platform/text.h"
#include "ui/control_ids.h"

namespace albumora {
namespace {

long long CeilDiv(long long a, long long b) { return (a + b - 1) / b; }

int ClampToInt(long long value) {
  return static_cast<int>(std::min<long long>(value, std::numeric_limits<int>::max()));
}

void WriteOverviewHeadBlock(RunState& run, TextWriter& page) {
  page.WriteLine(run.Checked(ctl::kRobots) ? R"(<meta name="robots" content="nofollow">)"
                                           : R"(<meta name="robots" content="noindex">)");
  if (run.Checked(ctl::kMetaTags)) {
    page.WriteLine(R"(<meta name="DC.Title" content="##AL_FensterTitel">)");
    const std::string author = run.Text(ctl::kMetaAuthor);
    if (!author.empty()) {
      page.WriteLine(R"(<meta name="DC.Creator" content=")" + author + R"(">)");
      page.WriteLine(R"(<meta name="DC.Rights" content="Alle Rechte liegen beim Autor">)");
    }
    page.WriteLine(R"(<meta name="DC.Subject" content="##AL_FensterTitel">)");
    const std::string description = run.Text(ctl::kMetaDescription);
    if (!description.empty()) {
      page.WriteLine(R"(<meta name="DC.Description" content=")" + description + R"(">)");
    }
    const std::string publisher = run.Text(ctl::kMetaPublisher);
    if (!publisher.empty()) {
      page.WriteLine(R"(<meta name="DC.Publisher" content=")" + publisher + R"(">)");
    }
    page.WriteLine(R"(<meta name="DC.Date" content=")" + run.values.start_date_ymd + R"(">)");
    page.WriteLine(R"(<meta name="DC.Type" content="Image">)");
    page.WriteLine(R"(<meta name="DC.Format" content="text/html">)");
    page.WriteLine(R"(<meta name="DC.Language" content="de">)");
    page.WriteLine(R"(<meta name="GENERATOR" content=")" + run.values.generator_text + R"(">)");
    page.WriteLine("");
  }
  if (run.Checked(ctl::kRevealTransition)) {
    page.WriteLine(
        R"x(<meta http-equiv="Page-Enter" content="revealTrans(Duration=3.0,Transition=23)">)x");
  } else if (run.Checked(ctl::kBlendTransition)) {
    page.WriteLine(R"x(<meta http-equiv="Page-Enter" content="blendTrans(Duration=2.0)">)x");
  }
  if (run.Checked(ctl::kExternalCss)) {
    page.WriteLine("");
    // The copy is stored under the lower-cased name, and the file system tells case apart.
    page.WriteLine(R"(<link rel="stylesheet" type="text/css" href=")" +
                   LowerCase(StyleSheetLinkName(run.Text(ctl::kCssFile))) + R"(">)");
    page.WriteLine("");
    CopyStyleSheet(run);
  }
}

void WritePageNavigation(const RunState& run, TextWriter& page, int current) {
  page.WriteLine(Cp1252(
      R"(<center><font size="2" face="Verdana"><font color="#FF0000">Sie sehen Fotos Nr.</font>)"));
  const long long per_page = run.layout.photos_per_page;
  for (int q = 1; q <= run.layout.page_count; ++q) {
    const std::string link = R"([<a href="fotos_)" + Decimal(q) + R"(.htm">)";
    const std::string range = Decimal((q - 1) * per_page + 1) + "-" + Decimal(q * per_page);
    if (q == current) {
      page.WriteLine(link + R"(<font color="#FF0000">)" + range + "</font></a>]");
    } else {
      page.WriteLine(link + range + "</a>]");
    }
  }
  page.WriteLine(
      Cp1252(R"(<a href="../../index.htm"> -->Zurück zum Inhalt<-- </center></font><hr>)"));
  WriteCreditFooter(run, page, /*with_rule=*/false);
}

}  // namespace

OverviewLayout ComputeOverviewLayout(int photo_count, int thumbs_per_row, int rows_per_page) {
  OverviewLayout layout;
  layout.rows_per_page = rows_per_page;
  if (thumbs_per_row <= 0 || rows_per_page <= 0) return layout;
  const long long per_page = static_cast<long long>(thumbs_per_row) * rows_per_page;
  const long long rounded = CeilDiv(photo_count, thumbs_per_row) * thumbs_per_row;
  layout.photos_per_page = ClampToInt(per_page);
  layout.rounded_photo_count = ClampToInt(rounded);
  layout.page_count = ClampToInt(CeilDiv(rounded, per_page));
  return layout;
}

void WriteCreditFooter(const RunState& run, TextWriter& page, bool with_rule) {
  if (with_rule) page.WriteLine("<hr>");
  page.WriteLine(R"(<a href=")" + std::string(kProductWebAddress) +
                 R"("><font size="1" color="#808080">)");
  page.WriteLine("<center>Erstellt mit " + run.values.generator_text + " - Download von " +
                 std::string(kProductWebLabel) + "</center></font></a>");
  page.WriteLine("<hr></body>");
}

PagesOutcome WriteOverviewTempPages(RunState& run) {
  const bool template_read = SplitOverviewTemplate(run);
  const int photo_count = run.photos.count();
  const int rows = RowsPerPage(run);
  run.layout = ComputeOverviewLayout(photo_count, run.overview.thumbs_per_row, rows);
  if (photo_count == 0) return PagesOutcome::kWritten;  // nothing to show, nothing to divide
  if (run.layout.page_count == 0) {
    std::string text;
    if (rows <= 0) {
      text += Cp1252("Bei „Anzahl der Fotos untereinander:“ ist keine Zahl gewählt.\n\n");
    }
    if (template_read && run.overview.thumbs_per_row == 0) {
      text += Cp1252("Die Vorlage für die kleinen Fotos\n\n") + run.Text(ctl::kSmallTemplate) +
              Cp1252(
                  "\n\nhat zwischen <!--##AL_Schleife_Anfang--> und <!--##AL_Schleife_Ende--> "
                  "keine Zeile mit ##AL_kl_Bild.\n\n");
    }
    // A template that could not be read has been reported already.
    if (!text.empty()) {
      text += Cp1252(
          "Es wurden keine Webseiten geschrieben. Bitte korrigieren Sie das und erstellen Sie "
          "die Fotowebseite noch einmal.");
      run.controls.ShowMessage("Achtung", text);
    }
    return PagesOutcome::kNotWritten;
  }

  int photo_index = 0;
  for (int p = 1; p <= run.layout.page_count; ++p) {
    const std::string path = run.values.temp_folder + "fotos_" + Decimal(p) + ".htm";
    TextWriter page;
    if (!page.Open(path)) {
      run.controls.ShowMessage("Albumora", "Ich kann die Seite nicht schreiben");
      return PagesOutcome::kProgramMustEnd;
    }
    const auto& head = run.overview.head_lines;
    for (std::size_t i = 0; i + 1 < head.size(); ++i) {
      page.WriteLine(head[i]);
      if (Contains(head[i], "<head>")) WriteOverviewHeadBlock(run, page);
    }
    ExpandLoopBlock(run.overview, run.photos, run.layout.rows_per_page,
                    run.layout.rounded_photo_count, photo_index,
                    [&page](std::string_view line) { page.WriteLine(line); });
    for (const std::string& line : run.overview.tail_lines) {
      if (Contains(line, "</body>")) {
        page.WriteLine(ReplaceAll(line, "</body>", ""));
        WritePageNavigation(run, page, p);
      } else {
        page.WriteLine(line);
      }
    }
    if (!page.Close()) NotePageWriteFailure(run, path);
    run.reporter.ShowStatus("Schreibe Temp-Datei: " + Decimal(p));
    run.reporter.KeepAlive(100);
  }
  return PagesOutcome::kWritten;
}

}  // namespace albumora
