// The program's Windows-1252 texts at the Qt boundary.
#ifndef ALBUMORA_UI_QT_QT_TEXT_H_
#define ALBUMORA_UI_QT_QT_TEXT_H_

#include <QString>
#include <QValidator>
#include <string>
#include <string_view>

namespace albumora {

QString ToQString(std::string_view cp1252);

// Characters with no Windows-1252 form become '?'. The edit fields refuse such characters
// (Cp1252Validator), so this happens only to texts the program did not take from the user.
std::string FromQString(const QString& text);

// A UTF-8 literal of the program's own texts as a QString.
QString Ui(const char* utf8);

// Refuses input that has no Windows-1252 form: the settings file and the pages are 8-bit, and a
// character typed there would otherwise be lost silently on the way.
class Cp1252Validator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& pos) const override;
};

}  // namespace albumora

#endif  // ALBUMORA_UI_QT_QT_TEXT_H_
