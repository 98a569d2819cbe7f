#include "app/dependants.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/program_values.h"
#include "ui/control_ids.h"
#include "ui/memory_controls.h"

namespace albumora {
namespace {

// Runs the start-up rules in the order the program applies them after loading the settings.
void ApplyStartUpRules(Controls& controls) {
  UpdateHtmlPhpDependants(controls);
  ApplyFixedUiRestrictions(controls);
  UpdateMetaTagDependants(controls);
  UpdateCssDependants(controls);
  UpdateWebalbumDependants(controls);
}

// What a user's click on a check box or option does: the control changes, then its event runs.
void Click(Controls& controls, int control, int new_state) {
  controls.SetControlState(control, new_state);
  RunControlRule(controls, control);
}

TEST(StartUpRules, PhpFromTheSettingsStaysSelectedButCannotBeChosenAgain) {
  MemoryControls controls;
  controls.SetControlState(ctl::kPhp, 1);
  ApplyStartUpRules(controls);
  EXPECT_EQ(controls.GetControlState(ctl::kPhp), 1);
  EXPECT_TRUE(controls.IsControlDisabled(ctl::kPhp));
  EXPECT_FALSE(controls.IsControlDisabled(ctl::kOriginalHomeServer));
  EXPECT_TRUE(controls.IsControlHidden(ctl::kShopModule));  // hidden by the fixed restrictions

  Click(controls, ctl::kHtml, 1);
  EXPECT_EQ(controls.GetControlState(ctl::kPhp), 0);
  EXPECT_TRUE(controls.IsControlDisabled(ctl::kOriginalHomeServer));
  EXPECT_TRUE(controls.IsControlHidden(ctl::kShopModule));
  EXPECT_TRUE(controls.IsControlDisabled(ctl::kPhp));
}

TEST(StartUpRules, AnOptionEventWithoutHtmlShowsTheShopModuleAgain) {
  MemoryControls controls;
  ApplyStartUpRules(controls);
  ASSERT_TRUE(controls.IsControlHidden(ctl::kShopModule));
  EXPECT_TRUE(RunControlRule(controls, ctl::kPhp));
  EXPECT_FALSE(controls.IsControlHidden(ctl::kShopModule));
  EXPECT_FALSE(controls.IsControlDisabled(ctl::kOriginalHomeServer));
}

// Records the order of hide and disable calls.
class RecordingControls : public MemoryControls {
 public:
  void HideControl(int control, bool hidden) override {
    calls.push_back("hide " + std::to_string(control) + (hidden ? "" : " off"));
    MemoryControls::HideControl(control, hidden);
  }
  void DisableControl(int control, bool disabled) override {
    calls.push_back("disable " + std::to_string(control) + (disabled ? "" : " off"));
    MemoryControls::DisableControl(control, disabled);
  }
  std::vector<std::string> calls;
};

TEST(StartUpRules, FixedRestrictionsInTheirOrder) {
  RecordingControls controls;
  ApplyFixedUiRestrictions(controls);
  const std::vector<std::string> expected = {
      "hide 87",    "hide 11",    "hide 36",    "hide 37",   "hide 38", "hide 68",
      "hide 35",    "hide 65",    "hide 66",    "hide 67",   "hide 56", "hide 46",
      "disable 42", "disable 62", "disable 63", "disable 64"};
  EXPECT_EQ(controls.calls, expected);
}

struct SwitchCase {
  const char* name;
  int source;
  std::vector<int> dependants;
};

class SwitchRules : public testing::TestWithParam<SwitchCase> {};

TEST_P(SwitchRules, CheckedEnablesUncheckedDisables) {
  MemoryControls controls;
  ApplyStartUpRules(controls);
  for (int d : GetParam().dependants) EXPECT_TRUE(controls.IsControlDisabled(d)) << d;
  Click(controls, GetParam().source, 1);
  for (int d : GetParam().dependants) EXPECT_FALSE(controls.IsControlDisabled(d)) << d;
  Click(controls, GetParam().source, 0);
  for (int d : GetParam().dependants) EXPECT_TRUE(controls.IsControlDisabled(d)) << d;
}

INSTANTIATE_TEST_SUITE_P(Dependants, SwitchRules,
                         testing::Values(SwitchCase{"MetaTags", ctl::kMetaTags, {75, 76, 77, 78}},
                                         SwitchCase{"ExternalCss", ctl::kExternalCss, {70, 71}},
                                         SwitchCase{"Webalbum", ctl::kWebalbum, {59, 60}}),
                         [](const testing::TestParamInfo<SwitchCase>& info) {
                           return info.param.name;
                         });

TEST(ControlRules, TransitionsExcludeEachOther) {
  MemoryControls controls;
  Click(controls, ctl::kBlendTransition, 1);
  Click(controls, ctl::kRevealTransition, 1);
  EXPECT_EQ(controls.GetControlState(ctl::kBlendTransition), 0);
  // A second click unchecks 80 itself and still clears 81: both end unchecked.
  controls.SetControlState(ctl::kBlendTransition, 1);
  Click(controls, ctl::kRevealTransition, 0);
  EXPECT_EQ(controls.GetControlState(ctl::kRevealTransition), 0);
  EXPECT_EQ(controls.GetControlState(ctl::kBlendTransition), 0);
  Click(controls, ctl::kBlendTransition, 1);
  EXPECT_EQ(controls.GetControlState(ctl::kBlendTransition), 1);
}

TEST(ControlRules, QualityLabelsShowTenTimesTheStep) {
  MemoryControls controls;
  const std::pair<int, const char*> steps[] = {{0, "0%"}, {7, "70%"}, {10, "100%"}};
  for (const auto& [step, text] : steps) {
    Click(controls, ctl::kSmallQuality, step);
    Click(controls, ctl::kBigQuality, step);
    EXPECT_EQ(controls.GetControlText(ctl::kSmallQualityLabel), text);
    EXPECT_EQ(controls.GetControlText(ctl::kBigQualityLabel), text);
  }
}

TEST(ControlRules, SpinEventShowsTheValueOverTypedText) {
  MemoryControls controls;
  controls.SetControlState(ctl::kSmallPixels, 320);
  controls.SetControlText(ctl::kSmallPixels, "300");  // typed, the value does not follow
  EXPECT_TRUE(RunControlRule(controls, ctl::kSmallPixels));
  EXPECT_EQ(controls.GetControlText(ctl::kSmallPixels), "320");
  controls.SetControlState(ctl::kBigPixels, 0);
  RunControlRule(controls, ctl::kBigPixels);
  EXPECT_EQ(controls.GetControlText(ctl::kBigPixels), "440");
}

TEST(ControlRules, CommandsAndPlainControlsAreNotRules) {
  MemoryControls controls;
  for (int control : {6, 7, 8, 13, 16, 17, 32, 33, 45, 47, 55, 60, 71, 86, 87, 88, 90}) {
    EXPECT_FALSE(RunControlRule(controls, control)) << control;
  }
}

struct FolderCase {
  const char* text;
  const char* name;
};

class SourceFolderName : public testing::TestWithParam<FolderCase> {};

TEST_P(SourceFolderName, IsTheLastFolder) {
  EXPECT_EQ(DeriveSourceFolderName(GetParam().text), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(Paths, SourceFolderName,
                         testing::Values(FolderCase{"D:\\Bilder\\Urlaub\\", "Urlaub"},
                                         FolderCase{"/home/anna/Fotos/", "Fotos"},
                                         FolderCase{"C:\\", "C:"}, FolderCase{"/", ""},
                                         FolderCase{"", ""}, FolderCase{"Urlaub/", "Urlaub"},
                                         FolderCase{"/a\\b/", "b"},
                                         // Typed without the separator: the same folder.
                                         FolderCase{"/home/anna/Urlaub", "Urlaub"},
                                         FolderCase{"D:\\Bilder\\Urlaub", "Urlaub"},
                                         FolderCase{"Urlaub", "Urlaub"}, FolderCase{"C:", "C:"}));

TEST(ProgramValues, DatesVersionAndTempFolder) {
  const ProgramValues values = MakeProgramValues(LocalDate{2008, 3, 5}, "/run/user/1000/");
  EXPECT_EQ(values.version_full, "0.4.0.155");
  EXPECT_EQ(values.generator_text, "Albumora 0.4.0.155");
  EXPECT_EQ(values.start_date_ymd, "2008-03-05");
  EXPECT_EQ(values.start_date_dmy, "05-03-2008");
  EXPECT_EQ(values.temp_folder, "/run/user/1000/Albumora/");
}

}  // namespace
}  // namespace albumora
