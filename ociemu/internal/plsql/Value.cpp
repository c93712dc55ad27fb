#include "ociemu/internal/plsql/Value.h"

#include <cmath>

#include "ociemu/internal/OraDate.h"
#include "ociemu/internal/plsql/Errors.h"

namespace ociemu::plsql {
namespace {

Raised ValueError(const char* detail) {
  return Raised::Oracle(6502, {detail});
}

std::string Hex(const std::string& bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (unsigned char b : bytes) {
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

}  // namespace

Value Value::OfNumber(const Number& n) {
  Value v;
  v.kind = kNumber;
  v.number = n;
  return v;
}

Value Value::OfInteger(int64_t i) {
  return OfNumber(Number::FromInteger(i));
}

Value Value::OfText(std::string s) {
  Value v;
  if (s.empty()) return v;
  v.kind = kText;
  v.text = std::move(s);
  return v;
}

Value Value::OfDate(double julian) {
  Value v;
  v.kind = kDate;
  v.julian = julian;
  return v;
}

Value Value::OfBoolean(bool b) {
  Value v;
  v.kind = kBoolean;
  v.boolean = b;
  return v;
}

Value Value::OfRaw(std::string bytes) {
  Value v;
  if (bytes.empty()) return v;
  v.kind = kRaw;
  v.text = std::move(bytes);
  return v;
}

std::string ToText(const Value& v, const Conversions& c) {
  switch (v.kind) {
    case Value::kNull:
      return "";
    case Value::kNumber:
      return NumberToText(v.number);
    case Value::kText:
      return v.text;
    case Value::kDate:
      return FormatDate(FromJulianDay(v.julian), c.dateFormat);
    case Value::kBoolean:
      return v.boolean ? "TRUE" : "FALSE";
    case Value::kRaw:
      return Hex(v.text);
  }
  return "";
}

Number ToNumber(const Value& v) {
  switch (v.kind) {
    case Value::kNumber:
      return v.number;
    case Value::kText: {
      std::optional<Number> n;
      try {
        n = ParseNumber(v.text);
      } catch (const OracleError&) {
      }
      if (!n) throw ValueError(": character to number conversion error");
      return *n;
    }
    default:
      throw ValueError("");
  }
}

double ToDate(const Value& v, const Conversions& c) {
  switch (v.kind) {
    case Value::kDate:
      return v.julian;
    case Value::kText:
      try {
        return JulianDay(ParseDate(v.text, c.dateFormat));
      } catch (const OracleError& e) {
        throw Raised::From(e);
      }
    default:
      throw ValueError("");
  }
}

Value Coerce(const Value& v, const TypeSpec& t, const Conversions& c) {
  if (v.IsNull()) {
    if (t.notNull) throw ValueError("");
    return v;
  }
  switch (t.base) {
    case TypeSpec::kAny:
      return v;
    case TypeSpec::kNumber: {
      Number n = ToNumber(v);
      if (t.hasScale) n = n.Rounded(t.scale);
      if (t.precision > 0 && n.IntegerDigits() > t.precision - (t.hasScale ? t.scale : 0)) {
        throw ValueError(": number precision too large");
      }
      return Value::OfNumber(n);
    }
    case TypeSpec::kInteger: {
      Number n = ToNumber(v);
      auto i = n.Rounded(0).ToInteger();
      if (!i || *i > 2147483647 || *i < -2147483648LL) throw Raised::Oracle(1426);
      return Value::OfInteger(*i);
    }
    case TypeSpec::kVarchar:
    case TypeSpec::kChar: {
      if (v.kind == Value::kBoolean) throw ValueError("");
      std::string s = ToText(v, c);
      const size_t limit =
          t.length > 0 ? static_cast<size_t>(t.length) : (t.base == TypeSpec::kChar ? 1 : 32767);
      if (s.size() > limit) throw ValueError(": character string buffer too small");
      if (t.base == TypeSpec::kChar) s.resize(limit, ' ');
      return Value::OfText(std::move(s));
    }
    case TypeSpec::kDate:
      if (v.kind == Value::kNumber || v.kind == Value::kBoolean) throw ValueError("");
      return Value::OfDate(ToDate(v, c));
    case TypeSpec::kBoolean:
      if (v.kind != Value::kBoolean) throw ValueError("");
      return v;
    case TypeSpec::kRaw: {
      if (v.kind == Value::kBoolean) throw ValueError("");
      std::string bytes = v.kind == Value::kRaw ? v.text : ToText(v, c);
      if (t.length > 0 && bytes.size() > static_cast<size_t>(t.length)) {
        throw ValueError(": raw variable length too long");
      }
      return Value::OfRaw(std::move(bytes));
    }
  }
  return v;
}

int Compare(const Value& a, const Value& b, const Conversions& c, bool* unknown) {
  *unknown = a.IsNull() || b.IsNull();
  if (*unknown) return 0;
  auto sign = [](auto x, auto y) { return x < y ? -1 : (y < x ? 1 : 0); };
  if (a.kind == Value::kNumber || b.kind == Value::kNumber) {
    Number x = ToNumber(a), y = ToNumber(b);
    return x.Compare(y);
  }
  if (a.kind == Value::kDate || b.kind == Value::kDate) {
    return sign(ToDate(a, c), ToDate(b, c));
  }
  if (a.kind == Value::kBoolean || b.kind == Value::kBoolean) {
    if (a.kind != b.kind) throw ValueError("");
    return sign(a.boolean, b.boolean);
  }
  return sign(a.text, b.text);
}

}  // namespace ociemu::plsql
