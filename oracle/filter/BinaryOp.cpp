// Evaluation of the binary operators. Integer arithmetic wraps around at 32 bits; float
// arithmetic is IEEE (a division by zero gives an infinity or NaN, not an error).
#include "oracle/filter/BinaryOp.h"

#include <algorithm>
#include <limits>
#include <vector>

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

bool isBooleanOperator(TOperator op) {
  return op == opAnd || op == opOr || op == opXor;
}

// The binary node `node` is, when it continues a chain, or null.
template <typename Continues>
const TBinaryOp* chainLink(const TExpression& node, Continues continues) {
  const auto* link = dynamic_cast<const TBinaryOp*>(&node);
  return link != nullptr && continues(*link) ? link : nullptr;
}

// Evaluates `top` and the chain of left operands that `continues` accepts from the bottom up in
// a loop: `read` reads the operand below the chain, `step` turns a link's left value into its
// own, in place. Without a chain below, this is one read and one step.
template <typename T, typename Continues, typename Read, typename Step>
T foldChain(const TBinaryOp& top, Continues continues, Read read, Step step) {
  const TBinaryOp* below = chainLink(top.Left(), continues);
  if (below == nullptr) {
    T value = read(top.Left());
    step(top, value);
    return value;
  }
  std::vector<const TBinaryOp*> links{&top};
  for (; below != nullptr; below = chainLink(below->Left(), continues)) links.push_back(below);
  T value = read(links.back()->Left());
  for (auto link = links.rbegin(); link != links.rend(); ++link) step(**link, value);
  return value;
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

TBinaryOp::~TBinaryOp() {
  // Unlinks the left spine one link at a time: destroying it as it stands would nest one
  // destructor call per link of the chain.
  std::unique_ptr<TExpression> next = std::move(left_);
  while (auto* link = dynamic_cast<TBinaryOp*>(next.get())) {
    std::unique_ptr<TExpression> below = std::move(link->left_);
    next = std::move(below);  // destroys the link, whose left operand is gone already
  }
}

void TBinaryOp::InternalError(int code) const {
  throw EExpression("Internal parser error. Code " + std::to_string(code));
}

double TBinaryOp::DateStep(double left) const {
  if (operator_ == opPlus) return left + right_->AsDate();
  if (operator_ == opMinus) return left - right_->AsDate();
  InternalError(14);
}

double TBinaryOp::AsDate() const {
  switch (ExprType()) {
    case etDate:
      return foldChain<double>(
          *this, [](const TBinaryOp& link) { return link.ExprType() == etDate; },
          [](const TExpression& operand) { return operand.AsDate(); },
          [](const TBinaryOp& link, double& value) { value = link.DateStep(value); });
    case etBoolean:
      return AsBoolean() ? 1 : 0;
    default:
      return TExpression::AsDate();
  }
}

std::string TBinaryOp::AsString() const {
  if (ExprType() != etString) return TExpression::AsString();
  if (operator_ != opPlus) InternalError(10);
  // A string node is always +: every link of the chain appends its right operand.
  return foldChain<std::string>(
      *this, [](const TBinaryOp& link) { return link.ExprType() == etString; },
      [](const TExpression& operand) { return operand.AsString(); },
      [](const TBinaryOp& link, std::string& value) {
        if (link.operator_ != opPlus) link.InternalError(10);
        value += link.right_->AsString();
      });
}

double TBinaryOp::FloatStep(double left) const {
  const double b = right_->AsFloat();
  switch (operator_) {
    case opMult:
      return left * b;
    case opDivide:
      return left / b;
    case opPlus:
      return left + b;
    case opMinus:
      return left - b;
    default:
      InternalError(11);
  }
}

double TBinaryOp::AsFloat() const {
  if (ExprType() != etFloat) return TExpression::AsFloat();
  return foldChain<double>(
      *this, [](const TBinaryOp& link) { return link.ExprType() == etFloat; },
      [](const TExpression& operand) { return operand.AsFloat(); },
      [](const TBinaryOp& link, double& value) { value = link.FloatStep(value); });
}

std::int32_t TBinaryOp::IntegerStep(std::int32_t a) const {
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

std::int32_t TBinaryOp::AsInteger() const {
  if (ExprType() != etInteger) return TExpression::AsInteger();
  return foldChain<std::int32_t>(
      *this, [](const TBinaryOp& link) { return link.ExprType() == etInteger; },
      [](const TExpression& operand) { return operand.AsInteger(); },
      [](const TBinaryOp& link, std::int32_t& value) { value = link.IntegerStep(value); });
}

bool TBinaryOp::BooleanStep(bool left) const {
  switch (operator_) {
    case opAnd:
      return left && right_->AsBoolean();
    case opOr:
      return left || right_->AsBoolean();
    case opXor:
      return left != right_->AsBoolean();
    default:
      InternalError(13);
  }
}

bool TBinaryOp::AsBoolean() const {
  if (!isBooleanOperator(operator_)) InternalError(13);
  return foldChain<bool>(
      *this, [](const TBinaryOp& link) { return isBooleanOperator(link.Operator()); },
      [](const TExpression& operand) { return operand.AsBoolean(); },
      [](const TBinaryOp& link, bool& value) { value = link.BooleanStep(value); });
}

}  // namespace oracle
