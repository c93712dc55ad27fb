// CREATE TABLE with Oracle's column types, and the sequence statements.
#include <limits>

#include "ociemu/internal/DialectTranslator.h"
#include "ociemu/internal/OraNumber.h"

namespace ociemu {
namespace dialect {

std::string Translator::Original(size_t begin, size_t end) const {
  if (begin >= end || begin >= tokens_.size()) return "";
  const size_t from = tokens_[begin].offset;
  const size_t to = tokens_[end - 1].offset + tokens_[end - 1].length;
  return to > from && to <= text_.size() ? text_.substr(from, to - from) : "";
}

std::vector<std::string> Translator::NameList(size_t open) const {
  std::vector<std::string> names;
  for (auto [b, e] : Arguments(open)) {
    if (e != b + 1 || (tokens_[b].kind != Token::kWord && tokens_[b].kind != Token::kQuotedName)) {
      Fail(904, b);
    }
    names.push_back(tokens_[b].text);
  }
  if (names.empty()) Fail(904, open + 1);
  return names;
}

size_t Translator::Constraint(size_t i, size_t end, const std::string& column) {
  TableConstraint c;
  const size_t start = i;
  if (Word(i, "CONSTRAINT")) {
    if (T(i + 1).kind != Token::kWord && T(i + 1).kind != Token::kQuotedName) Fail(902, i + 1);
    c.name = T(i + 1).text;
    i += 2;
  }
  std::string sql;  // what SQLite enforces
  auto columnsAt = [&](size_t k) {
    if (!column.empty()) {
      c.columns = {column};
      return k;
    }
    if (!T(k).IsSymbol("(")) Fail(906, k);
    c.columns = NameList(k);
    for (size_t n = 0; n < c.columns.size(); ++n) {
      sql += (n ? ", \"" : " (\"") + c.columns[n] + "\"";
    }
    sql += ")";
    return MatchingParen(k) + 1;
  };
  if (Word(i, "PRIMARY") && Word(i + 1, "KEY")) {
    c.type = 'P';
    sql = "PRIMARY KEY";
    i = columnsAt(i + 2);
  } else if (Word(i, "UNIQUE")) {
    c.type = 'U';
    sql = "UNIQUE";
    i = columnsAt(i + 1);
  } else if (Word(i, "NOT") && Word(i + 1, "NULL") && !column.empty()) {
    c.type = 'C';
    c.columns = {column};
    c.condition = "\"" + column + "\" IS NOT NULL";
    sql = "NOT NULL";
    i += 2;
  } else if (Word(i, "NULL") && !column.empty() && c.name.empty()) {
    return i + 1;
  } else if (Word(i, "CHECK")) {
    c.type = 'C';
    if (!T(i + 1).IsSymbol("(")) Fail(906, i + 1);
    const size_t close = MatchingParen(i + 1);
    c.condition = Original(i + 2, close);
    c.sqliteName =
        c.name.empty() ? "OCIEMU$CHECK$" + std::to_string(table_.constraints.size()) : c.name;
    // The columns a check reads, in the order the table declares them, are found later.
    for (size_t k = i + 2; k < close; ++k) {
      if (tokens_[k].kind == Token::kWord || tokens_[k].kind == Token::kQuotedName) {
        if (std::find(c.columns.begin(), c.columns.end(), tokens_[k].text) == c.columns.end()) {
          c.columns.push_back(tokens_[k].text);
        }
      }
    }
    const size_t mark = result_.sql.size();
    Emit(i + 2, close);
    sql = "CONSTRAINT \"" + c.sqliteName + "\" CHECK (" + result_.sql.substr(mark) + ")";
    result_.sql.resize(mark);
    i = close + 1;
  } else if (Word(i, "FOREIGN") && Word(i + 1, "KEY") && column.empty()) {
    c.type = 'R';
    i = columnsAt(i + 2);
    sql = "FOREIGN KEY" + sql;
  } else if (Word(i, "REFERENCES") && !column.empty()) {
    c.type = 'R';
    c.columns = {column};
  } else {
    Fail(902, i);
  }
  if (c.type == 'R') {
    if (!Word(i, "REFERENCES")) Fail(905, i);
    size_t table = i + 1;
    if (T(table + 1).IsSymbol(".")) table += 2;
    if (T(table).kind != Token::kWord && T(table).kind != Token::kQuotedName) Fail(903, table);
    c.refTable = T(table).text;
    sql += " REFERENCES \"" + c.refTable + "\"";
    i = table + 1;
    if (T(i).IsSymbol("(")) {
      c.refColumns = NameList(i);
      for (size_t n = 0; n < c.refColumns.size(); ++n) {
        sql += (n ? ", \"" : " (\"") + c.refColumns[n] + "\"";
      }
      sql += ")";
      i = MatchingParen(i) + 1;
    }
    if (Word(i, "ON") && Word(i + 1, "DELETE")) {
      if (Word(i + 2, "CASCADE")) {
        c.deleteRule = "CASCADE";
        sql += " ON DELETE CASCADE";
        i += 3;
      } else if (Word(i + 2, "SET") && Word(i + 3, "NULL")) {
        c.deleteRule = "SET NULL";
        sql += " ON DELETE SET NULL";
        i += 4;
      } else {
        Fail(905, i + 2);
      }
    }
  }
  // Constraint states: only DISABLE changes what is enforced.
  while (i < end &&
         (Word(i, "ENABLE") || Word(i, "DISABLE") || Word(i, "VALIDATE") || Word(i, "NOVALIDATE") ||
          Word(i, "DEFERRABLE") || Word(i, "RELY") || Word(i, "NORELY") ||
          (Word(i, "INITIALLY") && (Word(i + 1, "IMMEDIATE") || Word(i + 1, "DEFERRED"))) ||
          (Word(i, "NOT") && Word(i + 1, "DEFERRABLE")) ||
          (Word(i, "USING") && Word(i + 1, "INDEX")))) {
    if (Word(i, "DISABLE")) c.enabled = false;
    i += Word(i, "INITIALLY") || Word(i, "NOT") || Word(i, "USING") ? 2 : 1;
  }
  if (c.enabled) {
    result_.offsets.emplace_back(result_.sql.size(), T(start).offset);
    result_.sql += (column.empty() ? ", " : " ") + sql;
  }
  table_.constraints.push_back(std::move(c));
  return i;
}

void Translator::ColumnDefinition(size_t begin, size_t end, std::vector<std::string>& checks,
                                  const std::string& table) {
  // name type[(args)] rest
  const std::string column = tokens_[begin].text;
  if (tokens_[begin].kind != Token::kWord && tokens_[begin].kind != Token::kQuotedName) {
    Fail(904, begin);
  }
  Out("\"" + column + "\"", begin);
  size_t i = begin + 1;
  if (i >= end) Fail(902, i);
  std::string type = tokens_[i].text;
  size_t typeToken = i++;
  if (type == "LONG") {
    if (Word(i, "RAW")) {
      type = "LONG RAW";
      ++i;
    } else {
      type = "LONG VARCHAR";  // TEXT affinity: the text stays as written
    }
  } else if (type == "DOUBLE" && Word(i, "PRECISION")) {
    type = "DOUBLE PRECISION";
    ++i;
  }
  bool characters = false;  // VARCHAR2(n CHAR): the limit counts characters
  if (i < end && tokens_[i].IsSymbol("(")) {
    size_t close = MatchingParen(i);
    std::string args;
    for (size_t k = i + 1; k < close; ++k) {
      const Token& a = tokens_[k];
      if (a.Is("BYTE") || a.Is("CHAR")) {
        characters = a.Is("CHAR");
        continue;
      }
      args += a.IsSymbol("*") ? "38" : a.raw;
    }
    type += "(" + args + ")";
    i = close + 1;
  }
  if (!TypeFromDeclared(type).known) Fail(902, typeToken);
  Out(type, typeToken);
  ColumnType t = TypeFromDeclared(type);
  const std::string quoted = "\"" + column + "\"";
  if ((t.code == kTypeVarchar2 || t.code == kTypeChar) && t.size > 0) {
    checks.push_back("CONSTRAINT \"OCIEMU$LEN$" + column + "\" CHECK (ociemu_check_length(" +
                     quoted + ", " + std::to_string(t.size) + ", '" + table + "', '" + column +
                     "', " + (characters ? "1" : "0") + "))");
  }
  if (t.code == kTypeNumber && t.precision > 0 && t.scale != -127) {
    checks.push_back("CONSTRAINT \"OCIEMU$PRECISION$" + column +
                     "\" CHECK (ociemu_check_precision(" + quoted + ", " +
                     std::to_string(t.precision) + ", " + std::to_string(t.scale) + "))");
    scaled_.emplace_back(column, t.scale);
  }
  while (i < end) {
    if (Word(i, "ENABLE") || Word(i, "DISABLE") || Word(i, "VALIDATE") || Word(i, "NOVALIDATE")) {
      ++i;
      continue;
    }
    if (Word(i, "DEFAULT")) {
      // SQLite wants an expression default in parentheses; the catalogue keeps the text as
      // written, up to where the next clause starts.
      Out("DEFAULT (", i);
      size_t j = i + 1;
      size_t stop = j;
      while (stop < end && !(depth_[stop] == depth_[i] &&
                             (tokens_[stop].Is("NOT") || tokens_[stop].Is("NULL") ||
                              tokens_[stop].Is("CONSTRAINT") || tokens_[stop].Is("PRIMARY") ||
                              tokens_[stop].Is("UNIQUE") || tokens_[stop].Is("CHECK") ||
                              tokens_[stop].Is("REFERENCES")))) {
        ++stop;
      }
      if (stop == j && Word(j, "NULL")) stop = j + 1;
      if (stop == j) Fail(936, j);
      Emit(j, stop);
      result_.sql += ")";
      const size_t from = tokens_[j].offset;
      const size_t to = tokens_[stop].offset;
      if (to > from && to <= text_.size()) {
        table_.defaults.emplace_back(column, text_.substr(from, to - from));
      }
      i = stop;
      continue;
    }
    i = Constraint(i, end, column);
  }
}

Translation Translator::CreateTable() {
  result_.action = Translation::kDdl;
  result_.statementType = 5;
  result_.functionCode = 1;
  size_t i = 1;
  while (i < tokens_.size() && !Word(i, "TABLE")) ++i;  // GLOBAL TEMPORARY
  ++i;
  size_t name = i;
  if (T(i + 1).IsSymbol(".")) {
    name = i + 2;
  }
  if (T(name).kind != Token::kWord && T(name).kind != Token::kQuotedName) Fail(903, name);
  const std::string table = T(name).text;
  table_.name = table;
  Out("CREATE TABLE", 0);
  EmitToken(name);
  i = name + 1;
  if (Word(i, "AS")) {
    FindBlocks();
    Emit(i, tokens_.size());
    result_.table = table_;
    return result_;
  }
  if (!T(i).IsSymbol("(")) Fail(906, i);
  const size_t close = MatchingParen(i);
  Out("(", i);
  std::vector<std::string> checks;
  std::vector<std::pair<size_t, size_t>> tableConstraints;
  std::vector<std::string> columns;
  size_t start = i + 1;
  bool first = true;
  for (size_t k = i + 1; k <= close; ++k) {
    if (k == close || (tokens_[k].IsSymbol(",") && depth_[k] == depth_[i] + 1)) {
      if (start == k) Fail(904, k);
      const Token& head = tokens_[start];
      if (head.Is("CONSTRAINT") || head.Is("PRIMARY") || head.Is("UNIQUE") || head.Is("FOREIGN") ||
          head.Is("CHECK")) {
        tableConstraints.emplace_back(start, k);  // SQLite wants them after the columns
      } else {
        if (!first) Out(",", k);
        first = false;
        columns.push_back(tokens_[start].text);
        ColumnDefinition(start, k, checks, table);
      }
      start = k + 1;
    }
  }
  if (first) Fail(904, close);
  for (auto [b, e] : tableConstraints) {
    size_t next = Constraint(b, e, "");
    if (next != e) Fail(907, next);
  }
  // A check names the table's columns its condition reads, in the table's order.
  for (auto& c : table_.constraints) {
    if (c.type != 'C' || c.sqliteName.empty()) continue;
    std::vector<std::string> read;
    for (const auto& column : columns) {
      if (std::find(c.columns.begin(), c.columns.end(), column) != c.columns.end()) {
        read.push_back(column);
      }
    }
    c.columns = read;
  }
  for (const auto& check : checks) result_.sql += ", " + check;
  result_.sql += ")";
  // NUMBER(p,s) keeps what is stored rounded to its scale, as Oracle does on the way in.
  if (!scaled_.empty()) {
    std::string set, differs;
    for (const auto& [column, scale] : scaled_) {
      const std::string rounded =
          "ociemu_round_scale(NEW.\"" + column + "\", " + std::to_string(scale) + ")";
      set += std::string(set.empty() ? "" : ", ") + "\"" + column + "\" = " + rounded;
      differs +=
          std::string(differs.empty() ? "" : " OR ") + "NEW.\"" + column + "\" IS NOT " + rounded;
    }
    for (const char* when : {"INSERT", "UPDATE"}) {
      result_.sql += "; CREATE TRIGGER \"OCIEMU$SCALE$" + table + "$" + when + "\" AFTER " + when +
                     " ON \"" + table + "\" FOR EACH ROW WHEN " + differs + " BEGIN UPDATE \"" +
                     table + "\" SET " + set + " WHERE rowid = NEW.rowid; END";
    }
  }
  size_t after = close + 1;
  if (Word(after, "AS")) {
    FindBlocks();
    Emit(after, tokens_.size());
  }
  result_.table = table_;
  return result_;
}

Translation Translator::Sequence(bool create) {
  result_.action = create ? Translation::kCreateSequence : Translation::kDropSequence;
  result_.statementType = create ? 5 : 6;
  result_.functionCode = create ? 13 : 16;
  size_t i = 2;
  if (T(i + 1).IsSymbol(".")) i += 2;
  if (T(i).kind != Token::kWord && T(i).kind != Token::kQuotedName) Fail(903, i);
  result_.sequence.name = T(i).text;
  ++i;
  auto number = [&](size_t k) {
    bool negative = T(k).IsSymbol("-");
    if (negative) ++k;
    if (T(k).kind != Token::kNumber) Fail(922, k);
    auto value = ParseNumber(T(k).raw);
    auto integer = value ? value->ToInteger() : std::nullopt;
    if (!integer) Fail(4001, k);
    return std::pair<int64_t, size_t>(negative ? -*integer : *integer, k + 1);
  };
  auto& seq = result_.sequence;
  bool started = false;
  while (create && T(i).kind != Token::kEnd) {
    if (Word(i, "START") && Word(i + 1, "WITH")) {
      auto [v, next] = number(i + 2);
      seq.start = v;
      started = true;
      i = next;
    } else if (Word(i, "INCREMENT") && Word(i + 1, "BY")) {
      auto [v, next] = number(i + 2);
      if (v == 0) Fail(4002, i);
      seq.increment = v;
      i = next;
    } else if (Word(i, "MINVALUE") || Word(i, "MAXVALUE") || Word(i, "CACHE")) {
      auto [v, next] = number(i + 1);
      if (Word(i, "MINVALUE")) seq.minValue = v;
      if (Word(i, "MAXVALUE")) seq.maxValue = v;
      if (Word(i, "CACHE")) seq.cache = v;
      i = next;
    } else if (Word(i, "NOMINVALUE") || Word(i, "NOMAXVALUE") || Word(i, "NOCACHE") ||
               Word(i, "CYCLE") || Word(i, "NOCYCLE") || Word(i, "ORDER") || Word(i, "NOORDER")) {
      if (Word(i, "NOCACHE")) seq.cache = 0;
      if (Word(i, "CYCLE")) seq.cycle = true;
      if (Word(i, "ORDER")) seq.order = true;
      ++i;
    } else {
      Fail(922, i);
    }
  }
  // Oracle's defaults: ascending from 1 up to 28 nines, descending from -1 down.
  const bool ascending = seq.increment > 0;
  if (!seq.minValue) seq.minValue = ascending ? 1 : std::numeric_limits<int64_t>::min();
  if (!seq.maxValue) seq.maxValue = ascending ? std::numeric_limits<int64_t>::max() : -1;
  if (!started) seq.start = ascending ? *seq.minValue : *seq.maxValue;
  if (*seq.minValue >= *seq.maxValue) Fail(4004, 0);
  if (seq.start < *seq.minValue) Fail(4006, 0);
  if (seq.start > *seq.maxValue) Fail(4008, 0);
  return result_;
}

}  // namespace dialect
}  // namespace ociemu
