// The first pass: the query blocks of a statement, their select lists and FROM lists.
#include "ociemu/internal/DialectTranslator.h"

namespace ociemu {
namespace dialect {

const std::set<std::string>& ClauseWords() {
  static const std::set<std::string> words = {"WHERE", "GROUP",     "HAVING", "ORDER",   "UNION",
                                              "MINUS", "INTERSECT", "EXCEPT", "CONNECT", "START",
                                              "FOR",   "FETCH",     "OFFSET", "WINDOW",  "MODEL"};
  return words;
}

const std::set<std::string>& NotAliases() {
  static const std::set<std::string> words = {
      "ON",        "JOIN",   "LEFT",    "RIGHT",  "INNER",    "OUTER",   "CROSS",  "NATURAL",
      "FULL",      "USING",  "WHERE",   "GROUP",  "HAVING",   "ORDER",   "UNION",  "MINUS",
      "INTERSECT", "EXCEPT", "CONNECT", "START",  "FOR",      "END",     "AND",    "OR",
      "NOT",       "NULL",   "IS",      "IN",     "LIKE",     "BETWEEN", "FROM",   "ASC",
      "DESC",      "THEN",   "ELSE",    "WHEN",   "CASE",     "AS",      "SELECT", "DISTINCT",
      "ALL",       "BY",     "FETCH",   "OFFSET", "PARTITION"};
  return words;
}

size_t Translator::MatchingParen(size_t open) const {
  const int d = depth_[open];
  for (size_t i = open + 1; i < tokens_.size(); ++i) {
    if (tokens_[i].IsSymbol(")") && depth_[i] == d) return i;
  }
  return tokens_.size() - 1;
}

std::vector<std::pair<size_t, size_t>> Translator::Arguments(size_t open) const {
  std::vector<std::pair<size_t, size_t>> args;
  size_t close = MatchingParen(open);
  size_t start = open + 1;
  for (size_t i = open + 1; i < close; ++i) {
    if (tokens_[i].IsSymbol(",") && depth_[i] == depth_[open] + 1) {
      args.emplace_back(start, i);
      start = i + 1;
    }
  }
  if (start < close) args.emplace_back(start, close);
  return args;
}

void Translator::FindBlocks() {
  for (size_t s = 0; s < tokens_.size(); ++s) {
    if (!tokens_[s].Is("SELECT")) continue;
    auto b = std::make_unique<Block>();
    b->select = s;
    b->depth = depth_[s];
    const int d = b->depth;
    size_t i = s + 1;
    while (Word(i, "DISTINCT") || Word(i, "UNIQUE") || Word(i, "ALL")) ++i;
    b->listBegin = i;
    auto endsList = [&](size_t j) {
      const Token& t = tokens_[j];
      if (t.kind == Token::kEnd || depth_[j] < d) return true;
      if (depth_[j] > d) return false;
      return t.Is("FROM") || t.Is("UNION") || t.Is("MINUS") || t.Is("INTERSECT") ||
             t.Is("EXCEPT") || t.Is("ORDER") || t.Is("INTO");
    };
    while (!endsList(i)) ++i;
    b->listEnd = i;
    size_t start = b->listBegin;
    for (size_t j = b->listBegin; j < b->listEnd; ++j) {
      if (tokens_[j].IsSymbol(",") && depth_[j] == d) {
        b->items.emplace_back(start, j);
        start = j + 1;
      }
    }
    if (start < b->listEnd) b->items.emplace_back(start, b->listEnd);
    if (b->items.empty() || b->items.back().first == b->items.back().second) {
      Fail(936, b->listEnd);
    }
    size_t j = b->listEnd;
    if (Word(j, "FROM")) {
      b->fromBegin = j + 1;
      j = b->fromBegin;
      while (tokens_[j].kind != Token::kEnd && depth_[j] >= d &&
             !(depth_[j] == d && tokens_[j].kind == Token::kWord &&
               ClauseWords().count(tokens_[j].text))) {
        ++j;
      }
      b->fromEnd = j;
      if (b->fromBegin == b->fromEnd) Fail(903, j);
      ParseFrom(*b);
    }
    while (tokens_[j].kind != Token::kEnd && depth_[j] >= d &&
           !(depth_[j] == d && (tokens_[j].Is("UNION") || tokens_[j].Is("MINUS") ||
                                tokens_[j].Is("INTERSECT") || tokens_[j].Is("EXCEPT")))) {
      ++j;
    }
    b->end = j;
    blocks_.push_back(std::move(b));
  }
  owner_.assign(tokens_.size(), nullptr);
  for (const auto& b : blocks_) {
    for (size_t i = b->select; i < b->end; ++i) owner_[i] = b.get();
  }
}

void Translator::ParseFrom(Block& b) {
  const int d = b.depth;
  size_t i = b.fromBegin;
  while (i < b.fromEnd) {
    TableRef ref;
    if (tokens_[i].IsSymbol("(")) {
      i = MatchingParen(i) + 1;
    } else if (tokens_[i].kind == Token::kWord || tokens_[i].kind == Token::kQuotedName) {
      ref.table = tokens_[i].text;
      ++i;
      if (i + 1 < b.fromEnd && tokens_[i].IsSymbol(".") &&
          (tokens_[i + 1].kind == Token::kWord || tokens_[i + 1].kind == Token::kQuotedName)) {
        ref.table = tokens_[i + 1].text;  // schema.table
        i += 2;
      }
    }
    if (Word(i, "AS")) ++i;
    if (i < b.fromEnd &&
        (tokens_[i].kind == Token::kQuotedName ||
         (tokens_[i].kind == Token::kWord && !NotAliases().count(tokens_[i].text)))) {
      ref.alias = tokens_[i].text;
      ++i;
    }
    if (ref.alias.empty()) ref.alias = ref.table;
    b.tables.push_back(ref);
    // Skip to the next table: a comma or a JOIN at this level.
    while (i < b.fromEnd &&
           !(depth_[i] == d && (tokens_[i].IsSymbol(",") || tokens_[i].Is("JOIN")))) {
      ++i;
    }
    if (i < b.fromEnd) ++i;
  }
}

}  // namespace dialect
}  // namespace ociemu
