// The desktop program as a user meets it: start-up from a settings file, the control rules
// through real clicks, quitting and closing, commands during a run, requesters and the info
// window. Requesters and the launcher are answered by the test; nothing sleeps.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QEnterEvent>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMetaObject>
#include <QSlider>
#include <QTest>
#include <QToolButton>
#include <memory>
#include <string>
#include <vector>

#include "../shell/fake_services.h"
#include "app/desktop_program.h"
#include "platform/files.h"
#include "platform/text.h"
#include "support/scratch_folder.h"
#include "ui/control_ids.h"
#include "ui/qt/link_label.h"
#include "ui/qt/spin_field.h"

namespace albumora {
namespace {

std::string Settings(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += Cp1252(line) + "\r\n";
  return text;
}

class ProgramTest : public testing::Test {
 protected:
  void Start() {
    DesktopProgram::Options options;
    options.requesters = &requesters_;
    options.launcher = &launcher_;
    options.sleep = [this](int ms) { slept_ms_ += ms; };
    options.on_end = [this] { ++end_calls_; };
    program_ = std::make_unique<DesktopProgram>(MakeProgramValues(TodayLocal(), work_.path()),
                                                std::move(options));
    controls().set_message_handler([this](const std::string& title, const std::string& text) {
      messages_.push_back(title + ": " + text);
    });
    program_->Start();
  }

  QtControls& controls() { return program_->controls(); }
  QWidget* Control(int number) { return program_->window().control(number); }
  std::string Text(int number) { return controls().GetControlText(number); }
  int State(int number) { return controls().GetControlState(number); }

  // Shows the control's tab and clicks it where a check box or option takes clicks.
  void Click(int number) {
    const ControlSpec* spec = FindControlSpec(number);
    for (std::size_t tab = 0; tab < SettingsPanelTabs().size(); ++tab) {
      const ControlParent page = SettingsPanelTabs()[tab].page;
      if (spec->parent == page ||
          (spec->parent == ControlParent::kContainer40 && page == ControlParent::kWebsiteTab)) {
        controls().SetControlState(ctl::kSettingsPanel, static_cast<int>(tab));
      }
    }
    QTest::mouseClick(Control(number), Qt::LeftButton, {}, QPoint(5, 10));
  }

