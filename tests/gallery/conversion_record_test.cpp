// The record's text form and the pool's sizing.
#include "gallery/conversion_record.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "gallery/photo_pool.h"
#include "support/scratch_folder.h"

namespace albumora {
namespace {

ConversionRecord SampleRecord() {
  ConversionRecord record{
      "0.4.0.155", "/home/u/site/fotos/urlaub/", "/home/u/Urlaub/", {800, 8, 150, 7, true}, {}};
  record.photos["Strand.jpg"] = {{2048, 1700000000123456789, 1700000000987654321, 42, 2049},
                                 0xfedcba9876543210,
                                 3000,
                                 2000,
                                 {300000, 17},
                                 {9000, 18},
                                 {2048, 19}};
  record.photos["a b.JPG"] = {};
  return record;
}

TEST(ConversionRecordTest, TextFormKeepsEveryField) {
  const ConversionRecord record = SampleRecord();
  EXPECT_EQ(ParseRecord(SerializeRecord(record)), record);
}

TEST(ConversionRecordTest, NamesThatDoNotFitALineAreLeftOut) {
  ConversionRecord record = SampleRecord();
  record.photos["tab\there.jpg"] = {};
  const std::optional<ConversionRecord> read = ParseRecord(SerializeRecord(record));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->photos.size(), 2u);
}

TEST(ConversionRecordTest, AnythingButAWholeRecordIsRefused) {
  const std::string good = SerializeRecord(SampleRecord());
  const auto replaced = [&good](std::string_view from, std::string_view to) {
    std::string text = good;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  const std::string cases[] = {
      "",
      good.substr(0, good.size() - 1),                  // last line cut
      good.substr(0, good.rfind("photo")),              // photos cut off with the end line
      good + "photo\n",                                 // after the end
      replaced("record 1", "record 2"),                 // another layout
      replaced("\t800\t", "\t800x\t"),                  // a number with trailing text
      replaced("\t1\nphoto", "\t2\nphoto"),             // original flag out of range
      replaced("fedcba9876543210", "xyz"),              // not a hash
      replaced("\t3000\t", "\t\t"),                     // an empty field
      replaced("Strand.jpg", "a b.JPG"),                // the same name twice
      replaced("\tStrand.jpg", "\tStrand.jpg\textra"),  // a field too many
      std::string(4096, '\0'),
  };
  for (const std::string& text : cases) {
    EXPECT_FALSE(ParseRecord(text)) << text;
  }
}

TEST(ConversionRecordTest, RecordBelongsToItsGallery) {
  const ScratchFolder scratch;
  const std::string folder = scratch / "cache/albumora/";
  const ConversionRecord record = SampleRecord();
  ASSERT_TRUE(SaveRecord(folder, record));
  const std::string path = RecordPathFor(folder, record.gallery);
  EXPECT_EQ(LoadRecord(path, record.gallery), record);
  EXPECT_FALSE(LoadRecord(path, "/elsewhere/fotos/urlaub/"));
  EXPECT_NE(path, RecordPathFor(folder, "/elsewhere/fotos/urlaub/"));
  EXPECT_FALSE(SaveRecord("", record));
}

TEST(PhotoPoolTest, WorkerCountFollowsCoresMemoryAndPhotos) {
  constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;
  struct Case {
    int photos;
    std::uint64_t largest;
    int cores;
    std::optional<std::uint64_t> memory;
    int expected;
  } const cases[] = {
      {500, 4 * kMiB, 8, std::nullopt, 8},  // memory unknown: the cores
      {500, 4 * kMiB, 8, 16384 * kMiB, 8},  // plenty of memory
      {500, 4 * kMiB, 8, 600 * kMiB, 3},    // 192 MiB a photo
      {500, 4 * kMiB, 8, 10 * kMiB, 1},     // never below one
      {500, 10, 4, 100 * kMiB, 3},          // small files still count 32 MiB each
      {3, 4 * kMiB, 8, std::nullopt, 3},    // no more threads than photos
      {0, 0, 8, std::nullopt, 1},          {500, 4 * kMiB, 0, std::nullopt, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DefaultWorkerCount(c.photos, c.largest, c.cores, c.memory), c.expected)
        << c.photos << " " << c.cores;
  }
}

TEST(PhotoPoolTest, ResultsArriveInOrderOnTheCallingThread) {
  for (const int workers : {1, 3, 16}) {
    std::vector<std::string> seen;
    const std::thread::id caller = std::this_thread::get_id();
    PhotoSteps<int> steps;
    steps.work = [](int n, ImagingWorkspace&) { return n * n; };
    steps.before = [&](int n) { seen.push_back("before " + std::to_string(n)); };
    steps.done = [&](int n, int&& square) {
      EXPECT_EQ(std::this_thread::get_id(), caller);
      seen.push_back(std::to_string(n) + "=" + std::to_string(square));
    };
    ConvertInPhotoOrder(40, workers, steps);
    ASSERT_EQ(seen.size(), 80u) << workers;
    for (int n = 1; n <= 40; ++n) {
      EXPECT_EQ(seen[2 * (n - 1)], "before " + std::to_string(n));
      EXPECT_EQ(seen[2 * n - 1], std::to_string(n) + "=" + std::to_string(n * n));
    }
  }
}

}  // namespace
}  // namespace albumora
