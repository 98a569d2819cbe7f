// The main window as built: geometry of every control, menus, toolbar, status bar, focus order,
// captions that fit, and which user actions become control events.
#include "ui/qt/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <vector>

#include "app/event_gate.h"
#include "platform/text.h"
#include "ui/control_ids.h"
#include "ui/progress_reporter.h"
#include "ui/qt/qt_controls.h"
#include "ui/qt/spin_field.h"
#include "ui/qt/text_fit.h"

namespace albumora {
namespace {

class MainWindowTest : public testing::Test {
 protected:
  MainWindowTest() {
    gate_.set_handler([this](const WindowEvent& event) { events_.push_back(event); });
  }

  QWidget* Control(int number) const { return window_.control(number); }
  std::vector<int> ControlEvents() const {
    std::vector<int> numbers;
    for (const WindowEvent& e : events_) {
      if (e.kind == EventKind::kControl) numbers.push_back(e.number);
    }
    return numbers;
  }

  EventGate gate_;
  MainWindow window_{gate_};
  QtControls controls_{window_};
  std::vector<WindowEvent> events_;
};

TEST_F(MainWindowTest, EveryControlSitsAtItsPlaceOnItsPage) {
  auto* panel = qobject_cast<QTabWidget*>(Control(ctl::kSettingsPanel));
  ASSERT_NE(panel, nullptr);
  const std::span<const TabSpec> tabs = SettingsPanelTabs();
  ASSERT_EQ(panel->count(), static_cast<int>(tabs.size()));
  for (int i = 0; i < panel->count(); ++i) {
    EXPECT_EQ(panel->widget(i), window_.pageOf(tabs[i].page));
    EXPECT_EQ(panel->tabText(i), QString::fromUtf8(tabs[i].caption));
  }
  for (const ControlSpec& spec : MainWindowControls()) {
    const QWidget* widget = Control(spec.number);
    ASSERT_NE(widget, nullptr) << spec.number;
    const QWidget* expected_parent = spec.parent == ControlParent::kContainer40
                                         ? Control(ctl::kHtmlPhpContainer)
                                         : window_.pageOf(spec.parent);
    EXPECT_EQ(widget->parentWidget(), expected_parent) << spec.number;
    EXPECT_EQ(widget->geometry(), QRect(spec.x, spec.y, spec.width, spec.height)) << spec.number;
  }
  // Option 41 reaches one pixel above its container's top edge.
  const QWidget* container = Control(ctl::kHtmlPhpContainer);
  EXPECT_EQ(Control(ctl::kHtml)->mapTo(container->parentWidget(), QPoint(0, 0)).y(),
            container->y() - 1);
}

TEST_F(MainWindowTest, WindowHasItsTitleSizePlaceAndNoSizingBoxes) {
  EXPECT_EQ(window_.windowTitle(), "Albumora");
  EXPECT_EQ(window_.size(), QSize(499, 451));
  EXPECT_EQ(window_.minimumSize(), window_.maximumSize());
  EXPECT_EQ(window_.pos(), QPoint(467, 204));
  const Qt::WindowFlags flags = window_.windowFlags();
  EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(window_.windowIcon().isNull());
  // The menu bar takes its height from the client area; the rest holds the controls.
  EXPECT_EQ(window_.clientArea()->y(), window_.menuBar()->height());
  EXPECT_EQ(window_.clientArea()->height() + window_.menuBar()->height(), 451);
}

TEST_F(MainWindowTest, MenusHoldTheirItemsInOrderWithSevenAndTenDisabled) {
  struct Expected {
    const char* title;
    std::vector<QString> items;  // "-" for a separator
  };
  const std::vector<Expected> expected = {
      {"Datei",
       {"Fotowebseite erstellen", "Inhaltsverzeichnis erstellen", "Inhaltsverzeichnis ansehen", "-",
        "Albumora beenden"}},
      {"Info",
       {QString::fromUtf8("Über Albumora"), "-", "Webseite",
        QString::fromUtf8("Auf Updates prüfen"), "-"}},
      {"Hilfe", {"Hilfe...   F1", "Onlinehilfe"}},
  };
  const QList<QAction*> menus = window_.menuBar()->actions();
  ASSERT_EQ(menus.size(), 3);
  for (int m = 0; m < 3; ++m) {
    EXPECT_EQ(menus[m]->text(), expected[m].title);
    std::vector<QString> items;
    for (const QAction* item : menus[m]->menu()->actions()) {
      items.push_back(item->isSeparator() ? QString("-") : item->text());
    }
    EXPECT_EQ(items, expected[m].items) << expected[m].title;
  }
  for (int item : {1, 2, 3, 4, 5, 6, 9}) EXPECT_TRUE(window_.menuItem(item)->isEnabled()) << item;
  EXPECT_FALSE(window_.menuItem(menu::kCheckUpdates)->isEnabled());
  EXPECT_FALSE(window_.menuItem(menu::kOnlineHelp)->isEnabled());
  EXPECT_EQ(window_.menuItem(8), nullptr);
  EXPECT_FALSE(window_.toolButton(0)->isEnabled());
  EXPECT_FALSE(window_.toolButton(1)->isEnabled());
}

TEST_F(MainWindowTest, MenuItemsAndF1ReportTheirNumbers) {
  window_.show();
  QApplication::setActiveWindow(&window_);  // F1 belongs to the active main window
  window_.menuItem(menu::kAbout)->trigger();
  window_.menuItem(menu::kCheckUpdates)->trigger();  // disabled: no event
  QTest::keyClick(&window_, Qt::Key_F1);
  ASSERT_EQ(events_.size(), 2u);
  EXPECT_EQ(events_[0].kind, EventKind::kMenu);
  EXPECT_EQ(events_[0].number, menu::kAbout);
  EXPECT_EQ(events_[1].kind, EventKind::kMenu);
  EXPECT_EQ(events_[1].number, menu::kHelp);
}

TEST_F(MainWindowTest, StatusBarFieldsAndListStartAsBuilt) {
  const QLabel* field0 = window_.statusField(0);
  const QLabel* field1 = window_.statusField(1);
  EXPECT_EQ(controls_.StatusField(0), "Anzahl der Fotos im Verzeichnis: 0");
  EXPECT_EQ(controls_.StatusField(1), "OK");
  EXPECT_EQ(field0->width(), 200);
  EXPECT_EQ(field1->width(), 296);
  EXPECT_EQ(field1->x(), field0->x() + 200);
  EXPECT_EQ(field0->geometry().bottom(), window_.clientArea()->height() - 1);
  // Nothing of the status bar hides the buttons above it.
  EXPECT_GT(field0->y(), Control(ctl::kQuit)->geometry().bottom());

  const auto* list = qobject_cast<QComboBox*>(Control(ctl::kRowsPerPage));
  ASSERT_EQ(list->count(), 10);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(list->itemText(i), QString::number(i + 1));
  EXPECT_EQ(list->currentIndex(), -1);
  EXPECT_FALSE(list->isEditable());
}

TEST_F(MainWindowTest, TabOrderFollowsCreationOrderOnEveryPage) {
  for (const TabSpec& tab : SettingsPanelTabs()) {
    std::vector<QWidget*> expected;
    for (const ControlSpec& spec : MainWindowControls()) {
      QWidget* widget = Control(spec.number);
      const bool on_page = spec.parent == tab.page || (spec.parent == ControlParent::kContainer40 &&
                                                       tab.page == ControlParent::kWebsiteTab);
      if (on_page && widget->focusPolicy() & Qt::TabFocus) {
        expected.push_back(widget->focusProxy() ? widget->focusProxy() : widget);
      }
    }
    ASSERT_FALSE(expected.empty());
    QWidget* current = expected.front();
    for (std::size_t i = 1; i < expected.size(); ++i) {
      do {
        current = current->nextInFocusChain();
      } while (current != expected[i] && current != expected.front());
      EXPECT_EQ(current, expected[i]) << tab.caption << " #" << i;
    }
  }
}

TEST_F(MainWindowTest, EveryCaptionFitsItsControl) {
  for (const ControlSpec& spec : MainWindowControls()) {
    const QWidget* widget = Control(spec.number);
    const int room = CaptionRoom(*widget);
    if (room < 0) continue;
    const QString caption = CaptionOf(*widget);
    EXPECT_LE(widget->fontMetrics().horizontalAdvance(caption), room)
        << spec.number << " " << spec.caption;
  }
  // Also the widest texts the program puts there later.
  controls_.SetControlText(ctl::kSmallQualityLabel, "100%");
  controls_.SetStatusField(0, std::string(kPhotoCountPrefix) + "100000");
  for (QWidget* widget :
       {Control(ctl::kSmallQualityLabel), static_cast<QWidget*>(window_.statusField(0))}) {
    EXPECT_LE(widget->fontMetrics().horizontalAdvance(CaptionOf(*widget)), CaptionRoom(*widget));
  }
}

TEST_F(MainWindowTest, SpinArrowsTakeHalfTheHeightInsideTheWidth) {
  window_.show();
  auto* spin = static_cast<SpinField*>(Control(ctl::kSmallPixels));
  EXPECT_EQ(spin->upButton()->geometry(), QRect(50, 0, 10, 10));
  EXPECT_EQ(spin->downButton()->geometry(), QRect(50, 10, 10, 10));
  EXPECT_EQ(spin->edit()->geometry(), QRect(0, 0, 50, 20));
}

TEST_F(MainWindowTest, SpinArrowsMoveTheValueTypingOnlyTheText) {
  window_.show();
  auto* spin = static_cast<SpinField*>(Control(ctl::kSmallPixels));
  controls_.SetControlState(ctl::kSmallPixels, 439);
  QTest::mouseClick(spin->upButton(), Qt::LeftButton);
  QTest::mouseClick(spin->upButton(), Qt::LeftButton);  // at the bound: still an event
  EXPECT_EQ(controls_.GetControlState(ctl::kSmallPixels), 440);
  EXPECT_EQ(controls_.GetControlText(ctl::kSmallPixels), "");  // the arrows leave the text
  QTest::keyClick(spin->edit(), Qt::Key_Down);
  EXPECT_EQ(controls_.GetControlState(ctl::kSmallPixels), 439);
  QTest::keyClicks(spin->edit(), "300");
  EXPECT_EQ(controls_.GetControlText(ctl::kSmallPixels), "300");
  EXPECT_EQ(controls_.GetControlState(ctl::kSmallPixels), 439);
  EXPECT_EQ(ControlEvents(), std::vector<int>(6, ctl::kSmallPixels));
}

TEST_F(MainWindowTest, UserActionsReportEventsProgrammaticChangesDoNot) {
  window_.show();
  for (const ControlSpec& spec : MainWindowControls()) {
    controls_.SetControlState(spec.number, 1);
    controls_.SetControlText(spec.number, "1");
  }
  controls_.SetControlState(ctl::kSmallPixels, 300);
  EXPECT_TRUE(events_.empty());

  controls_.SetControlState(ctl::kSettingsPanel, 2);
  QTest::mouseClick(Control(ctl::kRevealTransition), Qt::LeftButton, {}, QPoint(5, 10));
  controls_.SetControlState(ctl::kSettingsPanel, 0);
  QTest::keyClick(Control(ctl::kSmallQuality), Qt::Key_End);
  QTest::mouseClick(Control(ctl::kChooseSourceFolder), Qt::LeftButton);
  EXPECT_EQ(ControlEvents(), (std::vector<int>{ctl::kRevealTransition, ctl::kSmallQuality,
                                               ctl::kChooseSourceFolder}));
}

TEST_F(MainWindowTest, EditFieldsRefuseCharactersWithoutWindows1252Form) {
  window_.show();
  controls_.SetControlState(ctl::kSettingsPanel, 1);
  auto* heading = static_cast<QLineEdit*>(Control(ctl::kHeading));
  // QTest types Latin-1 only; these key events carry their characters themselves.
  for (const QChar character : QString::fromUtf8("Łódź €")) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(character));
    QApplication::sendEvent(heading, &press);
  }
  EXPECT_EQ(controls_.GetControlText(ctl::kHeading), Cp1252("ód €"));
}

// A run over a folder without photos sets the range 0 to 0: the bar stays empty, it does not
// turn into Qt's endless busy animation.
TEST_F(MainWindowTest, EmptyProgressRangeShowsAnEmptyBar) {
  const auto* bar = qobject_cast<QProgressBar*>(Control(ctl::kProgressBar));
  ASSERT_NE(bar, nullptr);
  controls_.SetControlState(ctl::kProgressBar, 7);
  controls_.SetControlMaximum(ctl::kProgressBar, 0);
  EXPECT_LT(bar->minimum(), bar->maximum());
  EXPECT_EQ(bar->value(), 0);
  EXPECT_EQ(controls_.ControlMaximum(ctl::kProgressBar), 0);
  controls_.SetControlState(ctl::kProgressBar, 1);
  EXPECT_EQ(controls_.GetControlState(ctl::kProgressBar), 0);

  controls_.SetControlMaximum(ctl::kProgressBar, 3);
  controls_.SetControlState(ctl::kProgressBar, 3);
  EXPECT_EQ(bar->value(), bar->maximum());
  EXPECT_EQ(controls_.ControlMaximum(ctl::kProgressBar), 3);
}

}  // namespace
}  // namespace albumora