  WorkFolder work_;
  FakeRequesters requesters_;
  FakeLauncher launcher_;
  std::unique_ptr<DesktopProgram> program_;
  std::vector<std::string> messages_;
  int end_calls_ = 0;
  long long slept_ms_ = 0;
};

TEST_F(ProgramTest, FirstStartShowsEmptySettingsAndTheInitialStatus) {
  Start();
  EXPECT_EQ(controls().StatusField(0), "Anzahl der Fotos im Verzeichnis: 0");
  EXPECT_EQ(controls().StatusField(1), "OK");
  EXPECT_EQ(Text(ctl::kSmallQualityLabel), "0%");
  EXPECT_EQ(Text(ctl::kSmallTemplate), "");
  EXPECT_EQ(State(ctl::kHtml) + State(ctl::kPhp), 0);
  EXPECT_EQ(State(ctl::kRowsPerPage), -1);
  EXPECT_TRUE(controls().IsControlHidden(ctl::kCancel));
  EXPECT_TRUE(controls().IsControlDisabled(ctl::kSlideShow));
  EXPECT_TRUE(program_->window().isVisible());
  EXPECT_TRUE(messages_.empty());
}

TEST_F(ProgramTest, ImpossibleSettingsBecomeWhatTheControlsAllow) {
  work_.Write("Bilder/a.jpg", "");
  work_.Write("Bilder/b.jpg", "");
  work_.Write(
      "Einstellung.alb",
      Settings({"[FotosAllgemein]", "#FotosAllgemein_Quellverzeichnis_String = Bilder/",
                "#FotosAllgemein_KlQuali_TrackBar = 30", "#FotosAllgemein_GrQuali_TrackBar = -4",
                "#FotosAllgemein_PixelKl_Spin = 100",
                "#FotosAllgemein_OriginalDownload_CheckBox = 5", "[WebseiteAllgemein]",
                "#WebSeiteAllgemein_AnzahlDerFotos_Spin = 12"}));
  Start();
  EXPECT_EQ(controls().StatusField(0), "Anzahl der Fotos im Verzeichnis: 2");
  EXPECT_EQ(program_->values().source_folder_name, "Bilder");
  EXPECT_EQ(static_cast<QSlider*>(Control(ctl::kSmallQuality))->value(), 10);
  EXPECT_EQ(Text(ctl::kSmallQualityLabel), "100%");
  EXPECT_EQ(Text(ctl::kBigQualityLabel), "0%");
  EXPECT_EQ(State(ctl::kSmallPixels), 150);
  EXPECT_EQ(static_cast<SpinField*>(Control(ctl::kSmallPixels))->text(), "100");
  EXPECT_TRUE(static_cast<QAbstractButton*>(Control(ctl::kOriginalDownload))->isChecked());
  EXPECT_EQ(Text(ctl::kRowsPerPage), "");
}

TEST_F(ProgramTest, UnreadableSettingsAndAMissingSourceFolderStartCleanly) {
  work_.Write("Einstellung.alb", std::string("\xEF\xBB\xBF[\0\xFF\r=", 7));
  std::filesystem::permissions(work_ / "Einstellung.alb", std::filesystem::perms::none);
  Start();
  EXPECT_EQ(controls().StatusField(0), "Anzahl der Fotos im Verzeichnis: 0");
  EXPECT_TRUE(messages_.empty());
}

TEST_F(ProgramTest, PhpFromTheSettingsThenHtmlChosen) {
  work_.Write("Einstellung.alb",
              Settings({"[WebseiteAllgemein]", "#WebSeiteAllgemein_Html_Radio = 0",
                        "#WebSeiteAllgemein_PHP_Radio = 1"}));
  Start();
  EXPECT_EQ(State(ctl::kPhp), 1);
  EXPECT_TRUE(controls().IsControlDisabled(ctl::kPhp));
  EXPECT_FALSE(controls().IsControlDisabled(ctl::kOriginalHomeServer));
  EXPECT_TRUE(controls().IsControlHidden(ctl::kShopModule));

  Click(ctl::kHtml);
  EXPECT_EQ(State(ctl::kHtml), 1);
  EXPECT_EQ(State(ctl::kPhp), 0);
  EXPECT_TRUE(controls().IsControlDisabled(ctl::kOriginalHomeServer));
  EXPECT_TRUE(controls().IsControlHidden(ctl::kShopModule));

  Click(ctl::kPhp);  // disabled: PHP cannot be chosen again
  EXPECT_EQ(State(ctl::kPhp), 0);
  EXPECT_EQ(State(ctl::kHtml), 1);
}

TEST_F(ProgramTest, QualityLabelsFollowTheSlidersFromZeroToHundred) {
  Start();
  QTest::keyClick(Control(ctl::kSmallQuality), Qt::Key_End);
  EXPECT_EQ(Text(ctl::kSmallQualityLabel), "100%");
  QTest::keyClick(Control(ctl::kSmallQuality), Qt::Key_Home);
  EXPECT_EQ(Text(ctl::kSmallQualityLabel), "0%");
  QTest::keyClick(Control(ctl::kBigQuality), Qt::Key_Right);
  EXPECT_EQ(Text(ctl::kBigQualityLabel), "10%");
}

TEST_F(ProgramTest, TransitionsExcludeEachOtherAlsoOnADoubleClick) {
  Start();
  Click(ctl::kRevealTransition);
  EXPECT_EQ(State(ctl::kRevealTransition), 1);
  Click(ctl::kBlendTransition);
  EXPECT_EQ(State(ctl::kBlendTransition), 1);
  EXPECT_EQ(State(ctl::kRevealTransition), 0);
  // Two clicks on 80: it is ticked and unticked, and each of them clears 81.
  // Through the window, as the system delivers it: press, release, double-click press, release.
  QWidget& window = program_->window();
  QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, {},
                     Control(ctl::kRevealTransition)->mapTo(&window, QPoint(5, 10)));
  EXPECT_EQ(State(ctl::kRevealTransition), 0);
  EXPECT_EQ(State(ctl::kBlendTransition), 0);
}

TEST_F(ProgramTest, TypingIntoASpinShowsItsValueAgain) {
  Start();
  auto* spin = static_cast<SpinField*>(Control(ctl::kSmallPixels));
  QTest::keyClicks(spin->edit(), "3");
  EXPECT_EQ(Text(ctl::kSmallPixels), "150");
  QTest::mouseClick(spin->upButton(), Qt::LeftButton);
  EXPECT_EQ(Text(ctl::kSmallPixels), "151");
}

TEST_F(ProgramTest, CloseBoxEndsWithoutSavingWhileQuitSaves) {
  const std::string saved =
      Settings({"[WebseiteAllgemein]", "#WebSeiteAllgemein_Ueberschrift_String = Alt"});
  work_.Write("Einstellung.alb", saved);
  work_.Write("Albumora/fotos_1.htm", "x");
  Start();
  EXPECT_EQ(Text(ctl::kHeading), "Alt");
  controls().SetControlText(ctl::kHeading, "Neu");
  program_->window().close();
  EXPECT_EQ(end_calls_, 1);
  EXPECT_TRUE(program_->ended());
  EXPECT_EQ(work_.Read("Einstellung.alb"), saved);
  EXPECT_TRUE(work_.Exists("Albumora/fotos_1.htm"));

  // The same change, then "Programm beenden".
  program_.reset();
  Start();
  controls().SetControlText(ctl::kHeading, "Neu");
  QTest::mouseClick(Control(ctl::kQuit), Qt::LeftButton);
  EXPECT_EQ(end_calls_, 2);
  EXPECT_NE(work_.Read("Einstellung.alb").find("#WebSeiteAllgemein_Ueberschrift_String = Neu\r\n"),
            std::string::npos);
  EXPECT_FALSE(work_.Exists("Albumora"));
}

// What a user does while a run keeps the window alive: the window paints and takes typing, and
// every command is lost, not just put off.
TEST_F(ProgramTest, CommandsAndCloseRequestsDuringARunAreDropped) {
  Start();
  MainWindow& window = program_->window();
  QMetaObject::invokeMethod(window.menuItem(menu::kQuit), "trigger", Qt::QueuedConnection);
  QMetaObject::invokeMethod(window.menuItem(menu::kAbout), "trigger", Qt::QueuedConnection);
  QMetaObject::invokeMethod(Control(ctl::kChooseSourceFolder), "click", Qt::QueuedConnection);
  QMetaObject::invokeMethod(Control(ctl::kRevealTransition), "click", Qt::QueuedConnection);
  QCoreApplication::postEvent(&window, new QCloseEvent);

  program_->reporter().KeepAlive(100);
  EXPECT_EQ(slept_ms_, 100);
  QCoreApplication::processEvents();  // nothing is left over for later either

  EXPECT_EQ(end_calls_, 0);
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(program_->info_window(), nullptr);
  EXPECT_TRUE(requesters_.requests.empty());
  EXPECT_FALSE(work_.Exists("Einstellung.alb"));
  // The tick itself happened; only its rule (none here for 80's own state) was skipped.
  EXPECT_EQ(State(ctl::kRevealTransition), 1);

  // Afterwards commands work again.
  window.menuItem(menu::kAbout)->trigger();
  EXPECT_NE(program_->info_window(), nullptr);
}

TEST_F(ProgramTest, ARunFromTheButtonDropsWhatArrivesMeanwhile) {
  QImage photo(64, 48, QImage::Format_RGB32);
  photo.fill(QColor(90, 140, 200));
  std::filesystem::create_directories(work_ / "Bilder");
  ASSERT_TRUE(photo.save(QString::fromStdString(work_ / "Bilder/a.jpg"), "JPEG"));
  work_.Write("Einstellung.alb",
              Settings({"[FotosAllgemein]", "#FotosAllgemein_Quellverzeichnis_String = Bilder/",
                        "#FotosAllgemein_Zielverzeichnis_String = site/"}));
  Start();
  MainWindow& window = program_->window();
  QMetaObject::invokeMethod(window.menuItem(menu::kCreateWebsite), "trigger", Qt::QueuedConnection);
  QCoreApplication::postEvent(&window, new QCloseEvent);

  QTest::mouseClick(Control(ctl::kCreateWebsite), Qt::LeftButton);
  QCoreApplication::processEvents();

  EXPECT_EQ(end_calls_, 0);
  EXPECT_EQ(controls().StatusField(1), "Fertig: ");
  EXPECT_EQ(controls().StatusField(0), "Anzahl der Fotos im Verzeichnis: 1");
  EXPECT_FALSE(controls().IsControlDisabled(ctl::kCreateWebsite));
  EXPECT_TRUE(controls().IsControlHidden(ctl::kCancel));
  EXPECT_TRUE(work_.Exists("site/fotos/bilder/gr/g_a.jpg"));
  EXPECT_TRUE(work_.Exists("Einstellung.alb"));  // the run saves
  EXPECT_GE(slept_ms_, 1800);
}

// Outside a run nothing the user does is lost: what arrives while a command runs waits, and is
// handled in order once the command has ended.
TEST_F(ProgramTest, WhatArrivesWhileACommandRunsIsRunAfterIt) {
  Start();
  MainWindow& window = program_->window();
  requesters_.while_open = [&window] {
    QMetaObject::invokeMethod(window.menuItem(menu::kQuit), "trigger", Qt::QueuedConnection);
  };
  QTest::mouseClick(Control(ctl::kChooseTargetFolder), Qt::LeftButton);
  EXPECT_EQ(end_calls_, 0);
  QCoreApplication::processEvents();
  EXPECT_EQ(requesters_.requests.size(), 1u);
  EXPECT_EQ(end_calls_, 1);
  EXPECT_TRUE(work_.Exists("Einstellung.alb"));
}

// Keys in a burst and quick clicks, all waiting at once: every widget and what it governs agree
// afterwards.
TEST_F(ProgramTest, ControlEventsPostedTogetherAreEachHandled) {
  Start();
  auto* slider = static_cast<QSlider*>(Control(ctl::kSmallQuality));
  auto* spin = static_cast<SpinField*>(Control(ctl::kBigPixels));
  const int spin_start = State(ctl::kBigPixels);
  const bool meta_start = State(ctl::kMetaTags) != 0;
  QTest::keyClick(slider, Qt::Key_Home);
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::postEvent(slider, new QKeyEvent(QEvent::KeyPress, Qt::Key_Right, {}));
    QMetaObject::invokeMethod(spin->upButton(), "click", Qt::QueuedConnection);
  }
  QMetaObject::invokeMethod(Control(ctl::kMetaTags), "click", Qt::QueuedConnection);
  QCoreApplication::processEvents();

