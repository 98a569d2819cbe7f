#include "ui/qt/link_label.h"

#include <QMouseEvent>

namespace albumora {

LinkLabel::LinkLabel(const QString& text, QColor normal, QColor hover, QWidget* parent)
    : QLabel(text, parent), normal_(normal), hover_(hover) {
  setAlignment(Qt::AlignCenter);
  ApplyLook();
}

void LinkLabel::enterEvent(QEnterEvent* event) {
  hovered_ = isEnabled();
  ApplyLook();
  QLabel::enterEvent(event);
}

void LinkLabel::leaveEvent(QEvent* event) {
  hovered_ = false;
  ApplyLook();
  QLabel::leaveEvent(event);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (isEnabled() && event->button() == Qt::LeftButton &&
      rect().contains(event->position().toPoint())) {
    emit clicked();
  }
  QLabel::mouseReleaseEvent(event);
}

void LinkLabel::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange) {
    if (!isEnabled()) hovered_ = false;
    ApplyLook();
  }
  QLabel::changeEvent(event);
}

void LinkLabel::ApplyLook() {
  QPalette look = palette();
  const QColor colour = hovered_ ? hover_ : normal_;
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    look.setColor(group, QPalette::WindowText, colour);
  }
  setPalette(look);
  if (isEnabled()) {
    setCursor(Qt::PointingHandCursor);
  } else {
    unsetCursor();
  }
}

}  // namespace albumora
