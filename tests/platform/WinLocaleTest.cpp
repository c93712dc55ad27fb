// The user's locale as Windows reports it. The expectation comes from outside: the test's
// registration runs it under Wine with the host's LANG set to a known locale, which Wine turns
// into the user's default locale; elsewhere nothing is expected and the cases are skipped.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/WinLocale.h"

namespace platform {
namespace {

TEST(WinLocale, LanguageAndDecimalSeparatorAreTheUsers) {
  const char* expectedId = std::getenv("DBL_EXPECTED_LANGID");
  const char* expectedSeparator = std::getenv("DBL_EXPECTED_DECIMAL");
  if (expectedId == nullptr || expectedSeparator == nullptr)
    GTEST_SKIP() << "no expected user locale given";
  WinLocale locale;
  EXPECT_EQ(locale.languageId(), std::stoul(expectedId, nullptr, 16));
  EXPECT_EQ(locale.decimalSeparator(), expectedSeparator[0]);
}

}  // namespace
}  // namespace platform
