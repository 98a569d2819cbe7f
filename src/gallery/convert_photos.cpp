#include "gallery/convert_photos.h"

#include <utility>
#include <vector>

#include "imaging/colour_profile.h"
#include "imaging/raster_image.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "ui/control_ids.h"

namespace albumora {
namespace {

// Long lists are cut in the message; the user needs examples, not a thousand lines.
constexpr std::size_t kMaxNamesShown = 20;

std::string SourceFolder(const RunState& run) {
  return WithTrailingSeparator(run.Text(ctl::kSourceFolder));
}

void NoteFailedSave(RunState& run, const std::string& path) {
  if (run.trouble.failed_saves++ == 0) run.trouble.first_failed_save = path;
}

void SaveJpeg(RunState& run, const RasterImage& image, const std::string& path, int step) {
  if (!SaveRasterImageAsJpeg(image, path, step)) NoteFailedSave(run, path);
}

// Both copies are scaled from the decoded source: the small one is not made from the big one.
// Each is converted to sRGB after scaling, when the photo carries a colour profile.
bool ConvertPhoto(RunState& run, int number, ImagingWorkspace& workspace) {
  PhotoEntry& entry = run.photos.MutableEntry(number);
  const std::string source = SourceFolder(run) + entry.listed_name;
  RasterImage photo;
  std::string error;
  if (!LoadRasterImage(source, &photo, &error, &workspace)) {
    run.trouble.undecodable.push_back(DisplayName(entry.listed_name) +
                                      (error.empty() ? "" : " (" + error + ")"));
    return false;
  }
  RasterImage big = photo;  // shares the pixels until it is scaled
  entry.pixel = Decimal(photo.width()) + "*" + Decimal(photo.height());
  entry.size = Decimal(static_cast<long long>(FileSize(source).value_or(0) / 1024)) + " KB";

  const std::string gallery = GalleryFolder(run);
  if (run.Checked(ctl::kOriginalDownload)) {
    CreateFolder(gallery + "original");
    const std::string copy = gallery + "original" + kPathSeparator + entry.name;
    if (!CopyFileReplacing(source, copy)) NoteFailedSave(run, copy);
  }
  const PictureSize big_size =
      FitLongSide(photo.width(), photo.height(), run.State(ctl::kBigPixels));
  ScaleRasterImage(big, big_size.width, big_size.height, &workspace);
  ConvertToSrgb(big);
  SaveJpeg(run, big, gallery + "gr" + kPathSeparator + "g_" + entry.name,
           run.State(ctl::kBigQuality));
  big.Release();

  const PictureSize small_size =
      FitLongSide(photo.width(), photo.height(), run.State(ctl::kSmallPixels));
  ScaleRasterImage(photo, small_size.width, small_size.height, &workspace);
  ConvertToSrgb(photo);
  SaveJpeg(run, photo, gallery + "kl" + kPathSeparator + "k_" + entry.name,
           run.State(ctl::kSmallQuality));
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
  SaveJpeg(run, empty, GalleryFolder(run) + "kl" + kPathSeparator + "leer.jpg",
           run.State(ctl::kSmallQuality));
}

void AppendNameList(std::string& text, std::string_view heading,
                    const std::vector<std::string>& names) {
  if (names.empty()) return;
  if (!text.empty()) text += "\n\n";
  text += Cp1252(heading);
  for (std::size_t i = 0; i < names.size() && i < kMaxNamesShown; ++i) text += "\n" + names[i];
  if (names.size() > kMaxNamesShown) {
    text += Cp1252("\n… und ") + Decimal(static_cast<long long>(names.size() - kMaxNamesShown)) +
            " weitere";
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
  for (const LeftOutName& left_out : run.left_out) {
    (left_out.reason == LeftOutReason::kSameLowerCaseName ? case_twins : bad_names)
        .push_back(DisplayName(left_out.name));
  }
  std::string text;
  AppendNameList(text,
                 "Diese Dateien wurden ausgelassen, weil ihr Name Zeichen enthält, die in einer "
                 "Webseite nicht verwendet werden können (zum Beispiel < > : \" | ? * \\ oder "
                 "Zeichen außerhalb von Windows-1252). Bitte benennen Sie sie um:",
                 bad_names);
  AppendNameList(text,
                 "Diese Dateien wurden ausgelassen, weil es schon ein Foto mit demselben Namen in "
                 "anderer Groß- und Kleinschreibung gibt. Bitte benennen Sie sie um:",
                 case_twins);
  AppendNameList(text,
                 "Diese Dateien wurden ausgelassen, weil sie nicht als Foto gelesen werden "
                 "konnten:",
                 run.trouble.undecodable);
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
  PhotoScan scan = ScanPhotoFolder(run.Text(ctl::kSourceFolder));
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
