#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "platform/posix_handles.h"
#include "platform/text.h"

namespace albumora {
namespace {

constexpr std::size_t kCopyChunk = 64 * 1024;

// Reads up to `size` bytes; fewer when the file ends early. False on a read error.
bool ReadUpTo(int fd, std::uint64_t size, std::string* data) {
  data->resize(static_cast<std::size_t>(size));
  std::size_t done = 0;
  while (done < data->size()) {
    const ssize_t got = ::read(fd, data->data() + done, data->size() - done);
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  data->resize(done);
  return true;
}

// Opens an existing regular file for reading. The open does not block on a FIFO or a device,
// and anything that is not a regular file is refused.
UniqueFd OpenRegularForReading(const std::string& native, struct stat* info) {
  UniqueFd fd(::open(native.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (!fd.valid() || ::fstat(fd.get(), info) != 0 || !S_ISREG(info->st_mode)) return UniqueFd();
  return fd;
}

// Whether we may replace the existing file: write permission as the kernel grants it, and, since
// root passes every permission check, at least one write bit, so that a file the user has made
// read-only is respected by every account.
bool MayReplace(const std::string& native, const struct stat& info) {
  if (::faccessat(AT_FDCWD, native.c_str(), W_OK, AT_EACCESS) != 0) return false;
  return ::geteuid() != 0 || (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

// A link is replaced at what it points to, so that the link stays a link.
std::string ResolveLink(const std::string& native) {
  struct stat info;
  if (::lstat(native.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return native;
  std::array<char, PATH_MAX> resolved;
  if (::realpath(native.c_str(), resolved.data()) == nullptr) return native;
  return resolved.data();
}

// Creates a new, empty file next to `target` under a name nobody else uses.
UniqueFd CreateTempBeside(const std::string& target, std::string* temp_name) {
  const std::size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(random()));
    *temp_name = folder + "." + base + suffix;
    UniqueFd fd(::open(temp_name->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (fd.valid() || errno != EEXIST) return fd;
  }
  return UniqueFd();
}

// Writes `data` over the existing regular file `target`, keeping its inode, owner and mode.
bool OverwriteInPlace(const std::string& target, std::string_view data) {
  UniqueFd fd(::open(target.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  struct stat info;
  if (!fd.valid() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  bool ok = ::ftruncate(fd.get(), 0) == 0 && WriteAll(fd.get(), data) && ::fsync(fd.get()) == 0;
  return fd.Close() && ok;
}

void SyncFolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.valid()) ::fsync(fd.get());
}

}  // namespace

std::string NativePath(std::string_view path) { return ToUtf8(path); }

bool IsRegularFile(std::string_view path) {
  struct stat info;
  return ::stat(NativePath(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsFolder(std::string_view path) {
  struct stat info;
  return ::stat(NativePath(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::optional<std::uint64_t> FileSize(std::string_view path) {
  struct stat info;
  if (::stat(NativePath(path).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return static_cast<std::uint64_t>(info.st_size);
}

bool ReadWholeFile(std::string_view path, std::string* data, std::uint64_t max_bytes) {
  data->clear();
  struct stat info;
  UniqueFd fd = OpenRegularForReading(NativePath(path), &info);
  if (!fd.valid()) return false;
  const auto size = static_cast<std::uint64_t>(info.st_size);
  if (size > max_bytes || size > data->max_size()) return false;
  if (ReadUpTo(fd.get(), size, data)) return true;
  data->clear();
  return false;
}

bool ReadTextLines(std::string_view path, std::vector<std::string>* lines) {
  lines->clear();
  std::string data;
  if (!ReadWholeFile(path, &data)) return false;
  *lines = SplitTextLines(data);
  return true;
}

bool ReplaceFileAtomically(std::string_view path, std::string_view data) {
  const std::string target = ResolveLink(NativePath(path));
  struct stat existing;
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (exists && (!S_ISREG(existing.st_mode) || !MayReplace(target, existing))) return false;

  std::string temp_name;
  UniqueFd fd = CreateTempBeside(target, &temp_name);
  if (!fd.valid()) {
    // A folder we may not write can still hold a file we may: then the file is overwritten in
    // place, as there is no other way to keep the data.
    const bool folder_refused = errno == EACCES || errno == EPERM;
    return exists && folder_refused && OverwriteInPlace(target, data);
  }
  bool ok = true;
  if (exists) {
    if (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid()) {
      // Only root can hand the file back to its owner; others keep it as their own.
      [[maybe_unused]] const int ignored = ::fchown(fd.get(), existing.st_uid, existing.st_gid);
    }
    ok = ::fchmod(fd.get(), existing.st_mode & 07777) == 0;
  }
  ok = ok && WriteAll(fd.get(), data) && ::fsync(fd.get()) == 0;
  ok = fd.Close() && ok;
  ok = ok && ::rename(temp_name.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(temp_name.c_str());
    return false;
  }
  SyncFolderOf(target);
  return true;
}

bool CreateFolder(std::string_view path) {
  if (::mkdir(NativePath(path).c_str(), 0777) == 0) return true;
  return errno == EEXIST && IsFolder(path);
}

bool DeleteFile(std::string_view path) { return ::unlink(NativePath(path).c_str()) == 0; }

bool RemoveFolder(std::string_view path) { return ::rmdir(NativePath(path).c_str()) == 0; }

bool CopyFileReplacing(std::string_view from, std::string_view to) {
  struct stat source_info;
  UniqueFd source = OpenRegularForReading(NativePath(from), &source_info);
  if (!source.valid()) return false;

  const std::string target = NativePath(to);
  struct stat target_info;
  if (::stat(target.c_str(), &target_info) == 0) {
    // Truncating the target would destroy the source when both are the same file.
    if (target_info.st_dev == source_info.st_dev && target_info.st_ino == source_info.st_ino) {
      return true;
    }
    if (!S_ISREG(target_info.st_mode)) return false;
  }
  UniqueFd sink(
      ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0666));
  if (!sink.valid()) return false;

  std::string chunk;
  bool ok = true;
  for (;;) {
    chunk.resize(kCopyChunk);
    ssize_t got;
    do {
      got = ::read(source.get(), chunk.data(), chunk.size());
    } while (got < 0 && errno == EINTR);
    if (got <= 0) {
      ok = got == 0;
      break;
    }
    chunk.resize(static_cast<std::size_t>(got));
    if (!WriteAll(sink.get(), chunk)) {
      ok = false;
      break;
    }
  }
  ok = sink.Close() && ok;
  if (!ok) ::unlink(target.c_str());
  return ok;
}

}  // namespace albumora
