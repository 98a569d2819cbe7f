#include "platform/text_writer.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <utility>

#include "support/scratch_folder.h"

namespace albumora {
namespace {

TEST(TextWriterTest, EndsEveryLineWithCrLf) {
  ScratchFolder folder;
  TextWriter writer;
  ASSERT_TRUE(writer.Open(folder / "page.htm"));
  writer.WriteLine("<html>");
  writer.WriteLine("");
  writer.Write("raw");
  writer.WriteLine(" \xE4");
  EXPECT_TRUE(writer.Close());
  EXPECT_EQ(folder.Read("page.htm"), "<html>\r\n\r\nraw \xE4\r\n");
}

TEST(TextWriterTest, OutputBeyondTheBufferArrivesInOrder) {
  ScratchFolder folder;
  std::string expected;
  TextWriter writer;
  ASSERT_TRUE(writer.Open(folder / "big.htm"));
  for (int i = 0; i < 3000; ++i) {
    // Lines of growing length cross the buffer boundary at every possible offset.
    const std::string line = std::to_string(i) + std::string(i % 97, 'x');
    writer.WriteLine(line);
    expected += line + "\r\n";
  }
  const std::string huge(3 * TextWriter::kBufferSize + 17, 'h');
  writer.Write(huge);
  writer.WriteLine("end");
  expected += huge + "end\r\n";
  EXPECT_TRUE(writer.Close());
  EXPECT_EQ(folder.Read("big.htm"), expected);
}

TEST(TextWriterTest, ReportsAFullDevice) {
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
  TextWriter small;
  ASSERT_TRUE(small.Open("/dev/full"));
  small.WriteLine("fits into the buffer, fails on close");
  EXPECT_FALSE(small.Close());

  TextWriter large;
  ASSERT_TRUE(large.Open("/dev/full"));
  large.Write(std::string(2 * TextWriter::kBufferSize, 'x'));
  large.WriteLine("after the failure");
  EXPECT_FALSE(large.Close());
}

TEST(TextWriterTest, CannotCreateInAMissingFolder) {
  ScratchFolder folder;
  TextWriter writer;
  EXPECT_FALSE(writer.Open(folder / "missing/page.htm"));
  EXPECT_FALSE(writer.is_open());
  writer.WriteLine("lost");
  EXPECT_FALSE(writer.Close());
}

// A FIFO under a page's name must neither block the open (no reader) nor take the page (reader).
TEST(TextWriterTest, RefusesAFifoWithoutBlocking) {
  ScratchFolder folder;
  ASSERT_EQ(mkfifo((folder / "page.htm").c_str(), 0600), 0);
  TextWriter writer;
  EXPECT_FALSE(writer.Open(folder / "page.htm"));

  const int reader = open((folder / "page.htm").c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  EXPECT_FALSE(writer.Open(folder / "page.htm"));
  EXPECT_FALSE(writer.is_open());
  close(reader);
}

TEST(TextWriterTest, MovingHandsOverTheFileAndDestructionFlushes) {
  ScratchFolder folder;
  {
    TextWriter first;
    ASSERT_TRUE(first.Open(folder / "moved.htm"));
    first.WriteLine("one");
    TextWriter second(std::move(first));
    EXPECT_FALSE(first.is_open());  // NOLINT(bugprone-use-after-move): moved-from state
    second.WriteLine("two");
    TextWriter third;
    third = std::move(second);
    third.WriteLine("three");
  }
  EXPECT_EQ(folder.Read("moved.htm"), "one\r\ntwo\r\nthree\r\n");
}

TEST(TextWriterTest, MoveAssigningOntoAnOpenWriterKeepsItsOutput) {
  ScratchFolder folder;
  TextWriter target;
  ASSERT_TRUE(target.Open(folder / "first.htm"));
  target.WriteLine("buffered");
  TextWriter source;
  ASSERT_TRUE(source.Open(folder / "second.htm"));
  source.WriteLine("other");
  target = std::move(source);
  EXPECT_TRUE(target.Close());
  EXPECT_EQ(folder.Read("first.htm"), "buffered\r\n");
  EXPECT_EQ(folder.Read("second.htm"), "other\r\n");
}

TEST(TextWriterTest, ReopeningTruncates) {
  ScratchFolder folder;
  folder.Write("page.htm", "old content that is longer");
  TextWriter writer;
  ASSERT_TRUE(writer.Open(folder / "page.htm"));
  writer.WriteLine("new");
  ASSERT_TRUE(writer.Close());
  EXPECT_EQ(folder.Read("page.htm"), "new\r\n");
}

}  // namespace
}  // namespace albumora
