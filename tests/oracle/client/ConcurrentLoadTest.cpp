// Concurrent first use: many threads ask for the client at once, and it is loaded once.
#include <latch>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "BindingReset.h"
#include "FakeLibraries.h"
#include "oracle/client/ClientLibrary.h"
#include "oracle/client/internal/BindingState.h"
#include "platform/Services.h"

namespace oracle {
namespace {

TEST(ConcurrentFirstUse, SixteenThreadsLoadTheLibraryOnce) {
  testing::ResetBinding();
  testing::CountingLibraries counting(platform::libraries());
  platform::Services services;
  services.libraries = &counting;
  platform::ScopedServices scoped(services);
  SetOCIDLL(DBL_FAKE_OCI80);  // OCI8 without the 8.1 calls: InitOCI calls OCIInitialize

  constexpr int kThreads = 16;
  std::latch start(kThreads);
  std::vector<std::thread> threads;
  std::vector<int> failures(kThreads, 0);
  for (int i = 0; i < kThreads; ++i) {
    threads.emplace_back([&, i] {
      start.arrive_and_wait();
      try {
        InitOCI();
        if (!UseOCI8()) failures[i] = 1;  // read after this thread's own InitOCI
      } catch (...) {
        failures[i] = 2;
      }
    });
  }
  for (auto& thread : threads) thread.join();

  EXPECT_EQ(failures, std::vector<int>(kThreads, 0));
  EXPECT_EQ(counting.loads(), 1);
  EXPECT_TRUE(OCILoaded());
  using Calls = int (*)(const char*);
  auto calls = reinterpret_cast<Calls>(
      platform::libraries().symbol(internal::State().OCILibHandle, "fake_client_calls"));
  ASSERT_NE(calls, nullptr);
  EXPECT_EQ(calls("OCIInitialize"), 1);
  EXPECT_EQ(OCILock().LockCount(), 0);
  testing::ResetBinding();
}

}  // namespace
}  // namespace oracle
