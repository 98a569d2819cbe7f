// albumora-batch: one generation run without a window, from the settings file of the current
// folder. Progress goes to standard output, every message box to standard error.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/batch_options.h"
#include "gallery/generation_run.h"
#include "gallery/photo_list.h"
#include "platform/cache_files.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "settings/program_values.h"
#include "settings/settings.h"
#include "ui/control_ids.h"
#include "ui/memory_controls.h"

namespace albumora {
namespace {

constexpr int kExitFinished = 0;
constexpr int kExitRunStopped = 1;
constexpr int kExitUsage = 2;

constexpr std::string_view kUsage =
    "Aufruf: albumora-batch [--jobs N] [--full] | --help | --version\n"
    "\n"
    "Erstellt eine Fotowebseite ohne Fenster. Alle Einstellungen kommen aus der Datei\n"
    "Einstellung.alb im aktuellen Verzeichnis; nach dem Lauf werden sie dorthin\n"
    "zurückgeschrieben, wie es das Programm nach jedem Lauf tut. Fotos, deren Kopien\n"
    "noch von einem früheren Lauf mit denselben Einstellungen stammen, werden nicht\n"
    "noch einmal umgewandelt.\n"
    "\n";
constexpr std::string_view kExitCodes =
    "\nRückgabewert: 0 fertig, 1 der Lauf musste abbrechen, 2 falscher Aufruf.\n";

void PrintUsage(std::FILE* out) {
  std::fputs(kUsage.data(), out);
  std::fputs(kConversionOptionsUsage.data(), out);
  std::fputs(kExitCodes.data(), out);
}

// Text for the terminal: UTF-8, with control characters other than line feeds shown as '?', so
// that a file name can never steer the terminal.
std::string TerminalText(std::string_view cp1252) {
  std::string text;
  for (const char c : cp1252) text += IsControlCharacter(c) && c != '\n' ? '?' : c;
  return ToUtf8(text);
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// Draws one progress line that is redrawn in place on a terminal; elsewhere every status is a
// line of its own, so a log stays readable.
class TerminalProgressReporter : public ProgressReporter {
 public:
  explicit TerminalProgressReporter(std::FILE* out) : out_(out), terminal_(isatty(fileno(out))) {}

  void ShowPhotoCount(int count) override {
    PrintLine(std::string(kPhotoCountPrefix) + Decimal(count));
  }

  void ShowStatus(std::string_view text) override {
    if (StartsWith(text, "Bearbeite Bild: ")) {
      if (!terminal_) return PrintLine(text);
      constexpr int kBarWidth = 30;
      const int filled =
          maximum_ > 0 ? static_cast<int>(1LL * kBarWidth * position_ / maximum_) : 0;
      Redraw("Fotos  [" + std::string(static_cast<std::size_t>(filled), '#') +
             std::string(static_cast<std::size_t>(kBarWidth - filled), '.') + "] " +
             Decimal(position_) + " / " + Decimal(maximum_));
    } else if (StartsWith(text, "Schreibe Temp-Datei: ")) {
      ++first_stage_pages_;
      if (!terminal_) return PrintLine(text);
      Redraw(Cp1252("Übersichtsseiten vorbereitet: ") + Decimal(first_stage_pages_));
    } else if (StartsWith(text, "Schreibe ")) {
      ++pages_;
      if (!terminal_) return PrintLine(text);
      Redraw("Seiten geschrieben: " + Decimal(pages_));
    } else {
      PrintLine(text);
    }
  }

  void SetProgressMaximum(int maximum) override { maximum_ = maximum; }
  void SetProgress(int position) override { position_ = position; }
  void KeepAlive(int) override {}  // no window to keep alive
  void SetRunControls(bool) override {}
  void Pause(int) override {}  // the pause is for a person watching a window

  // Ends a progress line that is being redrawn, so that other output starts on a fresh line.
  void EndLine() {
    if (!line_open_) return;
    std::fputc('\n', out_);
    std::fflush(out_);
    line_open_ = false;
  }

 private:
  void Redraw(std::string_view line) {
    std::fprintf(out_, "\r%s\x1b[K", TerminalText(line).c_str());
    std::fflush(out_);
    line_open_ = true;
  }

  void PrintLine(std::string_view line) {
    EndLine();
    std::fprintf(out_, "%s\n", TerminalText(line).c_str());
    std::fflush(out_);
  }

  std::FILE* out_;
  bool terminal_;
  bool line_open_ = false;
  int maximum_ = 0;
  int position_ = 0;
  int first_stage_pages_ = 0;  // overview pages in the temporary folder
  int pages_ = 0;              // pages in the gallery
};

int Run(const ConversionOptions& options) {
  if (!IsRegularFile(kSettingsFileName)) {
    std::fprintf(stderr, "%s",
                 TerminalText(Cp1252("albumora-batch: Im aktuellen Verzeichnis gibt es keine "
                                     "Einstellungsdatei Einstellung.alb.\n"))
                     .c_str());
    return kExitUsage;
  }
  const std::string user_temp = UserTempFolder();
  if (user_temp.empty()) {
    std::fprintf(stderr, "%s",
                 TerminalText(Cp1252("albumora-batch: Es gibt kein eigenes temporäres "
                                     "Verzeichnis für diesen Benutzer.\n"))
                     .c_str());
    return kExitRunStopped;
  }

  // A folder of this run's own inside the user's temporary folder, not the shared "Albumora/":
  // a window or a second batch run working at the same time clears that folder at its start and
  // would take or destroy this run's first-stage pages.
  std::string own_temp = NativePath(user_temp + "Albumora-batch-XXXXXX");
  if (mkdtemp(own_temp.data()) == nullptr) {
    std::fprintf(stderr, "%s",
                 TerminalText(Cp1252("albumora-batch: Im temporären Verzeichnis kann kein "
                                     "Arbeitsverzeichnis angelegt werden.\n"))
                     .c_str());
    return kExitRunStopped;
  }

  MemoryControls controls;
  LoadSettings(controls);
  ProgramValues values = MakeProgramValues(TodayLocal(), user_temp);
  values.temp_folder = user_temp + FromUtf8(FileNamePart(own_temp)).value_or("") + kPathSeparator;
  values.cache_folder = UserCacheFolder("albumora");
  values.source_folder_name =
      DeriveSourceFolderName(WithTrailingSeparator(controls.GetControlText(ctl::kSourceFolder)));
  values.max_names_listed = SIZE_MAX;  // standard error has room for every name, one a line

  TerminalProgressReporter reporter(stdout);
  controls.set_message_callback([&reporter](const MemoryControls::Message& message) {
    reporter.EndLine();
    std::fprintf(stderr, "%s: %s\n", TerminalText(message.title).c_str(),
                 TerminalText(message.text).c_str());
    std::fflush(stderr);
  });

  const RunOutcome outcome = GenerationRun(controls, reporter, values, options);
  reporter.EndLine();
  ClearFolder(values.temp_folder);  // nobody looks at a batch run's first-stage pages later
  if (outcome != RunOutcome::kFinished) return kExitRunStopped;
  std::string gallery = GalleryFolderOf(controls, values);
  if (gallery.empty() || !IsPathSeparator(gallery.front())) gallery = CurrentFolder() + gallery;
  std::printf("%s\n", TerminalText("Galerie: " + gallery).c_str());
  return kExitFinished;
}

}  // namespace
}  // namespace albumora

int main(int argc, char** argv) {
  using namespace albumora;
  const ConversionArguments arguments =
      TakeConversionArguments(std::vector<std::string_view>(argv + 1, argv + argc));
  if (!arguments.error.empty()) {
    std::fprintf(stderr, "albumora-batch: %s\n\n", arguments.error.c_str());
    PrintUsage(stderr);
    return kExitUsage;
  }
  const std::vector<std::string_view>& rest = arguments.rest;
  if (rest.size() == 1 && rest[0] == "--help") {
    PrintUsage(stdout);
    return kExitFinished;
  }
  if (rest.size() == 1 && rest[0] == "--version") {
    const ProgramValues values = MakeProgramValues(LocalDate{}, "");
    std::printf("%s\n", ToUtf8(values.generator_text).c_str());
    return kExitFinished;
  }
  if (!rest.empty()) {
    std::fprintf(stderr, "albumora-batch: unbekannte Angabe \"%s\"\n\n",
                 std::string(rest[0]).c_str());
    PrintUsage(stderr);
    return kExitUsage;
  }
  ConversionOptions options;
  options.jobs = arguments.jobs;
  options.full = arguments.full;
  return Run(options);
}
