// The types and names of select-list expressions, as Oracle describes them.
#include <algorithm>
#include <cctype>

#include "ociemu/internal/DialectTranslator.h"
#include "ociemu/internal/Dictionary.h"

namespace ociemu {
namespace dialect {

namespace {

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

}  // namespace

bool KnownFunction(const std::string& name) {
  return FunctionTypes().count(name) > 0;
}

ColumnType Translator::ColumnOf(const Block* b, const std::string& qualifier,
                                const std::string& column) const {
  for (; b; b = Owner(b->select > 0 ? b->select - 1 : tokens_.size())) {
    for (const auto& ref : b->tables) {
      if (ref.table.empty()) continue;
      if (!qualifier.empty() && ref.alias != qualifier && ref.table != qualifier) continue;
      if (const auto* view = DictionaryViewColumns(ref.table)) {
        for (const auto& c : *view) {
          if (c.name == column) return TypeFromDeclared(c.type);
        }
        continue;
      }
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
  std::vector<std::pair<size_t, size_t>> pieces;
  for (size_t i = begin, from = begin; i <= end; ++i) {
    if (i == end || (depth_[i] == d && tokens_[i].IsSymbol("||"))) {
      pieces.emplace_back(from, i);
      from = i + 1;
    }
  }
  if (pieces.size() > 1) {
    // Character operands add their lengths: CHAR with CHAR stays CHAR, anything else is a
    // VARCHAR2. Other operands are converted to text of no known length.
    unsigned total = 0;
    bool allChar = true;
    for (auto [b, e] : pieces) {
      ColumnType t = Infer(b, e);
      if (!t.known || (t.code != kTypeVarchar2 && t.code != kTypeChar))
        return ColumnType::Varchar(4000);
      allChar = allChar && t.code == kTypeChar;
      total += t.size;
    }
    if (allChar && total <= 2000) return ColumnType::Char(static_cast<uint16_t>(total));
    return ColumnType::Varchar(static_cast<uint16_t>(std::min(total, 4000u)));
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
        if ((first.text == "UPPER" || first.text == "LOWER" || first.text == "INITCAP") &&
            args.size() == 1) {
          // The case functions keep their argument's type and length.
          ColumnType t = Infer(args[0].first, args[0].second);
          if (t.known && (t.code == kTypeVarchar2 || t.code == kTypeChar)) return t;
        }
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

}  // namespace dialect
}  // namespace ociemu
