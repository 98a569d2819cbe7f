// The real requesters and the real program and document starter.
#ifndef ALBUMORA_UI_QT_QT_SERVICES_H_
#define ALBUMORA_UI_QT_QT_SERVICES_H_

#include <QPointer>
#include <QWidget>
#include <string_view>

#include "ui/services.h"

class QFileDialog;

namespace albumora {

// Sets up an open-file dialog as the file requester opens: its title, the folder of `start_text`
// (and the name after the folder's last separator, if any, as the proposed file), the filter
// pairs with the first one selected, each shown by its description alone.
void PrepareFileDialog(QFileDialog& dialog, std::string_view title, std::string_view start_text,
                       std::string_view filter);

// Qt's file dialogs, modal over `parent`.
class QtRequesters : public Requesters {
 public:
  explicit QtRequesters(QWidget* parent) : parent_(parent) {}

  std::string ChooseFolder(std::string_view title, std::string_view start_folder) override;
  std::string ChooseFile(std::string_view title, std::string_view start_folder,
                         std::string_view filter) override;

 private:
  // The chosen path as a Windows-1252 text; a path without that form is refused with a message.
  std::string Accept(const QString& path);

  QPointer<QWidget> parent_;
};

// Programs through QProcess, documents and web addresses through the desktop's handler.
class QtLauncher : public Launcher {
 public:
  bool StartProgram(std::string_view name) override;
  bool OpenDocument(std::string_view name) override;
};

}  // namespace albumora

#endif  // ALBUMORA_UI_QT_QT_SERVICES_H_
