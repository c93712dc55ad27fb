// The string functions UPPER, LOWER, COPY, POS and LENGTH.
#pragma once

#include "oracle/filter/Function.h"

namespace oracle {

enum TStringFunction : std::uint8_t { sfUpper, sfLower, sfCopy, sfPos, sfLength };

// "UPPER", "LOWER", "COPY", "POS", "LENGTH".
const char* StringFunctionName(TStringFunction function);

// Before each evaluation the parameters are checked: UPPER, LOWER and LENGTH take one
// parameter, POS two, COPY three; none may be of type Date, and COPY's position and count must
// be Integer or Boolean. A failing check raises "Invalid parameter to <name>". Positions and
// lengths count characters, from 1.
class TStringExpression : public TFunction {
 public:
  TStringExpression(TStringFunction function, std::unique_ptr<TParameterList> params)
      : TFunction(std::move(params)), function_(function) {}

  TStringFunction Function() const { return function_; }

  std::string AsString() const override;
  std::int32_t AsInteger() const override;
  // String for UPPER, LOWER, COPY; Integer for POS, LENGTH.
  TExprType ExprType() const override;

 private:
  void CheckParams() const;
  // Parameter index after CheckParams, as a reference.
  const TExpression& Arg(int index) const;

  TStringFunction function_;
};

}  // namespace oracle
