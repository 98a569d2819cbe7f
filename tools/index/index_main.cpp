// Index: writes the table of contents "Index.htm" over every gallery of the target folder that
// the settings file in the current folder names. Started by the main program without arguments.
#include <exception>
#include <iostream>

#include "index/index_page.h"
#include "settings/settings.h"

int main() {
  try {
    return albumora::RunIndex(albumora::kSettingsFileName, std::cout, std::cerr);
  } catch (const std::exception& e) {
    std::cerr << "Index: Unerwarteter Fehler: " << e.what() << '\n';
    return 1;
  }
}
