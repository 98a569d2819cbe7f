#include "platform/file_identity.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <xxhash.h>

#include <array>
#include <cerrno>
#include <memory>
#include <string>

#include "platform/files.h"
#include "platform/posix_handles.h"

namespace albumora {
namespace {

struct HashStateFree {
  void operator()(XXH3_state_t* state) const { XXH3_freeState(state); }
};
using HashState = std::unique_ptr<XXH3_state_t, HashStateFree>;

std::int64_t Nanoseconds(const struct timespec& time) {
  return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

std::optional<FileSignature> SignatureFromStat(int result, const struct stat& info) {
  if (result != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return FileSignature{static_cast<std::uint64_t>(info.st_size), Nanoseconds(info.st_mtim),
                       Nanoseconds(info.st_ctim), static_cast<std::uint64_t>(info.st_ino),
                       static_cast<std::uint64_t>(info.st_dev)};
}

}  // namespace

std::optional<FileSignature> SignatureOf(std::string_view path) {
  struct stat info;
  const int result = ::stat(NativePath(path).c_str(), &info);
  return SignatureFromStat(result, info);
}

std::optional<FileSignature> OwnFileSignatureOf(std::string_view path) {
  struct stat info;
  const int result = ::lstat(NativePath(path).c_str(), &info);
  return SignatureFromStat(result, info);
}

std::optional<std::uint64_t> ContentHashOf(std::string_view path) {
  UniqueFd fd(::open(NativePath(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  struct stat info;
  if (!fd.valid() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  HashState state(XXH3_createState());
  if (state == nullptr || XXH3_64bits_reset(state.get()) == XXH_ERROR) return std::nullopt;
  std::array<char, 1 << 16> block;
  for (;;) {
    const ssize_t got = ::read(fd.get(), block.data(), block.size());
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    XXH3_64bits_update(state.get(), block.data(), static_cast<std::size_t>(got));
  }
  return XXH3_64bits_digest(state.get());
}

std::uint64_t HashOfBytes(std::string_view bytes) {
  return XXH3_64bits(bytes.data(), bytes.size());
}

}  // namespace albumora
