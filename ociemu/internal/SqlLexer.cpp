#include "ociemu/internal/SqlLexer.h"

#include <cctype>

#include "ociemu/internal/OracleError.h"

namespace ociemu {
namespace {

bool WordStart(unsigned char c) {
  return std::isalpha(c) || c >= 0x80;
}
bool WordChar(unsigned char c) {
  return std::isalnum(c) || c == '_' || c == '$' || c == '#' || c >= 0x80;
}

}  // namespace

std::vector<Token> Tokenize(std::string_view sql) {
  std::vector<Token> out;
  size_t i = 0;
  const size_t n = sql.size();
  auto push = [&](Token::Kind kind, std::string text, size_t start) {
    out.push_back(
        Token{kind, std::move(text), start, i - start, std::string(sql.substr(start, i - start))});
  };
  while (i < n) {
    const unsigned char c = static_cast<unsigned char>(sql[i]);
    if (std::isspace(c)) {
      ++i;
      continue;
    }
    if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
      while (i < n && sql[i] != '\n') ++i;
      continue;
    }
    if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
      size_t end = sql.find("*/", i + 2);
      i = end == std::string_view::npos ? n : end + 2;
      continue;
    }
    const size_t start = i;
    if (c == '\'') {
      std::string text;
      ++i;
      while (true) {
        if (i >= n) throw OracleError(1756).WithOffset(static_cast<int>(start));
        if (sql[i] == '\'') {
          if (i + 1 < n && sql[i + 1] == '\'') {
            text += '\'';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        text += sql[i++];
      }
      push(Token::kString, std::move(text), start);
      continue;
    }
    if (c == '"') {
      size_t end = sql.find('"', i + 1);
      if (end == std::string_view::npos)
        throw OracleError(1740).WithOffset(static_cast<int>(start));
      if (end == i + 1) throw OracleError(1741).WithOffset(static_cast<int>(start));
      std::string text(sql.substr(i + 1, end - i - 1));
      i = end + 1;
      push(Token::kQuotedName, std::move(text), start);
      continue;
    }
    if (std::isdigit(c) ||
        (c == '.' && i + 1 < n && std::isdigit(static_cast<unsigned char>(sql[i + 1])))) {
      while (i < n && (std::isdigit(static_cast<unsigned char>(sql[i])) || sql[i] == '.')) ++i;
      if (i < n && (sql[i] == 'e' || sql[i] == 'E')) {
        size_t j = i + 1;
        if (j < n && (sql[j] == '+' || sql[j] == '-')) ++j;
        if (j < n && std::isdigit(static_cast<unsigned char>(sql[j]))) {
          i = j;
          while (i < n && std::isdigit(static_cast<unsigned char>(sql[i]))) ++i;
        }
      }
      push(Token::kNumber, std::string(sql.substr(start, i - start)), start);
      continue;
    }
    if (c == ':' && i + 1 < n &&
        (WordChar(static_cast<unsigned char>(sql[i + 1])) || sql[i + 1] == '"')) {
      ++i;
      std::string name;
      if (sql[i] == '"') {
        size_t end = sql.find('"', i + 1);
        if (end == std::string_view::npos)
          throw OracleError(1740).WithOffset(static_cast<int>(start));
        name = std::string(sql.substr(i + 1, end - i - 1));
        i = end + 1;
      } else {
        while (i < n && WordChar(static_cast<unsigned char>(sql[i])))
          name += static_cast<char>(std::toupper(static_cast<unsigned char>(sql[i++])));
      }
      push(Token::kBind, std::move(name), start);
      continue;
    }
    if (WordStart(c)) {
      std::string word;
      while (i < n && WordChar(static_cast<unsigned char>(sql[i]))) {
        word += static_cast<char>(std::toupper(static_cast<unsigned char>(sql[i])));
        ++i;
      }
      push(Token::kWord, std::move(word), start);
      continue;
    }
    static const char* twoChar[] = {"||", "<=", ">=", "<>", "!=", "^=", ":=", "=>", "**"};
    bool matched = false;
    for (const char* op : twoChar) {
      if (i + 1 < n && sql[i] == op[0] && sql[i + 1] == op[1]) {
        i += 2;
        push(Token::kSymbol, op, start);
        matched = true;
        break;
      }
    }
    if (matched) continue;
    ++i;
    push(Token::kSymbol, std::string(1, static_cast<char>(c)), start);
  }
  out.push_back(Token{Token::kEnd, "", n, 0, ""});
  return out;
}

}  // namespace ociemu
