// The OCINumber arithmetic of the 8.0 clients: comparison, sign, rounding and the four basic
// operations, computed in decimal on the digits as Oracle does (never through a double). The
// transcendental functions and powers are not emulated and report ORA-03001.
#include <algorithm>
#include <cstring>

#include "ociemu/internal/Api.h"
#include "ociemu/internal/OraNumber.h"

using namespace ociemu;

namespace {

Number Read(const OCINumber* number) {
  if (!number) throw OracleError(22060, {"1"});
  const ub1* p = number->OCINumberPart;
  if (p[0] < 1 || p[0] > 21) throw OracleError(22060, {"1"});
  auto n = DecodeNumber(p + 1, p[0]);
  if (!n) throw OracleError(22060, {"1"});
  return *n;
}

void Write(const Number& n, OCINumber* number) {
  if (!number) throw OracleError(1009);
  unsigned char bytes[22];
  // Oracle keeps 40 significant digits at most.
  const Number kept = n.Rounded(Number::kMaxDigits - n.point);
  int len = EncodeNumber(kept, bytes);
  std::memset(number->OCINumberPart, 0, sizeof number->OCINumberPart);
  number->OCINumberPart[0] = static_cast<ub1>(len);
  std::memcpy(number->OCINumberPart + 1, bytes, static_cast<size_t>(len));
}

// Magnitudes as digit strings without leading zeros ("" is zero).
int CompareMagnitude(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

std::string Trim(std::string s) {
  size_t first = s.find_first_not_of('0');
  return first == std::string::npos ? std::string() : s.substr(first);
}

std::string AddMagnitude(const std::string& a, const std::string& b) {
  std::string out;
  int carry = 0;
  for (size_t i = 0; i < std::max(a.size(), b.size()) || carry; ++i) {
    int sum = carry;
    if (i < a.size()) sum += a[a.size() - 1 - i] - '0';
    if (i < b.size()) sum += b[b.size() - 1 - i] - '0';
    out.push_back(static_cast<char>('0' + sum % 10));
    carry = sum / 10;
  }
  std::reverse(out.begin(), out.end());
  return Trim(out);
}

// a - b for a >= b.
std::string SubtractMagnitude(const std::string& a, const std::string& b) {
  std::string out;
  int borrow = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    int d = a[a.size() - 1 - i] - '0' - borrow;
    if (i < b.size()) d -= b[b.size() - 1 - i] - '0';
    borrow = d < 0;
    out.push_back(static_cast<char>('0' + (d + 10) % 10));
  }
  std::reverse(out.begin(), out.end());
  return Trim(out);
}

std::string MultiplyMagnitude(const std::string& a, const std::string& b) {
  if (a.empty() || b.empty()) return {};
  std::vector<int> cells(a.size() + b.size(), 0);
  for (size_t i = a.size(); i-- > 0;) {
    for (size_t j = b.size(); j-- > 0;) {
      cells[i + j + 1] += (a[i] - '0') * (b[j] - '0');
    }
  }
  for (size_t k = cells.size(); k-- > 1;) {
    cells[k - 1] += cells[k] / 10;
    cells[k] %= 10;
  }
  std::string out;
  for (int c : cells) out.push_back(static_cast<char>('0' + c));
  return Trim(out);
}

// A number as an integer mantissa and a power of ten.
struct Scaled {
  bool negative;
  std::string mantissa;
  int exponent;
};

Scaled ToScaled(const Number& n) {
  return Scaled{n.negative, n.digits, n.point - static_cast<int>(n.digits.size())};
}

Number FromScaled(const Scaled& s) {
  Number n;
  n.digits = Trim(s.mantissa);
  if (n.digits.empty()) return n;
  n.negative = s.negative;
  n.point = static_cast<int>(n.digits.size()) + s.exponent;
  while (!n.digits.empty() && n.digits.back() == '0') n.digits.pop_back();
  return n;
}

Number Add(const Number& x, const Number& y) {
  Scaled a = ToScaled(x), b = ToScaled(y);
  const int exponent = std::min(a.exponent, b.exponent);
  a.mantissa.append(static_cast<size_t>(a.exponent - exponent), '0');
  b.mantissa.append(static_cast<size_t>(b.exponent - exponent), '0');
  a.mantissa = Trim(a.mantissa);
  b.mantissa = Trim(b.mantissa);
  if (a.negative == b.negative)
    return FromScaled({a.negative, AddMagnitude(a.mantissa, b.mantissa), exponent});
  if (CompareMagnitude(a.mantissa, b.mantissa) >= 0) {
    return FromScaled({a.negative, SubtractMagnitude(a.mantissa, b.mantissa), exponent});
  }
  return FromScaled({b.negative, SubtractMagnitude(b.mantissa, a.mantissa), exponent});
}

Number Negated(Number n) {
  if (!n.IsZero()) n.negative = !n.negative;
  return n;
}

Number Multiply(const Number& x, const Number& y) {
  Scaled a = ToScaled(x), b = ToScaled(y);
  return FromScaled({a.negative != b.negative, MultiplyMagnitude(a.mantissa, b.mantissa),
                     a.exponent + b.exponent});
}

// Long division to one digit beyond what a NUMBER keeps; Write rounds the rest.
Number Divide(const Number& x, const Number& y) {
  if (y.IsZero()) throw OracleError(1476);
  if (x.IsZero()) return Number{};
  Scaled a = ToScaled(x), b = ToScaled(y);
  const int wanted = Number::kMaxDigits + 2;
  // Scale the dividend so that the quotient has at least wanted digits.
  int shift = wanted + static_cast<int>(b.mantissa.size()) - static_cast<int>(a.mantissa.size());
  if (shift < 0) shift = 0;
  std::string dividend = a.mantissa + std::string(static_cast<size_t>(shift), '0');
  std::string quotient, remainder;
  for (char digit : dividend) {
    remainder = Trim(remainder + digit);
    int q = 0;
    while (CompareMagnitude(remainder, b.mantissa) >= 0) {
      remainder = SubtractMagnitude(remainder, b.mantissa);
      ++q;
    }
    quotient.push_back(static_cast<char>('0' + q));
  }
  return FromScaled({a.negative != b.negative, quotient, a.exponent - shift - b.exponent});
}

template <class Body>
sword Arithmetic(const char* name, OCIError* err, Body&& body) noexcept {
  return WithError(name, err, [&](Diagnostics*) -> sword {
    body();
    return OCI_SUCCESS;
  });
}

sword NotEmulated(const char* name, OCIError* err) noexcept {
  return WithError(name, err, [](Diagnostics*) -> sword { throw OracleError(3001); });
}

}  // namespace

