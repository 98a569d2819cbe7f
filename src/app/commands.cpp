#include "app/commands.h"

#include "app/dependants.h"
#include "gallery/generation_run.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "settings/settings.h"
#include "ui/control_ids.h"

namespace albumora {
namespace {

constexpr char kFolderTitle[] = "Bitte wählen Sie einen Pfad aus";
constexpr char kPhotosOfPrefix[] = "Fotos von ";

// A folder requester: the start is prepared from `start_text`; a chosen folder always ends with
// the separator, and an empty result means cancelled.
std::string AskForFolder(AppContext& app, std::string_view title, std::string_view start_text) {
  const std::string chosen =
      app.requesters.ChooseFolder(Cp1252(title), FolderRequesterStart(start_text));
  return WithTrailingSeparator(chosen);
}

// A file requester for field `control`, started in the folder of the field's text, or in the
// templates that come with the program while the field is empty; a chosen file replaces the
// text, a cancelled requester leaves it alone.
void ChooseFileInto(AppContext& app, int control, std::string_view title, std::string_view filter) {
  const std::string text = app.controls.GetControlText(control);
  const std::string start = text.empty() ? ProgramTemplateFolder() : RequesterFolderPart(text);
  const std::string chosen = app.requesters.ChooseFile(Cp1252(title), start, filter);
  if (!chosen.empty()) app.controls.SetControlText(control, chosen);
}

}  // namespace

void PrepareMainWindow(AppContext& app) {
  Controls& controls = app.controls;
  LoadSettings(controls);
  UpdateHtmlPhpDependants(controls);
  ApplyFixedUiRestrictions(controls);
  UpdateMetaTagDependants(controls);
  ScanPhotos(controls, app.reporter);
  app.values.source_folder_name =
      DeriveSourceFolderName(controls.GetControlText(ctl::kSourceFolder));
  UpdateCssDependants(controls);
  UpdateWebalbumDependants(controls);
}

void CreatePhotoWebsite(AppContext& app) {
  if (GenerationRun(app.controls, app.reporter, app.values) == RunOutcome::kProgramMustEnd) {
    app.shell.EndProgram();
  }
}

void CreateTableOfContents(AppContext& app) {
  // Whether the side program could be started is not reported.
  StartOrOpen(app.launcher, kSideProgramName);
}

void ViewTableOfContents(AppContext& app) {
  const std::string page =
      WithTrailingSeparator(app.controls.GetControlText(ctl::kTargetFolder)) + "Index.htm";
  // A page is no program: it goes straight to the desktop, which shows it in the browser.
  if (!app.launcher.OpenDocument(page)) {
    app.controls.ShowMessage("Achtung",
                             "Albumora hat kein Inhaltsverzeichnis gefunden.\r"
                             "Bitte erstelle eine Fotowebseite\r"
                             "und erstelle dann ein Inhaltsverzeichnis.");
  }
}

void QuitProgram(AppContext& app) {
  SaveSettings(app.controls);
  // A relative temporary folder would resolve into the user's own files: never clear it.
  if (IsAbsolutePath(app.values.temp_folder)) ClearFolder(app.values.temp_folder);
  app.shell.EndProgram();
}

void ShowInfo(AppContext& app) { app.shell.ShowInfo(); }

void CloseInfo(AppContext& app) { app.shell.CloseInfo(); }

void ShowUpdateInfo(AppContext& app) { app.controls.ShowMessage("INFO", "Update"); }

void OpenWebsite(AppContext& app) { app.launcher.OpenDocument(kProductWebsite); }

void OpenHelp(AppContext& app) {
  // The help document comes with the program: the current folder first, then beside the
  // executable. A missing one is not reported.
  app.launcher.OpenDocument(ProgramFile("hilfe.pdf"));
}

void OpenOnlineHelp(AppContext& app) {
  app.launcher.OpenDocument(std::string(kProductWebsite) + "/hilfe.htm");
}

void ChooseSourceFolder(AppContext& app) {
  Controls& controls = app.controls;
  const std::string folder =
      AskForFolder(app, kFolderTitle, controls.GetControlText(ctl::kSourceFolder));
  if (folder.empty()) return;
  controls.SetControlText(ctl::kSourceFolder, folder);
  app.values.source_folder_name = DeriveSourceFolderName(folder);
  ScanPhotos(controls, app.reporter);
  const std::string derived = kPhotosOfPrefix + app.values.source_folder_name;
  for (int control : {ctl::kHeading, ctl::kWindowTitle, ctl::kMetaDescription, ctl::kMetaTitle}) {
    controls.SetControlText(control, derived);
  }
}

void ChooseTargetFolder(AppContext& app) {
  const std::string folder =
      AskForFolder(app, kFolderTitle, app.controls.GetControlText(ctl::kTargetFolder));
  if (!folder.empty()) app.controls.SetControlText(ctl::kTargetFolder, folder);
}

void ChooseSmallTemplate(AppContext& app) {
  ChooseFileInto(app, ctl::kSmallTemplate, "Bitte wählen Sie eine Vorlage aus",
                 SmallTemplateFilter());
}

void ChooseBigTemplate(AppContext& app) {
  ChooseFileInto(app, ctl::kBigTemplate, "Bitte wählen Sie eine Vorlage für die Vergrößerung aus",
                 BigTemplateFilter());
}

void ChooseControlTemplateFolder(AppContext& app) {
  // The field holds a folder, so its folder part is the folder itself.
  const std::string start =
      RequesterFolderPart(app.controls.GetControlText(ctl::kControlSymbolFolder));
  const std::string folder = AskForFolder(
      app, "Bitte wählen Sie eine Vorlage der Steuerelemente für Webalbum/Diashow", start);
  if (!folder.empty()) app.controls.SetControlText(ctl::kControlSymbolFolder, folder);
}

void ChooseCssFile(AppContext& app) {
  ChooseFileInto(app, ctl::kCssFile, "Bitte wählen Sie eine Datei aus", CssFileFilter());
}

bool StartOrOpen(Launcher& launcher, std::string_view name) {
  return launcher.StartProgram(name) || launcher.OpenDocument(name);
}

std::string RequesterFolderPart(std::string_view text) {
  if (!text.empty() && text.front() == '"') text.remove_prefix(1);
  text = text.substr(0, text.find('|'));
  return std::string(FolderPart(text));
}

std::string ProgramTemplateFolder() {
  const std::string folder = ProgramFile("vorlagen");
  return IsAbsolutePath(folder) ? WithTrailingSeparator(folder) : std::string();
}

std::string FolderRequesterStart(std::string_view text) {
  if (text.size() > 3 && IsPathSeparator(text.back())) text.remove_suffix(1);
  return std::string(text);
}

std::string SmallTemplateFilter() {
  return "Vorlagen (*._vl)|*._vl|Webseiten (Htnl; PHP)|*.htm;*.html;*.php;*.php3;*.php4;*.php5|"
         "Alle Dateien (*.*)|*.*";
}

std::string BigTemplateFilter() {
  return Cp1252(
      "Vorlagen Ansicht groß (*.gvl)|*.gvl|Webseiten (Htnl; PHP)|"
      "*.htm;*.html;*.php;*.php3;*.php4;*.php5|Alle Dateien (*.*)|*.*");
}

std::string CssFileFilter() { return "CSS Datei (*.css)|*.css|Alle Dateien (*.*)|*.*"; }

}  // namespace albumora
