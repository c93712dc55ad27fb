// The tagged value that variables, fields and history entries exchange: empty, null, Boolean,
// integer, double, date, string, byte array, or an array of variants with a lower bound.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace oracle {

enum class VariantType { Empty, Null, Boolean, Integer, Double, Date, String, Bytes, Array };

class Variant;

// A one-dimensional array of variants indexed lowBound .. lowBound + size - 1.
struct VariantArray {
  std::int32_t lowBound = 0;
  std::vector<Variant> items;

  std::int32_t highBound() const;
};

// Raised when a value cannot be read as the asked type (a text that is no number, an array read
// as a scalar). Callers turn it into their own messages, as the conversion rules say.
class VariantConversionError : public std::exception {
 public:
  explicit VariantConversionError(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

class Variant {
 public:
  struct NullTag {};
  struct DateValue {
    double days = 0;  // days since 1899-12-30, fraction = time of day
    bool operator==(const DateValue&) const = default;
  };
  using Bytes = std::vector<std::uint8_t>;

  Variant() = default;  // empty (unassigned)
  static Variant null() { return Variant(NullTag{}); }
  static Variant fromDate(double days) { return Variant(DateValue{days}); }
  static Variant fromBytes(Bytes bytes) { return Variant(std::move(bytes)); }
  static Variant fromArray(VariantArray array);

  Variant(bool value) : value_(value) {}  // NOLINT(google-explicit-constructor)
  Variant(std::int32_t value) : value_(std::int64_t{value}) {}  // NOLINT
  Variant(std::int64_t value) : value_(value) {}  // NOLINT
  Variant(double value) : value_(value) {}  // NOLINT
  Variant(std::string value) : value_(std::move(value)) {}  // NOLINT
  Variant(const char* value) : value_(std::string(value)) {}  // NOLINT

  VariantType type() const;
  bool isEmpty() const { return type() == VariantType::Empty; }
  bool isNull() const { return type() == VariantType::Null; }
  // Empty or null: no value at all.
  bool isMissing() const { return isEmpty() || isNull(); }
  bool isArray() const { return type() == VariantType::Array; }

  // Conversions in the manner of the framework's variants: numbers and dates convert among each
  // other, strings are parsed (period as decimal separator), empty reads as 0 / "" / false.
  // Null and arrays raise VariantConversionError.
  bool toBool() const;
  std::int64_t toInt() const;
  double toDouble() const;
  double toDate() const;
  std::string toString() const;
  // A byte array as is; a string's bytes; an array of integers 0..255 as bytes.
  Bytes toBytes() const;

  const VariantArray& array() const;  // precondition: isArray()
  VariantArray& array();              // precondition: isArray()

  bool operator==(const Variant& other) const;

 private:
  explicit Variant(NullTag tag) : value_(tag) {}
  explicit Variant(DateValue date) : value_(date) {}
  explicit Variant(Bytes bytes) : value_(std::move(bytes)) {}

  friend bool operator==(NullTag, NullTag) { return true; }
  using Storage = std::variant<std::monostate, NullTag, bool, std::int64_t, double, DateValue,
                               std::string, Bytes, std::shared_ptr<VariantArray>>;
  Storage value_;
};

inline std::int32_t VariantArray::highBound() const {
  return lowBound + static_cast<std::int32_t>(items.size()) - 1;
}

}  // namespace oracle
