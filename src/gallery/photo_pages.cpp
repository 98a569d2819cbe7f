#include <cstdio>

#include "gallery/page_writers.h"
#include "gallery/support_files.h"
#include "gallery/template_engine.h"
#include "platform/files.h"
#include "platform/text.h"
#include "ui/control_ids.h"

namespace albumora {
namespace {

// The neighbours in the photo navigation, wrapping around at both ends.
struct Neighbours {
  int previous;
  int next;
};

Neighbours NeighboursOf(int number, int count) {
  return {number == 1 ? count : number - 1, number == count ? 1 : number + 1};
}

std::string PageLink(int number) { return "bild_" + Decimal(number) + ".htm"; }

// The graphic bar names its pictures by file name: they are copied next to the pages.
void WriteGraphicNavigation(RunState& run, TextWriter& page, int number) {
  const int count = run.photos.count();
  const Neighbours around = NeighboursOf(number, count);
  const std::string space = R"(<img border="0" src="space.gif" width="20" height="20">)";
  page.WriteLine("<center>");
  page.WriteLine(
      R"(<a titel="Erstes Foto" href="bild_1.htm"><img border="0" src="anfang.gif" width="20" height="20"></a>)");
  page.WriteLine(space);
  page.WriteLine(R"(<a href=")" + PageLink(around.previous) +
                 Cp1252(R"("><img border="0" src="zurück.gif" width="20" height="20"></a>)"));
  page.WriteLine(space);
  page.WriteLine(R"(<a href=")" + PageLink(around.next) +
                 R"("><img border="0" src="vor.gif" width="20" height="20"></a>)");
  page.WriteLine(space);
  page.WriteLine(R"(<a href=")" + PageLink(count) +
                 R"("><img border="0" src="ende.gif" width="20" height="20"></a>)");
  page.WriteLine("</center><hr>");
  CopyNavigationGraphics(run);
}

// Lines 1 to 5 of the text navigation; the caller closes it.
void WriteTextNavigationLinks(const RunState& run, TextWriter& page, int number) {
  const int count = run.photos.count();
  const Neighbours around = NeighboursOf(number, count);
  page.WriteLine("<center><b>");
  page.WriteLine(R"(<a href="bild_1.htm">Erstes Foto -- </a>)");
  page.WriteLine(R"(<a href=")" + PageLink(around.previous) + R"(">R&uuml;ckw&auml;rts -- </a>)");
  page.WriteLine(R"(<a href=")" + PageLink(around.next) + R"(">Vorw&auml;rts -- </a>)");
  page.WriteLine(R"(<a href=")" + PageLink(count) + R"(">Letztes Foto </a>)");
}

// Whether the graphic bar is used is decided, page by page, by whether "anfang.gif" can be read.
bool CanOpenForReading(const std::string& path) {
  if (!IsRegularFile(path)) return false;  // a pipe would block the open
  std::FILE* file = std::fopen(NativePath(path).c_str(), "rb");
  if (file == nullptr) return false;
  std::fclose(file);
  return true;
}

void WritePhotoHeadBlock(RunState& run, TextWriter& page, int number) {
  const std::string title = run.Text(ctl::kWindowTitle);
  if (run.Checked(ctl::kMetaTags)) {
    page.WriteLine(R"(<meta name="robots" content="noindex">)");
    page.WriteLine(R"(<meta name="DC.Title" content=")" + title + R"(">)");
    page.WriteLine(R"(<meta name="DC.Date" content=")" + run.values.start_date_ymd + R"(">)");
    page.WriteLine(R"(<meta name="DC.Format" content="text/html">)");
    page.WriteLine(R"(<meta name="DC.Language" content="de">)");
    page.WriteLine(R"(<meta name="GENERATOR" content=")" + run.values.generator_text + R"(">)");
  }
  if (run.Checked(ctl::kRevealTransition)) {
    page.WriteLine("");
    page.WriteLine(
        R"x(<meta http-equiv="Page-Exit" content="revealTrans(Duration=3.0,Transition=23)">)x");
  } else if (run.Checked(ctl::kBlendTransition)) {
    page.WriteLine("");
    page.WriteLine(R"x(<meta http-equiv="Page-Exit" content="blendTrans(Duration=2.0)">)x");
  }
  const std::string style_sheet = StyleSheetLinkName(run.Text(ctl::kCssFile));
  if (style_sheet != "keine_css_datei.css") {
    page.WriteLine("");
    page.WriteLine(R"(<link rel="stylesheet" type="text/css" href=")" + LowerCase(style_sheet) +
                   R"(">)");
  }
  page.WriteLine("");
  page.WriteLine("<title>" + title + "</title>");
  if (run.Checked(ctl::kWebalbum)) {
    if (CanOpenForReading(NavigationGraphicSource(run, "anfang.gif"))) {
      WriteGraphicNavigation(run, page, number);
    } else {
      WriteTextNavigationLinks(run, page, number);
      page.WriteLine("</b></center><hr>");
    }
  }
}

void WritePhotoFooter(const RunState& run, TextWriter& page, std::string_view line, int number,
                      int photos_per_page) {
  page.Write(ReplaceAll(line, "</body>", ""));
  page.WriteLine("<br><hr><center><b>");
  const int overview_page = (number + photos_per_page - 1) / photos_per_page;
  page.WriteLine(R"(<a href="fotos_)" + Decimal(overview_page) +
                 Cp1252(R"(.htm">Zurück zu den Miniaturen</a>)"));
  page.WriteLine("</b></center>");
  if (run.Checked(ctl::kWebalbum)) {
    WriteTextNavigationLinks(run, page, number);
    page.WriteLine("</b></center>");
  }
  WriteCreditFooter(run, page, /*with_rule=*/true);
}

}  // namespace

PagesOutcome WritePhotoPages(RunState& run) {
  std::vector<std::string> lines;
  if (!ReadTemplateLines(run.Text(ctl::kBigTemplate), &lines)) {
    run.controls.ShowMessage("Achtung", Cp1252("Kann Vorlagen Datei nicht öffnen!"));
    lines.clear();
  }
  const std::string gallery = GalleryFolder(run);
  for (int n = 1; n <= run.photos.count(); ++n) {
    const std::string path = gallery + PageLink(n);
    TextWriter page;
    if (!page.Open(path)) {
      run.controls.ShowMessage(
          "Albumora", Cp1252("Ich kann eine Seite für die Vergrößerung des Fotos nicht schreiben"));
      return PagesOutcome::kProgramMustEnd;
    }
    for (const std::string& line : lines) {
      const bool head = Contains(line, "<head>");
      if (head) {
        page.WriteLine(ReplacePlaceholders(run, line, n));
        WritePhotoHeadBlock(run, page, n);
      }
      if (Contains(line, "</body>")) {
        // The rows setting is read now, as every setting is; should it have been cleared since
        // the overview pages were written, their arithmetic still holds.
        int per_page =
            ComputeOverviewLayout(run.photos.count(), run.overview.thumbs_per_row, RowsPerPage(run))
                .photos_per_page;
        if (per_page <= 0) per_page = run.layout.photos_per_page;
        WritePhotoFooter(run, page, line, n, per_page > 0 ? per_page : 1);
      } else if (!head) {
        page.WriteLine(ReplacePlaceholders(run, line, n));
      }
    }
    if (!page.Close()) NotePageWriteFailure(run, path);
    run.reporter.ShowStatus(Cp1252("Schreibe Vergößerungs Webseite: ") + Decimal(n));
    run.reporter.KeepAlive(100);
  }
  return PagesOutcome::kWritten;
}

}  // namespace albumora
