// Column references: a name of the filter text that the host dataset resolves into a field of
// its current record, read afresh at every evaluation.
#pragma once

#include <string>

#include "oracle/filter/Expression.h"
#include "oracle/filter/ParseFilter.h"
#include "oracle/filter/RecordHost.h"

namespace oracle {

// The type of a column of the given field data type: integers give Integer, Boolean gives
// Boolean, float, currency and BCD give Float, date, time and date-time give Date, and every
// other data type gives String.
TExprType ExprTypeOfField(TFieldDataType type);

// The name "NULL" (exactly so) stands for the null value: IsNull holds, the type is String and
// it reads as the empty text. Any other name is looked up in the host at every read; a name the
// host does not know raises "Field <name> does not exist".
class TColumnExpression : public TExpression {
 public:
  // The host must outlive the node.
  TColumnExpression(const TRecordHost& host, std::string name)
      : host_(&host), name_(std::move(name)), isNullName_(name_ == "NULL") {}

  const TRecordHost& Host() const { return *host_; }
  const std::string& ColumnName() const { return name_; }

  double AsDate() const override;
  std::string AsString() const override;
  // A date, time or date-time field gives its date-time value.
  double AsFloat() const override;
  std::int32_t AsInteger() const override;
  bool AsBoolean() const override;
  bool IsNull() const override;
  TExprType ExprType() const override;

 private:
  const TRecordField& Field() const;

  const TRecordHost* host_;
  std::string name_;
  bool isNullName_;
};

// The resolver of a host dataset: every name becomes a column reference of that host (the
// parameters of a call are not used). The host must outlive the resolver and the trees.
NameResolver ColumnResolver(const TRecordHost& host);

}  // namespace oracle
