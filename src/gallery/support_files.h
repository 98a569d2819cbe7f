// The files a gallery needs besides photos and pages: navigation graphics, download script and
// style sheet. Copies replace what is there; a failed copy is not reported.
#ifndef ALBUMORA_GALLERY_SUPPORT_FILES_H_
#define ALBUMORA_GALLERY_SUPPORT_FILES_H_

#include <array>
#include <string>
#include <string_view>

#include "gallery/run_state.h"

namespace albumora {

// In the order they are copied; "zur\xFCck.gif" is "zurück.gif" in Windows-1252.
inline constexpr std::array<std::string_view, 5> kNavigationGraphics = {"anfang.gif", "ende.gif",
                                                                        "zur\xFC"
                                                                        "ck.gif",
                                                                        "vor.gif", "space.gif"};

// Where a navigation graphic is taken from: the control-symbol folder, or, when none is chosen,
// the files that come with the program.
std::string NavigationGraphicSource(const RunState& run, std::string_view name);

// Copies the five graphics into the gallery folder, once per run and control-symbol folder.
void CopyNavigationGraphics(RunState& run);
void CopyDownloadScript(const RunState& run);
// Copies the style sheet under its lower-cased file name, once per run and style sheet path.
void CopyStyleSheet(RunState& run);

}  // namespace albumora

#endif  // ALBUMORA_GALLERY_SUPPORT_FILES_H_
