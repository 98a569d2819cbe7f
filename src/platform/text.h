// Text as the program keeps it: std::string holding Windows-1252 bytes.
#ifndef ALBUMORA_PLATFORM_TEXT_H_
#define ALBUMORA_PLATFORM_TEXT_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace albumora {

// Splits 8-bit text into lines. A line ends at CR LF, a lone LF, a lone CR, a NUL byte or the end
// of the data; the terminator is not part of the line and a last line without terminator is still
// a line. Empty data gives no lines.
std::vector<std::string> SplitTextLines(std::string_view data);

// The program's own lower-casing: A-Z and the bytes 0xC0-0xDE move up by 0x20, nothing else.
std::string LowerCase(std::string_view text);

// Upper-cased key used to sort file names the way Windows lists an NTFS folder:
// a-z, 0xE0-0xFE (but 0xF7) down by 0x20, and the few Windows-1252 pairs outside that range.
std::string SortKey(std::string_view name);

// Decimal without leading zeros, "-" for negative numbers ("%d" / "%lld").
std::string Decimal(long long value);

// Windows-1252 <-> UTF-8. Every Windows-1252 byte has a UTF-8 form (the five unassigned bytes
// map to the C1 controls of the same number). Returns nullopt for text with no Windows-1252 form
// (a character outside the code page, or malformed UTF-8).
std::string ToUtf8(std::string_view cp1252);
std::optional<std::string> FromUtf8(std::string_view utf8);

// A UTF-8 literal of the program's own texts ("Lösche ...") as Windows-1252. Characters without a
// Windows-1252 form become '?'; the program's own texts have none.
std::string Cp1252(std::string_view utf8);

}  // namespace albumora

#endif  // ALBUMORA_PLATFORM_TEXT_H_
