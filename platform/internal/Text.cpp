// ASCII case folding and trimming for the platform port.
#include "platform/internal/Text.h"

namespace platform::internal {

bool equalsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (toLowerAscii(a[i]) != toLowerAscii(b[i])) return false;
  }
  return true;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && equalsNoCase(text.substr(0, prefix.size()), prefix);
}

std::string lowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = toLowerAscii(c);
  return out;
}

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view trimLeft(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && isBlank(text[i])) ++i;
  return text.substr(i);
}

std::string_view trimRight(std::string_view text) {
  std::size_t n = text.size();
  while (n > 0 && isBlank(text[n - 1])) --n;
  return text.substr(0, n);
}

std::string_view trim(std::string_view text) {
  return trimRight(trimLeft(text));
}

std::vector<std::string> splitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t nl = text.find('\n', start);
    const std::size_t end = nl == std::string_view::npos ? text.size() : nl + 1;
    lines.emplace_back(text.substr(start, end - start));
    start = end;
  }
  return lines;
}

std::string_view lineEnd(std::string_view line) {
  if (line.size() >= 2 && line.substr(line.size() - 2) == "\r\n")
    return line.substr(line.size() - 2);
  if (!line.empty() && line.back() == '\n') return line.substr(line.size() - 1);
  return {};
}

std::string_view lineBody(std::string_view line) {
  return line.substr(0, line.size() - lineEnd(line).size());
}

std::string dominantLineEnd(std::string_view text) {
  std::size_t crlf = 0;
  std::size_t lf = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\n') continue;
    if (i > 0 && text[i - 1] == '\r') {
      ++crlf;
    } else {
      ++lf;
    }
  }
  return crlf > lf ? "\r\n" : "\n";
}

}  // namespace platform::internal
