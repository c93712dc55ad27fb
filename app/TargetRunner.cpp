// The parallel run: a bounded number of target threads, a deadline for each, results collected
// on one board under one lock.
#include "app/TargetRunner.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <system_error>
#include <thread>

namespace app {

// Shared by one run and its target threads, so that an abandoned thread can still drop its
// result after the run has ended.
struct TargetRunner::Board {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::optional<TargetResult>> results;
  std::vector<bool> abandoned;
  std::deque<std::size_t> finished;  // indices whose result has arrived, not yet reported
};

namespace {

// Every target thread of the process, counted until it has let go of its session.
struct LiveThreads {
  std::mutex mutex;
  std::condition_variable changed;
  int count = 0;
};

LiveThreads& liveThreads() {
  // Never destroyed: a stray thread may still count itself out while the process exits.
  static auto* threads = new LiveThreads;
  return *threads;
}

}  // namespace

TargetRunner::TargetRunner(Probe probe) : probe_(std::move(probe)) {}

TargetRunner::~TargetRunner() = default;

int TargetRunner::ThreadsInClient() {
  LiveThreads& threads = liveThreads();
  std::lock_guard lock(threads.mutex);
  return threads.count;
}

bool TargetRunner::WaitForThreadsInClient(std::chrono::milliseconds limit) {
  LiveThreads& threads = liveThreads();
  std::unique_lock lock(threads.mutex);
  return threads.changed.wait_for(lock, limit, [&] { return threads.count == 0; });
}

std::vector<TargetResult> TargetRunner::Run(const std::vector<Target>& targets,
                                            const RunLimits& limits, const Finished& finished) {
  using Clock = std::chrono::steady_clock;
  const std::size_t count = targets.size();
  const std::size_t jobs = static_cast<std::size_t>(std::max(1, limits.jobs));
  // A board per run: a thread abandoned in an earlier run must not write into this one's.
  const auto board = std::make_shared<Board>();
  std::vector<TargetResult> results(count);
  std::vector<Clock::time_point> deadlines(count);
  std::set<std::size_t> inFlight;
  std::size_t next = 0, done = 0;

  std::unique_lock lock(board->mutex);
  board->results.assign(count, std::nullopt);
  board->abandoned.assign(count, false);

  const auto report = [&](std::size_t index, TargetResult result) {
    results[index] = std::move(result);
    ++done;
    if (!finished) return;
    // Reporting writes output; the target threads must not wait for it.
    lock.unlock();
    finished(index, results[index]);
    lock.lock();
  };

  while (done < count) {
    while (inFlight.size() < jobs && next < count) {
      const std::size_t index = next++;
      deadlines[index] = Clock::now() + limits.timeout;
      {
        LiveThreads& threads = liveThreads();
        std::lock_guard countLock(threads.mutex);
        ++threads.count;
      }
      try {
        std::thread([board, index, target = targets[index], probe = probe_,
                     repeat = limits.repeat] {
          TargetResult result = probe(target, repeat);
          // Out of the client before the result is posted: once the run has every result, no
          // thread of a finished target is counted any more.
          {
            LiveThreads& threads = liveThreads();
            std::lock_guard countLock(threads.mutex);
            --threads.count;
            threads.changed.notify_all();
          }
          std::lock_guard threadLock(board->mutex);
          if (!board->abandoned[index]) {
            board->results[index] = std::move(result);
            board->finished.push_back(index);
          }
          board->changed.notify_all();
        }).detach();
        inFlight.insert(index);
      } catch (const std::system_error& e) {
        {
          LiveThreads& threads = liveThreads();
          std::lock_guard countLock(threads.mutex);
          --threads.count;
        }
        TargetResult failed;
        failed.target = targets[index];
        failed.error = std::string("could not start a thread: ") + e.what();
        report(index, std::move(failed));
      }
    }
    if (board->finished.empty() && !inFlight.empty()) {
      Clock::time_point earliest = Clock::time_point::max();
      for (std::size_t index : inFlight) earliest = std::min(earliest, deadlines[index]);
      board->changed.wait_until(lock, earliest, [&] { return !board->finished.empty(); });
    }
    while (!board->finished.empty()) {
      const std::size_t index = board->finished.front();
      board->finished.pop_front();
      inFlight.erase(index);
      report(index, std::move(*board->results[index]));
    }
    const Clock::time_point now = Clock::now();
    for (auto it = inFlight.begin(); it != inFlight.end();) {
      const std::size_t index = *it;
      if (deadlines[index] > now) {
        ++it;
        continue;
      }
      board->abandoned[index] = true;
      it = inFlight.erase(it);
      TargetResult timedOut;
      timedOut.target = targets[index];
      timedOut.outcome = Outcome::TimedOut;
      timedOut.error = "no answer within " + FormatSeconds(limits.timeout);
      timedOut.elapsedMs = std::chrono::duration<double, std::milli>(limits.timeout).count();
      report(index, std::move(timedOut));
      // report() may have let go of the lock: the loop goes on over a set it alone changes.
    }
  }
  return results;
}

}  // namespace app
