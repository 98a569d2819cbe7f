// Converting on several threads and converting only what changed: both must leave exactly the
// files, status calls and messages of a one-thread run that converts everything.
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "gallery/conversion_record.h"
#include "gallery/convert_photos.h"
#include "gallery/generation_run.h"
#include "gallery_test_support.h"
#include "platform/text.h"
#include "ui/control_ids.h"

namespace albumora {
namespace {

namespace fs = std::filesystem;
using testing::CrLfLines;
using testing::EncodeTestJpeg;
using testing::ReadFile;
using testing::RunEnvironment;
using testing::WorkFolderTest;
using testing::WriteFile;
using Tree = std::map<std::string, std::string>;

// Every reporter call with its arguments, in order.
class CallLog : public ProgressReporter {
 public:
  void ShowPhotoCount(int count) override { Add("count " + std::to_string(count)); }
  void ShowStatus(std::string_view text) override { Add("status " + std::string(text)); }
  void SetProgressMaximum(int maximum) override { Add("maximum " + std::to_string(maximum)); }
  void SetProgress(int position) override { Add("progress " + std::to_string(position)); }
  void KeepAlive(int pause_ms) override { Add("alive " + std::to_string(pause_ms)); }
  void SetRunControls(bool running) override { Add(running ? "running" : "idle"); }
  void Pause(int pause_ms) override { Add("pause " + std::to_string(pause_ms)); }

  // A check that a reporter is only ever called from the thread that started the run.
  std::vector<std::string> calls;
  std::thread::id thread = std::this_thread::get_id();
  bool other_thread_called = false;

 private:
  void Add(std::string call) {
    other_thread_called = other_thread_called || std::this_thread::get_id() != thread;
    calls.push_back(std::move(call));
  }
};

// Counts the photos actually decoded, by their listed names.
class CountingConverter {
 public:
  ConvertedPhoto operator()(const PhotoJob& job, ImagingWorkspace& workspace) {
    {
      std::lock_guard lock(mutex_);
      converted_.insert(job.listed_name);
    }
    return ConvertPhoto(job, workspace);
  }
  std::set<std::string> Take() {
    std::lock_guard lock(mutex_);
    return std::exchange(converted_, {});
  }

 private:
  std::mutex mutex_;
  std::set<std::string> converted_;
};

const std::set<std::string> kAllPhotos = {"a.jpg", "b.jpg", "c.jpg", "d.jpg"};

// Public: the change cases act on the fixture from outside.
class ConversionTest : public WorkFolderTest {
 public:
  using WorkFolderTest::Path;

  void SetUp() override {
    WorkFolderTest::SetUp();
    env_ = std::make_unique<RunEnvironment>();
    // One photo per row and per page: every photo has an overview page of its own.
    WriteFile(Path("klein.vl"), CrLfLines({"<html><body><!--##AL_Schleife_Anfang-->",
                                           "<!--##AL_NewFoto-->", "<img src=\"##AL_kl_Bild\">",
                                           "<!--##AL_Schleife_Ende-->", "</body></html>"}));
    WriteFile(Path("gross.vl"), CrLfLines({"<img src=\"##AL_gr_Bild\">", "##AL_Pixel ##AL_Size"}));
    WriteFile(Path("leer.jpg"), EncodeTestJpeg(40, 30));
    int side = 60;
    for (const std::string& name : kAllPhotos) {
      WriteFile(Path("Fotos/" + name), EncodeTestJpeg(side, side * 2 / 3));
      side += 20;
    }
    env_->SetSourceFolder(Path("Fotos/"));
    Set(ctl::kTargetFolder, Path("site/"));
    Set(ctl::kSmallTemplate, Path("klein.vl"));
    Set(ctl::kBigTemplate, Path("gross.vl"));
    Set(ctl::kRowsPerPage, "1");
    State(ctl::kBigPixels, 120);
    State(ctl::kSmallPixels, 150);
    State(ctl::kOriginalDownload, 1);
    env_->values.cache_folder = Path("cache/");
    options_.convert = std::ref(converter_);
  }

  void Set(int control, std::string_view text) { env_->controls.SetControlText(control, text); }
  void State(int control, int state) { env_->controls.SetControlState(control, state); }

  void Run(CallLog* log = nullptr) {
    CallLog own;
    ASSERT_EQ(GenerationRun(env_->controls, log ? *log : own, env_->values, options_),
              RunOutcome::kFinished);
  }

  std::string Gallery(std::string_view target = "site/") const {
    return Path(std::string(target) + "fotos/fotos/");
  }
  std::string RecordFile() const { return RecordPathFor(Path("cache/"), Gallery()); }

  // Every file under the target folder with its bytes.
  Tree TargetTree() const {
    Tree tree;
    for (const auto& entry : fs::recursive_directory_iterator(Path("site/"))) {
      if (!entry.is_regular_file()) continue;
      tree[fs::relative(entry.path(), Path("site/")).string()] = ReadFile(entry.path());
    }
    return tree;
  }

