#include "app/batch_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace albumora {
namespace {

TEST(BatchOptionsTest, ConversionArgumentsAreTakenOut) {
  struct Case {
    std::vector<std::string_view> arguments;
    int jobs;
    bool full;
    std::vector<std::string_view> rest;
    bool error;
  } const cases[] = {
      {{}, 0, false, {}, false},
      {{"--jobs", "3"}, 3, false, {}, false},
      {{"--jobs=1", "--full"}, 1, true, {}, false},
      {{"--full", "--help"}, 0, true, {"--help"}, false},
      {{"Einstellung.alb", "--jobs", "256"}, 256, false, {"Einstellung.alb"}, false},
      {{"--jobs"}, 0, false, {}, true},
      {{"--jobs", "0"}, 0, false, {}, true},
      {{"--jobs", "-2"}, 0, false, {}, true},
      {{"--jobs", "257"}, 0, false, {}, true},
      {{"--jobs=2x"}, 0, false, {}, true},
      {{"--jobs", "--full"}, 0, false, {}, true},
      {{"--jobs="}, 0, false, {}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.empty() ? "" : std::string(c.arguments[0]));
    const ConversionArguments taken = TakeConversionArguments(c.arguments);
    EXPECT_EQ(!taken.error.empty(), c.error) << taken.error;
    if (c.error) continue;
    EXPECT_EQ(taken.jobs, c.jobs);
    EXPECT_EQ(taken.full, c.full);
    EXPECT_EQ(taken.rest, c.rest);
  }
}

}  // namespace
}  // namespace albumora
