// The template format: "##AL_" placeholders filled line by line, and the loop block of the
// small-view template that is repeated for the rows of thumbnails.
#ifndef ALBUMORA_GALLERY_TEMPLATE_ENGINE_H_
#define ALBUMORA_GALLERY_TEMPLATE_ENGINE_H_

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "gallery/run_state.h"

namespace albumora {

inline constexpr std::string_view kLoopStartMarker = "<!--##AL_Schleife_Anfang-->";
inline constexpr std::string_view kLoopEndMarker = "<!--##AL_Schleife_Ende-->";
inline constexpr std::string_view kNewPhotoMarker = "<!--##AL_NewFoto-->";
inline constexpr std::string_view kThumbnailPlaceholder = "##AL_kl_Bild";

// Templates larger than this are refused like a file that cannot be opened.
inline constexpr std::uint64_t kMaxTemplateBytes = std::uint64_t{64} << 20;

using LineSink = std::function<void(std::string_view line)>;

inline bool Contains(std::string_view line, std::string_view word) {
  return line.find(word) != std::string_view::npos;
}

// Every occurrence of `word`, left to right; the inserted text is not scanned again.
std::string ReplaceAll(std::string_view line, std::string_view word, std::string_view value);

// The general pass: the first placeholder kind the line holds (in a fixed order) is filled,
// every occurrence of it; the others stay. `number` chooses the photo entry.
std::string ReplacePlaceholders(const RunState& run, std::string_view line, int number);

// Fills "##AL_kl_Bild" with `path`, or with the empty thumbnail when the cell has no photo.
std::string ReplaceThumbnailPlaceholder(std::string_view line, std::string_view path);

// Splits template lines into head, loop block and tail.
OverviewTemplate SplitOverviewLines(std::vector<std::string> lines);

// Reads and splits the small-view template (control 44) into run.overview. When it cannot be
// read: the message, empty line lists, no thumbnails per row, and false.
bool SplitOverviewTemplate(RunState& run);

// Reads a template file into lines; false when it cannot be read.
bool ReadTemplateLines(std::string_view path, std::vector<std::string>* lines);

// Writes the loop block `passes` times for one overview page, advancing `photo_index` at every
// new-photo marker, and ends the page's block once the index passes `stop_value`.
void ExpandLoopBlock(const OverviewTemplate& overview, const PhotoList& photos, int passes,
                     int stop_value, int& photo_index, const LineSink& write_line);

}  // namespace albumora

#endif  // ALBUMORA_GALLERY_TEMPLATE_ENGINE_H_
