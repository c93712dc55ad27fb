// NOT, unary + and unary - applied to one operand.
#pragma once

#include <memory>

#include "oracle/filter/Expression.h"

namespace oracle {

class TUnaryOp : public TExpression {
 public:
  // Raises EExpression "<op> is not simple unary operator" for an operator other than NOT, +
  // and -. Asks the operand for its type, which may itself raise.
  TUnaryOp(TOperator op, std::unique_ptr<TExpression> operand);

  const TExpression& Operand() const { return *operand_; }
  TOperator Operator() const { return operator_; }
  TExprType OperandType() const { return operandType_; }

  // + and - of a Date or String operand type-check but have no value: reading such a node as
  // its own type raises "Operator <op> incompatible with <type>".
  double AsDate() const override;
  std::string AsString() const override;
  double AsFloat() const override;
  std::int32_t AsInteger() const override;
  bool AsBoolean() const override;
  TExprType ExprType() const override { return ResultType(operator_, operandType_); }

 private:
  [[noreturn]] void NoValue() const;

  std::unique_ptr<TExpression> operand_;
  TOperator operator_;
  TExprType operandType_;
};

}  // namespace oracle
