#include "gallery/convert_photos.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "gallery/conversion_record.h"
#include "gallery/current_copies.h"
#include "gallery/photo_pool.h"
#include "imaging/photo_copies.h"
#include "imaging/raster_image.h"
#include "platform/files.h"
#include "platform/machine.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "ui/control_ids.h"

namespace albumora {
namespace {

std::string SourceFolder(const RunState& run) {
  return WithTrailingSeparator(run.Text(ctl::kSourceFolder));
}

void NoteFailedSave(RunState& run, const std::string& path) {
  if (run.trouble.failed_saves++ == 0) run.trouble.first_failed_save = path;
}

void SaveJpeg(ConvertedPhoto& result, const RasterImage& image, const std::string& path, int step) {
  if (!SaveRasterImageAsJpeg(image, path, step)) result.failed_saves.push_back(path);
}

ConversionSettings SettingsOf(const RunState& run) {
  return {run.State(ctl::kBigPixels), run.State(ctl::kBigQuality), run.State(ctl::kSmallPixels),
          run.State(ctl::kSmallQuality), run.Checked(ctl::kOriginalDownload)};
}

std::vector<PhotoJob> MakeJobs(const RunState& run, const ConversionSettings& settings) {
  std::vector<PhotoJob> jobs;
  const std::string source_folder = SourceFolder(run);
  const std::string gallery = GalleryFolder(run);
  for (int n = 1; n <= run.photos.count(); ++n) {
    const PhotoEntry& entry = run.photos.Entry(n);
    jobs.push_back(
        {source_folder + entry.listed_name, entry.listed_name, entry.name, gallery, settings});
  }
  return jobs;
}

// The gallery folder as an absolute path: what its record is found by.
std::string AbsoluteGallery(const RunState& run) {
  const std::string gallery = GalleryFolder(run);
  return IsAbsolutePath(gallery) ? gallery : CurrentFolder() + gallery;
}

// The record of the last run into this gallery, when photos may be taken from it: made by this
// program version from the same source folder with the same settings, and not refused.
std::optional<ConversionRecord> UsableRecord(const RunState& run, std::string_view gallery,
                                             const ConversionSettings& settings) {
  if (run.options.full || run.values.cache_folder.empty()) return std::nullopt;
  std::optional<ConversionRecord> record =
      LoadRecord(RecordPathFor(run.values.cache_folder, gallery), gallery);
  if (!record || record->program_version != run.values.version_full ||
      record->source_folder != run.Text(ctl::kSourceFolder) || record->settings != settings) {
    return std::nullopt;
  }
  return record;
}

const RecordedPhoto* RecordedFor(const std::optional<ConversionRecord>& record,
                                 const std::string& listed_name) {
  if (!record) return nullptr;
  const auto found = record->photos.find(listed_name);
  return found == record->photos.end() ? nullptr : &found->second;
}

int WorkerCount(const RunState& run, const std::vector<PhotoJob>& jobs) {
  const int count = static_cast<int>(jobs.size());
  if (run.options.jobs > 0) return std::min(run.options.jobs, std::max(count, 1));
  std::uint64_t largest = 0;
  for (const PhotoJob& job : jobs) largest = std::max(largest, FileSize(job.source).value_or(0));
  return DefaultWorkerCount(count, largest, UsableCores(), AvailableMemory());
}

// Puts what became of photo `number` into the run, as converting it there would have. False
// when the photo cannot go into the gallery: it could not be read, or one of its copies could
// not be saved, so that its page would link to a picture that is not there.
bool TakeOutcome(RunState& run, int number, const PhotoOutcome& outcome) {
  PhotoEntry& entry = run.photos.MutableEntry(number);
  const ConvertedPhoto& photo = outcome.photo;
  if (!photo.decoded) {
    run.trouble.undecodable.push_back(DisplayName(entry.listed_name) +
                                      (photo.error.empty() ? "" : " (" + photo.error + ")"));
    return false;
  }
  entry.pixel = Decimal(photo.width) + "*" + Decimal(photo.height);
  entry.size = Decimal(static_cast<long long>(outcome.source_size / 1024)) + " KB";
  for (const std::string& path : photo.failed_saves) NoteFailedSave(run, path);
  if (!photo.failed_saves.empty()) {
    run.trouble.unsaved.push_back(DisplayName(entry.listed_name));
    return false;
  }
  return true;
}

// The picture of an overview cell without a photo, as wide as a small picture is long.
void MakeEmptyThumbnail(RunState& run, ImagingWorkspace& workspace) {
  RasterImage empty;
  std::string error;
  const std::string source = ProgramFile("leer.jpg");
  if (!LoadRasterImage(source, &empty, &error, &workspace)) {
    run.trouble.empty_thumbnail_error = source + (error.empty() ? "" : " (" + error + ")");
    return;
  }
  const PictureSize size = FitWidth(empty.width(), empty.height(), run.State(ctl::kSmallPixels));
  ScaleRasterImage(empty, size.width, size.height, &workspace);
  const std::string path = GalleryFolder(run) + "kl" + kPathSeparator + "leer.jpg";
  if (!SaveRasterImageAsJpeg(empty, path, run.State(ctl::kSmallQuality))) {
    NoteFailedSave(run, path);
  }
}

void AppendNameList(std::string& text, std::string_view heading,
                    const std::vector<std::string>& names, std::size_t max_shown) {
  if (names.empty()) return;
  if (!text.empty()) text += "\n\n";
  text += Cp1252(heading);
  for (std::size_t i = 0; i < names.size() && i < max_shown; ++i) text += "\n" + names[i];
  if (names.size() > max_shown) {
    text +=
        Cp1252("\n… und ") + Decimal(static_cast<long long>(names.size() - max_shown)) + " weitere";
  }
}

}  // namespace

// Both copies are scaled from the decoded source in one pass: the small one is not made from
// the big one.
ConvertedPhoto ConvertPhoto(const PhotoJob& job, ImagingWorkspace& workspace) {
  ConvertedPhoto result;
  PhotoCopies copies;
  if (!ConvertPhotoFile(job.source, job.settings.big_pixels, job.settings.small_pixels, &copies,
                        &result.error, &workspace)) {
    return result;
  }
  result.decoded = true;
  result.width = copies.full.width;
  result.height = copies.full.height;

  if (job.settings.original_copy) {
    CreateFolder(job.gallery + "original");
    const std::string copy = OriginalCopyPath(job);
    if (!CopyFileReplacing(job.source, copy)) result.failed_saves.push_back(copy);
  }
  SaveJpeg(result, copies.big, BigCopyPath(job), job.settings.big_quality);
  copies.big.Release();
  SaveJpeg(result, copies.small, SmallCopyPath(job), job.settings.small_quality);
  return result;
}

std::string DisplayName(std::string_view name) {
  std::string shown(name);
  for (char& c : shown) {
    if (IsControlCharacter(c)) c = '?';
  }
  return shown;
}

std::string ConversionTroubleText(const RunState& run) {
  std::vector<std::string> bad_names;
  std::vector<std::string> case_twins;
  std::vector<std::string> too_long;
  for (const LeftOutName& left_out : run.left_out) {
    std::vector<std::string>& list = left_out.reason == LeftOutReason::kSameLowerCaseName
                                         ? case_twins
                                     : left_out.reason == LeftOutReason::kNameTooLong ? too_long
                                                                                      : bad_names;
    list.push_back(DisplayName(left_out.name));
  }
  const std::size_t max_shown = run.values.max_names_listed;
  std::string text;
  AppendNameList(text,
                 "Diese Dateien wurden ausgelassen, weil ihr Name Zeichen enthält, die in einer "
                 "Webseite nicht verwendet werden können (zum Beispiel < > : \" | ? * \\ oder "
                 "Zeichen außerhalb von Windows-1252). Bitte benennen Sie sie um:",
                 bad_names, max_shown);
  AppendNameList(text,
                 "Diese Dateien wurden ausgelassen, weil es schon ein Foto mit demselben Namen in "
                 "anderer Groß- und Kleinschreibung gibt. Bitte benennen Sie sie um:",
                 case_twins, max_shown);
  AppendNameList(text,
                 "Diese Dateien wurden ausgelassen, weil ihr Name mit dem vorangestellten g_ oder "
                 "k_ zu lang für das Dateisystem des Zielverzeichnisses ist. Bitte kürzen Sie ihn:",
                 too_long, max_shown);
  AppendNameList(text,
                 "Diese Dateien wurden ausgelassen, weil sie nicht als Foto gelesen werden "
                 "konnten:",
                 run.trouble.undecodable, max_shown);
  AppendNameList(text,
                 "Diese Dateien wurden ausgelassen, weil ihre Bilder nicht gespeichert werden "
                 "konnten:",
                 run.trouble.unsaved, max_shown);
  if (!run.trouble.empty_thumbnail_error.empty()) {
    if (!text.empty()) text += "\n\n";
    text +=
        Cp1252("Das Bild für leere Felder der Übersichtsseiten konnte nicht gelesen werden:\n") +
        DisplayName(run.trouble.empty_thumbnail_error);
  }
  if (run.trouble.failed_saves > 0) {
    if (!text.empty()) text += "\n\n";
    text += Decimal(run.trouble.failed_saves) +
            Cp1252(" Bilder oder Kopien konnten nicht gespeichert werden, zum Beispiel\n") +
            DisplayName(run.trouble.first_failed_save) +
            Cp1252(
                "\nBitte prüfen Sie, ob in das Zielverzeichnis geschrieben werden kann und "
                "genug Platz ist.");
  }
  return text;
}

void ConvertPhotos(RunState& run) {
  PhotoScan scan = ScanPhotoFolder(run.Text(ctl::kSourceFolder), GalleryFolder(run));
  run.photos = std::move(scan.photos);
  run.left_out = std::move(scan.left_out);
  run.trouble = ConversionTrouble{};
  const int count = run.photos.count();
  run.reporter.ShowPhotoCount(count);
  run.reporter.SetRunControls(true);
  run.reporter.SetProgressMaximum(count);

  // A target folder typed into the settings file need not exist yet; the folder dialog of the
  // window only offers existing ones.
  const std::string target = run.Text(ctl::kTargetFolder);
  if (!target.empty()) CreateFolder(target);
  const std::string gallery = GalleryFolder(run);
  CreateFolder(WithTrailingSeparator(target) + "fotos");
  CreateFolder(gallery);
  CreateFolder(gallery + "gr");
  CreateFolder(gallery + "kl");

  const ConversionSettings settings = SettingsOf(run);
  const std::vector<PhotoJob> jobs = MakeJobs(run, settings);
  const std::string gallery_key = AbsoluteGallery(run);
  const std::optional<ConversionRecord> previous = UsableRecord(run, gallery_key, settings);
  ConversionRecord record{
      run.values.version_full, gallery_key, run.Text(ctl::kSourceFolder), settings, {}};
  const PhotoConverter convert = run.options.convert ? run.options.convert : ConvertPhoto;

  std::vector<bool> unreadable(static_cast<std::size_t>(count) + 1, false);
  PhotoSteps<PhotoOutcome> steps;
  steps.work = [&](int n, ImagingWorkspace& workspace) {
    const PhotoJob& job = jobs[static_cast<std::size_t>(n - 1)];
    return MakeOrReuse(job, RecordedFor(previous, job.listed_name), convert, workspace);
  };
  steps.before = [&](int n) {
    run.reporter.KeepAlive(1);
    run.reporter.SetProgress(n);
    run.reporter.ShowStatus("Bearbeite Bild: " + Decimal(n) + " / " + Decimal(count));
  };
  steps.done = [&](int n, PhotoOutcome&& outcome) {
    unreadable[static_cast<std::size_t>(n)] = !TakeOutcome(run, n, outcome);
    if (outcome.recorded) {
      record.photos.emplace(jobs[static_cast<std::size_t>(n - 1)].listed_name, *outcome.recorded);
    }
    run.reporter.KeepAlive(1);
  };
  ConvertInPhotoOrder(count, WorkerCount(run, jobs), steps);
  // A cache that cannot be written costs only time on the next run: nobody is told.
  if (!run.values.cache_folder.empty() && (!previous || record != *previous)) {
    SaveRecord(run.values.cache_folder, record);
  }

  ImagingWorkspace workspace;
  MakeEmptyThumbnail(run, workspace);
  if (count == 0) {
    run.controls.ShowMessage("Achtung", "In diesem Verzeichnis\n\n" + run.Text(ctl::kSourceFolder) +
                                            "\n\nwurden keine *.jpg Dateien gefunden ");
  }
  const std::string trouble = ConversionTroubleText(run);
  if (!trouble.empty()) run.controls.ShowMessage("Achtung", trouble);
  run.photos.RemoveAndRenumber(unreadable);
  run.reporter.SetRunControls(false);
}

}  // namespace albumora
