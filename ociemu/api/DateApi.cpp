// The OCIDate helpers: Oracle dates in the application's memory (the 8-byte OCIDate) compared,
// moved by days and months, and converted to and from text under format models.
#include <cstring>

#include "ociemu/internal/Api.h"
#include "ociemu/internal/OraDate.h"

using namespace ociemu;

namespace {

CivilTime Civil(const OCIDate& d) {
  CivilTime t;
  t.year = d.OCIDateYYYY;
  t.month = d.OCIDateMM;
  t.day = d.OCIDateDD;
  t.hour = d.OCIDateTime.OCITimeHH;
  t.minute = d.OCIDateTime.OCITimeMI;
  t.second = d.OCIDateTime.OCITimeSS;
  return t;
}

// A date the caller passes in: a null pointer or no valid date is ORA-01858 as for a bad date.
CivilTime Read(const OCIDate* d) {
  if (!d) throw OracleError(1009);
  CivilTime t = Civil(*d);
  if (!IsValid(t)) throw OracleError(1858);
  return t;
}

void Write(const CivilTime& t, OCIDate* out) {
  if (!out) throw OracleError(1009);
  out->OCIDateYYYY = static_cast<sb2>(t.year);
  out->OCIDateMM = static_cast<ub1>(t.month);
  out->OCIDateDD = static_cast<ub1>(t.day);
  out->OCIDateTime.OCITimeHH = static_cast<ub1>(t.hour);
  out->OCIDateTime.OCITimeMI = static_cast<ub1>(t.minute);
  out->OCIDateTime.OCITimeSS = static_cast<ub1>(t.second);
}

long DayNumber(const CivilTime& t) {
  CivilTime midnight = t;
  midnight.hour = midnight.minute = midnight.second = 0;
  return static_cast<long>(JulianDay(midnight) + 0.5);
}

CivilTime AddDays(const CivilTime& t, long days) {
  CivilTime shifted = FromJulianDay(JulianDay(t) + static_cast<double>(days));
  if (!IsValid(shifted)) throw OracleError(1841);
  return shifted;
}

// ADD_MONTHS: the last day of a month stays the last day; other days are cut to the month.
CivilTime AddMonths(const CivilTime& t, long months) {
  long index = static_cast<long>(t.year) * 12 + (t.month - 1) + months;
  CivilTime out = t;
  out.year = static_cast<int>(index >= 0 ? index / 12 : (index - 11) / 12);
  out.month = static_cast<int>(index - static_cast<long>(out.year) * 12) + 1;
  if (out.year == 0 || out.year < -4712 || out.year > 9999) throw OracleError(1841);
  const bool lastDay = t.day == DaysInMonth(t.year, t.month);
  const int days = DaysInMonth(out.year, out.month);
  out.day = lastDay || t.day > days ? days : t.day;
  return out;
}

std::string Upper(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

extern "C" {

sword OCIDateAssign(OCIError* err, const OCIDate* from, OCIDate* to) {
  return WithOptionalError("OCIDateAssign", err, [&](Diagnostics*) -> sword {
    if (!from || !to) throw OracleError(1009);
    std::memmove(to, from, sizeof *to);
    return OCI_SUCCESS;
  });
}

sword OCIDateToText(OCIError* err, const OCIDate* date, const oratext* fmt, ub1 fmt_length,
                    const oratext* /*lang_name*/, ub4 /*lang_length*/, ub4* buf_size,
                    oratext* buf) {
  return WithError("OCIDateToText", err, [&](Diagnostics*) -> sword {
    if (!buf_size || !buf) throw OracleError(1009);
    const std::string format = fmt && fmt_length ? TextArg(fmt, fmt_length) : "DD-MON-YY";
    const std::string formatted = FormatDate(Read(date), format);
    if (formatted.size() + 1 > *buf_size) throw OracleError(1877);
    *buf_size = static_cast<ub4>(CopyOut(formatted, buf, *buf_size));
    return OCI_SUCCESS;
  });
}

sword OCIDateFromText(OCIError* err, const oratext* date_str, ub4 d_str_length, const oratext* fmt,
                      ub1 fmt_length, const oratext* /*lang_name*/, ub4 /*lang_length*/,
                      OCIDate* date) {
  return WithError("OCIDateFromText", err, [&](Diagnostics*) -> sword {
    if (!date_str || !date) throw OracleError(1009);
    const std::string format = fmt && fmt_length ? TextArg(fmt, fmt_length) : "DD-MON-YY";
    Write(ParseDate(TextArg(date_str, d_str_length), format), date);
    return OCI_SUCCESS;
  });
}

sword OCIDateCompare(OCIError* err, const OCIDate* date1, const OCIDate* date2, sword* result) {
  return WithError("OCIDateCompare", err, [&](Diagnostics*) -> sword {
    if (!result) throw OracleError(1009);
    const double a = JulianDay(Read(date1));
    const double b = JulianDay(Read(date2));
    *result = a < b ? -1 : (a > b ? 1 : 0);
    return OCI_SUCCESS;
  });
}

sword OCIDateAddMonths(OCIError* err, const OCIDate* date, sb4 num_months, OCIDate* result) {
  return WithError("OCIDateAddMonths", err, [&](Diagnostics*) -> sword {
    Write(AddMonths(Read(date), num_months), result);
    return OCI_SUCCESS;
  });
}

sword OCIDateAddDays(OCIError* err, const OCIDate* date, sb4 num_days, OCIDate* result) {
  return WithError("OCIDateAddDays", err, [&](Diagnostics*) -> sword {
    Write(AddDays(Read(date), num_days), result);
    return OCI_SUCCESS;
  });
}

sword OCIDateLastDay(OCIError* err, const OCIDate* date, OCIDate* last_day) {
  return WithError("OCIDateLastDay", err, [&](Diagnostics*) -> sword {
    CivilTime t = Read(date);
    t.day = DaysInMonth(t.year, t.month);
    Write(t, last_day);
    return OCI_SUCCESS;
  });
}

// Whole days from date2 to date1; the times of day do not count.
sword OCIDateDaysBetween(OCIError* err, const OCIDate* date1, const OCIDate* date2, sb4* num_days) {
  return WithError("OCIDateDaysBetween", err, [&](Diagnostics*) -> sword {
    if (!num_days) throw OracleError(1009);
    *num_days = static_cast<sb4>(DayNumber(Read(date1)) - DayNumber(Read(date2)));
    return OCI_SUCCESS;
  });
}

sword OCIDateZoneToZone(OCIError* err, const OCIDate* /*date1*/, const oratext* /*zon1*/,
                        ub4 /*zon1_length*/, const oratext* /*zon2*/, ub4 /*zon2_length*/,
                        OCIDate* /*date2*/) {
  // Time zones are not emulated.
  return WithError("OCIDateZoneToZone", err,
                   [](Diagnostics*) -> sword { throw OracleError(3001); });
}

// NEXT_DAY: the first later date that falls on the named day (full or three-letter name).
sword OCIDateNextDay(OCIError* err, const OCIDate* date, const oratext* day_p, ub4 day_length,
                     OCIDate* next_day) {
  return WithError("OCIDateNextDay", err, [&](Diagnostics*) -> sword {
    static const char* kDays[] = {"MONDAY", "TUESDAY",  "WEDNESDAY", "THURSDAY",
                                  "FRIDAY", "SATURDAY", "SUNDAY"};
    if (!day_p) throw OracleError(1009);
    const std::string name = Upper(TextArg(day_p, day_length));
    int wanted = -1;
    for (int i = 0; i < 7; ++i) {
      const std::string full = kDays[i];
      if (name == full || (name.size() == 3 && full.compare(0, 3, name) == 0)) wanted = i;
    }
    if (wanted < 0) throw OracleError(1846);
    CivilTime t = Read(date);
    // Julian day numbers count from a Monday (day 0 of the period fell on a Monday).
    const int weekday = static_cast<int>(DayNumber(t) % 7);
    int ahead = (wanted - weekday + 7) % 7;
    if (ahead == 0) ahead = 7;
    Write(AddDays(t, ahead), next_day);
    return OCI_SUCCESS;
  });
}

sword OCIDateCheck(OCIError* err, const OCIDate* date, uword* valid) {
  return WithError("OCIDateCheck", err, [&](Diagnostics*) -> sword {
    if (!date || !valid) throw OracleError(1009);
    const CivilTime t = Civil(*date);
    uword bits = 0;
    if (t.year == 0) {
      bits |= OCI_DATE_YEAR_ZERO;
    } else if (t.year < -4712) {
      bits |= OCI_DATE_YEAR_BELOW_VALID;
    } else if (t.year > 9999) {
      bits |= OCI_DATE_INVALID_YEAR;
    }
    if (t.month < 1) {
      bits |= OCI_DATE_MONTH_BELOW_VALID;
    } else if (t.month > 12) {
      bits |= OCI_DATE_INVALID_MONTH;
    } else if (t.day < 1) {
      bits |= OCI_DATE_DAY_BELOW_VALID;
    } else if (t.day > DaysInMonth(t.year == 0 ? 1 : t.year, t.month)) {
      bits |= OCI_DATE_INVALID_DAY;
    }
    if (t.hour > 23) bits |= OCI_DATE_INVALID_HOUR;
    if (t.minute > 59) bits |= OCI_DATE_INVALID_MINUTE;
    if (t.second > 59) bits |= OCI_DATE_INVALID_SECOND;
    *valid = bits;
    return OCI_SUCCESS;
  });
}

sword OCIDateSysDate(OCIError* err, OCIDate* sys_date) {
  return WithError("OCIDateSysDate", err, [&](Diagnostics*) -> sword {
    Write(Now(), sys_date);
    return OCI_SUCCESS;
  });
}

}  // extern "C"
