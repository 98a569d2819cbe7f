#include "index/index_page.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <system_error>
#include <utility>

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "settings/program_values.h"
#include "settings/settings.h"
#include "ui/control_ids.h"
#include "ui/memory_controls.h"

namespace albumora {
namespace {

namespace fs = std::filesystem;

// Pages larger than this are not searched for the first photo; a photo page is a few kilobytes.
constexpr std::uint64_t kMaxPageBytes = std::uint64_t{4} << 20;
// Bounds the file look-ups one hostile page can cause.
constexpr int kMaxNameProbes = 256;
// A file name has at most 255 bytes, "k_" included; longer candidates are not looked up.
constexpr std::size_t kMaxPhotoNameBytes = 253;

struct Listing {
  std::vector<std::string> folders;   // Windows-1252 names, unsorted
  std::vector<std::string> files;     // regular files (links followed)
  std::vector<std::string> left_out;  // UTF-8 folder names with no Windows-1252 form
};

// One pass over a folder. Errors (a missing or unreadable folder, an entry that vanishes while
// it is listed) end or skip quietly: whatever could be read is used.
Listing ListFolder(std::string_view folder) {
  Listing listing;
  std::error_code ec;
  const std::string native = folder.empty() ? std::string(".") : NativePath(folder);
  fs::directory_iterator it(native, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const std::string raw = it->path().filename().string();
    std::error_code type_ec;
    const bool is_folder = it->is_directory(type_ec);
    const bool is_file = !is_folder && it->is_regular_file(type_ec);
    if (!is_folder && !is_file) continue;
    std::optional<std::string> name = FromUtf8(raw);
    if (!name) {
      if (is_folder) listing.left_out.push_back(raw);
      continue;
    }
    (is_folder ? listing.folders : listing.files).push_back(std::move(*name));
  }
  return listing;
}

bool SortKeyLess(const std::string& a, const std::string& b) {
  const std::string key_a = SortKey(a);
  const std::string key_b = SortKey(b);
  return key_a != key_b ? key_a < key_b : a < b;
}

// The number in "bild_" + number + ".htm" as the page writer spells it (decimal, no leading
// zero), or 0.
long PhotoPageNumber(std::string_view name) {
  constexpr std::string_view kPrefix = "bild_";
  constexpr std::string_view kSuffix = ".htm";
  if (!name.starts_with(kPrefix) || !name.ends_with(kSuffix)) return 0;
  const std::string_view digits =
      name.substr(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size());
  if (digits.empty() || digits.size() > 9 || digits[0] == '0') return 0;
  long number = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return 0;
    number = number * 10 + (c - '0');
  }
  return number;
}

// Photo pages 1, 2, ... without a gap. Pages after a gap are left from an earlier, larger run.
int CountPhotoPages(const std::vector<std::string>& files) {
  std::vector<bool> present(files.size() + 1, false);
  for (const std::string& name : files) {
    const long number = PhotoPageNumber(name);
    if (number > 0 && static_cast<std::size_t>(number) < present.size()) present[number] = true;
  }
  int count = 0;
  while (static_cast<std::size_t>(count) + 1 < present.size() && present[count + 1]) ++count;
  return count;
}

bool IsThumbnailName(std::string_view name) {
  return name.size() > 6 && name.starts_with("k_") && name.ends_with(".jpg");
}

// The next position at or after `from` where `word` begins, found again only once `from` has
// passed the last one found: the search moves through the page once, however many markers a
// hostile page holds.
class Finder {
 public:
  Finder(std::string_view text, std::string_view word) : text_(text), word_(word) {}
  std::size_t NextAt(std::size_t from) {
    if (!searched_ || (at_ != std::string_view::npos && at_ < from)) {
      at_ = text_.find(word_, from);
      searched_ = true;
    }
    return at_;
  }

