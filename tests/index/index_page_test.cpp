#include "index/index_page.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/text.h"
#include "support/scratch_folder.h"

namespace albumora {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

// The paths below are UTF-8 as on disk.
using TempFolder = ScratchFolder;

void Put(const std::string& utf8_path, std::string_view content = "") {
  fs::create_directories(fs::path(utf8_path).parent_path());
  std::ofstream(utf8_path, std::ios::binary) << content;
}

std::string Slurp(const std::string& utf8_path) {
  std::ifstream in(utf8_path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// A gallery as the generation leaves it: photo pages, thumbnails, overview pages. `photos` are
// UTF-8 file names; bild_1.htm shows the first the way the default template does.
void PutGallery(const TempFolder& target, const std::string& gallery,
                const std::vector<std::string>& photos, int overview_pages = 1) {
  const std::string folder = target / ("fotos/" + gallery + "/");
  Put(folder + "kl/leer.jpg", "jpeg");
  fs::create_directories(folder + "gr");
  for (std::size_t i = 0; i < photos.size(); ++i) {
    Put(folder + "kl/k_" + photos[i], "jpeg");
    Put(folder + "gr/g_" + photos[i], "jpeg");
    Put(folder + "bild_" + std::to_string(i + 1) + ".htm",
        "<html>\r\n<img src=\"gr/g_" + *FromUtf8(photos[i]) + "\" alt=\"\">\r\n</html>\r\n");
  }
  for (int p = 1; p <= overview_pages && !photos.empty(); ++p) {
    Put(folder + "fotos_" + std::to_string(p) + ".htm", "<html></html>\r\n");
  }
}

void PutSettings(const std::string& path, std::string_view target_cp1252) {
  Put(path,
      "[FotosAllgemein]\r\n#FotosAllgemein_Quellverzeichnis_String = /x/\r\n"
      "#FotosAllgemein_Zielverzeichnis_String = " +
          std::string(target_cp1252) + "\r\n");
}

struct RunResult {
  int status;
  std::string out;
  std::string err;
};

RunResult RunWith(const std::string& settings) {
  std::ostringstream out;
  std::ostringstream err;
  const int status = RunIndex(settings, out, err);
  return {status, out.str(), err.str()};
}

// Runs Index on `target` and returns the page.
std::string MakePage(const TempFolder& target) {
  PutSettings(target / "Einstellung.alb", *FromUtf8(target.path()));
  const RunResult result = RunWith(target / "Einstellung.alb");
  EXPECT_EQ(result.status, 0) << result.err;
  return Slurp(target / "Index.htm");
}

// The part of the page between the card of `name` (its visible text) and the next card.
std::string Card(const std::string& page, const std::string& name_cp1252) {
  const std::size_t name_at = page.find("<span class=\"name\">" + name_cp1252 + "</span>");
  if (name_at == std::string::npos) return {};
  const std::size_t start = page.rfind("<li", name_at);
  return page.substr(start, page.find("</li>", name_at) - start);
}

TEST(IndexPageTest, ThreeGalleriesWithUmlautsBlanksAndNoPhotos) {
  TempFolder target;
  PutGallery(target, "urlaub", {"a.jpg", "b.jpg", "c.jpg"}, 2);
  PutGallery(target, "leer", {});
  PutGallery(target, "frühling am see", {"äpfel.jpg", "birne.jpg"});
  const std::string page = MakePage(target);

  // Sorted by name, each with its count, first thumbnail and first overview page.
  const std::size_t spring = page.find(Cp1252("frühling am see"));
  const std::size_t empty = page.find(">leer<");
  const std::size_t holiday = page.find(">urlaub<");
  ASSERT_NE(holiday, std::string::npos);
  EXPECT_LT(spring, empty);
  EXPECT_LT(empty, holiday);
  EXPECT_THAT(page, HasSubstr("<p>3 Galerien</p>"));

  const std::string spring_card = Card(page, Cp1252("frühling am see"));
  EXPECT_THAT(spring_card, HasSubstr("href=\"fotos/fr%C3%BChling%20am%20see/fotos_1.htm\""));
  EXPECT_THAT(spring_card, HasSubstr("src=\"fotos/fr%C3%BChling%20am%20see/kl/k_%C3%A4pfel.jpg\""));
  EXPECT_THAT(spring_card, HasSubstr(">2 Fotos<"));

  const std::string holiday_card = Card(page, "urlaub");
  EXPECT_THAT(holiday_card, HasSubstr("href=\"fotos/urlaub/fotos_1.htm\""));
  EXPECT_THAT(holiday_card, HasSubstr("src=\"fotos/urlaub/kl/k_a.jpg\""));
  EXPECT_THAT(holiday_card, HasSubstr(">3 Fotos<"));

  // A gallery without photos has no overview page to lead to and no thumbnail to show.
  const std::string empty_card = Card(page, "leer");
  EXPECT_THAT(empty_card, HasSubstr(">keine Fotos<"));
  EXPECT_THAT(empty_card, Not(HasSubstr("href=")));
  EXPECT_THAT(empty_card, Not(HasSubstr("<img")));
}

// A card that clips its content cuts off the keyboard focus ring of its link.
TEST(IndexPageTest, TheFocusRingOfALinkIsNotCutOff) {
  TempFolder target;
  PutGallery(target, "urlaub", {"a.jpg"});
  const std::string page = MakePage(target);
  EXPECT_THAT(page, HasSubstr("a:focus-visible{outline:3px solid"));
  const std::size_t card = page.find(".galerie{");
  ASSERT_NE(card, std::string::npos);
  EXPECT_THAT(page.substr(card, page.find('}', card) - card), Not(HasSubstr("overflow")));
}

TEST(IndexPageTest, PageIsWindows1252WithCrLfUnderBothNames) {
  TempFolder target;
  PutGallery(target, "über", {"ö.jpg"});
  const std::string page = MakePage(target);

  EXPECT_THAT(page, HasSubstr("<meta charset=\"windows-1252\">"));
  EXPECT_THAT(page, HasSubstr(">" + Cp1252("über") + "<"));
  EXPECT_EQ(page.find("\xC3"), std::string::npos) << "UTF-8 bytes in the page";
  std::size_t crlf = 0;
  for (std::size_t at = page.find("\r\n"); at != std::string::npos;
       at = page.find("\r\n", at + 2)) {
    ++crlf;
  }
  EXPECT_EQ(std::count(page.begin(), page.end(), '\n'), crlf);
  EXPECT_EQ(std::count(page.begin(), page.end(), '\r'), crlf);
  ASSERT_TRUE(page.ends_with("</html>\r\n"));

  // The overview pages link "../../index.htm", the main program opens "Index.htm".
  EXPECT_EQ(Slurp(target / "index.htm"), page);
  EXPECT_FALSE(fs::equivalent(target / "index.htm", target / "Index.htm"));
}

TEST(IndexPageTest, HostileNamesCannotBreakThePage) {
  TempFolder target;
  PutGallery(target, "a\"b<c&d'e>", {"x\" onerror=\"<&.jpg"});
  PutGallery(target, "zeile\numbruch", {"p.jpg"});
  PutGallery(target, "%41#?", {"q.jpg"});
  const std::string page = MakePage(target);

  const std::string card = Card(page, "a&quot;b&lt;c&amp;d&#39;e&gt;");
  ASSERT_FALSE(card.empty()) << page;
  EXPECT_THAT(card, HasSubstr("href=\"fotos/a%22b%3Cc%26d%27e%3E/fotos_1.htm\""));
  EXPECT_THAT(card,
              HasSubstr("src=\"fotos/a%22b%3Cc%26d%27e%3E/kl/k_x%22%20onerror%3D%22%3C%26.jpg\""));
  EXPECT_THAT(page, Not(HasSubstr("<c&")));
  EXPECT_THAT(page, Not(HasSubstr("\" onerror")));

  EXPECT_THAT(Card(page, "zeile&#xFFFD;umbruch"), HasSubstr("href=\"fotos/zeile%0Aumbruch/"));
  // A percent sign in a name must not turn into an escape of its own.
  EXPECT_THAT(Card(page, "%41#?"), HasSubstr("href=\"fotos/%2541%23%3F/fotos_1.htm\""));
}

TEST(IndexPageTest, OddEntriesUnderFotosAreLeftOutWithoutHarm) {
  TempFolder target;
  PutGallery(target, "urlaub", {"a.jpg"});
  Put(target / "fotos/notiz.txt", "keine Galerie");
  fs::create_directories(target / "fotos/.versteckt");
  fs::create_symlink("schleife", target / "fotos/schleife");
  fs::create_directories(target / "fotos/\xFF\xFE");  // no Windows-1252 form
  PutSettings(target / "Einstellung.alb", *FromUtf8(target.path()));

  const RunResult result = RunWith(target / "Einstellung.alb");
  ASSERT_EQ(result.status, 0);
  EXPECT_THAT(result.err, HasSubstr("übergangen"));
  EXPECT_THAT(result.out, HasSubstr("(1 Galerie)"));
  const std::string page = Slurp(target / "Index.htm");
  EXPECT_THAT(page, HasSubstr("<p>1 Galerie</p>"));
  EXPECT_THAT(page, Not(HasSubstr("notiz")));
  EXPECT_THAT(page, Not(HasSubstr("versteckt")));
  EXPECT_THAT(page, Not(HasSubstr("schleife")));
}

TEST(IndexPageTest, TargetWithoutGalleriesSaysSo) {
  for (bool with_fotos_folder : {false, true}) {
    TempFolder target;
    if (with_fotos_folder) Put(target / "fotos/readme.txt");
    const std::string page = MakePage(target);
    EXPECT_THAT(page, HasSubstr("noch keine Galerien")) << with_fotos_folder;
    EXPECT_THAT(page, Not(HasSubstr("<ul")));
    EXPECT_EQ(Slurp(target / "index.htm"), page);
  }
}

TEST(IndexPageTest, ANewRunReplacesTheOldPage) {
  TempFolder target;
  PutGallery(target, "erste", {"a.jpg"});
  EXPECT_THAT(MakePage(target), Not(HasSubstr("zweite")));
  PutGallery(target, "zweite", {"b.jpg"});
  const std::string page = MakePage(target);
  EXPECT_THAT(page, HasSubstr(">zweite<"));
  EXPECT_EQ(Slurp(target / "index.htm"), page);
}

TEST(IndexPageTest, FailuresAreReportedAndWriteNothing) {
  TempFolder folder;
  RunResult result = RunWith(folder / "Einstellung.alb");
  EXPECT_NE(result.status, 0);
  EXPECT_THAT(result.err, HasSubstr("Einstellung.alb"));

  PutSettings(folder / "Einstellung.alb", *FromUtf8(folder / "gibt-es-nicht/"));
  result = RunWith(folder / "Einstellung.alb");
  EXPECT_NE(result.status, 0);
  EXPECT_THAT(result.err, HasSubstr("gibt es nicht"));
  EXPECT_FALSE(fs::exists(folder / "Index.htm"));

  // A folder where the second page should go: the first is written, the failure reported.
  fs::create_directories(folder / "index.htm");
  PutSettings(
      folder / "Einstellung.alb",
      *FromUtf8(folder.path().substr(0, folder.path().size() - 1)));  // no trailing separator
  result = RunWith(folder / "Einstellung.alb");
  EXPECT_NE(result.status, 0);
  EXPECT_THAT(result.err, HasSubstr("konnte nicht geschrieben werden"));
  EXPECT_TRUE(fs::is_regular_file(folder / "Index.htm"));
}

// What one gallery folder tells: photo count and first thumbnail.
struct GalleryCase {
  const char* name;
  std::vector<std::pair<std::string, std::string>> files;  // UTF-8 path in the gallery, content
  int photo_count;
  std::string first_thumbnail;  // Windows-1252
  bool has_overview;
};

void PrintTo(const GalleryCase& gallery, std::ostream* os) { *os << gallery.name; }

class DescribeGalleryTest : public ::testing::TestWithParam<GalleryCase> {};

TEST_P(DescribeGalleryTest, CountsAndFindsTheFirstPhoto) {
  TempFolder folder;
  for (const auto& [path, content] : GetParam().files) Put(folder / path, content);
  const GalleryEntry entry = DescribeGallery(*FromUtf8(folder.path()), "g");
  EXPECT_EQ(entry.photo_count, GetParam().photo_count);
  EXPECT_EQ(entry.first_thumbnail, GetParam().first_thumbnail);
  EXPECT_EQ(entry.has_overview, GetParam().has_overview);
}

const std::string kImg = "<img src=\"gr/g_";

INSTANTIATE_TEST_SUITE_P(
    Galleries, DescribeGalleryTest,
    ::testing::Values(
        // Pages after a gap are left from an earlier, larger run.
        GalleryCase{"PagesUpToTheFirstGap",
                    {{"bild_1.htm", kImg + "a.jpg\">"},
                     {"bild_2.htm", ""},
                     {"bild_4.htm", ""},
                     {"bild_01.htm", ""},
                     {"bild_x.htm", ""},
                     {"kl/k_a.jpg", ""},
                     {"fotos_1.htm", ""}},
                    2,
                    "k_a.jpg",
                    true},
        // A thumbnail of a photo since removed sorts first; the first photo page knows better.
        GalleryCase{"FirstPhotoFromItsPage",
                    {{"bild_1.htm", "<p>\r\n" + kImg + "b.jpg\" alt=\"b.jpg\">"},
                     {"kl/k_0alt.jpg", ""},
                     {"kl/k_b.jpg", ""},
                     {"fotos_1.htm", ""}},
                    1,
                    "k_b.jpg",
                    true},
        // Quotes and ".jpg" inside a name: every ".jpg" of the line is tried.
        GalleryCase{"NameWithQuoteAndInnerJpg",
                    {{"bild_1.htm", kImg + "v.jpg \".jpg\" width=\"1\">"},
                     {"kl/k_v.jpg \".jpg", ""},
                     {"fotos_1.htm", ""}},
                    1,
                    "k_v.jpg \".jpg",
                    true},
        // A page that names no photo: the overview page, then the sorted thumbnails.
        GalleryCase{"FromTheOverviewPage",
                    {{"bild_1.htm", "<p>kein Bild</p>"},
                     {"fotos_1.htm", "<img src=\"kl/leer.jpg\"><img src=\"kl/k_c.jpg\">"},
                     {"kl/k_a.jpg", ""},
                     {"kl/k_c.jpg", ""}},
                    1,
                    "k_c.jpg",
                    true},
        GalleryCase{"SortedThumbnailsWithoutPages",
                    {{"kl/k_Zebra.jpg", ""},
                     {"kl/k_apfel.jpg", ""},
                     {"kl/leer.jpg", ""},
                     {"kl/k_.jpg", ""},
                     {"kl/notiz.txt", ""}},
                    2,
                    "k_apfel.jpg",
                    false},
        // A second run with fewer photos: the pages after its last one are left from the first;
        // the navigation bar of the first photo page names the last photo of the newer run.
        GalleryCase{"TextNavigationNamesTheLastPhoto",
                    {{"bild_1.htm", kImg + "a.jpg\">\r\n<a href=\"bild_2.htm\">Letztes Foto </a>"},
                     {"bild_2.htm", ""},
                     {"bild_3.htm", ""},
                     {"bild_4.htm", ""},
                     {"kl/k_a.jpg", ""},
                     {"fotos_1.htm", ""}},
                    2,
                    "k_a.jpg",
                    true},
        GalleryCase{"GraphicNavigationNamesTheLastPhoto",
                    {{"bild_1.htm",
                      "<a href=\"bild_1.htm\"><img border=\"0\" src=\"ende.gif\" "
                      "width=\"20\" height=\"20\"></a>\r\n" +
                          kImg + "a.jpg\">"},
                     {"bild_2.htm", ""},
                     {"kl/k_a.jpg", ""},
                     {"fotos_1.htm", ""}},
                    1,
                    "k_a.jpg",
                    true},
        // The bar never raises the count above the pages there are.
        GalleryCase{"NavigationBeyondThePagesIsIgnored",
                    {{"bild_1.htm", kImg + "a.jpg\">\r\n<a href=\"bild_9.htm\">Letztes Foto </a>"},
                     {"bild_2.htm", ""},
                     {"kl/k_a.jpg", ""}},
                    2,
                    "k_a.jpg",
                    false},
        GalleryCase{"NoPhotos", {{"kl/leer.jpg", ""}}, 0, "", false},
        GalleryCase{"ThumbnailNamedOnTheFirstPageIsMissing",
                    {{"bild_1.htm", kImg + "weg.jpg\">"}, {"kl/k_da.jpg", ""}},
                    1,
                    "k_da.jpg",
                    false}),
    [](const ::testing::TestParamInfo<GalleryCase>& info) { return info.param.name; });

// Pages of up to 4 MB are searched; whatever they hold, the search stays linear.
TEST(DescribeGalleryHostileTest, PagesFullOfMarkersAreSearchedQuickly) {
  const std::size_t size = (std::size_t{4} << 20) - 16;
  auto repeated = [size](std::string_view piece) {
    std::string page;
    while (page.size() + piece.size() <= size) page += piece;
    return page;
  };
  const std::vector<std::pair<const char*, std::string>> pages = {
      {"markers without a name", repeated("kl/k_")},
      {"markers of both kinds", repeated("gr/g_kl/k_")},
      {"a name at the very end", repeated("kl/k_") + ".jpg"},
      {"names that do not exist", repeated("kl/k_x.jpg")},
      {"markers on many lines", repeated("kl/k_\r")},
  };
  for (const auto& [name, page] : pages) {
    TempFolder folder;
    Put(folder / "bild_1.htm", page);
    Put(folder / "fotos_1.htm", page);
    Put(folder / "kl/k_a.jpg");
    const auto start = std::chrono::steady_clock::now();
    const GalleryEntry entry = DescribeGallery(*FromUtf8(folder.path()), "g");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << name;
    EXPECT_EQ(entry.photo_count, 1) << name;
    EXPECT_EQ(entry.first_thumbnail, "k_a.jpg") << name;
  }
}

TEST(IndexEscapeTest, HtmlAndUrl) {
  EXPECT_EQ(HtmlEscape("Fr\xFChling & <Sommer> \"'"),
            "Fr\xFChling &amp; &lt;Sommer&gt; &quot;&#39;");
  EXPECT_EQ(HtmlEscape(std::string("a\tb\x7F\0c", 6)), "a&#xFFFD;b&#xFFFD;&#xFFFD;c");
  EXPECT_EQ(UrlEscape("Az09-._~"), "Az09-._~");
  EXPECT_EQ(UrlEscape("\xE4 \x80/%\\"), "%C3%A4%20%E2%82%AC%2F%25%5C");
}

}  // namespace
}  // namespace albumora
