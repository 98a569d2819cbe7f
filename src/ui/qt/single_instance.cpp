#include "ui/qt/single_instance.h"

#include <QLockFile>
#include <string>

#include "platform/files.h"

namespace albumora {

SingleInstanceGuard::SingleInstanceGuard(std::string_view folder) {
  if (folder.empty()) return;
  const std::string path = NativePath(std::string(folder) + std::string(kInstanceLockName));
  lock_ = std::make_unique<QLockFile>(QString::fromStdString(path));
  // Only a dead owner makes a lock stale, never its age: the first copy may run for days.
  lock_->setStaleLockTime(0);
  if (!lock_->tryLock(0)) {
    another_copy_runs_ = lock_->error() == QLockFile::LockFailedError;
    lock_.reset();
  }
}

SingleInstanceGuard::~SingleInstanceGuard() = default;

}  // namespace albumora
