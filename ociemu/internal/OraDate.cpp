// Julian day conversions for the proleptic Gregorian calendar, and Oracle's date format models
// (English month and day names).
#include "ociemu/internal/OraDate.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

#include "ociemu/internal/OracleError.h"

namespace ociemu {
namespace {

const char* kMonths[] = {"JANUARY", "FEBRUARY", "MARCH",     "APRIL",   "MAY",      "JUNE",
                         "JULY",    "AUGUST",   "SEPTEMBER", "OCTOBER", "NOVEMBER", "DECEMBER"};
const char* kDays[] = {"SUNDAY",   "MONDAY", "TUESDAY", "WEDNESDAY",
                       "THURSDAY", "FRIDAY", "SATURDAY"};

// Days from the civil date to 1970-01-01 (Howard Hinnant's algorithm), for any year.
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& y, int& m, int& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long yy = static_cast<long long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yy + (m <= 2));
}

// Astronomical years count a year 0; Oracle's BC years do not.
long long Astronomical(int year) {
  return year < 0 ? year + 1 : year;
}
int FromAstronomical(long long year) {
  return static_cast<int>(year <= 0 ? year - 1 : year);
}

constexpr double kUnixEpochJulian = 2440587.5;

std::string Cased(const std::string& upper, const std::string& element) {
  // "MON" -> JAN, "Mon" -> Jan, "mon" -> jan, as the element is written.
  if (element.size() >= 2 && std::islower(static_cast<unsigned char>(element[1]))) {
    std::string out = upper;
    for (size_t i = 1; i < out.size(); ++i) {
      out[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(out[i])));
    }
    if (std::islower(static_cast<unsigned char>(element[0]))) {
      out[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(out[0])));
    }
    return out;
  }
  return upper;
}

// One element of a format model.
struct Element {
  std::string name;     // upper-cased element, or "" for literal text
  std::string written;  // as written (for the case of names)
  std::string literal;
};

const char* kElements[] = {"SYYYY", "YYYY", "RRRR", "SSSSS", "MONTH", "HH24", "HH12", "A.M.",
                           "P.M.",  "YYY",  "DDD",  "DAY",   "MON",   "YY",   "RR",   "MM",
                           "DD",    "DY",   "HH",   "MI",    "SS",    "AM",   "PM",   "FM",
                           "FX",    "Y",    "D",    "J",     "Q"};

std::vector<Element> ParseFormat(std::string_view format) {
  std::vector<Element> out;
  size_t i = 0;
  while (i < format.size()) {
    char c = format[i];
    if (c == '"') {
      size_t end = format.find('"', i + 1);
      if (end == std::string_view::npos) throw OracleError(1821);
      out.push_back(Element{"", "", std::string(format.substr(i + 1, end - i - 1))});
      i = end + 1;
      continue;
    }
    if (!std::isalnum(static_cast<unsigned char>(c))) {
      out.push_back(Element{"", "", std::string(1, c)});
      ++i;
      continue;
    }
    bool matched = false;
    for (const char* e : kElements) {
      std::string_view name(e);
      if (i + name.size() > format.size()) continue;
      bool same = true;
      for (size_t k = 0; k < name.size(); ++k) {
        if (std::toupper(static_cast<unsigned char>(format[i + k])) != name[k]) {
          same = false;
          break;
        }
      }
      if (same) {
        out.push_back(Element{std::string(name), std::string(format.substr(i, name.size())), ""});
        i += name.size();
        matched = true;
        break;
      }
    }
    if (!matched) throw OracleError(1821);
  }
  return out;
}

int DayOfWeek(const CivilTime& t) {
  long long days = DaysFromCivil(Astronomical(t.year), static_cast<unsigned>(t.month),
                                 static_cast<unsigned>(t.day));
  return static_cast<int>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday (4)
}

int DayOfYear(const CivilTime& t) {
  return static_cast<int>(DaysFromCivil(Astronomical(t.year), static_cast<unsigned>(t.month),
                                        static_cast<unsigned>(t.day)) -
                          DaysFromCivil(Astronomical(t.year), 1, 1) + 1);
}

