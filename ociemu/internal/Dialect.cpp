// Translation of Oracle statements for SQLite. Two passes over the tokens: the first finds the
// query blocks (select list, FROM list, aliases), the second writes SQLite's text with the
// rewrites, asking the blocks for the types of expressions.
#include "ociemu/internal/Dialect.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <set>

#include "ociemu/internal/OraDate.h"
#include "ociemu/internal/OracleError.h"
#include "ociemu/internal/SqlLexer.h"

namespace ociemu {
namespace {

constexpr int kMaxNesting = 200;

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

ColumnType Unknown() {
  return ColumnType{};
}

struct TableRef {
  std::string table;  // empty for a subquery
  std::string alias;
};

struct Block {
  size_t select = 0;
  size_t listBegin = 0, listEnd = 0;
  size_t fromBegin = 0, fromEnd = 0;
  size_t end = 0;
  int depth = 0;
  std::vector<std::pair<size_t, size_t>> items;
  std::vector<TableRef> tables;
};

// Function result types by name.
enum class Returns { kDate, kVarchar, kNumber, kFirstArgument, kThirdArgument, kSecondArgument };

const std::map<std::string, Returns>& FunctionTypes() {
  static const std::map<std::string, Returns> types = {
      {"SYSDATE", Returns::kDate},
      {"TO_DATE", Returns::kDate},
      {"ADD_MONTHS", Returns::kDate},
      {"LAST_DAY", Returns::kDate},
      {"NEXT_DAY", Returns::kDate},
      {"SYSTIMESTAMP", Returns::kDate},
      {"TO_CHAR", Returns::kVarchar},
      {"CHR", Returns::kVarchar},
      {"SUBSTR", Returns::kVarchar},
      {"UPPER", Returns::kVarchar},
      {"LOWER", Returns::kVarchar},
      {"INITCAP", Returns::kVarchar},
      {"LPAD", Returns::kVarchar},
      {"RPAD", Returns::kVarchar},
      {"LTRIM", Returns::kVarchar},
      {"RTRIM", Returns::kVarchar},
      {"TRIM", Returns::kVarchar},
      {"REPLACE", Returns::kVarchar},
      {"TRANSLATE", Returns::kVarchar},
      {"CONCAT", Returns::kVarchar},
      {"RAWTOHEX", Returns::kVarchar},
      {"SYS_CONTEXT", Returns::kVarchar},
      {"USERENV", Returns::kVarchar},
      {"TO_NUMBER", Returns::kNumber},
      {"LENGTH", Returns::kNumber},
      {"LENGTHB", Returns::kNumber},
      {"INSTR", Returns::kNumber},
      {"COUNT", Returns::kNumber},
      {"SUM", Returns::kNumber},
      {"AVG", Returns::kNumber},
      {"ABS", Returns::kNumber},
      {"MOD", Returns::kNumber},
      {"SIGN", Returns::kNumber},
      {"CEIL", Returns::kNumber},
      {"FLOOR", Returns::kNumber},
      {"POWER", Returns::kNumber},
      {"SQRT", Returns::kNumber},
      {"ASCII", Returns::kNumber},
      {"MONTHS_BETWEEN", Returns::kNumber},
      {"EXP", Returns::kNumber},
      {"LN", Returns::kNumber},
      {"LOG", Returns::kNumber},
      {"STDDEV", Returns::kNumber},
      {"VARIANCE", Returns::kNumber},
      {"TRUNC", Returns::kFirstArgument},
      {"ROUND", Returns::kFirstArgument},
      {"MAX", Returns::kFirstArgument},
      {"MIN", Returns::kFirstArgument},
      {"NVL", Returns::kFirstArgument},
      {"COALESCE", Returns::kFirstArgument},
      {"GREATEST", Returns::kFirstArgument},
      {"LEAST", Returns::kFirstArgument},
      {"DECODE", Returns::kThirdArgument},
      {"NVL2", Returns::kSecondArgument},
  };
  return types;
}

class Translator {
 public:
  Translator(std::string_view sql, SchemaLookup& schema) : tokens_(Tokenize(sql)), schema_(schema) {
    depth_.resize(tokens_.size());
    int d = 0;
    for (size_t i = 0; i < tokens_.size(); ++i) {
      if (tokens_[i].IsSymbol(")")) --d;
      if (d < 0) throw OracleError(933).WithOffset(static_cast<int>(tokens_[i].offset));
      depth_[i] = d;
      if (tokens_[i].IsSymbol("(")) ++d;
      // Nesting beyond any real statement would only exhaust the stack of the inference.
      if (d > kMaxNesting) throw OracleError(900).WithOffset(static_cast<int>(tokens_[i].offset));
    }
    if (d > 0) throw OracleError(907).WithOffset(static_cast<int>(tokens_.back().offset));
  }

