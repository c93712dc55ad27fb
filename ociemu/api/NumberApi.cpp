// The OCINumber helpers: Oracle numbers in the application's memory converted to and from
// native integers, floating point and text.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "ociemu/internal/Api.h"
#include "ociemu/internal/OraNumber.h"

using namespace ociemu;

namespace {

Number Read(const OCINumber* number) {
  if (!number) throw OracleError(22060, {"1"});
  const ub1* p = number->OCINumberPart;
  auto n = DecodeNumber(p + 1, p[0]);
  if (!n) throw OracleError(22060, {"1"});
  return *n;
}

void Write(const Number& n, OCINumber* number) {
  if (!number) throw OracleError(1009);
  unsigned char bytes[22];
  int len = EncodeNumber(n, bytes);
  std::memset(number->OCINumberPart, 0, sizeof number->OCINumberPart);
  number->OCINumberPart[0] = static_cast<ub1>(len);
  std::memcpy(number->OCINumberPart + 1, bytes, static_cast<size_t>(len));
}

template <class T>
void Store(T value, void* out) {
  std::memcpy(out, &value, sizeof value);
}

}  // namespace

extern "C" {

sword OCINumberFromInt(OCIError* err, const void* inum, uword inum_length, uword inum_s_flag,
                       OCINumber* number) {
  return WithError("OCINumberFromInt", err, [&](Diagnostics*) -> sword {
    if (!inum) throw OracleError(1009);
    const bool isSigned = inum_s_flag == OCI_NUMBER_SIGNED;
    auto read = [&](auto type) {
      decltype(type) v;
      std::memcpy(&v, inum, sizeof v);
      return v;
    };
    Number n;
    switch (inum_length) {
      case 1:
        n = isSigned ? Number::FromInteger(read(int8_t{})) : Number::FromUnsigned(read(uint8_t{}));
        break;
      case 2:
        n = isSigned ? Number::FromInteger(read(int16_t{}))
                     : Number::FromUnsigned(read(uint16_t{}));
        break;
      case 4:
        n = isSigned ? Number::FromInteger(read(int32_t{}))
                     : Number::FromUnsigned(read(uint32_t{}));
        break;
      case 8:
        n = isSigned ? Number::FromInteger(read(int64_t{}))
                     : Number::FromUnsigned(read(uint64_t{}));
        break;
      default:
        throw OracleError(22053);
    }
    Write(n, number);
    return OCI_SUCCESS;
  });
}

sword OCINumberToInt(OCIError* err, const OCINumber* number, uword rsl_length, uword rsl_flag,
                     void* rsl) {
  return WithError("OCINumberToInt", err, [&](Diagnostics*) -> sword {
    if (!rsl) throw OracleError(1009);
    // The integer part, exactly; bounds of the requested type are compared as numbers.
    const Number whole = Read(number).Truncated(0);
    const bool isSigned = rsl_flag == OCI_NUMBER_SIGNED;
    auto range = [&](int64_t lo, uint64_t hi) {
      const Number high = Number::FromUnsigned(isSigned ? hi / 2 : hi);
      const Number low = isSigned ? Number::FromInteger(lo) : Number{};
      if (whole.Compare(low) < 0 || whole.Compare(high) > 0) throw OracleError(22053);
    };
    // The two's complement bits, read once the range check has passed.
    auto bits = [&]() -> uint64_t {
      if (auto v = whole.ToInteger()) return static_cast<uint64_t>(*v);
      return std::stoull(NumberToText(whole));  // above int64, below 2^64
    };
    switch (rsl_length) {
      case 1:
        range(-128, 255);
        Store(static_cast<uint8_t>(bits()), rsl);
        break;
      case 2:
        range(-32768, 65535);
        Store(static_cast<uint16_t>(bits()), rsl);
        break;
      case 4:
        range(INT32_MIN, UINT32_MAX);
        Store(static_cast<uint32_t>(bits()), rsl);
        break;
      case 8:
        range(INT64_MIN, UINT64_MAX);
        Store(bits(), rsl);
        break;
      default:
        throw OracleError(22053);
    }
    return OCI_SUCCESS;
  });
}

sword OCINumberFromReal(OCIError* err, const void* rnum, uword rnum_length, OCINumber* number) {
  return WithError("OCINumberFromReal", err, [&](Diagnostics*) -> sword {
    if (!rnum) throw OracleError(1009);
    double d;
    if (rnum_length == sizeof(float)) {
      float f;
      std::memcpy(&f, rnum, sizeof f);
      d = f;
    } else if (rnum_length == sizeof(double)) {
      std::memcpy(&d, rnum, sizeof d);
    } else if (rnum_length == sizeof(long double)) {
      long double l;
      std::memcpy(&l, rnum, sizeof l);
      d = static_cast<double>(l);
    } else {
      throw OracleError(22053);
    }
    if (!std::isfinite(d)) throw OracleError(22053);
    Write(Number::FromDouble(d), number);
    return OCI_SUCCESS;
  });
}

sword OCINumberToReal(OCIError* err, const OCINumber* number, uword rsl_length, void* rsl) {
  return WithError("OCINumberToReal", err, [&](Diagnostics*) -> sword {
    if (!rsl) throw OracleError(1009);
    double d = Read(number).AsDouble();
    if (rsl_length == sizeof(float)) {
      Store(static_cast<float>(d), rsl);
    } else if (rsl_length == sizeof(double)) {
      Store(d, rsl);
    } else if (rsl_length == sizeof(long double)) {
      Store(static_cast<long double>(d), rsl);
    } else {
      throw OracleError(22053);
    }
    return OCI_SUCCESS;
  });
}

sword OCINumberToText(OCIError* err, const OCINumber* number, const oratext* fmt, ub4 fmt_length,
                      const oratext* /*nls_params*/, ub4 /*nls_p_length*/, ub4* buf_size,
                      oratext* buf) {
  return WithError("OCINumberToText", err, [&](Diagnostics*) -> sword {
    if (!buf_size || !buf) throw OracleError(1009);
    Number n = Read(number);
    std::string out =
        fmt && fmt_length ? FormatNumber(n, TextArg(fmt, fmt_length)) : NumberToText(n);
    if (out.size() > *buf_size) throw OracleError(22065);
    std::memcpy(buf, out.data(), out.size());
    // The length says where the text ends; a terminator where there is room serves callers
    // that treat the buffer as a C string.
    if (out.size() < *buf_size) buf[out.size()] = '\0';
    *buf_size = static_cast<ub4>(out.size());
    return OCI_SUCCESS;
  });
}

sword OCINumberFromText(OCIError* err, const oratext* str, ub4 str_length, const oratext* fmt,
                        ub4 fmt_length, const oratext* /*nls_params*/, ub4 /*nls_p_length*/,
                        OCINumber* number) {
  return WithError("OCINumberFromText", err, [&](Diagnostics*) -> sword {
    if (!str) throw OracleError(1009);
    std::string digits = TextArg(str, str_length);
    if (fmt && fmt_length) {
      std::string plain;
      for (char c : digits) {
        if (c != ',' && c != '$') plain += c;
      }
      digits = plain;
    }
    auto n = ParseNumber(digits);
    if (!n) throw OracleError(1722);
    Write(*n, number);
    return OCI_SUCCESS;
  });
}

}  // extern "C"
