#include "ui/qt/qt_services.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <optional>

#include "platform/paths.h"
#include "platform/text.h"
#include "ui/qt/file_filter.h"
#include "ui/qt/qt_text.h"

namespace albumora {
namespace {

bool IsProgramFile(const QString& path) {
  const QFileInfo info(path);
  return info.isFile() && info.isExecutable();
}

// Where a program name without a folder is looked for: the program's own folder, the folder of
// helper programs of an installed copy (bin/../lib/albumora, kept out of the search path), the
// current folder, then the search path.
QString FindProgram(const QString& name) {
  if (name.contains(QChar('/')) || name.contains(QChar('\\'))) {
    return IsProgramFile(name) ? QFileInfo(name).absoluteFilePath() : QString();
  }
  const QString own = QCoreApplication::applicationDirPath();
  for (const QString& folder :
       {own, own + QStringLiteral("/../lib/albumora"), QDir::currentPath()}) {
    const QString candidate = QDir(folder).filePath(name);
    if (IsProgramFile(candidate)) return candidate;
  }
  return QStandardPaths::findExecutable(name);
}

bool IsWebAddress(const QString& name) { return name.contains(QStringLiteral("://")); }

}  // namespace

std::string QtRequesters::ChooseFolder(std::string_view title, std::string_view start_folder) {
  QFileDialog dialog(parent_, ToQString(title), ToQString(start_folder));
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return Accept(dialog.selectedFiles().first());
}

void PrepareFileDialog(QFileDialog& dialog, std::string_view title, std::string_view start_text,
                       std::string_view filter) {
  dialog.setWindowTitle(ToQString(title));
  // Without a folder the dialog stays where it opened by itself.
  const std::string_view folder = FolderPart(start_text);
  if (!folder.empty()) dialog.setDirectory(ToQString(folder));
  // The file's folder must exist; a typed name need not.
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // Each entry ends with the patterns Qt matches; the list shows the description alone, which
  // already names what it shows.
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  QStringList filters;
  for (const std::string& entry : QtNameFilters(filter)) filters << ToQString(entry);
  dialog.setNameFilters(filters);
  if (!filters.isEmpty()) dialog.selectNameFilter(filters.first());
  const std::string_view proposed = FileNamePart(start_text);
  if (!proposed.empty()) dialog.selectFile(ToQString(proposed));
}

std::string QtRequesters::ChooseFile(std::string_view title, std::string_view start_folder,
                                     std::string_view filter) {
  QFileDialog dialog(parent_);
  PrepareFileDialog(dialog, title, start_folder, filter);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return Accept(dialog.selectedFiles().first());
}

std::string QtRequesters::Accept(const QString& path) {
  if (std::optional<std::string> text = FromUtf8(path.toStdString())) return *text;
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Achtung"),
                  Ui("Dieser Pfad enthält Zeichen, die Albumora nicht verwenden kann:\n") + path,
                  QMessageBox::Ok, parent_);
  box.exec();
  return {};
}

bool QtLauncher::StartProgram(std::string_view name) {
  const QString program = FindProgram(ToQString(name));
  return !program.isEmpty() && QProcess::startDetached(program, {}, QDir::currentPath());
}

bool QtLauncher::OpenDocument(std::string_view name) {
  const QString target = ToQString(name);
  if (IsWebAddress(target)) return QDesktopServices::openUrl(QUrl(target));
  // The desktop reports success for a missing file as well, so look first.
  const QFileInfo info(target);
  if (!info.exists()) return false;
  return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}

}  // namespace albumora
