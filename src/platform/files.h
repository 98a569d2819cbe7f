// File and folder operations. Every path is a Windows-1252 text; it is converted to the file
// system's UTF-8 form here and nowhere else.
#ifndef ALBUMORA_PLATFORM_FILES_H_
#define ALBUMORA_PLATFORM_FILES_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace albumora {

// The UTF-8 path handed to the operating system.
std::string NativePath(std::string_view path);

bool IsRegularFile(std::string_view path);
bool IsFolder(std::string_view path);
std::optional<std::uint64_t> FileSize(std::string_view path);

// Reads a regular file whole. Fails (false) for anything that is not a regular file, and for
// files larger than `max_bytes`.
bool ReadWholeFile(std::string_view path, std::string* data,
                   std::uint64_t max_bytes = std::uint64_t{1} << 30);

// Reads a text file into lines (see SplitTextLines). False when it cannot be read.
bool ReadTextLines(std::string_view path, std::vector<std::string>* lines);

// Writes `data` to a temporary file in the same folder and renames it over `path`, so that a
// failure half-way leaves the old file intact. False (and the old file untouched) on failure.
// Where the folder refuses new files but the existing file may be written, the file is
// overwritten in place instead.
bool ReplaceFileAtomically(std::string_view path, std::string_view data);

// Creating an existing folder is no error (returns true).
bool CreateFolder(std::string_view path);
bool DeleteFile(std::string_view path);
bool RemoveFolder(std::string_view path);  // only an empty one

// Deletes every file directly inside `folder` (sub-folders are not entered; files that cannot
// be deleted stay), then removes the folder, which succeeds only when it is now empty. Nothing
// happens when the folder itself is a link, however the path is spelled, when a link of another
// user lies on the way, or when the path ends in "..".
void ClearFolder(std::string_view folder);

// Copies a file, replacing the target. False on failure (the target may then be missing).
bool CopyFileReplacing(std::string_view from, std::string_view to);

struct FolderListing {
  std::vector<std::string> names;            // Windows-1252 names, in listing order
  std::vector<std::string> unrepresentable;  // UTF-8 names with no Windows-1252 form
};

// The regular files of `folder` whose names end in ".jpg" (any letter case), sorted as the
// Windows lists an NTFS folder: ordinal on SortKey of the name. A missing folder lists
// nothing. `folder` ends with a separator or is empty (the current folder).
FolderListing ListJpegFiles(std::string_view folder);

// The longest file name, in bytes of its UTF-8 form, that the file system of `folder` takes. A
// folder that does not exist yet is measured at the nearest folder above it that does. SIZE_MAX
// when the file system names no limit.
std::size_t MaxNameBytes(std::string_view folder);

// The per-user temporary folder, ending with the separator: $XDG_RUNTIME_DIR when it is a private
// folder (owned by the user, mode 0700 or stricter, not a link), otherwise such a folder of the
// user's own in the system temporary folder. Empty when neither can be had.
std::string UserTempFolder();

// The folder "albumora-<uid>" inside the file-system folder `native_base` (UTF-8), created with
// mode 0700, as a Windows-1252 text ending with the separator. nullopt when it cannot be created,
// or when it is a link, belongs to someone else or is open to the group or others.
std::optional<std::string> PrivateTempFolderIn(std::string_view native_base);

struct LocalDate {
  int year = 0;
  int month = 0;
  int day = 0;
};
LocalDate TodayLocal();

}  // namespace albumora

#endif  // ALBUMORA_PLATFORM_FILES_H_
