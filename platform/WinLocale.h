// The user's locale as Windows keeps it (Control Panel, Region).
#pragma once

#include "platform/Locale.h"

namespace platform {

// The language of the user's default locale (GetUserDefaultLangID) and the decimal separator of
// the user's number format (LOCALE_SDECIMAL), read at each call so a change shows at once.
class WinLocale : public Locale {
 public:
  std::uint16_t languageId() const override;
  // The separator's first character; '.' when the user's format has none or a non-ASCII one.
  char decimalSeparator() const override;
};

}  // namespace platform
