// Civil-calendar arithmetic for the day-count date values (proleptic Gregorian calendar).
#include "oracle/core/DateTime.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace oracle {
namespace {

// Days from 0001-01-01 to 1899-12-30.
constexpr long long kOriginDayNumber = 693593;

long long dayNumber(int year, int month, int day) {
  // Days since 0001-01-01 (day number 0 is that date).
  const long long y = year - 1;
  long long days = y * 365 + y / 4 - y / 100 + y / 400;
  for (int m = 1; m < month; ++m) days += daysInMonth(year, m);
  return days + day - 1;
}

void civilFromDayNumber(long long n, int& year, int& month, int& day) {
  // Walk 400-, 100-, 4- and 1-year cycles, as the framework's DecodeDate does.
  constexpr long long d400 = 146097, d100 = 36524, d4 = 1461;
  long long y = 1;
  y += 400 * (n / d400);
  n %= d400;
  long long i = n / d100;
  if (i == 4) i = 3;
  y += 100 * i;
  n -= i * d100;
  y += 4 * (n / d4);
  n %= d4;
  i = n / 365;
  if (i == 4) i = 3;
  y += i;
  n -= i * 365;
  year = static_cast<int>(y);
  month = 1;
  while (n >= daysInMonth(year, month)) {
    n -= daysInMonth(year, month);
    ++month;
  }
  day = static_cast<int>(n) + 1;
}

}  // namespace

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

bool isValidDate(int year, int month, int day) {
  return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
         day <= daysInMonth(year, month);
}

bool isValidTime(int hour, int minute, int second, int millisecond) {
  return hour >= 0 && hour < 24 && minute >= 0 && minute < 60 && second >= 0 && second < 60 &&
         millisecond >= 0 && millisecond < 1000;
}

std::optional<double> encodeDate(int year, int month, int day) {
  if (!isValidDate(year, month, day)) return std::nullopt;
  return static_cast<double>(dayNumber(year, month, day) - kOriginDayNumber);
}

std::optional<double> encodeTime(int hour, int minute, int second, int millisecond) {
  if (!isValidTime(hour, minute, second, millisecond)) return std::nullopt;
  const long long ms = ((hour * 60LL + minute) * 60 + second) * 1000 + millisecond;
  return static_cast<double>(ms) / kMillisecondsPerDay;
}

std::optional<double> encodeDateTime(const CivilDateTime& v) {
  const auto date = encodeDate(v.year, v.month, v.day);
  const auto time = encodeTime(v.hour, v.minute, v.second, v.millisecond);
  if (!date || !time) return std::nullopt;
  // Before the origin the fraction still counts forward into the day, so it is subtracted.
  return *date >= 0 ? *date + *time : *date - *time;
}

CivilDateTime decodeDateTime(double value) {
  double wholeDays = std::trunc(value);
  long long ms = std::llround(std::fabs(value - wholeDays) * kMillisecondsPerDay);
  if (ms >= static_cast<long long>(kMillisecondsPerDay)) {
    ms -= static_cast<long long>(kMillisecondsPerDay);
    wholeDays += value >= 0 ? 1 : -1;
  }
  CivilDateTime out;
  civilFromDayNumber(static_cast<long long>(wholeDays) + kOriginDayNumber, out.year, out.month,
                     out.day);
  out.millisecond = static_cast<int>(ms % 1000);
  ms /= 1000;
  out.second = static_cast<int>(ms % 60);
  ms /= 60;
  out.minute = static_cast<int>(ms % 60);
  out.hour = static_cast<int>(ms / 60);
  return out;
}

std::string formatIsoDateTime(double value) {
  const CivilDateTime c = decodeDateTime(value);
  char buffer[40];
  if (c.hour == 0 && c.minute == 0 && c.second == 0 && c.millisecond == 0)
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", c.year, c.month, c.day);
  else
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", c.year, c.month, c.day,
                  c.hour, c.minute, c.second);
  return buffer;
}

double now() {
  const auto point = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(point);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &seconds);  // the C run-time's thread-safe form, arguments swapped
#else
  localtime_r(&seconds, &local);
#endif
  const int ms = static_cast<int>(
      std::chrono::duration_cast<std::chrono::milliseconds>(point.time_since_epoch()).count() %
      1000);
  return encodeDateTime({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                         local.tm_min, local.tm_sec, ms})
      .value_or(0.0);
}

}  // namespace oracle
