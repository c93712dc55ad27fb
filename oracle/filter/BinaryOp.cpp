// Evaluation of the binary operators. Integer arithmetic wraps around at 32 bits; float
// arithmetic is IEEE (a division by zero gives an infinity or NaN, not an error).
#include "oracle/filter/BinaryOp.h"

#include <algorithm>
#include <limits>

#include "oracle/filter/EExpression.h"

namespace oracle {
namespace {

TOperator checkedBinary(TOperator op) {
  if (op == opNot || op >= opEq)
    throw EExpression(std::string(OperatorName(op)) + " is not a simple binary operator");
  return op;
}

std::uint32_t bits(std::int32_t value) {
  return static_cast<std::uint32_t>(value);
}
std::int32_t wrap(std::uint32_t value) {
  return static_cast<std::int32_t>(value);
}

}  // namespace

TBinaryOp::TBinaryOp(TOperator op, std::unique_ptr<TExpression> left,
                     std::unique_ptr<TExpression> right)
    : left_(std::move(left)),
      right_(std::move(right)),
      operator_(checkedBinary(op)),
      commonType_(etDate) {
  if (!left_ || !right_) throw EExpression("Missing operand of " + std::string(OperatorName(op)));
  const TExprType leftType = left_->ExprType();
  commonType_ = std::min(leftType, right_->ExprType());
}

void TBinaryOp::InternalError(int code) const {
  throw EExpression("Internal parser error. Code " + std::to_string(code));
}

double TBinaryOp::AsDate() const {
  switch (ExprType()) {
    case etDate:
      if (operator_ == opPlus) return left_->AsDate() + right_->AsDate();
      if (operator_ == opMinus) return left_->AsDate() - right_->AsDate();
      InternalError(14);
    case etBoolean:
      return AsBoolean() ? 1 : 0;
    default:
      return TExpression::AsDate();
  }
}

std::string TBinaryOp::AsString() const {
  if (ExprType() != etString) return TExpression::AsString();
  if (operator_ != opPlus) InternalError(10);
  std::string text = left_->AsString();
  text += right_->AsString();
  return text;
}

double TBinaryOp::AsFloat() const {
  if (ExprType() != etFloat) return TExpression::AsFloat();
  const double a = left_->AsFloat();
  const double b = right_->AsFloat();
  switch (operator_) {
    case opMult:
      return a * b;
    case opDivide:
      return a / b;
    case opPlus:
      return a + b;
    case opMinus:
      return a - b;
    default:
      InternalError(11);
  }
}

std::int32_t TBinaryOp::AsInteger() const {
  if (ExprType() != etInteger) return TExpression::AsInteger();
  const std::int32_t a = left_->AsInteger();
  const std::int32_t b = right_->AsInteger();
  switch (operator_) {
    case opMult:
      return wrap(bits(a) * bits(b));
    case opDiv:
      if (b == 0) throw EExpression("Division by zero");
      if (b == -1) return wrap(0u - bits(a));  // -2147483648 DIV -1 wraps to itself
      return a / b;
    case opMod:
      if (b == 0) throw EExpression("Division by zero");
      if (b == -1) return 0;
      return a % b;
    case opAnd:
      return a & b;
    case opOr:
      return a | b;
    case opXor:
      return a ^ b;
    case opShl:
      return wrap(bits(a) << (bits(b) & 31u));
    case opShr:
      return wrap(bits(a) >> (bits(b) & 31u));
    case opPlus:
      return wrap(bits(a) + bits(b));
    case opMinus:
      return wrap(bits(a) - bits(b));
    default:
      InternalError(12);
  }
}

bool TBinaryOp::AsBoolean() const {
  switch (operator_) {
    case opAnd:
      return left_->AsBoolean() && right_->AsBoolean();
    case opOr:
      return left_->AsBoolean() || right_->AsBoolean();
    case opXor: {
      const bool a = left_->AsBoolean();
      return a != right_->AsBoolean();
    }
    default:
      InternalError(13);
  }
}

}  // namespace oracle
