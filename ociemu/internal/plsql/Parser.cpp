// A recursive-descent parser over the SQL lexer's tokens. Scopes map names to frame slots as
// declarations are read, so the tree needs no later binding pass; the few names only the
// database can answer (stored routines) are checked through UnitLookup at the end.
#include "ociemu/internal/plsql/Parser.h"

#include <atomic>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <map>
#include <set>

#include "ociemu/internal/SqlLexer.h"

namespace ociemu::plsql {

namespace {

constexpr int kMaxNesting = 200;
// Stack the parser may use, whatever the nesting count says (frames are larger under
// sanitizers).
constexpr ptrdiff_t kParserStack = 512 * 1024;

std::atomic<int> nextUserException{1};

const std::map<std::string, int>& PredefinedExceptions() {
  static const std::map<std::string, int> names = {
      {"ACCESS_INTO_NULL", 6530},  {"CASE_NOT_FOUND", 6592},    {"CURSOR_ALREADY_OPEN", 6511},
      {"DUP_VAL_ON_INDEX", 1},     {"INVALID_CURSOR", 1001},    {"INVALID_NUMBER", 1722},
      {"LOGIN_DENIED", 1017},      {"NO_DATA_FOUND", 1403},     {"NOT_LOGGED_ON", 1012},
      {"PROGRAM_ERROR", 6501},     {"ROWTYPE_MISMATCH", 6504},  {"STORAGE_ERROR", 6500},
      {"SYS_INVALID_ROWID", 1410}, {"TIMEOUT_ON_RESOURCE", 51}, {"TOO_MANY_ROWS", 1422},
      {"VALUE_ERROR", 6502},       {"ZERO_DIVIDE", 1476},
  };
  return names;
}

// Functions of the SQL engine that are called without parentheses.
bool IsNiladicFunction(const std::string& name) {
  static const std::set<std::string> names = {
      "SYSDATE",           "SYSTIMESTAMP",    "USER",      "UID", "CURRENT_DATE", "LOCALTIMESTAMP",
      "CURRENT_TIMESTAMP", "SESSIONTIMEZONE", "DBTIMEZONE"};
  return names.count(name) > 0;
}

// seq.NEXTVAL and seq.CURRVAL: SQL expressions PL/SQL takes as they are.
bool IsSequenceValue(const std::string& name) {
  auto endsWith = [&](std::string_view suffix) {
    return name.size() > suffix.size() &&
           name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
  };
  return endsWith(".NEXTVAL") || endsWith(".CURRVAL");
}

// Calls the interpreter answers itself.
bool IsBuiltinProcedure(const std::string& name) {
  return name == "RAISE_APPLICATION_ERROR" || name.rfind("DBMS_OUTPUT.", 0) == 0;
}

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

// The tokens, with ".." (the range of a FOR loop) made one symbol: the lexer reads "1..10" as
// one number and "a..b" as two dots.
std::vector<Token> RangeTokens(std::string_view source) {
  std::vector<Token> in = Tokenize(source);
  std::vector<Token> out;
  for (size_t i = 0; i < in.size(); ++i) {
    Token t = in[i];
    if (t.kind == Token::kNumber) {
      size_t dots = t.text.find("..");
      if (dots != std::string::npos) {
        if (dots > 0) {
          out.push_back(Token{Token::kNumber, t.text.substr(0, dots), t.offset, dots,
                              t.text.substr(0, dots)});
        }
        out.push_back(Token{Token::kSymbol, "..", t.offset + dots, 2, ".."});
        std::string rest = t.text.substr(dots + 2);
        if (!rest.empty()) {
          out.push_back(Token{Token::kNumber, rest, t.offset + dots + 2, rest.size(), rest});
        }
        continue;
      }
    }
    if (t.IsSymbol(".") && i + 1 < in.size() && in[i + 1].offset == t.offset + 1) {
      const Token& next = in[i + 1];
      if (next.IsSymbol(".")) {
        out.push_back(Token{Token::kSymbol, "..", t.offset, 2, ".."});
        ++i;
        continue;
      }
      if (next.kind == Token::kNumber && !next.text.empty() && next.text[0] == '.') {
        out.push_back(Token{Token::kSymbol, "..", t.offset, 2, ".."});
        std::string rest = next.text.substr(1);
        out.push_back(Token{Token::kNumber, rest, next.offset + 1, rest.size(), rest});
        ++i;
        continue;
      }
    }
    out.push_back(std::move(t));
  }
  return out;
}

class Parser {
 public:
  Parser(std::string_view source, UnitLookup* lookup)
      : source_(source), tokens_(RangeTokens(source)), lookup_(lookup) {
    char here = 0;
    stackBase_ = reinterpret_cast<uintptr_t>(&here);
  }

