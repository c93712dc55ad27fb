// The user's number and date conventions as the filter expressions apply them: the decimal
// separator of numbers read and written, and the short date and time formats of date texts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace oracle::filter_internal {

struct LocaleRules {
  enum DateOrder : std::uint8_t { doMonthDayYear, doDayMonthYear };

  char decimalSeparator = '.';
  char dateSeparator = '/';
  DateOrder dateOrder = doMonthDayYear;
  bool leadingZeros = false;  // "dd.mm.yyyy" rather than "m/d/yyyy"
  bool twelveHour = true;     // "h:nn:ss AM" rather than "hh:nn:ss"

  bool operator==(const LocaleRules&) const = default;
};

// The conventions of a Windows language identifier: Norwegian (Bokmal or Nynorsk) writes
// "dd.mm.yyyy hh:nn:ss"; every other language gets the US English "m/d/yyyy h:nn:ss AM".
LocaleRules rulesForLanguage(std::uint16_t languageId, char decimalSeparator);

// The conventions in force: those of the platform's locale, unless a ScopedLocaleRules is alive.
LocaleRules localeRules();

// Puts fixed conventions in force for its lifetime (tests). Not thread-safe.
class ScopedLocaleRules {
 public:
  explicit ScopedLocaleRules(const LocaleRules& rules);
  ~ScopedLocaleRules();
  ScopedLocaleRules(const ScopedLocaleRules&) = delete;
  ScopedLocaleRules& operator=(const ScopedLocaleRules&) = delete;

 private:
  std::optional<LocaleRules> previous_;
};

// The platform's conventions; defined by the bridge to the platform port.
LocaleRules platformLocaleRules();

// Decimal text in the general format of 15 significant digits: fixed notation while the
// exponent lies in -5..14, else mantissa and "E" with the exponent ("1E20", "1.5E-7").
std::string formatFloat(double value, char decimalSeparator);

// The date in the short date format, then a blank and the time when the value has a time of
// day. Raises EExpression for a value outside the years 1 to 9999.
std::string formatDateTime(double value, const LocaleRules& rules);

// A date, a date and a time, or a time alone, in the given conventions; nullopt when the text
// is none of these. Missing year: the current one; a year of one or two digits: 1950..2049.
std::optional<double> parseDateTime(std::string_view text, const LocaleRules& rules);

// Raises EExpression with "Integer overflow" unless value lies in the 32-bit range; truncates.
std::int32_t toInt32(double value);

}  // namespace oracle::filter_internal
