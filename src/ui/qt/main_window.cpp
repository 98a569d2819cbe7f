#include "ui/qt/main_window.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSlider>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>

#include "ui/control_ids.h"
#include "ui/progress_reporter.h"
#include "ui/qt/artwork.h"
#include "ui/qt/qt_text.h"
#include "ui/qt/spin_field.h"
#include "ui/qt/text_fit.h"

namespace albumora {
namespace {

struct MenuItem {
  int item;  // 0 for a separator
  const char* text;
};

struct MenuSpec {
  const char* title;
  std::initializer_list<MenuItem> items;
};

const MenuSpec kMenus[] = {
    {"Datei",
     {{menu::kCreateWebsite, "Fotowebseite erstellen"},
      {menu::kCreateTableOfContents, "Inhaltsverzeichnis erstellen"},
      {menu::kViewTableOfContents, "Inhaltsverzeichnis ansehen"},
      {0, nullptr},
      {menu::kQuit, "Albumora beenden"}}},
    {"Info",
     {{menu::kAbout, "Über Albumora"},
      {0, nullptr},
      {menu::kWebsite, "Webseite"},
      {menu::kCheckUpdates, "Auf Updates prüfen"},
      {0, nullptr}}},
    {"Hilfe", {{menu::kHelp, "Hilfe...   F1"}, {menu::kOnlineHelp, "Onlinehilfe"}}},
};

// Read-only fields show the window's colour behind their text, as the user cannot type there.
void MarkReadOnly(QLineEdit* edit) {
  edit->setReadOnly(true);
  QPalette look = edit->palette();
  look.setColor(QPalette::Base, look.color(QPalette::Window));
  edit->setPalette(look);
}

}  // namespace

MainWindow::MainWindow(WindowEventSink& gate)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      gate_(gate),
      menu_bar_(new QMenuBar(this)),
      client_(new QWidget(this)),
      option_group_(new QButtonGroup(this)) {
  setWindowTitle(QStringLiteral("Albumora"));
  setWindowIcon(ProgramIcon());
  setFixedSize(kMainClientWidth, kMainClientHeight);
  move(kMainWindowX, kMainWindowY);

  BuildMenu();
  const int menu_height = menu_bar_->sizeHint().height();
  menu_bar_->setGeometry(0, 0, kMainClientWidth, menu_height);
  client_->setGeometry(0, menu_height, kMainClientWidth, kMainClientHeight - menu_height);
  BuildToolBar();
  BuildStatusBar();
  BuildControls();
}

QWidget* MainWindow::control(int number) const {
  const auto it = controls_.find(number);
  return it == controls_.end() ? nullptr : it->second;
}

QWidget* MainWindow::pageOf(ControlParent parent) const {
  const auto it = pages_.find(parent);
  return it == pages_.end() ? client_ : it->second;
}

QAction* MainWindow::menuItem(int item) const {
  const auto it = menu_items_.find(item);
  return it == menu_items_.end() ? nullptr : it->second;
}

QAction* MainWindow::toolButton(int number) const {
  return number == 0 || number == 1 ? tool_buttons_[number] : nullptr;
}

QLabel* MainWindow::statusField(int field) const {
  return field == 0 || field == 1 ? status_fields_[field] : nullptr;
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // The window never closes itself: the program decides (and drops the request during a run).
  event->ignore();
  Report(EventKind::kClose, 0);
}

void MainWindow::BuildMenu() {
  for (const MenuSpec& spec : kMenus) {
    QMenu* menu = menu_bar_->addMenu(Ui(spec.title));
    // The "Info" menu ends with a separator; keep it visible.
    menu->setSeparatorsCollapsible(false);
    for (const MenuItem& item : spec.items) {
      if (item.item == 0) {
        menu->addSeparator();
        continue;
      }
      QAction* action = menu->addAction(Ui(item.text));
      const int number = item.item;
      connect(action, &QAction::triggered, this,
              [this, number] { Report(EventKind::kMenu, number); });
      menu_items_[number] = action;
    }
  }
  menu_items_[menu::kOnlineHelp]->setEnabled(false);
  menu_items_[menu::kCheckUpdates]->setEnabled(false);
  auto* help_key = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(help_key, &QShortcut::activated, this, [this] { Report(EventKind::kMenu, menu::kHelp); });
}

void MainWindow::BuildToolBar() {
  // Two buttons (new file, open file) that have no function and stay disabled.
  tool_bar_ = new QToolBar(client_);
  tool_bar_->setGeometry(0, 0, kMainClientWidth, kToolBarHeight);
  tool_bar_->setIconSize(QSize(16, 16));
  tool_bar_->setMovable(false);
  tool_buttons_[0] = tool_bar_->addAction(style()->standardIcon(QStyle::SP_FileIcon), QString());
  tool_buttons_[1] =
      tool_bar_->addAction(style()->standardIcon(QStyle::SP_DialogOpenButton), QString());
  tool_buttons_[0]->setEnabled(false);
  tool_buttons_[1]->setEnabled(false);
}

void MainWindow::BuildStatusBar() {
  // Placed by hand: a layout would add spacing and the two fields must keep their widths.
  const int top = client_->height() - kStatusBarHeight;
  int x = 0;
  for (int field = 0; field < 2; ++field) {
    auto* label = new QLabel(client_);
    label->setObjectName(QStringLiteral("statusField%1").arg(field));
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setIndent(2);
    label->setGeometry(x, top, kStatusFieldWidths[field], kStatusBarHeight);
    x += kStatusFieldWidths[field];
    status_fields_[field] = label;
  }
  status_fields_[0]->setText(ToQString(std::string(kPhotoCountPrefix) + "0"));
  status_fields_[1]->setText(QStringLiteral("OK"));
  for (QLabel* field : status_fields_) FitCaption(*field);
}

void MainWindow::BuildControls() {
  for (const ControlSpec& spec : MainWindowControls()) {
    QWidget* parent = spec.parent == ControlParent::kContainer40
                          ? controls_.at(ctl::kHtmlPhpContainer)
                          : pageOf(spec.parent);
    QWidget* widget = CreateControl(spec, parent);
    widget->setObjectName(QStringLiteral("control%1").arg(spec.number));
    widget->setGeometry(spec.x, spec.y, spec.width, spec.height);
    if (spec.tooltip != nullptr) widget->setToolTip(Ui(spec.tooltip));
    FitCaption(*widget);
    ConnectEvents(spec, widget);
    controls_[spec.number] = widget;
  }
}

QWidget* MainWindow::CreateControl(const ControlSpec& spec, QWidget* parent) {
  const QString caption = Ui(spec.caption);
  switch (spec.kind) {
    case ControlKind::kFrame:
      return new QGroupBox(caption, parent);
    case ControlKind::kReadOnlyText:
    case ControlKind::kEditText: {
      auto* edit = new QLineEdit(caption, parent);
      edit->setValidator(new Cp1252Validator(edit));
      if (spec.kind == ControlKind::kReadOnlyText) MarkReadOnly(edit);
      return edit;
    }
    case ControlKind::kLabel: {
      auto* label = new QLabel(caption, parent);
      label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      return label;
    }
    case ControlKind::kCheckBox:
      return new QCheckBox(caption, parent);
    case ControlKind::kOption: {
      auto* option = new QRadioButton(caption, parent);
      option_group_->addButton(option, spec.number);
      return option;
    }
    case ControlKind::kSlider: {
      auto* slider = new QSlider(Qt::Horizontal, parent);
      slider->setRange(spec.minimum, spec.maximum);
      slider->setTickPosition(QSlider::TicksBelow);
      slider->setTickInterval(1);
      slider->setPageStep(1);
      return slider;
    }
    case ControlKind::kSpin:
      return new SpinField(spec.minimum, spec.maximum, parent);
    case ControlKind::kDropDownList: {
      auto* list = new QComboBox(parent);
      for (const char* item : RowCountItems()) list->addItem(Ui(item));
      list->setCurrentIndex(-1);
      return list;
    }
    case ControlKind::kPushButton:
      return new QPushButton(caption, parent);
    case ControlKind::kProgressBar: {
      auto* bar = new QProgressBar(parent);
      bar->setRange(0, spec.maximum);
      bar->setValue(0);
      bar->setTextVisible(false);
      return bar;
    }
    case ControlKind::kContainer:
      return new QWidget(parent);
    case ControlKind::kTabPanel: {
      auto* panel = new QTabWidget(parent);
      for (const TabSpec& tab : SettingsPanelTabs()) {
        auto* page = new QWidget(panel);
        panel->addTab(page, Ui(tab.caption));
        pages_[tab.page] = page;
      }
      return panel;
    }
  }
  return new QWidget(parent);
}

void MainWindow::ConnectEvents(const ControlSpec& spec, QWidget* widget) {
  const int number = spec.number;
  auto report = [this, number] { Report(EventKind::kControl, number); };
  switch (spec.kind) {
    case ControlKind::kPushButton:
    case ControlKind::kCheckBox:
    case ControlKind::kOption:
      connect(static_cast<QAbstractButton*>(widget), &QAbstractButton::clicked, this, report);
      break;
    case ControlKind::kSlider:
      connect(static_cast<QSlider*>(widget), &QSlider::valueChanged, this, report);
      break;
    case ControlKind::kSpin:
      connect(static_cast<SpinField*>(widget), &SpinField::userEvent, this, report);
      break;
    case ControlKind::kEditText:
    case ControlKind::kReadOnlyText:
      connect(static_cast<QLineEdit*>(widget), &QLineEdit::textEdited, this, report);
      break;
    case ControlKind::kDropDownList:
      connect(static_cast<QComboBox*>(widget), &QComboBox::activated, this, report);
      break;
    default:
      break;
  }
}

void MainWindow::Report(EventKind kind, int number) {
  gate_.Deliver(WindowEvent{kind, kMainWindowNumber, number});
}

}  // namespace albumora
