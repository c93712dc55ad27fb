// Date-time values as the layer counts them: days since 1899-12-30 as a double, the fraction
// being the time of day (negative values count back, with the fraction still the time of day).
#pragma once

#include <optional>
#include <string>

namespace oracle {

struct CivilDateTime {
  int year = 1899;
  int month = 12;
  int day = 30;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
  bool operator==(const CivilDateTime&) const = default;
};

constexpr double kMillisecondsPerDay = 86400000.0;

bool isLeapYear(int year);
int daysInMonth(int year, int month);
bool isValidDate(int year, int month, int day);
bool isValidTime(int hour, int minute, int second, int millisecond);

// nullopt for a date or time out of range (year 1..9999).
std::optional<double> encodeDate(int year, int month, int day);
std::optional<double> encodeTime(int hour, int minute, int second, int millisecond);
std::optional<double> encodeDateTime(const CivilDateTime& value);
// Rounds to the nearest millisecond.
CivilDateTime decodeDateTime(double value);

// "YYYY-MM-DD HH:MM:SS" (time left out when it is midnight); for diagnostics and tests.
std::string formatIsoDateTime(double value);

// The current local date and time.
double now();

}  // namespace oracle
