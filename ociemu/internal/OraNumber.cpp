// The internal NUMBER form: byte 0 is the exponent (bit 7 set for positive numbers, the base-100
// exponent + 193; complemented for negatives), then base-100 digits, each + 1 for positive
// numbers and 101 - digit for negatives, negatives ending in 102 when shorter than 20 digits.
#include "ociemu/internal/OraNumber.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "ociemu/internal/OracleError.h"

namespace ociemu {
namespace {

// A decimal: digits with the decimal point after `point` digits (may be <0 or >size).
struct Decimal {
  bool negative = false;
  std::string digits;  // no leading or trailing zeros; empty means zero
  int point = 0;
};

void Trim(Decimal& d) {
  size_t lead = 0;
  while (lead < d.digits.size() && d.digits[lead] == '0') ++lead;
  d.digits.erase(0, lead);
  d.point -= static_cast<int>(lead);
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  if (d.digits.empty()) {
    d.point = 0;
    d.negative = false;
  }
}

Decimal ToDecimal(const Number& n) {
  Decimal d;
  if (n.isInteger) {
    uint64_t v =
        n.integer < 0 ? 0 - static_cast<uint64_t>(n.integer) : static_cast<uint64_t>(n.integer);
    d.negative = n.integer < 0;
    d.digits = std::to_string(v);
    d.point = static_cast<int>(d.digits.size());
  } else {
    double v = n.real;
    if (!std::isfinite(v)) v = 0;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15e", v);  // d.ddddddddddddddde±xx
    const char* p = buf;
    if (*p == '-') {
      d.negative = true;
      ++p;
    }
    const char* e = std::strchr(p, 'e');
    int exp10 = std::atoi(e + 1);
    for (const char* q = p; q < e; ++q) {
      if (*q != '.') d.digits += *q;
    }
    d.point = exp10 + 1;
  }
  Trim(d);
  return d;
}

Number FromDecimal(const Decimal& d) {
  Number n;
  if (d.digits.empty()) return n;
  const int size = static_cast<int>(d.digits.size());
  if (d.point >= size && d.point <= 18) {
    int64_t v = 0;
    for (char c : d.digits) v = v * 10 + (c - '0');
    for (int i = size; i < d.point; ++i) v *= 10;
    n.integer = d.negative ? -v : v;
    return n;
  }
  std::string text = (d.negative ? "-0." : "0.") + d.digits + "e" + std::to_string(d.point);
  n.isInteger = false;
  n.real = std::strtod(text.c_str(), nullptr);
  if (!std::isfinite(n.real)) throw OracleError(1426);
  return n;
}

}  // namespace

Number Normalize(double d) {
  Number n;
  if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 9.2e18) {
    n.integer = static_cast<int64_t>(d);
  } else {
    n.isInteger = false;
    n.real = d;
  }
  return n;
}

int EncodeNumber(const Number& n, unsigned char* out) {
  Decimal d = ToDecimal(n);
  if (d.digits.empty()) {
    out[0] = 0x80;
    return 1;
  }
  // Align to base-100: an even number of digits before the point and after it.
  std::string digits = d.digits;
  int point = d.point;
  if (point % 2 != 0) {
    digits.insert(digits.begin(), '0');
    ++point;
  }
  if (digits.size() % 2 != 0) digits += '0';
  int exponent = point / 2 - 1;
  std::string pairs;
  for (size_t i = 0; i < digits.size(); i += 2) {
    pairs += static_cast<char>((digits[i] - '0') * 10 + (digits[i + 1] - '0'));
  }
  while (!pairs.empty() && pairs[0] == 0) {
    pairs.erase(0, 1);
    --exponent;
  }
  if (pairs.size() > 20) pairs.resize(20);
  while (!pairs.empty() && pairs.back() == 0) pairs.pop_back();
  // NUMBER holds magnitudes below 1E126; smaller than 1E-130 it is zero.
  if (exponent > 62) throw OracleError(1426);
  if (exponent < -65 || pairs.empty()) {
    out[0] = 0x80;
    return 1;
  }
  int len = 0;
  if (!d.negative) {
    out[len++] = static_cast<unsigned char>(193 + exponent);
    for (char p : pairs) out[len++] = static_cast<unsigned char>(p + 1);
  } else {
    out[len++] = static_cast<unsigned char>(~(193 + exponent) & 0xFF);
    for (char p : pairs) out[len++] = static_cast<unsigned char>(101 - p);
    if (pairs.size() < 20) out[len++] = 102;
  }
  return len;
}

