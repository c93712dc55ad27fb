// The recursive lock with its hold counter.
#include "oracle/client/OracleCriticalSection.h"

namespace oracle {

void TOracleCriticalSection::Enter() {
  mutex_.lock();
  owner_.store(std::this_thread::get_id(), std::memory_order_relaxed);
  lockCount_.fetch_add(1, std::memory_order_relaxed);
}

void TOracleCriticalSection::Leave() {
  // Only the owner may touch the count: unlocking a mutex held by another thread is undefined.
  if (owner_.load(std::memory_order_relaxed) != std::this_thread::get_id()) return;
  if (lockCount_.load(std::memory_order_relaxed) <= 0) return;
  if (lockCount_.fetch_sub(1, std::memory_order_relaxed) == 1) {
    owner_.store(std::thread::id{}, std::memory_order_relaxed);
  }
  mutex_.unlock();
}

}  // namespace oracle