std::string Pad(int value, int width, bool fill) {
  char buf[32];
  if (fill) {
    std::snprintf(buf, sizeof buf, "%0*d", width, value);
  } else {
    std::snprintf(buf, sizeof buf, "%d", value);
  }
  return buf;
}

}  // namespace

int DaysInMonth(int year, int month) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month == 2) {
    long long y = Astronomical(year);
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return leap ? 29 : 28;
  }
  return days[month - 1];
}

bool IsValid(const CivilTime& t) {
  return t.year >= -4712 && t.year <= 9999 && t.year != 0 && t.month >= 1 && t.month <= 12 &&
         t.day >= 1 && t.day <= DaysInMonth(t.year, t.month) && t.hour >= 0 && t.hour <= 23 &&
         t.minute >= 0 && t.minute <= 59 && t.second >= 0 && t.second <= 59;
}

double JulianDay(const CivilTime& t) {
  long long days = DaysFromCivil(Astronomical(t.year), static_cast<unsigned>(t.month),
                                 static_cast<unsigned>(t.day));
  return kUnixEpochJulian + static_cast<double>(days) +
         (t.hour * 3600 + t.minute * 60 + t.second) / 86400.0;
}

CivilTime FromJulianDay(double jd) {
  double sinceEpoch = (jd - kUnixEpochJulian) * 86400.0;
  long long seconds = std::llround(sinceEpoch);
  long long days = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
  long long rest = seconds - days * 86400;
  CivilTime t;
  int y, m, d;
  CivilFromDays(days, y, m, d);
  t.year = FromAstronomical(y);
  t.month = m;
  t.day = d;
  t.hour = static_cast<int>(rest / 3600);
  t.minute = static_cast<int>(rest / 60 % 60);
  t.second = static_cast<int>(rest % 60);
  return t;
}

void EncodeDate7(const CivilTime& t, unsigned char* out) {
  int year = t.year;
  // BC years are stored as their complement from 100 in both bytes.
  int century = year / 100, yy = year % 100;
  out[0] = static_cast<unsigned char>(century + 100);
  out[1] = static_cast<unsigned char>(yy + 100);
  out[2] = static_cast<unsigned char>(t.month);
  out[3] = static_cast<unsigned char>(t.day);
  out[4] = static_cast<unsigned char>(t.hour + 1);
  out[5] = static_cast<unsigned char>(t.minute + 1);
  out[6] = static_cast<unsigned char>(t.second + 1);
}

std::optional<CivilTime> DecodeDate7(const unsigned char* in) {
  CivilTime t;
  t.year = (in[0] - 100) * 100 + (in[1] - 100);
  t.month = in[2];
  t.day = in[3];
  t.hour = in[4] - 1;
  t.minute = in[5] - 1;
  t.second = in[6] - 1;
  if (!IsValid(t)) return std::nullopt;
  return t;
}

CivilTime Now() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return CivilTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                   local.tm_hour,        local.tm_min,     local.tm_sec};
}

