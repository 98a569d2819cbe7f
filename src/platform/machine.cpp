#include "platform/machine.h"

#include <sched.h>

#include <charconv>
#include <string>

#include "platform/cache_files.h"

namespace albumora {

int UsableCores() {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (::sched_getaffinity(0, sizeof set, &set) != 0) return 1;
  const int count = CPU_COUNT(&set);
  return count > 0 ? count : 1;
}

std::optional<std::uint64_t> AvailableMemoryIn(std::string_view meminfo) {
  constexpr std::string_view kKey = "MemAvailable:";
  std::size_t at = meminfo.find(kKey);
  while (at != std::string_view::npos && at != 0 && meminfo[at - 1] != '\n') {
    at = meminfo.find(kKey, at + 1);
  }
  if (at == std::string_view::npos) return std::nullopt;
  std::string_view rest = meminfo.substr(at + kKey.size());
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  std::uint64_t kilobytes = 0;
  const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), kilobytes);
  if (error != std::errc() || end == rest.data() || kilobytes > (UINT64_MAX >> 10)) {
    return std::nullopt;
  }
  return kilobytes << 10;
}

std::optional<std::uint64_t> AvailableMemory() {
  // /proc files report size 0; they are read up to the bound.
  std::string meminfo;
  if (!ReadCacheFile("/proc/meminfo", 1 << 16, &meminfo)) return std::nullopt;
  return AvailableMemoryIn(meminfo);
}

}  // namespace albumora
