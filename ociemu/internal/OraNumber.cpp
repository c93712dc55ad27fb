// The internal NUMBER form: byte 0 is the exponent (bit 7 set for positive numbers, the base-100
// exponent + 193; complemented for negatives), then base-100 digits, each + 1 for positive
// numbers and 101 - digit for negatives, negatives ending in 102 when shorter than 20 digits.
#include "ociemu/internal/OraNumber.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "ociemu/internal/OracleError.h"

namespace ociemu {
namespace {

void Trim(Number& n) {
  size_t lead = 0;
  while (lead < n.digits.size() && n.digits[lead] == '0') ++lead;
  n.digits.erase(0, lead);
  n.point -= static_cast<int>(lead);
  while (!n.digits.empty() && n.digits.back() == '0') n.digits.pop_back();
  if (n.digits.empty()) {
    n.point = 0;
    n.negative = false;
  }
}

// Keeps `keep` leading digits, rounding the rest away (halves away from zero) or dropping it.
Number KeepDigits(Number n, long keep, bool round) {
  if (keep >= static_cast<long>(n.digits.size())) return n;
  if (keep < 0) return Number{};
  const bool up = round && n.digits[static_cast<size_t>(keep)] >= '5';
  n.digits.resize(static_cast<size_t>(keep));
  if (up) {
    size_t i = n.digits.size();
    while (i > 0 && n.digits[i - 1] == '9') n.digits[--i] = '0';
    if (i == 0) {
      n.digits.insert(n.digits.begin(), '1');
      ++n.point;
    } else {
      ++n.digits[i - 1];
    }
  }
  Trim(n);
  return n;
}

// At most the 40 significant digits NUMBER keeps.
Number Canonical(Number n) {
  Trim(n);
  return KeepDigits(std::move(n), Number::kMaxDigits, true);
}

// The digits of n from position `from` (relative to the point: 0 is the first digit after it,
// -1 the last before it) for count places, zero-padded.
std::string DigitsAt(const Number& n, int from, int count) {
  std::string out;
  for (int k = 0; k < count; ++k) {
    const long index = static_cast<long>(n.point) + from + k;
    out += index >= 0 && index < static_cast<long>(n.digits.size())
               ? n.digits[static_cast<size_t>(index)]
               : '0';
  }
  return out;
}

std::string Scientific(const Number& n) {
  std::string out = n.negative ? "-" : "";
  if (n.IsZero()) return "0";
  out += n.digits.substr(0, 1);
  if (n.digits.size() > 1) out += "." + n.digits.substr(1);
  char exp[16];
  std::snprintf(exp, sizeof exp, "E%+03d", n.point - 1);
  return out + exp;
}

std::string Upper(std::string_view s) {
  std::string out;
  for (char c : s) out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

bool EndsWith(const std::string& s, std::string_view tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

Number Number::FromUnsigned(uint64_t v) {
  Number n;
  n.digits = std::to_string(v);
  n.point = static_cast<int>(n.digits.size());
  Trim(n);
  return n;
}

Number Number::FromInteger(int64_t v) {
  Number n = FromUnsigned(v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v));
  n.negative = v < 0;
  return n;
}

Number Number::FromDouble(double d) {
  Number n;
  if (!std::isfinite(d) || d == 0) return n;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.14e", d);  // d.dddddddddddddde±xx: 15 significant digits
  const char* p = buf;
  if (*p == '-') {
    n.negative = true;
    ++p;
  }
  const char* e = std::strchr(p, 'e');
  for (const char* q = p; q < e; ++q) {
    if (*q != '.') n.digits += *q;
  }
  n.point = std::atoi(e + 1) + 1;
  Trim(n);
  return n;
}

std::optional<int64_t> Number::ToInteger() const {
  if (!IsInteger() || point > 19) return std::nullopt;
  uint64_t v = 0;
  for (int i = 0; i < point; ++i) {
    v = v * 10 + static_cast<uint64_t>(i < static_cast<int>(digits.size())
                                           ? digits[static_cast<size_t>(i)] - '0'
                                           : 0);
  }
  const uint64_t limit =
      static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) + (negative ? 1 : 0);
  if (v > limit) return std::nullopt;
  return negative ? static_cast<int64_t>(0 - v) : static_cast<int64_t>(v);
}

double Number::AsDouble() const {
  if (IsZero()) return 0;
  std::string text = (negative ? "-0." : "0.") + digits + "e" + std::to_string(point);
  return std::strtod(text.c_str(), nullptr);
}

Number Number::Rounded(int scale) const {
  return KeepDigits(*this, static_cast<long>(point) + scale, true);
}

Number Number::Truncated(int scale) const {
  return KeepDigits(*this, static_cast<long>(point) + scale, false);
}

int Number::Compare(const Number& other) const {
  auto sign = [](const Number& n) { return n.IsZero() ? 0 : (n.negative ? -1 : 1); };
  const int a = sign(*this), b = sign(other);
  if (a != b) return a < b ? -1 : 1;
  if (a == 0) return 0;
  int magnitude = 0;
  if (point != other.point) {
    magnitude = point < other.point ? -1 : 1;
  } else {
    const int c = digits.compare(other.digits);
    magnitude = c < 0 ? -1 : (c > 0 ? 1 : 0);
  }
  return a * magnitude;
}

Number Normalize(double d) {
  return Number::FromDouble(d);
}

int EncodeNumber(const Number& value, unsigned char* out) {
  Number n = Canonical(value);
  if (n.IsZero()) {
    out[0] = 0x80;
    return 1;
  }
  // Base-100 digits hold 40 decimal digits when the point falls between pairs, 39 otherwise.
  n = KeepDigits(n, n.point % 2 != 0 ? 39 : 40, true);
  if (n.IsZero()) {
    out[0] = 0x80;
    return 1;
  }
  std::string digits = n.digits;
  int point = n.point;
  if (point % 2 != 0) {
    digits.insert(digits.begin(), '0');
    ++point;
  }
  if (digits.size() % 2 != 0) digits += '0';
  const int exponent = point / 2 - 1;
  std::string pairs;
  for (size_t i = 0; i < digits.size(); i += 2) {
    pairs += static_cast<char>((digits[i] - '0') * 10 + (digits[i + 1] - '0'));
  }
  // NUMBER holds magnitudes below 1E126; smaller than 1E-130 it is zero.
  if (exponent > 62) throw OracleError(1426);
  if (exponent < -65) {
    out[0] = 0x80;
    return 1;
  }
  int len = 0;
  if (!n.negative) {
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
  Number n;
  n.negative = (bytes[0] & 0x80) == 0;
  int exponent = n.negative ? (static_cast<unsigned char>(~bytes[0]) - 193) : (bytes[0] - 193);
  int end = len;
  if (n.negative && end > 1 && bytes[end - 1] == 102) --end;
  for (int i = 1; i < end; ++i) {
    int v = n.negative ? 101 - bytes[i] : bytes[i] - 1;
    if (v < 0 || v > 99) return std::nullopt;
    n.digits += static_cast<char>('0' + v / 10);
    n.digits += static_cast<char>('0' + v % 10);
  }
  n.point = (exponent + 1) * 2;
  Trim(n);
  return n;
}

std::string NumberToText(const Number& value) {
  const Number n = Canonical(value);
  if (n.IsZero()) return "0";
  std::string out = n.negative ? "-" : "";
  const int size = static_cast<int>(n.digits.size());
  if (n.point <= 0) {
    out += "." + std::string(static_cast<size_t>(-n.point), '0') + n.digits;
  } else if (n.point >= size) {
    out += n.digits + std::string(static_cast<size_t>(n.point - size), '0');
  } else {
    out += n.digits.substr(0, static_cast<size_t>(n.point)) + "." +
           n.digits.substr(static_cast<size_t>(n.point));
  }
  // Text longer than 64 characters turns to scientific notation.
  return out.size() > 64 ? Scientific(n) : out;
}

std::optional<Number> ParseNumber(std::string_view text) {
  size_t i = 0, n = text.size();
  while (i < n && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  while (n > i && std::isspace(static_cast<unsigned char>(text[n - 1]))) --n;
  Number d;
  if (i < n && (text[i] == '+' || text[i] == '-')) d.negative = text[i++] == '-';
  bool seenPoint = false, seenDigit = false;
  long point = 0;
  for (; i < n; ++i) {
    char c = text[i];
    if (c >= '0' && c <= '9') {
      // Leading zeros carry no digit; a long tail beyond NUMBER's digits only rounds.
      if (!(c == '0' && d.digits.empty())) {
        if (d.digits.size() <= Number::kMaxDigits) d.digits += c;
      } else if (seenPoint) {
        --point;
      }
      if (!seenPoint && !(c == '0' && d.digits.empty())) ++point;
      seenDigit = true;
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
    long exp = 0;
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
  if (point > 1000 || point < -1000) {
    if (point > 0 && !d.digits.empty()) throw OracleError(1426);
    return Number{};
  }
  d.point = static_cast<int>(point);
  d = Canonical(d);
  if (d.point > 126) throw OracleError(1426);
  return d;
}

std::string FormatNumber(const Number& value, std::string_view format) {
  std::string fmt = Upper(format);
  bool fill = true;  // without FM, the result is padded to the format's width
  if (fmt.rfind("FM", 0) == 0) {
    fill = false;
    fmt.erase(0, 2);
  }
  const Number n = Canonical(value);
  // Text minimum: the shortest text, fixed (TM, TM9) or scientific (TME).
  if (fmt.rfind("TM", 0) == 0) {
    const std::string kind = fmt.substr(2);
    if (kind.empty() || kind == "9") return NumberToText(n);
    if (kind == "E") return Scientific(n);
    throw OracleError(1481);
  }
  bool signLeading = false, signTrailing = false, minusTrailing = false, brackets = false;
  bool dollar = false, scientific = false;
  if (!fmt.empty() && fmt[0] == 'S') {
    signLeading = true;
    fmt.erase(0, 1);
  } else if (EndsWith(fmt, "S")) {
    signTrailing = true;
    fmt.pop_back();
  } else if (EndsWith(fmt, "MI")) {
    minusTrailing = true;
    fmt.resize(fmt.size() - 2);
  } else if (EndsWith(fmt, "PR")) {
    brackets = true;
    fmt.resize(fmt.size() - 2);
  }
  if (EndsWith(fmt, "EEEE")) {
    scientific = true;
    fmt.resize(fmt.size() - 4);
  }
  if (!fmt.empty() && fmt[0] == '$') {
    dollar = true;
    fmt.erase(0, 1);
  }
  int intSlots = 0, fracSlots = 0;
  bool afterPoint = false;
  for (char c : fmt) {
    if (c == '9' || c == '0') {
      (afterPoint ? fracSlots : intSlots)++;
    } else if (c == '.' || c == 'D') {
      if (afterPoint) throw OracleError(1481);
      afterPoint = true;
    } else if ((c == ',' || c == 'G') && !afterPoint && !scientific) {
      continue;
    } else {
      throw OracleError(1481);
    }
  }
  if (intSlots + fracSlots == 0) throw OracleError(1481);
  // An overflow fills the whole width with #.
  const int width = static_cast<int>(format.size()) - (fill ? 0 : 2) + 1;
  std::string out;
  bool negative = false;
  if (scientific) {
    // One digit before the point, fracSlots after it, then the exponent.
    Number r = n.IsZero() ? n : KeepDigits(n, 1 + fracSlots, true);
    negative = r.negative;
    const int exponent = r.IsZero() ? 0 : r.point - 1;
    std::string mantissa =
        r.IsZero() ? std::string(static_cast<size_t>(1 + fracSlots), '0') : r.digits;
    mantissa.resize(static_cast<size_t>(1 + fracSlots), '0');
    out = mantissa.substr(0, 1);
    if (afterPoint) out += "." + mantissa.substr(1);
    char exp[16];
    std::snprintf(exp, sizeof exp, "E%+03d", exponent);
    out += exp;
  } else {
    const Number r = n.Rounded(fracSlots);
    negative = r.negative;
    std::string intPart = r.IntegerDigits() > 0 ? DigitsAt(r, -r.point, r.point) : "";
    const std::string fracPart = DigitsAt(r, 0, fracSlots);
    if (static_cast<int>(intPart.size()) > intSlots) {
      return std::string(static_cast<size_t>(std::max(width, 2)), '#');
    }
    // Walk the integer part of the format from the right.
    const std::string intFmt = fmt.substr(0, std::min(fmt.find_first_of(".D"), fmt.size()));
    // Leading zeros are shown from the first 0 in the format onwards.
    const size_t firstZero = intFmt.find('0');
    int digitIndex = static_cast<int>(intPart.size()) - 1;
    std::string intOut;
    for (int f = static_cast<int>(intFmt.size()) - 1; f >= 0; --f) {
      const char c = intFmt[static_cast<size_t>(f)];
      const bool zeroShown = firstZero != std::string::npos && static_cast<size_t>(f) >= firstZero;
      if (c == ',' || c == 'G') {
        if (digitIndex >= 0 || (zeroShown && static_cast<size_t>(f) > firstZero)) {
          intOut.insert(intOut.begin(), ',');
        } else if (fill) {
          intOut.insert(intOut.begin(), ' ');
        }
        continue;
      }
      if (digitIndex >= 0) {
        intOut.insert(intOut.begin(), intPart[static_cast<size_t>(digitIndex--)]);
      } else if (zeroShown) {
        intOut.insert(intOut.begin(), '0');
      } else if (fill) {
        intOut.insert(intOut.begin(), ' ');
      }
    }
    out = intOut;
    const bool noDigits = out.find_first_not_of(' ') == std::string::npos;
    if (afterPoint) {
      if (noDigits && fracSlots == 0) out += '0';
      out += '.';
      out += fracPart;
      if (!fill) {
        // FM drops the trailing zeros of the fraction that the format marks with 9.
        std::string fracFmt = fmt.substr(fmt.find_first_of(".D") + 1);
        while (!fracFmt.empty() && fracFmt.back() == '9' && out.back() == '0') {
          out.pop_back();
          fracFmt.pop_back();
        }
      }
    } else if (noDigits) {
      if (out.empty()) {
        out = "0";
      } else {
        out.back() = '0';
      }
    }
  }
  // The sign goes just before the first character shown.
  size_t first = out.find_first_not_of(' ');
  if (first == std::string::npos) first = out.size();
  std::string prefix = dollar ? "$" : "";
  if (signLeading) {
    prefix = (negative ? "-" : "+") + prefix;
  } else if (brackets) {
    prefix = (negative ? "<" : (fill ? " " : "")) + prefix;
  } else if (!signTrailing && !minusTrailing) {
    prefix = (negative ? "-" : (fill ? " " : "")) + prefix;
  }
  out.insert(first, prefix);
  if (signTrailing) out += negative ? "-" : "+";
  if (minusTrailing) out += negative ? "-" : (fill ? " " : "");
  if (brackets) out += negative ? ">" : (fill ? " " : "");
  return out;
}

}  // namespace ociemu
