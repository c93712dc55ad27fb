// TOracleCriticalSection: the layer's recursive lock with a hold counter, used for OCILock and for
// the locks of sessions, session pools and the compressor.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>

namespace oracle {

// Threading contract: any thread may Enter; the owning thread may Enter again (recursive) and
// must Leave as often as it entered. LockCount is the owner's hold count.
class TOracleCriticalSection {
 public:
  TOracleCriticalSection() = default;
  TOracleCriticalSection(const TOracleCriticalSection&) = delete;
  TOracleCriticalSection& operator=(const TOracleCriticalSection&) = delete;
  ~TOracleCriticalSection() = default;

  void Enter();
  // Does nothing when the calling thread holds no Enter: a Leave without a matching Enter is
  // harmless, also from a thread that never entered while another one holds the lock.
  void Leave();
  std::int32_t LockCount() const { return lockCount_.load(std::memory_order_relaxed); }

 private:
  std::recursive_mutex mutex_;
  std::atomic<std::int32_t> lockCount_{0};
  std::atomic<std::thread::id> owner_{};
};

// Holds a TOracleCriticalSection for the lifetime of a scope.
class CriticalSectionGuard {
 public:
  explicit CriticalSectionGuard(TOracleCriticalSection& section) : section_(section) {
    section_.Enter();
  }
  ~CriticalSectionGuard() { section_.Leave(); }
  CriticalSectionGuard(const CriticalSectionGuard&) = delete;
  CriticalSectionGuard& operator=(const CriticalSectionGuard&) = delete;

 private:
  TOracleCriticalSection& section_;
};

}  // namespace oracle
