// The tick counter and sleeping through std::chrono's steady clock.
#pragma once

#include "platform/Clock.h"

namespace platform {

class SteadyClock : public Clock {
 public:
  std::uint64_t ticks() const override;
  void sleep(std::uint32_t milliseconds) override;
};

}  // namespace platform
