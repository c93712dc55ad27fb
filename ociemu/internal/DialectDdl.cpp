// CREATE TABLE with Oracle's column types, and the sequence statements.
#include "ociemu/internal/DialectTranslator.h"

namespace ociemu {
namespace dialect {

void Translator::ColumnDefinition(size_t begin, size_t end, std::vector<std::string>& checks) {
  // name type[(args)] rest
  const std::string column = tokens_[begin].text;
  Out(tokens_[begin].kind == Token::kQuotedName ? "\"" + column + "\"" : column, begin);
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
  if (i < end && tokens_[i].IsSymbol("(")) {
    size_t close = MatchingParen(i);
    std::string args;
    for (size_t k = i + 1; k < close; ++k) {
      const Token& a = tokens_[k];
      if (a.Is("BYTE") || a.Is("CHAR")) continue;
      args += a.IsSymbol("*") ? "38" : a.raw;
    }
    type += "(" + args + ")";
    i = close + 1;
  }
  if (!TypeFromDeclared(type).known) Fail(902, typeToken);
  Out(type, typeToken);
  ColumnType t = TypeFromDeclared(type);
  if ((t.code == kTypeVarchar2 || t.code == kTypeChar) && t.size > 0) {
    checks.push_back("CONSTRAINT \"OCIEMU$LEN$" + column + "\" CHECK (length(\"" + column +
                     "\") <= " + std::to_string(t.size) + ")");
  }
  for (; i < end; ++i) {
    const Token& tok = tokens_[i];
    if (tok.Is("ENABLE") || tok.Is("DISABLE") || tok.Is("VALIDATE") || tok.Is("NOVALIDATE")) {
      continue;
    }
    if (tok.Is("DEFAULT")) {
      // SQLite wants an expression default in parentheses.
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
      Emit(j, stop);
      result_.sql += ")";
      i = stop - 1;
      continue;
    }
    i = EmitToken(i) - 1;
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
  Out("CREATE TABLE", 0);
  EmitToken(name);
  i = name + 1;
  if (Word(i, "AS")) {
    FindBlocks();
    Emit(i, tokens_.size());
    return result_;
  }
  if (!T(i).IsSymbol("(")) Fail(906, i);
  const size_t close = MatchingParen(i);
  Out("(", i);
  std::vector<std::string> checks;
  size_t start = i + 1;
  bool first = true;
  for (size_t k = i + 1; k <= close; ++k) {
    if (k == close || (tokens_[k].IsSymbol(",") && depth_[k] == depth_[i] + 1)) {
      if (start == k) Fail(904, k);
      if (!first) Out(",", k);
      first = false;
      const Token& head = tokens_[start];
      if (head.Is("CONSTRAINT") || head.Is("PRIMARY") || head.Is("UNIQUE") || head.Is("FOREIGN") ||
          head.Is("CHECK")) {
        for (size_t j = start; j < k; ++j) {
          if (tokens_[j].Is("ENABLE") || tokens_[j].Is("DISABLE") || tokens_[j].Is("VALIDATE") ||
              tokens_[j].Is("NOVALIDATE")) {
            continue;
          }
          j = EmitToken(j) - 1;
        }
      } else {
        ColumnDefinition(start, k, checks);
      }
      start = k + 1;
    }
  }
  for (const auto& check : checks) result_.sql += ", " + check;
  result_.sql += ")";
  size_t after = close + 1;
  if (Word(after, "AS")) {
    FindBlocks();
    Emit(after, tokens_.size());
  }
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
    return std::pair<int64_t, size_t>((negative ? -1 : 1) * std::stoll(T(k).raw), k + 1);
  };
  while (create && T(i).kind != Token::kEnd) {
    if (Word(i, "START") && Word(i + 1, "WITH")) {
      auto [v, next] = number(i + 2);
      result_.sequence.start = v;
      i = next;
    } else if (Word(i, "INCREMENT") && Word(i + 1, "BY")) {
      auto [v, next] = number(i + 2);
      if (v == 0) Fail(2289, i);
      result_.sequence.increment = v;
      i = next;
    } else if (Word(i, "MINVALUE") || Word(i, "MAXVALUE") || Word(i, "CACHE")) {
      i = number(i + 1).second;
    } else if (Word(i, "NOMINVALUE") || Word(i, "NOMAXVALUE") || Word(i, "NOCACHE") ||
               Word(i, "CYCLE") || Word(i, "NOCYCLE") || Word(i, "ORDER") || Word(i, "NOORDER")) {
      ++i;
    } else {
      Fail(922, i);
    }
  }
  return result_;
}

}  // namespace dialect
}  // namespace ociemu