  Translation Run();

 private:
  const Token& T(size_t i) const { return tokens_[std::min(i, tokens_.size() - 1)]; }
  bool Word(size_t i, std::string_view w) const { return T(i).Is(w); }
  [[noreturn]] void Fail(int code, size_t i) const {
    throw OracleError(code).WithOffset(static_cast<int>(T(i).offset));
  }

  void FindBlocks();
  void ParseFrom(Block& b);
  Block* Owner(size_t i) const { return i < owner_.size() ? owner_[i] : nullptr; }

  ColumnType Infer(size_t begin, size_t end) const;
  ColumnType ColumnOf(const Block* b, const std::string& qualifier,
                      const std::string& column) const;
  std::string ItemName(size_t begin, size_t end, bool& hasAlias) const;
  size_t MatchingParen(size_t open) const;
  std::vector<std::pair<size_t, size_t>> Arguments(size_t open) const;

  // "ROWID = :bind" or "ROWID = 'text'" starting at token i.
  bool RowidLookup(size_t i) const {
    const Token& value = T(i + 2);
    const Token& after = T(i + 3);
    return T(i + 1).IsSymbol("=") && (value.kind == Token::kBind || value.kind == Token::kString) &&
           !(after.kind == Token::kSymbol && !after.IsSymbol(")") && !after.IsSymbol(","));
  }

  // Output.
  void Out(const std::string& text, size_t token);
  void Emit(size_t begin, size_t end);
  size_t EmitToken(size_t i);

  Translation Query(uint16_t type, uint16_t fn);
  Translation CreateTable();
  Translation AlterSession();
  Translation AlterUser();
  Translation Sequence(bool create);
  void ColumnDefinition(size_t begin, size_t end, std::vector<std::string>& checks);