extern "C" {

sword OCINumberAssign(OCIError* err, const OCINumber* from, OCINumber* to) {
  return Arithmetic("OCINumberAssign", err, [&] {
    if (!from || !to) throw OracleError(1009);
    std::memmove(to, from, sizeof *to);
  });
}

sword OCINumberCmp(OCIError* err, const OCINumber* number1, const OCINumber* number2,
                   sword* result) {
  return Arithmetic("OCINumberCmp", err, [&] {
    if (!result) throw OracleError(1009);
    *result = Read(number1).Compare(Read(number2));
  });
}

sword OCINumberSign(OCIError* err, const OCINumber* number, sword* result) {
  return Arithmetic("OCINumberSign", err, [&] {
    if (!result) throw OracleError(1009);
    Number n = Read(number);
    *result = n.IsZero() ? 0 : (n.negative ? -1 : 1);
  });
}

sword OCINumberIsZero(OCIError* err, const OCINumber* number, boolean* result) {
  return Arithmetic("OCINumberIsZero", err, [&] {
    if (!result) throw OracleError(1009);
    *result = Read(number).IsZero();
  });
}

sword OCINumberIsInt(OCIError* err, const OCINumber* number, boolean* result) {
  return Arithmetic("OCINumberIsInt", err, [&] {
    if (!result) throw OracleError(1009);
    *result = Read(number).IsInteger();
  });
}

void OCINumberSetZero(OCIError* err, OCINumber* num) {
  Arithmetic("OCINumberSetZero", err, [&] { Write(Number{}, num); });
}

void OCINumberSetPi(OCIError* err, OCINumber* num) {
  Arithmetic("OCINumberSetPi", err,
             [&] { Write(*ParseNumber("3.141592653589793238462643383279502884197"), num); });
}

sword OCINumberNeg(OCIError* err, const OCINumber* number, OCINumber* result) {
  return Arithmetic("OCINumberNeg", err, [&] { Write(Negated(Read(number)), result); });
}

sword OCINumberAbs(OCIError* err, const OCINumber* number, OCINumber* result) {
  return Arithmetic("OCINumberAbs", err, [&] {
    Number n = Read(number);
    n.negative = false;
    Write(n, result);
  });
}

sword OCINumberAdd(OCIError* err, const OCINumber* number1, const OCINumber* number2,
                   OCINumber* result) {
  return Arithmetic("OCINumberAdd", err, [&] { Write(Add(Read(number1), Read(number2)), result); });
}

sword OCINumberSub(OCIError* err, const OCINumber* number1, const OCINumber* number2,
                   OCINumber* result) {
  return Arithmetic("OCINumberSub", err,
                    [&] { Write(Add(Read(number1), Negated(Read(number2))), result); });
}

sword OCINumberMul(OCIError* err, const OCINumber* number1, const OCINumber* number2,
                   OCINumber* result) {
  return Arithmetic("OCINumberMul", err,
                    [&] { Write(Multiply(Read(number1), Read(number2)), result); });
}

sword OCINumberDiv(OCIError* err, const OCINumber* number1, const OCINumber* number2,
                   OCINumber* result) {
  return Arithmetic("OCINumberDiv", err,
                    [&] { Write(Divide(Read(number1), Read(number2)), result); });
}

// MOD as Oracle defines it: number1 - number2 * TRUNC(number1 / number2); MOD(n, 0) is n.
sword OCINumberMod(OCIError* err, const OCINumber* number1, const OCINumber* number2,
                   OCINumber* result) {
  return Arithmetic("OCINumberMod", err, [&] {
    Number a = Read(number1), b = Read(number2);
    if (b.IsZero()) return Write(a, result);
    Number q = Divide(a, b).Truncated(0);
    Write(Add(a, Negated(Multiply(b, q))), result);
  });
}

sword OCINumberInc(OCIError* err, OCINumber* number) {
  return Arithmetic("OCINumberInc", err,
                    [&] { Write(Add(Read(number), Number::FromInteger(1)), number); });
}

sword OCINumberDec(OCIError* err, OCINumber* number) {
  return Arithmetic("OCINumberDec", err,
                    [&] { Write(Add(Read(number), Number::FromInteger(-1)), number); });
}

sword OCINumberRound(OCIError* err, const OCINumber* number, sword decplace, OCINumber* result) {
  return Arithmetic("OCINumberRound", err, [&] { Write(Read(number).Rounded(decplace), result); });
}

sword OCINumberTrunc(OCIError* err, const OCINumber* number, sword decplace, OCINumber* result) {
  return Arithmetic("OCINumberTrunc", err,
                    [&] { Write(Read(number).Truncated(decplace), result); });
}

// Rounded to nDigs significant digits.
sword OCINumberPrec(OCIError* err, const OCINumber* number, sword nDigs, OCINumber* result) {
  return Arithmetic("OCINumberPrec", err, [&] {
    Number n = Read(number);
    Write(n.Rounded(nDigs - n.point), result);
  });
}

// Multiplied by ten to the power nDig.
sword OCINumberShift(OCIError* err, const OCINumber* number, sword nDig, OCINumber* result) {
  return Arithmetic("OCINumberShift", err, [&] {
    Number n = Read(number);
    if (!n.IsZero()) n.point += nDig;
    Write(n, result);
  });
}

sword OCINumberFloor(OCIError* err, const OCINumber* number, OCINumber* result) {
  return Arithmetic("OCINumberFloor", err, [&] {
    Number n = Read(number);
    Number t = n.Truncated(0);
    if (n.negative && t.Compare(n) != 0) t = Add(t, Number::FromInteger(-1));
    Write(t, result);
  });
}

sword OCINumberCeil(OCIError* err, const OCINumber* number, OCINumber* result) {
  return Arithmetic("OCINumberCeil", err, [&] {
    Number n = Read(number);
    Number t = n.Truncated(0);
    if (!n.negative && t.Compare(n) != 0) t = Add(t, Number::FromInteger(1));
    Write(t, result);
  });
}

sword OCINumberIntPower(OCIError* err, const OCINumber* base, const sword exp, OCINumber* result) {
  return Arithmetic("OCINumberIntPower", err, [&] {
    Number b = Read(base);
    Number out = Number::FromInteger(1);
    const long count = exp < 0 ? -static_cast<long>(exp) : exp;
    for (long i = 0; i < count; ++i) {
      out = Multiply(out, b).Rounded(Number::kMaxDigits + 2 - out.point);
    }
    if (exp < 0) out = Divide(Number::FromInteger(1), out);
    Write(out, result);
  });
}

sword OCINumberSqrt(OCIError* err, const OCINumber*, OCINumber*) {
  return NotEmulated("OCINumberSqrt", err);
}
sword OCINumberPower(OCIError* err, const OCINumber*, const OCINumber*, OCINumber*) {
  return NotEmulated("OCINumberPower", err);
}
sword OCINumberExp(OCIError* err, const OCINumber*, OCINumber*) {
  return NotEmulated("OCINumberExp", err);
}
sword OCINumberLn(OCIError* err, const OCINumber*, OCINumber*) {
  return NotEmulated("OCINumberLn", err);
}
sword OCINumberLog(OCIError* err, const OCINumber*, const OCINumber*, OCINumber*) {
  return NotEmulated("OCINumberLog", err);
}
sword OCINumberSin(OCIError* err, const OCINumber*, OCINumber*) {
  return NotEmulated("OCINumberSin", err);
}
sword OCINumberArcSin(OCIError* err, const OCINumber*, OCINumber*) {
  return NotEmulated("OCINumberArcSin", err);
}
sword OCINumberHypSin(OCIError* err, const OCINumber*, OCINumber*) {
  return NotEmulated("OCINumberHypSin", err);
}
sword OCINumberCos(OCIError* err, const OCINumber*, OCINumber*) {
  return NotEmulated("OCINumberCos", err);
}
sword OCINumberArcCos(OCIError* err, const OCINumber*, OCINumber*) {
  return NotEmulated("OCINumberArcCos", err);
}
sword OCINumberHypCos(OCIError* err, const OCINumber*, OCINumber*) {
  return NotEmulated("OCINumberHypCos", err);
}
sword OCINumberTan(OCIError* err, const OCINumber*, OCINumber*) {
  return NotEmulated("OCINumberTan", err);
}
sword OCINumberArcTan(OCIError* err, const OCINumber*, OCINumber*) {
  return NotEmulated("OCINumberArcTan", err);
}
sword OCINumberArcTan2(OCIError* err, const OCINumber*, const OCINumber*, OCINumber*) {
  return NotEmulated("OCINumberArcTan2", err);
}
sword OCINumberHypTan(OCIError* err, const OCINumber*, OCINumber*) {
  return NotEmulated("OCINumberHypTan", err);
}

}  // extern "C"
