// The options of albumora-batch that change how photos are converted, not what is made.
#ifndef ALBUMORA_APP_BATCH_OPTIONS_H_
#define ALBUMORA_APP_BATCH_OPTIONS_H_

#include <string>
#include <string_view>
#include <vector>

namespace albumora {

struct ConversionArguments {
  int jobs = 0;  // 0: the default
  bool full = false;
  std::vector<std::string_view> rest;  // the arguments that are not about conversion, in order
  std::string error;                   // empty, or why an argument was refused (UTF-8)
};

// Takes "--jobs N", "--jobs=N" and "--full" out of `arguments` (without the program name); from
// "--" on, every argument is left in `rest`.
ConversionArguments TakeConversionArguments(const std::vector<std::string_view>& arguments);

}  // namespace albumora

#endif  // ALBUMORA_APP_BATCH_OPTIONS_H_
