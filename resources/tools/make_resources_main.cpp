// Makes the pictures that come with the program:
//   albumora-make-resources graphics FOLDER   leer.jpg and the five navigation graphics
//   albumora-make-resources photos FOLDER     the photos of the bundled example album
#include <cstdio>
#include <string>
#include <string_view>

#include "example_photos.h"
#include "navigation_graphics.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s graphics|photos FOLDER\n", argv[0]);
    return 2;
  }
  const std::string_view what = argv[1];
  std::string folder = argv[2];
  if (!folder.empty() && folder.back() != '/') folder += '/';
  bool ok = false;
  if (what == "graphics") {
    ok = albumora::WriteProgramGraphics(folder);
  } else if (what == "photos") {
    ok = albumora::WriteExamplePhotos(folder);
  } else {
    std::fprintf(stderr, "unknown kind: %s\n", argv[1]);
    return 2;
  }
  if (!ok) {
    std::fprintf(stderr, "cannot write the %s into %s\n", argv[1], folder.c_str());
    return 1;
  }
  return 0;
}
