#include "platform/text.h"

#include <array>
#include <cstddef>

namespace albumora {
namespace {

// Unicode code points of the Windows-1252 bytes 0x80..0x9F; every other byte is its own code
// point. The five bytes the code page leaves unassigned map to the C1 control of the same
// number, so that every byte has a form and the mapping is reversible.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80..0x87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88..0x8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90..0x97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98..0x9F
};

char32_t CodePointOf(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
  return byte;
}

// The Windows-1252 byte of a code point, or -1 when the code page has none.
int ByteOf(char32_t code_point) {
  if (code_point < 0x80 || (code_point >= 0xA0 && code_point <= 0xFF)) {
    return static_cast<int>(code_point);
  }
  for (std::size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == code_point) return static_cast<int>(0x80 + i);
  }
  return -1;
}

void AppendUtf8(char32_t code_point, std::string* out) {
  if (code_point < 0x80) {
    out->push_back(static_cast<char>(code_point));
  } else if (code_point < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (code_point >> 6)));
    out->push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
  } else {
    // The table holds nothing above the Basic Multilingual Plane.
    out->push_back(static_cast<char>(0xE0 | (code_point >> 12)));
    out->push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
  }
}

struct Decoded {
  char32_t code_point = 0;
  std::size_t length = 1;  // bytes consumed; 1 for a malformed sequence
  bool valid = false;
};

// The multi-byte forms of UTF-8 by their lead byte: the sequence length, the payload bits of the
// lead byte and the smallest code point the form may carry (anything below is overlong).
struct SequenceForm {
  unsigned char first_lead;
  unsigned char last_lead;
  std::size_t length;
  unsigned char payload_mask;
  char32_t minimum;
};
constexpr std::array<SequenceForm, 3> kSequenceForms = {{
    {0xC2, 0xDF, 2, 0x1F, 0x80},
    {0xE0, 0xEF, 3, 0x0F, 0x800},
    {0xF0, 0xF4, 4, 0x07, 0x10000},
}};

// Decodes one UTF-8 sequence at `pos`, strictly: no overlong forms, no surrogates, nothing above
// U+10FFFF, no truncated sequences.
Decoded DecodeUtf8(std::string_view text, std::size_t pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (lead < 0x80) return {lead, 1, true};
  const SequenceForm* form = nullptr;
  for (const SequenceForm& candidate : kSequenceForms) {
    if (lead >= candidate.first_lead && lead <= candidate.last_lead) form = &candidate;
  }
  if (form == nullptr) return {};
  const std::size_t length = form->length;
  const char32_t minimum = form->minimum;
  char32_t code_point = lead & form->payload_mask;
  if (text.size() - pos < length) return {};
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[pos + i]);
    if ((next & 0xC0) != 0x80) return {};
    code_point = (code_point << 6) | (next & 0x3F);
  }
  if (code_point < minimum || code_point > 0x10FFFF ||
      (code_point >= 0xD800 && code_point <= 0xDFFF)) {
    return {};
  }
  return {code_point, length, true};
}

}  // namespace

std::vector<std::string> SplitTextLines(std::string_view data) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos < data.size()) {
    const std::size_t end = data.find_first_of(std::string_view("\r\n\0", 3), pos);
    if (end == std::string_view::npos) {
      lines.emplace_back(data.substr(pos));
      break;
    }
    lines.emplace_back(data.substr(pos, end - pos));
    const bool crlf = data[end] == '\r' && end + 1 < data.size() && data[end + 1] == '\n';
    pos = end + (crlf ? 2 : 1);
  }
  return lines;
}

std::string LowerCase(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDE)) {
      c = static_cast<char>(byte + 0x20);
    }
  }
  return lower;
}

std::string SortKey(std::string_view name) {
  std::string key(name);
  for (char& c : key) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'a' && byte <= 'z') || (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7)) {
      c = static_cast<char>(byte - 0x20);
    } else if (byte == 0x9A || byte == 0x9C || byte == 0x9E) {  // š œ ž
      c = static_cast<char>(byte - 0x10);
    } else if (byte == 0xFF) {  // ÿ
      c = static_cast<char>(0x9F);
    }
  }
  return key;
}

std::string Decimal(long long value) { return std::to_string(value); }

std::string ToUtf8(std::string_view cp1252) {
  std::string utf8;
  utf8.reserve(cp1252.size());
  for (char c : cp1252) AppendUtf8(CodePointOf(static_cast<unsigned char>(c)), &utf8);
  return utf8;
}

std::optional<std::string> FromUtf8(std::string_view utf8) {
  std::string cp1252;
  cp1252.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    const Decoded decoded = DecodeUtf8(utf8, pos);
    if (!decoded.valid) return std::nullopt;
    const int byte = ByteOf(decoded.code_point);
    if (byte < 0) return std::nullopt;
    cp1252.push_back(static_cast<char>(byte));
    pos += decoded.length;
  }
  return cp1252;
}

std::string Cp1252(std::string_view utf8) {
  std::string cp1252;
  cp1252.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    const Decoded decoded = DecodeUtf8(utf8, pos);
    const int byte = decoded.valid ? ByteOf(decoded.code_point) : -1;
    cp1252.push_back(byte < 0 ? '?' : static_cast<char>(byte));
    pos += decoded.length;
  }
  return cp1252;
}

}  // namespace albumora
