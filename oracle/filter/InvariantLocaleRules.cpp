// Used only while the build has no platform port: US English conventions with "." as the
// decimal separator. Once the port is built, PlatformLocaleRules.cpp takes this file's place.
#include "oracle/filter/internal/LocaleRules.h"
#include "platform/Locale.h"

namespace oracle::filter_internal {

LocaleRules platformLocaleRules() { return rulesForLanguage(platform::kLangEnglishUS, '.'); }

}  // namespace oracle::filter_internal
