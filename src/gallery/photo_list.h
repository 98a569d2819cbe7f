// The numbered list of the photos of one source folder, and the scan that builds it.
#ifndef ALBUMORA_GALLERY_PHOTO_LIST_H_
#define ALBUMORA_GALLERY_PHOTO_LIST_H_

#include <string>
#include <string_view>
#include <vector>

namespace albumora {

// One photo as the templates and page writers see it. Every field is Windows-1252 text.
struct PhotoEntry {
  std::string nummer;  // "3"
  std::string name;    // "img_0815.jpg", the listed name lower-cased
  // The three links to the pictures carry the name with '#' and '%' escaped, the download link
  // also '&' and '+'; every other byte as it is.
  std::string kl_bild;        // "kl/k_img_0815.jpg"
  std::string gr_bild;        // "gr/g_img_0815.jpg"
  std::string link_vorschau;  // "bild_3.htm"
  std::string download;       // "download.php?file=img_0815.jpg"
  std::string pixel;          // "1600*1200", set by the conversion
  std::string size;           // "717 KB", set by the conversion
  // The name as the folder listed it. The file system is case-sensitive, so the source is read
  // under this name while everything written uses `name`.
  std::string listed_name;
};

// The entry of photo `number` for the file `listed_name`, with the fields the scan sets.
PhotoEntry MakePhotoEntry(int number, std::string_view listed_name);

// Photos at places 1..count(). Place 0 and every place above count() read as an empty entry,
// so templates may ask for any place.
class PhotoList {
 public:
  int count() const { return static_cast<int>(entries_.size()); }
  const PhotoEntry& Entry(int place) const;
  PhotoEntry& MutableEntry(int place);  // 1..count() only

  void Clear() { entries_.clear(); }
  void Add(std::string_view listed_name);

  // Drops the photos whose places are marked and numbers the rest 1..count() again, so the
  // numbers stay contiguous. `dropped` has count() + 1 elements (index 0 unused).
  void RemoveAndRenumber(const std::vector<bool>& dropped);

 private:
  std::vector<PhotoEntry> entries_;  // entries_[0] is place 1
};

// Why a listed file is not taken into the gallery.
enum class LeftOutReason {
  kNoWindows1252Form,   // the name has a character the pages cannot hold
  kForbiddenCharacter,  // < > : " | ? * \ or a control character
  kSameLowerCaseName,   // lower-cased it equals the name of an earlier photo
  kNameTooLong,         // with "g_" or "k_" in front, too long for the gallery's file system
};

struct LeftOutName {
  std::string name;  // Windows-1252; characters without a form there shown as '?'
  LeftOutReason reason;
};

struct PhotoScan {
  PhotoList photos;
  std::vector<LeftOutName> left_out;
};

// Lists the *.jpg files of `source_folder` (a folder text; empty is the current folder) in the
// order Windows lists a folder (so numbers do not depend on the file system). A folder that cannot
// be listed gives no photos. With a `gallery_folder`, names whose copies in its "gr" and "kl"
// folders would be too long for their file system are left out as well.
PhotoScan ScanPhotoFolder(std::string_view source_folder, std::string_view gallery_folder = {});

// Below 0x20 and DEL, and the five bytes Windows-1252 leaves unassigned, which stand for the C1
// control characters of the same number.
bool IsControlCharacter(char c);

// True for a name that a web page could not carry safely: one holding a character the original
// platform forbids in file names (< > : " | ? * \ and control characters).
bool HasForbiddenNameCharacter(std::string_view name);

}  // namespace albumora

#endif  // ALBUMORA_GALLERY_PHOTO_LIST_H_
