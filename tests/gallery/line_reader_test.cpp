#include "gallery/line_reader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "gallery_test_support.h"
#include "platform/text.h"

namespace albumora {
namespace {

class LineReaderTest : public testing::WorkFolderTest {};

// Whatever the chunk boundaries, the lines are those of the whole-file split, also when a CR LF
// pair or a run of terminators straddles two chunks.
TEST_F(LineReaderTest, SameLinesAsTheWholeFileSplit) {
  std::mt19937 random(4711);
  const char alphabet[] = {'a', 'b', '\r', '\n', '\0'};
  for (int round = 0; round < 300; ++round) {
    std::string data(random() % 24, 'a');
    for (char& c : data) c = alphabet[random() % sizeof alphabet];
    testing::WriteFile(Path("seite.htm"), data);
    for (std::size_t chunk = 1; chunk <= 5; ++chunk) {
      LineReader reader;
      ASSERT_TRUE(reader.Open(Path("seite.htm"), chunk));
      std::vector<std::string> lines;
      for (std::string line; reader.ReadLine(&line);) lines.push_back(line);
      ASSERT_EQ(lines, SplitTextLines(data)) << "chunk " << chunk;
    }
  }
}

TEST_F(LineReaderTest, MissingFileOrFolderReadsNothing) {
  LineReader reader;
  EXPECT_FALSE(reader.Open(Path("fehlt.htm")));
  EXPECT_FALSE(reader.Open(Path()));
  std::string line = "alt";
  EXPECT_FALSE(reader.ReadLine(&line));
}

}  // namespace
}  // namespace albumora
