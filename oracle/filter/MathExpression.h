// The numeric functions TRUNC, ROUND, ABS, ARCTAN, COS, EXP, FRAC, INT, LN, PI, SIN, SQR, SQRT
// and POWER.
#pragma once

#include "oracle/filter/Function.h"

namespace oracle {

enum TMathFunction : std::uint8_t {
  mfTrunc,
  mfRound,
  mfAbs,
  mfArcTan,
  mfCos,
  mfExp,
  mfFrac,
  mfInt,
  mfLn,
  mfPi,
  mfSin,
  mfSqr,
  mfSqrt,
  mfPower
};

// "TRUNC" .. "POWER".
const char* MathFunctionName(TMathFunction function);

// Before each evaluation the parameters are checked: POWER takes two, PI takes any and ignores
// them, every other function takes one; each must be of type Float, Integer or Boolean. A
// failing check raises "Invalid parameter to <name>". Results are IEEE doubles (LN(0) is minus
// infinity, SQRT(-1) NaN); TRUNC and ROUND raise "Integer overflow" outside the 32-bit range.
class TMathExpression : public TFunction {
 public:
  TMathExpression(TMathFunction function, std::unique_ptr<TParameterList> params)
      : TFunction(std::move(params)), function_(function) {}

  TMathFunction Function() const { return function_; }

  double AsFloat() const override;
  // TRUNC and ROUND; ABS gives the absolute value of its parameter read as an integer.
  std::int32_t AsInteger() const override;
  // Integer for TRUNC and ROUND, Float for the rest.
  TExprType ExprType() const override;

 private:
  void CheckParams() const;
  // Parameter index after CheckParams, as a reference.
  const TExpression& Arg(int index) const;

  TMathFunction function_;
};

}  // namespace oracle
