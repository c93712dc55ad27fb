// Function bodies. Dates arrive as Julian day numbers (or, for rows written by other means, as
// text in the ISO or the session's format); an empty text is Oracle's NULL throughout.
#include "ociemu/internal/SqlFunctions.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "ociemu/internal/Catalogue.h"
#include "ociemu/internal/ColumnType.h"
#include "ociemu/internal/Connection.h"
#include "ociemu/internal/Dialect.h"
#include "ociemu/internal/OraDate.h"
#include "ociemu/internal/OraNumber.h"
#include "ociemu/internal/OracleError.h"

namespace ociemu {
namespace {

Connection& Conn(sqlite3_context* ctx) {
  return *static_cast<Connection*>(sqlite3_user_data(ctx));
}

// The error's finished text travels through SQLite's message to the statement's error.
void Fail(sqlite3_context* ctx, const OracleError& e) {
  sqlite3_result_error(ctx, e.what(), -1);
}
void Fail(sqlite3_context* ctx, int code) {
  Fail(ctx, OracleError(code));
}

bool IsNull(sqlite3_value* v) {
  int t = sqlite3_value_type(v);
  return t == SQLITE_NULL || (t == SQLITE_TEXT && sqlite3_value_bytes(v) == 0);
}

std::string Text(sqlite3_value* v) {
  if (sqlite3_value_type(v) == SQLITE_INTEGER) return std::to_string(sqlite3_value_int64(v));
  if (sqlite3_value_type(v) == SQLITE_FLOAT)
    return NumberToText(Normalize(sqlite3_value_double(v)));
  const unsigned char* p = sqlite3_value_text(v);
  return p ? std::string(reinterpret_cast<const char*>(p),
                         static_cast<size_t>(sqlite3_value_bytes(v)))
           : "";
}

void ResultText(sqlite3_context* ctx, const std::string& s) {
  if (s.empty()) {
    sqlite3_result_null(ctx);
  } else {
    sqlite3_result_text(ctx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
  }
}

void ResultNumber(sqlite3_context* ctx, const Number& n) {
  if (auto integer = n.ToInteger()) {
    sqlite3_result_int64(ctx, *integer);
  } else {
    sqlite3_result_double(ctx, n.AsDouble());
  }
}

// A numeric argument; throws OracleError 1722 for text that is no number.
Number Num(sqlite3_value* v) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
      return Number::FromInteger(sqlite3_value_int64(v));
    case SQLITE_FLOAT:
      return Normalize(sqlite3_value_double(v));
    default: {
      auto n = ParseNumber(Text(v));
      if (!n) throw OracleError(1722);
      return *n;
    }
  }
}

std::string DateFormatOf(Connection& c) {
  auto it = c.sessionSettings.find("nls_date_format");
  return it == c.sessionSettings.end() ? kDefaultDateFormat : it->second;
}

CivilTime DateArg(sqlite3_context* ctx, sqlite3_value* v) {
  int t = sqlite3_value_type(v);
  if (t == SQLITE_INTEGER || t == SQLITE_FLOAT) return FromJulianDay(sqlite3_value_double(v));
  std::string s = Text(v);
  try {
    return ParseDate(s, "YYYY-MM-DD HH24:MI:SS");
  } catch (const OracleError&) {
    return ParseDate(s, DateFormatOf(Conn(ctx)));
  }
}

// Runs a body and turns OracleError into the function's failure.
template <class F>
void Guard(sqlite3_context* ctx, F&& f) {
  try {
    f();
  } catch (const OracleError& e) {
    Fail(ctx, e);
  } catch (const std::exception& e) {
    sqlite3_result_error(ctx, e.what(), -1);
  }
}

// Characters of UTF-8 text, each invalid byte counting as one, as a multi-byte database counts.
std::vector<std::pair<size_t, size_t>> Characters(const std::string& s) {
  std::vector<std::pair<size_t, size_t>> out;
  size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
    if (i + len > s.size()) len = 1;
    for (size_t k = 1; k < len; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) {
        len = 1;
        break;
      }
    }
    out.emplace_back(i, len);
    i += len;
  }
  return out;
}

bool SingleByte(Connection& c) {
  return c.characterSet != "AL32UTF8" && c.characterSet != "UTF8";
}

void Sysdate(sqlite3_context* ctx, int, sqlite3_value**) {
  sqlite3_result_double(ctx, JulianDay(Now()));
}

void User(sqlite3_context* ctx, int, sqlite3_value**) {
  ResultText(ctx, Conn(ctx).currentUser);
}

