// One suite for the control operations, run against the in-memory controls and the Qt
// controls: both must follow the same value rules for every control kind.
#include <gtest/gtest.h>

#include <memory>

#include "app/event_gate.h"
#include "platform/text.h"
#include "ui/control_ids.h"
#include "ui/memory_controls.h"
#include "ui/qt/main_window.h"
#include "ui/qt/qt_controls.h"

namespace albumora {
namespace {

struct MemoryHarness {
  MemoryControls controls;
};

struct QtHarness {
  EventGate gate;
  MainWindow window{gate};
  QtControls controls{window};
};

template <typename Harness>
class ControlsConformanceTest : public testing::Test {
 protected:
  Controls& c() { return harness_->controls; }
  std::unique_ptr<Harness> harness_ = std::make_unique<Harness>();
};

// ctest names the two runs of every case <0> (in-memory controls) and <1> (Qt controls).
using Implementations = testing::Types<MemoryHarness, QtHarness>;
TYPED_TEST_SUITE(ControlsConformanceTest, Implementations);

TYPED_TEST(ControlsConformanceTest, StartsWithTheTablesCaptionsAndLowerBounds) {
  Controls& c = this->c();
  EXPECT_EQ(c.GetControlText(ctl::kSmallQualityLabel), "100%");
  EXPECT_EQ(c.GetControlText(ctl::kSmallTemplate), Cp1252("Wähle eine Vorlage:"));
  EXPECT_EQ(c.GetControlText(ctl::kMetaDescription), "description");
  EXPECT_EQ(c.GetControlText(ctl::kRevealTransition), Cp1252("Fließende Übergänge (nur IE)"));
  EXPECT_EQ(c.GetControlText(12), "Quellverzeichnis:");
  EXPECT_EQ(c.GetControlText(ctl::kQuit), "Programm beenden");
  EXPECT_EQ(c.GetControlText(ctl::kSmallPixels), "");
  EXPECT_EQ(c.GetControlState(ctl::kSmallPixels), 150);
  EXPECT_EQ(c.GetControlState(ctl::kBigPixels), 440);
  EXPECT_EQ(c.GetControlState(ctl::kSlideShowSeconds), 5);
  EXPECT_EQ(c.GetControlState(ctl::kSmallQuality), 0);
  EXPECT_EQ(c.GetControlState(ctl::kRowsPerPage), -1);
  EXPECT_EQ(c.GetControlText(ctl::kRowsPerPage), "");
  EXPECT_EQ(c.GetControlState(ctl::kHtml) + c.GetControlState(ctl::kPhp), 0);
  EXPECT_EQ(c.GetControlState(ctl::kProgressBar), 0);
  EXPECT_EQ(c.GetControlState(ctl::kSettingsPanel), 0);
  for (const ControlSpec& spec : MainWindowControls()) {
    EXPECT_FALSE(c.IsControlDisabled(spec.number)) << spec.number;
    EXPECT_FALSE(c.IsControlHidden(spec.number)) << spec.number;
  }
}

TYPED_TEST(ControlsConformanceTest, TextsAreKeptByteForByte) {
  Controls& c = this->c();
  const std::string text =
      "Gr\xF6\xDF"
      "e \x80 100% \xFF";  // Windows-1252, with the euro sign
  for (int control : {ctl::kHeading, ctl::kSourceFolder, ctl::kSmallQualityLabel, 12, ctl::kRobots,
                      ctl::kHtml, ctl::kQuit, ctl::kSmallPixels}) {
    c.SetControlText(control, text);
    EXPECT_EQ(c.GetControlText(control), text) << control;
  }
  c.SetControlText(ctl::kHeading, "");
  EXPECT_EQ(c.GetControlText(ctl::kHeading), "");
}

TYPED_TEST(ControlsConformanceTest, CheckBoxTakesAnyNonzeroNumberAsChecked) {
  Controls& c = this->c();
  for (const auto& [put, read] : {std::pair{5, 1}, {-1, 1}, {0, 0}, {1, 1}, {70000, 1}}) {
    c.SetControlState(ctl::kRobots, put);
    EXPECT_EQ(c.GetControlState(ctl::kRobots), read) << put;
  }
}

TYPED_TEST(ControlsConformanceTest, OptionsFormOneGroupThatMayHaveNoneSelected) {
  Controls& c = this->c();
  c.SetControlState(ctl::kHtml, 1);
  c.SetControlState(ctl::kPhp, 7);
  EXPECT_EQ(c.GetControlState(ctl::kHtml), 0);
  EXPECT_EQ(c.GetControlState(ctl::kPhp), 1);
  c.SetControlState(ctl::kHtml, 0);  // clears only this one
  EXPECT_EQ(c.GetControlState(ctl::kPhp), 1);
  c.SetControlState(ctl::kPhp, 0);
  EXPECT_EQ(c.GetControlState(ctl::kHtml) + c.GetControlState(ctl::kPhp), 0);
  c.SetControlState(ctl::kHtml, 1);
  EXPECT_EQ(c.GetControlState(ctl::kHtml), 1);
  EXPECT_EQ(c.GetControlState(ctl::kPhp), 0);
}

TYPED_TEST(ControlsConformanceTest, SlidersAndSpinsKeepTheirValuesInRange) {
  Controls& c = this->c();
  struct Case {
    int control, put, read;
  };
  for (const Case& k : {Case{ctl::kSmallQuality, 30, 10}, Case{ctl::kSmallQuality, -5, 0},
                        Case{ctl::kBigQuality, 7, 7}, Case{ctl::kSmallPixels, 100, 150},
                        Case{ctl::kSmallPixels, 300, 300}, Case{ctl::kSmallPixels, 70000, 440},
                        Case{ctl::kSmallPixels, -70000, 150}, Case{ctl::kBigPixels, 2000, 1024},
                        Case{ctl::kSlideShowSeconds, 0, 5}, Case{ctl::kSlideShowSeconds, 61, 60}}) {
    c.SetControlState(k.control, k.put);
    EXPECT_EQ(c.GetControlState(k.control), k.read) << k.control << " <- " << k.put;
  }
}

TYPED_TEST(ControlsConformanceTest, SpinTextAndValueAreIndependent) {
  Controls& c = this->c();
  c.SetControlState(ctl::kSmallPixels, 100);
  c.SetControlText(ctl::kSmallPixels, "100");
  EXPECT_EQ(c.GetControlState(ctl::kSmallPixels), 150);
  EXPECT_EQ(c.GetControlText(ctl::kSmallPixels), "100");
  c.SetControlText(ctl::kSmallPixels, "abc");
  EXPECT_EQ(c.GetControlState(ctl::kSmallPixels), 150);
  c.SetControlState(ctl::kSmallPixels, 200);
  EXPECT_EQ(c.GetControlText(ctl::kSmallPixels), "abc");
}

TYPED_TEST(ControlsConformanceTest, RowCountListSelectsByItemText) {
  Controls& c = this->c();
  c.SetControlText(ctl::kRowsPerPage, "3");
  EXPECT_EQ(c.GetControlState(ctl::kRowsPerPage), 2);
  EXPECT_EQ(c.GetControlText(ctl::kRowsPerPage), "3");
  for (const char* unknown : {"12", "0", "3 ", "x"}) {
    c.SetControlText(ctl::kRowsPerPage, unknown);
    EXPECT_EQ(c.GetControlText(ctl::kRowsPerPage), "3") << unknown;
  }
  c.SetControlText(ctl::kRowsPerPage, "10");
  EXPECT_EQ(c.GetControlState(ctl::kRowsPerPage), 9);
  c.SetControlText(ctl::kRowsPerPage, "");
  EXPECT_EQ(c.GetControlState(ctl::kRowsPerPage), -1);
  EXPECT_EQ(c.GetControlText(ctl::kRowsPerPage), "");

  c.SetControlState(ctl::kRowsPerPage, 5);
  EXPECT_EQ(c.GetControlText(ctl::kRowsPerPage), "6");
  for (int outside : {10, -2, 1000}) {
    c.SetControlState(ctl::kRowsPerPage, 5);
    c.SetControlState(ctl::kRowsPerPage, outside);
    EXPECT_EQ(c.GetControlState(ctl::kRowsPerPage), -1) << outside;
  }
}

TYPED_TEST(ControlsConformanceTest, ProgressBarStaysWithinZeroAndItsMaximum) {
  Controls& c = this->c();
  c.SetControlMaximum(ctl::kProgressBar, 25);
  c.SetControlState(ctl::kProgressBar, 20);
  EXPECT_EQ(c.GetControlState(ctl::kProgressBar), 20);
  c.SetControlState(ctl::kProgressBar, 30);
  EXPECT_EQ(c.GetControlState(ctl::kProgressBar), 25);
  c.SetControlState(ctl::kProgressBar, -3);
  EXPECT_EQ(c.GetControlState(ctl::kProgressBar), 0);
  c.SetControlState(ctl::kProgressBar, 20);
  c.SetControlMaximum(ctl::kProgressBar, 8);  // a smaller range pulls the position in
  EXPECT_EQ(c.GetControlState(ctl::kProgressBar), 8);
  c.SetControlMaximum(ctl::kProgressBar, -4);
  EXPECT_EQ(c.GetControlState(ctl::kProgressBar), 0);
  c.SetControlMaximum(ctl::kSmallQuality, 3);  // only the progress bar has a settable maximum
  c.SetControlState(ctl::kSmallQuality, 9);
  EXPECT_EQ(c.GetControlState(ctl::kSmallQuality), 9);
}

TYPED_TEST(ControlsConformanceTest, PanelShowsOneOfItsThreeTabs) {
  Controls& c = this->c();
  c.SetControlState(ctl::kSettingsPanel, 2);
  EXPECT_EQ(c.GetControlState(ctl::kSettingsPanel), 2);
  c.SetControlState(ctl::kSettingsPanel, 3);
  c.SetControlState(ctl::kSettingsPanel, -1);
  EXPECT_EQ(c.GetControlState(ctl::kSettingsPanel), 2);
}

TYPED_TEST(ControlsConformanceTest, DisabledAndHiddenControlsKeepTheirValues) {
  Controls& c = this->c();
  c.DisableControl(ctl::kOriginalHomeServer, true);
  c.HideControl(ctl::kShopModule, true);
  c.DisableControl(ctl::kMetaTitle, true);
  c.SetControlState(ctl::kOriginalHomeServer, 1);
  c.SetControlState(ctl::kShopModule, 1);
  c.SetControlText(ctl::kMetaTitle, "Titel");
  EXPECT_TRUE(c.IsControlDisabled(ctl::kOriginalHomeServer));
  EXPECT_TRUE(c.IsControlHidden(ctl::kShopModule));
  EXPECT_FALSE(c.IsControlHidden(ctl::kOriginalHomeServer));
  EXPECT_EQ(c.GetControlState(ctl::kOriginalHomeServer), 1);
  EXPECT_EQ(c.GetControlState(ctl::kShopModule), 1);
  EXPECT_EQ(c.GetControlText(ctl::kMetaTitle), "Titel");
  c.DisableControl(ctl::kOriginalHomeServer, false);
  c.HideControl(ctl::kShopModule, false);
  EXPECT_FALSE(c.IsControlDisabled(ctl::kOriginalHomeServer));
  EXPECT_FALSE(c.IsControlHidden(ctl::kShopModule));
  EXPECT_EQ(c.GetControlState(ctl::kShopModule), 1);
}

TYPED_TEST(ControlsConformanceTest, UnknownNumbersAreIgnored) {
  Controls& c = this->c();
  for (int unknown : {-1, 0, 6, 9, 82, 90, 1000}) {
    c.SetControlText(unknown, "x");
    c.SetControlState(unknown, 1);
    c.DisableControl(unknown, true);
    c.HideControl(unknown, true);
    c.SetControlMaximum(unknown, 5);
    EXPECT_EQ(c.GetControlText(unknown), "") << unknown;
    EXPECT_EQ(c.GetControlState(unknown), 0) << unknown;
    EXPECT_FALSE(c.IsControlDisabled(unknown)) << unknown;
    EXPECT_FALSE(c.IsControlHidden(unknown)) << unknown;
  }
}

}  // namespace
}  // namespace albumora
