// Conversions between the kinds of Variant, in the manner of the framework's variant rules.
#include "oracle/core/Variant.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "oracle/core/DateTime.h"

namespace oracle {
namespace {

[[noreturn]] void fail(const char* what) { throw VariantConversionError(what); }

double parseDouble(const std::string& text) {
  const char* begin = text.c_str();
  while (*begin == ' ') ++begin;
  if (*begin == '\0') fail("Could not convert variant of type (String) into type (Double)");
  char* end = nullptr;
  errno = 0;
  const double value = std::strtod(begin, &end);
  while (*end == ' ') ++end;
  if (*end != '\0' || errno == ERANGE)
    fail("Could not convert variant of type (String) into type (Double)");
  return value;
}

std::string formatDouble(double value) {
  // Shortest text that reads back to the same double, as a user would write it.
  char buffer[40];
  for (int precision = 15; precision <= 17; ++precision) {
    std::snprintf(buffer, sizeof buffer, "%.*g", precision, value);
    if (std::strtod(buffer, nullptr) == value) break;
  }
  return buffer;
}

}  // namespace

Variant Variant::fromArray(VariantArray array) {
  Variant v;
  v.value_ = std::make_shared<VariantArray>(std::move(array));
  return v;
}

VariantType Variant::type() const {
  static constexpr VariantType kTypes[] = {
      VariantType::Empty,  VariantType::Null,   VariantType::Boolean,
      VariantType::Integer, VariantType::Double, VariantType::Date,
      VariantType::String, VariantType::Bytes,  VariantType::Array};
  return kTypes[value_.index()];
}

bool Variant::toBool() const {
  switch (type()) {
    case VariantType::Empty: return false;
    case VariantType::Boolean: return std::get<bool>(value_);
    case VariantType::String: {
      const std::string& s = std::get<std::string>(value_);
      if (s == "True" || s == "TRUE" || s == "true") return true;
      if (s == "False" || s == "FALSE" || s == "false") return false;
      return toDouble() != 0;
    }
    default: return toDouble() != 0;
  }
}

std::int64_t Variant::toInt() const {
  switch (type()) {
    case VariantType::Integer: return std::get<std::int64_t>(value_);
    case VariantType::Boolean: return std::get<bool>(value_) ? -1 : 0;  // the framework's True
    default: {
      const double d = toDouble();
      const double r = std::nearbyint(d);  // banker's rounding, as the framework rounds
      if (!(r >= -9.2e18 && r <= 9.2e18)) fail("Invalid variant operation: overflow");
      return static_cast<std::int64_t>(r);
    }
  }
}

double Variant::toDouble() const {
  switch (type()) {
    case VariantType::Empty: return 0;
    case VariantType::Boolean: return std::get<bool>(value_) ? -1 : 0;
    case VariantType::Integer: return static_cast<double>(std::get<std::int64_t>(value_));
    case VariantType::Double: return std::get<double>(value_);
    case VariantType::Date: return std::get<DateValue>(value_).days;
    case VariantType::String: return parseDouble(std::get<std::string>(value_));
    case VariantType::Null: fail("Could not convert variant of type (Null) into type (Double)");
    default: fail("Invalid variant type conversion");
  }
}

double Variant::toDate() const { return toDouble(); }

std::string Variant::toString() const {
  switch (type()) {
    case VariantType::Empty: return {};
    case VariantType::Boolean: return std::get<bool>(value_) ? "True" : "False";
    case VariantType::Integer: return std::to_string(std::get<std::int64_t>(value_));
    case VariantType::Double: return formatDouble(std::get<double>(value_));
    case VariantType::Date: return formatIsoDateTime(std::get<DateValue>(value_).days);
    case VariantType::String: return std::get<std::string>(value_);
    case VariantType::Bytes: {
      const Bytes& b = std::get<Bytes>(value_);
      return std::string(b.begin(), b.end());
    }
    case VariantType::Null: fail("Could not convert variant of type (Null) into type (String)");
    case VariantType::Array: fail("Invalid variant type conversion");
  }
  return {};
}

Variant::Bytes Variant::toBytes() const {
  switch (type()) {
    case VariantType::Bytes: return std::get<Bytes>(value_);
    case VariantType::String: {
      const std::string& s = std::get<std::string>(value_);
      return Bytes(s.begin(), s.end());
    }
    case VariantType::Array: {
      Bytes out;
      for (const Variant& item : array().items) {
        const std::int64_t v = item.toInt();
        if (v < 0 || v > 255) fail("Invalid variant type conversion");
        out.push_back(static_cast<std::uint8_t>(v));
      }
      return out;
    }
    default: fail("Invalid variant type conversion");
  }
}

const VariantArray& Variant::array() const {
  return *std::get<std::shared_ptr<VariantArray>>(value_);
}

VariantArray& Variant::array() {
  // Copy on write: an array shared by copies of this variant is detached before a change.
  auto& ptr = std::get<std::shared_ptr<VariantArray>>(value_);
  if (ptr.use_count() > 1) ptr = std::make_shared<VariantArray>(*ptr);
  return *ptr;
}

bool Variant::operator==(const Variant& other) const {
  if (type() != other.type()) return false;
  if (isArray()) {
    const VariantArray& a = array();
    const VariantArray& b = other.array();
    return a.lowBound == b.lowBound && a.items == b.items;
  }
  return value_ == other.value_;
}

}  // namespace oracle
