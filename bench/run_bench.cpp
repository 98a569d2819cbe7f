// Measures whole generation runs in-process.
//   run_bench album <folder> <photos> [width height]   makes an album to measure, or adds the
//                                                      photos it lacks to one
//   run_bench measure <folder> [jobs]                  one run over it; prints the figures
// The run keeps its record of what it made in <folder>/cache/: remove it (and <folder>/site/)
// for a cold run.
// Each measurement should run in a fresh process, so that its peak memory is its own.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "gallery/generation_run.h"
#include "imaging/raster_image.h"
#include "platform/machine.h"
#include "settings/program_values.h"
#include "settings/settings.h"
#include "ui/control_ids.h"
#include "ui/memory_controls.h"

namespace albumora {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

void WriteText(const fs::path& path, std::string_view text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

// A photo-like picture: smooth gradients and a few soft shapes, different for every number.
RasterImage MakePicture(int width, int height, int seed) {
  RasterImage picture(width, height);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = picture.mutable_row(y);
    for (int x = 0; x < width; ++x) {
      const int dx = x - (seed * 97) % width, dy = y - (seed * 57) % height;
      const int ring = ((dx * dx + dy * dy) >> 9) & 0xFF;
      row[3 * x] = static_cast<std::uint8_t>((x * 255 / width + seed * 13) & 0xFF);
      row[3 * x + 1] = static_cast<std::uint8_t>((y * 255 / height + ring / 4) & 0xFF);
      row[3 * x + 2] = static_cast<std::uint8_t>(ring);
    }
  }
  return picture;
}

int MakeAlbum(const fs::path& folder, int count, int width, int height) {
  fs::create_directories(folder / "Album");
  fs::create_directories(folder / "symbole");
  for (int i = 1; i <= count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "IMG_%04d.JPG", i);
    if (fs::exists(folder / "Album" / name)) continue;
    const bool portrait = i % 4 == 0;
    const RasterImage picture =
        MakePicture(portrait ? height : width, portrait ? width : height, i);
    if (!SaveRasterImageAsJpeg(picture, (folder / "Album" / name).string(), 9)) return 1;
  }
  SaveRasterImageAsJpeg(MakePicture(150, 100, 0), (folder / "leer.jpg").string(), 7);
  for (const char* name : {"anfang.gif", "ende.gif", "zurück.gif", "vor.gif", "space.gif"}) {
    WriteText(folder / "symbole" / name, std::string(120, 'g'));
  }
  WriteText(folder / "stil.css", "body { font-family: sans-serif; }\n");
  WriteText(folder / "vorlage._vl",
            "<html>\r\n<head>\r\n<title>##AL_FensterTitel</title>\r\n</head>\r\n<body>\r\n"
            "<h1>##AL_Ueberschrift</h1>\r\n<div><!--##AL_Schleife_Anfang-->\r\n"
            "<!--##AL_NewFoto-->\r\n<a href=\"##AL_Link_Vorschau\">\r\n"
            "<img src=\"##AL_kl_Bild\"></a>\r\n<!--##AL_NewFoto-->\r\n"
            "<a href=\"##AL_Link_Vorschau\">\r\n<img src=\"##AL_kl_Bild\"></a>\r\n"
            "<!--##AL_NewFoto-->\r\n<a href=\"##AL_Link_Vorschau\">\r\n"
            "<img src=\"##AL_kl_Bild\"></a>\r\n<!--##AL_NewFoto-->\r\n"
            "<a href=\"##AL_Link_Vorschau\">\r\n<img src=\"##AL_kl_Bild\"></a>\r\n"
            "<!--##AL_Schleife_Ende--></div>\r\n<p>##AL_Version$</p>\r\n</body>\r\n</html>\r\n");
  WriteText(folder / "vorlage.gvl",
            "<html>\r\n<head>\r\n</head>\r\n<body>\r\n<img src=\"##AL_gr_Bild\">\r\n"
            "<p>##AL_Name</p>\r\n<p>##AL_Pixel</p>\r\n<p>##AL_Size</p>\r\n</body>\r\n</html>\r\n");
  return 0;
}

