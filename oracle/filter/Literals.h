// Constant nodes: a string, a double, a 32-bit integer or a Boolean written in the filter text.
#pragma once

#include <cstdint>
#include <string>

#include "oracle/filter/Expression.h"

namespace oracle {

class TStringLiteral : public TExpression {
 public:
  explicit TStringLiteral(std::string value) : value_(std::move(value)) {}
  const std::string& Value() const { return value_; }

  // Read as a date, the text is parsed by the common conversion of String.
  std::string AsString() const override { return value_; }
  TExprType ExprType() const override { return etString; }

 private:
  std::string value_;
};

class TFloatLiteral : public TExpression {
 public:
  explicit TFloatLiteral(double value) : value_(value) {}
  double Value() const { return value_; }

  double AsFloat() const override { return value_; }
  double AsDate() const override { return value_; }
  std::string AsString() const override;
  TExprType ExprType() const override { return etFloat; }

 private:
  double value_;
};

class TIntegerLiteral : public TExpression {
 public:
  explicit TIntegerLiteral(std::int32_t value) : value_(value) {}
  std::int32_t Value() const { return value_; }

  std::int32_t AsInteger() const override { return value_; }
  double AsFloat() const override { return value_; }
  double AsDate() const override { return value_; }
  std::string AsString() const override { return std::to_string(value_); }
  TExprType ExprType() const override { return etInteger; }

 private:
  std::int32_t value_;
};

class TBooleanLiteral : public TExpression {
 public:
  explicit TBooleanLiteral(bool value) : value_(value) {}
  bool Value() const { return value_; }

  bool AsBoolean() const override { return value_; }
  std::int32_t AsInteger() const override { return value_ ? 1 : 0; }
  std::string AsString() const override { return value_ ? "TRUE" : "FALSE"; }
  TExprType ExprType() const override { return etBoolean; }

 private:
  bool value_;
};

}  // namespace oracle
