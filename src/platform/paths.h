// Path texts. The program builds paths as Windows-1252 texts and joins pieces with its own
// separator; when it takes a path apart, both '/' and '\' count as separators.
#ifndef ALBUMORA_PLATFORM_PATHS_H_
#define ALBUMORA_PLATFORM_PATHS_H_

#include <string>
#include <string_view>

namespace albumora {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

inline bool IsPathSeparator(char c) { return c == '/' || c == '\\'; }

// Whether a path names the same place whatever the current folder is. A relative temporary
// folder, for one, must never be cleared: it would resolve into the user's own files.
bool IsAbsolutePath(std::string_view path);

// The text after the last '/' or '\', or all of it when it holds none.
std::string_view FileNamePart(std::string_view path);

// Everything up to and including the last '/' or '\'; empty when there is none.
std::string_view FolderPart(std::string_view path);

// `folder` with the program's separator appended unless it already ends in '/' or '\'.
// An empty folder stays empty (the current folder).
std::string WithTrailingSeparator(std::string_view folder);

// The process's current folder, ending with the separator (a Windows-1252 text; empty when it
// has no Windows-1252 form).
std::string CurrentFolder();

// Where a file that comes with the program is: the current folder first, then the folder of the
// executable, then its installed data folder. Returns the path of the first that exists, or
// `name` itself (relative to the current folder) when none does.
std::string ProgramFile(std::string_view name);

}  // namespace albumora

#endif  // ALBUMORA_PLATFORM_PATHS_H_