// Notes when the conversion ends; everything after it is pages, copies and the settings save.
class TimingReporter : public ProgressReporter {
 public:
  void ShowPhotoCount(int count) override { photos = count; }
  void ShowStatus(std::string_view text) override {
    if (text.substr(0, 9) == "Schreibe ") ++pages;
  }
  void SetProgressMaximum(int) override {}
  void SetProgress(int) override {}
  void KeepAlive(int) override {}
  void SetRunControls(bool running) override {
    if (!running) conversion_end = Clock::now();
  }
  void Pause(int) override {}

  int photos = 0;
  int pages = 0;
  Clock::time_point conversion_end;
};

int Measure(const fs::path& folder, int jobs) {
  fs::current_path(folder);
  MemoryControls controls;
  LoadSettings(controls, "keine.alb");
  const std::string root = fs::current_path().string() + "/";
  controls.SetControlText(ctl::kSourceFolder, root + "Album/");
  controls.SetControlText(ctl::kTargetFolder, root + "site/");
  controls.SetControlText(ctl::kSmallTemplate, root + "vorlage._vl");
  controls.SetControlText(ctl::kBigTemplate, root + "vorlage.gvl");
  controls.SetControlText(ctl::kControlSymbolFolder, root + "symbole/");
  controls.SetControlText(ctl::kCssFile, root + "stil.css");
  controls.SetControlText(ctl::kRowsPerPage, "5");
  controls.SetControlState(ctl::kSmallPixels, 150);
  controls.SetControlState(ctl::kBigPixels, 1024);
  controls.SetControlState(ctl::kSmallQuality, 7);
  controls.SetControlState(ctl::kBigQuality, 8);
  controls.SetControlState(ctl::kWebalbum, 1);
  controls.SetControlState(ctl::kExternalCss, 1);
  controls.SetControlState(ctl::kMetaTags, 1);
  fs::create_directories(root + "tmp");
  ProgramValues values = MakeProgramValues(LocalDate{2024, 5, 1}, root + "tmp/");
  values.source_folder_name = "Album";
  values.cache_folder = root + "cache/";
  ConversionOptions options;
  options.jobs = jobs;

  TimingReporter reporter;
  const Clock::time_point start = Clock::now();
  const RunOutcome outcome = GenerationRun(controls, reporter, values, options);
  const Clock::time_point end = Clock::now();
  if (outcome != RunOutcome::kFinished || !controls.messages().empty()) {
    std::fprintf(stderr, "run did not finish cleanly (%zu messages)\n", controls.messages().size());
    return 1;
  }
  const double total = std::chrono::duration<double>(end - start).count();
  const double conversion = std::chrono::duration<double>(reporter.conversion_end - start).count();
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf(
      "photos %d pages %d total_s %.3f conversion_s %.3f photos_per_s %.2f "
      "outside_conversion_pct %.2f peak_rss_kb %ld cores %d\n",
      reporter.photos, reporter.pages, total, conversion, reporter.photos / total,
      100.0 * (total - conversion) / total, usage.ru_maxrss, UsableCores());
  return 0;
}

}  // namespace
}  // namespace albumora

int main(int argc, char** argv) {
  const std::string_view mode = argc > 1 ? argv[1] : "";
  if (mode == "album" && (argc == 4 || argc == 6)) {
    return albumora::MakeAlbum(argv[2], std::atoi(argv[3]), argc == 6 ? std::atoi(argv[4]) : 3000,
                               argc == 6 ? std::atoi(argv[5]) : 2000);
  }
  if (mode == "measure" && (argc == 3 || argc == 4)) {
    return albumora::Measure(argv[2], argc == 4 ? std::atoi(argv[3]) : 0);
  }
  std::fprintf(stderr,
               "usage: run_bench album <folder> <photos> [width height]\n"
               "       run_bench measure <folder> [jobs]\n");
  return 2;
}
