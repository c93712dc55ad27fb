// Wildcard matching with backtracking to the last star: linear for patterns with one star,
// quadratic at worst, never exponential.
#include "platform/Wildcard.h"

#include "platform/internal/Text.h"

namespace platform {
namespace {

bool matchStars(std::string_view pattern, std::string_view name) {
  std::size_t p = 0;
  std::size_t n = 0;
  std::size_t starP = std::string_view::npos;
  std::size_t starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || internal::toLowerAscii(pattern[p]) ==
                                                               internal::toLowerAscii(name[n]))) {
      ++p;
      ++n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace

bool wildcardMatch(std::string_view pattern, std::string_view name) {
  if (matchStars(pattern, name)) return true;
  if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*") {
    return matchStars(pattern.substr(0, pattern.size() - 2), name);
  }
  return false;
}

}  // namespace platform
