#include <gtest/gtest.h>

#include "platform/SteadyClock.h"

namespace platform {
namespace {

TEST(SteadyClock, SleepingAdvancesTheTicksAtLeastThatFar) {
  SteadyClock clock;
  const std::uint64_t start = clock.ticks();
  clock.sleep(20);
  const std::uint64_t end = clock.ticks();
  EXPECT_GE(end - start, 20u);
  EXPECT_GE(clock.ticks(), end);  // monotonic
}

}  // namespace
}  // namespace platform
