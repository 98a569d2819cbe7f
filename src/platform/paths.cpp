#include "platform/paths.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <vector>

#include "platform/files.h"
#include "platform/text.h"

namespace albumora {
namespace {

bool Exists(std::string_view path) {
  struct stat info;
  return stat(NativePath(path).c_str(), &info) == 0;
}

// The folder of the running executable as a Windows-1252 text ending with the separator, or
// nothing when it cannot be found or has no Windows-1252 form.
std::optional<std::string> ExecutableFolder() {
  std::vector<char> buffer(PATH_MAX);
  for (;;) {
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) return std::nullopt;
    if (static_cast<std::size_t>(length) < buffer.size()) {
      const std::optional<std::string> exe =
          FromUtf8(std::string_view(buffer.data(), static_cast<std::size_t>(length)));
      if (!exe) return std::nullopt;
      return std::string(FolderPart(*exe));
    }
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace

bool IsAbsolutePath(std::string_view path) {
#ifdef _WIN32
  return path.size() >= 3 && path[1] == ':' && IsPathSeparator(path[2]);
#else
  return !path.empty() && path.front() == '/';
#endif
}

std::string_view FileNamePart(std::string_view path) {
  const std::size_t last = path.find_last_of("/\\");
  return last == std::string_view::npos ? path : path.substr(last + 1);
}

std::string_view FolderPart(std::string_view path) {
  const std::size_t last = path.find_last_of("/\\");
  return last == std::string_view::npos ? std::string_view() : path.substr(0, last + 1);
}

std::string WithTrailingSeparator(std::string_view folder) {
  std::string result(folder);
  if (!result.empty() && !IsPathSeparator(result.back())) result.push_back(kPathSeparator);
  return result;
}

std::string CurrentFolder() {
  std::vector<char> buffer(PATH_MAX);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return {};
    buffer.resize(buffer.size() * 2);
  }
  const std::optional<std::string> folder = FromUtf8(buffer.data());
  return folder ? WithTrailingSeparator(*folder) : std::string();
}

std::string ProgramFile(std::string_view name) {
  if (!name.empty() && IsPathSeparator(name.front())) return std::string(name);
  if (Exists(name)) {
    const std::string current = CurrentFolder();
    return current.empty() ? std::string(name) : current + std::string(name);
  }
  if (const std::optional<std::string> exe_folder = ExecutableFolder()) {
    const std::string beside = *exe_folder + std::string(name);
    if (Exists(beside)) return beside;
    const std::string installed = *exe_folder + ".." + kPathSeparator + "share" + kPathSeparator +
                                  "albumora" + kPathSeparator + std::string(name);
    if (Exists(installed)) return installed;
  }
  return std::string(name);
}

}  // namespace albumora
