// Owners of POSIX handles for the platform layer's own use.
#ifndef ALBUMORA_PLATFORM_POSIX_HANDLES_H_
#define ALBUMORA_PLATFORM_POSIX_HANDLES_H_

#include <dirent.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string_view>

namespace albumora {

// A file descriptor closed on destruction; Close() reports the result of close().
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
      Reset();
      fd_ = other.Release();
    }
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd() { Reset(); }

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  int Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }
  bool Close() { return valid() && ::close(Release()) == 0; }

 private:
  void Reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

  int fd_ = -1;
};

struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};
using UniqueDir = std::unique_ptr<DIR, DirCloser>;

// Writes all of `data` to `fd`, going on after interruptions. False when a write fails.
inline bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t written = ::write(fd, data.data(), data.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace albumora

#endif  // ALBUMORA_PLATFORM_POSIX_HANDLES_H_
