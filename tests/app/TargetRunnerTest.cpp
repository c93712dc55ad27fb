// The parallel runner with a probe that stands in for the client: order, the bound on targets in
// flight, and a target that never answers.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "app/TargetRunner.h"

namespace {

using app::Outcome;
using app::Target;
using app::TargetResult;
using app::TargetRunner;
using namespace std::chrono_literals;

std::vector<Target> numbered(int count) {
  std::vector<Target> targets;
  for (int i = 0; i < count; ++i)
    targets.push_back(*app::ParseTarget("u" + std::to_string(i) + "/p@DB", "t"));
  return targets;
}

TEST(TargetRunner, ResultsInTargetOrderWithAtMostJobsInFlight) {
  std::atomic<int> inFlight{0}, most{0};
  TargetRunner runner([&](const Target& t, int repeat) {
    const int now = ++inFlight;
    for (int seen = most.load(); now > seen && !most.compare_exchange_weak(seen, now);) {
    }
    // Later targets finish first, so completion order differs from target order.
    const int n = std::stoi(t.username.substr(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(12 - n));
    --inFlight;
    TargetResult r;
    r.target = t;
    r.outcome = Outcome::Connected;
    r.logons = repeat;
    return r;
  });
  std::vector<std::size_t> reported;
  const auto results =
      runner.Run(numbered(12), {.jobs = 3, .timeout = 10s, .repeat = 4},
                 [&](std::size_t index, const TargetResult&) { reported.push_back(index); });
  ASSERT_EQ(results.size(), 12u);
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(results[i].target.username, "u" + std::to_string(i));
    EXPECT_EQ(results[i].logons, 4);
  }
  EXPECT_LE(most.load(), 3);
  EXPECT_GE(most.load(), 2);
  EXPECT_EQ(reported.size(), 12u);
  EXPECT_TRUE(TargetRunner::WaitForThreadsInClient(5s));
}

TEST(TargetRunner, AHungTargetTimesOutAndTheOthersGoOn) {
  std::mutex mutex;
  std::condition_variable release;
  bool released = false;
  TargetRunner runner([&](const Target& t, int) {
    TargetResult r;
    r.target = t;
    if (t.username == "u1") {
      std::unique_lock lock(mutex);
      release.wait(lock, [&] { return released; });
      r.outcome = Outcome::Connected;  // too late: must not show
      return r;
    }
    r.outcome = Outcome::Connected;
    return r;
  });
  std::vector<std::size_t> reported;
  const auto start = std::chrono::steady_clock::now();
  // One job: every target after the hung one waits for its time limit, and no longer.
  const auto results =
      runner.Run(numbered(4), {.jobs = 1, .timeout = 200ms, .repeat = 1},
                 [&](std::size_t index, const TargetResult&) { reported.push_back(index); });
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_THAT(reported, testing::ElementsAre(0, 1, 2, 3));
  EXPECT_EQ(results[1].outcome, Outcome::TimedOut);
  EXPECT_EQ(results[1].error, "no answer within 0.2 s");
  for (int i : {0, 2, 3}) EXPECT_EQ(results[i].outcome, Outcome::Connected) << i;
  EXPECT_GE(took, 200ms);
  EXPECT_LT(took, 5s);

  // The abandoned thread is still counted until it returns; its late result changes nothing.
  EXPECT_EQ(TargetRunner::ThreadsInClient(), 1);
  {
    std::lock_guard lock(mutex);
    released = true;
  }
  release.notify_all();
  EXPECT_TRUE(TargetRunner::WaitForThreadsInClient(5s));
  EXPECT_EQ(results[1].outcome, Outcome::TimedOut);
}

}  // namespace