std::optional<Number> DecodeNumber(const unsigned char* bytes, int len) {
  if (len < 1 || len > 21) return std::nullopt;
  if (len == 1 && bytes[0] == 0x80) return Number{};
  Decimal d;
  d.negative = (bytes[0] & 0x80) == 0;
  int exponent = d.negative ? (static_cast<unsigned char>(~bytes[0]) - 193) : (bytes[0] - 193);
  int end = len;
  if (d.negative && end > 1 && bytes[end - 1] == 102) --end;
  for (int i = 1; i < end; ++i) {
    int v = d.negative ? 101 - bytes[i] : bytes[i] - 1;
    if (v < 0 || v > 99) return std::nullopt;
    d.digits += static_cast<char>('0' + v / 10);
    d.digits += static_cast<char>('0' + v % 10);
  }
  d.point = (exponent + 1) * 2;
  Trim(d);
  return FromDecimal(d);
}

std::string NumberToText(const Number& n) {
  if (n.isInteger) return std::to_string(n.integer);
  Decimal d = ToDecimal(n);
  if (d.digits.empty()) return "0";
  std::string out = d.negative ? "-" : "";
  const int size = static_cast<int>(d.digits.size());
  if (d.point > 40 || d.point < -39) {
    out += d.digits.substr(0, 1);
    if (size > 1) out += "." + d.digits.substr(1);
    char exp[16];
    std::snprintf(exp, sizeof exp, "E%+03d", d.point - 1);
    return out + exp;
  }
  if (d.point <= 0) {
    out += "." + std::string(static_cast<size_t>(-d.point), '0') + d.digits;
  } else if (d.point >= size) {
    out += d.digits + std::string(static_cast<size_t>(d.point - size), '0');
  } else {
    out += d.digits.substr(0, static_cast<size_t>(d.point)) + "." +
           d.digits.substr(static_cast<size_t>(d.point));
  }
  return out;
}

std::optional<Number> ParseNumber(std::string_view text) {
  size_t i = 0, n = text.size();
  while (i < n && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  while (n > i && std::isspace(static_cast<unsigned char>(text[n - 1]))) --n;
  Decimal d;
  if (i < n && (text[i] == '+' || text[i] == '-')) d.negative = text[i++] == '-';
  bool seenPoint = false, seenDigit = false;
  int point = 0;
  for (; i < n; ++i) {
    char c = text[i];
    if (c >= '0' && c <= '9') {
      d.digits += c;
      seenDigit = true;
      if (!seenPoint) ++point;
    } else if (c == '.' && !seenPoint) {
      seenPoint = true;
    } else {
      break;
    }
  }
  if (!seenDigit) return std::nullopt;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    bool negExp = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negExp = text[i++] == '-';
    int exp = 0;
    bool expDigit = false;
    for (; i < n && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
      exp = exp * 10 + (text[i] - '0');
      if (exp > 1000) return std::nullopt;
      expDigit = true;
    }
    if (!expDigit) return std::nullopt;
    point += negExp ? -exp : exp;
  }
  if (i != n) return std::nullopt;
  d.point = point;
  Trim(d);
  return FromDecimal(d);
}

