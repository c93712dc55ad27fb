// The wildcard match: chosen cases, an exhaustive comparison with the plain recursive
// definition over small texts, and patterns that would take exponential time if tried naively.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "oracle/filter/PatternMatch.h"

namespace oracle {
namespace {

// The definition, literally: a star tries the rest of the pattern at every text position up to
// the last character, or matches at once when it ends the pattern. Single-byte texts only.
bool reference(const std::string& t, std::size_t ti, const std::string& p, std::size_t pi) {
  while (pi < p.size()) {
    if (p[pi] == '*') {
      if (pi + 1 == p.size()) return true;
      for (std::size_t i = ti; i < t.size(); ++i) {
        if (reference(t, i, p, pi + 1)) return true;
      }
      return false;
    }
    if (ti >= t.size() || (p[pi] != '?' && p[pi] != t[ti])) return false;
    ++pi;
    ++ti;
  }
  return ti == t.size();
}

TEST(PatternMatch, ChosenCases) {
  struct Row {
    const char* text;
    const char* pattern;
    bool matches;
  };
  const Row kRows[] = {
      {"SMITH", "SM*", true},     {"SMITH", "S?ITH", true},
      {"SMITH", "S?ITH?", false}, {"SMITH", "smith", false},
      {"A", "A*", true},          {"A", "A**", false},
      {"A", "A*?", false},        {"", "*", true},
      {"", "**", false},          {"", "", true},
      {"a", "", false},           {"", "?", false},
      {"ab", "*?", true},         {"c", "*c", true},
      {"", "*c", false},          {"abcabd", "*abd", true},
      {"abc", "*b*", true},       {"ac", "a*c", true},
      {"abc", "a*", true},        {"ba", "a*", false},
      {"ÆØÅ", "Æ?Å", true},       {"ÆØÅ", "???", true},
      {"ÆØÅ", "??", false},       {"ÆØÅ", "*?Å", true},
      {"\xff", "?", true},        {"a\xffz", "a?z", true},
  };
  for (const Row& row : kRows) {
    EXPECT_EQ(MatchesPattern(row.text, row.pattern), row.matches)
        << "\"" << row.text << "\" against \"" << row.pattern << "\"";
  }
}

void forEachWord(const std::string& alphabet, std::size_t maxLength,
                 const std::function<void(const std::string&)>& visit) {
  std::string word;
  std::function<void()> extend = [&] {
    visit(word);
    if (word.size() == maxLength) return;
    for (char c : alphabet) {
      word.push_back(c);
      extend();
      word.pop_back();
    }
  };
  extend();
}

TEST(PatternMatch, AgreesWithTheDefinitionOnEverySmallCase) {
  int compared = 0;
  forEachWord("ab*?", 5, [&](const std::string& pattern) {
    forEachWord("ab", 6, [&](const std::string& text) {
      ASSERT_EQ(MatchesPattern(text, pattern), reference(text, 0, pattern, 0))
          << "\"" << text << "\" against \"" << pattern << "\"";
      ++compared;
    });
  });
  EXPECT_EQ(compared, 1365 * 127);
}

TEST(PatternMatch, ManyStarsStayPolynomial) {
  std::string pattern;
  for (int i = 0; i < 40; ++i) pattern += "*a";
  pattern += "*b";
  const std::string text(2000, 'a');
  EXPECT_FALSE(MatchesPattern(text, pattern));
  EXPECT_TRUE(MatchesPattern(text + "b", pattern));
  EXPECT_TRUE(MatchesPattern(text, std::string(3000, '*') + "?"));
  EXPECT_FALSE(MatchesPattern(text, std::string(3000, '*') + "??" + std::string(3000, '*') + "b"));
}

}  // namespace
}  // namespace oracle
