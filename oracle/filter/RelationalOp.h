// Comparisons: =, <>, <, >, <=, >= with the null rules, case-insensitive comparison and
// wildcard patterns for strings.
#pragma once

#include <memory>

#include "oracle/filter/Expression.h"

namespace oracle {

class TRelationalOp : public TExpression {
 public:
  // Raises EExpression "<op> is not relational operator" for an operator below opEq.
  TRelationalOp(TOperator op, std::unique_ptr<TExpression> left,
                std::unique_ptr<TExpression> right);

  const TExpression& Left() const { return *left_; }
  const TExpression& Right() const { return *right_; }
  TOperator Operator() const { return operator_; }

  // A null operand: = holds only when both are null, <> fails only when both are null, and
  // every ordering fails. Otherwise both are compared in their common type (the lower of the
  // two); strings compare by byte values, and with PartialMatch = and <> match the left text
  // against the right one taken as a pattern (see MatchesPattern).
  bool AsBoolean() const override;
  std::string AsString() const override { return AsBoolean() ? "TRUE" : "FALSE"; }
  double AsFloat() const override { return AsBoolean() ? 1 : 0; }
  std::int32_t AsInteger() const override { return AsBoolean() ? 1 : 0; }
  TExprType ExprType() const override { return etBoolean; }

 private:
  std::unique_ptr<TExpression> left_;
  std::unique_ptr<TExpression> right_;
  TOperator operator_;
};

}  // namespace oracle
