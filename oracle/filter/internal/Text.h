// Character helpers of the filter expressions. Texts are UTF-8; a "character" is one code point,
// and a byte that does not start a well-formed sequence counts as one character of its own, so
// every text has a definite length whatever bytes it holds.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace oracle::filter_internal {

// Bytes taken by the character that starts at text[at] (at < text.size()).
std::size_t charLength(std::string_view text, std::size_t at);
std::size_t charCount(std::string_view text);

// The letters a to z, or A to Z, changed; every other byte is kept.
std::string upperAscii(std::string text);
std::string lowerAscii(std::string text);

// Upper-casing by the user's locale: ASCII letters and the letters of the Latin-1 range
// (a-grave to thorn, y-diaeresis), which covers the Norwegian and Western European alphabets.
// Byte lengths never change.
std::string upperLocale(std::string text);

inline bool isAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
inline bool isAsciiDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace oracle::filter_internal
