// The user's locale as a Windows language identifier (LANGID).
#pragma once

#include <cstdint>

namespace platform {

constexpr std::uint16_t kLangEnglishUS = 0x0409;
constexpr std::uint16_t kLangNorwegianBokmal = 0x0414;
constexpr std::uint16_t kLangNorwegianNynorsk = 0x0814;

class Locale {
 public:
  virtual ~Locale() = default;
  virtual std::uint16_t languageId() const = 0;
  // The decimal separator of the user's number format ("." or ",").
  virtual char decimalSeparator() const = 0;
};

}  // namespace platform
