// The bridge from the filter's number and date conventions to the platform port's locale.
#include "oracle/filter/internal/LocaleRules.h"
#include "platform/Locale.h"
#include "platform/Services.h"

namespace oracle::filter_internal {

LocaleRules platformLocaleRules() {
  const platform::Locale& locale = platform::locale();
  return rulesForLanguage(locale.languageId(), locale.decimalSeparator());
}

}  // namespace oracle::filter_internal
