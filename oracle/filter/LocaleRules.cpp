// Number and date texts in the user's conventions, for the conversions of expression values.
#include "oracle/filter/internal/LocaleRules.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

#include "oracle/core/DateTime.h"
#include "oracle/filter/EExpression.h"
#include "oracle/filter/internal/Text.h"

namespace oracle::filter_internal {
namespace {

constexpr std::uint16_t kPrimaryNorwegian = 0x14;

// The override of ScopedLocaleRules; only tests set it, before evaluating anything.
std::optional<LocaleRules>& overrideRules() {
  static std::optional<LocaleRules> rules;
  return rules;
}

bool isBlank(char c) {
  return c >= 1 && c <= 32;
}

std::vector<std::string_view> split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t at = text.find(separator, start);
    parts.push_back(text.substr(start, at == std::string_view::npos ? text.npos : at - start));
    if (at == std::string_view::npos) return parts;
    start = at + 1;
  }
}

// A run of 1..maxDigits decimal digits and nothing else.
std::optional<int> number(std::string_view text, std::size_t maxDigits) {
  if (text.empty() || text.size() > maxDigits) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (!isAsciiDigit(c)) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && upperAscii(std::string(a)) == upperAscii(std::string(b));
}

struct Time {
  int hour = 0, minute = 0, second = 0;
};

// "h:nn" or "h:nn:ss", with "AM" or "PM" either attached or as the next token.
std::optional<Time> parseTime(std::string_view text, std::string_view meridiem) {
  if (meridiem.empty() && text.size() > 2) {
    const std::string_view tail = text.substr(text.size() - 2);
    if (equalsIgnoringCase(tail, "AM") || equalsIgnoringCase(tail, "PM")) {
      meridiem = tail;
      text.remove_suffix(2);
    }
  }
  const auto parts = split(text, ':');
  if (parts.size() < 2 || parts.size() > 3) return std::nullopt;
  Time t;
  const auto h = number(parts[0], 2), m = number(parts[1], 2);
  const auto s = parts.size() == 3 ? number(parts[2], 2) : std::optional<int>(0);
  if (!h || !m || !s) return std::nullopt;
  t.hour = *h;
  t.minute = *m;
  t.second = *s;
  if (!meridiem.empty()) {
    const bool pm = equalsIgnoringCase(meridiem, "PM");
    if (!pm && !equalsIgnoringCase(meridiem, "AM")) return std::nullopt;
    if (t.hour < 1 || t.hour > 12) return std::nullopt;
    t.hour = t.hour % 12 + (pm ? 12 : 0);
  }
  return t;
}

struct Date {
  int year = 0, month = 0, day = 0;
};

std::optional<Date> parseDate(std::string_view text, const LocaleRules& rules) {
  const auto parts = split(text, rules.dateSeparator);
  if (parts.size() < 2 || parts.size() > 3) return std::nullopt;
  const bool dayFirst = rules.dateOrder == LocaleRules::doDayMonthYear;
  const auto first = number(parts[0], 2), second = number(parts[1], 2);
  if (!first || !second) return std::nullopt;
  Date d;
  d.day = dayFirst ? *first : *second;
  d.month = dayFirst ? *second : *first;
  if (parts.size() == 3) {
    const auto year = number(parts[2], 4);
    if (!year) return std::nullopt;
    d.year = *year;
    if (parts[2].size() <= 2) d.year += d.year < 50 ? 2000 : 1900;
  } else {
    d.year = decodeDateTime(now()).year;
  }
  return d;
}

}  // namespace

LocaleRules rulesForLanguage(std::uint16_t languageId, char decimalSeparator) {
  LocaleRules rules;
  rules.decimalSeparator = decimalSeparator;
  if ((languageId & 0x3FF) == kPrimaryNorwegian) {
    rules.dateSeparator = '.';
    rules.dateOrder = LocaleRules::doDayMonthYear;
    rules.leadingZeros = true;
    rules.twelveHour = false;
  }
  return rules;
}

LocaleRules localeRules() {
  const auto& rules = overrideRules();
  return rules ? *rules : platformLocaleRules();
}

