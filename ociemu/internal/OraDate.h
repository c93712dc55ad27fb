// Oracle DATE values. The database keeps a date as a Julian day number (a REAL, as SQLite's
// own date functions count), so date arithmetic in SQL works as Oracle's does: date + 1 is the
// next day, and date - date is a number of days. This file converts to and from the civil
// form, the 7-byte external form, OCIDate, and text under format models.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ociemu {

struct CivilTime {
  int year = 1;  // -4712 .. 9999, no year 0
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
  bool operator==(const CivilTime&) const = default;
};

double JulianDay(const CivilTime& t);
// The civil time of a Julian day, to the nearest second.
CivilTime FromJulianDay(double jd);
bool IsValid(const CivilTime& t);
int DaysInMonth(int year, int month);

// The 7-byte external DATE: century+100, year-of-century+100, month, day, hour+1, minute+1,
// second+1. Decoding returns nullopt for bytes that are no date.
void EncodeDate7(const CivilTime& t, unsigned char* out);
std::optional<CivilTime> DecodeDate7(const unsigned char* in);

// The current local time, to the second.
CivilTime Now();

// TO_CHAR(date, format). Throws OracleError 1821 for an unknown format element.
std::string FormatDate(const CivilTime& t, std::string_view format);
// TO_DATE(text, format). Throws the errors Oracle gives (1861, 1843, 1847, 1830, 1858 ...).
CivilTime ParseDate(std::string_view text, std::string_view format);

// The format a session uses when none is given (NLS_DATE_FORMAT's default).
inline constexpr const char* kDefaultDateFormat = "DD-MON-RR";

}  // namespace ociemu
