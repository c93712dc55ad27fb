// What a filter needs of the dataset it filters: the fields of the current record by name, each
// with its data type, null state and value. A dataset implements TRecordHost to have its filter
// texts compiled into column references (see ColumnResolver in ColumnExpression.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace oracle {

// The data types of fields, as far as filters tell them apart.
enum TFieldDataType : std::uint8_t {
  fdUnknown,
  // Texts.
  fdString,
  fdFixedChar,
  fdMemo,
  // Integers: small, normal, word-sized and large.
  fdSmallint,
  fdInteger,
  fdWord,
  fdLargeint,
  fdBoolean,
  // Fractional numbers.
  fdFloat,
  fdCurrency,
  fdBCD,
  // Date-time values.
  fdDate,
  fdTime,
  fdDateTime,
  // Binary.
  fdBytes,
  fdBlob,
};

// A field of the host's current record. Each read converts the value by the field's own rules;
// a null field reads as its type's empty value.
class TRecordField {
 public:
  virtual ~TRecordField() = default;
  virtual TFieldDataType DataType() const = 0;
  virtual bool IsNull() const = 0;
  virtual double AsDateTime() const = 0;  // days since 1899-12-30, fraction = time of day
  virtual std::string AsString() const = 0;
  virtual double AsFloat() const = 0;
  virtual std::int32_t AsInteger() const = 0;
  virtual bool AsBoolean() const = 0;
};

class TRecordHost {
 public:
  virtual ~TRecordHost() = default;
  // The field of that name in the current record, or null when there is none. The field stays
  // valid while the host's set of fields is unchanged; its values follow the current record.
  virtual const TRecordField* FindField(std::string_view name) const = 0;
};

}  // namespace oracle
