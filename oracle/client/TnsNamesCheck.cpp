// The parenthesis check of tnsnames.ora.
#include "oracle/client/TnsNamesCheck.h"

#include <cctype>

namespace oracle {
namespace {

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) text.remove_suffix(1);
  return text;
}

// A line that would start a definition if it were read at the top level: a name in the first
// column and "=" before any parenthesis.
std::string definitionName(std::string_view line) {
  if (line.empty()) return {};
  const unsigned char first = static_cast<unsigned char>(line.front());
  if (!(std::isalnum(first) || first == '_' || first == '"')) return {};
  const std::size_t equals = line.find('=');
  const std::size_t paren = line.find_first_of("()");
  if (equals == std::string_view::npos || (paren != std::string_view::npos && paren < equals))
    return {};
  return std::string(trimmed(line.substr(0, equals)));
}

}  // namespace

TnsNamesBalance CheckTnsNamesBalance(std::string_view text) {
  TnsNamesBalance result;
  // The mistake being followed: where the count left 0 and why.
  TnsNamesBalance episode;
  int depth = 0;
  int lineNumber = 0;
  std::string lastName;  // the definition read last at the top level
  int lastLine = 0;

  std::size_t begin = 0;
  while (begin <= text.size()) {
    std::size_t end = text.find('\n', begin);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(begin, end - begin);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ++lineNumber;
    begin = end + 1;
    if (!line.empty() && line.front() == '#') {
      if (end == text.size()) break;
      continue;
    }

    if (depth != 0) {
      const std::string hidden = definitionName(line);
      if (!hidden.empty()) episode.hiddenNames.push_back(hidden);
    } else {
      const std::string name = definitionName(line);
      if (!name.empty()) {
        lastName = name;
        lastLine = lineNumber;
      }
    }
    for (char c : line) {
      const int before = depth;
      if (c == '(') ++depth;
      if (c == ')') --depth;
      if (before == 0 && depth > 0) {
        episode = {TnsNamesBalance::Unclosed, lastLine != 0 ? lastLine : lineNumber, lastName, {}};
      } else if (before == 0 && depth < 0) {
        episode = {TnsNamesBalance::ExtraClose, lineNumber, {}, {}};
      } else if (before != 0 && depth == 0) {
        // Back at the top level: a mistake that hid names is worth reporting even so.
        if (!episode.hiddenNames.empty() && result.kind == TnsNamesBalance::Balanced)
          result = episode;
        episode = {};
      }
    }
    if (end == text.size()) break;
  }
  if (depth != 0 && result.kind == TnsNamesBalance::Balanced) result = episode;
  return result;
}

}  // namespace oracle
