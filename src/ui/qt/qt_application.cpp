#include "ui/qt/qt_application.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QStyleFactory>

namespace albumora {

void ApplyProgramLook(QApplication& application) {
  application.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QFont font = QApplication::font();
  // Arial's metrics (Liberation Sans on Linux) come closest to the narrow dialog font the
  // layout was made for.
  for (const char* family : {"Liberation Sans", "Arial"}) {
    if (QFontDatabase::families().contains(QLatin1String(family))) {
      font.setFamily(QLatin1String(family));
      break;
    }
  }
  font.setPointSize(8);
  QApplication::setFont(font);
}

void HandlePendingWindowEvents() { QCoreApplication::processEvents(); }

}  // namespace albumora
