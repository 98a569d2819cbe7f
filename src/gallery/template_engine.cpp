#include "gallery/template_engine.h"

#include <array>
#include <utility>

#include "platform/files.h"
#include "platform/text.h"
#include "ui/control_ids.h"

namespace albumora {
namespace {

enum class Value {
  kWindowTitle,
  kHeading,
  kName,
  kBigPicture,
  kSmallPicture,
  kPixel,
  kSize,
  kPageLink,
  kNumber,
  kDownload,
  kDateDmy,
  kDateYmd,
  kGeneratorText,
  kVersion,
};

struct Placeholder {
  std::string_view word;
  Value value;
};

// The order matters: only the first kind a line holds is filled, and "##AL_Version$" must be met
// before the "##AL_Version" it begins with.
constexpr std::array<Placeholder, 14> kPlaceholders = {{
    {"##AL_FensterTitel", Value::kWindowTitle},
    {"##AL_Ueberschrift", Value::kHeading},
    {"##AL_Name", Value::kName},
    {"##AL_gr_Bild", Value::kBigPicture},
    {"##AL_kl_Bild", Value::kSmallPicture},
    {"##AL_Pixel", Value::kPixel},
    {"##AL_Size", Value::kSize},
    {"##AL_Link_Vorschau", Value::kPageLink},
    {"##AL_Nummer", Value::kNumber},
    {"##AL_Download", Value::kDownload},
    {"##AL_Datum", Value::kDateDmy},
    {"##AL_Date", Value::kDateYmd},
    {"##AL_Version$", Value::kGeneratorText},
    {"##AL_Version", Value::kVersion},
}};

// The loop block knows fewer placeholders and tests them in its own order ("##AL_Nummer" before
// "##AL_Name"); a template may rely on that difference.
constexpr std::array<Placeholder, 6> kLoopPlaceholders = {{
    {"##AL_Link_Vorschau", Value::kPageLink},
    {"##AL_Nummer", Value::kNumber},
    {"##AL_Name", Value::kName},
    {"##AL_Pixel", Value::kPixel},
    {"##AL_Size", Value::kSize},
    {"##AL_Download", Value::kDownload},
}};

const std::string& EntryField(const PhotoEntry& entry, Value value) {
  switch (value) {
    case Value::kName:
      return entry.name;
    case Value::kBigPicture:
      return entry.gr_bild;
    case Value::kSmallPicture:
      return entry.kl_bild;
    case Value::kPixel:
      return entry.pixel;
    case Value::kSize:
      return entry.size;
    case Value::kPageLink:
      return entry.link_vorschau;
    case Value::kNumber:
      return entry.nummer;
    case Value::kDownload:
      return entry.download;
    default:
      break;
  }
  static const std::string kNone;
  return kNone;
}

std::string PlaceholderValue(const RunState& run, Value value, int number) {
  switch (value) {
    case Value::kWindowTitle:
      return run.Text(ctl::kWindowTitle);
    case Value::kHeading:
      return run.Text(ctl::kHeading);
    case Value::kDateDmy:
      return run.values.start_date_dmy;
    case Value::kDateYmd:
      return run.values.start_date_ymd;
    case Value::kGeneratorText:
      return run.values.generator_text;
    case Value::kVersion:
      return run.values.version_full;
    default:
      return EntryField(run.photos.Entry(number), value);
  }
}

}  // namespace

std::string ReplaceAll(std::string_view line, std::string_view word, std::string_view value) {
  std::string result;
  if (word.empty()) return std::string(line);
  std::size_t from = 0;
  for (std::size_t at = line.find(word); at != std::string_view::npos; at = line.find(word, from)) {
    result.append(line, from, at - from);
    result.append(value);
    from = at + word.size();
  }
  result.append(line, from);
  return result;
}

std::string ReplacePlaceholders(const RunState& run, std::string_view line, int number) {
  for (const Placeholder& placeholder : kPlaceholders) {
    if (Contains(line, placeholder.word)) {
      return ReplaceAll(line, placeholder.word, PlaceholderValue(run, placeholder.value, number));
    }
  }
  return std::string(line);
}

std::string ReplaceThumbnailPlaceholder(std::string_view line, std::string_view path) {
  return ReplaceAll(line, kThumbnailPlaceholder, path == "kl/k_" ? "kl/leer.jpg" : path);
}

OverviewTemplate SplitOverviewLines(std::vector<std::string> lines) {
  OverviewTemplate overview;
  std::size_t i = 0;
  while (i < lines.size()) {
    const bool start = Contains(lines[i], kLoopStartMarker);
    overview.head_lines.push_back(std::move(lines[i++]));
    if (start) break;
  }
  while (i < lines.size()) {
    const bool end = Contains(lines[i], kLoopEndMarker);
    if (Contains(lines[i], kThumbnailPlaceholder)) ++overview.thumbs_per_row;
    overview.loop_lines.push_back(std::move(lines[i++]));
    if (end) break;
  }
  while (i < lines.size()) overview.tail_lines.push_back(std::move(lines[i++]));
  return overview;
}

bool ReadTemplateLines(std::string_view path, std::vector<std::string>* lines) {
  std::string data;
  if (!ReadWholeFile(path, &data, kMaxTemplateBytes)) return false;
  *lines = SplitTextLines(data);
  return true;
}

bool SplitOverviewTemplate(RunState& run) {
  run.overview = OverviewTemplate{};
  std::vector<std::string> lines;
  if (!ReadTemplateLines(run.Text(ctl::kSmallTemplate), &lines)) {
    run.controls.ShowMessage("Achtung", Cp1252("Vorlagen Datei konnte nicht geöffnet werden!"));
    return false;
  }
  run.overview = SplitOverviewLines(std::move(lines));
  return true;
}

void ExpandLoopBlock(const OverviewTemplate& overview, const PhotoList& photos, int passes,
                     int stop_value, int& photo_index, const LineSink& write_line) {
  if (overview.loop_lines.empty()) return;
  // The last loop line is the end marker line (or the template's last line) and never written.
  const std::size_t written_lines = overview.loop_lines.size() - 1;
  for (int pass = 0; pass < passes; ++pass) {
    for (std::size_t i = 0; i < written_lines; ++i) {
      const std::string& line = overview.loop_lines[i];
      if (Contains(line, kNewPhotoMarker)) {
        ++photo_index;
        write_line(line);
      } else if (Contains(line, kThumbnailPlaceholder)) {
        // The link carries the name escaped; a cell past the last photo has no name at all.
        const PhotoEntry& entry = photos.Entry(photo_index);
        write_line(ReplaceThumbnailPlaceholder(line, entry.name.empty() ? "kl/k_" : entry.kl_bild));
      } else {
        const Placeholder* found = nullptr;
        for (const Placeholder& placeholder : kLoopPlaceholders) {
          if (Contains(line, placeholder.word)) {
            found = &placeholder;
            break;
          }
        }
        if (found == nullptr) {
          write_line(line);
        } else {
          write_line(
              ReplaceAll(line, found->word, EntryField(photos.Entry(photo_index), found->value)));
        }
      }
      if (photo_index >= stop_value + 1) return;
    }
  }
}

}  // namespace albumora