  EXPECT_EQ(slider->value(), 3);
  EXPECT_EQ(Text(ctl::kSmallQualityLabel), "30%");
  EXPECT_EQ(State(ctl::kBigPixels), spin_start + 3);
  EXPECT_EQ(Text(ctl::kBigPixels), std::to_string(spin_start + 3));
  EXPECT_EQ(State(ctl::kMetaTags) != 0, !meta_start);
  EXPECT_EQ(controls().IsControlDisabled(ctl::kMetaDescription), meta_start);
}

TEST_F(ProgramTest, RunControlsLockTheButtonsButKeepCancelHidden) {
  Start();
  program_->reporter().SetRunControls(true);
  EXPECT_TRUE(controls().IsControlDisabled(ctl::kQuit));
  EXPECT_TRUE(controls().IsControlDisabled(ctl::kCreateWebsite));
  EXPECT_FALSE(controls().IsControlDisabled(ctl::kCancel));
  EXPECT_FALSE(Control(ctl::kCancel)->isVisible());
  program_->reporter().SetRunControls(false);
  EXPECT_FALSE(controls().IsControlDisabled(ctl::kQuit));
  EXPECT_TRUE(controls().IsControlDisabled(ctl::kCancel));
}

TEST_F(ProgramTest, SourceFolderRequesterChosenAndCancelled) {
  work_.Write("Urlaub/a.jpg", "");
  Start();
  controls().SetControlText(ctl::kHeading, "eigener Text");
  QTest::mouseClick(Control(ctl::kChooseSourceFolder), Qt::LeftButton);  // cancelled
  EXPECT_EQ(Text(ctl::kSourceFolder), "");
  EXPECT_EQ(Text(ctl::kHeading), "eigener Text");
  EXPECT_EQ(controls().StatusField(0), "Anzahl der Fotos im Verzeichnis: 0");

  requesters_.answer = work_ / "Urlaub";
  QTest::mouseClick(Control(ctl::kChooseSourceFolder), Qt::LeftButton);
  EXPECT_EQ(Text(ctl::kSourceFolder), work_ / "Urlaub/");
  for (int control : {ctl::kHeading, ctl::kWindowTitle, ctl::kMetaDescription, ctl::kMetaTitle}) {
    EXPECT_EQ(Text(control), "Fotos von Urlaub") << control;
  }
  EXPECT_EQ(controls().StatusField(0), "Anzahl der Fotos im Verzeichnis: 1");
}

