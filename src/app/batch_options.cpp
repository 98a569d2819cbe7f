#include "app/batch_options.h"

#include <charconv>

namespace albumora {
namespace {

// More threads than this only cost memory.
constexpr int kMaxJobs = 256;

bool ReadJobs(std::string_view text, int* jobs) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *jobs);
  return error == std::errc() && end == text.data() + text.size() && *jobs >= 1 &&
         *jobs <= kMaxJobs;
}

}  // namespace

ConversionArguments TakeConversionArguments(const std::vector<std::string_view>& arguments) {
  constexpr std::string_view kJobs = "--jobs";
  ConversionArguments result;
  for (std::size_t i = 0; i < arguments.size() && result.error.empty(); ++i) {
    const std::string_view argument = arguments[i];
    if (argument == "--") {
      // What follows is a folder or a file, whatever its name.
      result.rest.insert(result.rest.end(), arguments.begin() + static_cast<long>(i),
                         arguments.end());
      break;
    }
    if (argument == "--full") {
      result.full = true;
    } else if (argument == kJobs || argument.starts_with("--jobs=")) {
      std::string_view value;
      if (argument != kJobs) {
        value = argument.substr(kJobs.size() + 1);
      } else if (i + 1 < arguments.size()) {
        value = arguments[++i];
      }
      if (!ReadJobs(value, &result.jobs)) {
        result.error = "--jobs braucht eine Zahl von 1 bis " + std::to_string(kMaxJobs) +
                       ", nicht \"" + std::string(value) + "\"";
      }
    } else {
      result.rest.push_back(argument);
    }
  }
  return result;
}

}  // namespace albumora
