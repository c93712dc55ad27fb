// The float literal's text, in the user's conventions.
#include "oracle/filter/Literals.h"

#include "oracle/filter/internal/LocaleRules.h"

namespace oracle {

std::string TFloatLiteral::AsString() const {
  return filter_internal::formatFloat(value_, filter_internal::localeRules().decimalSeparator);
}

}  // namespace oracle
