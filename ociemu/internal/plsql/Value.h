// PL/SQL values and the declared types they are kept in. A number is what the SQL engine holds
// (an exact integer or a double), a date is a Julian day as the engine stores it, and an empty
// text is NULL as Oracle has it. Assigning to a declared type converts and checks the value
// the way PL/SQL does (ORA-06502 for what does not fit).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ociemu/internal/OraNumber.h"

namespace ociemu::plsql {

struct Value {
  enum Kind { kNull, kNumber, kText, kDate, kBoolean, kRaw };
  Kind kind = kNull;
  Number number;
  std::string text;   // kText and kRaw
  double julian = 0;  // kDate
  bool boolean = false;

  bool IsNull() const { return kind == kNull; }
  static Value OfNumber(const Number& n);
  static Value OfInteger(int64_t i);
  static Value OfText(std::string s);  // "" is NULL
  static Value OfDate(double julian);
  static Value OfBoolean(bool b);
  static Value OfRaw(std::string bytes);
};

struct TypeSpec {
  enum Base { kAny, kNumber, kInteger, kVarchar, kChar, kDate, kBoolean, kRaw };
  Base base = kAny;
  int length = 0;  // characters of VARCHAR2/CHAR/RAW; 0 = the PL/SQL maximum
  int precision = 0;
  int scale = 0;
  bool hasScale = false;
  bool notNull = false;
};

// The session's rules for implicit conversions.
struct Conversions {
  std::string dateFormat = "DD-MON-RR";
};

// TO_CHAR without a format, as implicit conversion does it.
std::string ToText(const Value& v, const Conversions& c);
// Implicit TO_NUMBER; ORA-06502 for text that is no number.
Number ToNumber(const Value& v);
// Implicit TO_DATE with the session's format.
double ToDate(const Value& v, const Conversions& c);
// The value as a variable of type t holds it: converted, rounded to the scale, checked against
// precision and length. Throws the PL/SQL error for what does not fit.
Value Coerce(const Value& v, const TypeSpec& t, const Conversions& c);
// Three-valued comparison: *unknown when either side is NULL, else <0, 0 or >0. Text against a
// number compares as numbers, text against a date as dates.
int Compare(const Value& a, const Value& b, const Conversions& c, bool* unknown);

}  // namespace ociemu::plsql
