// The second pass: SQLite's text for queries and DML, token by token.
#include "ociemu/internal/DialectTranslator.h"
#include "ociemu/internal/Dictionary.h"

namespace ociemu {
namespace dialect {

void Translator::Out(const std::string& text, size_t token) {
  std::string& sql = result_.sql;
  if (!sql.empty() && sql.back() != ' ' && sql.back() != '(' && sql.back() != '.' && text != ")" &&
      text != "," && text != ".") {
    sql += ' ';
  }
  result_.offsets.emplace_back(sql.size(), T(token).offset);
  sql += text;
}

size_t Translator::EmitToken(size_t i) {
  const Token& t = tokens_[i];
  const Block* b = Owner(i);
  auto alias = [&](const std::string& name) {
    if (!b) return false;
    for (const auto& ref : b->tables) {
      if (ref.alias == name && ref.alias != ref.table) return true;
    }
    return false;
  };
  switch (t.kind) {
    case Token::kString: {
      // Oracle has no empty string: '' is NULL.
      if (t.text.empty()) {
        Out("NULL", i);
      } else {
        std::string quoted = "'";
        for (char c : t.text) quoted += c == '\'' ? std::string("''") : std::string(1, c);
        Out(quoted + "'", i);
      }
      return i + 1;
    }
    case Token::kQuotedName:
      Out("\"" + t.text + "\"", i);
      return i + 1;
    case Token::kBind:
      result_.binds.push_back(t.text);
      Out("?" + std::to_string(result_.binds.size()), i);
      return i + 1;
    case Token::kNumber:
      Out(t.raw, i);
      return i + 1;
    case Token::kSymbol:
      if (t.text == "/") {
        Out("* 1.0 /", i);  // Oracle never divides integers as integers
        // A zero divisor is ORA-01476, where SQLite would give NULL.
        if (size_t end = TermEnd(i + 1); end > i + 1) {
          result_.sql += " ociemu_divisor(";
          Emit(i + 1, end, true);
          result_.sql += ")";
          return end;
        }
      } else if (t.text == "!=" || t.text == "^=") {
        Out("<>", i);
      } else {
        Out(t.text, i);
      }
      return i + 1;
    case Token::kEnd:
      return i + 1;
    case Token::kWord:
      break;
  }
  const std::string& w = t.text;
  const bool dotted = i > 0 && tokens_[i - 1].IsSymbol(".");
  const bool call = T(i + 1).IsSymbol("(");
  // qualifier.ROWID, sequence.NEXTVAL, schema.object
  if (!dotted && T(i + 1).IsSymbol(".") &&
      (T(i + 2).kind == Token::kWord || T(i + 2).kind == Token::kQuotedName)) {
    const std::string& next = T(i + 2).text;
    if (next == "ROWID" && RowidLookup(i + 2)) {
      Out(w + ".ROWID = ociemu_rowid_number(", i);
      EmitToken(i + 4);
      result_.sql += ")";
      return i + 5;
    }
    if (next == "ROWID") {
      std::string table = w;
      if (b) {
        for (const auto& ref : b->tables) {
          if (ref.alias == w) table = ref.table;
        }
      }
      Out("ociemu_rowid(" + std::to_string(ObjectNumber(table)) + ", " + w + ".ROWID)", i);
      return i + 3;
    }
    if (next == "NEXTVAL" || next == "CURRVAL") {
      Out(std::string(next == "NEXTVAL" ? "ociemu_nextval('" : "ociemu_currval('") + w + "')", i);
      return i + 3;
    }
    if (!alias(w) && schema_.IsAccount(w)) {
      return i + 2;  // the schema prefix: every account sees the same tables
    }
  }
  if (!dotted && !call) {
    if (w == "SYSDATE" || w == "SYSTIMESTAMP" || w == "CURRENT_DATE") {
      Out("sysdate()", i);
      return i + 1;
    }
    if (w == "USER") {
      Out("ociemu_user()", i);
      return i + 1;
    }
    if (w == "ROWID" && RowidLookup(i)) {
      // ROWID = :r finds the row by SQLite's rowid, so the lookup uses the table's key.
      Out("ROWID = ociemu_rowid_number(", i);
      EmitToken(i + 2);
      result_.sql += ")";
      return i + 3;
    }
    if (w == "ROWID") {
      std::string table = b && !b->tables.empty() ? b->tables.front().table : "";
      Out("ociemu_rowid(" + std::to_string(ObjectNumber(table)) + ", ROWID)", i);
      return i + 1;
    }
    if (w == "ROWNUM" && RownumLimit(i)) return i + 3;
    if (w == "ROWNUM") {
      Out("row_number() OVER ()", i);
      return i + 1;
    }
    if (i == returning_) {
      Out("RETURNING", i);
      return i + 1;
    }
    if (w == "MINUS") {
      Out("EXCEPT", i);
      return i + 1;
    }
  }
  if (call && (w == "TO_CHAR" || w == "TRUNC" || w == "ROUND")) {
    auto args = Arguments(i + 1);
    ColumnType first = args.empty() ? Unknown() : Infer(args[0].first, args[0].second);
    if (first.known && first.code == kTypeDate) {
      Out(w == "TO_CHAR" ? "ociemu_to_char_date"
                         : (w == "TRUNC" ? "ociemu_trunc_date" : "ociemu_round_date"),
          i);
      return i + 1;
    }
  }
  Out(w, i);
  return i + 1;
}

void Translator::Emit(size_t begin, size_t end, bool keepLast) {
  size_t i = begin;
  while (i < end && i < stopAt_) {
    if (skipped_.count(i)) {
      ++i;
      continue;
    }
    if (auto before = prependBefore_.find(i); before != prependBefore_.end()) {
      std::string& sql = result_.sql;
      if (!sql.empty() && sql.back() != ' ' && sql.back() != '(' && sql.back() != '.') sql += ' ';
      sql += before->second;
      prependBefore_.erase(before);
    }
    size_t next = 0;
    auto chain = concatenations_.find(i);
    if (chain != concatenations_.end() && chain->second.end <= end) {
      next = EmitConcatenation(chain->second);
    } else {
      next = EmitToken(i);
    }
    // Text after a token is written once, also when a nested emission consumed the token.
    for (size_t k = i; k < next; ++k) {
      if (keepLast && k + 1 == end) continue;
      auto it = appendAfter_.find(k);
      if (it != appendAfter_.end()) {
        result_.sql += it->second;
        appendAfter_.erase(it);
      }
    }
    i = next;
  }
}

Translation Translator::Query(uint16_t type, uint16_t fn) {
  result_.action = type == 1 ? Translation::kQuery : Translation::kDml;
  result_.statementType = type;
  result_.functionCode = fn;
  // A statement that stops where an expression must follow misses that expression.
  if (tokens_.size() >= 2) {
    const Token& last = tokens_[tokens_.size() - 2];
    static const std::set<std::string> expecting = {"WHERE", "AND",    "OR",   "NOT",     "SELECT",
                                                    "SET",   "THEN",   "ELSE", "WHEN",    "ON",
                                                    "BY",    "HAVING", "LIKE", "BETWEEN", "IN"};
    static const std::set<std::string> operators = {
        "=", "<", ">", "<=", ">=", "<>", "!=", "^=", "+", "-", "*", "/", "||", ","};
    if ((last.kind == Token::kWord && expecting.count(last.text)) ||
        (last.kind == Token::kSymbol && operators.count(last.text) &&
         !(last.text == "*" && Word(tokens_.size() - 3, "SELECT")))) {
      Fail(936, tokens_.size() - 1);
    }
  }
  FindBlocks();
  FindSingleRowSubqueries();
  if (type == 4) {
    // INSERT INTO t (SELECT ...): SQLite reads parentheses there as a column list.
    for (size_t k = 0; k + 2 < tokens_.size(); ++k) {
      if (depth_[k] != 0 || !tokens_[k].Is("INTO")) continue;
      size_t open = k + 2;
      if (T(open).IsSymbol(".")) open += 2;
      if (T(open).IsSymbol("(") && (Word(open + 1, "SELECT") || Word(open + 1, "WITH"))) {
        skipped_.insert(open);
        skipped_.insert(MatchingParen(open));
      }
      break;
    }
  }
  if (type != 1) {
    // RETURNING (or RETURN) expressions INTO binds: the binds are outputs, not part of the text.
    for (size_t k = 0; k < tokens_.size(); ++k) {
      if (depth_[k] != 0 || !(tokens_[k].Is("RETURNING") || tokens_[k].Is("RETURN"))) continue;
      size_t into = k + 1;
      while (into < tokens_.size() && !(depth_[into] == 0 && tokens_[into].Is("INTO"))) ++into;
      if (into >= tokens_.size() - 1) Fail(925, into);
      if (into == k + 1) Fail(936, into);
      for (size_t b = into + 1; T(b).kind != Token::kEnd; b += 2) {
        if (T(b).kind != Token::kBind) Fail(1745, b);
        result_.returningInto.push_back(T(b).text);
        if (!T(b + 1).IsSymbol(",") && T(b + 1).kind != Token::kEnd) Fail(933, b + 1);
      }
      returning_ = k;
      stopAt_ = into;
      break;
    }
  }
  // The outermost query names and types the columns.
  if (type == 1) {
    Block* top = nullptr;
    for (const auto& b : blocks_) {
      if (!top || b->depth < top->depth) top = b.get();
    }
    if (!top) Fail(928, 0);
    for (auto [begin, end] : top->items) {
      SelectItem item;
      if (tokens_[end - 1].IsSymbol("*")) {
        // The columns of a dictionary view are known by name and type.
        const auto* view = top->tables.size() == 1 && end - begin == 1
                               ? DictionaryViewColumns(top->tables[0].table)
                               : nullptr;
        if (view) {
          for (const auto& c : *view) {
            SelectItem column;
            column.name = c.name;
            column.type = TypeFromDeclared(c.type);
            result_.items.push_back(column);
          }
          continue;
        }
        item.star = true;
      } else {
        bool hasAlias = false;
        item.name = ItemName(begin, end, hasAlias);
        item.type = Infer(begin, hasAlias ? end - (tokens_[end - 2].Is("AS") ? 2 : 1) : end);
        if (!hasAlias) {
          std::string quoted;
          for (char c : item.name) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
          appendAfter_[end - 1] += " AS \"" + quoted + "\"";
        }
      }
      result_.items.push_back(item);
    }
    // FOR UPDATE locks nothing here: SQLite serializes writers itself.
    for (size_t i = 0; i < tokens_.size(); ++i) {
      if (depth_[i] == 0 && tokens_[i].Is("FOR") && Word(i + 1, "UPDATE")) {
        stopAt_ = i;
        break;
      }
    }
  }
  size_t begin = 0;
  if (Word(0, "DELETE") && !Word(1, "FROM")) {
    Out("DELETE FROM", 0);
    begin = 1;
  }
  Emit(begin, tokens_.size());
  return result_;
}

}  // namespace dialect
}  // namespace ociemu
