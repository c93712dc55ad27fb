// The PL/SQL compiler: statements, and the SQL statements embedded in them, whose PL/SQL
// references become binds.
#include "ociemu/internal/plsql/Compiler.h"

namespace ociemu::plsql::compiler {

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
  RequireStatements(loop->body);
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
        RequireStatements(body);
        s->branches.emplace_back(std::move(cond), std::move(body));
      } while (AcceptWord("ELSIF"));
      if (AcceptWord("ELSE")) {
        s->elseBody = ParseStatements();
        RequireStatements(s->elseBody);
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
        RequireStatements(body);
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
        size_t end = BalancedEnd(first, ";");
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

}  // namespace ociemu::plsql::compiler
