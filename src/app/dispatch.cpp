#include "app/dispatch.h"

#include <algorithm>
#include <iterator>

#include "app/dependants.h"
#include "ui/control_ids.h"

namespace albumora {
namespace {

using Command = void (*)(AppContext&);

struct Entry {
  int number;
  Command command;
};

// Item 7 ("Auf Updates prüfen") has no entry: it is disabled and does nothing.
constexpr Entry kMenuTable[] = {
    {menu::kCreateWebsite, CreatePhotoWebsite},
    {menu::kCreateTableOfContents, CreateTableOfContents},
    {menu::kViewTableOfContents, ViewTableOfContents},
    {menu::kQuit, QuitProgram},
    {menu::kAbout, ShowInfo},
    {menu::kWebsite, OpenWebsite},
    {menu::kHelp, OpenHelp},
    {menu::kOnlineHelp, OpenOnlineHelp},
};

// Controls whose action is a command. The actions that only change other controls (labels,
// spin texts, the 80/81 exclusion, the dependant rules) are RunControlRule's.
constexpr Entry kControlTable[] = {
    {ctl::kInfoOk, CloseInfo},
    {ctl::kInfoWebsiteLink, OpenWebsite},
    {ctl::kInfoUpdateLink, ShowUpdateInfo},
    {ctl::kChooseSourceFolder, ChooseSourceFolder},
    {ctl::kChooseTargetFolder, ChooseTargetFolder},
    {ctl::kChooseSmallTemplate, ChooseSmallTemplate},
    {ctl::kChooseBigTemplate, ChooseBigTemplate},
    {ctl::kChooseControlSymbolFolder, ChooseControlTemplateFolder},
    {ctl::kChooseCssFile, ChooseCssFile},
    {ctl::kCreateWebsite, CreatePhotoWebsite},
    {ctl::kQuit, QuitProgram},
};

template <std::size_t N>
Command Find(const Entry (&table)[N], int number) {
  const auto* found = std::find_if(std::begin(table), std::end(table),
                                   [number](const Entry& e) { return e.number == number; });
  return found == std::end(table) ? nullptr : found->command;
}

}  // namespace

void DispatchEvent(AppContext& app, const WindowEvent& event) {
  switch (event.kind) {
    case EventKind::kMenu:
      if (Command command = Find(kMenuTable, event.number)) command(app);
      break;
    case EventKind::kControl:
      if (Command command = Find(kControlTable, event.number)) {
        command(app);
      } else {
        RunControlRule(app.controls, event.number);
      }
      break;
    case EventKind::kClose:
      if (event.window == kInfoWindowNumber) {
        app.shell.CloseInfo();
      } else {
        // The close box ends the program without saving and without clearing TempFolder.
        app.shell.EndProgram();
      }
      break;
  }
}

}  // namespace albumora
