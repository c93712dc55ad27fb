// The branch choice of IF.
#include "oracle/filter/Conditional.h"

#include "oracle/filter/EExpression.h"

namespace oracle {

const TExpression& TConditional::Chosen() const {
  const TExpression* condition = Param(0);
  const TExpression* whenTrue = Param(1);
  const TExpression* whenFalse = Param(2);
  if (ParamCount() != 3 || !condition || !whenTrue || !whenFalse ||
      condition->ExprType() != etBoolean)
    throw EExpression("Invalid parameters to If");
  return condition->AsBoolean() ? *whenTrue : *whenFalse;
}

}  // namespace oracle
