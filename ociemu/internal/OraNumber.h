// Oracle NUMBER values: the 1-21 byte internal form (exponent byte and base-100 digits), the
// default text form ("0.5" reads ".5") and number format models for TO_CHAR.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ociemu {

// A number as SQLite holds it: an exact integer or a double.
struct Number {
  bool isInteger = true;
  int64_t integer = 0;
  double real = 0;
  double AsDouble() const { return isInteger ? static_cast<double>(integer) : real; }
};

// Writes the internal form of n into out (at least 21 bytes); returns its length (1-21).
// Throws OracleError 1426 for a magnitude NUMBER cannot hold.
int EncodeNumber(const Number& n, unsigned char* out);
// Reads an internal form of len bytes; nullopt when it is malformed.
std::optional<Number> DecodeNumber(const unsigned char* bytes, int len);

// TO_CHAR(n) without a format.
std::string NumberToText(const Number& n);
// TO_NUMBER(text): optional sign, digits with one point, optional exponent, surrounding blanks.
// Throws OracleError 1426 for a value beyond a double.
std::optional<Number> ParseNumber(std::string_view text);
// TO_CHAR(n, format) for the format elements 9 0 . , D G S MI FM $ and EEEE-free models.
// Throws OracleError 1481 for a format it does not know.
std::string FormatNumber(const Number& n, std::string_view format);

// A double that holds an integer value becomes an integer.
Number Normalize(double d);

}  // namespace ociemu
