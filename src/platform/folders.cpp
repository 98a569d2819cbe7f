#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <utility>

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

// Opens a folder for listing without following a link at its last step.
UniqueDir OpenFolderNoFollow(const std::string& native) {
  const int fd = ::open(native.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return nullptr;
  UniqueDir dir(::fdopendir(fd));
  if (!dir) ::close(fd);
  return dir;
}

// The `$XDG_RUNTIME_DIR` folder when it is an absolute path to a folder of ours.
std::optional<std::string> RuntimeFolder() {
  const char* value = std::getenv("XDG_RUNTIME_DIR");
  if (value == nullptr || value[0] != '/') return std::nullopt;
  struct stat info;
  if (::stat(value, &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid()) {
    return std::nullopt;
  }
  const std::optional<std::string> folder = FromUtf8(value);
  if (!folder) return std::nullopt;
  return WithTrailingSeparator(*folder);
}

}  // namespace

// Refused when it is a link, belongs to someone else or can be reached by others: pages written
// there could then be read or planted by another user.
std::optional<std::string> PrivateTempFolderIn(std::string_view native_base) {
  if (native_base.empty()) return std::nullopt;
  std::string base(native_base);
  while (!base.empty() && base.back() == '/') base.pop_back();
  const std::string native = base + "/albumora-" + std::to_string(::geteuid());
  if (::mkdir(native.c_str(), 0700) != 0 && errno != EEXIST) return std::nullopt;
  struct stat info;
  if (::lstat(native.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid() ||
      (info.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
    return std::nullopt;
  }
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

void ClearFolder(std::string_view folder) {
  const std::string native = NativePath(folder);
  {
    UniqueDir dir = OpenFolderNoFollow(native);
    if (!dir) return;
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir.get())) {
      const std::string_view name = entry->d_name;
      if (name != "." && name != "..") names.emplace_back(name);
    }
    // Sub-folders refuse a plain unlink and stay, as do files that cannot be deleted.
    for (const std::string& name : names) ::unlinkat(::dirfd(dir.get()), name.c_str(), 0);
  }
  ::rmdir(native.c_str());
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
