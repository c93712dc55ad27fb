// The wildcard match, computed over (pattern position, text position) pairs rather than by
// trying every split at every star, which would take exponential time on patterns such as
// "*a*a*a*a*b".
#include "oracle/filter/PatternMatch.h"

#include <cstdint>
#include <vector>

#include "oracle/filter/internal/Text.h"

namespace oracle {
namespace {

using filter_internal::charLength;

// Walks a star-free pattern against the start of text. Sets rest to the unmatched text.
bool matchPlain(std::string_view text, std::string_view pattern, std::string_view& rest) {
  std::size_t t = 0;
  for (std::size_t p = 0; p < pattern.size();) {
    if (t >= text.size()) return false;
    const std::size_t pl = charLength(pattern, p);
    const std::size_t tl = charLength(text, t);
    if (!(pl == 1 && pattern[p] == '?') && pattern.substr(p, pl) != text.substr(t, tl))
      return false;
    p += pl;
    t += tl;
  }
  rest = text.substr(t);
  return true;
}

// One number per character; a byte outside a well-formed sequence gets a code above Unicode's.
std::vector<std::uint32_t> decode(std::string_view text) {
  std::vector<std::uint32_t> codes;
  codes.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = charLength(text, at);
    const auto lead = static_cast<unsigned char>(text[at]);
    std::uint32_t code;
    if (length == 1) {
      code = lead < 0x80 ? lead : 0x110000u + lead;
    } else {
      code = lead & (0xFFu >> (length + 1));
      for (std::size_t i = 1; i < length; ++i)
        code = (code << 6) | (static_cast<unsigned char>(text[at + i]) & 0x3Fu);
    }
    codes.push_back(code);
    at += length;
  }
  return codes;
}

}  // namespace

bool MatchesPattern(std::string_view text, std::string_view pattern) {
  const std::size_t star = pattern.find('*');
  std::string_view rest;
  if (star == std::string_view::npos) return matchPlain(text, pattern, rest) && rest.empty();
  if (star + 1 == pattern.size()) return matchPlain(text, pattern.substr(0, star), rest);

  // matches[t]: whether the pattern from the current position on matches the text from
  // character t on (t == n: the text is used up). Built from the end of the pattern backwards.
  const std::vector<std::uint32_t> p = decode(pattern);
  const std::vector<std::uint32_t> t = decode(text);
  const std::size_t n = t.size();
  std::vector<char> next(n + 1, 0), current(n + 1, 0);
  next[n] = 1;  // the empty pattern matches the used-up text only
  for (std::size_t i = p.size(); i-- > 0;) {
    if (p[i] == '*' && i + 1 == p.size()) {
      current.assign(n + 1, 1);
    } else if (p[i] == '*') {
      // Tries the rest of the pattern at every text position from here to the last character.
      current[n] = 0;
      for (std::size_t j = n; j-- > 0;) current[j] = next[j] || current[j + 1];
    } else {
      current[n] = 0;
      for (std::size_t j = 0; j < n; ++j) current[j] = (p[i] == '?' || p[i] == t[j]) && next[j + 1];
    }
    next.swap(current);
  }
  return next[0] != 0;
}

}  // namespace oracle
