// The table of contents over every gallery of a target folder: what the side program `Index`
// finds under target folder + "fotos/" and the page "Index.htm" it writes from it.
#ifndef ALBUMORA_TOOLS_INDEX_INDEX_PAGE_H_
#define ALBUMORA_TOOLS_INDEX_INDEX_PAGE_H_

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace albumora {

inline constexpr std::string_view kTableOfContentsFile = "Index.htm";
// The overview pages link "../../index.htm"; on a case-sensitive file system that is another file.
inline constexpr std::string_view kTableOfContentsLink = "index.htm";

struct GalleryEntry {
  std::string name;             // folder name under "fotos/" (Windows-1252)
  int photo_count = 0;          // photo pages bild_1.htm .. bild_n.htm (n as the navigation bar
                                // of bild_1.htm names it, when it has one), else thumbnails
  std::string first_thumbnail;  // file name inside "kl/" ("k_" + photo name); empty when none
  bool has_overview = false;    // "fotos_1.htm" exists, so the gallery can be linked
};

struct GalleryScan {
  std::vector<GalleryEntry> galleries;  // in SortKey order of their names
  std::vector<std::string> left_out;    // UTF-8 folder names with no Windows-1252 form
};

// Everything a gallery folder (ending with a separator) tells about itself. Reads only names and,
// to find the first photo, the first photo page or overview page.
GalleryEntry DescribeGallery(std::string_view gallery_folder, std::string name);

// The galleries under `target_folder` + "fotos/". `target_folder` ends with a separator or is
// empty (the current folder). A missing or unreadable folder gives no galleries.
GalleryScan FindGalleries(std::string_view target_folder);

// `text` (Windows-1252) for HTML text and attribute values: & < > " ' as entities, control
// characters as U+FFFD; every other byte stays, since the page itself is Windows-1252.
std::string HtmlEscape(std::string_view text);

// One path segment for an href: the UTF-8 form of `name` (Windows-1252) percent-encoded except
// for A-Z a-z 0-9 - . _ ~. Browsers resolve a path as UTF-8 whatever the page's code page is,
// and the file names on disk are UTF-8, so this is the spelling that finds the file.
std::string UrlEscape(std::string_view name);

// The page, line by line (Windows-1252, no line ends).
std::vector<std::string> TableOfContentsLines(const std::vector<GalleryEntry>& galleries,
                                              std::string_view generator_text);

// Writes the lines with CR LF as `target_folder` + "Index.htm" and, unless that is the same file
// (a file system that ignores case), again as "index.htm". Each file is replaced atomically, so
// a failure leaves the previous page. False with `error` (UTF-8, German) on failure.
bool WriteTableOfContents(std::string_view target_folder, const std::vector<std::string>& lines,
                          std::string* error);

// The whole program: reads the target folder from the settings file, writes the table of
// contents, reports in German on `out` and `err`. Returns the exit status (0 when written).
int RunIndex(std::string_view settings_file, std::ostream& out, std::ostream& err);

}  // namespace albumora

#endif  // ALBUMORA_TOOLS_INDEX_INDEX_PAGE_H_
