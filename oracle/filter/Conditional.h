// The IF(condition, a, b) function.
#pragma once

#include "oracle/filter/Function.h"

namespace oracle {

// Each read (and the type) first checks for exactly three parameters with a Boolean condition,
// else raises "Invalid parameters to If"; it then evaluates the condition and makes the same
// read of a when it holds, of b when not. So asking for the type evaluates the condition.
class TConditional : public TFunction {
 public:
  explicit TConditional(std::unique_ptr<TParameterList> params) : TFunction(std::move(params)) {}

  double AsDate() const override { return Chosen().AsDate(); }
  std::string AsString() const override { return Chosen().AsString(); }
  double AsFloat() const override { return Chosen().AsFloat(); }
  std::int32_t AsInteger() const override { return Chosen().AsInteger(); }
  bool AsBoolean() const override { return Chosen().AsBoolean(); }
  TExprType ExprType() const override { return Chosen().ExprType(); }

 private:
  const TExpression& Chosen() const;
};

}  // namespace oracle
