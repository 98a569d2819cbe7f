#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/posix_handles.h"
#include "platform/text.h"

namespace albumora {
namespace {

bool HasJpgExtension(std::string_view name) {
  constexpr std::string_view kExtension = ".jpg";
  if (name.size() < kExtension.size()) return false;
  const std::string_view tail = name.substr(name.size() - kExtension.size());
  return std::equal(tail.begin(), tail.end(), kExtension.begin(), [](char a, char b) {
    return (a >= 'A' && a <= 'Z' ? a + ('a' - 'A') : a) == b;
  });
}

// Whether the entry is a regular file, following a symbolic link.
bool IsRegularEntry(int dir_fd, const dirent& entry) {
  if (entry.d_type == DT_REG) return true;
  if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) return false;
  struct stat info;
  return ::fstatat(dir_fd, entry.d_name, &info, 0) == 0 && S_ISREG(info.st_mode);
}

// Opens the folder `name` in `parent` for listing without following a link there.
UniqueDir OpenFolderNoFollow(int parent, const std::string& name) {
  const int fd = ::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return nullptr;
  UniqueDir dir(::fdopendir(fd));
  if (!dir) ::close(fd);
  return dir;
}

// Whether a folder may hold our first-stage pages and lock file: not a link, ours, and closed
// to everyone else. A folder others can enter lets them read or swap the pages, plant a link
// where the pages go, or block the start with a lock file of their own.
bool IsPrivateFolder(const std::string& native) {
  struct stat info;
  return ::lstat(native.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
         info.st_uid == ::geteuid() && (info.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

// The `$XDG_RUNTIME_DIR` folder when it is an absolute path to a private folder of ours.
std::optional<std::string> RuntimeFolder() {
  const char* value = std::getenv("XDG_RUNTIME_DIR");
  if (value == nullptr || value[0] != '/') return std::nullopt;
  std::string native(value);
  // Without its trailing separators, so that a link at the last name is seen, not followed.
  while (native.size() > 1 && native.back() == '/') native.pop_back();
  if (!IsPrivateFolder(native)) return std::nullopt;
  const std::optional<std::string> folder = FromUtf8(value);
  if (!folder) return std::nullopt;
  return WithTrailingSeparator(*folder);
}

// The names of a path, without empty and "." names. A trailing separator or "." adds none: the
// last name is then still the folder itself.
std::vector<std::string> PathNames(std::string_view path) {
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string_view::npos) end = path.size();
    const std::string_view name = path.substr(start, end - start);
    if (!name.empty() && name != ".") names.emplace_back(name);
    start = end + 1;
  }
  return names;
}

// Links the user made himself, and the system's own (such as /var/run), may lead the way; a
// link of another user may not, since it could point anywhere.
bool IsTrustedLink(const struct stat& info) {
  return info.st_uid == ::geteuid() || info.st_uid == 0;
}

// The longest chain of links the kernel itself would follow.
constexpr int kMaxLinks = 40;

bool WalkNames(UniqueFd& dir, const std::vector<std::string>& names, int& links_left);

// Follows the link `name` in `dir`; `dir` becomes the folder it leads to.
bool FollowLink(UniqueFd& dir, const std::string& name, int& links_left) {
  if (links_left-- <= 0) return false;
  std::vector<char> target(PATH_MAX);
  const ssize_t length = ::readlinkat(dir.get(), name.c_str(), target.data(), target.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) return false;
  const std::string_view text(target.data(), static_cast<std::size_t>(length));
  if (text.front() == '/') {
    dir = UniqueFd(::open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.valid()) return false;
  }
  return WalkNames(dir, PathNames(text), links_left);
}

// Steps from `dir` into its entry `name` ("." names are gone already; ".." is the real parent).
bool StepInto(UniqueFd& dir, const std::string& name, int& links_left) {
  struct stat info;
  if (name != ".." && ::fstatat(dir.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
      S_ISLNK(info.st_mode)) {
    return IsTrustedLink(info) && FollowLink(dir, name, links_left);
  }
  // O_NOFOLLOW: should the entry have become a link since it was looked at, the open fails.
  UniqueFd next(::openat(dir.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!next.valid()) return false;
  dir = std::move(next);
  return true;
}

bool WalkNames(UniqueFd& dir, const std::vector<std::string>& names, int& links_left) {
  for (const std::string& name : names) {
    if (!StepInto(dir, name, links_left)) return false;
  }
  return true;
}

}  // namespace

std::optional<std::string> PrivateTempFolderIn(std::string_view native_base) {
  if (native_base.empty()) return std::nullopt;
  std::string base(native_base);
  while (!base.empty() && base.back() == '/') base.pop_back();
  const std::string native = base + "/albumora-" + std::to_string(::geteuid());
  if (::mkdir(native.c_str(), 0700) != 0 && errno != EEXIST) return std::nullopt;
  if (!IsPrivateFolder(native)) return std::nullopt;
  const std::optional<std::string> folder = FromUtf8(native);
  if (!folder) return std::nullopt;
  return *folder + '/';
}

FolderListing ListJpegFiles(std::string_view folder) {
  FolderListing listing;
  const std::string native = folder.empty() ? std::string(".") : NativePath(folder);
  UniqueDir dir(::opendir(native.c_str()));
  if (!dir) return listing;
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string_view name = entry->d_name;
    if (!HasJpgExtension(name) || !IsRegularEntry(::dirfd(dir.get()), *entry)) continue;
    if (std::optional<std::string> cp1252 = FromUtf8(name)) {
      listing.names.push_back(std::move(*cp1252));
    } else {
      listing.unrepresentable.emplace_back(name);
    }
  }
  // The file system's own order is arbitrary; sort case-insensitively the way the original
  // platform lists a folder, with the raw bytes deciding between names of the same key.
  std::vector<std::pair<std::string, std::string>> keyed;
  keyed.reserve(listing.names.size());
  for (std::string& name : listing.names) keyed.emplace_back(SortKey(name), std::move(name));
  std::sort(keyed.begin(), keyed.end());
  listing.names.clear();
  for (auto& [key, name] : keyed) listing.names.push_back(std::move(name));
  std::sort(listing.unrepresentable.begin(), listing.unrepresentable.end());
  return listing;
}

// The path is walked one name at a time, never by the kernel: with a trailing separator the
// kernel follows a link at the last name even under O_NOFOLLOW, and a link to another folder
// would have that folder emptied.
void ClearFolder(std::string_view folder) {
  const std::string native = NativePath(folder);
  std::vector<std::string> names = PathNames(native);
  // Nothing to name the folder by, or a ".." that names some folder above: left alone.
  if (names.empty() || names.back() == "..") return;
  const std::string last = std::move(names.back());
  names.pop_back();
  UniqueFd parent(::open(IsAbsolutePath(folder) ? "/" : ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  int links_left = kMaxLinks;
  if (!parent.valid() || !WalkNames(parent, names, links_left)) return;
  {
    UniqueDir dir = OpenFolderNoFollow(parent.get(), last);
    if (!dir) return;
    std::vector<std::string> entries;
    while (const dirent* entry = ::readdir(dir.get())) {
      const std::string_view name = entry->d_name;
      if (name != "." && name != "..") entries.emplace_back(name);
    }
    // Sub-folders refuse a plain unlink and stay, as do files that cannot be deleted.
    for (const std::string& name : entries) ::unlinkat(::dirfd(dir.get()), name.c_str(), 0);
  }
  ::unlinkat(parent.get(), last.c_str(), AT_REMOVEDIR);
}

std::size_t MaxNameBytes(std::string_view folder) {
  std::string native = NativePath(folder);
  for (;;) {
    errno = 0;
    const long limit = ::pathconf(native.empty() ? "." : native.c_str(), _PC_NAME_MAX);
    if (limit > 0) return static_cast<std::size_t>(limit);
    if (errno == 0) return SIZE_MAX;  // no limit
    if (errno != ENOENT && errno != ENOTDIR) return SIZE_MAX;
    while (!native.empty() && native.back() == '/') native.pop_back();
    const std::size_t slash = native.rfind('/');
    if (native.empty()) return SIZE_MAX;
    native.erase(slash == std::string::npos ? 0 : slash + 1);
  }
}

std::string UserTempFolder() {
  if (std::optional<std::string> runtime = RuntimeFolder()) return *runtime;
  const char* tmpdir = std::getenv("TMPDIR");
  if (tmpdir != nullptr && tmpdir[0] == '/') {
    if (std::optional<std::string> own = PrivateTempFolderIn(tmpdir)) return *own;
  }
  return PrivateTempFolderIn("/tmp").value_or(std::string());
}

LocalDate TodayLocal() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (::localtime_r(&now, &local) == nullptr) return {};
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

}  // namespace albumora
