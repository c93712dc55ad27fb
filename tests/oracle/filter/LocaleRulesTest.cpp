// Number and date texts in the user's conventions, and the character helpers.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "FilterFixture.h"
#include "oracle/filter/EExpression.h"
#include "oracle/filter/internal/LocaleRules.h"
#include "oracle/filter/internal/Text.h"

namespace oracle::filter_test {
namespace {

using filter_internal::formatDateTime;
using filter_internal::formatFloat;
using filter_internal::parseDateTime;

TEST(LocaleRules, FollowTheLanguage) {
  const LocaleRules english = rulesForLanguage(platform::kLangEnglishUS, '.');
  EXPECT_EQ(english.dateOrder, LocaleRules::doMonthDayYear);
  EXPECT_EQ(english.dateSeparator, '/');
  for (auto language : {platform::kLangNorwegianBokmal, platform::kLangNorwegianNynorsk}) {
    const LocaleRules norwegian = rulesForLanguage(language, ',');
    EXPECT_EQ(norwegian.dateOrder, LocaleRules::doDayMonthYear);
    EXPECT_EQ(norwegian.dateSeparator, '.');
    EXPECT_EQ(norwegian.decimalSeparator, ',');
  }
}

TEST(FormatFloat, UsesFifteenSignificantDigits) {
  const double inf = std::numeric_limits<double>::infinity();
  const std::pair<double, const char*> kRows[] = {
      {0.0, "0"},
      {-0.0, "0"},
      {1e15, "1E15"},
      {123456789012345.0, "123456789012345"},
      {0.0001, "0.0001"},
      {0.00001, "1E-5"},
      {1.5e-7, "1.5E-7"},
      {1e300, "1E300"},
      {-2.5, "-2.5"},
      {2.0 / 3.0, "0.666666666666667"},
      {inf, "INF"},
      {-inf, "-INF"},
      {std::nan(""), "NAN"},
  };
  for (const auto& [value, text] : kRows) EXPECT_EQ(formatFloat(value, '.'), text) << value;
  EXPECT_EQ(formatFloat(-2.5e-9, ','), "-2,5E-9");
}

TEST(FormatDateTime, WritesTheShortDateAndTheTimeWhenThereIsOne) {
  struct Row {
    double value;
    const char* english;
    const char* norwegian;
  };
  const Row kRows[] = {
      {date(2003, 2, 1), "2/1/2003", "01.02.2003"},
      {date(2003, 2, 1, 13, 5), "2/1/2003 1:05:00 PM", "01.02.2003 13:05:00"},
      {date(2003, 2, 1, 0, 30), "2/1/2003 12:30:00 AM", "01.02.2003 00:30:00"},
      {date(2003, 2, 1, 12, 0), "2/1/2003 12:00:00 PM", "01.02.2003 12:00:00"},
      {-1.25, "12/29/1899 6:00:00 AM", "29.12.1899 06:00:00"},
      {date(1, 1, 1), "1/1/0001", "01.01.0001"},
      {date(9999, 12, 31, 23, 59), "12/31/9999 11:59:00 PM", "31.12.9999 23:59:00"},
  };
  for (const Row& row : kRows) {
    EXPECT_EQ(formatDateTime(row.value, englishRules()), row.english);
    EXPECT_EQ(formatDateTime(row.value, norwegianRules()), row.norwegian);
    // The text reads back to the same value (to the second).
    EXPECT_EQ(parseDateTime(row.english, englishRules()), row.value) << row.english;
    EXPECT_EQ(parseDateTime(row.norwegian, norwegianRules()), row.value) << row.norwegian;
  }
  for (double bad : {date(1, 1, 1) - 1, date(9999, 12, 31) + 1, std::nan(""), 1e300}) {
    EXPECT_THROW(formatDateTime(bad, englishRules()), EExpression) << bad;
  }
}

TEST(ParseDateTime, ReadsDatesTimesAndBoth) {
  const int thisYear = decodeDateTime(now()).year;
  struct Row {
    const char* text;
    bool norwegian;
    std::optional<double> value;
  };
  const Row kRows[] = {
      {"12/17/1980", false, date(1980, 12, 17)},
      {" 12/17/80 ", false, date(1980, 12, 17)},
      {"1/2/49", false, date(2049, 1, 2)},
      {"1/2/50", false, date(1950, 1, 2)},
      {"12/17", false, date(thisYear, 12, 17)},
      {"1/2/2000 13:30:15", false, date(2000, 1, 2, 13, 30) + 15.0 / 86400},
      {"1/2/2000 1:30PM", false, date(2000, 1, 2, 13, 30)},
      {"1/2/2000 12:30 am", false, date(2000, 1, 2, 0, 30)},
      {"1:30 PM", false, date(1899, 12, 30, 13, 30)},
      {"13:30", false, date(1899, 12, 30, 13, 30)},
      {"17.12.1980", true, date(1980, 12, 17)},
      {"1.2.03 7:05", true, date(2003, 2, 1, 7, 5)},
      {"13/1/2000", false, std::nullopt},
      {"2/30/2000", false, std::nullopt},
      {"1/2/2000 13:30 PM", false, std::nullopt},
      {"1/2/2000 x", false, std::nullopt},
      {"1/2/2000 10", false, std::nullopt},
      {"1.2.2000", false, std::nullopt},
      {"1/2/10000", false, std::nullopt},
      {"12", false, std::nullopt},
      {"", false, std::nullopt},
      {"24:00", false, std::nullopt},
  };
  for (const Row& row : kRows) {
    EXPECT_EQ(parseDateTime(row.text, row.norwegian ? norwegianRules() : englishRules()), row.value)
        << row.text;
  }
}

TEST(ToInt32, TruncatesInsideTheRangeAndRefusesOutside) {
  EXPECT_EQ(filter_internal::toInt32(2147483647.9), 2147483647);
  EXPECT_EQ(filter_internal::toInt32(-2147483648.9), -2147483647 - 1);
  EXPECT_EQ(filter_internal::toInt32(-2.9), -2);
  for (double bad : {2147483648.0, -2147483649.0, std::nan(""), 1e300}) {
    EXPECT_THROW(filter_internal::toInt32(bad), EExpression) << bad;
  }
}

TEST(TextHelpers, CountAndUpperCaseCharacters) {
  using filter_internal::charCount;
  using filter_internal::upperLocale;
  EXPECT_EQ(charCount("abc"), 3u);
  EXPECT_EQ(charCount("ÆØÅ"), 3u);
  EXPECT_EQ(charCount("\xff\xc3"), 2u);          // stray bytes count one each
  EXPECT_EQ(charCount("\xe0\x80\x80"), 3u);      // an overlong form is no character
  EXPECT_EQ(charCount("\xf0\x9f\x98\x80"), 1u);  // U+1F600
  EXPECT_EQ(upperLocale("smith æøå àþ ÿ"), "SMITH ÆØÅ ÀÞ Ÿ");
  EXPECT_EQ(upperLocale("ß ÷ µ \xff"), "ß ÷ µ \xff");
  EXPECT_EQ(filter_internal::upperAscii("abcæ"), "ABCæ");
}

}  // namespace
}  // namespace oracle::filter_test
