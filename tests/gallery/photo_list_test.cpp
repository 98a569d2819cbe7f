#include "gallery/photo_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gallery_test_support.h"
#include "platform/text.h"

namespace albumora {
namespace {

using testing::WorkFolderTest;
using testing::WriteFile;

std::vector<std::string> Names(const PhotoList& photos) {
  std::vector<std::string> names;
  for (int i = 1; i <= photos.count(); ++i) names.push_back(photos.Entry(i).name);
  return names;
}

TEST(PhotoEntryTest, FieldsOfAListedName) {
  const PhotoEntry entry = MakePhotoEntry(3, Cp1252("IMG_0815 Ä&ß.JPG"));
  EXPECT_EQ(entry.nummer, "3");
  EXPECT_EQ(entry.name, Cp1252("img_0815 ä&ß.jpg"));  // ß has no capital to move from
  EXPECT_EQ(entry.kl_bild, Cp1252("kl/k_img_0815 ä&ß.jpg"));
  EXPECT_EQ(entry.gr_bild, Cp1252("gr/g_img_0815 ä&ß.jpg"));
  EXPECT_EQ(entry.link_vorschau, "bild_3.htm");
  EXPECT_EQ(entry.download, Cp1252("download.php?file=img_0815 ä%26ß.jpg"));
  EXPECT_EQ(entry.listed_name, Cp1252("IMG_0815 Ä&ß.JPG"));
  EXPECT_TRUE(entry.pixel.empty());
  EXPECT_TRUE(entry.size.empty());
}

struct LinkCase {
  const char* listed;
  const char* picture;   // the small picture's link
  const char* download;  // the download link's value
};

class PhotoLinkTest : public ::testing::TestWithParam<LinkCase> {};

// Only the bytes a link gives a meaning to are escaped; '&' and '+' only in the query.
TEST_P(PhotoLinkTest, EscapesWhatWouldEndOrEscapeTheLink) {
  const PhotoEntry entry = MakePhotoEntry(1, GetParam().listed);
  EXPECT_EQ(entry.kl_bild, std::string("kl/k_") + GetParam().picture);
  EXPECT_EQ(entry.gr_bild, std::string("gr/g_") + GetParam().picture);
  EXPECT_EQ(entry.download, std::string("download.php?file=") + GetParam().download);
  EXPECT_EQ(entry.name, LowerCase(GetParam().listed));
}

INSTANTIATE_TEST_SUITE_P(
    Names, PhotoLinkTest,
    ::testing::Values(LinkCase{"Bild #3.jpg", "bild %233.jpg", "bild %233.jpg"},
                      LinkCase{"100% Sonne.jpg", "100%25 sonne.jpg", "100%25 sonne.jpg"},
                      LinkCase{"a&b+c.jpg", "a&b+c.jpg", "a%26b%2Bc.jpg"},
                      LinkCase{"%%##.jpg", "%25%25%23%23.jpg", "%25%25%23%23.jpg"},
                      LinkCase{"x=1;y'@!$,(~).jpg", "x=1;y'@!$,(~).jpg", "x=1;y'@!$,(~).jpg"},
                      LinkCase{"\xC4\xFF \x80.jpg", "\xE4\xFF \x80.jpg", "\xE4\xFF \x80.jpg"}));

TEST(PhotoListTest, PlacesOutsideThePhotosAreEmpty) {
  PhotoList photos;
  photos.Add("a.jpg");
  EXPECT_EQ(photos.Entry(1).name, "a.jpg");
  EXPECT_TRUE(photos.Entry(0).name.empty());
  EXPECT_TRUE(photos.Entry(2).link_vorschau.empty());
  EXPECT_TRUE(photos.Entry(-5).nummer.empty());
  EXPECT_TRUE(photos.Entry(1 << 30).nummer.empty());
}

TEST(PhotoListTest, RemovingKeepsNumbersContiguousAndMeasurements) {
  PhotoList photos;
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"}) photos.Add(name);
  photos.MutableEntry(3).pixel = "3*3";
  photos.MutableEntry(3).size = "3 KB";
  photos.RemoveAndRenumber({false, false, true, false, true});
  ASSERT_EQ(photos.count(), 2);
  EXPECT_EQ(photos.Entry(2).name, "c.jpg");
  EXPECT_EQ(photos.Entry(2).nummer, "2");
  EXPECT_EQ(photos.Entry(2).link_vorschau, "bild_2.htm");
  EXPECT_EQ(photos.Entry(2).pixel, "3*3");
  EXPECT_EQ(photos.Entry(2).size, "3 KB");
}

TEST(ForbiddenNameTest, CharactersThatWouldBreakAPage) {
  for (const char* bad :
       {"a<b.jpg", "a>b.jpg", "a:b.jpg", "a\"b.jpg", "a|b.jpg", "a?b.jpg", "a*b.jpg", "a\\b.jpg",
        "a\nb.jpg", "a\x1b[31m.jpg", "a\x7f.jpg", "a\x9d.jpg"}) {
    EXPECT_TRUE(HasForbiddenNameCharacter(bad)) << bad;
  }
  for (const char* good :
       {"a b.jpg", "a&b.jpg", "a'b.jpg", "a#b.jpg", "a%20.jpg", "\xe4\xdf.jpg", "a\x80.jpg"}) {
    EXPECT_FALSE(HasForbiddenNameCharacter(good)) << good;
  }
}

class ScanTest : public WorkFolderTest {};

TEST_F(ScanTest, ListsJpgInAnyCaseButNotJpeg) {
  for (const char* name : {"B.jpg", "a.JPG", "c.jpeg", "d.png", "e.Jpg"})
    WriteFile(Path(name), "x");
  const PhotoScan scan = ScanPhotoFolder(Path());
  EXPECT_EQ(Names(scan.photos), (std::vector<std::string>{"a.jpg", "b.jpg", "e.jpg"}));
  EXPECT_EQ(scan.photos.Entry(1).listed_name, "a.JPG");
  EXPECT_TRUE(scan.left_out.empty());
}

TEST_F(ScanTest, FolderTextWithoutSeparatorAndMissingFolder) {
  WriteFile(Path("Fotos/x.jpg"), "x");
  EXPECT_EQ(ScanPhotoFolder(Path("Fotos")).photos.count(), 1);
  EXPECT_EQ(ScanPhotoFolder(Path("Fehlt/")).photos.count(), 0);
}

TEST_F(ScanTest, EmptyFolderTextListsTheCurrentFolder) {
  WriteFile(Path("hier.jpg"), "x");
  EXPECT_EQ(Names(ScanPhotoFolder("").photos), std::vector<std::string>{"hier.jpg"});
}

TEST_F(ScanTest, LeavesOutNamesThePagesCannotCarry) {
  WriteFile(Path("gut.jpg"), "x");
  WriteFile(Path("b\xc5\x82\xc4\x85"
                 "d.jpg"),
            "x");  // Polish letters: no Windows-1252 form
  WriteFile(Path("frage?.jpg"), "x");
  WriteFile(Path("a\"onload=\"x.jpg"), "x");
  WriteFile(Path("Gut.JPG"), "x");  // same name as gut.jpg once lower-cased
  const PhotoScan scan = ScanPhotoFolder(Path());
  EXPECT_EQ(Names(scan.photos), std::vector<std::string>{"gut.jpg"});
  ASSERT_EQ(scan.left_out.size(), 4u);
  int no_form = 0, forbidden = 0, twins = 0;
  for (const LeftOutName& left : scan.left_out) {
    no_form += left.reason == LeftOutReason::kNoWindows1252Form;
    forbidden += left.reason == LeftOutReason::kForbiddenCharacter;
    twins += left.reason == LeftOutReason::kSameLowerCaseName;
  }
  EXPECT_EQ(no_form, 1);
  EXPECT_EQ(forbidden, 2);
  EXPECT_EQ(twins, 1);
}

}  // namespace
}  // namespace albumora
