#include "settings/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <set>
#include <string>

#include "platform/text.h"
#include "support/scratch_folder.h"
#include "ui/control_ids.h"
#include "ui/memory_controls.h"

namespace albumora {
namespace {

class SettingsFile : public testing::Test {
 protected:
  std::string Path() const { return folder_ / "Einstellung.alb"; }
  void WriteFile(std::string_view content) const { folder_.Write("Einstellung.alb", content); }
  std::string ReadFile() const { return folder_.Read("Einstellung.alb"); }

  // Loads `content` as the settings file into fresh controls.
  void Load(std::string_view content) {
    WriteFile(content);
    LoadSettings(controls_, Path());
  }

  ScratchFolder folder_;
  MemoryControls controls_;
};

TEST(SettingsFields, OneFieldPerKeyedControlInFileOrder) {
  std::set<int> controls;
  std::set<std::string> keys;
  for (const SettingsField& field : SettingsFields()) {
    EXPECT_TRUE(controls.insert(field.control).second) << field.key;
    EXPECT_TRUE(keys.insert(LowerCase(field.key)).second) << field.key;
    EXPECT_NE(FindControlSpec(field.control), nullptr) << field.key;
    EXPECT_EQ(FindSettingsField(field.control), &field);
  }
  EXPECT_EQ(SettingsFields().size(), 33u);
}

TEST_F(SettingsFile, FirstStartThenSaveWritesTheDefaultFile) {
  LoadSettings(controls_, Path());  // no file yet
  EXPECT_EQ(controls_.GetControlText(ctl::kSmallQualityLabel), "0%");
  EXPECT_EQ(controls_.GetControlText(ctl::kBigQualityLabel), "0%");
  EXPECT_EQ(controls_.GetControlState(ctl::kSmallPixels), 150);
  EXPECT_EQ(controls_.GetControlText(ctl::kSmallPixels), "");
  EXPECT_EQ(controls_.GetControlState(ctl::kSlideShowSeconds), 5);
  EXPECT_EQ(controls_.GetControlText(ctl::kSmallTemplate), "");  // placeholder overwritten
  EXPECT_EQ(controls_.GetControlText(ctl::kMetaDescription), "");
  EXPECT_EQ(controls_.GetControlState(ctl::kRowsPerPage), -1);
  EXPECT_EQ(controls_.GetControlState(ctl::kHtml) + controls_.GetControlState(ctl::kPhp), 0);

  SaveSettings(controls_, Path());
  const std::string golden =
      ReadFileBytes(std::string(ALBUMORA_TEST_DATA_DIR) + "/settings/first_start.alb");
  ASSERT_FALSE(golden.empty());
  EXPECT_EQ(ReadFile(), golden);
}

TEST_F(SettingsFile, ValuesObeyTheirControlsAndAreSavedAsHeld) {
  Load(
      "[FotosAllgemein]\r\n"
      "#FotosAllgemein_KlQuali_TrackBar = 30\r\n"
      "#FotosAllgemein_GrQuali_TrackBar = 7\r\n"
      "#FotosAllgemein_PixelKl_Spin = 100\r\n"
      "#FotosAllgemein_PixelGr_Spin = 800 px\r\n"
      "#FotosAllgemein_MetaTag_CheckBox = 5\r\n"
      "#FotosAllgemein_OriginalDownload_CheckBox = -1\r\n"
      "[WebseiteAllgemein]\r\n"
      "#WebSeiteAllgemein_Html_Radio = 1\r\n"
      "#WebSeiteAllgemein_PHP_Radio = 1\r\n"
      "#WebSeiteAllgemein_AnzahlDerFotos_Spin = 12\r\n"
      "#WebSeiteAllgemein_Diashow_Spin = 99\r\n");
  EXPECT_EQ(controls_.GetControlState(ctl::kSmallQuality), 10);
  EXPECT_EQ(controls_.GetControlText(ctl::kSmallQualityLabel), "100%");
  EXPECT_EQ(controls_.GetControlText(ctl::kBigQualityLabel), "70%");
  EXPECT_EQ(controls_.GetControlState(ctl::kSmallPixels), 150);
  EXPECT_EQ(controls_.GetControlText(ctl::kSmallPixels), "100");  // the text is kept as stored
  EXPECT_EQ(controls_.GetControlState(ctl::kBigPixels), 800);
  EXPECT_EQ(controls_.GetControlText(ctl::kBigPixels), "800 px");
  EXPECT_EQ(controls_.GetControlState(ctl::kHtml), 0);  // applied second, PHP wins
  EXPECT_EQ(controls_.GetControlState(ctl::kPhp), 1);
  EXPECT_EQ(controls_.GetControlState(ctl::kRowsPerPage), -1);
  EXPECT_EQ(controls_.GetControlState(ctl::kSlideShowSeconds), 60);

  SaveSettings(controls_, Path());
  const std::string saved = ReadFile();
  for (const char* line :
       {"#FotosAllgemein_KlQuali_TrackBar = 10\r\n", "#FotosAllgemein_PixelKl_Spin = 150\r\n",
        "#FotosAllgemein_MetaTag_CheckBox = 1\r\n",
        "#FotosAllgemein_OriginalDownload_CheckBox = 1\r\n",
        "#WebSeiteAllgemein_Html_Radio = 0\r\n", "#WebSeiteAllgemein_PHP_Radio = 1\r\n",
        "#WebSeiteAllgemein_AnzahlDerFotos_Spin = \r\n",
        "#WebSeiteAllgemein_Diashow_Spin = 60\r\n"}) {
    EXPECT_NE(saved.find(line), std::string::npos) << line;
  }
}

TEST_F(SettingsFile, ZeroSelectsNoRowCountAndAnItemIsSelectedByText) {
  Load("[WebseiteAllgemein]\r\n#WebSeiteAllgemein_AnzahlDerFotos_Spin = 0\r\n");
  EXPECT_EQ(controls_.GetControlState(ctl::kRowsPerPage), -1);
  Load("[WebseiteAllgemein]\r\n#WebSeiteAllgemein_AnzahlDerFotos_Spin =  4 \r\n");
  EXPECT_EQ(controls_.GetControlText(ctl::kRowsPerPage), "4");
}

TEST_F(SettingsFile, TextsSurviveASaveAndLoad) {
  const std::string heading = "  Ferien = Sommer " + Cp1252("Größe") + "  ";
  controls_.SetControlText(ctl::kHeading, heading);
  controls_.SetControlText(ctl::kSourceFolder, "/home/a/Bilder/");
  controls_.SetControlText(ctl::kRowsPerPage, "3");
  controls_.SetControlState(ctl::kRevealTransition, 1);
  SaveSettings(controls_, Path());
  EXPECT_NE(ReadFile().find("#WebSeiteAllgemein_Ueberschrift_String = " + heading + "\r\n"),
            std::string::npos);

  MemoryControls reloaded;
  LoadSettings(reloaded, Path());
  EXPECT_EQ(reloaded.GetControlText(ctl::kHeading), "Ferien = Sommer " + Cp1252("Größe"));
  EXPECT_EQ(reloaded.GetControlText(ctl::kSourceFolder), "/home/a/Bilder/");
  EXPECT_EQ(reloaded.GetControlText(ctl::kRowsPerPage), "3");
  EXPECT_EQ(reloaded.GetControlState(ctl::kRevealTransition), 1);
}

TEST_F(SettingsFile, HandEditedFileLoadsAndIsNormalisedOnSave) {
  Load(
      "; written by hand\n"
      "[fotosallgemein]\n"
      "#FOTOSALLGEMEIN_PIXELKL_SPIN=300\n"
      "#FotosAllgemein_PixelKl_Spin = 200\n"
      "#Unknown = 1\n"
      "[CSS\n"
      "#CSS_Extern_CheckBox\n"
      "#CSS_DateiAuswaehlen_String = a.css\n");
  EXPECT_EQ(controls_.GetControlState(ctl::kSmallPixels), 300);
  EXPECT_EQ(controls_.GetControlText(ctl::kCssFile), "a.css");
  EXPECT_EQ(controls_.GetControlState(ctl::kExternalCss), 0);

  SaveSettings(controls_, Path());
  const std::string saved = ReadFile();
  EXPECT_EQ(saved.find("written by hand"), std::string::npos);
  EXPECT_EQ(saved.find("Unknown"), std::string::npos);
  EXPECT_EQ(saved.rfind("[FotosAllgemein]\r\n", 0), 0u);
  EXPECT_EQ(saved.find("#FotosAllgemein_PixelKl_Spin"),
            saved.rfind("#FotosAllgemein_PixelKl_Spin"));
  EXPECT_NE(saved.find("#FotosAllgemein_PixelKl_Spin = 300\r\n"), std::string::npos);
}

TEST_F(SettingsFile, Utf8FileLoadsAndIsSavedAsEightBit) {
  Load(
      "\xEF\xBB\xBF[WebseiteAllgemein]\r\n"
      "#WebSeiteAllgemein_Ueberschrift_String = Gr\xC3\xBC\xC3\x9F"
      "e\r\n"
      "#WebSeiteAllgemein_SeitenName_String = 10 \xE2\x82\xAC\r\n"
      "#WebSeiteAllgemein_Webalbum_CheckBox = 1\r\n");
  EXPECT_EQ(controls_.GetControlText(ctl::kHeading), Cp1252("Grüße"));
  EXPECT_EQ(controls_.GetControlText(ctl::kWindowTitle), "");
  EXPECT_EQ(controls_.GetControlState(ctl::kWebalbum), 1);
  SaveSettings(controls_, Path());
  const std::string saved = ReadFile();
  EXPECT_EQ(saved.rfind("[FotosAllgemein]", 0), 0u);  // no byte-order mark
  EXPECT_NE(saved.find("= " + Cp1252("Grüße") + "\r\n"), std::string::npos);
}

TEST_F(SettingsFile, ReplacesTheFileInsteadOfRewritingItInPlace) {
  // A second name for the old file keeps the old content: the new content went into a new file
  // that was renamed over the old name, so a save that fails half-way cannot destroy it.
  WriteFile("[CSS]\r\n#CSS_Extern_CheckBox = 1\r\n");
  ASSERT_EQ(::link(Path().c_str(), (folder_ / "old").c_str()), 0);
  SaveSettings(controls_, Path());
  EXPECT_EQ(folder_.Read("old"), "[CSS]\r\n#CSS_Extern_CheckBox = 1\r\n");
  const std::string saved = ReadFile();
  EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 37);
  EXPECT_EQ(folder_.EntryCount(), 2);
}

TEST_F(SettingsFile, ReadOnlyFileIsLeftAsItWas) {
  const std::string before = "[CSS]\r\n#CSS_Extern_CheckBox = 1\r\n";
  WriteFile(before);
  ASSERT_EQ(::chmod(Path().c_str(), 0444), 0);
  SaveSettings(controls_, Path());
  EXPECT_EQ(ReadFile(), before);
  EXPECT_TRUE(controls_.messages().empty());
  EXPECT_EQ(folder_.EntryCount(), 1);
}

TEST_F(SettingsFile, UnwritablePlacesChangeNothing) {
  SaveSettings(controls_, folder_ / "missing/Einstellung.alb");
  ASSERT_EQ(::mkdir(Path().c_str(), 0755), 0);  // a folder where the file should be
  SaveSettings(controls_, Path());
  LoadSettings(controls_, Path());
  EXPECT_EQ(folder_.EntryCount(), 1);
  EXPECT_EQ(controls_.GetControlState(ctl::kSmallPixels), 150);
}

}  // namespace
}  // namespace albumora
