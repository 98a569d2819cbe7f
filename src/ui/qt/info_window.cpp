#include "ui/qt/info_window.h"

#include <QCloseEvent>
#include <QFont>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "ui/control_ids.h"
#include "ui/qt/artwork.h"
#include "ui/qt/link_label.h"
#include "ui/qt/qt_text.h"
#include "ui/qt/text_fit.h"

namespace albumora {
namespace {

const QColor kLinkColour(0, 0, 255);
const QColor kLinkHoverColour(0, 0, 0);

QLabel* CentredLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setAlignment(Qt::AlignCenter);
  return label;
}

}  // namespace

InfoWindow::InfoWindow(WindowEventSink& gate, const std::string& version, const std::string& build,
                       const std::string& website)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      gate_(gate) {
  setWindowTitle(QStringLiteral("Info"));
  setWindowIcon(ProgramIcon());
  setFixedSize(kInfoClientWidth, kInfoClientHeight);
  move(kInfoWindowX, kInfoWindowY);
  setAttribute(Qt::WA_QuitOnClose, false);

  // In creation order; the links come after the frame so that they lie above it.
  auto* name = CentredLabel(QStringLiteral("ALBUMORA"), this);
  QFont heading(QStringLiteral("Verdana"), 24, QFont::Bold);
  name->setFont(heading);
  QPalette red = name->palette();
  red.setColor(QPalette::WindowText, QColor(255, 0, 0));
  name->setPalette(red);
  name->setGeometry(0, 0, 300, 50);
  controls_[0] = name;

  auto* banner = new QLabel(this);
  banner->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  banner->setLineWidth(1);
  banner->setAlignment(Qt::AlignCenter);
  banner->setPixmap(QPixmap::fromImage(BannerImage()));
  banner->setGeometry(0, 50, 300, 76);
  controls_[1] = banner;

  auto* notice = CentredLabel(Ui("Aus Fotos wird eine Webseite."), this);
  notice->setGeometry(20, 150, 260, 20);
  FitCaption(*notice);
  controls_[2] = notice;

  auto* version_line =
      CentredLabel(ToQString("Version = " + version + "  /  Build = " + build), this);
  version_line->setGeometry(10, 245, 278, 20);
  FitCaption(*version_line, QFont(QStringLiteral("Arial"), 8));
  controls_[5] = version_line;

  auto* frame = new QFrame(this);
  frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  frame->setGeometry(5, 140, 290, 155);
  controls_[3] = frame;

  auto* purpose = CentredLabel(Ui("Albumora erstellt HTML/PHP Foto-Webseiten"), this);
  purpose->setGeometry(10, 170, 280, 15);
  FitCaption(*purpose);
  controls_[4] = purpose;

  auto* empty = CentredLabel(QString(), this);
  empty->setGeometry(10, 185, 280, 15);
  controls_[10] = empty;

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setGeometry(100, 305, 110, 20);
  connect(ok, &QPushButton::clicked, this, [this] { Report(EventKind::kControl, ctl::kInfoOk); });
  controls_[ctl::kInfoOk] = ok;

  auto* site =
      new LinkLabel(ToQString("Webseite: " + website), kLinkColour, kLinkHoverColour, this);
  site->setGeometry(45, 205, 220, 15);
  FitCaption(*site);
  connect(site, &LinkLabel::clicked, this,
          [this] { Report(EventKind::kControl, ctl::kInfoWebsiteLink); });
  controls_[ctl::kInfoWebsiteLink] = site;

  auto* update = new LinkLabel(Ui("Prüfen auf Updates"), kLinkColour, kLinkHoverColour, this);
  update->setGeometry(105, 220, 95, 15);
  FitCaption(*update);
  connect(update, &LinkLabel::clicked, this,
          [this] { Report(EventKind::kControl, ctl::kInfoUpdateLink); });
  update->setEnabled(false);
  controls_[ctl::kInfoUpdateLink] = update;
}

QWidget* InfoWindow::control(int number) const {
  const auto it = controls_.find(number);
  return it == controls_.end() ? nullptr : it->second;
}

void InfoWindow::closeEvent(QCloseEvent* event) {
  // Closing is the program's decision, as for the main window.
  event->ignore();
  Report(EventKind::kClose, 0);
}

void InfoWindow::Report(EventKind kind, int number) {
  gate_.Deliver(WindowEvent{kind, kInfoWindowNumber, number});
}

}  // namespace albumora
