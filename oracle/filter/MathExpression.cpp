// Evaluation of the numeric functions.
#include "oracle/filter/MathExpression.h"

#include <cmath>

#include "oracle/filter/EExpression.h"
#include "oracle/filter/internal/LocaleRules.h"

namespace oracle {
namespace {

constexpr const char* kNames[] = {"TRUNC", "ROUND", "ABS", "ARCTAN", "COS", "EXP",  "FRAC",
                                  "INT",   "LN",    "PI",  "SIN",    "SQR", "SQRT", "POWER"};

constexpr double kPi = 3.141592653589793;

bool isNumeric(const TExpression* param) {
  if (!param) return false;
  const TExprType type = param->ExprType();
  return type == etFloat || type == etInteger || type == etBoolean;
}

}  // namespace

const char* MathFunctionName(TMathFunction function) {
  return function <= mfPower ? kNames[function] : "?";
}

TExprType TMathExpression::ExprType() const {
  return function_ == mfTrunc || function_ == mfRound ? etInteger : etFloat;
}

const TExpression& TMathExpression::Arg(int index) const {
  const TExpression* param = Param(index);
  if (!param) throw EExpression(std::string("Invalid parameter to ") + kNames[function_]);
  return *param;
}

void TMathExpression::CheckParams() const {
  bool valid = true;
  if (function_ == mfPower)
    valid = ParamCount() == 2 && isNumeric(Param(0)) && isNumeric(Param(1));
  else if (function_ != mfPi)
    valid = ParamCount() == 1 && isNumeric(Param(0));
  if (!valid) throw EExpression(std::string("Invalid parameter to ") + kNames[function_]);
}

double TMathExpression::AsFloat() const {
  if (ExprType() != etFloat) return TExpression::AsFloat();
  CheckParams();
  if (function_ == mfPi) return kPi;
  const double x = Arg(0).AsFloat();
  switch (function_) {
    case mfAbs:
      return std::fabs(x);
    case mfArcTan:
      return std::atan(x);
    case mfCos:
      return std::cos(x);
    case mfExp:
      return std::exp(x);
    case mfFrac:
      return x - std::trunc(x);
    case mfInt:
      return std::trunc(x);
    case mfLn:
      return std::log(x);
    case mfSin:
      return std::sin(x);
    case mfSqr:
      return x * x;
    case mfSqrt:
      return std::sqrt(x);
    default:
      return std::exp(std::log(x) * Arg(1).AsFloat());  // POWER
  }
}

std::int32_t TMathExpression::AsInteger() const {
  if (function_ == mfAbs) {
    CheckParams();
    // 32-bit wrap-around, as the integer operators: ABS(-2147483648) stays negative.
    const auto value = static_cast<std::uint32_t>(Arg(0).AsInteger());
    return static_cast<std::int32_t>(value >> 31 ? 0u - value : value);
  }
  if (ExprType() != etInteger) return TExpression::AsInteger();
  CheckParams();
  const double x = Arg(0).AsFloat();
  // nearbyint rounds halves to the even neighbour in the default rounding mode.
  return filter_internal::toInt32(function_ == mfTrunc ? std::trunc(x) : std::nearbyint(x));
}

}  // namespace oracle
