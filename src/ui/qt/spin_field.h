// A spin control whose field text is independent of its value: the value moves only through
// the arrow buttons and the arrow keys (and the program), the text only through typing and the
// program. The arrow buttons take half the control's height as their width, inside its width.
#ifndef ALBUMORA_UI_QT_SPIN_FIELD_H_
#define ALBUMORA_UI_QT_SPIN_FIELD_H_

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace albumora {

class SpinField : public QWidget {
  Q_OBJECT

 public:
  SpinField(int minimum, int maximum, QWidget* parent);

  QString text() const;
  void setText(const QString& text);  // the field only; reports no event
  int value() const { return value_; }
  void setValue(int value);  // clamped to the range; reports no event
  int minimum() const { return minimum_; }
  int maximum() const { return maximum_; }

  QLineEdit* edit() const { return edit_; }
  QToolButton* upButton() const { return up_; }
  QToolButton* downButton() const { return down_; }

 signals:
  // Every user action: an arrow click, an arrow key, typing.
  void userEvent();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Step(int delta);

  QLineEdit* edit_;
  QToolButton* up_;
  QToolButton* down_;
  int minimum_;
  int maximum_;
  int value_;
};

}  // namespace albumora

#endif  // ALBUMORA_UI_QT_SPIN_FIELD_H_
