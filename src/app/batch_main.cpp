// albumora-batch: one generation run without a window, from a settings file: the one named on
// the command line, the one of a named folder, or the one of the current folder. Progress goes to
// standard output, every message box to standard error.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "app/batch_options.h"
#include "gallery/convert_photos.h"
#include "gallery/generation_run.h"
#include "gallery/photo_list.h"
#include "platform/cache_files.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/posix_handles.h"
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
    "Aufruf: albumora-batch [OPTIONEN] [VERZEICHNIS | EINSTELLUNGSDATEI]\n"
    "\n"
    "Erstellt eine Fotowebseite ohne Fenster. Die Einstellungen kommen aus der Datei\n"
    "Einstellung.alb im angegebenen Verzeichnis, aus der angegebenen Einstellungsdatei\n"
    "oder, ohne Angabe, aus Einstellung.alb im aktuellen Verzeichnis. Relative Pfade in\n"
    "den Einstellungen gelten vom Verzeichnis der Einstellungsdatei aus. Nach dem Lauf\n"
    "werden die Einstellungen dorthin zurückgeschrieben, wie es das Programm nach jedem\n"
    "Lauf tut. Fotos, deren Kopien noch von einem früheren Lauf mit denselben\n"
    "Einstellungen stammen, werden nicht noch einmal umgewandelt.\n"
    "\n"
    "Optionen:\n"
    "  --quiet     keine Fortschrittsanzeige; nur Meldungen und Rückgabewert\n"
    "  --jobs N    Anzahl der Arbeits-Threads (Vorgabe: alle Kerne, die der Prozess\n"
    "              verwenden darf)\n"
    "  --full      jedes Foto neu umrechnen, auch wenn es schon umgerechnet ist\n"
    "  --help      diese Hilfe\n"
    "  --version   die Programmversion\n"
    "\n"
    "Rückgabewert: 0 fertig, 1 der Lauf musste abbrechen, 2 falscher Aufruf oder keine\n"
    "lesbare Einstellungsdatei.\n";

// What the command line asks for.
struct BatchCall {
  bool help = false;
  bool version = false;
  bool quiet = false;
  std::optional<std::string> place;  // a folder or a settings file, as given
};

// One option of the command line. Options that take a value read it from the next argument.
struct OptionRow {
  std::string_view name;
  bool takes_value;
  void (*apply)(BatchCall& call, std::string_view value);
};

constexpr OptionRow kOptions[] = {
    {"--help", false, [](BatchCall& call, std::string_view) { call.help = true; }},
    {"--version", false, [](BatchCall& call, std::string_view) { call.version = true; }},
    {"--quiet", false, [](BatchCall& call, std::string_view) { call.quiet = true; }},
};

const OptionRow* FindOption(std::string_view name) {
  for (const OptionRow& row : kOptions) {
    if (row.name == name) return &row;
  }
  return nullptr;
}

