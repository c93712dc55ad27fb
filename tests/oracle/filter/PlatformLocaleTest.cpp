// The filter takes its decimal separator and date conventions from the platform port's locale.
#include <gtest/gtest.h>

#include "oracle/filter/ParseFilter.h"
#include "platform/Locale.h"
#include "platform/Services.h"

namespace oracle {
namespace {

class FakeLocale : public platform::Locale {
 public:
  FakeLocale(std::uint16_t language, char separator) : language_(language), separator_(separator) {}
  std::uint16_t languageId() const override { return language_; }
  char decimalSeparator() const override { return separator_; }

 private:
  std::uint16_t language_;
  char separator_;
};

std::string evaluate(platform::Locale& locale, const char* text) {
  platform::Services services;
  services.locale = &locale;
  const platform::ScopedServices scope(services);
  return ParseFilter(text, {})->AsString();
}

TEST(PlatformLocale, DecidesNumbersAndDates) {
  FakeLocale norwegian(platform::kLangNorwegianBokmal, ',');
  EXPECT_EQ(evaluate(norwegian, "STRING(DATE('1.2.2003') + 2,5)"), "03.02.2003 12:00:00");
  EXPECT_EQ(evaluate(norwegian, "STRING(1 / 4)"), "0,25");
  FakeLocale english(platform::kLangEnglishUS, '.');
  EXPECT_EQ(evaluate(english, "STRING(DATE('2/1/2003') + 2.5)"), "2/3/2003 12:00:00 PM");
  EXPECT_EQ(evaluate(english, "STRING(1 / 4)"), "0.25");
}

}  // namespace
}  // namespace oracle
