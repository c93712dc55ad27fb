// Tokens of Oracle SQL text, each with its byte offset in the statement, so that a
// translation can be mapped back to the place the user wrote.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ociemu {

struct Token {
  enum Kind { kWord, kQuotedName, kString, kNumber, kBind, kSymbol, kEnd };
  Kind kind;
  std::string text;  // words upper-cased; quoted names and strings without their quotes
  size_t offset;     // where the token starts in the statement
  size_t length;     // its length there
  std::string raw;   // the token as written

  bool Is(std::string_view word) const { return kind == kWord && text == word; }
  bool IsSymbol(std::string_view s) const { return kind == kSymbol && text == s; }
};

// Splits a statement; comments and white space are dropped. Throws OracleError 1756 for an
// unterminated string and 1740 for an unterminated quoted name (with the offset).
std::vector<Token> Tokenize(std::string_view sql);

}  // namespace ociemu