void Chr(sqlite3_context* ctx, int, sqlite3_value** argv) {
  Guard(ctx, [&] {
    if (IsNull(argv[0])) return sqlite3_result_null(ctx);
    Number n = Num(argv[0]);
    uint64_t v = static_cast<uint64_t>(std::llround(n.AsDouble()));
    std::string bytes;
    if (SingleByte(Conn(ctx))) {
      bytes = std::string(1, static_cast<char>(v % 256));
    } else {
      // The character's bytes in the database character set, most significant first.
      do {
        bytes.insert(bytes.begin(), static_cast<char>(v & 0xFF));
        v >>= 8;
      } while (v);
    }
    sqlite3_result_text(ctx, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
  });
}

void Length(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  if (sqlite3_value_type(argv[0]) == SQLITE_BLOB) {
    return sqlite3_result_int(ctx, sqlite3_value_bytes(argv[0]));
  }
  std::string s = Text(argv[0]);
  sqlite3_result_int64(
      ctx, static_cast<int64_t>(SingleByte(Conn(ctx)) ? s.size() : Characters(s).size()));
}

void LengthB(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  sqlite3_result_int64(ctx, static_cast<int64_t>(Text(argv[0]).size()));
}

void Substr(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  Guard(ctx, [&] {
    for (int i = 0; i < argc; ++i) {
      if (IsNull(argv[i])) return sqlite3_result_null(ctx);
    }
    std::string s = Text(argv[0]);
    auto chars = Characters(s);
    const int64_t count = static_cast<int64_t>(chars.size());
    int64_t pos = static_cast<int64_t>(std::trunc(Num(argv[1]).AsDouble()));
    if (pos == 0) pos = 1;
    if (pos < 0) pos = count + pos + 1;
    if (pos < 1 || pos > count) return sqlite3_result_null(ctx);
    int64_t len = count - pos + 1;
    if (argc > 2) {
      len = static_cast<int64_t>(std::trunc(Num(argv[2]).AsDouble()));
      if (len < 1) return sqlite3_result_null(ctx);
    }
    int64_t last = std::min(count, pos + len - 1);
    size_t from = chars[static_cast<size_t>(pos - 1)].first;
    size_t to =
        chars[static_cast<size_t>(last - 1)].first + chars[static_cast<size_t>(last - 1)].second;
    ResultText(ctx, s.substr(from, to - from));
  });
}

void Instr(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  Guard(ctx, [&] {
    for (int i = 0; i < argc; ++i) {
      if (IsNull(argv[i])) return sqlite3_result_null(ctx);
    }
    std::string s = Text(argv[0]), sub = Text(argv[1]);
    int64_t pos = argc > 2 ? Num(argv[2]).Truncated(0).ToInteger().value_or(0) : 1;
    int64_t occurrence = argc > 3 ? Num(argv[3]).Truncated(0).ToInteger().value_or(0) : 1;
    if (pos == 0 || occurrence < 1) return sqlite3_result_int(ctx, 0);
    auto chars = Characters(s);
    std::vector<int64_t> hits;
    for (size_t i = 0; i < chars.size(); ++i) {
      if (s.compare(chars[i].first, sub.size(), sub) == 0)
        hits.push_back(static_cast<int64_t>(i) + 1);
    }
    int64_t found = 0;
    if (pos > 0) {
      for (int64_t h : hits) {
        if (h >= pos && --occurrence == 0) {
          found = h;
          break;
        }
      }
    } else {
      const int64_t start = static_cast<int64_t>(chars.size()) + pos + 1;
      for (auto it = hits.rbegin(); it != hits.rend(); ++it) {
        if (*it <= start && --occurrence == 0) {
          found = *it;
          break;
        }
      }
    }
    sqlite3_result_int64(ctx, found);
  });
}

void Pad(sqlite3_context* ctx, int argc, sqlite3_value** argv, bool left) {
  Guard(ctx, [&] {
    for (int i = 0; i < argc; ++i) {
      if (IsNull(argv[i])) return sqlite3_result_null(ctx);
    }
    std::string s = Text(argv[0]);
    int64_t width = static_cast<int64_t>(std::trunc(Num(argv[1]).AsDouble()));
    std::string pad = argc > 2 ? Text(argv[2]) : " ";
    if (width < 1) return sqlite3_result_null(ctx);
    auto chars = Characters(s);
    if (static_cast<int64_t>(chars.size()) >= width) {
      auto& last = chars[static_cast<size_t>(width - 1)];
      return ResultText(ctx, s.substr(0, last.first + last.second));
    }
    std::string fill;
    auto padChars = Characters(pad);
    for (int64_t i = 0, n = width - static_cast<int64_t>(chars.size()); i < n; ++i) {
      auto& c = padChars[static_cast<size_t>(i) % padChars.size()];
      fill += pad.substr(c.first, c.second);
    }
    ResultText(ctx, left ? fill + s : s + fill);
  });
}
void Lpad(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  Pad(ctx, argc, argv, true);
}
void Rpad(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  Pad(ctx, argc, argv, false);
}

void Initcap(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  std::string s = Text(argv[0]);
  bool start = true;
  for (auto& c : s) {
    unsigned char u = static_cast<unsigned char>(c);
    if (std::isalnum(u)) {
      c = static_cast<char>(start ? std::toupper(u) : std::tolower(u));
      start = false;
    } else {
      start = true;
    }
  }
  ResultText(ctx, s);
}

void Replace(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  std::string s = Text(argv[0]);
  if (IsNull(argv[1])) return ResultText(ctx, s);
  std::string from = Text(argv[1]);
  std::string to = argc > 2 && !IsNull(argv[2]) ? Text(argv[2]) : "";
  std::string out;
  for (size_t i = 0; i < s.size();) {
    if (s.compare(i, from.size(), from) == 0) {
      out += to;
      i += from.size();
    } else {
      out += s[i++];
    }
  }
  ResultText(ctx, out);
}

void Translate(sqlite3_context* ctx, int, sqlite3_value** argv) {
  for (int i = 0; i < 3; ++i) {
    if (IsNull(argv[i])) return sqlite3_result_null(ctx);
  }
  std::string s = Text(argv[0]), from = Text(argv[1]), to = Text(argv[2]), out;
  for (char c : s) {
    size_t p = from.find(c);
    if (p == std::string::npos) {
      out += c;
    } else if (p < to.size()) {
      out += to[p];
    }
  }
  ResultText(ctx, out);
}

void Concat(sqlite3_context* ctx, int, sqlite3_value** argv) {
  std::string a = IsNull(argv[0]) ? "" : Text(argv[0]);
  std::string b = IsNull(argv[1]) ? "" : Text(argv[1]);
  ResultText(ctx, a + b);
}

// a || b || ...: NULL only when every part is NULL; numbers as TO_CHAR writes them.
void ConcatOperator(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  Guard(ctx, [&] {
    std::string out;
    bool any = false;
    for (int i = 0; i < argc; ++i) {
      if (IsNull(argv[i])) continue;
      any = true;
      if (sqlite3_value_type(argv[i]) == SQLITE_BLOB) {
        out.append(static_cast<const char*>(sqlite3_value_blob(argv[i])),
                   static_cast<size_t>(sqlite3_value_bytes(argv[i])));
      } else {
        out += Text(argv[i]);
      }
    }
    if (!any) return sqlite3_result_null(ctx);
    ResultText(ctx, out);
  });
}

void Nvl(sqlite3_context* ctx, int, sqlite3_value** argv) {
  sqlite3_result_value(ctx, IsNull(argv[0]) ? argv[1] : argv[0]);
}

void Nvl2(sqlite3_context* ctx, int, sqlite3_value** argv) {
  sqlite3_result_value(ctx, IsNull(argv[0]) ? argv[2] : argv[1]);
}

bool SameValue(sqlite3_value* a, sqlite3_value* b) {
  // DECODE treats two NULLs as equal.
  if (IsNull(a) || IsNull(b)) return IsNull(a) && IsNull(b);
  int ta = sqlite3_value_type(a), tb = sqlite3_value_type(b);
  bool na = ta == SQLITE_INTEGER || ta == SQLITE_FLOAT;
  bool nb = tb == SQLITE_INTEGER || tb == SQLITE_FLOAT;
  if (na && nb) return sqlite3_value_double(a) == sqlite3_value_double(b);
  if (na != nb) {
    try {
      auto n = ParseNumber(Text(na ? b : a));
      return n && n->AsDouble() == sqlite3_value_double(na ? a : b);
    } catch (const OracleError&) {
      return false;
    }
  }
  return Text(a) == Text(b);
}

void Decode(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (argc < 3) return Fail(ctx, 938);
  int i = 1;
  for (; i + 1 < argc; i += 2) {
    if (SameValue(argv[0], argv[i])) return sqlite3_result_value(ctx, argv[i + 1]);
  }
  if (i < argc) return sqlite3_result_value(ctx, argv[i]);
  sqlite3_result_null(ctx);
}

void Extreme(sqlite3_context* ctx, int argc, sqlite3_value** argv, bool greatest) {
  // GREATEST and LEAST compare as the first argument's type; any NULL gives NULL.
  for (int i = 0; i < argc; ++i) {
    if (IsNull(argv[i])) return sqlite3_result_null(ctx);
  }
  int best = 0;
  bool numeric =
      sqlite3_value_type(argv[0]) == SQLITE_INTEGER || sqlite3_value_type(argv[0]) == SQLITE_FLOAT;
  for (int i = 1; i < argc; ++i) {
    bool better;
    if (numeric) {
      double a = sqlite3_value_double(argv[i]), b = sqlite3_value_double(argv[best]);
      better = greatest ? a > b : a < b;
    } else {
      int c = Text(argv[i]).compare(Text(argv[best]));
      better = greatest ? c > 0 : c < 0;
    }
    if (better) best = i;
  }
  sqlite3_result_value(ctx, argv[best]);
}
void Greatest(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  Extreme(ctx, argc, argv, true);
}
void Least(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  Extreme(ctx, argc, argv, false);
}

void ToChar(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  Guard(ctx, [&] {
    if (IsNull(argv[0])) return sqlite3_result_null(ctx);
    int t = sqlite3_value_type(argv[0]);
    if (t == SQLITE_BLOB) {
      static const char* hex = "0123456789ABCDEF";
      const unsigned char* p = static_cast<const unsigned char*>(sqlite3_value_blob(argv[0]));
      std::string out;
      for (int i = 0; i < sqlite3_value_bytes(argv[0]); ++i) {
        out += hex[p[i] >> 4];
        out += hex[p[i] & 15];
      }
      return ResultText(ctx, out);
    }
    if (t == SQLITE_TEXT && argc < 2) return sqlite3_result_value(ctx, argv[0]);
    Number n = Num(argv[0]);
    if (argc > 1 && !IsNull(argv[1])) return ResultText(ctx, FormatNumber(n, Text(argv[1])));
    ResultText(ctx, NumberToText(n));
  });
}

void ToCharDate(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  Guard(ctx, [&] {
    if (IsNull(argv[0])) return sqlite3_result_null(ctx);
    std::string format = argc > 1 && !IsNull(argv[1]) ? Text(argv[1]) : DateFormatOf(Conn(ctx));
    ResultText(ctx, FormatDate(DateArg(ctx, argv[0]), format));
  });
}

void ToDate(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  Guard(ctx, [&] {
    if (IsNull(argv[0])) return sqlite3_result_null(ctx);
    int t = sqlite3_value_type(argv[0]);
    if ((t == SQLITE_INTEGER || t == SQLITE_FLOAT) && argc < 2) {
      return sqlite3_result_value(ctx, argv[0]);
    }
    std::string format = argc > 1 && !IsNull(argv[1]) ? Text(argv[1]) : DateFormatOf(Conn(ctx));
    sqlite3_result_double(ctx, JulianDay(ParseDate(Text(argv[0]), format)));
  });
}

void ToNumber(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  Guard(ctx, [&] {
    if (IsNull(argv[0])) return sqlite3_result_null(ctx);
    std::string s = Text(argv[0]);
    if (argc > 1) {
      // Group separators and currency signs of a format are not part of the value.
      std::string plain;
      for (char c : s) {
        if (c != ',' && c != '$') plain += c;
      }
      s = plain;
    }
    auto n = ParseNumber(s);
    if (!n) throw OracleError(1722);
    ResultNumber(ctx, *n);
  });
}

void TruncNumber(sqlite3_context* ctx, int argc, sqlite3_value** argv, bool round) {
  Guard(ctx, [&] {
    if (IsNull(argv[0]) || (argc > 1 && IsNull(argv[1]))) return sqlite3_result_null(ctx);
    Number n = Num(argv[0]);
    int64_t digits = argc > 1 ? static_cast<int64_t>(std::trunc(Num(argv[1]).AsDouble())) : 0;
    digits = std::clamp<int64_t>(digits, -200, 200);
    const int scale = static_cast<int>(digits);
    ResultNumber(ctx, round ? n.Rounded(scale) : n.Truncated(scale));
  });
}
void Trunc(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  TruncNumber(ctx, argc, argv, false);
}
void Round(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  TruncNumber(ctx, argc, argv, true);
}

CivilTime TruncateDate(CivilTime t, const std::string& format) {
  std::string f;
  for (char c : format) f += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (f == "YYYY" || f == "YEAR" || f == "YY" || f == "Y" || f == "RRRR" || f == "RR" ||
      f == "SYYYY") {
    return CivilTime{t.year, 1, 1, 0, 0, 0};
  }
  if (f == "MM" || f == "MON" || f == "MONTH") return CivilTime{t.year, t.month, 1, 0, 0, 0};
  if (f == "HH" || f == "HH24" || f == "HH12")
    return CivilTime{t.year, t.month, t.day, t.hour, 0, 0};
  if (f == "MI") return CivilTime{t.year, t.month, t.day, t.hour, t.minute, 0};
  if (f == "DD" || f == "DDD" || f == "J") return CivilTime{t.year, t.month, t.day, 0, 0, 0};
  throw OracleError(1898);
}

void TruncDate(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  Guard(ctx, [&] {
    if (IsNull(argv[0])) return sqlite3_result_null(ctx);
    std::string format = argc > 1 ? Text(argv[1]) : "DD";
    sqlite3_result_double(ctx, JulianDay(TruncateDate(DateArg(ctx, argv[0]), format)));
  });
}

void RoundDate(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  Guard(ctx, [&] {
    if (IsNull(argv[0])) return sqlite3_result_null(ctx);
    std::string format = argc > 1 ? Text(argv[1]) : "DD";
    CivilTime t = DateArg(ctx, argv[0]);
    if (format == "DD" || format == "dd") {
      double jd = JulianDay(CivilTime{t.year, t.month, t.day, 0, 0, 0});
      if (t.hour >= 12) jd += 1;
      return sqlite3_result_double(ctx, jd);
    }
    sqlite3_result_double(ctx, JulianDay(TruncateDate(t, format)));
  });
}

CivilTime AddMonthsTo(CivilTime t, int64_t months) {
  const bool lastDay = t.day == DaysInMonth(t.year, t.month);
  int64_t index = static_cast<int64_t>(t.year) * 12 + (t.month - 1) + months;
  t.year = static_cast<int>(index / 12);
  t.month = static_cast<int>(index % 12) + 1;
  int last = DaysInMonth(t.year, t.month);
  if (lastDay || t.day > last) t.day = last;
  if (!IsValid(t)) throw OracleError(1841);
  return t;
}

void AddMonths(sqlite3_context* ctx, int, sqlite3_value** argv) {
  Guard(ctx, [&] {
    if (IsNull(argv[0]) || IsNull(argv[1])) return sqlite3_result_null(ctx);
    int64_t months = static_cast<int64_t>(std::trunc(Num(argv[1]).AsDouble()));
    sqlite3_result_double(ctx, JulianDay(AddMonthsTo(DateArg(ctx, argv[0]), months)));
  });
}

void LastDay(sqlite3_context* ctx, int, sqlite3_value** argv) {
  Guard(ctx, [&] {
    if (IsNull(argv[0])) return sqlite3_result_null(ctx);
    CivilTime t = DateArg(ctx, argv[0]);
    t.day = DaysInMonth(t.year, t.month);
    sqlite3_result_double(ctx, JulianDay(t));
  });
}

void MonthsBetween(sqlite3_context* ctx, int, sqlite3_value** argv) {
  Guard(ctx, [&] {
    if (IsNull(argv[0]) || IsNull(argv[1])) return sqlite3_result_null(ctx);
    CivilTime a = DateArg(ctx, argv[0]), b = DateArg(ctx, argv[1]);
    double months = (a.year - b.year) * 12.0 + (a.month - b.month);
    bool bothLast = a.day == DaysInMonth(a.year, a.month) && b.day == DaysInMonth(b.year, b.month);
    if (a.day != b.day && !bothLast) {
      double sa = a.day + (a.hour * 3600 + a.minute * 60 + a.second) / 86400.0;
      double sb = b.day + (b.hour * 3600 + b.minute * 60 + b.second) / 86400.0;
      months += (sa - sb) / 31.0;
    }
    ResultNumber(ctx, Normalize(months));
  });
}

template <double (*F)(double)>
void Math(sqlite3_context* ctx, int, sqlite3_value** argv) {
  Guard(ctx, [&] {
    if (IsNull(argv[0])) return sqlite3_result_null(ctx);
    ResultNumber(ctx, Normalize(F(Num(argv[0]).AsDouble())));
  });
}
double Ceil(double v) {
  return std::ceil(v);
}
double Floor(double v) {
  return std::floor(v);
}
double Sqrt(double v) {
  return std::sqrt(v);
}
double Exp(double v) {
  return std::exp(v);
}
double Ln(double v) {
  return std::log(v);
}
double Sign(double v) {
  return v > 0 ? 1 : (v < 0 ? -1 : 0);
}

void Mod(sqlite3_context* ctx, int, sqlite3_value** argv) {
  Guard(ctx, [&] {
    if (IsNull(argv[0]) || IsNull(argv[1])) return sqlite3_result_null(ctx);
    Number a = Num(argv[0]), b = Num(argv[1]);
    auto ia = a.ToInteger(), ib = b.ToInteger();
    if (ia && ib) {
      if (*ib == 0 || *ib == -1) return sqlite3_result_int64(ctx, *ib == 0 ? *ia : 0);
      return sqlite3_result_int64(ctx, *ia % *ib);
    }
    double d = b.AsDouble();
    ResultNumber(ctx, Normalize(d == 0 ? a.AsDouble() : std::fmod(a.AsDouble(), d)));
  });
}

void Power(sqlite3_context* ctx, int, sqlite3_value** argv) {
  Guard(ctx, [&] {
    if (IsNull(argv[0]) || IsNull(argv[1])) return sqlite3_result_null(ctx);
    ResultNumber(ctx, Normalize(std::pow(Num(argv[0]).AsDouble(), Num(argv[1]).AsDouble())));
  });
}

void Ascii(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  std::string s = Text(argv[0]);
  auto chars = Characters(s);
  int64_t v = 0;
  for (size_t k = 0; k < chars[0].second; ++k) v = (v << 8) | static_cast<unsigned char>(s[k]);
  sqlite3_result_int64(ctx, v);
}

void SysContext(sqlite3_context* ctx, int, sqlite3_value** argv) {
  std::string ns = Text(argv[0]), key = Text(argv[1]);
  for (auto& c : ns) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (auto& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (ns != "USERENV") return sqlite3_result_null(ctx);
  Connection& c = Conn(ctx);
  if (key == "SESSION_USER" || key == "CURRENT_USER" || key == "CURRENT_SCHEMA") {
    return ResultText(ctx, c.currentUser);
  }
  if (key == "DB_NAME" || key == "SERVICE_NAME" || key == "INSTANCE_NAME")
    return ResultText(ctx, c.Service());
  if (key == "LANGUAGE") return ResultText(ctx, "AMERICAN_AMERICA." + c.characterSet);
  sqlite3_result_null(ctx);
}

void Rowid(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[1]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  ResultText(ctx, RowidText(sqlite3_value_int64(argv[0]), sqlite3_value_int64(argv[1])));
}

void ObjectNumberOf(sqlite3_context* ctx, int, sqlite3_value** argv) {
  sqlite3_result_int64(ctx, ObjectNumber(Text(argv[0])));
}

void RowidNumber(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  auto parsed = ParseRowid(Text(argv[0]));
  if (!parsed) return Fail(ctx, 1410);
  sqlite3_result_int64(ctx, parsed->second);
}

void NextVal(sqlite3_context* ctx, int, sqlite3_value** argv) {
  Guard(ctx, [&] {
    Connection& c = Conn(ctx);
    const std::string name = Text(argv[0]);
    const int64_t value = NextSequenceValue(c.Sql(), name);
    c.currval[name] = value;
    sqlite3_result_int64(ctx, value);
  });
}

void CurrVal(sqlite3_context* ctx, int, sqlite3_value** argv) {
  Connection& c = Conn(ctx);
  const std::string name = Text(argv[0]);
  auto it = c.currval.find(name);
  if (it == c.currval.end()) return Fail(ctx, OracleError(8002, {name}));
  sqlite3_result_int64(ctx, it->second);
}

// The checks a created table carries for its column types.

// ociemu_check_length(value, maximum, table, column, characters): ORA-12899 for a value longer
// than a VARCHAR2 or CHAR column holds, in bytes or (CHAR semantics) characters.
void CheckLength(sqlite3_context* ctx, int, sqlite3_value** argv) {
  Guard(ctx, [&] {
    if (IsNull(argv[0])) return sqlite3_result_int(ctx, 1);
    const std::string value = Text(argv[0]);
    const int64_t maximum = sqlite3_value_int64(argv[1]);
    const bool characters = sqlite3_value_int(argv[4]) != 0;
    const int64_t actual = characters ? static_cast<int64_t>(Characters(value).size())
                                      : static_cast<int64_t>(value.size());
    if (actual <= maximum) return sqlite3_result_int(ctx, 1);
    Connection& c = Conn(ctx);
    // Servers before 10g did not name the column.
    if (ReleaseOf(c.Banner()) < 10) throw OracleError(1401);
    const std::string table = Text(argv[2]);
    std::string owner = ObjectOwner(c.Sql(), table);
    if (owner.empty()) owner = c.currentUser;
    throw OracleError(12899, {"\"" + owner + "\".\"" + table + "\".\"" + Text(argv[3]) + "\"",
                              std::to_string(actual), std::to_string(maximum)});
  });
}

// ociemu_check_precision(value, precision, scale): ORA-01438 when the value, rounded to the
// scale, has more digits before the point than NUMBER(precision, scale) allows.
void CheckPrecision(sqlite3_context* ctx, int, sqlite3_value** argv) {
  Guard(ctx, [&] {
    if (IsNull(argv[0])) return sqlite3_result_int(ctx, 1);
    const Number n = Num(argv[0]).Rounded(sqlite3_value_int(argv[2]));
    const int allowed = sqlite3_value_int(argv[1]) - sqlite3_value_int(argv[2]);
    if (!n.IsZero() && n.point > allowed) throw OracleError(1438);
    sqlite3_result_int(ctx, 1);
  });
}

// ociemu_round_scale(value, scale): what a NUMBER(p, scale) column stores.
void RoundScale(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const int t = sqlite3_value_type(argv[0]);
  if (t != SQLITE_INTEGER && t != SQLITE_FLOAT) return sqlite3_result_value(ctx, argv[0]);
  Guard(ctx, [&] { ResultNumber(ctx, Num(argv[0]).Rounded(sqlite3_value_int(argv[1]))); });
}

// ociemu_divisor(x): x, or ORA-01476 when it is zero (SQLite would give NULL).
void Divisor(sqlite3_context* ctx, int, sqlite3_value** argv) {
  Guard(ctx, [&] {
    const int t = sqlite3_value_type(argv[0]);
    if ((t == SQLITE_INTEGER || t == SQLITE_FLOAT) && sqlite3_value_double(argv[0]) == 0) {
      throw OracleError(1476);
    }
    sqlite3_result_value(ctx, argv[0]);
  });
}

// ociemu_single(x), an aggregate: the one row of a scalar subquery, ORA-01427 for a second.
struct SingleRow {
  int64_t rows;
  sqlite3_value* value;
};

void SingleStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
  auto* state = static_cast<SingleRow*>(sqlite3_aggregate_context(ctx, sizeof(SingleRow)));
  if (!state) return sqlite3_result_error_nomem(ctx);
  if (++state->rows > 1) return Fail(ctx, 1427);
  state->value = sqlite3_value_dup(argv[0]);
}

void SingleFinal(sqlite3_context* ctx) {
  auto* state = static_cast<SingleRow*>(sqlite3_aggregate_context(ctx, 0));
  if (!state || !state->value) return sqlite3_result_null(ctx);
  sqlite3_result_value(ctx, state->value);
  sqlite3_value_free(state->value);
  state->value = nullptr;
}

// ociemu_column_type(declared, part): a column's DATA_TYPE, DATA_LENGTH, DATA_PRECISION,
// DATA_SCALE or CHAR_LENGTH as the dictionary shows them.
void ColumnTypePart(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const ColumnType t = TypeFromDeclared(Text(argv[0]));
  const std::string part = Text(argv[1]);
  if (!t.known)
    return part == "DATA_TYPE" ? ResultText(ctx, Text(argv[0])) : sqlite3_result_null(ctx);
  const bool national = t.charsetForm == 2;
  const bool isFloat = t.code == kTypeNumber && t.scale == -127 && t.precision > 0;
  if (part == "DATA_TYPE") {
    const char* name = "VARCHAR2";
    switch (t.code) {
      case kTypeVarchar2:
        name = national ? "NVARCHAR2" : "VARCHAR2";
        break;
      case kTypeNumber:
        name = isFloat ? "FLOAT" : "NUMBER";
        break;
      case kTypeLong:
        name = "LONG";
        break;
      case kTypeDate:
        name = "DATE";
        break;
      case kTypeRaw:
        name = "RAW";
        break;
      case kTypeLongRaw:
        name = "LONG RAW";
        break;
      case kTypeChar:
        name = national ? "NCHAR" : "CHAR";
        break;
      case kTypeBinaryFloat:
        name = "BINARY_FLOAT";
        break;
      case kTypeBinaryDouble:
        name = "BINARY_DOUBLE";
        break;
      case kTypeRowid:
        name = "ROWID";
        break;
      case kTypeClob:
        name = national ? "NCLOB" : "CLOB";
        break;
      case kTypeBlob:
        name = "BLOB";
        break;
      default:
        break;
    }
    return ResultText(ctx, name);
  }
  if (part == "DATA_LENGTH") {
    int64_t length = t.size;
    if (t.code == kTypeNumber) length = 22;
    if (t.code == kTypeDate) length = 7;
    if (t.code == kTypeLong || t.code == kTypeLongRaw) length = 0;
    if (t.code == kTypeRowid) length = 10;
    return sqlite3_result_int64(ctx, length);
  }
  if (part == "DATA_PRECISION") {
    if (t.code != kTypeNumber || t.precision == 0) return sqlite3_result_null(ctx);
    return sqlite3_result_int64(ctx, t.precision);
  }
  if (part == "DATA_SCALE") {
    if (t.code != kTypeNumber || t.precision == 0 || isFloat) return sqlite3_result_null(ctx);
    return sqlite3_result_int64(ctx, t.scale);
  }
  if (part == "CHAR_LENGTH") {
    const bool text = t.code == kTypeVarchar2 || t.code == kTypeChar;
    return sqlite3_result_int64(ctx, text ? t.size : 0);
  }
  sqlite3_result_null(ctx);
}

// ociemu_version_line(n, part): line n of V$VERSION for the server's banner; NULL past the
// last line. Releases from 18 on have one line, older ones name each component.
void VersionLine(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const std::string banner = Conn(ctx).Banner();
  const int64_t line = sqlite3_value_int64(argv[0]);
  const std::string part = Text(argv[1]);
  std::string version = "19.0.0.0.0";
  if (size_t r = banner.find("Release "); r != std::string::npos) {
    version = banner.substr(r + 8, banner.find(' ', r + 8) - (r + 8));
  }
  if (ReleaseOf(banner) >= 18) {
    if (line != 1) return sqlite3_result_null(ctx);
    return ResultText(ctx, part == "BANNER_FULL" ? banner + "\nVersion " + version : banner);
  }
  const std::string lines[] = {banner, "PL/SQL Release " + version + " - Production",
                               "CORE\t" + version + "\tProduction",
                               "TNS for Linux: Version " + version + " - Production",
                               "NLSRTL Version " + version + " - Production"};
  if (line < 1 || line > 5) return sqlite3_result_null(ctx);
  ResultText(ctx, lines[line - 1]);
}

struct Function {
  const char* name;
  int args;
  void (*body)(sqlite3_context*, int, sqlite3_value**);
  bool deterministic;
};

const Function kFunctions[] = {
    {"sysdate", 0, Sysdate, false},
    {"ociemu_user", 0, User, false},
    {"chr", 1, Chr, false},
    {"length", 1, Length, false},
    {"lengthb", 1, LengthB, true},
    {"substr", 2, Substr, true},
    {"substr", 3, Substr, true},
    {"instr", 2, Instr, true},
    {"instr", 3, Instr, true},
    {"instr", 4, Instr, true},
    {"lpad", 2, Lpad, true},
    {"lpad", 3, Lpad, true},
    {"rpad", 2, Rpad, true},
    {"rpad", 3, Rpad, true},
    {"initcap", 1, Initcap, true},
    {"replace", 2, Replace, true},
    {"replace", 3, Replace, true},
    {"translate", 3, Translate, true},
    {"concat", 2, Concat, true},
    {"nvl", 2, Nvl, true},
    {"nvl2", 3, Nvl2, true},
    {"decode", -1, Decode, true},
    {"greatest", -1, Greatest, true},
    {"least", -1, Least, true},
    {"to_char", 1, ToChar, false},
    {"to_char", 2, ToChar, false},
    {"to_char", 3, ToChar, false},
    {"ociemu_to_char_date", 1, ToCharDate, false},
    {"ociemu_to_char_date", 2, ToCharDate, false},
    {"ociemu_to_char_date", 3, ToCharDate, false},
    {"to_date", 1, ToDate, false},
    {"to_date", 2, ToDate, false},
    {"to_date", 3, ToDate, false},
    {"to_number", 1, ToNumber, true},
    {"to_number", 2, ToNumber, true},
    {"trunc", 1, Trunc, true},
    {"trunc", 2, Trunc, true},
    {"round", 1, Round, true},
    {"round", 2, Round, true},
    {"ociemu_trunc_date", 1, TruncDate, false},
    {"ociemu_trunc_date", 2, TruncDate, false},
    {"ociemu_round_date", 1, RoundDate, false},
    {"ociemu_round_date", 2, RoundDate, false},
    {"add_months", 2, AddMonths, false},
    {"last_day", 1, LastDay, false},
    {"months_between", 2, MonthsBetween, false},
    {"ceil", 1, Math<Ceil>, true},
    {"floor", 1, Math<Floor>, true},
    {"sqrt", 1, Math<Sqrt>, true},
    {"exp", 1, Math<Exp>, true},
    {"ln", 1, Math<Ln>, true},
    {"sign", 1, Math<Sign>, true},
    {"mod", 2, Mod, true},
    {"power", 2, Power, true},
    {"ascii", 1, Ascii, true},
    {"sys_context", 2, SysContext, false},
    {"ociemu_rowid", 2, Rowid, true},
    {"ociemu_object_number", 1, ObjectNumberOf, true},
    {"ociemu_rowid_number", 1, RowidNumber, true},
    {"ociemu_nextval", 1, NextVal, false},
    {"ociemu_currval", 1, CurrVal, false},
    {"ociemu_check_length", 5, CheckLength, false},
    {"ociemu_check_precision", 3, CheckPrecision, true},
    {"ociemu_round_scale", 2, RoundScale, true},
    {"ociemu_divisor", 1, Divisor, true},
    {"ociemu_concat", -1, ConcatOperator, true},
    {"ociemu_column_type", 2, ColumnTypePart, true},
    {"ociemu_version_line", 2, VersionLine, false},
};

}  // namespace

void RegisterFunctions(sqlite3* db, Connection* conn) {
  for (const auto& f : kFunctions) {
    int flags = SQLITE_UTF8 | (f.deterministic ? SQLITE_DETERMINISTIC : 0);
    sqlite3_create_function_v2(db, f.name, f.args, flags, conn, f.body, nullptr, nullptr, nullptr);
  }
  sqlite3_create_function_v2(db, "ociemu_single", 1, SQLITE_UTF8, conn, nullptr, SingleStep,
                             SingleFinal, nullptr);
}

}  // namespace ociemu
