#include "platform/cache_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>

#include "platform/posix_handles.h"

namespace albumora {
namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace

std::string UserCacheFolder(std::string_view program) {
  std::string base = Environment("XDG_CACHE_HOME");
  if (base.empty() || base.front() != '/') {
    const std::string home = Environment("HOME");
    if (home.empty() || home.front() != '/') return {};
    base = WithSlash(home) + ".cache";
  }
  return WithSlash(WithSlash(base) + std::string(program));
}

bool CreateCacheFolder(std::string_view folder) {
  std::string path(folder);
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string part = path.substr(0, slash);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool ReadCacheFile(std::string_view path, std::uint64_t max_bytes, std::string* data) {
  data->clear();
  UniqueFd fd(::open(std::string(path).c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
  struct stat info;
  if (!fd.valid() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
      static_cast<std::uint64_t>(info.st_size) > max_bytes) {
    return false;
  }
  // Read in blocks up to one byte more than allowed: a file that grows meanwhile is refused,
  // not cut, and memory follows what is there rather than the bound.
  std::array<char, 1 << 16> block;
  for (;;) {
    const ssize_t got = ::read(fd.get(), block.data(), block.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return data->clear(), false;
    if (got == 0) return true;
    data->append(block.data(), static_cast<std::size_t>(got));
    if (data->size() > max_bytes) return data->clear(), false;
  }
}

bool WriteCacheFile(std::string_view path, std::string_view data) {
  std::string temp = std::string(path) + ".XXXXXX";
  UniqueFd fd(::mkostemp(temp.data(), O_CLOEXEC));
  if (!fd.valid()) return false;
  bool ok = WriteAll(fd.get(), data) && ::fsync(fd.get()) == 0;
  ok = fd.Close() && ok;
  ok = ok && ::rename(temp.c_str(), std::string(path).c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

}  // namespace albumora