  std::vector<Token> tokens_;
  std::vector<int> depth_;
  SchemaLookup& schema_;
  std::vector<std::unique_ptr<Block>> blocks_;
  std::vector<Block*> owner_;
  Translation result_;
  size_t stopAt_ = std::string::npos;          // tokens from here are not written (FOR UPDATE)
  std::map<size_t, std::string> appendAfter_;  // text written after a token (column aliases)
};

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

ColumnType Translator::ColumnOf(const Block* b, const std::string& qualifier,
                                const std::string& column) const {
  for (; b; b = Owner(b->select > 0 ? b->select - 1 : tokens_.size())) {
    for (const auto& ref : b->tables) {
      if (ref.table.empty()) continue;
      if (!qualifier.empty() && ref.alias != qualifier && ref.table != qualifier) continue;
      if (auto declared = schema_.DeclaredType(ref.table, column)) {
        ColumnType t = TypeFromDeclared(*declared);
        if (t.known) return t;
      }
    }
    if (b->select == 0) break;
  }
  return Unknown();
}

ColumnType Translator::Infer(size_t begin, size_t end) const {
  if (begin >= end) return Unknown();
  // Strip enclosing parentheses.
  while (tokens_[begin].IsSymbol("(") && MatchingParen(begin) == end - 1) {
    if (Word(begin + 1, "SELECT")) return Unknown();
    ++begin;
    --end;
    if (begin >= end) return Unknown();
  }
  const int d = depth_[begin];
  // Concatenation, then + and -, then * and /.
  for (size_t i = begin; i < end; ++i) {
    if (depth_[i] == d && tokens_[i].IsSymbol("||")) return ColumnType::Varchar(4000);
  }
  std::vector<std::pair<size_t, size_t>> terms;
  std::vector<bool> minus;
  size_t start = begin;
  for (size_t i = begin + 1; i < end; ++i) {
    if (depth_[i] != d || !(tokens_[i].IsSymbol("+") || tokens_[i].IsSymbol("-"))) continue;
    const Token& prev = tokens_[i - 1];
    bool binary = prev.kind == Token::kWord || prev.kind == Token::kQuotedName ||
                  prev.kind == Token::kNumber || prev.kind == Token::kString ||
                  prev.kind == Token::kBind || prev.IsSymbol(")");
    if (!binary || prev.Is("AND") || prev.Is("OR") || prev.Is("NOT")) continue;
    terms.emplace_back(start, i);
    minus.push_back(tokens_[i].IsSymbol("-"));
    start = i + 1;
  }
  if (!terms.empty()) {
    terms.emplace_back(start, end);
    int dates = 0;
    for (auto [b, e] : terms) dates += Infer(b, e).code == kTypeDate && Infer(b, e).known;
    if (dates == 0) return ColumnType::Number();
    if (dates >= 2 && minus[0]) return ColumnType::Number();
    return ColumnType::Date();
  }
  for (size_t i = begin + 1; i < end; ++i) {
    if (depth_[i] == d && (tokens_[i].IsSymbol("*") || tokens_[i].IsSymbol("/"))) {
      return ColumnType::Number();
    }
  }
  const Token& first = tokens_[begin];
  if (first.IsSymbol("-") || first.IsSymbol("+")) return Infer(begin + 1, end);
  if (end - begin == 1) {
    switch (first.kind) {
      case Token::kNumber:
        return ColumnType::Number();
      case Token::kString:
        return first.text.empty() ? ColumnType::Varchar(0)
                                  : ColumnType::Char(static_cast<uint16_t>(first.text.size()));
      case Token::kBind:
        return Unknown();
      default:
        break;
    }
    if (first.Is("SYSDATE") || first.Is("SYSTIMESTAMP") || first.Is("CURRENT_DATE")) {
      return ColumnType::Date();
    }
    if (first.Is("USER")) return ColumnType::Varchar(128);
    if (first.Is("ROWID")) return ColumnType::Rowid();
    if (first.Is("NULL")) return ColumnType::Varchar(0);
    if (first.Is("ROWNUM") || first.Is("LEVEL")) return ColumnType::Number();
    return ColumnOf(Owner(begin), "", first.text);
  }
  if (end - begin == 3 && tokens_[begin + 1].IsSymbol(".")) {
    const std::string& col = tokens_[begin + 2].text;
    if (col == "ROWID") return ColumnType::Rowid();
    if (col == "NEXTVAL" || col == "CURRVAL") return ColumnType::Number();
    return ColumnOf(Owner(begin), first.text, col);
  }
  if (first.Is("CASE")) {
    for (size_t i = begin; i < end; ++i) {
      if (depth_[i] == d && tokens_[i].Is("THEN")) {
        size_t j = i + 1;
        while (j < end && !(depth_[j] == d && (tokens_[j].Is("WHEN") || tokens_[j].Is("ELSE") ||
                                               tokens_[j].Is("END")))) {
          ++j;
        }
        return Infer(i + 1, j);
      }
    }
    return Unknown();
  }
  if (first.kind == Token::kWord && tokens_[begin + 1].IsSymbol("(") &&
      MatchingParen(begin + 1) == end - 1) {
    if (first.text == "CAST") {
      // CAST(x AS type)
      for (size_t i = begin + 2; i < end - 1; ++i) {
        if (depth_[i] == d + 1 && tokens_[i].Is("AS")) {
          std::string declared;
          for (size_t j = i + 1; j < end - 1; ++j) declared += tokens_[j].raw;
          ColumnType t = TypeFromDeclared(declared);
          return t.known ? t : Unknown();
        }
      }
    }
    auto it = FunctionTypes().find(first.text);
    if (it == FunctionTypes().end()) return Unknown();
    auto args = Arguments(begin + 1);
    switch (it->second) {
      case Returns::kDate:
        return ColumnType::Date();
      case Returns::kNumber:
        return ColumnType::Number();
      case Returns::kVarchar:
        if (first.text == "CHR") return ColumnType::Varchar(1);
        return ColumnType::Varchar(4000);
      case Returns::kFirstArgument:
        if (args.empty()) return Unknown();
        if (first.text == "TRUNC" || first.text == "ROUND") {
          ColumnType t = Infer(args[0].first, args[0].second);
          return t.code == kTypeDate && t.known ? t : ColumnType::Number();
        }
        return Infer(args[0].first, args[0].second);
      case Returns::kSecondArgument:
        return args.size() > 1 ? Infer(args[1].first, args[1].second) : Unknown();
      case Returns::kThirdArgument:
        return args.size() > 2 ? Infer(args[2].first, args[2].second) : Unknown();
    }
  }
  return Unknown();
}

std::string Translator::ItemName(size_t begin, size_t end, bool& hasAlias) const {
  hasAlias = false;
  if (end - begin >= 2) {
    const Token& last = tokens_[end - 1];
    const Token& before = tokens_[end - 2];
    bool aliasShape = last.kind == Token::kQuotedName ||
                      (last.kind == Token::kWord && !NotAliases().count(last.text));
    bool afterExpression = before.Is("AS") || before.kind == Token::kWord ||
                           before.kind == Token::kQuotedName || before.kind == Token::kNumber ||
                           before.kind == Token::kString || before.kind == Token::kBind ||
                           before.IsSymbol(")");
    if (aliasShape && afterExpression && !before.IsSymbol(".") &&
        depth_[end - 1] == depth_[begin]) {
      hasAlias = true;
      return last.text;
    }
  }
  if (end - begin == 1 &&
      (tokens_[begin].kind == Token::kWord || tokens_[begin].kind == Token::kQuotedName)) {
    return tokens_[begin].text;
  }
  if (end - begin == 3 && tokens_[begin + 1].IsSymbol(".")) return tokens_[begin + 2].text;
  // An expression is named by its text, upper-cased and without blanks.
  std::string name;
  for (size_t i = begin; i < end; ++i) {
    const Token& t = tokens_[i];
    std::string raw = t.raw;
    if (t.kind != Token::kQuotedName) {
      for (auto& c : raw) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    name += raw;
  }
  return name;
}

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

void Translator::Emit(size_t begin, size_t end) {
  size_t i = begin;
  while (i < end && i < stopAt_) {
    size_t next = EmitToken(i);
    for (size_t k = i; k < next; ++k) {
      auto it = appendAfter_.find(k);
      if (it != appendAfter_.end()) result_.sql += it->second;
    }
    i = next;
  }
}

Translation Translator::Query(uint16_t type, uint16_t fn) {
  result_.action = type == 1 ? Translation::kQuery : Translation::kDml;
  result_.statementType = type;
  result_.functionCode = fn;
  FindBlocks();
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
        item.star = true;
      } else {
        bool hasAlias = false;
        item.name = ItemName(begin, end, hasAlias);
        item.type = Infer(begin, hasAlias ? end - (tokens_[end - 2].Is("AS") ? 2 : 1) : end);
        if (!hasAlias) {
          std::string quoted;
          for (char c : item.name) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
          appendAfter_[end - 1] = " AS \"" + quoted + "\"";
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

Translation Translator::AlterSession() {
  result_.action = Translation::kAlterSession;
  result_.statementType = 7;
  result_.functionCode = 52;
  size_t i = 2;
  if (!Word(i, "SET")) {
    // ALTER SESSION ENABLE/DISABLE/FORCE ... : accepted, nothing to record.
    if (Word(i, "ENABLE") || Word(i, "DISABLE") || Word(i, "FORCE") || Word(i, "CLOSE") ||
        Word(i, "ADVISE")) {
      return result_;
    }
    Fail(2248, i);
  }
  ++i;
  static const std::set<std::string> known = {"OPTIMIZER_MODE",
                                              "OPTIMIZER_GOAL",
                                              "SQL_TRACE",
                                              "ISOLATION_LEVEL",
                                              "CURRENT_SCHEMA",
                                              "TIME_ZONE",
                                              "CURSOR_SHARING",
                                              "STATISTICS_LEVEL",
                                              "EVENTS",
                                              "EDITION",
                                              "DDL_LOCK_TIMEOUT",
                                              "SKIP_UNUSABLE_INDEXES",
                                              "SORT_AREA_SIZE",
                                              "HASH_AREA_SIZE",
                                              "WORKAREA_SIZE_POLICY",
                                              "COMMIT_WRITE",
                                              "CONSTRAINTS",
                                              "DB_FILE_MULTIBLOCK_READ_COUNT",
                                              "GLOBAL_NAMES",
                                              "RECYCLEBIN",
                                              "PARALLEL_DEGREE_POLICY",
                                              "TRACEFILE_IDENTIFIER",
                                              "MAX_DUMP_FILE_SIZE",
                                              "TIMED_STATISTICS",
                                              "QUERY_REWRITE_ENABLED",
                                              "QUERY_REWRITE_INTEGRITY",
                                              "STAR_TRANSFORMATION_ENABLED",
                                              "PLSQL_WARNINGS",
                                              "PLSQL_OPTIMIZE_LEVEL",
                                              "PLSQL_CODE_TYPE",
                                              "PLSQL_DEBUG",
                                              "NLS_LANGUAGE"};
  while (T(i).kind != Token::kEnd) {
    if (T(i).kind != Token::kWord || !T(i + 1).IsSymbol("=")) Fail(922, i);
    const std::string name = T(i).text;
    if (!known.count(name) && name.rfind("NLS_", 0) != 0 && name.rfind("OPTIMIZER_", 0) != 0 &&
        name[0] != '_') {
      Fail(2248, i);
    }
    size_t v = i + 2;
    if (T(v).kind == Token::kEnd) Fail(922, v);
    std::string value;
    // A value runs to the next "name =" or the end (ISOLATION_LEVEL = READ COMMITTED).
    while (T(v).kind != Token::kEnd &&
           !(T(v).kind == Token::kWord && T(v + 1).IsSymbol("=") && !value.empty())) {
      if (!value.empty()) value += ' ';
      value +=
          T(v).kind == Token::kString || T(v).kind == Token::kQuotedName ? T(v).text : T(v).raw;
      ++v;
    }
    std::string lower;
    for (char c : name) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower == "nls_date_format") FormatDate(CivilTime{2000, 1, 1, 0, 0, 0}, value);
    if (lower == "isolation_level") {
      std::string upper;
      for (char c : value) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      if (upper != "SERIALIZABLE" && upper != "READ COMMITTED") Fail(2248, i);
    }
    result_.settings.emplace_back(lower, value);
    i = v;
  }
  if (result_.settings.empty()) Fail(922, i);
  return result_;
}

Translation Translator::AlterUser() {
  result_.action = Translation::kAlterUser;
  result_.statementType = 7;
  result_.functionCode = 53;
  if (T(2).kind != Token::kWord && T(2).kind != Token::kQuotedName) Fail(1935, 2);
  result_.alterUser.user = T(2).text;
  size_t i = 3;
  if (T(i).kind == Token::kEnd) Fail(922, i);
  while (T(i).kind != Token::kEnd) {
    if (Word(i, "IDENTIFIED") && Word(i + 1, "BY")) {
      const Token& pw = T(i + 2);
      if (pw.kind != Token::kWord && pw.kind != Token::kQuotedName && pw.kind != Token::kNumber) {
        Fail(988, i + 2);
      }
      // Passwords are case-sensitive as written.
      result_.alterUser.password = pw.kind == Token::kQuotedName ? pw.text : pw.raw;
      i += 3;
      if (Word(i, "REPLACE")) i += 2;
    } else if (Word(i, "ACCOUNT") && (Word(i + 1, "LOCK") || Word(i + 1, "UNLOCK"))) {
      result_.alterUser.lock = Word(i + 1, "LOCK");
      i += 2;
    } else if (Word(i, "PASSWORD") && Word(i + 1, "EXPIRE")) {
      result_.alterUser.expire = true;
      i += 2;
    } else {
      Fail(922, i);
    }
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

Translation Translator::Run() {
  const Token& first = tokens_[0];
  if (first.kind == Token::kEnd) Fail(900, 0);
  if (first.Is("SELECT") || first.Is("WITH") || first.IsSymbol("(")) return Query(1, 4);
  if (first.Is("INSERT")) return Query(4, 3);
  if (first.Is("UPDATE")) return Query(2, 5);
  if (first.Is("DELETE")) return Query(3, 9);
  if (first.Is("COMMIT")) {
    result_.action = Translation::kCommit;
    result_.functionCode = 54;
    return result_;
  }
  if (first.Is("ROLLBACK")) {
    result_.action = Translation::kRollback;
    result_.functionCode = 55;
    size_t i = 1;
    if (Word(i, "WORK")) ++i;
    if (Word(i, "TO")) {
      ++i;
      if (Word(i, "SAVEPOINT")) ++i;
      result_.savepoint = T(i).text;
      if (result_.savepoint.empty()) Fail(905, i);
    }
    return result_;
  }
  if (first.Is("SAVEPOINT")) {
    result_.action = Translation::kSavepoint;
    result_.functionCode = 56;
    result_.savepoint = T(1).text;
    if (result_.savepoint.empty()) Fail(905, 1);
    return result_;
  }
  if (first.Is("ALTER") && Word(1, "SESSION")) return AlterSession();
  if (first.Is("ALTER") && Word(1, "USER")) return AlterUser();
  if (first.Is("CREATE") || first.Is("DROP") || first.Is("TRUNCATE") || first.Is("ALTER")) {
    const bool create = first.Is("CREATE");
    size_t i = 1;
    if (create && Word(i, "OR") && Word(i + 1, "REPLACE")) i += 2;
    while (Word(i, "GLOBAL") || Word(i, "TEMPORARY") || Word(i, "UNIQUE") || Word(i, "BITMAP")) ++i;
    const std::string what = T(i).kind == Token::kWord ? T(i).text : "";
    if (what == "SEQUENCE") return Sequence(create);
    if (create && what == "TABLE") return CreateTable();
    result_.action = Translation::kDdl;
    result_.statementType =
        first.Is("CREATE") ? 5 : (first.Is("DROP") ? 6 : (first.Is("ALTER") ? 7 : 0));
    if (first.Is("TRUNCATE")) {
      result_.functionCode = 85;
      size_t name = Word(1, "TABLE") ? 2 : 1;
      if (T(name + 1).IsSymbol(".")) name += 2;
      Out("DELETE FROM", 0);
      EmitToken(name);
      return result_;
    }
    if (first.Is("DROP") && (what == "TABLE" || what == "VIEW" || what == "INDEX")) {
      result_.functionCode = what == "TABLE" ? 8 : (what == "VIEW" ? 7 : 21);
      size_t name = i + 1;
      if (T(name + 1).IsSymbol(".")) name += 2;
      Out("DROP " + what, 0);
      EmitToken(name);
      return result_;
    }
    if (create && (what == "VIEW" || what == "INDEX")) {
      result_.functionCode = what == "VIEW" ? 10 : 20;
      FindBlocks();
      if (what == "VIEW" && Word(1, "OR")) {
        // CREATE OR REPLACE VIEW: SQLite drops and creates.
        size_t name = i + 1;
        if (T(name + 1).IsSymbol(".")) name += 2;
        Out("DROP VIEW IF EXISTS", 0);
        EmitToken(name);
        result_.sql += "; CREATE VIEW";
        Emit(name, tokens_.size());
        return result_;
      }
      size_t end = tokens_.size();
      if (what == "INDEX") {
        // Storage clauses after the column list mean nothing here.
        for (size_t k = 0; k < tokens_.size(); ++k) {
          if (tokens_[k].IsSymbol("(") && depth_[k] == 0) {
            end = MatchingParen(k) + 1;
            break;
          }
        }
      }
      Out("CREATE", 0);
      Emit(1, end);
      return result_;
    }
    if (first.Is("ALTER") && what == "TABLE") {
      result_.functionCode = 26;
      size_t name = i + 1;
      if (T(name + 1).IsSymbol(".")) name += 2;
      if (Word(name + 1, "ADD")) {
        size_t k = name + 2;
        bool paren = T(k).IsSymbol("(");
        size_t close = paren ? MatchingParen(k) : tokens_.size() - 1;
        size_t start = paren ? k + 1 : k;
        bool firstColumn = true;
        for (size_t j = start; j <= close; ++j) {
          if (j == close ||
              (tokens_[j].IsSymbol(",") && depth_[j] == depth_[k] + (paren ? 1 : 0))) {
            if (!firstColumn) result_.sql += "; ";
            firstColumn = false;
            Out("ALTER TABLE", 0);
            EmitToken(name);
            result_.sql += " ADD COLUMN";
            std::vector<std::string> checks;
            ColumnDefinition(start, j, checks);
            start = j + 1;
          }
        }
        return result_;
      }
      if (Word(name + 1, "RENAME") && Word(name + 2, "TO")) {
        Out("ALTER TABLE", 0);
        EmitToken(name);
        result_.sql += " RENAME TO";
        EmitToken(name + 3);
        return result_;
      }
    }
    result_.action = Translation::kUnsupported;
    return result_;
  }
  if (first.Is("BEGIN") || first.Is("DECLARE")) {
    result_.statementType = first.Is("BEGIN") ? 8 : 9;
    result_.functionCode = 34;
    return result_;
  }
  if (first.Is("CALL")) {
    result_.statementType = 10;
    return result_;
  }
  if (first.Is("MERGE")) {
    result_.statementType = 16;
    return result_;
  }
  if (first.Is("GRANT") || first.Is("REVOKE") || first.Is("LOCK") || first.Is("COMMENT") ||
      first.Is("ANALYZE") || first.Is("SET") || first.Is("EXPLAIN") || first.Is("RENAME") ||
      first.Is("AUDIT") || first.Is("NOAUDIT")) {
    return result_;
  }
  Fail(900, 0);
}

const char kRowidAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

void Base64(std::string& out, int64_t value, int digits) {
  std::string part(static_cast<size_t>(digits), 'A');
  for (int i = digits - 1; i >= 0; --i) {
    part[static_cast<size_t>(i)] = kRowidAlphabet[value & 63];
    value >>= 6;
  }
  out += part;
}

std::optional<int64_t> FromBase64(std::string_view s) {
  int64_t v = 0;
  for (char c : s) {
    const char* p = std::strchr(kRowidAlphabet, c);
    if (!p || c == 0) return std::nullopt;
    v = (v << 6) | (p - kRowidAlphabet);
  }
  return v;
}

}  // namespace

size_t Translation::OriginalOffset(size_t position) const {
  size_t offset = 0;
  for (const auto& [pos, original] : offsets) {
    if (pos > position) break;
    offset = original;
  }
  return offset;
}

std::pair<uint16_t, uint16_t> Classify(std::string_view sql) {
  std::vector<Token> tokens;
  try {
    tokens = Tokenize(sql);
  } catch (const OracleError&) {
    return {0, 0};
  }
  const Token& t = tokens[0];
  auto next = [&](size_t i) -> const Token& { return tokens[std::min(i, tokens.size() - 1)]; };
  if (t.Is("SELECT") || t.Is("WITH") || t.IsSymbol("(")) return {1, 4};
  if (t.Is("INSERT")) return {4, 3};
  if (t.Is("UPDATE")) return {2, 5};
  if (t.Is("DELETE")) return {3, 9};
  if (t.Is("CREATE")) return {5, next(1).Is("TABLE") ? 1 : 0};
  if (t.Is("DROP")) return {6, next(1).Is("TABLE") ? 8 : 0};
  if (t.Is("ALTER")) {
    if (next(1).Is("SESSION")) return {7, 52};
    if (next(1).Is("USER")) return {7, 53};
    return {7, 26};
  }
  if (t.Is("BEGIN")) return {8, 34};
  if (t.Is("DECLARE")) return {9, 34};
  if (t.Is("CALL")) return {10, 0};
  if (t.Is("MERGE")) return {16, 0};
  if (t.Is("COMMIT")) return {0, 54};
  if (t.Is("ROLLBACK")) return {0, 55};
  return {0, 0};
}

Translation Translate(std::string_view sql, SchemaLookup& schema) {
  return Translator(sql, schema).Run();
}

int64_t ObjectNumber(std::string_view table) {
  // A stable object number per table name, in the range user objects have.
  uint32_t h = 2166136261u;
  for (char c : table) {
    h ^= static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(c)));
    h *= 16777619u;
  }
  return 70000 + h % 900000;
}

std::string RowidText(int64_t object, int64_t rowid) {
  std::string out;
  Base64(out, object, 6);
  Base64(out, 4, 3);  // the file
  Base64(out, rowid >> 12, 6);
  Base64(out, rowid & 0xFFF, 3);
  return out;
}

std::optional<std::pair<int64_t, int64_t>> ParseRowid(std::string_view text) {
  if (text.size() != 18) return std::nullopt;
  auto object = FromBase64(text.substr(0, 6));
  auto block = FromBase64(text.substr(9, 6));
  auto row = FromBase64(text.substr(15, 3));
  if (!object || !block || !row || *row > 0xFFF) return std::nullopt;
  return std::pair<int64_t, int64_t>(*object, (*block << 12) | *row);
}

}  // namespace ociemu
