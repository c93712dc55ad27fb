// The PL/SQL compiler: declarations, routine headings and bodies, and whole units (blocks and
// CREATE statements). Scopes map names to frame slots as declarations are read, so the tree
// needs no later binding pass; the few names only the database can answer (stored routines)
// are checked through UnitLookup at the end.
#include "ociemu/internal/plsql/Parser.h"

#include <atomic>
#include <cctype>

#include "ociemu/internal/plsql/Compiler.h"

namespace ociemu::plsql {
namespace compiler {
namespace {

std::atomic<int> nextUserException{1};

}  // namespace

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
      size_t end = BalancedEnd(first, ";");
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
    size_t end = BalancedEnd(first, ")");
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
  RequireStatements(block->body);
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
      RequireStatements(h.body);
      block->handlers.push_back(std::move(h));
    }
    if (block->handlers.empty()) Unexpected("when");
  }
  ExpectWord("END");
  return block;
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
    ParsePackageHeaderInto(unit);
  } else {
    ParsePackageBodyInto(unit);
  }
  return unit;
}

void Parser::ParsePackageHeaderInto(Unit& unit) {
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
  // The header's routines are found by name when called; its variables keep their
  // slots in the package's frame.
  unit.main->slotCount = headerSlots_;
  for (auto& [name, entry] : headerScope_) {
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

}  // namespace compiler

using compiler::Parser;

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

Unit ParsePackage(std::string_view headerSource, std::string_view bodySource, UnitLookup* lookup) {
  Parser header(headerSource, lookup);
  Unit headerUnit = header.ParseUnit();
  Parser body(bodySource, lookup);
  body.SetHeaderScope(header.PackageScope(), headerUnit.main->slotCount);
  Unit unit = body.ParseUnit();
  // The package's frame holds the header's variables, then the body's.
  auto& headerBlock = *headerUnit.main->body;
  auto& bodyBlock = *unit.main->body;
  for (auto it = headerBlock.declarations.rbegin(); it != headerBlock.declarations.rend(); ++it) {
    bodyBlock.declarations.insert(bodyBlock.declarations.begin(), std::move(*it));
  }
  return unit;
}

std::optional<Unit> ParseHeading(std::string_view source) {
  std::vector<Token> tokens;
  try {
    tokens = Tokenize(source);
  } catch (const OracleError&) {
    return std::nullopt;
  }
  size_t i = 0;
  if (!tokens[i++].Is("CREATE")) return std::nullopt;
  Unit unit;
  if (tokens[i].Is("OR") && tokens[i + 1].Is("REPLACE")) {
    unit.orReplace = true;
    i += 2;
  }
  const size_t kindAt = tokens[i].offset;
  if (tokens[i].Is("PROCEDURE")) {
    unit.kind = Unit::kProcedure;
  } else if (tokens[i].Is("FUNCTION")) {
    unit.kind = Unit::kFunction;
  } else if (tokens[i].Is("PACKAGE")) {
    unit.kind = tokens[i + 1].Is("BODY") ? Unit::kPackageBody : Unit::kPackage;
    if (unit.kind == Unit::kPackageBody) ++i;
  } else {
    return std::nullopt;
  }
  ++i;
  auto isName = [](const Token& t) {
    return t.kind == Token::kWord || t.kind == Token::kQuotedName;
  };
  if (!isName(tokens[i])) return std::nullopt;
  unit.name = tokens[i].text;
  if (tokens[i + 1].IsSymbol(".") && isName(tokens[i + 2])) {
    unit.owner = unit.name;
    unit.name = tokens[i + 2].text;
  }
  unit.source = std::string(source.substr(kindAt));
  while (!unit.source.empty() && (unit.source.back() == '/' ||
                                  std::isspace(static_cast<unsigned char>(unit.source.back())))) {
    unit.source.pop_back();
  }
  return unit;
}

}  // namespace ociemu::plsql
