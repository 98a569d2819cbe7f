// What tells whether a file is still the one seen before: its stat signature and a content hash.
#ifndef ALBUMORA_PLATFORM_FILE_IDENTITY_H_
#define ALBUMORA_PLATFORM_FILE_IDENTITY_H_

#include <cstdint>
#include <optional>
#include <string_view>

namespace albumora {

// Size, modification and change time (nanoseconds), inode and device of a file. Equal signatures
// mean the file was not touched since; any rewrite changes the change time at least.
struct FileSignature {
  std::uint64_t size = 0;
  std::int64_t modified_ns = 0;
  std::int64_t changed_ns = 0;
  std::uint64_t inode = 0;
  std::uint64_t device = 0;
  bool operator==(const FileSignature&) const = default;
};

// The signature of the regular file at the Windows-1252 `path` (a link is followed); nullopt
// for anything else and when it cannot be had.
std::optional<FileSignature> SignatureOf(std::string_view path);

// The signature of the regular file at `path` itself: a link or anything else gives nullopt.
// For files this program wrote, which must not have been swapped for a link since.
std::optional<FileSignature> OwnFileSignatureOf(std::string_view path);

// A 64-bit hash (XXH3) of the content of the regular file at `path`, read in blocks; nullopt when
// it cannot be read.
std::optional<std::uint64_t> ContentHashOf(std::string_view path);

// A 64-bit hash of some bytes (XXH3), for names made from paths.
std::uint64_t HashOfBytes(std::string_view bytes);

}  // namespace albumora

#endif  // ALBUMORA_PLATFORM_FILE_IDENTITY_H_
