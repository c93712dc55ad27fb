// The parameter of a type cast.
#include "oracle/filter/TypeCast.h"

#include "oracle/filter/EExpression.h"

namespace oracle {
namespace {

constexpr const char* kNames[] = {"DATE", "STRING", "FLOAT", "INTEGER", "BOOLEAN"};

}  // namespace

const TExpression& TTypeCast::Operand() const {
  const TExpression* param = Param(0);
  if (!param)
    throw EExpression(std::string("Invalid parameter to ") +
                      (target_ <= etBoolean ? kNames[target_] : "?"));
  return *param;
}

}  // namespace oracle
