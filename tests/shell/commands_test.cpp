#include "app/commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/dispatch.h"
#include "fake_services.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "support/scratch_folder.h"
#include "ui/control_ids.h"
#include "ui/memory_controls.h"

namespace albumora {
namespace {

// The commands over the in-memory controls, with requesters and launcher the test answers.
class CommandsTest : public testing::Test {
 protected:
  CommandsTest() { values_.temp_folder = work_ / "temp/"; }

  void Run(EventKind kind, int number, int window = kMainWindowNumber) {
    DispatchEvent(app_, WindowEvent{kind, window, number});
  }
  std::string Text(int control) const { return controls_.GetControlText(control); }

  WorkFolder work_;
  MemoryControls controls_;
  MemoryProgressReporter reporter_{controls_};
  ProgramValues values_;
  FakeRequesters requesters_;
  FakeLauncher launcher_;
  FakeShell shell_;
  AppContext app_{controls_, reporter_, values_, requesters_, launcher_, shell_};
};

TEST(RequesterStart, FolderPartOfAFieldText) {
  EXPECT_EQ(RequesterFolderPart("D:\\Vorlagen\\klein._vl"), "D:\\Vorlagen\\");
  EXPECT_EQ(RequesterFolderPart("/home/erika/vorlagen/klein._vl"), "/home/erika/vorlagen/");
  EXPECT_EQ(RequesterFolderPart("/home/erika/symbole/"), "/home/erika/symbole/");
  EXPECT_EQ(RequesterFolderPart("\"/a/b/c.css"), "/a/b/");  // a leading quote is skipped
  EXPECT_EQ(RequesterFolderPart("/a/b|/c/d"), "/a/");       // nothing after a '|' counts
  EXPECT_EQ(RequesterFolderPart("klein._vl"), "");
  EXPECT_EQ(RequesterFolderPart(""), "");
}

TEST(RequesterStart, FolderRequesterDropsTheSeparatorExceptAtARoot) {
  EXPECT_EQ(FolderRequesterStart("/home/erika/Bilder/"), "/home/erika/Bilder");
  EXPECT_EQ(FolderRequesterStart("D:\\Bilder\\"), "D:\\Bilder");
  EXPECT_EQ(FolderRequesterStart("C:\\"), "C:\\");
  EXPECT_EQ(FolderRequesterStart("/"), "/");
  EXPECT_EQ(FolderRequesterStart("/ab"), "/ab");
  EXPECT_EQ(FolderRequesterStart(""), "");
}

TEST_F(CommandsTest, ChoosingASourceFolderRescansAndRenamesTheTexts) {
  work_.Write("Urlaub/a.jpg", "");
  work_.Write("Urlaub/b.JPG", "");
  controls_.SetControlText(ctl::kSourceFolder, "/alt/Ordner/");
  controls_.SetControlText(ctl::kHeading, "typed by the user");
  requesters_.answer = work_ / "Urlaub";  // the dialog gives no trailing separator

  Run(EventKind::kControl, ctl::kChooseSourceFolder);

  ASSERT_EQ(requesters_.requests.size(), 1u);
  EXPECT_TRUE(requesters_.requests[0].folder);
  EXPECT_EQ(requesters_.requests[0].title, Cp1252("Bitte wählen Sie einen Pfad aus"));
  EXPECT_EQ(requesters_.requests[0].start, "/alt/Ordner");
  EXPECT_EQ(Text(ctl::kSourceFolder), work_ / "Urlaub/");
  EXPECT_EQ(values_.source_folder_name, "Urlaub");
  for (int control : {ctl::kHeading, ctl::kWindowTitle, ctl::kMetaDescription, ctl::kMetaTitle}) {
    EXPECT_EQ(Text(control), "Fotos von Urlaub") << control;
  }
  EXPECT_EQ(controls_.StatusField(0), "Anzahl der Fotos im Verzeichnis: 2");
}

TEST_F(CommandsTest, ADriveRootGivesTheDriveAsName) {
  requesters_.answer = "C:\\";
  Run(EventKind::kControl, ctl::kChooseSourceFolder);
  EXPECT_EQ(Text(ctl::kHeading), "Fotos von C:");
}

// Every requester, cancelled: nothing changes, and the source folder is not scanned again.
TEST_F(CommandsTest, CancelledRequestersChangeNothing) {
  for (int control : {ctl::kSourceFolder, ctl::kTargetFolder, ctl::kSmallTemplate,
                      ctl::kBigTemplate, ctl::kControlSymbolFolder, ctl::kCssFile, ctl::kHeading,
                      ctl::kWindowTitle, ctl::kMetaDescription, ctl::kMetaTitle}) {
    controls_.SetControlText(control, "vorher " + std::to_string(control));
  }
  controls_.SetStatusField(0, "unchanged");
  const MemoryControls before = controls_;
  for (int button :
       {ctl::kChooseSourceFolder, ctl::kChooseTargetFolder, ctl::kChooseSmallTemplate,
        ctl::kChooseBigTemplate, ctl::kChooseControlSymbolFolder, ctl::kChooseCssFile}) {
    Run(EventKind::kControl, button);
  }
  EXPECT_EQ(requesters_.requests.size(), 6u);
  for (const ControlSpec& spec : MainWindowControls()) {
    EXPECT_EQ(controls_.GetControlText(spec.number), before.GetControlText(spec.number))
        << spec.number;
  }
  EXPECT_EQ(controls_.StatusField(0), "unchanged");
  EXPECT_EQ(values_.source_folder_name, "");
}

struct FileChoice {
  int button;
  int field;
  const char* title;  // UTF-8
  const char* first_filter;
};

class FileRequesterTest : public CommandsTest, public testing::WithParamInterface<FileChoice> {};

TEST_P(FileRequesterTest, StartsInTheFieldsFolderAndFillsTheField) {
  const FileChoice& choice = GetParam();
  controls_.SetControlText(choice.field, "/home/erika/vorlagen/alt.txt");
  requesters_.answer = "/home/erika/neu/datei.x";
  Run(EventKind::kControl, choice.button);

  ASSERT_EQ(requesters_.requests.size(), 1u);
  const FakeRequesters::Request& request = requesters_.requests[0];
  EXPECT_FALSE(request.folder);
  EXPECT_EQ(request.title, Cp1252(choice.title));
  EXPECT_EQ(request.start, "/home/erika/vorlagen/");
  EXPECT_EQ(request.filter.substr(0, request.filter.find('|')), Cp1252(choice.first_filter));
  EXPECT_EQ(Text(choice.field), "/home/erika/neu/datei.x");
}

INSTANTIATE_TEST_SUITE_P(
    Templates, FileRequesterTest,
    testing::Values(FileChoice{ctl::kChooseSmallTemplate, ctl::kSmallTemplate,
                               "Bitte wählen Sie eine Vorlage aus", "Vorlagen (*._vl)"},
                    FileChoice{ctl::kChooseBigTemplate, ctl::kBigTemplate,
                               "Bitte wählen Sie eine Vorlage für die Vergrößerung aus",
                               "Vorlagen Ansicht groß (*.gvl)"},
                    FileChoice{ctl::kChooseCssFile, ctl::kCssFile,
                               "Bitte wählen Sie eine Datei aus", "CSS Datei (*.css)"}),
    [](const testing::TestParamInfo<FileChoice>& info) {
      return "Button" + std::to_string(info.param.button);
    });

TEST_P(FileRequesterTest, EmptyFieldStartsInTheTemplatesThatComeWithTheProgram) {
  const FileChoice& choice = GetParam();
  controls_.SetControlText(choice.field, "");
  Run(EventKind::kControl, choice.button);  // no templates anywhere: Qt's own start
  std::filesystem::create_directories(work_ / "vorlagen");
  Run(EventKind::kControl, choice.button);  // the ones in the current folder come first

  ASSERT_EQ(requesters_.requests.size(), 2u);
  EXPECT_EQ(requesters_.requests[0].start, "");
  EXPECT_EQ(requesters_.requests[1].start, CurrentFolder() + "vorlagen/");
  EXPECT_EQ(Text(choice.field), "");
}

TEST_F(CommandsTest, FolderRequestersEndTheirResultWithASeparator) {
  controls_.SetControlText(ctl::kControlSymbolFolder, "/home/erika/symbole/");
  requesters_.answer = "/home/erika/neue symbole";
  Run(EventKind::kControl, ctl::kChooseControlSymbolFolder);
  ASSERT_EQ(requesters_.requests.size(), 1u);
  EXPECT_TRUE(requesters_.requests[0].folder);
  EXPECT_EQ(requesters_.requests[0].title,
            Cp1252("Bitte wählen Sie eine Vorlage der Steuerelemente für Webalbum/Diashow"));
  EXPECT_EQ(requesters_.requests[0].start, "/home/erika/symbole");
  EXPECT_EQ(Text(ctl::kControlSymbolFolder), "/home/erika/neue symbole/");

  requesters_.answer = "/srv/ziel/";
  Run(EventKind::kControl, ctl::kChooseTargetFolder);
  EXPECT_EQ(Text(ctl::kTargetFolder), "/srv/ziel/");
}

TEST_F(CommandsTest, MissingTableOfContentsIsReportedInThreeLines) {
  Run(EventKind::kMenu, menu::kViewTableOfContents);
  // An empty target folder field leaves just the file name, in the current folder.
  EXPECT_EQ(launcher_.opened, std::vector<std::string>{"Index.htm"});
  ASSERT_EQ(controls_.messages().size(), 1u);
  EXPECT_EQ(controls_.messages()[0].title, "Achtung");
  EXPECT_EQ(controls_.messages()[0].text,
            "Albumora hat kein Inhaltsverzeichnis gefunden.\rBitte erstelle eine "
            "Fotowebseite\rund erstelle dann ein Inhaltsverzeichnis.");

  launcher_.documents_open = true;
  controls_.SetControlText(ctl::kTargetFolder, "/srv/ziel/");
  Run(EventKind::kMenu, menu::kViewTableOfContents);
  EXPECT_EQ(launcher_.opened.back(), "/srv/ziel/Index.htm");
  controls_.SetControlText(ctl::kTargetFolder, "/srv/ziel");  // typed without the separator
  Run(EventKind::kMenu, menu::kViewTableOfContents);
  EXPECT_EQ(launcher_.opened.back(), "/srv/ziel/Index.htm");
  EXPECT_EQ(controls_.messages().size(), 1u);
}

TEST_F(CommandsTest, SideProgramAndDocumentsAreStartedWithoutMessages) {
  Run(EventKind::kMenu, menu::kCreateTableOfContents);
  EXPECT_EQ(launcher_.started, std::vector<std::string>{std::string(kSideProgramName)});
  Run(EventKind::kMenu, menu::kWebsite);
  Run(EventKind::kMenu, menu::kOnlineHelp);
  Run(EventKind::kMenu, menu::kHelp);
  ASSERT_EQ(launcher_.opened.size(), 4u);  // Index (no program found), site, online help, help
  EXPECT_EQ(launcher_.opened[1], kProductWebsite);
  EXPECT_EQ(launcher_.opened[2], std::string(kProductWebsite) + "/hilfe.htm");
  EXPECT_TRUE(launcher_.opened[3].ends_with("hilfe.pdf"));
  EXPECT_TRUE(controls_.messages().empty());
}

TEST_F(CommandsTest, QuitSavesClearsTheTemporaryFolderAndEnds) {
  work_.Write("temp/fotos_1.htm", "x");
  controls_.SetControlText(ctl::kHeading, "Neu");
  Run(EventKind::kControl, ctl::kQuit);
  EXPECT_EQ(shell_.ended, 1);
  EXPECT_FALSE(work_.Exists("temp"));
  EXPECT_NE(work_.Read("Einstellung.alb").find("#WebSeiteAllgemein_Ueberschrift_String = Neu\r\n"),
            std::string::npos);

  // A missing temporary folder is no error.
  Run(EventKind::kMenu, menu::kQuit);
  EXPECT_EQ(shell_.ended, 2);
}

TEST_F(CommandsTest, QuitNeverClearsARelativeTemporaryFolder) {
  values_.temp_folder = "Albumora/";
  work_.Write("Albumora/mine.txt", "keep");
  Run(EventKind::kMenu, menu::kQuit);
  EXPECT_EQ(work_.Read("Albumora/mine.txt"), "keep");
}

TEST_F(CommandsTest, CloseRequestsAndTheInfoWindowsControls) {
  Run(EventKind::kMenu, menu::kAbout);
  EXPECT_EQ(shell_.info_shown, 1);
  Run(EventKind::kControl, ctl::kInfoOk, kInfoWindowNumber);
  Run(EventKind::kClose, 0, kInfoWindowNumber);
  EXPECT_EQ(shell_.info_closed, 2);
  Run(EventKind::kControl, ctl::kInfoUpdateLink, kInfoWindowNumber);
  ASSERT_EQ(controls_.messages().size(), 1u);
  EXPECT_EQ(controls_.messages()[0].title, "INFO");
  EXPECT_EQ(controls_.messages()[0].text, "Update");
  EXPECT_EQ(shell_.ended, 0);

  // The main window's close box ends the program without saving or clearing anything.
  work_.Write("temp/x.htm", "x");
  Run(EventKind::kClose, 0, kMainWindowNumber);
  EXPECT_EQ(shell_.ended, 1);
  EXPECT_FALSE(work_.Exists("Einstellung.alb"));
  EXPECT_TRUE(work_.Exists("temp/x.htm"));
}

TEST_F(CommandsTest, ItemsAndControlsWithoutActionDoNothing) {
  const MemoryControls before = controls_;
  Run(EventKind::kMenu, menu::kCheckUpdates);
  Run(EventKind::kMenu, 8);
  for (int control : {ctl::kCancel, 11, 13, 47, 51, 85, 87}) Run(EventKind::kControl, control);
  EXPECT_TRUE(requesters_.requests.empty());
  EXPECT_TRUE(launcher_.opened.empty());
  EXPECT_EQ(shell_.ended + shell_.info_shown, 0);
  for (const ControlSpec& spec : MainWindowControls()) {
    EXPECT_EQ(controls_.GetControlText(spec.number), before.GetControlText(spec.number));
    EXPECT_EQ(controls_.GetControlState(spec.number), before.GetControlState(spec.number));
  }
}

TEST_F(CommandsTest, StartUpFillsTheWindowFromTheSettingsFile) {
  work_.Write("Bilder/eins.jpg", "");
  work_.Write("Einstellung.alb",
              "[FotosAllgemein]\r\n#FotosAllgemein_Quellverzeichnis_String = Bilder/\r\n"
              "#FotosAllgemein_KlQuali_TrackBar = 30\r\n#FotosAllgemein_MetaTag_CheckBox = 0\r\n"
              "[CSS]\r\n#CSS_Extern_CheckBox = 1\r\n");
  PrepareMainWindow(app_);
  EXPECT_EQ(controls_.StatusField(0), "Anzahl der Fotos im Verzeichnis: 1");
  EXPECT_EQ(values_.source_folder_name, "Bilder");
  EXPECT_EQ(controls_.GetControlState(ctl::kSmallQuality), 10);
  EXPECT_EQ(Text(ctl::kSmallQualityLabel), "100%");
  EXPECT_TRUE(controls_.IsControlDisabled(ctl::kMetaDescription));
  EXPECT_FALSE(controls_.IsControlDisabled(ctl::kCssFile));
  EXPECT_TRUE(controls_.IsControlDisabled(ctl::kControlSymbolFolder));
  EXPECT_TRUE(controls_.IsControlHidden(ctl::kCancel));
}

TEST_F(CommandsTest, StartUpWithAVanishedSourceFolderShowsNoPhotos) {
  work_.Write("Einstellung.alb",
              "[FotosAllgemein]\r\n#FotosAllgemein_Quellverzeichnis_String = /gibt/es/nicht/\r\n");
  PrepareMainWindow(app_);
  EXPECT_EQ(controls_.StatusField(0), "Anzahl der Fotos im Verzeichnis: 0");
  EXPECT_EQ(values_.source_folder_name, "nicht");
  EXPECT_TRUE(controls_.messages().empty());
}

}  // namespace
}  // namespace albumora