 private:
  std::string_view text_;
  std::string_view word_;
  std::size_t at_ = 0;
  bool searched_ = false;
};

// A page of the gallery, or empty text when it cannot be read or is too large.
std::string ReadPage(std::string_view gallery_folder, std::string_view page_name) {
  std::string page;
  if (!ReadWholeFile(std::string(gallery_folder) + std::string(page_name), &page, kMaxPageBytes)) {
    page.clear();
  }
  return page;
}

// The number of the last photo as the navigation bar of a photo page names it (its text link
// "Letztes Foto" or its graphic "ende.gif"), or 0 when the page has no such bar.
long LastPhotoNamedIn(std::string_view page) {
  constexpr std::string_view kLinkStart = "<a href=\"";
  constexpr std::string_view kLastPhotoLinkEnds[] = {"\">Letztes Foto </a>",
                                                     "\"><img border=\"0\" src=\"ende.gif\""};
  for (std::string_view link_end : kLastPhotoLinkEnds) {
    const std::size_t end = page.find(link_end);
    if (end == std::string_view::npos) continue;
    const std::size_t start = page.rfind(kLinkStart, end);
    if (start == std::string_view::npos) continue;
    const std::size_t target = start + kLinkStart.size();
    const long number = PhotoPageNumber(page.substr(target, end - target));
    if (number > 0) return number;
  }
  return 0;
}

// The photo name that follows the first "kl/k_" or "gr/g_" in `text` whose thumbnail exists in
// the gallery. A name may hold quotes or blanks, so instead of guessing where the attribute ends,
// every ".jpg" up to the end of the line is tried, shortest first.
std::string FirstPhotoIn(std::string_view gallery_folder, std::string_view text) {
  constexpr std::size_t kMarkerSize = 5;
  Finder thumbnail(text, "kl/k_");
  Finder big_picture(text, "gr/g_");
  Finder cr(text, "\r");
  Finder lf(text, "\n");
  Finder nul(text, std::string_view("\0", 1));
  Finder jpg(text, ".jpg");
  int probes = 0;
  std::size_t from = 0;
  while (probes < kMaxNameProbes) {
    const std::size_t hit = std::min(thumbnail.NextAt(from), big_picture.NextAt(from));
    if (hit == std::string_view::npos) break;
    const std::size_t start = hit + kMarkerSize;
    // The text up to the end of the line that the marker is on.
    const std::string_view line = text.substr(
        0, std::min({cr.NextAt(start), lf.NextAt(start), nul.NextAt(start), text.size()}));
    for (std::size_t dot = jpg.NextAt(start);
         dot != std::string_view::npos && dot + 4 <= line.size() &&
         dot + 4 - start <= kMaxPhotoNameBytes && probes < kMaxNameProbes;
         dot = line.find(".jpg", dot + 1)) {
      ++probes;
      const std::string name(text.substr(start, dot + 4 - start));
      if (name.size() > 4 &&
          IsRegularFile(std::string(gallery_folder) + "kl" + kPathSeparator + "k_" + name)) {
        return name;
      }
    }
    from = start;
  }
  return {};
}

std::string CountText(int count, std::string_view one, std::string_view many) {
  return count == 1 ? "1 " + std::string(one) : Decimal(count) + " " + std::string(many);
}

// A compact style of its own, so that the page needs no style sheet beside it; colours, corners
// and shadows follow the default templates, light and dark. A card clips nothing, so that the
// focus ring of its link shows whole; the picture rounds its own corners.
constexpr const char* kStyleLines[] = {
    ":root{--hintergrund:#f5f4f0;--flaeche:#fff;--text:#23262b;--leise:#6b7078;"
    "--akzent:#2b6a8e;--rund:10px;--schatten:0 1px 2px rgb(0 0 0/.06),0 4px 14px rgb(0 0 0/.08);"
    "color-scheme:light dark}",
    "@media (prefers-color-scheme:dark){:root{--hintergrund:#16181b;--flaeche:#212429;"
    "--text:#e7e8ea;--leise:#9a9fa7;--akzent:#7fb8d8}}",
    "*{box-sizing:border-box}",
    "body{margin:0;padding:0 clamp(.75rem,3vw,2rem) 1.5rem;background:var(--hintergrund);"
    "color:var(--text);font:1rem/1.55 system-ui,-apple-system,\"Segoe UI\",Roboto,"
    "\"Helvetica Neue\",Arial,sans-serif}",
    "header,main,footer{max-width:72rem;margin:0 auto}",
    "header{padding:clamp(1.25rem,4vw,2.5rem) 0 clamp(1rem,3vw,1.75rem);text-align:center}",
    "h1{margin:0;font-size:clamp(1.6rem,1.2rem + 2.2vw,2.6rem);font-weight:650;line-height:1.2}",
    "header p{margin:.4rem 0 0;color:var(--leise);font-size:.9rem}",
    ".galerien{list-style:none;margin:0;padding:0;display:grid;gap:clamp(.6rem,2vw,1.25rem);"
    "grid-template-columns:repeat(auto-fill,minmax(min(15rem,100%),1fr))}",
    ".galerie{border-radius:var(--rund);background:var(--flaeche);box-shadow:var(--schatten)}",
    ".galerie a{display:block;border-radius:var(--rund);color:inherit;text-decoration:none}",
    "a:focus-visible{outline:3px solid var(--akzent);outline-offset:2px}",
    ".galerie a:hover .name,.galerie a:focus-visible .name{color:var(--akzent)}",
    ".bild{display:block;width:100%;aspect-ratio:3/2;object-fit:cover;background:#dcdad3;"
    "border-radius:var(--rund) var(--rund) 0 0}",
    ".text{display:block;padding:.6rem .9rem .8rem}",
    ".name{display:block;font-weight:600;overflow-wrap:anywhere}",
    ".anzahl{display:block;color:var(--leise);font-size:.9rem}",
    ".leer{margin:0;padding:1.5rem;border-radius:var(--rund);background:var(--flaeche);"
    "box-shadow:var(--schatten);text-align:center}",
    "footer{padding-top:1.5rem;color:var(--leise);font-size:.8rem;text-align:center}",
};

void AppendGalleryLines(const GalleryEntry& gallery, std::vector<std::string>* lines) {
  const std::string folder = "fotos/" + UrlEscape(gallery.name) + "/";
  const std::string name = HtmlEscape(gallery.name);
  const std::string count =
      gallery.photo_count == 0 ? "keine Fotos" : CountText(gallery.photo_count, "Foto", "Fotos");
  const bool linked = gallery.has_overview && gallery.photo_count > 0;

  lines->push_back("<li class=\"galerie\">");
  if (linked) lines->push_back("<a href=\"" + folder + "fotos_1.htm\">");
  if (gallery.first_thumbnail.empty()) {
    lines->push_back("<span class=\"bild\"></span>");
  } else {
    lines->push_back("<img class=\"bild\" src=\"" + folder + "kl/" +
                     UrlEscape(gallery.first_thumbnail) + "\" alt=\"" + name + "\">");
  }
  lines->push_back("<span class=\"text\"><span class=\"name\">" + name +
                   "</span><span class=\"anzahl\">" + count + "</span></span>");
  if (linked) lines->push_back("</a>");
  lines->push_back("</li>");
}

// A listed name for a message: control characters would garble the terminal.
std::string Printable(std::string name) {
  for (char& c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  }
  return name;
}

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  const bool same = fs::equivalent(NativePath(a), NativePath(b), ec);
  return !ec && same;
}

}  // namespace

