// Converting photos on several threads while the calling thread takes the results in photo
// order, so that what it reports and merges is the same as with one thread.
#ifndef ALBUMORA_GALLERY_PHOTO_POOL_H_
#define ALBUMORA_GALLERY_PHOTO_POOL_H_

#include <cstdint>
#include <functional>
#include <optional>

#include "imaging/raster_image.h"

namespace albumora {

// How many threads convert photos: the cores this process may run on, fewer when the available
// memory would not hold that many photos at once, never more than there are photos, at least 1.
// `largest_photo_bytes` is the size of the largest source file.
int DefaultWorkerCount(int photo_count, std::uint64_t largest_photo_bytes, int cores,
                       std::optional<std::uint64_t> available_memory);

template <typename Result>
struct PhotoSteps {
  // On a worker: the whole work for photo `number`, with that worker's own workspace. Must not
  // touch anything another photo's work touches.
  std::function<Result(int number, ImagingWorkspace& workspace)> work;
  // On the calling thread, in order 1..count: before photo `number`'s result is taken (with
  // one thread, before its work starts), then with the result.
  std::function<void(int number)> before;
  std::function<void(int number, Result&& result)> done;
};

namespace photo_pool_internal {
// Runs work(1..count) on up to `workers` threads and hands each finished number to `take` on the
// calling thread in order, which moves the result out of its slot. Falls back to fewer threads
// (down to the calling thread alone) when threads cannot be started.
void RunInOrder(int count, int workers, const std::function<void(int, ImagingWorkspace&)>& work,
                const std::function<void(int)>& take);
}  // namespace photo_pool_internal

template <typename Result>
void ConvertInPhotoOrder(int count, int workers, const PhotoSteps<Result>& steps) {
  if (workers <= 1 || count <= 1) {
    ImagingWorkspace workspace;
    for (int n = 1; n <= count; ++n) {
      steps.before(n);
      steps.done(n, steps.work(n, workspace));
    }
    return;
  }
  // One slot per photo, written by one worker and read by the calling thread after the pool
  // has said it is filled.
  std::vector<std::optional<Result>> slots(static_cast<std::size_t>(count) + 1);
  photo_pool_internal::RunInOrder(
      count, workers,
      [&](int n, ImagingWorkspace& workspace) {
        slots[static_cast<std::size_t>(n)].emplace(steps.work(n, workspace));
      },
      [&](int n) {
        std::optional<Result>& slot = slots[static_cast<std::size_t>(n)];
        steps.before(n);
        steps.done(n, std::move(*slot));
        slot.reset();
      });
}

}  // namespace albumora

#endif  // ALBUMORA_GALLERY_PHOTO_POOL_H_
