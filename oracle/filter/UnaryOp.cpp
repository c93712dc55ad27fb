// Evaluation of NOT, unary + and unary -.
#include "oracle/filter/UnaryOp.h"

#include "oracle/filter/EExpression.h"

namespace oracle {
namespace {

TOperator checkedUnary(TOperator op) {
  if (op != opNot && op != opPlus && op != opMinus)
    throw EExpression(std::string(OperatorName(op)) + " is not simple unary operator");
  return op;
}

}  // namespace

TUnaryOp::TUnaryOp(TOperator op, std::unique_ptr<TExpression> operand)
    : operand_(std::move(operand)), operator_(checkedUnary(op)), operandType_(etDate) {
  if (!operand_) throw EExpression("Missing operand of " + std::string(OperatorName(op)));
  operandType_ = operand_->ExprType();
}

void TUnaryOp::NoValue() const {
  throw EExpression(std::string("Operator ") + OperatorName(operator_) + " incompatible with " +
                    ExprTypeName(operandType_));
}

double TUnaryOp::AsDate() const {
  if (operator_ != opNot && operandType_ == etDate) NoValue();
  return TExpression::AsDate();
}

std::string TUnaryOp::AsString() const {
  if (operator_ != opNot && operandType_ == etString) NoValue();
  return TExpression::AsString();
}

double TUnaryOp::AsFloat() const {
  switch (operator_) {
    case opPlus:
      return operand_->AsFloat();
    case opMinus:
      return -operand_->AsFloat();
    default:
      return TExpression::AsFloat();
  }
}

std::int32_t TUnaryOp::AsInteger() const {
  switch (operator_) {
    case opPlus:
      return operand_->AsInteger();
    case opMinus:  // 32-bit wrap-around: -(-2147483648) stays -2147483648
      return static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(operand_->AsInteger()));
    default:
      if (operandType_ == etInteger) return ~operand_->AsInteger();
      if (operandType_ == etBoolean) return AsBoolean() ? 1 : 0;
      return TExpression::AsInteger();
  }
}

bool TUnaryOp::AsBoolean() const {
  if (operator_ == opNot) return !operand_->AsBoolean();
  return TExpression::AsBoolean();
}

}  // namespace oracle
