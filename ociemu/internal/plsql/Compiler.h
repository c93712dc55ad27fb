// The PL/SQL compiler's state, shared by its parts (declarations and units, statements and
// embedded SQL, expressions): the tokens, the scopes that map names to frame slots, and the
// calls left for the database to confirm. Private to the PL/SQL module.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "ociemu/internal/SqlLexer.h"
#include "ociemu/internal/plsql/Parser.h"

namespace ociemu::plsql::compiler {

constexpr int kMaxNesting = 200;
// Stack the parser may use, whatever the nesting count says (frames are larger under
// sanitizers).
constexpr ptrdiff_t kParserStack = 512 * 1024;

// The exceptions of package STANDARD and their Oracle codes.
const std::map<std::string, int>& PredefinedExceptions();
// Functions of the SQL engine that are called without parentheses.
bool IsNiladicFunction(const std::string& name);
// seq.NEXTVAL and seq.CURRVAL: SQL expressions PL/SQL takes as they are.
bool IsSequenceValue(const std::string& name);
// Calls the interpreter answers itself.
bool IsBuiltinProcedure(const std::string& name);
// The tokens, with ".." (the range of a FOR loop) made one symbol.
std::vector<Token> RangeTokens(std::string_view source);

// What a name in scope stands for.
struct Entry {
  enum Kind { kVariable, kConstant, kException, kTableType, kRoutine, kCursor };
  Kind kind = kVariable;
  int depth = 0;
  int slot = -1;
  bool isTable = false;
  bool isRecord = false;
  TypeSpec type;
  ExceptionKey exception;
  Routine* routine = nullptr;
};

class Parser {
 public:
  Parser(std::string_view source, UnitLookup* lookup)
      : source_(source), tokens_(RangeTokens(source)), lookup_(lookup) {
    char here = 0;
    stackBase_ = reinterpret_cast<uintptr_t>(&here);
  }

  Unit ParseUnit();
  void ParsePackageHeaderInto(Unit& unit);
  void ParsePackageBodyInto(Unit& unit);
  void SetHeaderScope(std::map<std::string, Entry> scope, int slots) {
    headerScope_ = std::move(scope);
    headerSlots_ = slots;
  }
  const std::map<std::string, Entry>& PackageScope() const { return packageScope_; }
  const std::vector<std::string>& Binds() const { return binds_; }

 private:
  // Tokens.
  const Token& Peek(size_t ahead = 0) const {
    return tokens_[std::min(pos_ + ahead, tokens_.size() - 1)];
  }
  const Token& Next() {
    const Token& t = Peek();
    if (pos_ < tokens_.size() - 1) ++pos_;
    return t;
  }
  bool AcceptWord(std::string_view w) {
    if (!Peek().Is(w)) return false;
    Next();
    return true;
  }
  bool AcceptSymbol(std::string_view s) {
    if (!Peek().IsSymbol(s)) return false;
    Next();
    return true;
  }
  [[noreturn]] void Unexpected(std::string_view expected) const {
    const Token& t = Peek();
    std::string symbol = t.kind == Token::kEnd ? "end-of-file" : t.raw;
    if (t.kind == Token::kWord) symbol = t.text;
    throw CompileError{t.offset, PlsText(103, {symbol, expected}), false, 0};
  }
  void ExpectWord(std::string_view w) {
    if (!AcceptWord(w)) Unexpected(w);
  }
  void ExpectSymbol(std::string_view s) {
    if (!AcceptSymbol(s)) Unexpected(s);
  }
  std::string ExpectName() {
    const Token& t = Peek();
    if (t.kind != Token::kWord && t.kind != Token::kQuotedName) {
      Unexpected("<an identifier> <a double-quoted delimited-identifier>");
    }
    Next();
    return t.text;
  }
  [[noreturn]] void Semantic(size_t offset, std::string text) const {
    throw CompileError{offset, std::move(text), true, statementOffset_};
  }

  // Scopes.
  Routine& Current() { return *routines_.back(); }
  int Depth() const { return static_cast<int>(routines_.size()) - 1; }
  const Entry* Lookup(const std::string& name) const {
    for (auto it = scopes_.rbegin(); it != scopes_.rend(); ++it) {
      auto found = it->find(name);
      if (found != it->end()) return &found->second;
    }
    return nullptr;
  }
  void Declare(const std::string& name, size_t offset, Entry e) {
    auto& scope = scopes_.back();
    if (scope.count(name)) Semantic(offset, PlsText(371, {name}));
    scope[name] = e;
  }
  int NewSlot() { return Current().slotCount++; }
  SlotRef RefOf(const Entry& e) const { return SlotRef{Depth() - e.depth, e.slot}; }

