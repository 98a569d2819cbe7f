#include "ui/qt/german_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

namespace albumora {

GermanQtTranslations::GermanQtTranslations() {
  // "qtbase_de" holds the texts of the widgets and dialogs; without it (the translations are
  // not installed) Qt keeps its English texts, which is no reason not to start.
  loaded_ =
      translator_.load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
                       QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
      QCoreApplication::installTranslator(&translator_);
}

GermanQtTranslations::~GermanQtTranslations() {
  if (loaded_) QCoreApplication::removeTranslator(&translator_);
}

}  // namespace albumora
