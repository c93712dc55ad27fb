// The user's locale from the POSIX locale variables, as a Windows language identifier.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/Locale.h"

namespace platform {

// The variables are read through the process service each time, so a test's fake environment
// (or a setEnv) is seen. Language: LC_ALL, else LC_MESSAGES, else LANG, the first that is set and
// not empty. Number format: LC_ALL, else LC_NUMERIC, else LANG.
class PosixLocale : public Locale {
 public:
  std::uint16_t languageId() const override;
  char decimalSeparator() const override;
};

// A POSIX locale name ("nb_NO.UTF-8", "de_DE@euro", "sv") as a LANGID. Empty, "C", "POSIX" and
// unknown languages give US English (0x0409); a known language in an unknown territory gives that
// language's main variant.
std::uint16_t languageIdOfLocaleName(std::string_view localeName);
// The decimal separator of a POSIX locale name: ',' for the languages that write a decimal comma,
// '.' otherwise (also for "C", "POSIX" and empty).
char decimalSeparatorOfLocaleName(std::string_view localeName);

}  // namespace platform
