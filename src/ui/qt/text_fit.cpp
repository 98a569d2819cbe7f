#include "ui/qt/text_fit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

namespace albumora {
namespace {

// A push button's bevel and the focus frame inside it.
constexpr int kButtonPadding = 6;
// The space a group box's title keeps from its left and right edges.
constexpr int kFrameTitlePadding = 10;

int TextWidth(const QFont& font, const QString& text) {
  return QFontMetrics(font).horizontalAdvance(text);
}

}  // namespace

int CaptionRoom(const QWidget& widget) {
  const QStyle* style = widget.style();
  if (qobject_cast<const QCheckBox*>(&widget) != nullptr) {
    return widget.width() - style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, &widget) -
           style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, &widget);
  }
  if (qobject_cast<const QRadioButton*>(&widget) != nullptr) {
    return widget.width() -
           style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, &widget) -
           style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, &widget);
  }
  if (qobject_cast<const QPushButton*>(&widget) != nullptr) {
    return widget.width() - kButtonPadding;
  }
  if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
    const int indent = label->indent() > 0 ? label->indent() : 0;
    return label->contentsRect().width() - indent;
  }
  if (qobject_cast<const QGroupBox*>(&widget) != nullptr) {
    return widget.width() - kFrameTitlePadding;
  }
  return -1;
}

QString CaptionOf(const QWidget& widget) {
  if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) return button->text();
  if (const auto* label = qobject_cast<const QLabel*>(&widget)) return label->text();
  if (const auto* frame = qobject_cast<const QGroupBox*>(&widget)) return frame->title();
  return {};
}

void FitCaption(QWidget& widget, const QFont& base) {
  const int room = CaptionRoom(widget);
  if (room < 0) return;
  const QString caption = CaptionOf(widget);
  QFont font = base;
  while (TextWidth(font, caption) > room && font.pointSizeF() - 0.5 >= kSmallestCaptionPoints) {
    font.setPointSizeF(font.pointSizeF() - 0.5);
  }
  widget.setFont(font);
}

void FitCaption(QWidget& widget) { FitCaption(widget, QApplication::font()); }

}  // namespace albumora
