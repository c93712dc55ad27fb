#include "oracle/core/DateTime.h"

#include <gtest/gtest.h>

namespace oracle {
namespace {

struct DateCase {
  CivilDateTime civil;
  double days;
};

TEST(DateTime, KnownDatesEncodeAndDecode) {
  const DateCase cases[] = {
      {{1899, 12, 30, 0, 0, 0, 0}, 0.0},
      {{1899, 12, 31, 0, 0, 0, 0}, 1.0},
      {{1900, 1, 1, 12, 0, 0, 0}, 2.5},
      {{2000, 2, 29, 0, 0, 0, 0}, 36585.0},
      {{1899, 12, 29, 6, 0, 0, 0}, -1.25},  // before the origin the fraction still counts forward
      {{1, 1, 1, 0, 0, 0, 0}, -693593.0},
      {{9999, 12, 31, 0, 0, 0, 0}, 2958465.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.days);
    ASSERT_TRUE(encodeDateTime(c.civil).has_value());
    EXPECT_DOUBLE_EQ(*encodeDateTime(c.civil), c.days);
    EXPECT_EQ(decodeDateTime(c.days), c.civil);
  }
}

TEST(DateTime, RejectsImpossibleDatesAndTimes) {
  EXPECT_FALSE(encodeDate(1900, 2, 29));
  EXPECT_FALSE(encodeDate(2023, 13, 1));
  EXPECT_FALSE(encodeDate(0, 1, 1));
  EXPECT_FALSE(encodeTime(24, 0, 0, 0));
  EXPECT_TRUE(encodeDate(2024, 2, 29));
}

TEST(DateTime, DecodeRoundsToTheMillisecondAcrossMidnight) {
  const double almostNextDay = *encodeDate(2020, 1, 1) + 0.9999999999;
  const CivilDateTime c = decodeDateTime(almostNextDay);
  EXPECT_EQ(c, (CivilDateTime{2020, 1, 2, 0, 0, 0, 0}));
  EXPECT_EQ(formatIsoDateTime(*encodeDateTime({2021, 3, 4, 5, 6, 7, 0})), "2021-03-04 05:06:07");
}

}  // namespace
}  // namespace oracle
