// Values cross from the application's buffers (external datatypes) into SQLite's values here;
// dates travel as Julian day numbers, numbers as SQLite integers or doubles, and an empty text
// is NULL as Oracle has it.
#include "ociemu/internal/BindConversion.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "ociemu/internal/OraDate.h"
#include "ociemu/internal/OraNumber.h"
#include "ociemu/internal/OracleError.h"

namespace ociemu {
namespace {

// An integer of 1, 2, 4 or 8 bytes in the host's order, widened; any other size is ORA-01459.
template <class I1, class I2, class I4, class I8>
I8 ReadInteger(const char* base, size_t size) {
  auto load = [base](auto value) {
    std::memcpy(&value, base, sizeof value);
    return static_cast<I8>(value);
  };
  switch (size) {
    case 1:
      return load(I1{});
    case 2:
      return load(I2{});
    case 4:
      return load(I4{});
    case 8:
      return load(I8{});
    default:
      throw OracleError(1459);
  }
}

}  // namespace

void BindValue(sqlite3_stmt* st, int index, const BindBuffer& b, ub4 row) {
  if (b.pieces) {
    const std::optional<std::string> none;
    const auto& piece = row < b.pieces->size() ? (*b.pieces)[row] : none;
    if (!piece || piece->empty()) {
      sqlite3_bind_null(st, index);
    } else if (b.type == SQLT_LBI || b.type == SQLT_BIN) {
      sqlite3_bind_blob64(st, index, piece->data(), piece->size(), SQLITE_TRANSIENT);
    } else {
      sqlite3_bind_text64(st, index, piece->data(), piece->size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    }
    return;
  }
  if (!b.value || (b.indicator && b.indicator[row] < 0)) {
    sqlite3_bind_null(st, index);
    return;
  }
  const char* base = static_cast<const char*>(b.value) +
                     static_cast<size_t>(row) * static_cast<size_t>(b.size > 0 ? b.size : 0);
  const size_t size = b.size > 0 ? static_cast<size_t>(b.size) : 0;
  auto text = [&](const char* p, size_t n) {
    if (n == 0) {
      sqlite3_bind_null(st, index);  // Oracle has no empty string
    } else {
      sqlite3_bind_text(st, index, p, static_cast<int>(n), SQLITE_TRANSIENT);
    }
  };
  auto blob = [&](const char* p, size_t n) {
    if (n == 0) {
      sqlite3_bind_null(st, index);
    } else {
      sqlite3_bind_blob(st, index, p, static_cast<int>(n), SQLITE_TRANSIENT);
    }
  };
  auto number = [&](const Number& n) {
    if (auto integer = n.ToInteger()) {
      sqlite3_bind_int64(st, index, *integer);
    } else if (n.digits.size() > 15) {
      // More digits than a double keeps: the decimal text, which a query returns exactly and
      // SQLite still reads as a number in arithmetic and comparisons.
      const std::string decimal = NumberToText(n);
      sqlite3_bind_text(st, index, decimal.data(), static_cast<int>(decimal.size()),
                        SQLITE_TRANSIENT);
    } else {
      sqlite3_bind_double(st, index, n.AsDouble());
    }
  };
  const size_t given = b.length4  ? std::min<size_t>(b.length4[row], size)
                       : b.length ? std::min<size_t>(b.length[row], size)
                                  : size;

  switch (b.type) {
    case SQLT_CHR:
    case SQLT_AFC:
    case SQLT_LNG:
      return text(base, given);
    case SQLT_STR:
    case SQLT_AVC: {
      size_t n = strnlen(base, size);
      return text(base, n);
    }
    case SQLT_VCS:
    case SQLT_VBI: {
      if (size < 2) throw OracleError(1459);
      ub2 n;
      std::memcpy(&n, base, 2);
      n = static_cast<ub2>(std::min<size_t>(n, size - 2));
      return b.type == SQLT_VCS ? text(base + 2, n) : blob(base + 2, n);
    }
    case SQLT_LVC:
    case SQLT_LVB: {
      if (size < 4) throw OracleError(1459);
      sb4 n;
      std::memcpy(&n, base, 4);
      size_t len = n < 0 ? 0 : std::min<size_t>(static_cast<size_t>(n), size - 4);
      return b.type == SQLT_LVC ? text(base + 4, len) : blob(base + 4, len);
    }
    case SQLT_BIN:
    case SQLT_LBI:
      return blob(base, given);
    case SQLT_INT:
      return static_cast<void>(sqlite3_bind_int64(
          st, index, ReadInteger<int8_t, int16_t, int32_t, int64_t>(base, size)));
    case SQLT_UIN: {
      const uint64_t v = ReadInteger<uint8_t, uint16_t, uint32_t, uint64_t>(base, size);
      if (v > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
        return static_cast<void>(sqlite3_bind_double(st, index, static_cast<double>(v)));
      }
      return static_cast<void>(sqlite3_bind_int64(st, index, static_cast<int64_t>(v)));
    }
    case SQLT_FLT:
    case SQLT_BFLOAT:
    case SQLT_BDOUBLE:
    case SQLT_IBFLOAT:
    case SQLT_IBDOUBLE: {
      double v;
      if (size == 4) {
        float f;
        std::memcpy(&f, base, 4);
        v = f;
      } else if (size == 8) {
        std::memcpy(&v, base, 8);
      } else {
        throw OracleError(1459);
      }
      return number(Normalize(v));
    }
    case SQLT_NUM: {
      auto n = DecodeNumber(reinterpret_cast<const unsigned char*>(base), static_cast<int>(given));
      if (!n) throw OracleError(1722);
      return number(*n);
    }
    case SQLT_VNU: {
      if (size < 1) throw OracleError(1459);
      int len = static_cast<unsigned char>(base[0]);
      if (static_cast<size_t>(len) + 1 > size) throw OracleError(1722);
      auto n = DecodeNumber(reinterpret_cast<const unsigned char*>(base + 1), len);
      if (!n) throw OracleError(1722);
      return number(*n);
    }
    case SQLT_DAT: {
      if (size < 7) throw OracleError(1459);
      auto t = DecodeDate7(reinterpret_cast<const unsigned char*>(base));
      if (!t) throw OracleError(1841);
      return static_cast<void>(sqlite3_bind_double(st, index, JulianDay(*t)));
    }
    case SQLT_ODT: {
      if (size < 8) throw OracleError(1459);
      CivilTime t;
      sb2 year;
      std::memcpy(&year, base, 2);
      t.year = year;
      t.month = static_cast<unsigned char>(base[2]);
      t.day = static_cast<unsigned char>(base[3]);
      t.hour = static_cast<unsigned char>(base[4]);
      t.minute = static_cast<unsigned char>(base[5]);
      t.second = static_cast<unsigned char>(base[6]);
      if (!IsValid(t)) throw OracleError(1841);
      return static_cast<void>(sqlite3_bind_double(st, index, JulianDay(t)));
    }
    default:
      throw OracleError(3001);
  }
}

}  // namespace ociemu