TEST_F(ProgramTest, InfoWindowIsOneAtATimeWithWorkingLinks) {
  Start();
  program_->window().menuItem(menu::kAbout)->trigger();
  program_->window().menuItem(menu::kAbout)->trigger();
  int visible_info_windows = 0;
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (qobject_cast<InfoWindow*>(top) != nullptr && top->isVisible()) ++visible_info_windows;
  }
  EXPECT_EQ(visible_info_windows, 1);

  InfoWindow* info = program_->info_window();
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->windowTitle(), "Info");
  EXPECT_EQ(info->size(), QSize(301, 331));
  EXPECT_EQ(info->pos(), QPoint(273, 3));
  auto* site = static_cast<LinkLabel*>(info->control(ctl::kInfoWebsiteLink));
  EXPECT_EQ(site->text(), "Webseite: " + QString::fromUtf8(kProductWebsite));
  EXPECT_EQ(site->palette().color(QPalette::WindowText), QColor(0, 0, 255));
  EXPECT_EQ(site->cursor().shape(), Qt::PointingHandCursor);
  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
  QApplication::sendEvent(site, &enter);
  EXPECT_EQ(site->palette().color(QPalette::WindowText), QColor(0, 0, 0));
  QTest::mouseClick(site, Qt::LeftButton);
  EXPECT_EQ(launcher_.opened, std::vector<std::string>{std::string(kProductWebsite)});
  EXPECT_FALSE(info->control(ctl::kInfoUpdateLink)->isEnabled());

  QTest::mouseClick(info->control(ctl::kInfoOk), Qt::LeftButton);
  EXPECT_EQ(program_->info_window(), nullptr);
  EXPECT_FALSE(info->isVisible());

  program_->window().menuItem(menu::kAbout)->trigger();
  program_->info_window()->close();  // its close box closes it, and only it
  EXPECT_EQ(program_->info_window(), nullptr);
  EXPECT_EQ(end_calls_, 0);
}

TEST_F(ProgramTest, MissingTableOfContentsShowsTheMessage) {
  Start();
  controls().SetControlText(ctl::kTargetFolder, work_.path());
  program_->window().menuItem(menu::kViewTableOfContents)->trigger();
  EXPECT_EQ(launcher_.opened, std::vector<std::string>{work_ / "Index.htm"});
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_TRUE(messages_[0].starts_with("Achtung: Albumora hat kein Inhaltsverzeichnis"));
}

}  // namespace
}  // namespace albumora
