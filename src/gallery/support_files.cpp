#include "gallery/support_files.h"

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "ui/control_ids.h"

namespace albumora {

std::string NavigationGraphicSource(const RunState& run, std::string_view name) {
  const std::string folder = run.Text(ctl::kControlSymbolFolder);
  if (folder.empty()) return ProgramFile(name);
  return WithTrailingSeparator(folder) + std::string(name);
}

void CopyNavigationGraphics(RunState& run) {
  const std::string folder = run.Text(ctl::kControlSymbolFolder);
  if (run.graphics_copied_from == folder + '|') return;
  run.graphics_copied_from = folder + '|';  // '|' cannot end a path: "" is a folder, too
  const std::string gallery = GalleryFolder(run);
  for (std::string_view name : kNavigationGraphics) {
    CopyFileReplacing(NavigationGraphicSource(run, name), gallery + std::string(name));
  }
}

void CopyDownloadScript(const RunState& run) {
  if (!run.Checked(ctl::kOriginalDownload)) return;
  CopyFileReplacing(ProgramFile("download.php"), GalleryFolder(run) + "download.php");
}

void CopyStyleSheet(RunState& run) {
  const std::string path = run.Text(ctl::kCssFile);
  if (run.style_sheet_copied_from == path + '|') return;
  run.style_sheet_copied_from = path + '|';
  const std::string name = LowerCase(FileNamePart(path));
  // An empty name would make the gallery folder itself the target.
  if (name.empty() || name == "." || name == "..") return;
  CopyFileReplacing(path, GalleryFolder(run) + name);
}

}  // namespace albumora
