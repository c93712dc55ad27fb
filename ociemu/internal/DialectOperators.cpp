// Operators whose meaning differs between Oracle and SQLite: || treats NULL as the empty text
// and converts numbers and dates as TO_CHAR does, division by zero is an error, ROWNUM numbers
// the rows a query block returns, and a scalar subquery fails on a second row.
#include <set>

#include "ociemu/internal/DialectTranslator.h"

namespace ociemu {
namespace dialect {
namespace {

const std::set<std::string>& OperandStops() {
  static const std::set<std::string> words = {
      "SELECT",     "FROM",   "WHERE",     "AND",    "OR",        "NOT",        "AS",
      "THEN",       "ELSE",   "WHEN",      "END",    "LIKE",      "BETWEEN",    "IN",
      "IS",         "ON",     "BY",        "HAVING", "SET",       "VALUES",     "DISTINCT",
      "ALL",        "INTO",   "ORDER",     "GROUP",  "UNION",     "MINUS",      "INTERSECT",
      "EXCEPT",     "ESCAPE", "RETURNING", "RETURN", "ASC",       "DESC",       "FOR",
      "CONNECT",    "START",  "WITH",      "USING",  "JOIN",      "LEFT",       "RIGHT",
      "INNER",      "OUTER",  "CROSS",     "FULL",   "NATURAL",   "UNIQUE",     "PRIOR",
      "EXISTS",     "ANY",    "SOME",      "NULLS",  "DEFAULT",   "CONSTRAINT", "PRIMARY",
      "REFERENCES", "CHECK",  "WINDOW",    "OVER",   "PARTITION", "FETCH",      "OFFSET"};
  return words;
}

}  // namespace

size_t Translator::TermEnd(size_t k) const {
  const size_t start = k;
  while (T(k).IsSymbol("-") || T(k).IsSymbol("+")) ++k;
  const Token& t = T(k);
  if (t.IsSymbol("(")) return MatchingParen(k) + 1;
  if (t.Is("CASE")) {
    int nested = 0;
    for (size_t j = k; j < tokens_.size(); ++j) {
      if (tokens_[j].Is("CASE") && depth_[j] == depth_[k]) ++nested;
      if (tokens_[j].Is("END") && depth_[j] == depth_[k] && --nested == 0) return j + 1;
    }
    return start;
  }
  if (t.kind == Token::kNumber || t.kind == Token::kString || t.kind == Token::kBind) return k + 1;
  if (t.kind == Token::kQuotedName || (t.kind == Token::kWord && !OperandStops().count(t.text))) {
    ++k;
    while (T(k).IsSymbol(".") &&
           (T(k + 1).kind == Token::kWord || T(k + 1).kind == Token::kQuotedName)) {
      k += 2;
    }
    if (T(k).IsSymbol("(")) k = MatchingParen(k) + 1;
    return k;
  }
  return start;
}

size_t Translator::OperandEnd(size_t k) const {
  size_t end = TermEnd(k);
  if (end == k) return k;
  while (T(end).IsSymbol("+") || T(end).IsSymbol("-") || T(end).IsSymbol("*") ||
         T(end).IsSymbol("/")) {
    const size_t next = TermEnd(end + 1);
    if (next == end + 1) break;
    end = next;
  }
  return end;
}

void Translator::FindConcatenations() {
  for (size_t p = 0; p < tokens_.size(); ++p) {
    size_t end = OperandEnd(p);
    if (end == p || !T(end).IsSymbol("||") || depth_[end] != depth_[p]) continue;
    Concatenation chain;
    chain.operands.emplace_back(p, end);
    while (T(end).IsSymbol("||")) {
      const size_t next = OperandEnd(end + 1);
      if (next == end + 1) Fail(936, end + 1);
      chain.operands.emplace_back(end + 1, next);
      end = next;
    }
    chain.end = end;
    concatenations_[p] = std::move(chain);
  }
}

size_t Translator::EmitConcatenation(const Concatenation& chain) {
  Out("ociemu_concat(", chain.operands.front().first);
  bool first = true;
  for (auto [begin, end] : chain.operands) {
    if (!first) result_.sql += ", ";
    first = false;
    // A date joins the text in the session's date format, as TO_CHAR writes it.
    const ColumnType type = Infer(begin, end);
    const bool date = type.known && type.code == kTypeDate;
    if (date) Out("ociemu_to_char_date(", begin);
    Emit(begin, end, true);
    if (date) result_.sql += ")";
  }
  result_.sql += ")";
  return chain.end;
}

void Translator::FindSingleRowSubqueries() {
  static const std::set<std::string> aggregates = {"COUNT", "SUM",    "AVG",      "MIN",
                                                   "MAX",   "STDDEV", "VARIANCE", "LISTAGG"};
  for (const auto& b : blocks_) {
    if (b->depth == 0 || b->select < 2 || !tokens_[b->select - 1].IsSymbol("(")) continue;
    if (b->items.size() != 1 || b->listBegin != b->select + 1) continue;  // DISTINCT, two columns
    // A scalar subquery stands where a value does: after an operator, a select-list comma,
    // THEN/ELSE/WHEN, or as an argument of a function or of VALUES. Inline views (FROM, JOIN),
    // IN/EXISTS lists and INSERT ... (SELECT) are row sources.
    const size_t open = b->select - 1;
    const Token& before = tokens_[open - 1];
    auto callBefore = [&](size_t paren) {
      if (paren == 0) return false;
      const Token& name = tokens_[paren - 1];
      return name.Is("VALUES") || (name.kind == Token::kWord && KnownFunction(name.text));
    };
    auto enclosingOpen = [&](size_t k) -> size_t {
      for (size_t j = k; j-- > 0;) {
        if (tokens_[j].IsSymbol("(") && depth_[j] + 1 == depth_[k]) return j;
      }
      return 0;
    };
    bool scalar = false;
    if (before.kind == Token::kSymbol && !before.IsSymbol(")") && !before.IsSymbol(",") &&
        !before.IsSymbol("(")) {
      scalar = true;
    } else if (before.Is("SELECT") || before.Is("THEN") || before.Is("ELSE") || before.Is("WHEN") ||
               before.Is("RETURN")) {
      scalar = true;
    } else if (before.IsSymbol("(")) {
      scalar = callBefore(open - 1);
    } else if (before.IsSymbol(",")) {
      const Block* owner = Owner(open - 1);
      const bool inList = owner && depth_[open - 1] == owner->depth &&
                          open - 1 >= owner->listBegin && open - 1 < owner->listEnd;
      scalar = inList || (depth_[open - 1] > 0 && callBefore(enclosingOpen(open - 1)));
    }
    if (!scalar) continue;
    // A block that aggregates, groups or combines returns its rows its own way.
    const size_t close = b->select - 1 < tokens_.size() ? MatchingParen(b->select - 1) : 0;
    bool plain = true;
    for (size_t k = b->select; k < close && plain; ++k) {
      if (depth_[k] != b->depth) continue;
      const Token& t = tokens_[k];
      if (t.Is("GROUP") || t.Is("UNION") || t.Is("MINUS") || t.Is("INTERSECT") || t.Is("EXCEPT") ||
          t.Is("CONNECT") ||
          (k >= b->listBegin && k < b->listEnd && t.kind == Token::kWord &&
           aggregates.count(t.text) && T(k + 1).IsSymbol("("))) {
        plain = false;
      }
    }
    if (!plain) continue;
    auto [begin, end] = b->items.front();
    bool hasAlias = false;
    ItemName(begin, end, hasAlias);
    if (hasAlias) end -= tokens_[end - 2].Is("AS") ? 2 : 1;
    if (begin >= end || tokens_[end - 1].IsSymbol("*")) continue;
    prependBefore_[begin] += "ociemu_single(";
    appendAfter_[end - 1] = ")" + appendAfter_[end - 1];
  }
}

bool Translator::RownumLimit(size_t i) {
  // ROWNUM <= n, ROWNUM < n or ROWNUM = 1 as a condition of its own in a WHERE clause: the
  // block returns its first rows.
  Block* b = Owner(i);
  if (!b || depth_[i] != b->depth) return false;
  const Token& before = T(i - 1);
  if (i == 0 || !(before.Is("WHERE") || before.Is("AND"))) return false;
  const Token& op = T(i + 1);
  const Token& value = T(i + 2);
  const Token& after = T(i + 3);
  if (!(op.IsSymbol("<=") || op.IsSymbol("<") || op.IsSymbol("="))) return false;
  if (value.kind != Token::kNumber && value.kind != Token::kBind) return false;
  if (!(after.kind == Token::kEnd || after.Is("AND") || after.Is("ORDER") || after.Is("GROUP") ||
        after.IsSymbol(")") || after.Is("FOR") || after.Is("UNION"))) {
    return false;
  }
  std::string limit;
  if (value.kind == Token::kBind) {
    result_.binds.push_back(value.text);
    limit = "?" + std::to_string(result_.binds.size());
  } else {
    limit = value.raw;
  }
  if (op.IsSymbol("<")) limit = "(" + limit + ") - 1";
  if (op.IsSymbol("=")) limit = "CASE WHEN (" + limit + ") = 1 THEN 1 ELSE 0 END";
  Out("1 = 1", i);
  size_t last = b->end > 0 ? b->end - 1 : 0;
  if (stopAt_ != std::string::npos && stopAt_ > i && stopAt_ <= b->end) last = stopAt_ - 1;
  appendAfter_[last] += " LIMIT " + limit;
  return true;
}

}  // namespace dialect
}  // namespace ociemu