ScopedLocaleRules::ScopedLocaleRules(const LocaleRules& rules) : previous_(overrideRules()) {
  overrideRules() = rules;
}

ScopedLocaleRules::~ScopedLocaleRules() {
  overrideRules() = previous_;
}

std::string formatFloat(double value, char decimalSeparator) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  if (value == 0) return "0";  // also for -0
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  std::string text(buffer, result.ptr);
  const std::size_t e = text.find('e');
  if (e != std::string::npos) {
    const bool negative = text[e + 1] == '-';
    std::size_t digits = e + 2;
    while (digits + 1 < text.size() && text[digits] == '0') ++digits;
    text = text.substr(0, e) + (negative ? "E-" : "E") + text.substr(digits);
  }
  for (char& c : text) {
    if (c == '.') c = decimalSeparator;
  }
  return text;
}

std::string formatDateTime(double value, const LocaleRules& rules) {
  // 0001-01-01 is day -693593; 9999-12-31 is day 2958465.
  if (!(value > -693594.0 && value < 2958466.0)) throw EExpression("Date value out of range");
  const CivilDateTime c = decodeDateTime(value);
  if (c.year < 1 || c.year > 9999) throw EExpression("Date value out of range");
  const int first = rules.dateOrder == LocaleRules::doDayMonthYear ? c.day : c.month;
  const int second = rules.dateOrder == LocaleRules::doDayMonthYear ? c.month : c.day;
  const char sep = rules.dateSeparator;
  char buffer[64];
  int length = rules.leadingZeros ? std::snprintf(buffer, sizeof buffer, "%02d%c%02d%c%04d", first,
                                                  sep, second, sep, c.year)
                                  : std::snprintf(buffer, sizeof buffer, "%d%c%d%c%04d", first, sep,
                                                  second, sep, c.year);
  if (c.hour != 0 || c.minute != 0 || c.second != 0 || c.millisecond != 0) {
    char* out = buffer + length;
    const std::size_t room = sizeof buffer - static_cast<std::size_t>(length);
    if (rules.twelveHour) {
      const int hour = c.hour % 12 == 0 ? 12 : c.hour % 12;
      length += std::snprintf(out, room, " %d:%02d:%02d %s", hour, c.minute, c.second,
                              c.hour < 12 ? "AM" : "PM");
    } else {
      length += std::snprintf(out, room, " %02d:%02d:%02d", c.hour, c.minute, c.second);
    }
  }
  return std::string(buffer, static_cast<std::size_t>(length));
}

std::optional<double> parseDateTime(std::string_view text, const LocaleRules& rules) {
  std::vector<std::string_view> tokens;
  for (std::size_t at = 0; at < text.size();) {
    if (isBlank(text[at])) {
      ++at;
      continue;
    }
    std::size_t end = at;
    while (end < text.size() && !isBlank(text[end])) ++end;
    tokens.push_back(text.substr(at, end - at));
    at = end;
  }
  if (tokens.empty() || tokens.size() > 3) return std::nullopt;

  std::optional<Date> date;
  std::size_t next = 0;
  if (tokens[0].find(':') == std::string_view::npos) {
    date = parseDate(tokens[0], rules);
    if (!date) return std::nullopt;
    next = 1;
  }
  std::optional<Time> time;
  if (next < tokens.size()) {
    if (tokens.size() - next > 2) return std::nullopt;
    time = parseTime(tokens[next], next + 1 < tokens.size() ? tokens[next + 1] : "");
    if (!time) return std::nullopt;
  } else if (!date) {
    return std::nullopt;
  }
  CivilDateTime civil;
  if (date) {
    civil.year = date->year;
    civil.month = date->month;
    civil.day = date->day;
  }
  if (time) {
    civil.hour = time->hour;
    civil.minute = time->minute;
    civil.second = time->second;
  }
  return encodeDateTime(civil);
}

std::int32_t toInt32(double value) {
  if (!(value > -2147483649.0 && value < 2147483648.0)) throw EExpression("Integer overflow");
  return static_cast<std::int32_t>(value);
}

}  // namespace oracle::filter_internal
