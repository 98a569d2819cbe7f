// Qt's own German texts for its standard dialogs and buttons ("Abbrechen", "Suchen in:"), so that
// the requesters speak German around our German titles whatever the user's locale is.
#ifndef ALBUMORA_UI_QT_GERMAN_TRANSLATIONS_H_
#define ALBUMORA_UI_QT_GERMAN_TRANSLATIONS_H_

#include <QTranslator>

namespace albumora {

// Installs Qt's German translations (from Qt's translations folder) into the application for as
// long as it lives, and removes them again.
class GermanQtTranslations {
 public:
  GermanQtTranslations();
  ~GermanQtTranslations();
  GermanQtTranslations(const GermanQtTranslations&) = delete;
  GermanQtTranslations& operator=(const GermanQtTranslations&) = delete;

  // Whether Qt's German texts were found and are in use.
  bool loaded() const { return loaded_; }

 private:
  QTranslator translator_;
  bool loaded_ = false;
};

}  // namespace albumora

#endif  // ALBUMORA_UI_QT_GERMAN_TRANSLATIONS_H_