  std::unique_ptr<RunEnvironment> env_;
  CountingConverter converter_;
  ConversionOptions options_;
};

// An album with photos that cannot be read, names that are left out and a copy that cannot be
// saved, converted through one, two and eight threads.
TEST_F(ConversionTest, ThreadCountChangesNeitherFilesNorReporterCalls) {
  WriteFile(Path("Fotos/kaputt.jpg"), "kein Foto");
  WriteFile(Path("Fotos/auch kaputt.jpg"), EncodeTestJpeg(50, 50).substr(0, 200));
  WriteFile(Path("Fotos/A.JPG"), EncodeTestJpeg(70, 90));
  WriteFile(Path("Fotos/fr|age.jpg"), EncodeTestJpeg(30, 30));
  for (int i = 0; i < 12; ++i) {
    WriteFile(Path("Fotos/z" + std::to_string(i) + ".jpg"), EncodeTestJpeg(50 + i, 40));
  }
  env_->values.cache_folder.clear();

  struct Result {
    Tree tree;
    std::vector<std::string> calls;
    std::vector<std::string> messages;
  };
  std::vector<Result> results;
  for (const int jobs : {1, 2, 8}) {
    SCOPED_TRACE(jobs);
    fs::remove_all(Path("site/"));
    // A folder where a small copy belongs: that save fails.
    fs::create_directories(Gallery() + "kl/k_z3.jpg");
    const std::size_t earlier = env_->MessageTexts().size();
    options_.jobs = jobs;
    CallLog log;
    Run(&log);
    EXPECT_FALSE(log.other_thread_called);
    std::vector<std::string> messages = env_->MessageTexts();
    messages.erase(messages.begin(), messages.begin() + static_cast<long>(earlier));
    results.push_back({TargetTree(), log.calls, messages});
  }
  ASSERT_EQ(results[0].messages.size(), 1u);
  EXPECT_NE(results[0].messages[0].find("kaputt.jpg"), std::string::npos);
  EXPECT_NE(results[0].messages[0].find("fr|age.jpg"), std::string::npos);
  EXPECT_NE(results[0].messages[0].find("k_z3.jpg"), std::string::npos);
  // The photo whose copy could not be saved is left out like the unreadable ones.
  EXPECT_TRUE(results[0].tree.count("fotos/fotos/bild_15.htm"));
  EXPECT_FALSE(results[0].tree.count("fotos/fotos/bild_16.htm"));
  for (const Result& other : {results[1], results[2]}) {
    EXPECT_EQ(other.tree, results[0].tree);
    EXPECT_EQ(other.calls, results[0].calls);
    EXPECT_EQ(other.messages, results[0].messages);
  }
}

struct ChangeCase {
  const char* name;
  std::function<void(ConversionTest&)> change;
  std::set<std::string> converted;
};

class ChangeTest : public ConversionTest, public ::testing::WithParamInterface<ChangeCase> {};

// After a first run, a change; the second run converts exactly the photos it must, and writes
// what a run converting everything writes.
TEST_P(ChangeTest, SecondRunConvertsExactlyWhatChanged) {
  options_.jobs = 2;
  Run();
  ASSERT_EQ(converter_.Take(), kAllPhotos);
  GetParam().change(*this);
  Run();
  EXPECT_EQ(converter_.Take(), GetParam().converted);
  EXPECT_TRUE(env_->MessageTexts().empty());
  const Tree incremental = TargetTree();

  options_.full = true;
  Run();
  std::set<std::string> sources;
  for (const auto& entry : fs::directory_iterator(Path("Fotos"))) {
    sources.insert(entry.path().filename().string());
  }
  EXPECT_EQ(converter_.Take(), sources);
  EXPECT_EQ(TargetTree(), incremental);
}

void ReplaceKeepingTime(const fs::path& path, std::string_view bytes) {
  const auto time = fs::last_write_time(path);
  WriteFile(path, bytes);
  fs::last_write_time(path, time);
}

void EditFile(const std::string& path, const std::function<void(std::string&)>& edit) {
  std::string text = ReadFile(path);
  edit(text);
  WriteFile(path, text);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, ChangeTest,
    ::testing::Values(
        ChangeCase{"Nothing", [](ConversionTest&) {}, {}},
        ChangeCase{"ContentReplacedUnderTheSameTime",
                   [](ConversionTest& t) {
                     ReplaceKeepingTime(t.Path("Fotos/b.jpg"), EncodeTestJpeg(99, 66));
                   },
                   {"b.jpg"}},
        ChangeCase{"Touched",
                   [](ConversionTest& t) {
                     fs::last_write_time(t.Path("Fotos/c.jpg"),
                                         fs::file_time_type::clock::now() + std::chrono::hours(1));
                   },
                   {}},
        ChangeCase{"CopiedBackWithTheSameBytes",
                   [](ConversionTest& t) {
                     const std::string bytes = ReadFile(t.Path("Fotos/c.jpg"));
                     fs::remove(t.Path("Fotos/c.jpg"));
                     WriteFile(t.Path("Fotos/c.jpg"), bytes);
                   },
                   {}},
        ChangeCase{"SmallSize", [](ConversionTest& t) { t.State(ctl::kSmallPixels, 160); },
                   kAllPhotos},
        ChangeCase{"BigQuality", [](ConversionTest& t) { t.State(ctl::kBigQuality, 3); },
                   kAllPhotos},
        ChangeCase{"BigCopyDeleted",
                   [](ConversionTest& t) { fs::remove(t.Gallery() + "gr/g_d.jpg"); },
                   {"d.jpg"}},
        ChangeCase{"SmallCopyReplaced",
                   [](ConversionTest& t) {
                     WriteFile(t.Gallery() + "kl/k_a.jpg", EncodeTestJpeg(40, 26, true));
                   },
                   {"a.jpg"}},
        ChangeCase{"OriginalCopyReplacedByALink",
                   [](ConversionTest& t) {
                     const std::string copy = t.Gallery() + "original/a.jpg";
                     fs::rename(copy, t.Path("elsewhere.jpg"));
                     fs::create_symlink(t.Path("elsewhere.jpg"), copy);
                   },
                   {"a.jpg"}},
        ChangeCase{
            "PhotoRenamed",
            [](ConversionTest& t) { fs::rename(t.Path("Fotos/b.jpg"), t.Path("Fotos/e.jpg")); },
            {"e.jpg"}},
        ChangeCase{"RecordCorrupt",
                   [](ConversionTest& t) {
                     EditFile(t.RecordFile(),
                              [](std::string& text) { text[text.size() / 2] = '\n'; });
                   },
                   kAllPhotos},
        ChangeCase{"RecordTruncated",
                   [](ConversionTest& t) {
                     EditFile(t.RecordFile(),
                              [](std::string& text) { text.resize(text.size() - 5); });
                   },
                   kAllPhotos},
        ChangeCase{"RecordOfAnotherVersion",
                   [](ConversionTest& t) { t.env_->values.version_full += "1"; }, kAllPhotos},
        ChangeCase{"RecordIsAFifo",
                   [](ConversionTest& t) {
                     fs::remove(t.RecordFile());
                     ASSERT_EQ(mkfifo(t.RecordFile().c_str(), 0600), 0);
                   },
                   kAllPhotos},
        ChangeCase{"RecordIsAFolder",
                   [](ConversionTest& t) {
                     fs::remove(t.RecordFile());
                     fs::create_directory(t.RecordFile());
                   },
                   kAllPhotos},
        ChangeCase{"RecordIsALink",
                   [](ConversionTest& t) {
                     fs::rename(t.RecordFile(), t.Path("record"));
                     fs::create_symlink(t.Path("record"), t.RecordFile());
                   },
                   kAllPhotos},
        ChangeCase{"RecordIsHugeGarbage",
                   [](ConversionTest& t) {
                     WriteFile(t.RecordFile(), std::string(std::size_t{100} << 20, '\x9c'));
                   },
                   kAllPhotos},
        ChangeCase{"CacheFolderCannotBeMade",
                   [](ConversionTest& t) {
                     WriteFile(t.Path("file"), "");
                     t.env_->values.cache_folder = t.Path("file/cache/");
                   },
                   kAllPhotos}),
    [](const ::testing::TestParamInfo<ChangeCase>& info) { return info.param.name; });

TEST_F(ConversionTest, UnreadableRecordMeansAFullRun) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
  Run();
  converter_.Take();
  ASSERT_EQ(chmod(RecordFile().c_str(), 0), 0);
  Run();
  EXPECT_EQ(converter_.Take(), kAllPhotos);
}

TEST_F(ConversionTest, GalleriesOfTheSameNameKeepSeparateRecords) {
  for (const char* target : {"site/", "other/", "site/", "other/"}) {
    Set(ctl::kTargetFolder, Path(target));
    Run();
  }
  EXPECT_EQ(converter_.Take(), kAllPhotos);  // only the first run of each converted anything
  EXPECT_NE(RecordPathFor(Path("cache/"), Gallery("site/")),
            RecordPathFor(Path("cache/"), Gallery("other/")));
  EXPECT_TRUE(fs::is_regular_file(RecordPathFor(Path("cache/"), Gallery("other/"))));
}

TEST_F(ConversionTest, FullRunConvertsEverythingAndNothingIsInTheSite) {
  Run();
  options_.full = true;
  converter_.Take();
  Run();
  EXPECT_EQ(converter_.Take(), kAllPhotos);
  for (const auto& [path, bytes] : TargetTree()) {
    EXPECT_EQ(bytes.find("albumora conversion record"), std::string::npos) << path;
  }
}

}  // namespace
}  // namespace albumora
