// From process start to the logon dialog on the screen: each iteration starts the probe program,
// which runs the program's start-up up to the first logon dialog, and stops the clock when the
// probe reports the dialog painted. Needs a display: run it under xvfb-run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

bool displayAvailable() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

// Starts the probe and returns the seconds until its "shown" line; nothing when it ended without
// one. The probe's exit after the dialog is not part of the measure.
std::optional<double> runProbe() {
  const auto start = std::chrono::steady_clock::now();
  int out[2];
  if (::pipe(out) != 0) return std::nullopt;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  char path[] = DBL_STARTUP_PROBE;
  char* args[] = {path, nullptr};
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, path, &actions, nullptr, args, environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  std::string seen;
  char buffer[64];
  while (spawned == 0 && seen.find("shown") == std::string::npos) {
    const ssize_t n = ::read(out[0], buffer, sizeof buffer);
    if (n <= 0) break;
    seen.append(buffer, static_cast<std::size_t>(n));
  }
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  ::close(out[0]);
  if (spawned == 0) ::waitpid(pid, nullptr, 0);
  if (seen.find("shown") == std::string::npos) return std::nullopt;
  return elapsed.count();
}

void ProcessStartToLogonDialog(benchmark::State& state) {
  if (!displayAvailable()) {
    state.SkipWithError("needs a display: run under xvfb-run");
    return;
  }
  for (auto _ : state) {
    const std::optional<double> seconds = runProbe();
    if (!seconds) {
      state.SkipWithError("the probe did not show the logon dialog");
      return;
    }
    state.SetIterationTime(*seconds);
  }
}
BENCHMARK(ProcessStartToLogonDialog)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);

}  // namespace

BENCHMARK_MAIN();