std::string FormatDate(const CivilTime& t, std::string_view format) {
  std::string out;
  bool fill = true;
  const int absYear = t.year < 0 ? -t.year : t.year;
  for (const auto& e : ParseFormat(format)) {
    const std::string& n = e.name;
    if (n.empty()) {
      out += e.literal;
    } else if (n == "FM") {
      fill = !fill;
    } else if (n == "FX") {
    } else if (n == "SYYYY") {
      out += (t.year < 0 ? "-" : (fill ? " " : "")) + Pad(absYear, 4, fill);
    } else if (n == "YYYY" || n == "RRRR") {
      out += Pad(absYear, 4, fill);
    } else if (n == "YYY") {
      out += Pad(absYear % 1000, 3, fill);
    } else if (n == "YY" || n == "RR") {
      out += Pad(absYear % 100, 2, fill);
    } else if (n == "Y") {
      out += Pad(absYear % 10, 1, fill);
    } else if (n == "MM") {
      out += Pad(t.month, 2, fill);
    } else if (n == "MONTH") {
      std::string name = Cased(kMonths[t.month - 1], e.written);
      if (fill) name.resize(9, ' ');
      out += name;
    } else if (n == "MON") {
      out += Cased(std::string(kMonths[t.month - 1]).substr(0, 3), e.written);
    } else if (n == "DD") {
      out += Pad(t.day, 2, fill);
    } else if (n == "DDD") {
      out += Pad(DayOfYear(t), 3, fill);
    } else if (n == "D") {
      out += std::to_string(DayOfWeek(t) + 1);
    } else if (n == "DAY") {
      std::string name = Cased(kDays[DayOfWeek(t)], e.written);
      if (fill) name.resize(9, ' ');
      out += name;
    } else if (n == "DY") {
      out += Cased(std::string(kDays[DayOfWeek(t)]).substr(0, 3), e.written);
    } else if (n == "HH" || n == "HH12") {
      int h = t.hour % 12;
      out += Pad(h == 0 ? 12 : h, 2, fill);
    } else if (n == "HH24") {
      out += Pad(t.hour, 2, fill);
    } else if (n == "MI") {
      out += Pad(t.minute, 2, fill);
    } else if (n == "SS") {
      out += Pad(t.second, 2, fill);
    } else if (n == "SSSSS") {
      out += Pad(t.hour * 3600 + t.minute * 60 + t.second, 5, fill);
    } else if (n == "AM" || n == "PM") {
      out += Cased(t.hour < 12 ? "AM" : "PM", e.written);
    } else if (n == "A.M." || n == "P.M.") {
      out += Cased(t.hour < 12 ? "A.M." : "P.M.", e.written);
    } else if (n == "J") {
      out += std::to_string(static_cast<long long>(std::floor(JulianDay(t) + 0.5)));
    } else if (n == "Q") {
      out += std::to_string((t.month - 1) / 3 + 1);
    }
  }
  return out;
}

