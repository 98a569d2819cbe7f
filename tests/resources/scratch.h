// Where the resource tests find the sources and the built program folder.
#ifndef ALBUMORA_TESTS_RESOURCES_SCRATCH_H_
#define ALBUMORA_TESTS_RESOURCES_SCRATCH_H_

#include <filesystem>

#include "support/scratch_folder.h"

namespace albumora {

inline std::filesystem::path SourceDir() { return ALBUMORA_SOURCE_DIR; }
inline std::filesystem::path ProgramDir() { return ALBUMORA_PROGRAM_DIR; }

}  // namespace albumora

#endif  // ALBUMORA_TESTS_RESOURCES_SCRATCH_H_
