#include "ui/qt/spin_field.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <algorithm>

#include "ui/qt/qt_text.h"

namespace albumora {

SpinField::SpinField(int minimum, int maximum, QWidget* parent)
    : QWidget(parent),
      edit_(new QLineEdit(this)),
      up_(new QToolButton(this)),
      down_(new QToolButton(this)),
      minimum_(minimum),
      maximum_(std::max(minimum, maximum)),
      value_(minimum) {
  edit_->setValidator(new Cp1252Validator(edit_));
  edit_->installEventFilter(this);
  setFocusProxy(edit_);
  for (QToolButton* button : {up_, down_}) {
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
  }
  up_->setArrowType(Qt::UpArrow);
  down_->setArrowType(Qt::DownArrow);
  connect(up_, &QToolButton::clicked, this, [this] { Step(1); });
  connect(down_, &QToolButton::clicked, this, [this] { Step(-1); });
  connect(edit_, &QLineEdit::textEdited, this, &SpinField::userEvent);
}

QString SpinField::text() const { return edit_->text(); }

void SpinField::setText(const QString& text) {
  const QSignalBlocker blocker(edit_);
  edit_->setText(text);
}

void SpinField::setValue(int value) { value_ = std::clamp(value, minimum_, maximum_); }

void SpinField::Step(int delta) {
  // At a bound the value stays, but the click is still an event of the spin.
  setValue(value_ + delta);
  emit userEvent();
}

void SpinField::resizeEvent(QResizeEvent* /*event*/) {
  const int arrow_width = height() / 2;
  const int upper = height() / 2;
  edit_->setGeometry(0, 0, width() - arrow_width, height());
  up_->setGeometry(width() - arrow_width, 0, arrow_width, upper);
  down_->setGeometry(width() - arrow_width, upper, arrow_width, height() - upper);
}

bool SpinField::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edit_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
      Step(key == Qt::Key_Up ? 1 : -1);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace albumora
