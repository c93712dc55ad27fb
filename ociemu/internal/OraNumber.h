// Oracle NUMBER values: decimal throughout (up to 40 significant digits), the 1-21 byte internal
// form (exponent byte and base-100 digits), the default text form ("0.5" reads ".5") and the
// number format models of TO_CHAR.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ociemu {

// A decimal number: the value is 0.digits * 10^point, with the sign. Exact for every value the
// internal form holds, so a value never passes through a binary double on its way between the
// client's bytes, text and format models.
struct Number {
  bool negative = false;
  std::string digits;  // significant digits, no leading or trailing zeros; empty for zero
  int point = 0;       // the decimal point follows this many digits (may be <= 0 or > size)

  static constexpr int kMaxDigits = 40;

  static Number FromInteger(int64_t v);
  static Number FromUnsigned(uint64_t v);
  // What SQLite computed in binary floating point, read as the 15 significant digits SQLite
  // itself keeps in text, so that binary noise (19.999999999999996) never reaches the client.
  static Number FromDouble(double d);

  bool IsZero() const { return digits.empty(); }
  bool IsInteger() const { return point >= static_cast<int>(digits.size()); }
  // The value when it is an integer within int64.
  std::optional<int64_t> ToInteger() const;
  double AsDouble() const;
  // Digits before the decimal point (0 for magnitudes below 1).
  int IntegerDigits() const { return digits.empty() || point < 0 ? 0 : point; }
  // Rounded (halves away from zero) or truncated to scale digits after the point; a negative
  // scale rounds to the left of it.
  Number Rounded(int scale) const;
  Number Truncated(int scale) const;
  // -1, 0 or 1.
  int Compare(const Number& other) const;
};

// Writes the internal form of n into out (at least 21 bytes); returns its length (1-21).
// Throws OracleError 1426 for a magnitude NUMBER cannot hold.
int EncodeNumber(const Number& n, unsigned char* out);
// Reads an internal form of len bytes; nullopt when it is malformed.
std::optional<Number> DecodeNumber(const unsigned char* bytes, int len);

// TO_CHAR(n) without a format.
std::string NumberToText(const Number& n);
// TO_NUMBER(text): optional sign, digits with one point, optional exponent, surrounding blanks.
std::optional<Number> ParseNumber(std::string_view text);
// TO_CHAR(n, format) for the format models FM, S, MI, PR, $, 9, 0, '.', ',', D, G, EEEE, TM,
// TM9 and TME. Throws OracleError 1481 for a format it does not know.
std::string FormatNumber(const Number& n, std::string_view format);

// A double that holds an integer value becomes an integer.
Number Normalize(double d);

}  // namespace ociemu
