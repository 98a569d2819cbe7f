#include "gallery/current_copies.h"

#include <exception>
#include <new>

namespace albumora {
namespace {

std::optional<CopyStamp> StampOf(const std::string& path) {
  const std::optional<FileSignature> signature = OwnFileSignatureOf(path);
  if (!signature) return std::nullopt;
  return CopyStamp{signature->size, signature->modified_ns};
}

// The stamps of the copies, in CopyPaths order, into `photo`; false when one is not there.
bool StampCopies(const PhotoJob& job, RecordedPhoto* photo) {
  CopyStamp* stamps[] = {&photo->big, &photo->small, &photo->original};
  const std::vector<std::string> paths = CopyPaths(job);
  for (std::size_t i = 0; i < paths.size(); ++i) {
    const std::optional<CopyStamp> stamp = StampOf(paths[i]);
    if (!stamp) return false;
    *stamps[i] = *stamp;
  }
  return true;
}

bool CopiesUnchanged(const PhotoJob& job, const RecordedPhoto& previous) {
  RecordedPhoto now = previous;
  return StampCopies(job, &now) && now == previous;
}

// The source is the one recorded when its signature is, or else when its content hashes the same
// (it was touched, copied back or restored, but holds the same bytes).
bool SameSource(const PhotoJob& job, const RecordedPhoto& previous,
                const FileSignature& signature) {
  if (signature == previous.source) return true;
  const std::optional<std::uint64_t> hash = ContentHashOf(job.source);
  return hash && *hash == previous.content_hash;
}

ConvertedPhoto ConvertGuarded(const PhotoJob& job, const PhotoConverter& convert,
                              ImagingWorkspace& workspace) {
  try {
    return convert(job, workspace);
  } catch (const std::bad_alloc&) {
    // A worker thread must not end the program; the photo is left out like an unreadable one.
    ConvertedPhoto failed;
    failed.error = "zu wenig Speicher";
    return failed;
  }
}

}  // namespace

std::vector<std::string> CopyPaths(const PhotoJob& job) {
  std::vector<std::string> paths = {BigCopyPath(job), SmallCopyPath(job)};
  if (job.settings.original_copy) paths.push_back(OriginalCopyPath(job));
  return paths;
}

PhotoOutcome MakeOrReuse(const PhotoJob& job, const RecordedPhoto* previous,
                         const PhotoConverter& convert, ImagingWorkspace& workspace) {
  PhotoOutcome outcome;
  // Signature and hash are taken before reading: a source changed meanwhile then no longer
  // matches what is recorded, and is converted again next time.
  const std::optional<FileSignature> signature = SignatureOf(job.source);
  if (signature) outcome.source_size = signature->size;
  if (previous != nullptr && signature && CopiesUnchanged(job, *previous) &&
      SameSource(job, *previous, *signature)) {
    outcome.photo.decoded = true;
    outcome.photo.width = previous->width;
    outcome.photo.height = previous->height;
    outcome.recorded = *previous;
    outcome.recorded->source = *signature;
    return outcome;
  }
  const std::optional<std::uint64_t> hash =
      signature ? ContentHashOf(job.source) : std::optional<std::uint64_t>();
  outcome.photo = ConvertGuarded(job, convert, workspace);
  outcome.converted = true;
  if (!outcome.photo.decoded || !outcome.photo.failed_saves.empty() || !hash) return outcome;
  RecordedPhoto recorded;
  recorded.source = *signature;
  recorded.content_hash = *hash;
  recorded.width = outcome.photo.width;
  recorded.height = outcome.photo.height;
  if (StampCopies(job, &recorded)) outcome.recorded = recorded;
  return outcome;
}

}  // namespace albumora
