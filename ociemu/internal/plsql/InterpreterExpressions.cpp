// Expressions and assignment targets: three-valued logic, number and date arithmetic, tables,
// records and the attributes of cursors.
#include <cmath>

#include "ociemu/internal/plsql/Machine.h"

namespace ociemu::plsql::machine {

namespace {

bool Like(const std::string& s, const std::string& p, int escape) {
  // Iterative matching with backtracking to the last %.
  size_t si = 0, pi = 0, starP = std::string::npos, starS = 0;
  while (si < s.size()) {
    if (pi < p.size() && escape >= 0 && p[pi] == static_cast<char>(escape) && pi + 1 < p.size()) {
      if (s[si] == p[pi + 1]) {
        si++;
        pi += 2;
        continue;
      }
    } else if (pi < p.size() && p[pi] == '%') {
      starP = pi++;
      starS = si;
      continue;
    } else if (pi < p.size() && (p[pi] == '_' || p[pi] == s[si])) {
      si++;
      pi++;
      continue;
    }
    if (starP == std::string::npos) return false;
    pi = starP + 1;
    si = ++starS;
  }
  while (pi < p.size() && p[pi] == '%') pi++;
  return pi == p.size();
}

}  // namespace

int64_t Interpreter::ToInteger(const Value& v) {
  Number n = ToNumber(v);
  auto i = n.Rounded(0).ToInteger();
  if (!i) throw Raised::Oracle(1426);
  return *i;
}

Value Interpreter::Arith(const std::string& op, const Value& a, const Value& b) {
  if (a.IsNull() || b.IsNull()) return Value{};
  if (a.kind == Value::kDate || b.kind == Value::kDate) {
    if (op == "+" && a.kind == Value::kDate && b.kind != Value::kDate) {
      return Value::OfDate(a.julian + ToNumber(b).AsDouble());
    }
    if (op == "+" && b.kind == Value::kDate && a.kind != Value::kDate) {
      return Value::OfDate(b.julian + ToNumber(a).AsDouble());
    }
    if (op == "-" && a.kind == Value::kDate && b.kind == Value::kDate) {
      return Value::OfNumber(Number::FromDouble(a.julian - b.julian));
    }
    if (op == "-" && a.kind == Value::kDate) {
      return Value::OfDate(a.julian - ToNumber(b).AsDouble());
    }
    throw Raised::Oracle(6502, {""});
  }
  const Number x = ToNumber(a), y = ToNumber(b);
  // Integers stay exact; anything else is computed as the SQL engine computes it.
  const auto xi = x.ToInteger(), yi = y.ToInteger();
  if (xi && yi) {
    int64_t r = 0;
    if (op == "+" && !__builtin_add_overflow(*xi, *yi, &r)) return Value::OfInteger(r);
    if (op == "-" && !__builtin_sub_overflow(*xi, *yi, &r)) return Value::OfInteger(r);
    if (op == "*" && !__builtin_mul_overflow(*xi, *yi, &r)) return Value::OfInteger(r);
    if (op == "/") {
      if (*yi == 0) throw Raised::Oracle(1476);
      if (*yi != -1 && *xi % *yi == 0) return Value::OfInteger(*xi / *yi);
    }
    if (op == "MOD") {
      if (*yi == 0) return a;
      if (*yi == -1) return Value::OfInteger(0);
      return Value::OfInteger(*xi % *yi);
    }
  }
  const double p = x.AsDouble(), q = y.AsDouble();
  double r = 0;
  if (op == "+") {
    r = p + q;
  } else if (op == "-") {
    r = p - q;
  } else if (op == "*") {
    r = p * q;
  } else if (op == "/") {
    if (q == 0) throw Raised::Oracle(1476);
    r = p / q;
  } else if (op == "MOD") {
    if (q == 0) return a;
    r = p - q * std::trunc(p / q);
  } else {
    r = std::pow(p, q);
  }
  if (!std::isfinite(r)) throw Raised::Oracle(1426);
  return Value::OfNumber(Number::FromDouble(r));
}

Value Interpreter::Eval(const Expr& e, Frame& f) {
  CheckStack();
  switch (e.kind) {
    case Expr::kLiteral:
      return e.literal;
    case Expr::kVariable:
      return Slot(f, e.slot).value;
    case Expr::kHost:
      return Host(e.name).v.value;
    case Expr::kElement: {
      Variable& table = e.isHost ? Host(e.name).v : Slot(f, e.slot);
      const int64_t index = ToInteger(Eval(*e.args[0], f));
      auto it = table.table.find(index);
      if (it == table.table.end()) throw Raised::Oracle(1403);
      return it->second;
    }
    case Expr::kUnary: {
      Value v = Eval(*e.args[0], f);
      if (v.IsNull() || e.op == "+") return v;
      Number n = ToNumber(v);
      if (!n.IsZero()) n.negative = !n.negative;
      return Value::OfNumber(n);
    }
    case Expr::kBinary: {
      Value a = Eval(*e.args[0], f);
      Value b = Eval(*e.args[1], f);
      if (e.op == "||") return Value::OfText(ToText(a, conv_) + ToText(b, conv_));
      return Arith(e.op, a, b);
    }
    case Expr::kNot: {
      Value v = Eval(*e.args[0], f);
      if (v.IsNull()) return v;
      if (v.kind != Value::kBoolean) throw Raised::Oracle(6502, {""});
      return Value::OfBoolean(!v.boolean);
    }
    case Expr::kAnd:
    case Expr::kOr: {
      const bool isAnd = e.kind == Expr::kAnd;
      Value a = Eval(*e.args[0], f);
      if (a.kind == Value::kBoolean && a.boolean != isAnd) return a;  // decided
      Value b = Eval(*e.args[1], f);
      if (b.kind == Value::kBoolean && b.boolean != isAnd) return b;
      if (a.IsNull() || b.IsNull()) return Value{};
      return Value::OfBoolean(isAnd);
    }
    case Expr::kCompare: {
      Value a = Eval(*e.args[0], f), b = Eval(*e.args[1], f);
      bool unknown = false;
      const int c = Compare(a, b, conv_, &unknown);
      if (unknown) return Value{};
      const std::string& op = e.op;
      bool r = op == "="    ? c == 0
               : op == "<>" ? c != 0
               : op == "<"  ? c < 0
               : op == ">"  ? c > 0
               : op == "<=" ? c <= 0
                            : c >= 0;
      return Value::OfBoolean(r);
    }
    case Expr::kIsNull:
      return Value::OfBoolean(Eval(*e.args[0], f).IsNull() != e.negated);
    case Expr::kLike: {
      Value v = Eval(*e.args[0], f), p = Eval(*e.args[1], f);
      int escape = -1;
      if (e.args.size() > 2) {
        std::string esc = ToText(Eval(*e.args[2], f), conv_);
        if (esc.size() != 1) throw Raised::Oracle(1425);
        escape = static_cast<unsigned char>(esc[0]);
      }
      if (v.IsNull() || p.IsNull()) return Value{};
      return Value::OfBoolean(Like(ToText(v, conv_), ToText(p, conv_), escape) != e.negated);
    }
    case Expr::kBetween: {
      Value v = Eval(*e.args[0], f), lo = Eval(*e.args[1], f), hi = Eval(*e.args[2], f);
      bool u1 = false, u2 = false;
      const int c1 = Compare(v, lo, conv_, &u1);
      const int c2 = Compare(v, hi, conv_, &u2);
      if ((!u1 && c1 < 0) || (!u2 && c2 > 0)) return Value::OfBoolean(e.negated);
      if (u1 || u2) return Value{};
      return Value::OfBoolean(!e.negated);
    }
    case Expr::kIn: {
      Value v = Eval(*e.args[0], f);
      bool unknown = false;
      for (size_t i = 1; i < e.args.size(); ++i) {
        bool u = false;
        const int c = Compare(v, Eval(*e.args[i], f), conv_, &u);
        if (u) {
          unknown = true;
        } else if (c == 0) {
          return Value::OfBoolean(!e.negated);
        }
      }
      if (unknown) return Value{};
      return Value::OfBoolean(e.negated);
    }
    case Expr::kCall:
      return Call(e, f, true);
    case Expr::kCase: {
      size_t i = 0;
      Value selector;
      if (e.hasSelector) selector = Eval(*e.args[i++], f);
      const size_t pairsEnd = e.args.size() - (e.hasElse ? 1 : 0);
      for (; i + 1 < pairsEnd; i += 2) {
        Value when = Eval(*e.args[i], f);
        bool hit = false;
        if (e.hasSelector) {
          bool unknown = false;
          hit = Compare(selector, when, conv_, &unknown) == 0 && !unknown;
        } else {
          hit = IsTrue(when);
        }
        if (hit) return Eval(*e.args[i + 1], f);
      }
      return e.hasElse ? Eval(*e.args.back(), f) : Value{};
    }
    case Expr::kSqlAttribute:
      if (e.op == "ISOPEN") return Value::OfBoolean(false);
      if (sqlRowCount_ < 0) return Value{};
      if (e.op == "ROWCOUNT") return Value::OfInteger(sqlRowCount_);
      return Value::OfBoolean((sqlRowCount_ > 0) == (e.op == "FOUND"));
    case Expr::kSqlCode:
      return Value::OfInteger(handling_.empty() ? 0 : handling_.back()->SqlCode());
    case Expr::kSqlErrm: {
      if (e.args.empty()) {
        if (handling_.empty()) return Value::OfText("ORA-0000: normal, successful completion");
        return Value::OfText(handling_.back()->Message());
      }
      const int64_t code = ToInteger(Eval(*e.args[0], f));
      if (code == 0) return Value::OfText("ORA-0000: normal, successful completion");
      if (code == 1) return Value::OfText("User-Defined Exception");
      if (code == 100) return Value::OfText(Raised::Oracle(1403).Message());
      if (code > 0) return Value::OfText("-" + std::to_string(code) + ": non-ORACLE exception ");
      return Value::OfText(Raised::Oracle(static_cast<int>(-code), {""}).Message());
    }
    case Expr::kField: {
      Variable& record = Slot(f, e.slot);
      for (const auto& [name, value] : record.fields) {
        if (name == e.op) return value;
      }
      return Value{};
    }
    case Expr::kCursorAttribute: {
      Variable& c = Slot(f, e.slot);
      if (e.op == "ISOPEN") return Value::OfBoolean(c.open != nullptr);
      if (!c.open) throw Raised::Oracle(1001);
      if (e.op == "ROWCOUNT") return Value::OfInteger(c.open->count);
      if (c.open->found < 0) return Value{};
      return Value::OfBoolean((c.open->found == 1) == (e.op == "FOUND"));
    }
    case Expr::kMethod: {
      Variable& table = e.isHost ? Host(e.name).v : Slot(f, e.slot);
      const auto& t = table.table;
      if (e.op == "COUNT") return Value::OfInteger(static_cast<int64_t>(t.size()));
      if (e.op == "FIRST") return t.empty() ? Value{} : Value::OfInteger(t.begin()->first);
      if (e.op == "LAST") return t.empty() ? Value{} : Value::OfInteger(t.rbegin()->first);
      Value arg = Eval(*e.args[0], f);
      if (arg.IsNull()) return e.op == "EXISTS" ? Value::OfBoolean(false) : Value{};
      const int64_t i = ToInteger(arg);
      if (e.op == "EXISTS") return Value::OfBoolean(t.count(i) > 0);
      if (e.op == "NEXT") {
        auto it = t.upper_bound(i);
        return it == t.end() ? Value{} : Value::OfInteger(it->first);
      }
      auto it = t.lower_bound(i);
      if (it == t.begin()) return Value{};
      return Value::OfInteger(std::prev(it)->first);
    }
  }
  return Value{};
}

void Interpreter::Assign(const Expr& target, const Value& value, Frame& f) {
  switch (target.kind) {
    case Expr::kVariable: {
      Variable& v = Slot(f, target.slot);
      v.value = Coerce(value, v.type, conv_);
      return;
    }
    case Expr::kHost: {
      HostState& h = Host(target.name);
      if (h.var->IsCursor() || h.var->IsTable()) throw Raised::Oracle(6502, {""});
      h.v.value = Coerce(value, h.v.type, conv_);
      h.dirty = true;
      return;
    }
    case Expr::kField: {
      Variable& record = Slot(f, target.slot);
      for (auto& [name, field] : record.fields) {
        if (name == target.op) {
          field = value;
          return;
        }
      }
      record.fields.emplace_back(target.op, value);
      return;
    }
    case Expr::kElement: {
      const int64_t index = ToInteger(Eval(*target.args[0], f));
      if (target.isHost) {
        HostState& h = Host(target.name);
        if (!h.var->IsTable()) throw Raised::Oracle(6502, {""});
        if (index < 1 || index > static_cast<int64_t>(h.var->Capacity())) {
          throw Raised::Oracle(6513);
        }
        h.v.table[index] = Coerce(value, h.v.type, conv_);
        h.dirty = true;
        return;
      }
      Variable& v = Slot(f, target.slot);
      v.table[index] = Coerce(value, v.type, conv_);
      return;
    }
    default:
      throw CompileError{target.offset, PlsText(363, {"?"}), false, 0};
  }
}

}  // namespace ociemu::plsql::machine
