// GetUserDefaultLangID and GetLocaleInfoEx.
#include "platform/WinLocale.h"

#include <windows.h>

#include <iterator>

namespace platform {

std::uint16_t WinLocale::languageId() const {
  return static_cast<std::uint16_t>(::GetUserDefaultLangID());
}

char WinLocale::decimalSeparator() const {
  wchar_t separator[8] = {};
  if (::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator,
                        static_cast<int>(std::size(separator))) == 0) {
    return '.';
  }
  const wchar_t first = separator[0];
  return first > 0 && first < 0x80 ? static_cast<char>(first) : '.';
}

}  // namespace platform
