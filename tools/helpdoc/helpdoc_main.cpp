// Builds the help document from its HTML source:  albumora_helpdoc <source.html> <target.pdf>
// Qt lays the text out and writes a PDF whose text stays extractable (embedded fonts with their
// character maps). Every top-level heading after the first starts a new page.
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextStream>
#include <cstdio>

namespace {

// Headings, tables and code in the look of the default templates.
constexpr const char* kStyleSheet = R"(
h1 { color: #2b6a8e; font-size: 20pt; font-weight: 600; margin-bottom: 10pt; }
h2 { color: #23262b; font-size: 13pt; font-weight: 600; margin-top: 14pt; margin-bottom: 4pt; }
h3 { color: #23262b; font-size: 11pt; font-weight: 600; margin-top: 10pt; margin-bottom: 2pt; }
p, li { margin-top: 3pt; margin-bottom: 5pt; }
table { border-color: #dcdad3; margin-top: 4pt; margin-bottom: 6pt; }
th { background-color: #e3eef4; text-align: left; font-weight: 600; }
code, pre { font-family: "DejaVu Sans Mono", monospace; font-size: 8.5pt; }
pre { background-color: #f5f4f0; margin-top: 4pt; margin-bottom: 6pt; }
.hinweis { background-color: #e3eef4; }
)";

void BreakPageBeforeEachSection(QTextDocument& document) {
  bool first = true;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    if (block.blockFormat().headingLevel() != 1) continue;
    if (!first) {
      QTextBlockFormat format = block.blockFormat();
      format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
      QTextCursor(block).setBlockFormat(format);
    }
    first = false;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "Aufruf: albumora_helpdoc <quelle.html> <ziel.pdf>\n");
    return 2;
  }
  QFile source(QString::fromLocal8Bit(argv[1]));
  if (!source.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "Die Quelle %s kann nicht gelesen werden.\n", argv[1]);
    return 1;
  }
  const QString html = QString::fromUtf8(source.readAll());

  QTextDocument document;
  QFont font(QStringLiteral("DejaVu Sans"), 10);
  // Any letter spacing makes the shaper leave out ligatures, so "fi" and "ff" are extracted and
  // found by a search as the two letters they are.
  font.setLetterSpacing(QFont::AbsoluteSpacing, 0.05);
  document.setDefaultFont(font);
  document.setDefaultStyleSheet(QString::fromUtf8(kStyleSheet));
  document.setHtml(html);
  BreakPageBeforeEachSection(document);

  // Written beside the target and renamed at the end, so a failed build leaves no half file.
  QSaveFile target(QString::fromLocal8Bit(argv[2]));
  if (!target.open(QIODevice::WriteOnly)) {
    std::fprintf(stderr, "Das Ziel %s kann nicht angelegt werden.\n", argv[2]);
    return 1;
  }
  {
    QPdfWriter writer(&target);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(18, 16, 18, 16), QPageLayout::Millimeter);
    writer.setTitle(document.metaInformation(QTextDocument::DocumentTitle));
    writer.setCreator(QStringLiteral("Albumora"));
    document.print(&writer);
  }
  if (!target.commit()) {
    std::fprintf(stderr, "Das Ziel %s kann nicht geschrieben werden.\n", argv[2]);
    return 1;
  }
  return 0;
}
