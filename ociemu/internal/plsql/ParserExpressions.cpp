// The PL/SQL compiler: expressions, with names resolved to slots, host variables, record
// fields, cursor attributes and calls.
#include "ociemu/internal/plsql/Compiler.h"

namespace ociemu::plsql::compiler {

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

}  // namespace ociemu::plsql::compiler
