// The pictures that come with the program: the five navigation graphics of the photo pages and
// the picture of an empty overview cell.
#ifndef ALBUMORA_RESOURCES_TOOLS_NAVIGATION_GRAPHICS_H_
#define ALBUMORA_RESOURCES_TOOLS_NAVIGATION_GRAPHICS_H_

#include <string>

#include "gif_writer.h"

namespace albumora {

inline constexpr int kNavigationGraphicSize = 20;

enum class NavigationSymbol { kFirst, kPrevious, kNext, kLast };

// A rounded button in the accent colour of the default style sheet with a white arrow; the
// corners are transparent.
IndexedImage MakeNavigationButton(NavigationSymbol symbol);

// The gap between the buttons: fully transparent.
IndexedImage MakeBlankGraphic();

// Writes "leer.jpg" and the five graphics into `folder` (ending with '/'). The names are UTF-8 on
// disk ("zurück.gif"). False when a file cannot be written.
bool WriteProgramGraphics(const std::string& folder);

}  // namespace albumora

#endif  // ALBUMORA_RESOURCES_TOOLS_NAVIGATION_GRAPHICS_H_
