#include "ui/memory_controls.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>

#include "platform/text.h"
#include "ui/control_ids.h"
#include "ui/control_table.h"

namespace albumora {
namespace {

TEST(ControlTable, HoldsEveryMainWindowControlOnce) {
  std::set<int> numbers;
  for (const ControlSpec& spec : MainWindowControls()) {
    EXPECT_TRUE(numbers.insert(spec.number).second) << spec.number;
    EXPECT_EQ(FindControlSpec(spec.number), &spec);
  }
  // 11..89 without the two unused numbers 82 and 83.
  std::set<int> expected;
  for (int n = 11; n <= 89; ++n) {
    if (n != 82 && n != 83) expected.insert(n);
  }
  EXPECT_EQ(numbers, expected);
  EXPECT_EQ(FindControlSpec(90), nullptr);
}

TEST(ControlTable, CreationOrderGroupsTheTabs) {
  // Outside the panel first, then the three tabs one after the other; the container's options
  // come right after the container.
  const auto controls = MainWindowControls();
  ASSERT_GE(controls.size(), 5u);
  EXPECT_EQ(controls[0].number, 85);
  EXPECT_EQ(controls[4].number, 89);
  ControlParent last = ControlParent::kWindow;
  for (const ControlSpec& spec : controls) {
    const ControlParent parent =
        spec.parent == ControlParent::kContainer40 ? ControlParent::kWebsiteTab : spec.parent;
    EXPECT_GE(static_cast<int>(parent), static_cast<int>(last)) << spec.number;
    last = parent;
  }
  ASSERT_EQ(SettingsPanelTabs().size(), 3u);
  EXPECT_STREQ(SettingsPanelTabs()[1].caption, "Webseite Allgemein");
}

TEST(ControlTable, OptionSitsOnePixelAboveItsContainer) {
  const ControlSpec* html = FindControlSpec(ctl::kHtml);
  ASSERT_NE(html, nullptr);
  EXPECT_EQ(html->parent, ControlParent::kContainer40);
  EXPECT_EQ(html->y, -1);
}

TEST(MemoryControls, StartsWithTheWindowsInitialValues) {
  MemoryControls controls;
  EXPECT_EQ(controls.StatusField(0), "Anzahl der Fotos im Verzeichnis: 0");
  EXPECT_EQ(controls.StatusField(1), "OK");
  EXPECT_EQ(controls.GetControlText(44), Cp1252("Wähle eine Vorlage:"));
  EXPECT_EQ(controls.GetControlText(ctl::kSmallQualityLabel), "100%");
  EXPECT_EQ(controls.GetControlText(ctl::kSmallPixels), "");
  EXPECT_EQ(controls.GetControlState(ctl::kRowsPerPage), -1);
  EXPECT_EQ(controls.GetControlText(ctl::kRowsPerPage), "");
  EXPECT_EQ(controls.ControlMaximum(ctl::kProgressBar), 10);
  EXPECT_FALSE(controls.IsControlHidden(ctl::kCancel));
}

struct StateCase {
  const char* name;
  int control;
  int put;
  int expected;
};

class StateRules : public testing::TestWithParam<StateCase> {};

TEST_P(StateRules, PutNumberReadsBack) {
  MemoryControls controls;
  controls.SetControlState(GetParam().control, GetParam().put);
  EXPECT_EQ(controls.GetControlState(GetParam().control), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, StateRules,
    testing::Values(StateCase{"CheckBoxAnyNonzeroChecks", ctl::kMetaTags, 5, 1},
                    StateCase{"CheckBoxNegativeChecks", ctl::kMetaTags, -1, 1},
                    StateCase{"CheckBoxZeroUnchecks", ctl::kMetaTags, 0, 0},
                    StateCase{"OptionNonzeroSelects", ctl::kPhp, 7, 1},
                    StateCase{"SliderAboveRange", ctl::kSmallQuality, 30, 10},
                    StateCase{"SliderBelowRange", ctl::kBigQuality, -3, 0},
                    StateCase{"SliderInRange", ctl::kBigQuality, 7, 7},
                    StateCase{"SpinBelowRange", ctl::kSmallPixels, 100, 150},
                    StateCase{"SpinAboveRange", ctl::kBigPixels, 5000, 1024},
                    StateCase{"SpinFarAboveSixteenBits", ctl::kSmallPixels, 70000, 440},
                    StateCase{"SpinWouldWrapIntoRange", ctl::kSmallPixels, 65536 + 300, 440},
                    StateCase{"SpinFarBelowSixteenBits", ctl::kSmallPixels, -70000, 150},
                    StateCase{"SpinExtreme", ctl::kSlideShowSeconds, INT_MIN, 5},
                    StateCase{"ListByIndex", ctl::kRowsPerPage, 3, 3},
                    StateCase{"ListIndexOutOfRangeClears", ctl::kRowsPerPage, 10, -1},
                    StateCase{"ProgressAboveMaximum", ctl::kProgressBar, 11, 10},
                    StateCase{"PanelShowsTab", ctl::kSettingsPanel, 2, 2},
                    StateCase{"PanelIgnoresUnknownTab", ctl::kSettingsPanel, 3, 0},
                    StateCase{"TextFieldHoldsNoNumber", ctl::kHeading, 4, 0},
                    StateCase{"UnknownControl", 90, 4, 0}),
    [](const testing::TestParamInfo<StateCase>& info) { return info.param.name; });

TEST(MemoryControls, OptionsFormOneGroup) {
  MemoryControls controls;
  controls.SetControlState(ctl::kHtml, 1);
  controls.SetControlState(ctl::kPhp, 1);
  EXPECT_EQ(controls.GetControlState(ctl::kHtml), 0);
  EXPECT_EQ(controls.GetControlState(ctl::kPhp), 1);
  // 0 clears only the option it is put into: the group may end up empty.
  controls.SetControlState(ctl::kHtml, 0);
  EXPECT_EQ(controls.GetControlState(ctl::kPhp), 1);
  controls.SetControlState(ctl::kPhp, 0);
  EXPECT_EQ(controls.GetControlState(ctl::kHtml), 0);
  EXPECT_EQ(controls.GetControlState(ctl::kPhp), 0);
}

TEST(MemoryControls, SpinTextAndValueAreIndependent) {
  MemoryControls controls;
  controls.SetControlState(ctl::kSmallPixels, 300);
  controls.SetControlText(ctl::kSmallPixels, "100");
  EXPECT_EQ(controls.GetControlState(ctl::kSmallPixels), 300);
  EXPECT_EQ(controls.GetControlText(ctl::kSmallPixels), "100");
  controls.SetControlState(ctl::kSmallPixels, 200);
  EXPECT_EQ(controls.GetControlText(ctl::kSmallPixels), "100");
}

TEST(MemoryControls, ListSelectsByTextIgnoringCase) {
  MemoryControls controls;
  controls.SetControlText(ctl::kRowsPerPage, "4");
  EXPECT_EQ(controls.GetControlState(ctl::kRowsPerPage), 3);
  EXPECT_EQ(controls.GetControlText(ctl::kRowsPerPage), "4");
  for (const char* no_item : {"12", "0", " 4", "x"}) {
    controls.SetControlText(ctl::kRowsPerPage, no_item);
    EXPECT_EQ(controls.GetControlText(ctl::kRowsPerPage), "4") << no_item;
  }
  controls.SetControlText(ctl::kRowsPerPage, "10");
  EXPECT_EQ(controls.GetControlState(ctl::kRowsPerPage), 9);
  controls.SetControlText(ctl::kRowsPerPage, "");
  EXPECT_EQ(controls.GetControlState(ctl::kRowsPerPage), -1);
  EXPECT_EQ(controls.GetControlText(ctl::kRowsPerPage), "");
}

TEST(MemoryControls, DisabledAndHiddenControlsKeepTheirValues) {
  MemoryControls controls;
  controls.SetControlText(ctl::kCssFile, "a.css");
  controls.SetControlState(ctl::kPhp, 1);
  controls.DisableControl(ctl::kCssFile, true);
  controls.HideControl(ctl::kPhp, true);
  controls.DisableControl(ctl::kPhp, true);
  EXPECT_TRUE(controls.IsControlDisabled(ctl::kCssFile));
  EXPECT_TRUE(controls.IsControlHidden(ctl::kPhp));
  EXPECT_EQ(controls.GetControlText(ctl::kCssFile), "a.css");
  controls.SetControlState(ctl::kPhp, 0);  // still written like any other
  EXPECT_EQ(controls.GetControlState(ctl::kPhp), 0);
  controls.DisableControl(ctl::kCssFile, false);
  EXPECT_FALSE(controls.IsControlDisabled(ctl::kCssFile));
}

TEST(MemoryControls, UnknownControlsAreIgnored) {
  MemoryControls controls;
  for (int number : {-1, 0, 9, 82, 90, 1000}) {
    controls.SetControlText(number, "x");
    controls.HideControl(number, true);
    EXPECT_EQ(controls.GetControlText(number), "");
    EXPECT_FALSE(controls.IsControlHidden(number));
  }
}

TEST(MemoryControls, MessagesAreKeptAndPassedOn) {
  MemoryControls controls;
  std::string seen;
  controls.set_message_callback([&](const MemoryControls::Message& m) { seen = m.title; });
  controls.ShowMessage("Fehler", "Text");
  ASSERT_EQ(controls.messages().size(), 1u);
  EXPECT_EQ(controls.messages()[0].text, "Text");
  EXPECT_EQ(seen, "Fehler");
}

TEST(MemoryProgressReporter, DrivesStatusBarProgressBarAndButtons) {
  MemoryControls controls;
  MemoryProgressReporter reporter(controls);
  reporter.ShowPhotoCount(12);
  reporter.ShowStatus("Fertig: ");
  reporter.SetProgressMaximum(3);
  reporter.SetProgress(5);
  EXPECT_EQ(controls.StatusField(0), "Anzahl der Fotos im Verzeichnis: 12");
  EXPECT_EQ(controls.StatusField(1), "Fertig: ");
  EXPECT_EQ(controls.GetControlState(ctl::kProgressBar), 3);
  reporter.SetProgressMaximum(1);  // the position follows a lowered maximum
  EXPECT_EQ(controls.GetControlState(ctl::kProgressBar), 1);

  controls.HideControl(ctl::kCancel, true);
  reporter.SetRunControls(true);
  EXPECT_TRUE(controls.IsControlDisabled(ctl::kQuit));
  EXPECT_TRUE(controls.IsControlDisabled(ctl::kCreateWebsite));
  EXPECT_FALSE(controls.IsControlDisabled(ctl::kCancel));
  EXPECT_TRUE(controls.IsControlHidden(ctl::kCancel));
  reporter.SetRunControls(false);
  EXPECT_FALSE(controls.IsControlDisabled(ctl::kQuit));
  EXPECT_TRUE(controls.IsControlDisabled(ctl::kCancel));

  reporter.KeepAlive(100);
  reporter.Pause(1800);
  EXPECT_EQ(reporter.keep_alive_calls(), 1);
  EXPECT_EQ(reporter.paused_ms(), 1800);
  EXPECT_EQ(reporter.status_log().size(), 1u);
}

}  // namespace
}  // namespace albumora