  Unit ParseUnit();
  void ParsePackageSpecInto(Unit& unit);
  void ParsePackageBodyInto(Unit& unit);
  void SetSpecScope(std::map<std::string, Entry> scope, int slots) {
    specScope_ = std::move(scope);
    specSlots_ = slots;
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
  std::map<std::string, Entry> specScope_;
  int specSlots_ = 0;
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

TypeSpec Parser::ParseType(bool* isTable) {
  *isTable = false;
  lastTypeIsRecord_ = false;
  TypeSpec t;
  const size_t offset = Peek().offset;
  std::string name = ExpectName();
  if (AcceptSymbol(".")) {
    // table.column%TYPE: the column's type is not looked up; the variable takes any value.
    ExpectName();
    ExpectSymbol("%");
    ExpectWord("TYPE");
    return t;
  }
  if (AcceptSymbol("%")) {
    const Token& attr = Peek();
    if (attr.Is("ROWTYPE")) {
      // table%ROWTYPE or cursor%ROWTYPE: a record whose fields are the columns it is given.
      Next();
      lastTypeIsRecord_ = true;
      return t;
    }
    if (attr.Is("TYPE")) {
      Next();
      const Entry* e = Lookup(name);
      if (!e || (e->kind != Entry::kVariable && e->kind != Entry::kConstant)) {
        Semantic(offset, PlsText(201, {name}));
      }
      *isTable = e->isTable;
      return e->type;
    }
    Unexpected("TYPE");
  }
  auto size = [&](int* length, int* scale, bool* hasScale) {
    if (!AcceptSymbol("(")) return;
    const Token& n = Next();
    if (n.kind != Token::kNumber) Unexpected("<an integer>");
    *length = std::atoi(n.text.c_str());
    if (scale && AcceptSymbol(",")) {
      bool negative = AcceptSymbol("-");
      const Token& s = Next();
      if (s.kind != Token::kNumber) Unexpected("<an integer>");
      *scale = std::atoi(s.text.c_str()) * (negative ? -1 : 1);
      *hasScale = true;
    }
    AcceptWord("BYTE") || AcceptWord("CHAR");
    ExpectSymbol(")");
  };
  if (name == "NUMBER" || name == "DECIMAL" || name == "NUMERIC" || name == "DEC" ||
      name == "FLOAT" || name == "REAL") {
    t.base = TypeSpec::kNumber;
    if (name != "REAL") size(&t.precision, &t.scale, &t.hasScale);
    if (name == "FLOAT") t.precision = 0;
    if ((name == "DECIMAL" || name == "NUMERIC" || name == "DEC") && !t.hasScale && t.precision) {
      t.hasScale = true;
    }
  } else if (name == "DOUBLE") {
    ExpectWord("PRECISION");
    t.base = TypeSpec::kNumber;
  } else if (name == "INTEGER" || name == "INT" || name == "SMALLINT") {
    t.base = TypeSpec::kNumber;
    t.precision = 38;
    t.hasScale = true;
  } else if (name == "PLS_INTEGER" || name == "BINARY_INTEGER" || name == "NATURAL" ||
             name == "POSITIVE" || name == "NATURALN" || name == "POSITIVEN" ||
             name == "SIMPLE_INTEGER" || name == "SIGNTYPE") {
    t.base = TypeSpec::kInteger;
  } else if (name == "BINARY_DOUBLE" || name == "BINARY_FLOAT") {
    t.base = TypeSpec::kNumber;
  } else if (name == "VARCHAR2" || name == "VARCHAR" || name == "NVARCHAR2" || name == "STRING") {
    t.base = TypeSpec::kVarchar;
    size(&t.length, nullptr, nullptr);
  } else if (name == "CHAR" || name == "NCHAR" || name == "CHARACTER") {
    t.base = TypeSpec::kChar;
    size(&t.length, nullptr, nullptr);
  } else if (name == "LONG") {
    if (AcceptWord("RAW")) {
      t.base = TypeSpec::kRaw;
    } else {
      t.base = TypeSpec::kVarchar;
    }
  } else if (name == "CLOB" || name == "NCLOB") {
    t.base = TypeSpec::kVarchar;
  } else if (name == "RAW" || name == "BLOB") {
    t.base = TypeSpec::kRaw;
    if (name == "RAW") size(&t.length, nullptr, nullptr);
  } else if (name == "DATE" || name == "TIMESTAMP") {
    t.base = TypeSpec::kDate;
    if (name == "TIMESTAMP") {
      int ignored = 0;
      size(&ignored, nullptr, nullptr);
    }
  } else if (name == "BOOLEAN") {
    t.base = TypeSpec::kBoolean;
  } else if (name == "SYS_REFCURSOR") {
    t.base = TypeSpec::kAny;
  } else {
    const Entry* e = Lookup(name);
    if (!e || e->kind != Entry::kTableType) Semantic(offset, PlsText(201, {name}));
    *isTable = true;
    return e->type;
  }
  return t;
}

ExceptionKey Parser::ExceptionByName(size_t offset, const std::string& name) {
  if (const Entry* e = Lookup(name); e && e->kind == Entry::kException) return e->exception;
  auto it = PredefinedExceptions().find(name);
  if (it != PredefinedExceptions().end()) return ExceptionKey{it->second, 0};
  Semantic(offset, PlsText(201, {name}));
}

void Parser::ParseDeclarations(Block& block) {
  while (true) {
    const Token& t = Peek();
    if (t.kind != Token::kWord && t.kind != Token::kQuotedName) return;
    if (t.Is("BEGIN") || t.Is("END")) return;
    statementOffset_ = t.offset;
    if (t.Is("PROCEDURE") || t.Is("FUNCTION")) {
      const bool isFunction = t.Is("FUNCTION");
      Next();
      auto r = ParseRoutineHeading(isFunction);
      unitRoutineNames_.insert(r->name);
      Entry e;
      e.kind = Entry::kRoutine;
      e.routine = r.get();
      scopes_.back()[r->name] = e;  // a forward declaration and its body share the name
      if (AcceptWord("IS") || AcceptWord("AS")) ParseRoutineBody(*r);
      ExpectSymbol(";");
      block.routines.push_back(std::move(r));
      continue;
    }
    if (t.Is("PRAGMA")) {
      Next();
      ExpectWord("EXCEPTION_INIT");
      ExpectSymbol("(");
      const size_t at = Peek().offset;
      std::string name = ExpectName();
      ExpectSymbol(",");
      bool negative = AcceptSymbol("-");
      const Token& n = Next();
      if (n.kind != Token::kNumber) Unexpected("<an integer>");
      ExpectSymbol(")");
      ExpectSymbol(";");
      auto& scope = scopes_.back();
      auto it = scope.find(name);
      if (it == scope.end() || it->second.kind != Entry::kException) {
        Semantic(at, PlsText(201, {name}));
      }
      int code = std::atoi(n.text.c_str());
      it->second.exception.code = negative ? code : -code;
      for (auto& d : block.declarations) {
        if (d.name == name) d.exception = it->second.exception;
      }
      continue;
    }
    if (t.Is("TYPE")) {
      Next();
      const size_t at = Peek().offset;
      std::string name = ExpectName();
      ExpectWord("IS");
      ExpectWord("TABLE");
      ExpectWord("OF");
      bool nested = false;
      Entry e;
      e.kind = Entry::kTableType;
      e.type = ParseType(&nested);
      if (AcceptWord("NOT")) {
        ExpectWord("NULL");
        e.type.notNull = true;
      }
      ExpectWord("INDEX");
      ExpectWord("BY");
      bool ignored = false;
      ParseType(&ignored);
      ExpectSymbol(";");
      Declare(name, at, e);
      continue;
    }
    if (t.Is("CURSOR")) {
      Next();
      const size_t at = Peek().offset;
      Declaration d;
      d.kind = Declaration::kCursor;
      d.name = ExpectName();
      d.offset = at;
      scopes_.emplace_back();  // the parameters are seen by the query only
      if (AcceptSymbol("(")) {
        do {
          Parameter p;
          p.name = ExpectName();
          AcceptWord("IN");
          bool isTable = false;
          p.type = ParseType(&isTable);
          p.type.length = 0;
          if (AcceptSymbol(":=") || AcceptWord("DEFAULT")) p.defaultValue = ParseExpr();
          Entry e;
          e.kind = Entry::kConstant;
          e.depth = Depth();
          e.slot = p.slot = NewSlot();
          e.type = p.type;
          Declare(p.name, at, e);
          d.cursorParams.push_back(std::move(p));
        } while (AcceptSymbol(","));
        ExpectSymbol(")");
      }
      ExpectWord("IS");
      size_t first = pos_;
      size_t end = first;
      int depth = 0;
      while (tokens_[end].kind != Token::kEnd && !(depth == 0 && tokens_[end].IsSymbol(";"))) {
        if (tokens_[end].IsSymbol("(")) ++depth;
        if (tokens_[end].IsSymbol(")")) --depth;
        ++end;
      }
      if (!tokens_[first].Is("SELECT") && !tokens_[first].Is("WITH") &&
          !tokens_[first].IsSymbol("(")) {
        Unexpected("select with (");
      }
      d.query = SqlBetween(first, end, {});
      pos_ = end;
      ExpectSymbol(";");
      scopes_.pop_back();
      Entry e;
      e.kind = Entry::kCursor;
      e.depth = Depth();
      e.slot = d.slot = NewSlot();
      Declare(d.name, at, e);
      block.declarations.push_back(std::move(d));
      continue;
    }
    if (t.Is("SUBTYPE")) {
      Semantic(t.offset, PlsText(103, {t.text, "begin function pragma procedure type"}));
    }
    const size_t at = t.offset;
    std::string name = ExpectName();
    Declaration d;
    d.name = name;
    d.offset = at;
    if (AcceptWord("EXCEPTION")) {
      ExpectSymbol(";");
      d.kind = Declaration::kException;
      d.exception = ExceptionKey{0, nextUserException++};
      Entry e;
      e.kind = Entry::kException;
      e.exception = d.exception;
      Declare(name, at, e);
      block.declarations.push_back(std::move(d));
      continue;
    }
    if (AcceptWord("CONSTANT")) d.kind = Declaration::kConstant;
    d.type = ParseType(&d.isTable);
    d.isRecord = lastTypeIsRecord_;
    if (AcceptWord("NOT")) {
      ExpectWord("NULL");
      d.type.notNull = true;
    }
    if (AcceptSymbol(":=") || AcceptWord("DEFAULT")) {
      d.init = ParseExpr();
    } else if (d.kind == Declaration::kConstant || d.type.notNull) {
      Unexpected(":=");
    }
    ExpectSymbol(";");
    Entry e;
    e.kind = d.kind == Declaration::kConstant ? Entry::kConstant : Entry::kVariable;
    e.depth = Depth();
    e.slot = d.slot = NewSlot();
    e.isTable = d.isTable;
    e.isRecord = d.isRecord;
    e.type = d.type;
    Declare(name, at, e);
    block.declarations.push_back(std::move(d));
  }
}

ExprPtr Parser::FieldOf(const Entry& entry, size_t at) {
  auto e = Make(Expr::kField, at);
  e->slot = RefOf(entry);
  ExpectSymbol(".");
  e->op = ExpectName();
  return e;
}

void Parser::ParseCursorArguments(Stmt& s) {
  if (!AcceptSymbol("(")) return;
  do {
    s.usingArgs.push_back(ParseExpr());
  } while (AcceptSymbol(","));
  ExpectSymbol(")");
}

StmtPtr Parser::ParseCursorFor(StmtPtr s, const std::string& record, size_t recordAt) {
  s->kind = Stmt::kCursorFor;
  if (AcceptSymbol("(")) {
    size_t first = pos_;
    size_t end = first;
    int depth = 0;
    while (tokens_[end].kind != Token::kEnd && !(depth == 0 && tokens_[end].IsSymbol(")"))) {
      if (tokens_[end].IsSymbol("(")) ++depth;
      if (tokens_[end].IsSymbol(")")) --depth;
      ++end;
    }
    s->sql = SqlBetween(first, end, {});
    pos_ = end;
    ExpectSymbol(")");
  } else {
    const size_t at = Peek().offset;
    std::string name = ExpectName();
    const Entry* cursor = Lookup(name);
    if (!cursor || cursor->kind != Entry::kCursor) Semantic(at, PlsText(201, {name}));
    s->target = Make(Expr::kVariable, at);
    s->target->slot = RefOf(*cursor);
    ParseCursorArguments(*s);
  }
  scopes_.emplace_back();
  Entry e;
  e.kind = Entry::kVariable;
  e.isRecord = true;
  e.depth = Depth();
  e.slot = s->loopSlot = NewSlot();
  Declare(record, recordAt, e);
  s = ParseLoopBody(std::move(s));
  scopes_.pop_back();
  return s;
}

std::shared_ptr<Routine> Parser::ParseRoutineHeading(bool isFunction) {
  auto r = std::make_shared<Routine>();
  r->offset = Peek().offset;
  r->name = ExpectName();
  r->isFunction = isFunction;
  if (AcceptSymbol("(")) {
    do {
      Parameter p;
      p.name = ExpectName();
      const bool sawIn = AcceptWord("IN");
      if (AcceptWord("OUT")) {
        p.out = true;
        p.in = sawIn;
      }
      AcceptWord("NOCOPY");
      bool isTable = false;
      p.type = ParseType(&isTable);
      // A parameter's type has no size: the argument's value decides.
      p.type.length = 0;
      p.type.precision = 0;
      p.type.hasScale = false;
      if (AcceptSymbol(":=") || AcceptWord("DEFAULT")) p.defaultValue = ParseExpr();
      r->params.push_back(std::move(p));
    } while (AcceptSymbol(","));
    ExpectSymbol(")");
  }
  if (isFunction) {
    ExpectWord("RETURN");
    bool isTable = false;
    r->returns = ParseType(&isTable);
  }
  return r;
}

void Parser::ParseRoutineBody(Routine& r) {
  r.depth = Depth() + 1;
  routines_.push_back(&r);
  scopes_.emplace_back();
  const int savedLoops = loopDepth_;
  loopDepth_ = 0;
  for (auto& p : r.params) {
    Entry e;
    e.kind = p.out || !p.in ? Entry::kVariable : Entry::kConstant;
    e.depth = Depth();
    e.slot = p.slot = NewSlot();
    e.type = p.type;
    Declare(p.name, r.offset, e);
  }
  auto block = std::make_unique<Block>();
  block->offset = Peek().offset;
  ParseDeclarations(*block);
  r.body = ParseBlockAfterDeclarations(std::move(block));
  AcceptWord(r.name);
  loopDepth_ = savedLoops;
  scopes_.pop_back();
  routines_.pop_back();
}

std::unique_ptr<Block> Parser::ParseBlockAfterDeclarations(std::unique_ptr<Block> block) {
  ExpectWord("BEGIN");
  block->body = ParseStatements();
  if (block->body.empty())
    Unexpected(
        "begin case declare exit for if loop null raise return select update while <an "
        "identifier>");
  if (AcceptWord("EXCEPTION")) {
    while (AcceptWord("WHEN")) {
      Handler h;
      do {
        const size_t at = Peek().offset;
        std::string name = ExpectName();
        if (name == "OTHERS") {
          h.others = true;
        } else {
          h.exceptions.push_back(ExceptionByName(at, name));
        }
      } while (AcceptWord("OR"));
      ExpectWord("THEN");
      h.body = ParseStatements();
      if (h.body.empty())
        Unexpected(
            "begin case declare exit for if loop null raise return select update while <an "
            "identifier>");
      block->handlers.push_back(std::move(h));
    }
    if (block->handlers.empty()) Unexpected("when");
  }
  ExpectWord("END");
  return block;
}

StmtList Parser::ParseStatements() {
  StmtList list;
  while (true) {
    const Token& t = Peek();
    if (t.Is("END") || t.Is("ELSIF") || t.Is("ELSE") || t.Is("EXCEPTION") || t.Is("WHEN") ||
        t.kind == Token::kEnd) {
      return list;
    }
    list.push_back(ParseStatement());
  }
}

void Parser::ParseEndLoop(const std::string& label) {
  ExpectWord("END");
  ExpectWord("LOOP");
  if (!label.empty()) AcceptWord(label);
  ExpectSymbol(";");
}

StmtPtr Parser::ParseLoopBody(StmtPtr loop) {
  ExpectWord("LOOP");
  ++loopDepth_;
  loop->body = ParseStatements();
  --loopDepth_;
  if (loop->body.empty())
    Unexpected(
        "begin case declare exit for if loop null raise return select update while <an "
        "identifier>");
  ParseEndLoop(loop->label);
  return loop;
}

ExprPtr Parser::ParseTarget() {
  const Token& t = Peek();
  const size_t at = t.offset;
  if (t.kind == Token::kBind) {
    Next();
    auto e = Make(Expr::kHost, at);
    e->name = t.text;
    NoteBind(t.text);
    if (AcceptSymbol("(")) {
      auto element = Make(Expr::kElement, at);
      element->isHost = true;
      element->name = e->name;
      element->args.push_back(ParseExpr());
      ExpectSymbol(")");
      return element;
    }
    return e;
  }
  std::string name = ExpectName();
  const Entry* entry = Lookup(name);
  if (!entry) Semantic(at, PlsText(201, {name}));
  if (entry->kind == Entry::kConstant) Semantic(at, PlsText(363, {name}));
  if (entry->kind != Entry::kVariable) Semantic(at, PlsText(363, {name}));
  if (entry->isRecord && Peek().IsSymbol(".")) return FieldOf(*entry, at);
  if (entry->isTable && AcceptSymbol("(")) {
    auto element = Make(Expr::kElement, at);
    element->slot = RefOf(*entry);
    element->args.push_back(ParseExpr());
    ExpectSymbol(")");
    return element;
  }
  auto e = Make(Expr::kVariable, at);
  e->slot = RefOf(*entry);
  e->name = name;
  return e;
}

std::vector<ExprPtr> Parser::ParseTargets() {
  std::vector<ExprPtr> targets;
  do {
    targets.push_back(ParseTarget());
  } while (AcceptSymbol(","));
  return targets;
}

StmtPtr Parser::ParseStatement() {
  Nesting nesting(*this);
  auto s = std::make_unique<Stmt>();
  std::string label;
  while (Peek().IsSymbol("<") && Peek(1).IsSymbol("<")) {
    Next();
    Next();
    label = ExpectName();
    ExpectSymbol(">");
    ExpectSymbol(">");
  }
  const Token& t = Peek();
  s->offset = t.offset;
  statementOffset_ = t.offset;
  s->label = label;
  if (t.kind == Token::kWord) {
    const std::string& w = t.text;
    if (w == "NULL") {
      Next();
      ExpectSymbol(";");
      return s;
    }
    if (w == "IF") {
      Next();
      s->kind = Stmt::kIf;
      do {
        ExprPtr cond = ParseExpr();
        ExpectWord("THEN");
        StmtList body = ParseStatements();
        if (body.empty())
          Unexpected(
              "begin case declare exit for if loop null raise return select update while <an "
              "identifier>");
        s->branches.emplace_back(std::move(cond), std::move(body));
      } while (AcceptWord("ELSIF"));
      if (AcceptWord("ELSE")) {
        s->elseBody = ParseStatements();
        if (s->elseBody.empty())
          Unexpected(
              "begin case declare exit for if loop null raise return select update while <an "
              "identifier>");
      }
      ExpectWord("END");
      ExpectWord("IF");
      ExpectSymbol(";");
      return s;
    }
    if (w == "CASE") {
      Next();
      s->kind = Stmt::kCase;
      if (!Peek().Is("WHEN")) s->value = ParseExpr();
      if (!Peek().Is("WHEN")) Unexpected("when");
      while (AcceptWord("WHEN")) {
        ExprPtr when = ParseExpr();
        ExpectWord("THEN");
        StmtList body = ParseStatements();
        if (body.empty())
          Unexpected(
              "begin case declare exit for if loop null raise return select update while <an "
              "identifier>");
        s->branches.emplace_back(std::move(when), std::move(body));
      }
      if (AcceptWord("ELSE")) {
        s->hasElse = true;
        s->elseBody = ParseStatements();
      }
      ExpectWord("END");
      ExpectWord("CASE");
      ExpectSymbol(";");
      return s;
    }
    if (w == "LOOP") {
      s->kind = Stmt::kLoop;
      return ParseLoopBody(std::move(s));
    }
    if (w == "WHILE") {
      Next();
      s->kind = Stmt::kWhile;
      s->value = ParseExpr();
      return ParseLoopBody(std::move(s));
    }
    if (w == "FOR" || w == "FORALL") {
      const bool forall = w == "FORALL";
      Next();
      s->kind = Stmt::kFor;
      const size_t at = Peek().offset;
      std::string index = ExpectName();
      ExpectWord("IN");
      if (!forall) {
        const Entry* cursor = Peek().kind == Token::kWord ? Lookup(Peek().text) : nullptr;
        if (Peek().IsSymbol("(") || (cursor && cursor->kind == Entry::kCursor)) {
          return ParseCursorFor(std::move(s), index, at);
        }
      }
      s->reverse = AcceptWord("REVERSE");
      s->low = ParseExpr();
      ExpectSymbol("..");
      s->high = ParseExpr();
      scopes_.emplace_back();
      Entry e;
      e.kind = Entry::kConstant;
      e.depth = Depth();
      e.slot = s->loopSlot = NewSlot();
      e.type.base = TypeSpec::kInteger;
      Declare(index, at, e);
      if (forall) {
        s->body.push_back(ParseStatement());
      } else {
        s = ParseLoopBody(std::move(s));
      }
      scopes_.pop_back();
      return s;
    }
    if (w == "EXIT" || w == "CONTINUE") {
      Next();
      if (loopDepth_ == 0) Semantic(t.offset, PlsText(376));
      s->kind = w == "EXIT" ? Stmt::kExit : Stmt::kContinue;
      if (Peek().kind == Token::kWord && !Peek().Is("WHEN")) s->label = ExpectName();
      if (AcceptWord("WHEN")) s->value = ParseExpr();
      ExpectSymbol(";");
      return s;
    }
    if (w == "RETURN") {
      Next();
      s->kind = Stmt::kReturn;
      if (!Peek().IsSymbol(";")) s->value = ParseExpr();
      ExpectSymbol(";");
      return s;
    }
    if (w == "RAISE") {
      Next();
      s->kind = Stmt::kRaise;
      if (!Peek().IsSymbol(";")) {
        const size_t at = Peek().offset;
        std::string name = ExpectName();
        s->hasException = true;
        s->exception = ExceptionByName(at, name);
      }
      ExpectSymbol(";");
      return s;
    }
    if (w == "DECLARE" || w == "BEGIN") {
      s->kind = Stmt::kBlock;
      auto block = std::make_unique<Block>();
      block->offset = t.offset;
      scopes_.emplace_back();
      if (AcceptWord("DECLARE")) ParseDeclarations(*block);
      s->block = ParseBlockAfterDeclarations(std::move(block));
      scopes_.pop_back();
      if (Peek().kind == Token::kWord) Next();  // END label
      ExpectSymbol(";");
      return s;
    }
    if (w == "SELECT" || w == "WITH" || w == "INSERT" || w == "UPDATE" || w == "DELETE" ||
        w == "MERGE" || w == "COMMIT" || w == "ROLLBACK" || w == "SAVEPOINT" || w == "LOCK" ||
        (w == "SET" && Peek(1).Is("TRANSACTION"))) {
      return ParseSql(pos_);
    }
    if ((w == "OPEN" || w == "FETCH" || w == "CLOSE") && Peek(1).kind == Token::kWord) {
      const Entry* cursor = Lookup(Peek(1).text);
      if (cursor && cursor->kind == Entry::kCursor) {
        Next();
        const size_t at = Next().offset;
        s->kind = w == "OPEN" ? Stmt::kOpen : (w == "FETCH" ? Stmt::kFetch : Stmt::kClose);
        s->target = Make(Expr::kVariable, at);
        s->target->slot = RefOf(*cursor);
        if (w == "OPEN") ParseCursorArguments(*s);
        if (w == "FETCH") {
          ExpectWord("INTO");
          s->into = ParseTargets();
        }
        ExpectSymbol(";");
        return s;
      }
      if (w != "OPEN") Semantic(Peek(1).offset, PlsText(201, {Peek(1).text}));
    }
    if (w == "OPEN") {
      Next();
      s->kind = Stmt::kOpenFor;
      s->target = ParseTarget();
      ExpectWord("FOR");
      if (Peek().Is("SELECT") || Peek().Is("WITH") || Peek().IsSymbol("(")) {
        size_t first = pos_;
        size_t end = first;
        int depth = 0;
        while (tokens_[end].kind != Token::kEnd && !(depth == 0 && tokens_[end].IsSymbol(";"))) {
          if (tokens_[end].IsSymbol("(")) ++depth;
          if (tokens_[end].IsSymbol(")")) --depth;
          ++end;
        }
        s->sql = SqlBetween(first, end, {});
        pos_ = end;
      } else {
        s->value = ParseExpr();
      }
      ExpectSymbol(";");
      return s;
    }
    if (w == "EXECUTE" && Peek(1).Is("IMMEDIATE")) {
      Next();
      Next();
      s->kind = Stmt::kExecute;
      s->value = ParseExpr();
      if (AcceptWord("INTO")) s->into = ParseTargets();
      if (AcceptWord("USING")) {
        do {
          AcceptWord("IN");
          s->usingArgs.push_back(ParseExpr());
        } while (AcceptSymbol(","));
      }
      ExpectSymbol(";");
      return s;
    }
  }
  if (t.kind == Token::kBind) {
    s->kind = Stmt::kAssign;
    s->target = ParseTarget();
    ExpectSymbol(":=");
    s->value = ParseExpr();
    ExpectSymbol(";");
    return s;
  }
  if (t.kind == Token::kWord || t.kind == Token::kQuotedName) {
    const Entry* entry = Lookup(t.text);
    if (entry && entry->kind != Entry::kRoutine) {
      s->kind = Stmt::kAssign;
      s->target = ParseTarget();
      ExpectSymbol(":=");
      s->value = ParseExpr();
      ExpectSymbol(";");
      return s;
    }
    if (!entry && Peek(1).IsSymbol(":=")) Semantic(t.offset, PlsText(201, {t.text}));
    // A procedure call.
    s->kind = Stmt::kCall;
    auto call = Make(Expr::kCall, t.offset);
    call->name = ExpectName();
    while (AcceptSymbol(".")) call->name += "." + ExpectName();
    if (entry) call->routine = entry->routine;
    if (Peek().IsSymbol("(")) ParseArguments(*call);
    if (!entry) pendingCalls_.push_back({call->name, t.offset, statementOffset_});
    s->value = std::move(call);
    ExpectSymbol(";");
    return s;
  }
  Unexpected(
      "begin case declare exit for goto if loop mod null pragma raise return select update while "
      "with <an identifier> <a double-quoted delimited-identifier> <a bind variable> << close "
      "current delete fetch lock insert open rollback savepoint set sql execute commit forall "
      "merge");
}

SqlText Parser::SqlBetween(size_t first, size_t end,
                           const std::vector<std::pair<size_t, size_t>>& skip) {
  SqlText out;
  if (end <= first) {
    out.pieces.push_back({});
    return out;
  }
  size_t copied = tokens_[first].offset;
  std::string literal;
  auto param = [&](ExprPtr e, size_t from, size_t to, std::string name) {
    literal += source_.substr(copied, from - copied);
    out.params.push_back(std::move(e));
    out.pieces.push_back(
        {std::move(literal), static_cast<int>(out.params.size() - 1), std::move(name)});
    literal.clear();
    copied = to;
  };
  for (size_t i = first; i < end;) {
    bool skipped = false;
    for (const auto& [from, to] : skip) {
      if (i == from) {
        literal += source_.substr(copied, tokens_[from].offset - copied);
        copied = tokens_[to - 1].offset + tokens_[to - 1].length;
        i = to;
        skipped = true;
      }
    }
    if (skipped) continue;
    const Token& t = tokens_[i];
    if (t.kind == Token::kWord) out.words.push_back(t.text);
    const bool afterDot = i > first && tokens_[i - 1].IsSymbol(".");
    const bool beforeDot = tokens_[i + 1].IsSymbol(".");
    size_t next = i + 1;
    if (t.kind == Token::kWord && !afterDot && beforeDot && i + 2 < end &&
        tokens_[i + 2].kind == Token::kWord) {
      const Entry* record = Lookup(t.text);
      if (record && record->isRecord) {
        auto e = Make(Expr::kField, t.offset);
        e->slot = RefOf(*record);
        e->op = tokens_[i + 2].text;
        const Token& last = tokens_[i + 2];
        param(std::move(e), t.offset, last.offset + last.length, "");
        i += 3;
        continue;
      }
    }
    if (t.kind == Token::kBind) {
      NoteBind(t.text);
      auto e = Make(Expr::kHost, t.offset);
      e->name = t.text;
      if (tokens_[i + 1].IsSymbol("(")) {
        pos_ = i + 2;
        auto element = Make(Expr::kElement, t.offset);
        element->isHost = true;
        element->name = t.text;
        element->args.push_back(ParseExpr());
        ExpectSymbol(")");
        next = pos_;
        e = std::move(element);
      }
      const Token& last = tokens_[next - 1];
      param(std::move(e), t.offset, last.offset + last.length, "");
    } else if ((t.kind == Token::kWord || t.kind == Token::kQuotedName) && !afterDot &&
               !beforeDot) {
      const Entry* entry = Lookup(t.text);
      if (entry && (entry->kind == Entry::kVariable || entry->kind == Entry::kConstant)) {
        if (entry->isTable && tokens_[i + 1].IsSymbol("(")) {
          pos_ = i + 2;
          auto element = Make(Expr::kElement, t.offset);
          element->slot = RefOf(*entry);
          element->args.push_back(ParseExpr());
          ExpectSymbol(")");
          next = pos_;
          const Token& last = tokens_[next - 1];
          param(std::move(element), t.offset, last.offset + last.length, "");
        } else if (!entry->isTable) {
          auto e = Make(Expr::kVariable, t.offset);
          e->slot = RefOf(*entry);
          param(std::move(e), t.offset, t.offset + t.length, t.raw);
        }
      }
    }
    i = next;
  }
  const Token& last = tokens_[end - 1];
  literal += source_.substr(copied, last.offset + last.length - copied);
  out.pieces.push_back({std::move(literal), -1, ""});
  return out;
}

StmtPtr Parser::ParseSql(size_t first) {
  auto s = std::make_unique<Stmt>();
  s->kind = Stmt::kSql;
  s->offset = tokens_[first].offset;
  s->isQuery = tokens_[first].Is("SELECT") || tokens_[first].Is("WITH");
  size_t end = first;
  int depth = 0;
  size_t intoAt = 0;
  while (tokens_[end].kind != Token::kEnd && !(depth == 0 && tokens_[end].IsSymbol(";"))) {
    if (tokens_[end].IsSymbol("(")) ++depth;
    if (tokens_[end].IsSymbol(")")) --depth;
    if (depth == 0 && s->isQuery && !intoAt && tokens_[end].Is("INTO")) intoAt = end;
    ++end;
  }
  if (tokens_[end].kind == Token::kEnd) {
    pos_ = end;
    Unexpected(";");
  }
  std::vector<std::pair<size_t, size_t>> skip;
  if (s->isQuery) {
    if (!intoAt) {
      throw CompileError{tokens_[first].offset, PlsText(428), true, tokens_[first].offset};
    }
    pos_ = intoAt + 1;
    s->into = ParseTargets();
    skip.emplace_back(intoAt, pos_);
  }
  s->sql = SqlBetween(first, end, skip);
  pos_ = end;
  ExpectSymbol(";");
  return s;
}

ExprPtr Parser::ParseExpr() {
  Nesting nesting(*this);
  ExprPtr left = ParseAnd();
  while (Peek().Is("OR")) {
    auto e = Make(Expr::kOr, Next().offset);
    e->args.push_back(std::move(left));
    e->args.push_back(ParseAnd());
    left = std::move(e);
  }
  return left;
}

ExprPtr Parser::ParseAnd() {
  ExprPtr left = ParseNot();
  while (Peek().Is("AND")) {
    auto e = Make(Expr::kAnd, Next().offset);
    e->args.push_back(std::move(left));
    e->args.push_back(ParseNot());
    left = std::move(e);
  }
  return left;
}

ExprPtr Parser::ParseNot() {
  if (Peek().Is("NOT")) {
    Nesting nesting(*this);
    auto e = Make(Expr::kNot, Next().offset);
    e->args.push_back(ParseNot());
    return e;
  }
  return ParseComparison();
}

ExprPtr Parser::ParseComparison() {
  ExprPtr left = ParseAdditive();
  while (true) {
    const Token& t = Peek();
    const size_t at = t.offset;
    if (t.Is("IS")) {
      Next();
      auto e = Make(Expr::kIsNull, at);
      e->negated = AcceptWord("NOT");
      ExpectWord("NULL");
      e->args.push_back(std::move(left));
      left = std::move(e);
      continue;
    }
    bool negated = false;
    if (t.Is("NOT") && (Peek(1).Is("LIKE") || Peek(1).Is("BETWEEN") || Peek(1).Is("IN"))) {
      Next();
      negated = true;
    }
    if (AcceptWord("LIKE")) {
      auto e = Make(Expr::kLike, at);
      e->negated = negated;
      e->args.push_back(std::move(left));
      e->args.push_back(ParseAdditive());
      if (AcceptWord("ESCAPE")) e->args.push_back(ParseAdditive());
      left = std::move(e);
      continue;
    }
    if (AcceptWord("BETWEEN")) {
      auto e = Make(Expr::kBetween, at);
      e->negated = negated;
      e->args.push_back(std::move(left));
      e->args.push_back(ParseAdditive());
      ExpectWord("AND");
      e->args.push_back(ParseAdditive());
      left = std::move(e);
      continue;
    }
    if (AcceptWord("IN")) {
      auto e = Make(Expr::kIn, at);
      e->negated = negated;
      e->args.push_back(std::move(left));
      ExpectSymbol("(");
      do {
        e->args.push_back(ParseExpr());
      } while (AcceptSymbol(","));
      ExpectSymbol(")");
      left = std::move(e);
      continue;
    }
    static const char* ops[] = {"=", "<>", "!=", "^=", "<", ">", "<=", ">="};
    bool matched = false;
    for (const char* op : ops) {
      if (t.IsSymbol(op)) {
        Next();
        auto e = Make(Expr::kCompare, at);
        e->op = op;
        if (e->op == "!=" || e->op == "^=") e->op = "<>";
        e->args.push_back(std::move(left));
        e->args.push_back(ParseAdditive());
        left = std::move(e);
        matched = true;
        break;
      }
    }
    if (!matched) return left;
  }
}

ExprPtr Parser::ParseAdditive() {
  ExprPtr left = ParseMultiplicative();
  while (Peek().IsSymbol("+") || Peek().IsSymbol("-") || Peek().IsSymbol("||")) {
    const Token& t = Next();
    auto e = Make(Expr::kBinary, t.offset);
    e->op = t.text;
    e->args.push_back(std::move(left));
    e->args.push_back(ParseMultiplicative());
    left = std::move(e);
  }
  return left;
}

ExprPtr Parser::ParseMultiplicative() {
  ExprPtr left = ParseUnary();
  while (Peek().IsSymbol("*") || Peek().IsSymbol("/") || Peek().Is("MOD")) {
    const Token& t = Next();
    auto e = Make(Expr::kBinary, t.offset);
    e->op = t.text;
    e->args.push_back(std::move(left));
    e->args.push_back(ParseUnary());
    left = std::move(e);
  }
  return left;
}

ExprPtr Parser::ParseUnary() {
  Nesting nesting(*this);
  if (Peek().IsSymbol("-") || Peek().IsSymbol("+")) {
    const Token& t = Next();
    auto e = Make(Expr::kUnary, t.offset);
    e->op = t.text;
    e->args.push_back(ParseUnary());
    return e;
  }
  ExprPtr base = ParsePrimary();
  if (Peek().IsSymbol("**")) {
    auto e = Make(Expr::kBinary, Next().offset);
    e->op = "**";
    e->args.push_back(std::move(base));
    e->args.push_back(ParseUnary());
    return e;
  }
  return base;
}

void Parser::ParseArguments(Expr& call) {
  ExpectSymbol("(");
  if (AcceptSymbol(")")) return;
  do {
    std::string name;
    if ((Peek().kind == Token::kWord || Peek().kind == Token::kQuotedName) &&
        Peek(1).IsSymbol("=>")) {
      name = Next().text;
      Next();
    }
    call.args.push_back(ParseExpr());
    call.argNames.push_back(name);
  } while (AcceptSymbol(","));
  ExpectSymbol(")");
}

ExprPtr Parser::ParsePrimary() {
  const Token& t = Peek();
  const size_t at = t.offset;
  switch (t.kind) {
    case Token::kNumber: {
      Next();
      auto e = Make(Expr::kLiteral, at);
      auto n = ParseNumber(t.text);
      if (!n) Unexpected("<a number>");
      e->literal = Value::OfNumber(*n);
      return e;
    }
    case Token::kString: {
      Next();
      auto e = Make(Expr::kLiteral, at);
      e->literal = Value::OfText(t.text);
      return e;
    }
    case Token::kBind: {
      Next();
      auto e = Make(Expr::kHost, at);
      e->name = t.text;
      NoteBind(t.text);
      if (AcceptSymbol("(")) {
        auto element = Make(Expr::kElement, at);
        element->isHost = true;
        element->name = t.text;
        element->args.push_back(ParseExpr());
        ExpectSymbol(")");
        return element;
      }
      return e;
    }
    case Token::kSymbol:
      if (t.IsSymbol("(")) {
        Next();
        ExprPtr e = ParseExpr();
        ExpectSymbol(")");
        return e;
      }
      break;
    case Token::kWord:
    case Token::kQuotedName:
      return ParseName();
    default:
      break;
  }
  Unexpected(
      "( - + case mod new not null <an identifier> <a double-quoted delimited-identifier> <a bind "
      "variable> <a number> <a single-quoted SQL string>");
}

ExprPtr Parser::ParseName() {
  const Token& t = Peek();
  const size_t at = t.offset;
  const bool quoted = t.kind == Token::kQuotedName;
  const std::string word = t.text;
  if (!quoted) {
    if (word == "NULL" || word == "TRUE" || word == "FALSE") {
      Next();
      auto e = Make(Expr::kLiteral, at);
      if (word != "NULL") e->literal = Value::OfBoolean(word == "TRUE");
      return e;
    }
    if (word == "SQL" && Peek(1).IsSymbol("%")) {
      Next();
      Next();
      auto e = Make(Expr::kSqlAttribute, at);
      e->op = ExpectName();
      if (e->op != "ROWCOUNT" && e->op != "FOUND" && e->op != "NOTFOUND" && e->op != "ISOPEN") {
        Unexpected("rowcount found notfound isopen");
      }
      return e;
    }
    if (word == "SQLCODE") {
      Next();
      return Make(Expr::kSqlCode, at);
    }
    if (word == "SQLERRM") {
      Next();
      auto e = Make(Expr::kSqlErrm, at);
      if (AcceptSymbol("(")) {
        e->args.push_back(ParseExpr());
        ExpectSymbol(")");
      }
      return e;
    }
    if (word == "CASE") {
      Next();
      auto e = Make(Expr::kCase, at);
      if (!Peek().Is("WHEN")) {
        e->hasSelector = true;
        e->args.push_back(ParseExpr());
      }
      if (!Peek().Is("WHEN")) Unexpected("when");
      while (AcceptWord("WHEN")) {
        e->args.push_back(ParseExpr());
        ExpectWord("THEN");
        e->args.push_back(ParseExpr());
      }
      if (AcceptWord("ELSE")) {
        e->hasElse = true;
        e->args.push_back(ParseExpr());
      }
      ExpectWord("END");
      return e;
    }
    if (word == "DATE" && Peek(1).kind == Token::kString) {
      Next();
      auto e = Make(Expr::kCall, at);
      e->name = "TO_DATE";
      auto text = Make(Expr::kLiteral, Peek().offset);
      text->literal = Value::OfText(Next().text);
      auto format = Make(Expr::kLiteral, at);
      format->literal = Value::OfText("YYYY-MM-DD");
      e->args.push_back(std::move(text));
      e->args.push_back(std::move(format));
      e->argNames.resize(2);
      return e;
    }
    static const std::set<std::string> reserved = {
        "BEGIN", "END",     "THEN",      "ELSE",    "ELSIF", "LOOP", "WHEN",
        "FROM",  "INTO",    "SELECT",    "AND",     "OR",    "IS",   "IN",
        "LIKE",  "BETWEEN", "EXCEPTION", "DECLARE", "IF"};
    if (reserved.count(word)) {
      Unexpected(
          "( - + case mod new not null <an identifier> <a double-quoted delimited-identifier> <a "
          "bind variable> <a number> <a single-quoted SQL string>");
    }
  }
  Next();
  const Entry* entry = Lookup(word);
  if (entry && entry->kind == Entry::kCursor && Peek().IsSymbol("%")) {
    Next();
    auto e = Make(Expr::kCursorAttribute, at);
    e->slot = RefOf(*entry);
    e->op = ExpectName();
    if (e->op != "FOUND" && e->op != "NOTFOUND" && e->op != "ROWCOUNT" && e->op != "ISOPEN") {
      Unexpected("found notfound rowcount isopen");
    }
    return e;
  }
  if (entry && entry->isRecord && Peek().IsSymbol(".")) return FieldOf(*entry, at);
  if (entry && (entry->kind == Entry::kVariable || entry->kind == Entry::kConstant)) {
    if (entry->isTable) {
      if (AcceptSymbol("(")) {
        auto e = Make(Expr::kElement, at);
        e->slot = RefOf(*entry);
        e->args.push_back(ParseExpr());
        ExpectSymbol(")");
        return e;
      }
      if (AcceptSymbol(".")) {
        auto e = Make(Expr::kMethod, at);
        e->slot = RefOf(*entry);
        const size_t methodAt = Peek().offset;
        e->op = ExpectName();
        static const std::set<std::string> methods = {"COUNT",  "FIRST", "LAST",
                                                      "EXISTS", "NEXT",  "PRIOR"};
        if (!methods.count(e->op)) Semantic(methodAt, PlsText(302, {e->op}));
        if (e->op == "EXISTS" || e->op == "NEXT" || e->op == "PRIOR") {
          ExpectSymbol("(");
          e->args.push_back(ParseExpr());
          ExpectSymbol(")");
        }
        return e;
      }
    }
    if (Peek().IsSymbol(".")) {
      Next();
      const size_t componentAt = Peek().offset;
      Semantic(componentAt, PlsText(302, {ExpectName()}));
    }
    auto e = Make(Expr::kVariable, at);
    e->slot = RefOf(*entry);
    e->name = word;
    return e;
  }
  if (entry && entry->kind != Entry::kRoutine) Semantic(at, PlsText(201, {word}));
  auto call = Make(Expr::kCall, at);
  call->name = word;
  while (Peek().IsSymbol(".") &&
         (Peek(1).kind == Token::kWord || Peek(1).kind == Token::kQuotedName)) {
    Next();
    call->name += "." + Next().text;
  }
  if (entry) call->routine = entry->routine;
  if (Peek().IsSymbol("(")) {
    ParseArguments(*call);
    if (!entry && call->name.find('.') != std::string::npos) {
      pendingCalls_.push_back({call->name, at, statementOffset_});
    }
    return call;
  }
  if (!entry && !IsNiladicFunction(call->name)) {
    pendingCalls_.push_back({call->name, at, statementOffset_});
  }
  return call;
}

Unit Parser::ParseUnit() {
  Unit unit;
  unit.main = std::make_shared<Routine>();
  routines_.push_back(unit.main.get());
  scopes_.emplace_back();
  const Token& first = Peek();
  if (first.Is("DECLARE") || first.Is("BEGIN")) {
    auto block = std::make_unique<Block>();
    block->offset = first.offset;
    if (AcceptWord("DECLARE")) ParseDeclarations(*block);
    unit.main->body = ParseBlockAfterDeclarations(std::move(block));
    if (Peek().kind == Token::kWord) Next();  // END label
    ExpectSymbol(";");
    AcceptSymbol("/");
    if (Peek().kind != Token::kEnd) Unexpected("end-of-file");
    CheckCalls();
    return unit;
  }
  if (AcceptWord("CREATE")) {
    if (AcceptWord("OR")) {
      ExpectWord("REPLACE");
      unit.orReplace = true;
    }
  }
  const size_t kindAt = Peek().offset;
  if (AcceptWord("PROCEDURE")) {
    unit.kind = Unit::kProcedure;
  } else if (AcceptWord("FUNCTION")) {
    unit.kind = Unit::kFunction;
  } else if (AcceptWord("PACKAGE")) {
    unit.kind = AcceptWord("BODY") ? Unit::kPackageBody : Unit::kPackage;
  } else {
    Unexpected("procedure function package");
  }
  size_t namePos = pos_;
  std::string name = ExpectName();
  if (AcceptSymbol(".")) {
    unit.owner = name;
    namePos = pos_;
    name = ExpectName();
  }
  unit.name = name;
  unit.source = std::string(source_.substr(kindAt));
  while (!unit.source.empty() && (unit.source.back() == '/' ||
                                  std::isspace(static_cast<unsigned char>(unit.source.back())))) {
    unit.source.pop_back();
  }
  if (unit.kind == Unit::kProcedure || unit.kind == Unit::kFunction) {
    // The routine's own frame is the unit's outermost one.
    pos_ = namePos;
    const bool isFunction = unit.kind == Unit::kFunction;
    auto r = ParseRoutineHeading(isFunction);
    if (!AcceptWord("IS")) ExpectWord("AS");
    routines_.pop_back();
    scopes_.pop_back();
    unitRoutineNames_.insert(r->name);
    ParseRoutineBody(*r);
    r->depth = 0;
    unit.main = r;
    ExpectSymbol(";");
    AcceptSymbol("/");
    if (Peek().kind != Token::kEnd) Unexpected("end-of-file");
    CheckCalls();
    return unit;
  }
  if (!AcceptWord("IS")) ExpectWord("AS");
  if (unit.kind == Unit::kPackage) {
    ParsePackageSpecInto(unit);
  } else {
    ParsePackageBodyInto(unit);
  }
  return unit;
}

void Parser::ParsePackageSpecInto(Unit& unit) {
  auto block = std::make_unique<Block>();
  ParseDeclarations(*block);
  for (auto& r : block->routines) unit.routines.push_back(r);
  unit.main->body = std::move(block);
  packageScope_ = scopes_.back();
  ExpectWord("END");
  if (Peek().kind == Token::kWord) Next();
  ExpectSymbol(";");
  AcceptSymbol("/");
  if (Peek().kind != Token::kEnd) Unexpected("end-of-file");
}

void Parser::ParsePackageBodyInto(Unit& unit) {
  // The specification's routines are found by name when called; its variables keep their
  // slots in the package's frame.
  unit.main->slotCount = specSlots_;
  for (auto& [name, entry] : specScope_) {
    if (entry.kind == Entry::kRoutine) {
      unitRoutineNames_.insert(name);
    } else {
      scopes_.back()[name] = entry;
    }
  }
  auto block = std::make_unique<Block>();
  ParseDeclarations(*block);
  for (auto& r : block->routines) {
    if (r->body) unit.routines.push_back(r);
  }
  if (AcceptWord("BEGIN")) {
    block->body = ParseStatements();
  }
  ExpectWord("END");
  if (Peek().kind == Token::kWord) Next();
  ExpectSymbol(";");
  AcceptSymbol("/");
  if (Peek().kind != Token::kEnd) Unexpected("end-of-file");
  unit.main->body = std::move(block);
  CheckCalls();
}

}  // namespace

bool IsPlsql(std::string_view text) {
  // The first words only: the rest of the text may not even lex.
  std::vector<std::string> words;
  size_t i = 0;
  while (words.size() < 3 && i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (std::isspace(c)) {
      ++i;
    } else if (text.substr(i, 2) == "--") {
      while (i < text.size() && text[i] != '\n') ++i;
    } else if (text.substr(i, 2) == "/*") {
      size_t end = text.find("*/", i + 2);
      i = end == std::string_view::npos ? text.size() : end + 2;
    } else if (std::isalpha(c)) {
      std::string word;
      while (i < text.size() &&
             (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '_')) {
        word += static_cast<char>(std::toupper(static_cast<unsigned char>(text[i++])));
      }
      words.push_back(word);
    } else {
      break;
    }
  }
  if (words.empty()) return false;
  if (words[0] == "BEGIN" || words[0] == "DECLARE") return true;
  if (words[0] != "CREATE" || words.size() < 2) return false;
  size_t k = 1;
  if (words[1] == "OR" && words.size() == 3 && words[2] == "REPLACE") {
    // CREATE OR REPLACE: the fourth word decides.
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    std::string word;
    while (i < text.size() && std::isalpha(static_cast<unsigned char>(text[i]))) {
      word += static_cast<char>(std::toupper(static_cast<unsigned char>(text[i++])));
    }
    words.push_back(word);
    k = 3;
  }
  if (k >= words.size()) return false;
  return words[k] == "PROCEDURE" || words[k] == "FUNCTION" || words[k] == "PACKAGE";
}

Unit Parse(std::string_view source, UnitLookup* lookup) {
  Parser parser(source, lookup);
  Unit unit = parser.ParseUnit();
  unit.binds = parser.Binds();
  return unit;
}

Unit ParsePackage(std::string_view specSource, std::string_view bodySource, UnitLookup* lookup) {
  Parser spec(specSource, lookup);
  Unit specUnit = spec.ParseUnit();
  Parser body(bodySource, lookup);
  body.SetSpecScope(spec.PackageScope(), specUnit.main->slotCount);
  Unit unit = body.ParseUnit();
  // The package's frame holds the specification's variables, then the body's.
  auto& specBlock = *specUnit.main->body;
  auto& bodyBlock = *unit.main->body;
  for (auto it = specBlock.declarations.rbegin(); it != specBlock.declarations.rend(); ++it) {
    bodyBlock.declarations.insert(bodyBlock.declarations.begin(), std::move(*it));
  }
  return unit;
}

}  // namespace ociemu::plsql
