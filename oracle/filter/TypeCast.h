// The type casts DATE(x), STRING(x), FLOAT(x), INTEGER(x) and BOOLEAN(x): a node of the target
// type whose every read is the same read of its first parameter.
#pragma once

#include "oracle/filter/Function.h"

namespace oracle {

class TTypeCast : public TFunction {
 public:
  TTypeCast(TExprType target, std::unique_ptr<TParameterList> params)
      : TFunction(std::move(params)), target_(target) {}

  TExprType Target() const { return target_; }

  // Each raises "Invalid parameter to <cast name>" when the first parameter is missing; any
  // further parameters are ignored.
  double AsDate() const override { return Operand().AsDate(); }
  std::string AsString() const override { return Operand().AsString(); }
  double AsFloat() const override { return Operand().AsFloat(); }
  std::int32_t AsInteger() const override { return Operand().AsInteger(); }
  bool AsBoolean() const override { return Operand().AsBoolean(); }
  TExprType ExprType() const override { return target_; }

 private:
  const TExpression& Operand() const;

  TExprType target_;
};

}  // namespace oracle
