// Small text helpers of the platform port: ASCII letter-case folding and trimming, as the Win32
// services compare names (registry keys, ini sections) without regard to case.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform::internal {

constexpr char toLowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool equalsNoCase(std::string_view a, std::string_view b);
// True when text begins with prefix, compared without regard to case.
bool startsWithNoCase(std::string_view text, std::string_view prefix);
std::string lowerAscii(std::string_view text);

// Blanks are space, tab, CR and LF (and vertical tab / form feed).
bool isBlank(char c);
std::string_view trim(std::string_view text);
std::string_view trimLeft(std::string_view text);
std::string_view trimRight(std::string_view text);

// The physical lines of a text, each with its own line end ("\n" or "\r\n") still attached so
// that joining them gives the text back byte for byte. The last line may have no end.
std::vector<std::string> splitLines(std::string_view text);
// The line end a line carries: "\r\n", "\n" or "" (last line of a file without one).
std::string_view lineEnd(std::string_view line);
// The line without its line end.
std::string_view lineBody(std::string_view line);
// The line end most lines of a text use; "\n" for a text without any.
std::string dominantLineEnd(std::string_view text);

}  // namespace platform::internal