// The call, or the one line that says what is wrong with it.
std::variant<BatchCall, std::string> ParseCall(std::span<const std::string_view> arguments) {
  BatchCall call;
  bool options_end = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    if (!options_end && argument == "--") {
      options_end = true;
    } else if (!options_end && argument.size() > 1 && argument.front() == '-') {
      const OptionRow* row = FindOption(argument);
      if (row == nullptr) return "unbekannte Option \"" + std::string(argument) + "\"";
      std::string_view value;
      if (row->takes_value) {
        if (i + 1 == arguments.size()) return std::string(argument) + " braucht einen Wert";
        value = arguments[++i];
      }
      row->apply(call, value);
    } else if (call.place) {
      return "mehr als ein Verzeichnis oder eine Einstellungsdatei angegeben";
    } else {
      call.place = std::string(argument);
    }
  }
  return call;
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
  // Without `out` (quiet) nothing is shown.
  explicit TerminalProgressReporter(std::FILE* out)
      : out_(out), terminal_(out != nullptr && isatty(fileno(out))) {}

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
    if (out_ == nullptr) return;
    std::fprintf(out_, "\r%s\x1b[K", TerminalText(line).c_str());
    std::fflush(out_);
    line_open_ = true;
  }

  void PrintLine(std::string_view line) {
    EndLine();
    if (out_ == nullptr) return;
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

void PrintError(std::string_view utf8_line) {
  std::fprintf(stderr, "albumora-batch: %s\n", std::string(utf8_line).c_str());
}

// The settings file of the run, split into the folder to change into (empty: the current one)
// and the file's name there.
struct SettingsPlace {
  std::string folder;
  std::string file_name;
};

// Where the settings file of `given` is, or the line that says why there is none. Nothing is
// opened that could block (a FIFO) or is not a plain file.
std::variant<SettingsPlace, std::string> LocateSettings(const std::optional<std::string>& given) {
  SettingsPlace place{"", std::string(kSettingsFileName)};
  std::string settings = place.file_name;
  if (given) {
    struct stat info;
    if (stat(given->c_str(), &info) != 0) {
      return "\"" + DisplayName(*given) + "\" gibt es nicht (" + std::strerror(errno) + ")";
    }
    if (S_ISDIR(info.st_mode)) {
      place.folder = *given;
      settings = WithTrailingSeparator(*given) + place.file_name;
    } else {
      place.folder = FolderPart(*given);
      place.file_name = FileNamePart(*given);
      settings = *given;
    }
  }
  struct stat info;
  if (stat(settings.c_str(), &info) != 0) {
    if (!given) return "Im aktuellen Verzeichnis gibt es keine Einstellungsdatei Einstellung.alb.";
    return "In \"" + DisplayName(place.folder) + "\" gibt es keine Einstellungsdatei " +
           place.file_name + ".";
  }
  if (S_ISDIR(info.st_mode)) {
    return "\"" + DisplayName(settings) + "\" ist ein Verzeichnis, keine Einstellungsdatei.";
  }
  if (!S_ISREG(info.st_mode)) {
    return "\"" + DisplayName(settings) +
           "\" ist keine gewöhnliche Datei, keine Einstellungsdatei.";
  }
  const UniqueFd file(open(settings.c_str(), O_RDONLY | O_CLOEXEC));
  if (!file.valid()) {
    return "\"" + DisplayName(settings) + "\" kann nicht gelesen werden (" + std::strerror(errno) +
           ")";
  }
  return place;
}

int Run(const BatchCall& call, const ConversionOptions& options) {
  const auto located = LocateSettings(call.place);
  if (const std::string* error = std::get_if<std::string>(&located)) {
    PrintError(*error);
    return kExitUsage;
  }
  const SettingsPlace& place = std::get<SettingsPlace>(located);
  const std::optional<std::string> settings_file = FromUtf8(place.file_name);
  if (!settings_file) {
    PrintError("\"" + DisplayName(place.file_name) +
               "\": Dieser Name enthält Zeichen, die Albumora "
               "nicht verwenden kann.");
    return kExitUsage;
  }
  // Relative paths in the settings are meant from the settings file's folder, as when the
  // program is started there.
  if (!place.folder.empty() && chdir(place.folder.c_str()) != 0) {
    PrintError("In \"" + DisplayName(place.folder) + "\" kann nicht gewechselt werden (" +
               std::strerror(errno) + ")");
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
  LoadSettings(controls, *settings_file);
  ProgramValues values = MakeProgramValues(TodayLocal(), user_temp);
  values.temp_folder = user_temp + FromUtf8(FileNamePart(own_temp)).value_or("") + kPathSeparator;
  values.settings_file = *settings_file;
  values.cache_folder = UserCacheFolder("albumora");
  values.max_names_listed = SIZE_MAX;  // standard error has room for every name, one a line
  values.source_folder_name =
      DeriveSourceFolderName(WithTrailingSeparator(controls.GetControlText(ctl::kSourceFolder)));

  TerminalProgressReporter reporter(call.quiet ? nullptr : stdout);
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
  if (!call.quiet) std::printf("%s\n", TerminalText("Galerie: " + gallery).c_str());
  return kExitFinished;
}

}  // namespace
}  // namespace albumora

int main(int argc, char** argv) {
  using namespace albumora;
  const ConversionArguments conversion =
      TakeConversionArguments(std::vector<std::string_view>(argv + 1, argv + argc));
  if (!conversion.error.empty()) {
    PrintError(conversion.error + " (albumora-batch --help zeigt den Aufruf)");
    return kExitUsage;
  }
  const auto parsed = ParseCall(conversion.rest);
  if (const std::string* error = std::get_if<std::string>(&parsed)) {
    PrintError(*error + " (albumora-batch --help zeigt den Aufruf)");
    return kExitUsage;
  }
  const BatchCall& call = std::get<BatchCall>(parsed);
  if (call.help) {
    std::fputs(kUsage.data(), stdout);
    return kExitFinished;
  }
  if (call.version) {
    const ProgramValues values = MakeProgramValues(LocalDate{}, "");
    std::printf("%s\n", ToUtf8(values.generator_text).c_str());
    return kExitFinished;
  }
  ConversionOptions options;
  options.jobs = conversion.jobs;
  options.full = conversion.full;
  return Run(call, options);
}
