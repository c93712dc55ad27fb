// The recursive lock with its hold counter.
#include "oracle/client/OracleCriticalSection.h"

#include <atomic>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace oracle {
namespace {

TEST(TOracleCriticalSection, RecursiveEnterCountsAndUnbalancedLeaveDoesNothing) {
  TOracleCriticalSection lock;
  EXPECT_EQ(lock.LockCount(), 0);
  lock.Leave();  // without Enter: nothing happens
  EXPECT_EQ(lock.LockCount(), 0);
  lock.Enter();
  lock.Enter();
  EXPECT_EQ(lock.LockCount(), 2);
  lock.Leave();
  EXPECT_EQ(lock.LockCount(), 1);
  lock.Leave();
  lock.Leave();
  EXPECT_EQ(lock.LockCount(), 0);
  {
    CriticalSectionGuard guard(lock);
    EXPECT_EQ(lock.LockCount(), 1);
  }
  EXPECT_EQ(lock.LockCount(), 0);
}

TEST(TOracleCriticalSection, SerializesThreadsAndIgnoresALeaveFromAnotherThread) {
  TOracleCriticalSection lock;
  lock.Enter();
  std::thread stranger([&] { lock.Leave(); });  // holds nothing: must not release ours
  stranger.join();
  EXPECT_EQ(lock.LockCount(), 1);

  std::atomic<bool> entered{false};
  std::thread waiter([&] {
    CriticalSectionGuard guard(lock);
    entered = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(entered.load());
  lock.Leave();
  waiter.join();
  EXPECT_TRUE(entered.load());

  long counter = 0;  // deliberately not atomic: the lock is what keeps it consistent
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 10000; ++i) {
        CriticalSectionGuard outer(lock);
        CriticalSectionGuard inner(lock);
        ++counter;
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(counter, 80000);
  EXPECT_EQ(lock.LockCount(), 0);
}

}  // namespace
}  // namespace oracle
