// Evaluation of the comparisons.
#include "oracle/filter/RelationalOp.h"

#include <algorithm>

#include "oracle/filter/EExpression.h"
#include "oracle/filter/PatternMatch.h"
#include "oracle/filter/internal/Text.h"

namespace oracle {
namespace {

TOperator checkedRelational(TOperator op) {
  if (op < opEq || op > opGTE)
    throw EExpression(std::string(OperatorName(op)) + " is not relational operator");
  return op;
}

// Applies the operator with the built-in comparisons, so doubles keep the IEEE rules: NaN is
// neither equal to nor ordered with anything, and differs from everything.
template <typename T>
bool compare(TOperator op, const T& a, const T& b) {
  switch (op) {
    case opEq:
      return a == b;
    case opNEQ:
      return a != b;
    case opLT:
      return a < b;
    case opGT:
      return a > b;
    case opLTE:
      return a <= b;
    default:
      return a >= b;
  }
}

}  // namespace

TRelationalOp::TRelationalOp(TOperator op, std::unique_ptr<TExpression> left,
                             std::unique_ptr<TExpression> right)
    : left_(std::move(left)), right_(std::move(right)), operator_(checkedRelational(op)) {
  if (!left_ || !right_) throw EExpression("Missing operand of " + std::string(OperatorName(op)));
}

bool TRelationalOp::AsBoolean() const {
  const bool leftNull = left_->IsNull();
  const bool rightNull = right_->IsNull();
  if (leftNull || rightNull) {
    if (operator_ == opEq) return leftNull && rightNull;
    if (operator_ == opNEQ) return !(leftNull && rightNull);
    return false;
  }
  const TExprType leftType = left_->ExprType();
  switch (std::min(leftType, right_->ExprType())) {
    case etDate: {
      const double a = left_->AsDate();
      return compare(operator_, a, right_->AsDate());
    }
    case etFloat: {
      const double a = left_->AsFloat();
      return compare(operator_, a, right_->AsFloat());
    }
    case etInteger: {
      const std::int32_t a = left_->AsInteger();
      return compare(operator_, a, right_->AsInteger());
    }
    case etString: {
      std::string a = left_->AsString();
      std::string b = right_->AsString();
      if (CaseInsensitive()) {
        a = filter_internal::upperLocale(std::move(a));
        b = filter_internal::upperLocale(std::move(b));
      }
      if (PartialMatch() && (operator_ == opEq || operator_ == opNEQ))
        return MatchesPattern(a, b) == (operator_ == opEq);
      // std::string compares by unsigned byte values; a prefix is less than the longer text.
      return compare(operator_, a.compare(b), 0);
    }
    case etBoolean:
      if (operator_ == opEq || operator_ == opNEQ) {
        const bool a = left_->AsBoolean();
        return compare(operator_, a, right_->AsBoolean());
      }
      throw EExpression(std::string("cannot apply ") + OperatorName(operator_) +
                        " to boolean operands");
  }
  return false;
}

}  // namespace oracle
