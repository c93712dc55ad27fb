// The second pass: SQLite's text for queries and DML, token by token.
#include "ociemu/internal/DialectTranslator.h"

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

}  // namespace dialect
}  // namespace ociemu