CivilTime ParseDate(std::string_view text, std::string_view format) {
  const CivilTime now = Now();
  CivilTime t{now.year, now.month, 1, 0, 0, 0};
  bool pm = false, twelveHour = false;
  int julian = -1;
  size_t i = 0;
  auto skipBlanks = [&] {
    while (i < text.size() && text[i] == ' ') ++i;
  };
  auto number = [&](int maxDigits, bool allowSign = false) {
    skipBlanks();
    if (i >= text.size()) throw OracleError(1840);
    bool negative = false;
    if (allowSign && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    int value = 0, digits = 0;
    while (i < text.size() && digits < maxDigits &&
           std::isdigit(static_cast<unsigned char>(text[i]))) {
      value = value * 10 + (text[i++] - '0');
      ++digits;
    }
    if (digits == 0) throw OracleError(1858);
    return std::pair<int, int>(negative ? -value : value, digits);
  };
  auto name = [&](const char* const* names, int count, bool abbreviated) {
    skipBlanks();
    for (int k = 0; k < count; ++k) {
      std::string full = names[k];
      for (const std::string& candidate : {full, full.substr(0, 3)}) {
        if (abbreviated && candidate.size() != 3) continue;
        if (i + candidate.size() > text.size()) continue;
        bool same = true;
        for (size_t c = 0; c < candidate.size(); ++c) {
          if (std::toupper(static_cast<unsigned char>(text[i + c])) != candidate[c]) {
            same = false;
            break;
          }
        }
        if (same) {
          i += candidate.size();
          return k;
        }
      }
    }
    return -1;
  };
  for (const auto& e : ParseFormat(format)) {
    const std::string& n = e.name;
    if (n.empty()) {
      // Punctuation in the format matches any punctuation (or none) in the text.
      for (char c : e.literal) {
        if (i < text.size() &&
            (text[i] == c || (!std::isalnum(static_cast<unsigned char>(text[i])) &&
                              !std::isalnum(static_cast<unsigned char>(c))))) {
          ++i;
        } else if (std::isalnum(static_cast<unsigned char>(c))) {
          throw OracleError(1861);
        }
      }
      continue;
    }
    if (n == "FM" || n == "FX") continue;
    if (i >= text.size()) {
      if (n == "AM" || n == "PM" || n == "A.M." || n == "P.M.") continue;
      throw OracleError(1840);
    }
    if (n == "YYYY" || n == "RRRR" || n == "SYYYY") {
      auto [v, digits] = number(4, n == "SYYYY");
      t.year = v;
      if (n == "RRRR" && digits <= 2) t.year = (v < 50 ? 2000 : 1900) + v;
      if (t.year == 0 || t.year < -4712 || t.year > 9999) throw OracleError(1841);
    } else if (n == "YYY" || n == "YY" || n == "Y") {
      auto [v, digits] = number(static_cast<int>(n.size()));
      int mod = n == "Y" ? 10 : (n == "YY" ? 100 : 1000);
      t.year = now.year - now.year % mod + v;
      (void)digits;
    } else if (n == "RR") {
      auto [v, digits] = number(4);
      if (digits <= 2) {
        // Oracle's RR: the century that puts the year nearest to now.
        int current = now.year % 100, century = now.year - current;
        if (current < 50) {
          t.year = v >= 50 ? century - 100 + v : century + v;
        } else {
          t.year = v < 50 ? century + 100 + v : century + v;
        }
      } else {
        t.year = v;
      }
    } else if (n == "MM") {
      t.month = number(2).first;
      if (t.month < 1 || t.month > 12) throw OracleError(1843);
    } else if (n == "MON" || n == "MONTH") {
      int m = name(kMonths, 12, false);
      if (m < 0) throw OracleError(1843);
      t.month = m + 1;
    } else if (n == "DD") {
      t.day = number(2).first;
      if (t.day < 1 || t.day > 31) throw OracleError(1847);
    } else if (n == "DDD") {
      int doy = number(3).first;
      t.month = 1;
      t.day = doy;
    } else if (n == "DY" || n == "DAY") {
      if (name(kDays, 7, n == "DY") < 0) throw OracleError(1846);
    } else if (n == "D") {
      number(1);
    } else if (n == "HH" || n == "HH12") {
      t.hour = number(2).first;
      twelveHour = true;
      if (t.hour < 1 || t.hour > 12) throw OracleError(1849);
    } else if (n == "HH24") {
      t.hour = number(2).first;
      if (t.hour > 23) throw OracleError(1850);
    } else if (n == "MI") {
      t.minute = number(2).first;
      if (t.minute > 59) throw OracleError(1851);
    } else if (n == "SS") {
      t.second = number(2).first;
      if (t.second > 59) throw OracleError(1852);
    } else if (n == "SSSSS") {
      int s = number(5).first;
      if (s > 86399) throw OracleError(1853);
      t.hour = s / 3600;
      t.minute = s / 60 % 60;
      t.second = s % 60;
    } else if (n == "AM" || n == "PM" || n == "A.M." || n == "P.M.") {
      skipBlanks();
      std::string rest;
      for (size_t k = i; k < text.size() && rest.size() < 4; ++k) {
        rest += static_cast<char>(std::toupper(static_cast<unsigned char>(text[k])));
      }
      if (rest.rfind("A.M.", 0) == 0 || rest.rfind("P.M.", 0) == 0) {
        pm = rest[0] == 'P';
        i += 4;
      } else if (rest.rfind("AM", 0) == 0 || rest.rfind("PM", 0) == 0) {
        pm = rest[0] == 'P';
        i += 2;
      } else {
        throw OracleError(1855);
      }
    } else if (n == "J") {
      julian = number(7).first;
    } else if (n == "Q") {
      number(1);
    }
  }
  skipBlanks();
  if (i < text.size()) throw OracleError(1830);
  if (twelveHour) t.hour = (t.hour % 12) + (pm ? 12 : 0);
  if (julian >= 0) {
    CivilTime d = FromJulianDay(julian - 0.5);
    t.year = d.year;
    t.month = d.month;
    t.day = d.day;
  }
  if (t.day > 31 || t.day > DaysInMonth(t.year, t.month)) {
    if (t.month == 1 && t.day > 31) {
      // A day of the year.
      CivilTime first{t.year, 1, 1, t.hour, t.minute, t.second};
      CivilTime d = FromJulianDay(JulianDay(first) + t.day - 1);
      if (d.year != t.year) throw OracleError(1848);
      return d;
    }
    // A day the month does not have (31 April, 29 February of a common year).
    throw OracleError(t.day > 31 ? 1847 : 1839);
  }
  if (!IsValid(t)) throw OracleError(1841);
  return t;
}

}  // namespace ociemu
