// Milliseconds of std::chrono::steady_clock; sleeping with std::this_thread.
#include "platform/SteadyClock.h"

#include <chrono>
#include <thread>

namespace platform {

std::uint64_t SteadyClock::ticks() const {
  using namespace std::chrono;
  return static_cast<std::uint64_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void SteadyClock::sleep(std::uint32_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace platform
