// The arithmetic, string, bitwise and Boolean operators between two operands.
#pragma once

#include <memory>

#include "oracle/filter/Expression.h"

namespace oracle {

// Both operands are read as the node's own type, and both are always evaluated, except that a
// Boolean AND whose left operand is false, or OR whose left operand is true, never reads the
// right one.
//
// A left-associative chain (a OR b OR c ..., 1 + 2 + 3 ...) is a left spine of binary nodes as
// long as the text. Reads walk such a spine in a loop, and destruction unlinks it first, so the
// length of a chain never costs stack; only the nesting of its operands does.
class TBinaryOp : public TExpression {
 public:
  // Raises EExpression "<op> is not a simple binary operator" for NOT or a relational operator.
  // Asks both operands for their types, which may itself raise.
  TBinaryOp(TOperator op, std::unique_ptr<TExpression> left, std::unique_ptr<TExpression> right);
  ~TBinaryOp() override;

  const TExpression& Left() const { return *left_; }
  const TExpression& Right() const { return *right_; }
  TOperator Operator() const { return operator_; }
  TExprType CommonType() const { return commonType_; }

  double AsDate() const override;
  std::string AsString() const override;
  double AsFloat() const override;
  std::int32_t AsInteger() const override;
  // Evaluates AND, OR or XOR on the operands' Boolean values, whatever the node's type.
  bool AsBoolean() const override;
  TExprType ExprType() const override { return ResultType(operator_, commonType_); }

 private:
  [[noreturn]] void InternalError(int code) const;
  // This node's value of each type, given its left operand's value in that type.
  double DateStep(double left) const;
  double FloatStep(double left) const;
  std::int32_t IntegerStep(std::int32_t left) const;
  bool BooleanStep(bool left) const;

  std::unique_ptr<TExpression> left_;
  std::unique_ptr<TExpression> right_;
  TOperator operator_;
  TExprType commonType_;
};

}  // namespace oracle
