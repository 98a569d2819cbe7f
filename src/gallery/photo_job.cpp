#include "gallery/photo_job.h"

#include "platform/paths.h"

namespace albumora {

std::string BigCopyPath(const PhotoJob& job) {
  return job.gallery + "gr" + kPathSeparator + "g_" + job.name;
}

std::string SmallCopyPath(const PhotoJob& job) {
  return job.gallery + "kl" + kPathSeparator + "k_" + job.name;
}

std::string OriginalCopyPath(const PhotoJob& job) {
  return job.gallery + "original" + kPathSeparator + job.name;
}

}  // namespace albumora
