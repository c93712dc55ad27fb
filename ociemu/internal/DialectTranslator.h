// The translator behind Translate, shared by the files that hold its passes: finding the query
// blocks, inferring types, rewriting tokens, and the statements with their own syntax (CREATE
// TABLE, sequences, ALTER SESSION, ALTER USER).
#pragma once

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ociemu/internal/Dialect.h"
#include "ociemu/internal/OracleError.h"
#include "ociemu/internal/SqlLexer.h"

namespace ociemu {
namespace dialect {

constexpr int kMaxNesting = 200;

// Whether name is a SQL function the translation knows the result type of.
bool KnownFunction(const std::string& name);

// Words that end a FROM list, and words that cannot be an alias.
const std::set<std::string>& ClauseWords();
const std::set<std::string>& NotAliases();

inline ColumnType Unknown() {
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

class Translator {
 public:
  Translator(std::string_view sql, SchemaLookup& schema)
      : tokens_(Tokenize(sql)), schema_(schema), text_(sql) {
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
    FindConcatenations();
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
  // Writes tokens begin to end. Nested inside another token's rewrite (keepLast), the text
  // after the last token is left to the enclosing emission, which writes it after the rewrite.
  void Emit(size_t begin, size_t end, bool keepLast = false);
  // Where a term or an operand (terms joined by + - * /) starting at k ends; k when none does.
  size_t TermEnd(size_t k) const;
  size_t OperandEnd(size_t k) const;
  struct Concatenation {
    std::vector<std::pair<size_t, size_t>> operands;
    size_t end = 0;
  };
  void FindConcatenations();
  size_t EmitConcatenation(const Concatenation& chain);
  void FindSingleRowSubqueries();
  bool RownumLimit(size_t i);
  size_t EmitToken(size_t i);

  Translation Query(uint16_t type, uint16_t fn);
  Translation CreateTable();
  Translation AlterSession();
  Translation AlterUser();
  Translation Sequence(bool create);
  void ColumnDefinition(size_t begin, size_t end, std::vector<std::string>& checks,
                        const std::string& table);
  // A column or table constraint from token i; returns the token after it.
  size_t Constraint(size_t i, size_t end, const std::string& column);
  // The names in the parentheses opening at open.
  std::vector<std::string> NameList(size_t open) const;
  // The statement's text from token begin to the end of token end - 1, as written.
  std::string Original(size_t begin, size_t end) const;

  std::vector<Token> tokens_;
  std::vector<int> depth_;
  SchemaLookup& schema_;
  std::string text_;
  TableDefinition table_;
  std::vector<std::pair<std::string, int>> scaled_;  // NUMBER(p,s) columns and their scales
  std::vector<std::unique_ptr<Block>> blocks_;
  std::vector<Block*> owner_;
  Translation result_;
  size_t stopAt_ = std::string::npos;               // tokens from here are not written (FOR UPDATE)
  std::map<size_t, std::string> appendAfter_;       // text written after a token (column aliases)
  std::map<size_t, std::string> prependBefore_;     // text written before a token
  std::set<size_t> skipped_;                        // tokens not written
  size_t returning_ = std::string::npos;            // the RETURNING (or RETURN) of a DML
  std::map<size_t, Concatenation> concatenations_;  // || chains by their first token
};

}  // namespace dialect
}  // namespace ociemu