GalleryEntry DescribeGallery(std::string_view gallery_folder, std::string name) {
  GalleryEntry entry;
  entry.name = std::move(name);
  const std::string folder(gallery_folder);
  const Listing pages = ListFolder(folder);
  std::vector<std::string> thumbnails = ListFolder(folder + "kl" + kPathSeparator).files;
  std::erase_if(thumbnails, [](const std::string& n) { return !IsThumbnailName(n); });
  std::sort(thumbnails.begin(), thumbnails.end(), SortKeyLess);

  entry.photo_count = CountPhotoPages(pages.files);
  // A run with fewer photos than an earlier one leaves the earlier pages after its own; the
  // navigation bar of a photo page, when the pages have one, names the last photo of its run.
  const std::string first_page = entry.photo_count > 0 ? ReadPage(folder, "bild_1.htm") : "";
  const long last_photo = LastPhotoNamedIn(first_page);
  if (last_photo > 0 && last_photo < entry.photo_count) {
    entry.photo_count = static_cast<int>(last_photo);
  }
  if (entry.photo_count == 0) entry.photo_count = static_cast<int>(thumbnails.size());
  entry.has_overview =
      std::find(pages.files.begin(), pages.files.end(), "fotos_1.htm") != pages.files.end();
  if (entry.photo_count == 0) return entry;

  // Thumbnails sort like the photos were scanned, but thumbnails of photos removed since an
  // earlier run would come first as well; the first photo page names the current first photo.
  std::string first = FirstPhotoIn(folder, first_page);
  if (first.empty() && entry.has_overview)
    first = FirstPhotoIn(folder, ReadPage(folder, "fotos_1.htm"));
  if (!first.empty()) {
    entry.first_thumbnail = "k_" + first;
  } else if (!thumbnails.empty()) {
    entry.first_thumbnail = thumbnails.front();
  }
  return entry;
}

GalleryScan FindGalleries(std::string_view target_folder) {
  GalleryScan scan;
  const std::string fotos = std::string(target_folder) + "fotos" + kPathSeparator;
  Listing listing = ListFolder(fotos);
  scan.left_out = std::move(listing.left_out);
  std::vector<std::string>& names = listing.folders;
  std::erase_if(names, [](const std::string& n) { return n.starts_with('.'); });
  std::sort(names.begin(), names.end(), SortKeyLess);
  for (std::string& name : names) {
    const std::string folder = fotos + name + kPathSeparator;
    scan.galleries.push_back(DescribeGallery(folder, std::move(name)));
  }
  return scan;
}

