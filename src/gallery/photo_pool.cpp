#include "gallery/photo_pool.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace albumora {
namespace {

// A photo in flight holds its file, the decoded picture and the scaled copies; pictures take 2 to
// 4 bits per pixel as JPEG files, 24 decoded. Guessing low on the bits errs on the safe side.
constexpr std::uint64_t kBytesPerFileByte = 48;
constexpr std::uint64_t kBytesPerPhotoAtLeast = std::uint64_t{32} << 20;

// The numbers finished so far, shared between the workers and the calling thread.
class FinishedPhotos {
 public:
  explicit FinishedPhotos(int count) : finished_(static_cast<std::size_t>(count) + 1, false) {}

  void MarkFinished(int n) {
    {
      std::lock_guard lock(mutex_);
      finished_[static_cast<std::size_t>(n)] = true;
    }
    changed_.notify_all();
  }
  void WaitFor(int n) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return finished_[static_cast<std::size_t>(n)]; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<bool> finished_;
};

}  // namespace

int DefaultWorkerCount(int photo_count, std::uint64_t largest_photo_bytes, int cores,
                       std::optional<std::uint64_t> available_memory) {
  int workers = std::max(cores, 1);
  if (available_memory) {
    const std::uint64_t per_photo =
        std::max(largest_photo_bytes * kBytesPerFileByte, kBytesPerPhotoAtLeast);
    const std::uint64_t fit = *available_memory / per_photo;
    workers = static_cast<int>(std::min<std::uint64_t>(static_cast<std::uint64_t>(workers), fit));
  }
  return std::clamp(workers, 1, std::max(photo_count, 1));
}

namespace photo_pool_internal {

void RunInOrder(int count, int workers, const std::function<void(int, ImagingWorkspace&)>& work,
                const std::function<void(int)>& take) {
  std::atomic<int> next{1};
  FinishedPhotos finished(count);
  const auto worker = [&] {
    ImagingWorkspace workspace;
    for (int n; (n = next.fetch_add(1)) <= count;) {
      work(n, workspace);
      finished.MarkFinished(n);
    }
  };
  {
    std::vector<std::jthread> threads;
    try {
      for (int i = 0; i < workers; ++i) threads.emplace_back(worker);
    } catch (const std::system_error&) {
      // Fewer threads than asked for still convert everything; none at all, then this one does.
      if (threads.empty()) worker();
    }
    for (int n = 1; n <= count; ++n) {
      finished.WaitFor(n);
      take(n);
    }
  }  // the workers have nothing left to do once every photo was taken
}

}  // namespace photo_pool_internal
}  // namespace albumora
