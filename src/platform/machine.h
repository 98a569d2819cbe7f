// What the machine offers this process: the cores it may run on and the memory still free.
#ifndef ALBUMORA_PLATFORM_MACHINE_H_
#define ALBUMORA_PLATFORM_MACHINE_H_

#include <cstdint>
#include <optional>
#include <string_view>

namespace albumora {

// The CPUs in this process's affinity mask (at least 1).
int UsableCores();

// MemAvailable from /proc/meminfo in bytes; nullopt when it cannot be read.
std::optional<std::uint64_t> AvailableMemory();

// MemAvailable read from the text of a meminfo file.
std::optional<std::uint64_t> AvailableMemoryIn(std::string_view meminfo);

}  // namespace albumora

#endif  // ALBUMORA_PLATFORM_MACHINE_H_
