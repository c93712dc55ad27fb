// Tick counter and sleeping (GetTickCount, Sleep).
#pragma once

#include <cstdint>

namespace platform {

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since an arbitrary start, monotonic.
  virtual std::uint64_t ticks() const = 0;
  virtual void sleep(std::uint32_t milliseconds) = 0;
};

}  // namespace platform
