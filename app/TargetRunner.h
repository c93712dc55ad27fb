// Runs the targets of a batch in parallel, each in a thread of its own with a time limit.
//
// Threads: every target runs in a new thread that owns the target's session from creation to
// destruction, so no client handle is ever used by two threads. The calling thread only starts
// targets, waits and reports. A target that passes its time limit is reported as timed out and
// its thread abandoned: a thread blocked inside a client call cannot be stopped, so it is left to
// finish on its own; its late result is dropped. Such a thread still uses the client library, so
// the library must stay loaded while StrayThreads() is not 0.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "app/Target.h"
#include "app/TargetResult.h"

namespace app {

struct RunLimits {
  int jobs = 1;                               // targets in flight at once
  std::chrono::milliseconds timeout{30'000};  // per target, all its logons together
  int repeat = 1;                             // logons per target
};

class TargetRunner {
 public:
  using Probe = std::function<TargetResult(const Target&, int repeat)>;
  // Called in the caller's thread as each target ends (finished or timed out), in that order.
  using Finished = std::function<void(std::size_t index, const TargetResult&)>;

  explicit TargetRunner(Probe probe);
  ~TargetRunner();
  TargetRunner(const TargetRunner&) = delete;
  TargetRunner& operator=(const TargetRunner&) = delete;

  // The results in the order of `targets`.
  std::vector<TargetResult> Run(const std::vector<Target>& targets, const RunLimits& limits,
                                const Finished& finished = {});

  // Target threads of every run in the process that have not returned yet: after Run, those of
  // timed-out targets.
  static int ThreadsInClient();
  // Waits up to `limit` for them; true when none is left.
  static bool WaitForThreadsInClient(std::chrono::milliseconds limit);

 private:
  struct Board;
  Probe probe_;
};

}  // namespace app
