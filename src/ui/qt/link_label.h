// A label that acts as a link: hand pointer, a colour of its own while the pointer is over it,
// and a click signal. A disabled link keeps its colour but takes no clicks and shows no hand.
#ifndef ALBUMORA_UI_QT_LINK_LABEL_H_
#define ALBUMORA_UI_QT_LINK_LABEL_H_

#include <QColor>
#include <QLabel>

namespace albumora {

class LinkLabel : public QLabel {
  Q_OBJECT

 public:
  LinkLabel(const QString& text, QColor normal, QColor hover, QWidget* parent);

  bool hovered() const { return hovered_; }

 signals:
  void clicked();

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void ApplyLook();

  QColor normal_;
  QColor hover_;
  bool hovered_ = false;
};

}  // namespace albumora

#endif  // ALBUMORA_UI_QT_LINK_LABEL_H_
