// Filter texts compiled and evaluated end to end against the sample records: one row per case
// (text, options, record, what is read, and the value or the message expected).
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "FilterFixture.h"
#include "support/CaseName.h"
#include "oracle/filter/EExpression.h"
#include "oracle/filter/ParseFilter.h"

namespace oracle::filter_test {
namespace {

enum Read { kBoolean, kString, kFloat, kInteger, kDate, kType, kIsNull };
enum Outcome { kValue, kParseError, kEvalError };
enum Locale { kEnglish, kNorwegian };

constexpr TFilterOptions kNone{};
constexpr TFilterOptions kCI{foCaseInsensitive};
constexpr TFilterOptions kExact{foNoPartialCompare};
constexpr TFilterOptions kCIExact{foCaseInsensitive, foNoPartialCompare};

struct Case {
  std::string text;
  TFilterOptions options;
  int record;
  Read read;
  std::string expected;  // the value as rendered below, "(none)" for no tree, or the message
  Outcome outcome = kValue;
  Locale locale = kEnglish;
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << "\"" << c.text << "\"";
}

// Values as text: Booleans "true"/"false", floats in 15 significant digits, dates in ISO form.
std::string render(const TExpression& e, Read read) {
  switch (read) {
    case kBoolean:
      return e.AsBoolean() ? "true" : "false";
    case kString:
      return e.AsString();
    case kFloat:
      return filter_internal::formatFloat(e.AsFloat(), '.');
    case kInteger:
      return std::to_string(e.AsInteger());
    case kDate:
      return formatIsoDateTime(e.AsDate());
    case kType:
      return ExprTypeName(e.ExprType());
    case kIsNull:
      return e.IsNull() ? "true" : "false";
  }
  return {};
}

const std::string k257(257, 'a');
const std::string k256(256, 'a');

const Case kCases[] = {
    // Comparisons against dates: the common type is Date, so the text is read as a date.
    {"[HIREDATE] > '1.1.2000'", kNone, 0, kBoolean, "false", kValue, kNorwegian},
    {"[HIREDATE] > '1.1.2000'", kNone, 1, kBoolean, "true", kValue, kNorwegian},
    {"[HIREDATE] = DATE('12/17/1980')", kNone, 0, kBoolean, "true"},
    {"[HIREDATE] > 29000", kNone, 0, kBoolean, "true"},
    {"[HIREDATE] + 1", kNone, 0, kDate, "1980-12-18"},
    {"'Hired ' + [HIREDATE]", kNone, 0, kString, "'Hired ' is not a valid date", kEvalError},
    {"'Hired ' + STRING([HIREDATE])", kNone, 0, kString, "Hired 17.12.1980", kValue, kNorwegian},
    {"STRING([HIREDATE])", kNone, 1, kString, "20.02.2001 13:30:00", kValue, kNorwegian},
    {"STRING([HIREDATE])", kNone, 1, kString, "2/20/2001 1:30:00 PM"},
    {"DATE('1.2.2003')", kNone, 0, kDate, "2003-02-01", kValue, kNorwegian},
    {"DATE('2/1/2003 1:30 PM')", kNone, 0, kDate, "2003-02-01 13:30:00"},
    {"[HIREDATE] + 0.75", kNone, 0, kInteger, "29572"},  // a date read as integer truncates
    {"[HIREDATE] - 29573.25", kNone, 0, kInteger, "-1"},
    {"INTEGER(DATE(36526.75))", kNone, 0, kInteger, "Cannot read Float as integer", kEvalError},
    {"12", kNone, 0, kDate, "1900-01-11"},
    {"'x'", kNone, 0, kDate, "'x' is not a valid date", kEvalError},
    {"[HIREDATE] * 2", kNone, 0, kType, "Operator opMult incompatible with Date", kEvalError},
    {"([HIREDATE] * 2) + 1", kNone, 0, kType, "Operator opMult incompatible with Date",
     kParseError},

    // Strings and numbers meet as strings; arithmetic.
    {"'A' + 1", kNone, 0, kString, "A1"},
    {"1 + 'A'", kNone, 0, kString, "1A"},
    {"'x' + 1e20", kNone, 0, kString, "x1E20"},
    {"STRING(0.1 + 0.2)", kNone, 0, kString, "0.3"},
    {"STRING(1 / 3)", kNone, 0, kString, "0.333333333333333"},
    {"STRING(2,5)", kNone, 0, kString, "2,5", kValue, kNorwegian},
    {"7 / 2", kNone, 0, kFloat, "3.5"},
    {"7 / 2", kNone, 0, kType, "Float"},
    {"7 DIV 2", kNone, 0, kInteger, "3"},
    {"-7 MOD 2", kNone, 0, kInteger, "-1"},
    {"-7 DIV 2", kNone, 0, kInteger, "-3"},
    {"1 SHL 33", kNone, 0, kInteger, "2"},
    {"-8 SHR 1", kNone, 0, kInteger, "2147483644"},
    {"2147483647 + 1", kNone, 0, kInteger, "-2147483648"},
    {"(-2147483647 - 1) DIV -1", kNone, 0, kInteger, "-2147483648"},
    {"1 DIV 0", kNone, 0, kInteger, "Division by zero", kEvalError},
    {"1 MOD 0", kNone, 0, kInteger, "Division by zero", kEvalError},
    {"1 / 0", kNone, 0, kFloat, "INF"},
    {"6 AND 3", kNone, 0, kInteger, "2"},
    {"5 OR 2", kNone, 0, kInteger, "7"},
    {"6 XOR 3", kNone, 0, kInteger, "5"},
    {"NOT 5", kNone, 0, kInteger, "-6"},
    {"1 + 2 * 3", kNone, 0, kInteger, "7"},
    {"(1 + 2) * 3", kNone, 0, kInteger, "9"},
    {"10 - 4 - 3", kNone, 0, kInteger, "3"},
    {"2 * 3 MOD 4", kNone, 0, kInteger, "2"},
    {"TRUE + 1", kNone, 0, kInteger, "2"},
    {"(1 = 1) + 1", kNone, 0, kInteger, "2"},
    {"(1 < 2) + 'x'", kNone, 0, kString, "TRUEx"},
    {"-2147483648", kNone, 0, kType, "Float"},
    {"[SAL] * 12 > 20000", kNone, 0, kBoolean, "false"},
    {"[SAL] * 12 > 20000", kNone, 1, kBoolean, "true"},
    {"[COMM] + 1", kNone, 1, kFloat, "301"},

    // Type errors: at the top they wait for evaluation, under another operator they stop the parse.
    {"NOT 'A'", kNone, 0, kType, "Operator opNot incompatible with String", kEvalError},
    {"NOT 'A'", kNone, 0, kInteger, "Operator opNot incompatible with String", kEvalError},
    {"NOT 'A' + 1", kNone, 0, kType, "Operator opNot incompatible with String", kParseError},
    {"'a' * 2", kNone, 0, kString, "Operator opMult incompatible with String", kEvalError},
    {"TRUE + FALSE", kNone, 0, kType, "Operator opPlus incompatible with Boolean", kEvalError},
    {"-'a'", kNone, 0, kString, "Operator opMinus incompatible with String", kEvalError},
    {"-[HIREDATE]", kNone, 0, kDate, "Operator opMinus incompatible with Date", kEvalError},
    {"-[HIREDATE]", kNone, 0, kType, "Date"},

    // The common conversions.
    {"'abc'", kNone, 0, kFloat, "Cannot read String as Float", kEvalError},
    {"'abc'", kNone, 0, kInteger, "Cannot read String as integer", kEvalError},
    {"'abc'", kNone, 0, kBoolean, "Cannot read String as boolean", kEvalError},
    {"TRUE", kNone, 0, kDate, "Cannot read Boolean as Date", kEvalError},
    {"1.5", kNone, 0, kInteger, "Cannot read Float as integer", kEvalError},
    {"1.5", kNone, 0, kString, "1.5"},
    {"TRUE", kNone, 0, kFloat, "1"},
    {"TRUE", kNone, 0, kString, "TRUE"},
    {"1 < 2", kNone, 0, kString, "TRUE"},
    {"1 < 2", kNone, 0, kInteger, "1"},
    {"1 < 2", kNone, 0, kDate, "Cannot read Boolean as Date", kEvalError},
    {"TRUE AND TRUE", kNone, 0, kDate, "1899-12-31"},
    {"TRUE AND TRUE", kNone, 0, kFloat, "1"},
    {"1 + 2", kNone, 0, kBoolean, "Internal parser error. Code 13", kEvalError},
    {"5 AND 3", kNone, 0, kBoolean, "Cannot read Integer as boolean", kEvalError},
    {"BOOLEAN(1)", kNone, 0, kBoolean, "Cannot read Integer as boolean", kEvalError},

    // Booleans: short-circuit AND and OR, strict XOR, equality only.
    {"FALSE AND (TRUE < FALSE)", kNone, 0, kBoolean, "false"},
    {"TRUE AND (TRUE < FALSE)", kNone, 0, kBoolean, "cannot apply opLT to boolean operands",
     kEvalError},
    {"TRUE OR (TRUE < FALSE)", kNone, 0, kBoolean, "true"},
    {"FALSE OR (TRUE < FALSE)", kNone, 0, kBoolean, "cannot apply opLT to boolean operands",
     kEvalError},
    {"FALSE XOR (TRUE < FALSE)", kNone, 0, kBoolean, "cannot apply opLT to boolean operands",
     kEvalError},
    {"TRUE < FALSE", kNone, 0, kBoolean, "cannot apply opLT to boolean operands", kEvalError},
    {"TRUE = (1 < 2)", kNone, 0, kBoolean, "true"},
    {"TRUE XOR TRUE", kNone, 0, kBoolean, "false"},
    {"NOT [FLAG]", kNone, 0, kBoolean, "false"},
    {"NOT([EMPNO] = 7369)", kNone, 0, kBoolean, "false"},
    {"NOT([EMPNO] = 7369)", kNone, 1, kBoolean, "true"},
    {"NOT 1 = -2", kNone, 0, kBoolean, "true"},
    {"([SAL] > 1000) AND ([DEPTNO] = 10)", kNone, 1, kBoolean, "true"},
    {"([SAL] > 1000) AND ([DEPTNO] = 10)", kNone, 3, kBoolean, "false"},
    {"([SAL] * 12 > 20000) AND (UPPER([ENAME]) = 'SM*')", kNone, 3, kBoolean, "true"},
    {"([SAL] * 12 > 20000) AND (UPPER([ENAME]) = 'SM*')", kNone, 0, kBoolean, "false"},

    // Nulls: a null operand makes = true only against another null, and <> false only so.
    {"[COMM] = NULL", kNone, 0, kBoolean, "true"},
    {"[COMM] <> NULL", kNone, 0, kBoolean, "false"},
    {"[COMM] < NULL", kNone, 0, kBoolean, "false"},
    {"[COMM] >= NULL", kNone, 0, kBoolean, "false"},
    {"[COMM] = 5", kNone, 0, kBoolean, "false"},
    {"[COMM] <> 5", kNone, 0, kBoolean, "true"},
    {"[COMM] > 5", kNone, 0, kBoolean, "false"},
    {"NULL = NULL", kNone, 0, kBoolean, "true"},
    {"null = NULL", kNone, 0, kBoolean, "true"},
    {"[SAL] = NULL", kNone, 0, kBoolean, "false"},
    {"[SAL] <> NULL", kNone, 0, kBoolean, "true"},
    {"[SAL] + 0 = NULL", kNone, 2, kBoolean, "false"},
    {"[FLAG] = TRUE", kNone, 2, kBoolean, "false"},
    {"[ENAME] = ''", kNone, 2, kBoolean, "false"},
    {"[ENAME] + 'x'", kNone, 2, kString, "x"},
    {"[SAL] + 1", kNone, 2, kFloat, "1"},
    {"[SAL]", kNone, 2, kIsNull, "true"},
    {"[SAL] + 1", kNone, 2, kIsNull, "false"},
    {"NULL", kNone, 0, kType, "String"},
    {"UPPER(NULL)", kNone, 0, kString, ""},
    {"NULL + 1", kNone, 0, kString, "1"},
    {"[null]", kNone, 0, kIsNull, "Field null does not exist", kEvalError},
    {"[NOSUCH] = 1", kNone, 0, kBoolean, "Field NOSUCH does not exist", kEvalError},
    {"[NOSUCH] + 1", kNone, 0, kType, "Field NOSUCH does not exist", kParseError},

    // Column types and name resolution.
    {"[EMPNO]", kNone, 0, kType, "Integer"},
    {"[X]", kNone, 0, kType, "Integer"},
    {"[SAL]", kNone, 0, kType, "Float"},
    {"[COMM]", kNone, 0, kType, "Float"},
    {"[HIREDATE]", kNone, 0, kType, "Date"},
    {"[FLAG]", kNone, 0, kType, "Boolean"},
    {"[NOTE]", kNone, 0, kType, "String"},
    {"ename", kNone, 0, kString, "SMITH"},
    {"[ename]", kNone, 0, kString, "SMITH"},
    {"upper([ename]) = 'X'", kNone, 0, kBoolean, "false"},
    {"upper([note]) = 'SMITH'", kNone, 1, kBoolean, "true"},

    // Strings: byte order, wildcards, letter case.
    {"[ENAME] = 'SM*'", kNone, 0, kBoolean, "true"},
    {"[ENAME] = 'SM*'", kNone, 3, kBoolean, "false"},
    {"[ENAME] = 'SM*'", kCI, 3, kBoolean, "true"},
    {"[ENAME] <> 'SM*'", kNone, 0, kBoolean, "false"},
    {"[ENAME] < 'SM*'", kNone, 0, kBoolean, "false"},
    {"[ENAME] > 'SM*'", kNone, 0, kBoolean, "true"},
    {"[ENAME] = 'SM*'", kExact, 0, kBoolean, "false"},
    {"[ENAME] = 'SMITH'", kExact, 0, kBoolean, "true"},
    {"[ENAME] = 'sm?th'", kCI, 0, kBoolean, "true"},
    {"[ENAME] = 'sm?th'", kNone, 0, kBoolean, "false"},
    {"[ENAME] = 'smith'", kCIExact, 0, kBoolean, "true"},
    {"[NOTE] = 'ÆRE*'", kCI, 0, kBoolean, "true"},
    {"[NOTE] = 'ÆRE*'", kNone, 0, kBoolean, "false"},
    {"[NOTE] = '?re*'", kNone, 0, kBoolean, "true"},
    {"'abc' < 'abd'", kNone, 0, kBoolean, "true"},
    {"'ab' < 'abc'", kNone, 0, kBoolean, "true"},
    {"'B' > 'a'", kNone, 0, kBoolean, "false"},
    {"'b' > 'A'", kCI, 0, kBoolean, "true"},
    {"'é' > 'z'", kNone, 0, kBoolean, "true"},
    {"1 = 1.0", kNone, 0, kBoolean, "true"},
    {"2147483647 + 1 < 0", kNone, 0, kBoolean, "true"},

    // String functions.
    {"COPY('ABCDEF', 2, 3)", kNone, 0, kString, "BCD"},
    {"COPY('ABCDEF', 0, 2)", kNone, 0, kString, "AB"},
    {"COPY('ABCDEF', 7, 1)", kNone, 0, kString, ""},
    {"COPY('ABCDEF', 2, 0)", kNone, 0, kString, ""},
    {"COPY('ABCDEF', 5, 100)", kNone, 0, kString, "EF"},
    {"COPY('abc', TRUE, 1)", kNone, 0, kString, "a"},
    {"COPY('ÆØÅ', 2, 1)", kNone, 0, kString, "Ø"},
    {"COPY('ABC', 1.5, 1)", kNone, 0, kString, "Invalid parameter to COPY", kEvalError},
    {"COPY('abc',,1)", kNone, 0, kString, "Invalid parameter to COPY", kEvalError},
    {"POS('C', 'ABCDEF')", kNone, 0, kInteger, "3"},
    {"POS('z', 'ABCDEF')", kNone, 0, kInteger, "0"},
    {"POS('', 'ABCDEF')", kNone, 0, kInteger, "0"},
    {"POS('Å', 'ÆØÅ')", kNone, 0, kInteger, "3"},
    {"POS('C', 'ABCDEF')", kNone, 0, kType, "Integer"},
    {"LENGTH('Ære')", kNone, 0, kInteger, "3"},
    {"LENGTH(NULL)", kNone, 0, kInteger, "0"},
    {"LENGTH()", kNone, 0, kInteger, "Invalid parameter to LENGTH", kEvalError},
    {"LENGTH('a', 'b')", kNone, 0, kInteger, "Invalid parameter to LENGTH", kEvalError},
    {"LENGTH", kNone, 0, kInteger, "Invalid parameter to LENGTH", kEvalError},
    {"UPPER('abcæ')", kNone, 0, kString, "ABCæ"},
    {"LOWER('ABCÆ')", kNone, 0, kString, "abcÆ"},
    {"UPPER([HIREDATE])", kNone, 0, kString, "Invalid parameter to UPPER", kEvalError},
    {"UPPER(12) + 1", kNone, 0, kString, "121"},

    // Numeric functions.
    {"PI", kNone, 0, kFloat, "3.14159265358979"},
    {"PI()", kNone, 0, kFloat, "3.14159265358979"},
    {"PI(1, 'x')", kNone, 0, kFloat, "3.14159265358979"},
    {"TRUNC(-2.7)", kNone, 0, kInteger, "-2"},
    {"TRUNC(2.7)", kNone, 0, kFloat, "2"},
    {"TRUNC(TRUE)", kNone, 0, kInteger, "1"},
    {"TRUNC(2.5) + 1", kNone, 0, kType, "Integer"},
    {"ROUND(2.5)", kNone, 0, kInteger, "2"},
    {"ROUND(3.5)", kNone, 0, kInteger, "4"},
    {"ROUND(-2.5)", kNone, 0, kInteger, "-2"},
    {"TRUNC(1e20)", kNone, 0, kInteger, "Integer overflow", kEvalError},
    {"TRUNC('a')", kNone, 0, kInteger, "Invalid parameter to TRUNC", kEvalError},
    {"ABS(-5)", kNone, 0, kInteger, "5"},
    {"ABS(-2.5)", kNone, 0, kFloat, "2.5"},
    {"ABS(-2.5)", kNone, 0, kInteger, "Cannot read Float as integer", kEvalError},
    {"FRAC(-2.75)", kNone, 0, kFloat, "-0.75"},
    {"INT(-2.75)", kNone, 0, kFloat, "-2"},
    {"SQR(3)", kNone, 0, kFloat, "9"},
    {"SQRT(16)", kNone, 0, kFloat, "4"},
    {"SQRT(-1)", kNone, 0, kFloat, "NAN"},
    {"LN(0)", kNone, 0, kFloat, "-INF"},
    {"EXP(0) + COS(0) + SIN(0) + ARCTAN(0)", kNone, 0, kFloat, "2"},
    {"POWER(2, 10)", kNone, 0, kFloat, "1024"},
    {"POWER(2)", kNone, 0, kFloat, "Invalid parameter to POWER", kEvalError},
    {"SIN()", kNone, 0, kFloat, "Invalid parameter to SIN", kEvalError},
    {"SIN('1')", kNone, 0, kFloat, "Invalid parameter to SIN", kEvalError},
    {"SIN(1)", kNone, 0, kInteger, "Cannot read Float as integer", kEvalError},

    // IF and the type casts.
    {"IF([X] > 0, 'pos', 'neg')", kNone, 0, kType, "String"},
    {"IF([X] > 0, 'pos', 'neg')", kNone, 0, kString, "pos"},
    {"IF([X] > 0, 'pos', 'neg')", kNone, 1, kString, "neg"},
    {"IF(FALSE, 1, 'b')", kNone, 0, kType, "String"},
    {"IF(TRUE, 1, 'b')", kNone, 0, kType, "Integer"},
    {"IF(1, 2, 3)", kNone, 0, kInteger, "Invalid parameters to If", kEvalError},
    {"IF(TRUE, 1)", kNone, 0, kInteger, "Invalid parameters to If", kEvalError},
    {"IF(,1,2)", kNone, 0, kInteger, "Invalid parameters to If", kEvalError},
    {"IF(TRUE,,2)", kNone, 0, kType, "Invalid parameters to If", kEvalError},
    {"IF(TRUE < FALSE, 1, 2) + 1", kNone, 0, kType, "cannot apply opLT to boolean operands",
     kParseError},
    {"STRING(12)", kNone, 0, kString, "12"},
    {"STRING(12)", kNone, 0, kType, "String"},
    {"INTEGER('12')", kNone, 0, kInteger, "Cannot read String as integer", kEvalError},
    {"FLOAT(2)", kNone, 0, kFloat, "2"},
    {"FLOAT(1, 'x')", kNone, 0, kFloat, "1"},
    {"FLOAT", kNone, 0, kFloat, "Invalid parameter to FLOAT", kEvalError},
    {"FLOAT()", kNone, 0, kFloat, "Invalid parameter to FLOAT", kEvalError},
    {"FLOAT", kNone, 0, kType, "Float"},

    // Numbers and the decimal separator.
    {"2147483647", kNone, 0, kType, "Integer"},
    {"2147483648", kNone, 0, kType, "Float"},
    {"1e3", kNone, 0, kType, "Float"},
    {"1E3", kNone, 0, kFloat, "1000"},
    {"1e-3", kNone, 0, kFloat, "0.001"},
    {"2.5", kNone, 0, kFloat, "2.5"},
    {"2.", kNone, 0, kFloat, "2"},
    {"2,5", kNone, 0, kFloat, "2.5", kValue, kNorwegian},
    {"2,5 * 2", kNone, 0, kFloat, "5", kValue, kNorwegian},
    {"2.5", kNone, 0, kFloat, "char . in input stream", kParseError, kNorwegian},
    {"2,5", kNone, 0, kFloat, ", not appropriate", kParseError},
    {"POWER(2,3)", kNone, 0, kFloat, "Invalid parameter to POWER", kEvalError, kNorwegian},
    {"POWER(2 ,3)", kNone, 0, kFloat, "8", kValue, kNorwegian},
    {"POWER(2,3)", kNone, 0, kFloat, "8"},
    {"IF(TRUE, 1, 2)", kNone, 0, kInteger, "char 2 in input stream", kParseError, kNorwegian},
    {"1e+3", kNone, 0, kFloat, "Bad numeric format", kParseError},
    {"1e", kNone, 0, kFloat, "Bad numeric format", kParseError},
    {"1e-", kNone, 0, kFloat, "Bad numeric format", kParseError},
    {"1.2.3", kNone, 0, kFloat, "Bad numeric format", kParseError},
    {"1e5e5", kNone, 0, kFloat, "Bad numeric format", kParseError},
    {"1e5.0", kNone, 0, kFloat, "Bad numeric format", kParseError},
    {"1east", kNone, 0, kFloat, "Bad numeric format", kParseError},
    {"1e400", kNone, 0, kFloat, "Bad numeric format", kParseError},
    {"1e-400", kNone, 0, kFloat, "0"},
    {"1234567890123456789012345678", kNone, 0, kFloat, "1.23456789012346E27"},
    {"12345678901234567890123456789", kNone, 0, kFloat, "Bad numeric format", kParseError},
    {"0000000000000000000000000042", kNone, 0, kInteger, "42"},

    // Literals and names.
    {"'It''s'", kNone, 0, kString, "It's"},
    {"''''", kNone, 0, kString, "'"},
    {"''", kNone, 0, kString, ""},
    {"'abc", kNone, 0, kString, "Unterminated string", kParseError},
    {"'abc''", kNone, 0, kString, "Unterminated string", kParseError},
    {"LENGTH('" + k256 + "')", kNone, 0, kInteger, "256"},
    {"'" + k257 + "'", kNone, 0, kString, "String too long", kParseError},
    {"[abc", kNone, 0, kString, "Unterminated fieldname", kParseError},
    {"[" + k257 + "]", kNone, 0, kString, "Fieldname too long", kParseError},
    {"[" + k256 + "]", kNone, 0, kString, "Field " + k256 + " does not exist", kEvalError},

    // Syntax.
    {"", kNone, 0, kBoolean, "(none)"},
    {"  \t\r\n ", kNone, 0, kBoolean, "(none)"},
    {std::string("1 + 1\0 garbage", 14), kNone, 0, kInteger, "2"},
    {"[SAL] > 1000 AND [DEPTNO] = 10", kNone, 0, kBoolean, "Syntax error", kParseError},
    {"a = b = c", kNone, 0, kBoolean, "Syntax error", kParseError},
    {"1 = 2 = 3", kNone, 0, kBoolean, "Syntax error", kParseError},
    {"1 <>= 2", kNone, 0, kBoolean, "Syntax error", kParseError},
    {"1 NOT 2", kNone, 0, kBoolean, "Syntax error", kParseError},
    {"1 = 1 NOT 2", kNone, 0, kBoolean, "Syntax error", kParseError},
    {"#", kNone, 0, kBoolean, "Syntax error", kParseError},
    {"1 + #", kNone, 0, kBoolean, "Syntax error", kParseError},
    {"1)", kNone, 0, kBoolean, ") not appropriate", kParseError},
    {")", kNone, 0, kBoolean, ") not appropriate", kParseError},
    {"1, 2", kNone, 0, kBoolean, ", not appropriate", kParseError},
    {"(1", kNone, 0, kBoolean, " ) expected", kParseError},
    {"(1, 2)", kNone, 0, kBoolean, " ) expected", kParseError},
    {"()", kNone, 0, kBoolean, "invalid sub-expression", kParseError},
    {"(", kNone, 0, kBoolean, "invalid sub-expression", kParseError},
    {"1 +", kNone, 0, kBoolean, "Unexpected end of factor", kParseError},
    {"1 + )", kNone, 0, kBoolean, "Unexpected end of factor", kParseError},
    {"1 AND", kNone, 0, kBoolean, "Unexpected end of factor", kParseError},
    {"NOT", kNone, 0, kBoolean, "Unexpected end of factor", kParseError},
    {"UPPER('a'", kNone, 0, kBoolean, "Incorrectly formed parameters", kParseError},
    {"AND 1", kNone, 0, kBoolean, "opAnd not allowed here", kParseError},
    {"1 * OR 2", kNone, 0, kBoolean, "opOr not allowed here", kParseError},
    {"div", kNone, 0, kBoolean, "opDiv not allowed here", kParseError},
    {"1 ENAME", kNone, 0, kBoolean, "Identifier ENAME not allowed here", kParseError},
    {"1 + 2 ename", kNone, 0, kBoolean, "Identifier ENAME not allowed here", kParseError},
    {"1 TRUE", kNone, 0, kBoolean, "Boolean literal not allowed here", kParseError},
    {"1 + 1 false", kNone, 0, kBoolean, "Boolean literal not allowed here", kParseError},
    {"1 # 2", kNone, 0, kBoolean, "char # in input stream", kParseError},
    {"1 2", kNone, 0, kBoolean, "char 2 in input stream", kParseError},
    {"1 'a'", kNone, 0, kBoolean, "char ' in input stream", kParseError},
    {"1 Æ", kNone, 0, kBoolean, "char Æ in input stream", kParseError},
    {"1 => 2", kNone, 0, kBoolean, "=> not a valid operator", kParseError},
    {"1 == 2", kNone, 0, kBoolean, "== not a valid operator", kParseError},
    {"1 >< 2", kNone, 0, kBoolean, ">< not a valid operator", kParseError},
    {"1 =< 2", kNone, 0, kBoolean, "=< not a valid operator", kParseError},
    {"1 <= 2", kNone, 0, kBoolean, "true"},
    {"1 >= 2", kNone, 0, kBoolean, "false"},
    {"1 <> 2", kNone, 0, kBoolean, "true"},
};

class FilterCase : public testing::TestWithParam<Case> {};

TEST_P(FilterCase, EvaluatesAsExpected) {
  const Case& c = GetParam();
  const filter_internal::ScopedLocaleRules locale(c.locale == kEnglish ? englishRules()
                                                                       : norwegianRules());
  SampleHost host;
  host.SetCurrentRecord(c.record);
  std::unique_ptr<TExpression> root;
  try {
    root = ParseFilter(c.text, c.options, ColumnResolver(host));
  } catch (const EExpression& e) {
    EXPECT_EQ(c.outcome, kParseError) << "parse failed with: " << e.Message();
    EXPECT_EQ(e.Message(), c.expected);
    return;
  }
  ASSERT_NE(c.outcome, kParseError) << "parsed, but should fail with: " << c.expected;
  if (!root) {
    EXPECT_EQ("(none)", c.expected);
    return;
  }
  try {
    const std::string value = render(*root, c.read);
    EXPECT_EQ(c.outcome, kValue) << "evaluated to " << value;
    EXPECT_EQ(value, c.expected);
  } catch (const EExpression& e) {
    EXPECT_EQ(c.outcome, kEvalError) << "evaluation failed with: " << e.Message();
    EXPECT_EQ(e.Message(), c.expected);
  }
}

INSTANTIATE_TEST_SUITE_P(Filters, FilterCase, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& row) {
                           return testsupport::CaseName(row.index, row.param.text);
                         });

// The tree stays usable after an evaluation error, and follows the host's current record.
TEST(FilterTree, SurvivesErrorsAndFollowsTheCurrentRecord) {
  const filter_internal::ScopedLocaleRules locale(englishRules());
  SampleHost host;
  const auto root = ParseFilter("100 DIV [X] > 10", {}, ColumnResolver(host));
  host.SetCurrentRecord(3);  // X = 0
  EXPECT_THROW(root->AsBoolean(), EExpression);
  host.SetCurrentRecord(0);  // X = 5
  EXPECT_TRUE(root->AsBoolean());
  host.SetCurrentRecord(1);  // X = -3
  EXPECT_FALSE(root->AsBoolean());
}

}  // namespace
}  // namespace oracle::filter_test
