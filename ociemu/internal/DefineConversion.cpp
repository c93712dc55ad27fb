// Output conversion: a value of a result becomes an element of a define (or OUT bind) array in
// the external datatype the application asked for, with its indicator, length and return code.
#include "ociemu/internal/DefineConversion.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "ociemu/internal/OraDate.h"
#include "ociemu/internal/OraNumber.h"
#include "ociemu/internal/OracleError.h"

namespace ociemu {

bool StoreValue(const SqlValue& src, const ColumnType& declared, const DefineBuffer& d, ub4 row,
                const std::string& dateFormat) {
  const int sqliteType = src.Type();
  if (d.dynamic) {
    if (sqliteType == SQLITE_NULL) {
      d.dynamic(row, std::nullopt);
    } else {
      d.dynamic(row, sqliteType == SQLITE_BLOB ? src.Blob() : src.Text());
    }
    return false;
  }
  auto setIndicator = [&](sb2 v) {
    if (d.indicator) d.indicator[row] = v;
  };
  auto setLength = [&](size_t n) {
    if (d.length) d.length[row] = static_cast<ub2>(std::min<size_t>(n, 65535));
  };
  auto setCode = [&](ub2 v) {
    if (d.returnCode) d.returnCode[row] = v;
  };
  if (sqliteType == SQLITE_NULL || (sqliteType == SQLITE_TEXT && src.Bytes() == 0)) {
    if (!d.indicator) throw OracleError(1405);
    setIndicator(-1);
    setLength(0);
    setCode(1405);
    return false;
  }
  setIndicator(0);
  setCode(0);
  if (!d.value) return false;
  const size_t size = d.size > 0 ? static_cast<size_t>(d.size) : 0;
  char* out = static_cast<char*>(d.value) + static_cast<size_t>(row) * size;
  const bool isDate = declared.code == kTypeDate;

  auto number = [&]() -> Number {
    if (isDate) throw OracleError(932, {"NUMBER", "DATE"});
    switch (sqliteType) {
      case SQLITE_INTEGER:
        return Number::FromInteger(src.Int64());
      case SQLITE_FLOAT:
        return Normalize(src.Double());
      default: {
        auto n = ParseNumber(src.Text());
        if (!n) throw OracleError(1722);
        return *n;
      }
    }
  };
  auto date = [&]() -> CivilTime {
    if (sqliteType == SQLITE_INTEGER || sqliteType == SQLITE_FLOAT) {
      if (!isDate && declared.known && declared.code == kTypeNumber) {
        throw OracleError(932, {"DATE", "NUMBER"});
      }
      return FromJulianDay(src.Double());
    }
    std::string s(src.Text());
    try {
      return ParseDate(s, "YYYY-MM-DD HH24:MI:SS");
    } catch (const OracleError&) {
      return ParseDate(s, dateFormat);
    }
  };
  // Characters of the value as the client sees them in a character buffer.
  std::string converted;
  auto chars = [&]() -> std::string_view {
    if (isDate) {
      converted = FormatDate(date(), dateFormat);
      return converted;
    }
    switch (sqliteType) {
      case SQLITE_INTEGER:
      case SQLITE_FLOAT:
        converted = NumberToText(number());
        return converted;
      case SQLITE_BLOB: {
        static const char* hex = "0123456789ABCDEF";
        for (unsigned char c : src.Blob()) {
          converted += hex[c >> 4];
          converted += hex[c & 15];
        }
        return converted;
      }
      default:
        return src.Text();
    }
  };
  auto bytes = [&]() -> std::string_view {
    if (sqliteType == SQLITE_BLOB) {
      return src.Blob();
    }
    return chars();
  };
  // Copies into the element; a value longer than the room left is cut (ORA-01406).
  auto put = [&](std::string_view v, char* dest, size_t room, bool terminate, bool pad) {
    if (terminate) room = room ? room - 1 : 0;
    if (v.size() > room) {
      std::memcpy(dest, v.data(), room);
      if (terminate && size) dest[room] = 0;
      setLength(room);
      setIndicator(v.size() <= 32767 ? static_cast<sb2>(v.size()) : -2);
      setCode(1406);
      return true;
    }
    std::memcpy(dest, v.data(), v.size());
    if (pad) std::memset(dest + v.size(), ' ', room - v.size());
    if (terminate) dest[v.size()] = 0;
    setLength(pad ? room : v.size());
    return false;
  };
  switch (d.type) {
    case SQLT_CHR:
    case SQLT_LNG:
      return put(chars(), out, size, false, false);
    case SQLT_AFC:
      return put(chars(), out, size, false, true);
    case SQLT_STR:
    case SQLT_AVC:
      return put(chars(), out, size, true, false);
    case SQLT_BIN:
    case SQLT_LBI:
      return put(bytes(), out, size, false, false);
    case SQLT_VCS:
    case SQLT_VBI: {
      if (size < 2) throw OracleError(1459);
      bool cut = put(d.type == SQLT_VCS ? chars() : bytes(), out + 2, size - 2, false, false);
      ub2 n = d.length ? d.length[row] : static_cast<ub2>(std::min(chars().size(), size - 2));
      std::memcpy(out, &n, 2);
      return cut;
    }
    case SQLT_LVC:
    case SQLT_LVB: {
      if (size < 4) throw OracleError(1459);
      std::string_view v = d.type == SQLT_LVC ? chars() : bytes();
      bool cut = put(v, out + 4, size - 4, false, false);
      sb4 n = static_cast<sb4>(std::min(v.size(), size - 4));
      std::memcpy(out, &n, 4);
      return cut;
    }
    case SQLT_INT:
    case SQLT_UIN: {
      Number n = number();
      auto integer = n.Rounded(0).ToInteger();
      if (!integer) throw OracleError(1455);
      int64_t v = *integer;
      bool isUnsigned = d.type == SQLT_UIN;
      if (isUnsigned && v < 0) throw OracleError(1455);
      auto fits = [&](int64_t lo, int64_t hi) {
        if (v < lo || v > hi) throw OracleError(1455);
      };
      if (size == 1) {
        isUnsigned ? fits(0, 255) : fits(-128, 127);
        out[0] = static_cast<char>(v);
      } else if (size == 2) {
        isUnsigned ? fits(0, 65535) : fits(-32768, 32767);
        int16_t x = static_cast<int16_t>(v);
        std::memcpy(out, &x, 2);
      } else if (size == 4) {
        isUnsigned ? fits(0, 4294967295LL) : fits(INT32_MIN, INT32_MAX);
        int32_t x = static_cast<int32_t>(v);
        std::memcpy(out, &x, 4);
      } else if (size == 8) {
        std::memcpy(out, &v, 8);
      } else {
        throw OracleError(1459);
      }
      setLength(size);
      return false;
    }
    case SQLT_FLT:
    case SQLT_BFLOAT:
    case SQLT_BDOUBLE:
    case SQLT_IBFLOAT:
    case SQLT_IBDOUBLE: {
      double v = number().AsDouble();
      if (size == 4) {
        float f = static_cast<float>(v);
        std::memcpy(out, &f, 4);
      } else if (size == 8) {
        std::memcpy(out, &v, 8);
      } else {
        throw OracleError(1459);
      }
      setLength(size);
      return false;
    }
    case SQLT_NUM:
    case SQLT_VNU: {
      unsigned char encoded[22];
      int len = EncodeNumber(number(), encoded);
      const size_t prefix = d.type == SQLT_VNU ? 1 : 0;
      if (size < static_cast<size_t>(len) + prefix) throw OracleError(1406);
      if (prefix) out[0] = static_cast<char>(len);
      std::memcpy(out + prefix, encoded, static_cast<size_t>(len));
      setLength(static_cast<size_t>(len) + prefix);
      return false;
    }
    case SQLT_DAT: {
      if (size < 7) throw OracleError(1459);
      EncodeDate7(date(), reinterpret_cast<unsigned char*>(out));
      setLength(7);
      return false;
    }
    case SQLT_ODT: {
      if (size < 8) throw OracleError(1459);
      CivilTime t = date();
      sb2 year = static_cast<sb2>(t.year);
      std::memcpy(out, &year, 2);
      out[2] = static_cast<char>(t.month);
      out[3] = static_cast<char>(t.day);
      out[4] = static_cast<char>(t.hour);
      out[5] = static_cast<char>(t.minute);
      out[6] = static_cast<char>(t.second);
      setLength(8);
      return false;
    }
    case SQLT_RDD: {
      if (size < sizeof(void*) || !d.setRowid) throw OracleError(1459);
      void* descriptor = nullptr;
      std::memcpy(&descriptor, out, sizeof descriptor);
      if (!d.setRowid(descriptor, std::string(chars()))) throw OracleError(1410);
      setLength(sizeof(void*));
      return false;
    }
    default:
      throw OracleError(3001);
  }
}

}  // namespace ociemu
