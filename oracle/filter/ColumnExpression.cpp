// Reads of column references through the host's fields.
#include "oracle/filter/ColumnExpression.h"

#include "oracle/filter/EExpression.h"

namespace oracle {
namespace {

bool isDateType(TFieldDataType type) {
  return type == fdDate || type == fdTime || type == fdDateTime;
}

}  // namespace

TExprType ExprTypeOfField(TFieldDataType type) {
  switch (type) {
    case fdSmallint:
    case fdInteger:
    case fdWord:
    case fdLargeint:
      return etInteger;
    case fdBoolean:
      return etBoolean;
    case fdFloat:
    case fdCurrency:
    case fdBCD:
      return etFloat;
    case fdDate:
    case fdTime:
    case fdDateTime:
      return etDate;
    default:
      return etString;
  }
}

const TRecordField& TColumnExpression::Field() const {
  const TRecordField* field = host_->FindField(name_);
  if (!field) throw EExpression("Field " + name_ + " does not exist");
  return *field;
}

double TColumnExpression::AsDate() const {
  if (isNullName_) return TExpression::AsDate();
  return Field().AsDateTime();
}

std::string TColumnExpression::AsString() const {
  if (isNullName_) return {};
  return Field().AsString();
}

double TColumnExpression::AsFloat() const {
  if (isNullName_) return TExpression::AsFloat();
  const TRecordField& field = Field();
  return isDateType(field.DataType()) ? field.AsDateTime() : field.AsFloat();
}

std::int32_t TColumnExpression::AsInteger() const {
  if (isNullName_) return TExpression::AsInteger();
  return Field().AsInteger();
}

bool TColumnExpression::AsBoolean() const {
  if (isNullName_) return TExpression::AsBoolean();
  return Field().AsBoolean();
}

bool TColumnExpression::IsNull() const {
  return isNullName_ || Field().IsNull();
}

TExprType TColumnExpression::ExprType() const {
  if (isNullName_) return etString;
  return ExprTypeOfField(Field().DataType());
}

NameResolver ColumnResolver(const TRecordHost& host) {
  return [&host](const std::string& name, std::unique_ptr<TParameterList>&) {
    return std::make_unique<TColumnExpression>(host, name);
  };
}

}  // namespace oracle
