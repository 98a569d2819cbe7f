#include "html_checks.h"

#include <algorithm>
#include <cctype>

namespace albumora {

const std::vector<std::string>& TemplateWords() {
  static const std::vector<std::string> words = {
      "##AL_FensterTitel",  "##AL_Ueberschrift",  "##AL_Name",
      "##AL_gr_Bild",       "##AL_kl_Bild",       "##AL_Pixel",
      "##AL_Size",          "##AL_Link_Vorschau", "##AL_Nummer",
      "##AL_Download",      "##AL_Datum",         "##AL_Date",
      "##AL_Version$",      "##AL_Version",       "##AL_Schleife_Anfang",
      "##AL_Schleife_Ende", "##AL_NewFoto"};
  return words;
}

std::vector<std::string> WordsInLine(std::string_view line) {
  std::vector<std::string> found;
  for (std::size_t at = line.find("##AL_"); at != std::string_view::npos;
       at = line.find("##AL_", at + 1)) {
    const std::string_view rest = line.substr(at);
    std::string best;
    for (const std::string& word : TemplateWords()) {
      if (rest.starts_with(word) && word.size() > best.size()) best = word;
    }
    // A known word must not run on into more letters ("##AL_Namen" is no placeholder).
    const std::size_t end = at + best.size();
    const bool runs_on = !best.empty() && end < line.size() &&
                         (std::isalnum(static_cast<unsigned char>(line[end])) || line[end] == '_');
    if (best.empty() || runs_on) {
      std::size_t stop = at + 5;
      while (stop < line.size() && (std::isalnum(static_cast<unsigned char>(line[stop])) ||
                                    line[stop] == '_' || line[stop] == '$')) {
        ++stop;
      }
      if (stop == at + 5) continue;  // "##AL_" alone, as prose in a comment
      found.push_back("##AL_?" + std::string(line.substr(at + 5, stop - at - 5)));
    } else {
      found.push_back(best);
    }
  }
  return found;
}

std::string NestingFault(std::string_view html, const std::set<std::string>& elements) {
  std::vector<std::string> open;
  std::size_t at = 0;
  while ((at = html.find('<', at)) != std::string_view::npos) {
    if (html.substr(at).starts_with("<!--")) {
      const std::size_t end = html.find("-->", at + 4);
      if (end == std::string_view::npos) return "comment without end";
      at = end + 3;
      continue;
    }
    const bool closing = at + 1 < html.size() && html[at + 1] == '/';
    std::size_t name_start = at + (closing ? 2 : 1);
    std::size_t name_end = name_start;
    while (name_end < html.size() && std::isalnum(static_cast<unsigned char>(html[name_end]))) {
      ++name_end;
    }
    std::string name(html.substr(name_start, name_end - name_start));
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    at = name_end;
    if (!elements.contains(name)) continue;
    if (!closing) {
      open.push_back(name);
    } else if (open.empty() || open.back() != name) {
      return "</" + name + "> closes " + (open.empty() ? "nothing" : "<" + open.back() + ">");
    } else {
      open.pop_back();
    }
  }
  return open.empty() ? "" : "<" + open.back() + "> is never closed";
}

std::vector<std::string> LinkTargets(std::string_view html) {
  std::vector<std::string> targets;
  for (std::string_view attribute : {" href=\"", " src=\""}) {
    for (std::size_t at = html.find(attribute); at != std::string_view::npos;
         at = html.find(attribute, at + 1)) {
      const std::size_t start = at + attribute.size();
      const std::size_t end = html.find('"', start);
      if (end == std::string_view::npos) break;
      targets.emplace_back(html.substr(start, end - start));
    }
  }
  return targets;
}

}  // namespace albumora
