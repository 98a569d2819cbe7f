#include "ui/qt/qt_text.h"

#include <optional>

#include "platform/text.h"

namespace albumora {

QString ToQString(std::string_view cp1252) { return QString::fromStdString(ToUtf8(cp1252)); }

std::string FromQString(const QString& text) { return Cp1252(text.toStdString()); }

QString Ui(const char* utf8) { return QString::fromUtf8(utf8); }

QValidator::State Cp1252Validator::validate(QString& input, int& /*pos*/) const {
  return FromUtf8(input.toStdString()).has_value() ? Acceptable : Invalid;
}

}  // namespace albumora
