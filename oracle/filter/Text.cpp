// UTF-8 character walking and the case mappings the filter expressions use.
#include "oracle/filter/internal/Text.h"

namespace oracle::filter_internal {

std::size_t charLength(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  std::size_t length = 0;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF)
    length = 2;
  else if (lead >= 0xE0 && lead <= 0xEF)
    length = 3;
  else if (lead >= 0xF0 && lead <= 0xF4)
    length = 4;
  else
    return 1;
  if (at + length > text.size()) return 1;
  // Overlong forms and code points above U+10FFFF are no characters: each byte stands alone.
  const auto second = static_cast<unsigned char>(text[at + 1]);
  if ((lead == 0xE0 && second < 0xA0) || (lead == 0xF0 && second < 0x90) ||
      (lead == 0xF4 && second > 0x8F))
    return 1;
  for (std::size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return 1;
  }
  return length;
}

std::size_t charCount(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t at = 0; at < text.size(); at += charLength(text, at)) ++count;
  return count;
}

std::string upperAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

std::string lowerAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

std::string upperLocale(std::string text) {
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = charLength(text, at);
    char& c = text[at];
    if (length == 1) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    } else if (length == 2) {
      const auto lead = static_cast<unsigned char>(c);
      const auto trail = static_cast<unsigned char>(text[at + 1]);
      const unsigned code = ((lead & 0x1Fu) << 6) | (trail & 0x3Fu);
      if (code >= 0xE0 && code <= 0xFE && code != 0xF7) {
        // U+00E0..U+00FE map to U+00C0..U+00DE: same lead byte, trail byte minus 0x20.
        text[at + 1] = static_cast<char>(trail - 0x20);
      } else if (code == 0xFF) {
        text[at] = static_cast<char>(0xC5);  // y-diaeresis to U+0178
        text[at + 1] = static_cast<char>(0xB8);
      }
    }
    at += length;
  }
  return text;
}

}  // namespace oracle::filter_internal
