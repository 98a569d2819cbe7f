// The single-instance guard: a lock file named "Ich bin einmalig" in the user's own temporary
// folder, held for the whole life of the process. The system releases it when the process ends,
// also after a crash, so a dead copy never blocks the next start.
#ifndef ALBUMORA_UI_QT_SINGLE_INSTANCE_H_
#define ALBUMORA_UI_QT_SINGLE_INSTANCE_H_

#include <memory>
#include <string_view>

class QLockFile;

namespace albumora {

inline constexpr std::string_view kInstanceLockName = "Ich bin einmalig";

class SingleInstanceGuard {
 public:
  // `folder` ends with the separator (UserTempFolder()); an empty one guards nothing.
  explicit SingleInstanceGuard(std::string_view folder);
  ~SingleInstanceGuard();
  SingleInstanceGuard(const SingleInstanceGuard&) = delete;
  SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;

  // True only when another running copy holds the lock. A lock that cannot be made at all (no
  // folder, no permission) lets the start go on.
  bool another_copy_runs() const { return another_copy_runs_; }

 private:
  std::unique_ptr<QLockFile> lock_;
  bool another_copy_runs_ = false;
};

}  // namespace albumora

#endif  // ALBUMORA_UI_QT_SINGLE_INSTANCE_H_
