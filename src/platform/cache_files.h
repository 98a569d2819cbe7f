// The per-user cache folder and the small files kept in it. A cache file is only ever a hint:
// reading refuses anything odd, writing replaces the file whole, and failing is no error.
// Paths here are file-system (UTF-8) paths, as the environment gives them.
#ifndef ALBUMORA_PLATFORM_CACHE_FILES_H_
#define ALBUMORA_PLATFORM_CACHE_FILES_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace albumora {

// "$XDG_CACHE_HOME/<program>/" when that variable holds an absolute path, else
// "$HOME/.cache/<program>/"; empty when neither is usable. Nothing is created.
std::string UserCacheFolder(std::string_view program);

// Creates `folder` and its missing parents (mode 0700 for new ones). True when it is a folder
// afterwards.
bool CreateCacheFolder(std::string_view folder);

// Reads `path` when it is a regular file (not a link) of at most `max_bytes`. Never blocks on a
// FIFO or a device. False otherwise, with `data` empty.
bool ReadCacheFile(std::string_view path, std::uint64_t max_bytes, std::string* data);

// Writes `data` to a new file beside `path` and renames it over `path` (a link there is
// replaced, not followed). False, with nothing left behind, on failure.
bool WriteCacheFile(std::string_view path, std::string_view data);

}  // namespace albumora

#endif  // ALBUMORA_PLATFORM_CACHE_FILES_H_