  struct Nesting {
    explicit Nesting(Parser& p) : p_(p) {
      char here = 0;
      const auto used = static_cast<ptrdiff_t>(p_.stackBase_ - reinterpret_cast<uintptr_t>(&here));
      if (++p_.nesting_ > kMaxNesting || used > kParserStack) {
        throw CompileError{p_.Peek().offset, PlsText(102), false, 0};
      }
    }
    ~Nesting() { --p_.nesting_; }
    Parser& p_;
  };

  // Declarations and blocks.
  TypeSpec ParseType(bool* isTable);
  StmtPtr ParseCursorFor(StmtPtr s, const std::string& record, size_t recordAt);
  void ParseCursorArguments(Stmt& s);
  ExprPtr FieldOf(const Entry& entry, size_t at);
  void ParseDeclarations(Block& block);
  std::shared_ptr<Routine> ParseRoutineHeading(bool isFunction);
  void ParseRoutineBody(Routine& r);
  std::unique_ptr<Block> ParseBlockAfterDeclarations(std::unique_ptr<Block> block);
  ExceptionKey ExceptionByName(size_t offset, const std::string& name);

  // Statements.
  StmtList ParseStatements();
  // A block, branch, loop or handler needs at least one statement.
  void RequireStatements(const StmtList& list) const {
    if (list.empty()) {
      Unexpected(
          "begin case declare exit for if loop null raise return select update while <an "
          "identifier>");
    }
  }
  // The first `stop` symbol from `first` on that stands outside parentheses, or the end token.
  size_t BalancedEnd(size_t first, std::string_view stop) const {
    size_t end = first;
    int depth = 0;
    while (tokens_[end].kind != Token::kEnd && !(depth == 0 && tokens_[end].IsSymbol(stop))) {
      if (tokens_[end].IsSymbol("(")) ++depth;
      if (tokens_[end].IsSymbol(")")) --depth;
      ++end;
    }
    return end;
  }
  StmtPtr ParseStatement();
  StmtPtr ParseSql(size_t first);
  SqlText SqlBetween(size_t first, size_t end, const std::vector<std::pair<size_t, size_t>>& skip);
  StmtPtr ParseLoopBody(StmtPtr loop);
  void ParseEndLoop(const std::string& label);
  ExprPtr ParseTarget();
  std::vector<ExprPtr> ParseTargets();

  // Expressions.
  ExprPtr ParseExpr();
  ExprPtr ParseAnd();
  ExprPtr ParseNot();
  ExprPtr ParseComparison();
  ExprPtr ParseAdditive();
  ExprPtr ParseMultiplicative();
  ExprPtr ParseUnary();
  ExprPtr ParsePrimary();
  ExprPtr ParseName();
  void ParseArguments(Expr& call);
  void NoteBind(const std::string& name) {
    if (bindSet_.insert(name).second) binds_.push_back(name);
  }
  static ExprPtr Make(Expr::Kind kind, size_t offset) {
    auto e = std::make_unique<Expr>();
    e->kind = kind;
    e->offset = offset;
    return e;
  }

  std::string_view source_;
  std::vector<Token> tokens_;
  size_t pos_ = 0;
  UnitLookup* lookup_;
  std::vector<std::map<std::string, Entry>> scopes_;
  std::vector<Routine*> routines_;
  std::map<std::string, Entry> headerScope_;
  int headerSlots_ = 0;
  std::map<std::string, Entry> packageScope_;
  std::set<std::string> unitRoutineNames_;
  std::set<std::string> bindSet_;
  std::vector<std::string> binds_;
  struct PendingCall {
    std::string name;
    size_t offset;
    size_t statement;
  };
  std::vector<PendingCall> pendingCalls_;
  int loopDepth_ = 0;
  int nesting_ = 0;
  uintptr_t stackBase_ = 0;
  bool lastTypeIsRecord_ = false;  // the type ParseType read last was a %ROWTYPE
  size_t statementOffset_ = 0;
  std::vector<std::string> labels_;

 public:
  void CheckCalls() {
    for (const auto& call : pendingCalls_) {
      if (unitRoutineNames_.count(call.name) || IsBuiltinProcedure(call.name) ||
          IsSequenceValue(call.name)) {
        continue;
      }
      if (lookup_ && lookup_->RoutineExists(call.name)) continue;
      throw CompileError{call.offset, PlsText(201, {call.name}), true, call.statement};
    }
  }
};

}  // namespace ociemu::plsql::compiler