std::string FormatNumber(const Number& n, std::string_view format) {
  std::string fmt;
  for (char c : format) fmt += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  bool fill = true;  // without FM, the result is padded to the format's width
  if (fmt.rfind("FM", 0) == 0) {
    fill = false;
    fmt.erase(0, 2);
  }
  bool signLeading = false, signTrailingMinus = false, dollar = false;
  if (!fmt.empty() && fmt[0] == 'S') {
    signLeading = true;
    fmt.erase(0, 1);
  }
  if (fmt.size() >= 2 && fmt.substr(fmt.size() - 2) == "MI") {
    signTrailingMinus = true;
    fmt.erase(fmt.size() - 2);
  }
  if (!fmt.empty() && fmt[0] == '$') {
    dollar = true;
    fmt.erase(0, 1);
  }
  if (fmt.find_first_of("90") == std::string::npos) throw OracleError(1481);
  int intSlots = 0, fracSlots = 0;
  bool afterPoint = false;
  for (char c : fmt) {
    if (c == '9' || c == '0') {
      (afterPoint ? fracSlots : intSlots)++;
    } else if (c == '.' || c == 'D') {
      if (afterPoint) throw OracleError(1481);
      afterPoint = true;
    } else if (c != ',' && c != 'G') {
      throw OracleError(1481);
    }
  }
  const double value = n.AsDouble();
  const bool negative = value < 0;
  // Oracle rounds halves away from zero; printf would round them to even.
  const double scale = std::pow(10.0, fracSlots);
  double magnitude = std::round(std::fabs(value) * scale) / scale;
  if (!std::isfinite(magnitude)) magnitude = std::fabs(value);
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.*f", std::min(fracSlots, 60), magnitude);
  std::string digits = buf;
  std::string intPart = digits.substr(0, digits.find('.'));
  std::string fracPart = fracSlots ? digits.substr(digits.find('.') + 1) : "";
  if (intPart == "0") intPart.clear();
  const int width = static_cast<int>(fmt.size()) + 1 + (dollar ? 1 : 0);
  if (static_cast<int>(intPart.size()) > intSlots) {
    return std::string(static_cast<size_t>(width), '#');
  }
  // Walk the integer part of the format from the right.
  std::string intOut;
  int digitIndex = static_cast<int>(intPart.size()) - 1;
  const std::string intFmt = fmt.substr(
      0, fmt.find_first_of(".D") == std::string::npos ? fmt.size() : fmt.find_first_of(".D"));
  // Leading zeros are shown from the first 0 in the format onwards.
  size_t firstZero = intFmt.find('0');
  for (int f = static_cast<int>(intFmt.size()) - 1; f >= 0; --f) {
    char c = intFmt[static_cast<size_t>(f)];
    if (c == ',' || c == 'G') {
      if (digitIndex >= 0 ||
          (firstZero != std::string::npos && static_cast<size_t>(f) > firstZero)) {
        intOut.insert(intOut.begin(), ',');
      } else if (fill) {
        intOut.insert(intOut.begin(), ' ');
      }
      continue;
    }
    if (digitIndex >= 0) {
      intOut.insert(intOut.begin(), intPart[static_cast<size_t>(digitIndex--)]);
    } else if (firstZero != std::string::npos && static_cast<size_t>(f) >= firstZero) {
      intOut.insert(intOut.begin(), '0');
    } else if (fill) {
      intOut.insert(intOut.begin(), ' ');
    }
  }
  std::string out = intOut;
  if (afterPoint) {
    if (out.find_first_not_of(' ') == std::string::npos && fracSlots == 0) out += '0';
    out += '.';
    out += fracPart;
  } else if (out.find_first_not_of(' ') == std::string::npos) {
    if (out.empty()) {
      out = "0";
    } else {
      out.back() = '0';
    }
  }
  if (!fill) {
    // FM also drops trailing zeros of the fraction that the format marks with 9.
    size_t p = out.find('.');
    if (p != std::string::npos) {
      size_t f = fmt.find_first_of(".D");
      std::string fracFmt = fmt.substr(f + 1);
      while (!fracFmt.empty() && fracFmt.back() == '9' && out.back() == '0') {
        out.pop_back();
        fracFmt.pop_back();
      }
    }
  }
  // The sign goes just before the first character shown.
  size_t first = out.find_first_not_of(' ');
  if (first == std::string::npos) first = out.size();
  std::string prefix = dollar ? "$" : "";
  if (signLeading) {
    prefix = (negative ? "-" : "+") + prefix;
  } else if (!signTrailingMinus) {
    prefix = (negative ? "-" : (fill ? " " : "")) + prefix;
  }
  out.insert(first, prefix);
  if (signTrailingMinus) out += negative ? "-" : (fill ? " " : "");
  return out;
}

}  // namespace ociemu