std::string HtmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        if (byte < 0x20 || byte == 0x7F) {
          out += "&#xFFFD;";
        } else {
          out += c;
        }
    }
  }
  return out;
}

std::string UrlEscape(std::string_view name) {
  constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : ToUtf8(name)) {
    const auto byte = static_cast<unsigned char>(c);
    const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                            (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~';
    if (unreserved) {
      out += c;
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    }
  }
  return out;
}

std::vector<std::string> TableOfContentsLines(const std::vector<GalleryEntry>& galleries,
                                              std::string_view generator_text) {
  std::vector<std::string> lines = {
      "<!DOCTYPE html>",
      "<html lang=\"de\">",
      "<head>",
      "<meta charset=\"windows-1252\">",
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">",
      "<meta name=\"generator\" content=\"" + HtmlEscape(generator_text) + "\">",
      "<title>Inhaltsverzeichnis</title>",
      "<style>",
  };
  lines.insert(lines.end(), std::begin(kStyleLines), std::end(kStyleLines));
  lines.insert(lines.end(),
               {"</style>", "</head>", "<body>", "<header>", "<h1>Inhaltsverzeichnis</h1>"});
  const int count = static_cast<int>(galleries.size());
  if (galleries.empty()) {
    lines.insert(lines.end(), {"</header>", "<main>",
                               "<p class=\"leer\">" +
                                   Cp1252("Hier gibt es noch keine "
                                          "Galerien. Erstelle mit "
                                          "Albumora eine Fotowebseite "
                                          "und danach das "
                                          "Inhaltsverzeichnis.") +
                                   "</p>",
                               "</main>"});
  } else {
    lines.push_back("<p>" + CountText(count, "Galerie", "Galerien") + "</p>");
    lines.insert(lines.end(), {"</header>", "<main>", "<ul class=\"galerien\">"});
    for (const GalleryEntry& gallery : galleries) AppendGalleryLines(gallery, &lines);
    lines.insert(lines.end(), {"</ul>", "</main>"});
  }
  lines.insert(lines.end(), {"<footer>Erstellt mit " + HtmlEscape(generator_text) + "</footer>",
                             "</body>", "</html>"});
  return lines;
}

bool WriteTableOfContents(std::string_view target_folder, const std::vector<std::string>& lines,
                          std::string* error) {
  std::string page;
  for (const std::string& line : lines) {
    page += line;
    page += "\r\n";
  }
  const std::string folder(target_folder);
  const std::string main_page = folder + std::string(kTableOfContentsFile);
  const std::string link_page = folder + std::string(kTableOfContentsLink);
  for (const std::string& path : {main_page, link_page}) {
    if (path == link_page && SameFile(main_page, link_page)) break;
    if (!ReplaceFileAtomically(path, page)) {
      *error = "Das Inhaltsverzeichnis \"" + ToUtf8(path) + "\" konnte nicht geschrieben werden.";
      return false;
    }
  }
  return true;
}

int RunIndex(std::string_view settings_file, std::ostream& out, std::ostream& err) {
  if (!IsRegularFile(settings_file)) {
    err << "Index: Die Einstellungsdatei \"" << ToUtf8(settings_file)
        << "\" fehlt im aktuellen Verzeichnis. Bitte erstelle zuerst mit Albumora eine "
           "Fotowebseite und starte Index im selben Verzeichnis wie Albumora.\n";
    return 1;
  }
  MemoryControls controls;
  LoadSettings(controls, settings_file);
  const std::string target = controls.GetControlText(ctl::kTargetFolder);
  const std::string folder = WithTrailingSeparator(target);
  if (!folder.empty() && !IsFolder(folder)) {
    err << "Index: Das Zielverzeichnis \"" << ToUtf8(target)
        << "\" gibt es nicht. Bitte erstelle zuerst eine Fotowebseite.\n";
    return 1;
  }

  const GalleryScan scan = FindGalleries(folder);
  for (const std::string& name : scan.left_out) {
    err << "Index: Der Ordner \"" << Printable(name)
        << "\" wurde übergangen: der Name lässt sich nicht in Windows-1252 darstellen.\n";
  }
  const ProgramValues values = MakeProgramValues(TodayLocal(), "");
  std::string error;
  if (!WriteTableOfContents(folder, TableOfContentsLines(scan.galleries, values.generator_text),
                            &error)) {
    err << "Index: " << error << '\n';
    return 1;
  }
  out << "Inhaltsverzeichnis geschrieben: " << ToUtf8(folder + std::string(kTableOfContentsFile))
      << " (" << CountText(static_cast<int>(scan.galleries.size()), "Galerie", "Galerien") << ")\n";
  return 0;
}

}  // namespace albumora
