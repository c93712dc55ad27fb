// A record host that keeps its records in memory: for tests, benchmarks, and programs that
// filter values they hold themselves.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "oracle/core/Variant.h"
#include "oracle/filter/RecordHost.h"

namespace oracle {

// Fields are found by name without regard to ASCII letter case, first match. A value that is
// null or empty makes the field null. Conversions follow the variant's rules, except that date
// fields read as text in the user's date format, and failures raise EExpression.
class TMemoryRecordHost : public TRecordHost {
 public:
  TMemoryRecordHost();
  ~TMemoryRecordHost() override;
  TMemoryRecordHost(const TMemoryRecordHost&) = delete;
  TMemoryRecordHost& operator=(const TMemoryRecordHost&) = delete;

  // Adds a field to every record (existing records get a null value). Returns its index.
  int AddField(std::string name, TFieldDataType type);
  int FieldCount() const { return static_cast<int>(fields_.size()); }

  // Appends a record: one value per field, in field order; missing values are null.
  void AddRecord(std::vector<Variant> values);
  int RecordCount() const { return static_cast<int>(records_.size()); }
  // The record the fields read; -1 (or any index outside the records) makes every field null.
  int CurrentRecord() const { return current_; }
  void SetCurrentRecord(int index) { current_ = index; }
  // The stored value of a field of the current record; null outside the records.
  const Variant& Value(int field) const;

  const TRecordField* FindField(std::string_view name) const override;

 private:
  class Field;

  std::vector<std::unique_ptr<Field>> fields_;
  std::vector<std::vector<Variant>> records_;
  int current_ = -1;
};

}  // namespace oracle
