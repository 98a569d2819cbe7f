// Checks on template and page text shared by the resource tests.
#ifndef ALBUMORA_TESTS_RESOURCES_HTML_CHECKS_H_
#define ALBUMORA_TESTS_RESOURCES_HTML_CHECKS_H_

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace albumora {

// Every "##AL_" word of the template format, the loop markers' words included.
const std::vector<std::string>& TemplateWords();

// The template words that occur in `line`, longest match first at each "##AL_" (so
// "##AL_Version$" is not also counted as "##AL_Version"). Unknown words come back as "##AL_?" +
// the letters that follow.
std::vector<std::string> WordsInLine(std::string_view line);

// Checks that the elements named in `elements` open and close in proper nesting in `html`;
// every other tag is ignored, and so are comments. Empty when all is well, otherwise what went
// wrong first.
std::string NestingFault(std::string_view html, const std::set<std::string>& elements);

// The values of every href="..." and src="..." attribute, in order.
std::vector<std::string> LinkTargets(std::string_view html);

}  // namespace albumora

#endif  // ALBUMORA_TESTS_RESOURCES_HTML_CHECKS_H_
