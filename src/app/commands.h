// The commands of the menu and the buttons, QuitProgram and the start-up steps that fill the
// main window. They reach the window only through Controls, ProgressReporter and the services.
#ifndef ALBUMORA_APP_COMMANDS_H_
#define ALBUMORA_APP_COMMANDS_H_

#include <string>
#include <string_view>

#include "settings/program_values.h"
#include "ui/controls.h"
#include "ui/progress_reporter.h"
#include "ui/services.h"

namespace albumora {

// The product's web site: the info window's link, "Webseite" and the online help.
inline constexpr std::string_view kProductWebsite = "https://albumora.example";

#ifdef _WIN32
inline constexpr std::string_view kSideProgramName = "Index.exe";
#else
inline constexpr std::string_view kSideProgramName = "Index";
#endif

// Everything a command works on. The values are not const: choosing a source folder renews
// `source_folder_name`.
struct AppContext {
  Controls& controls;
  ProgressReporter& reporter;
  ProgramValues& values;
  Requesters& requesters;
  Launcher& launcher;
  WindowShell& shell;
};

// Start-up after the window exists: LoadSettings, the dependant rules, the photo count of the
// saved source folder and SourceFolderName, in that order.
void PrepareMainWindow(AppContext& app);

void CreatePhotoWebsite(AppContext& app);
void CreateTableOfContents(AppContext& app);
void ViewTableOfContents(AppContext& app);
void QuitProgram(AppContext& app);
void ShowInfo(AppContext& app);
void CloseInfo(AppContext& app);
void ShowUpdateInfo(AppContext& app);
void OpenWebsite(AppContext& app);
void OpenHelp(AppContext& app);
void OpenOnlineHelp(AppContext& app);

void ChooseSourceFolder(AppContext& app);
void ChooseTargetFolder(AppContext& app);
void ChooseSmallTemplate(AppContext& app);
void ChooseBigTemplate(AppContext& app);
void ChooseControlTemplateFolder(AppContext& app);
void ChooseCssFile(AppContext& app);

// Tries `name` as a program first, then as a document.
bool StartOrOpen(Launcher& launcher, std::string_view name);

// The folder part of a field's text for a requester's start: up to and including the last '/'
// or '\', looking no further than the first '|', skipping a leading double quote; empty when
// there is no separator.
std::string RequesterFolderPart(std::string_view text);

// The templates folder that comes with the program (ending with the separator), where a file
// requester starts while its field is empty; empty when there is none.
std::string ProgramTemplateFolder();

// A folder requester's start folder: the trailing separator is dropped unless the text has
// three characters or fewer (a root such as "/" or "C:\" keeps it).
std::string FolderRequesterStart(std::string_view text);

// The filter texts of the three file requesters (Windows-1252).
std::string SmallTemplateFilter();
std::string BigTemplateFilter();
std::string CssFileFilter();

}  // namespace albumora

#endif  // ALBUMORA_APP_COMMANDS_H_
