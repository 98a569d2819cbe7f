#include "gallery/convert_photos.h"

#include <utility>
#include <vector>

#include "imaging/photo_copies.h"
#include "imaging/raster_image.h"
#include "platform/files.h"
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

bool SaveJpeg(RunState& run, const RasterImage& image, const std::string& path, int step) {
  if (SaveRasterImageAsJpeg(image, path, step)) return true;
  NoteFailedSave(run, path);
  return false;
}

// Both copies are scaled from the decoded source: the small one is not made from the big one.
// False when the photo cannot go into the gallery: it could not be read, or one of its copies
// could not be saved, so that its page would link to a picture that is not there.
bool ConvertPhoto(RunState& run, int number, ImagingWorkspace& workspace) {
  PhotoEntry& entry = run.photos.MutableEntry(number);
  const std::string source = SourceFolder(run) + entry.listed_name;
  PhotoCopies copies;
  std::string error;
  if (!ConvertPhotoFile(source, run.State(ctl::kBigPixels), run.State(ctl::kSmallPixels), &copies,
                        &error, &workspace)) {
    run.trouble.undecodable.push_back(DisplayName(entry.listed_name) +
                                      (error.empty() ? "" : " (" + error + ")"));
    return false;
  }
  entry.pixel = Decimal(copies.full.width) + "*" + Decimal(copies.full.height);
  entry.size = Decimal(static_cast<long long>(FileSize(source).value_or(0) / 1024)) + " KB";

  const std::string gallery = GalleryFolder(run);
  bool saved = true;
  if (run.Checked(ctl::kOriginalDownload)) {
    CreateFolder(gallery + "original");
    const std::string copy = gallery + "original" + kPathSeparator + entry.name;
    if (!CopyFileReplacing(source, copy)) {
      NoteFailedSave(run, copy);
      saved = false;
    }
  }
  if (!SaveJpeg(run, copies.big, gallery + "gr" + kPathSeparator + "g_" + entry.name,
                run.State(ctl::kBigQuality))) {
    saved = false;
  }
  copies.big.Release();
  if (!SaveJpeg(run, copies.small, gallery + "kl" + kPathSeparator + "k_" + entry.name,
                run.State(ctl::kSmallQuality))) {
    saved = false;
  }
  if (!saved) run.trouble.unsaved.push_back(DisplayName(entry.listed_name));
  return saved;
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
  SaveJpeg(run, empty, GalleryFolder(run) + "kl" + kPathSeparator + "leer.jpg",
           run.State(ctl::kSmallQuality));
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

  ImagingWorkspace workspace;
  std::vector<bool> unreadable(static_cast<std::size_t>(count) + 1, false);
  for (int n = 1; n <= count; ++n) {
    run.reporter.KeepAlive(1);
    run.reporter.SetProgress(n);
    run.reporter.ShowStatus("Bearbeite Bild: " + Decimal(n) + " / " + Decimal(count));
    unreadable[static_cast<std::size_t>(n)] = !ConvertPhoto(run, n, workspace);
    run.reporter.KeepAlive(1);
  }
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
