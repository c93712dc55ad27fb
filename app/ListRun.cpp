// Order of a list run: targets, passwords, the client loaded once in this thread, the parallel
// run, the report; the client is unloaded only when no target thread is left inside it.
#include "app/ListRun.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <thread>

#include "app/LogonProbe.h"
#include "app/PasswordSupply.h"
#include "app/Progress.h"
#include "app/ResultJson.h"
#include "app/ResultTable.h"
#include "app/Shell.h"
#include "app/TargetRunner.h"
#include "oracle/client/ClientLibrary.h"
#include "platform/Process.h"
#include "platform/Services.h"
#include "ui/console/TerminalPassword.h"

namespace app {
namespace {

// Collects the targets of every source; an error text when one of them cannot be used.
std::string gatherTargets(const std::vector<std::string>& userIds, const BatchOptions& options,
                          std::istream& in, std::vector<Target>& targets) {
  for (const std::string& value : userIds) {
    std::optional<Target> target = ParseTarget(value, "UserId=");
    if (!target) return "UserId= needs a connect string: user[/password][@database][ as sysdba]";
    targets.push_back(std::move(*target));
  }
  for (const std::string& file : options.targetFiles) {
    TargetList list;
    if (file == "-") {
      list = ReadTargets(in, "-");
    } else {
      std::ifstream stream(file);
      if (!stream) return "--targets: cannot open " + file;
      list = ReadTargets(stream, file);
    }
    if (!list.error.empty()) return "--targets " + list.error;
    for (Target& t : list.targets) targets.push_back(std::move(t));
  }
  if (options.allAliases) {
    TargetList list = AliasTargets(options.allAliasesAccount);
    if (!list.error.empty()) return "--all-aliases: " + list.error;
    for (Target& t : list.targets) targets.push_back(std::move(t));
  }
  if (targets.empty()) return "nothing to test: give UserId=, --targets FILE or --all-aliases USER";
  return {};
}

// Every target failed with the same client failure, without a thread started.
std::vector<TargetResult> allFailed(const std::vector<Target>& targets, const std::string& error) {
  std::vector<TargetResult> results;
  for (const Target& t : targets) {
    TargetResult r;
    r.target = t;
    r.error = error;
    results.push_back(std::move(r));
  }
  return results;
}

}  // namespace

ListRunEnd RunTargetList(const std::vector<std::string>& userIds, const BatchOptions& options,
                         ListRunIo& io) {
  ListRunEnd end;
  bool stdinUsed = false;
  for (const std::string& file : options.targetFiles) stdinUsed = stdinUsed || file == "-";
  if (stdinUsed && options.passwordFromStdin) {
    io.err << "dblogon: --password-stdin and --targets - cannot both read standard input\n";
    return end;
  }

  StartUnits();
  const auto started = std::chrono::steady_clock::now();
  std::vector<Target> targets;
  std::string problem = gatherTargets(userIds, options, io.in, targets);
  if (problem.empty()) {
    PasswordSources sources;
    sources.fromStandardInput = options.passwordFromStdin;
    sources.standardInput = &io.in;
    sources.environment = io.environmentPassword;
    sources.askTerminal = io.askTerminal;
    problem = SupplyPasswords(targets, sources);
  }
  if (!problem.empty()) {
    io.err << "dblogon: " << problem << '\n';
    StopUnits();
    return end;
  }

  // Loaded here, once, so that no target thread ever loads or unloads the library.
  std::string loadError;
  try {
    oracle::InitOCI();
    oracle::RestoreCurrentDir();
  } catch (const std::exception& e) {
    loadError = FirstLine(e.what());
    // The whole message once, with where the client was looked for; each target gets its line.
    std::string message = e.what();
    std::erase(message, '\r');
    io.err << "dblogon: " << message << '\n';
  }

  RunLimits limits;
  limits.jobs = options.jobs > 0 ? options.jobs : std::max(1, io.cores);
  limits.timeout = options.timeout;
  limits.repeat = options.repeat;
  // A client with only the OCI7 calls is set up for one thread (see InitOCI).
  if (loadError.empty() && !oracle::UseOCI8()) limits.jobs = 1;
  // Every session makes its own environment and handles in its target's thread and frees them
  // there: no client handle is ever shared between threads, so none needs the client's mutexes.
  // The sessions stay without ThreadSafe, which would serialize their logons under the process-
  // wide client lock and let a hung one hold up every other; and they stay off the shared
  // environment, whose calls a client may serialize (a hung attach would stall the rest).

  const bool json = options.format == ResultFormat::Json;
  std::vector<TargetResult> results;
  if (!loadError.empty()) {
    results = allFailed(targets, loadError);
    if (json && !options.quiet)
      for (const TargetResult& r : results) io.out << ResultJsonLine(r) << '\n';
  } else {
    std::optional<Progress> progress;
    if (targets.size() > 1 && !options.quiet)
      progress.emplace(io.err, targets.size(), io.errIsTerminal);
    // JSON lines go out in the order of the targets, each as soon as those before it are done.
    std::vector<std::optional<std::string>> lines(targets.size());
    std::size_t written = 0;
    TargetRunner runner(&ProbeTarget);
    results = runner.Run(targets, limits, [&](std::size_t index, const TargetResult& result) {
      if (progress) progress->Finished(result);
      if (!json || options.quiet) return;
      lines[index] = ResultJsonLine(result);
      bool any = false;
      while (written < lines.size() && lines[written]) {
        io.out << *lines[written] << '\n';
        lines[written].reset();
        ++written;
        any = true;
      }
      if (any) io.out.flush();
    });
  }

  int connected = 0, timedOut = 0;
  for (const TargetResult& r : results) {
    connected += r.outcome == Outcome::Connected;
    timedOut += r.outcome == Outcome::TimedOut;
  }
  if (options.quiet) {
    for (const TargetResult& r : results)
      if (r.outcome != Outcome::Connected)
        io.err << "dblogon: " << r.target.Display() << ": " << OutcomeName(r.outcome) << ": "
               << r.error << '\n';
  } else if (!json) {
    WriteResultTable(io.out, results,
                     TableStyle{.colour = io.colourTable, .repeated = options.repeat > 1});
  }
  if (!options.quiet && results.size() > 1) {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    char summary[160];
    std::snprintf(summary, sizeof summary,
                  "%zu targets: %d connected, %zu not connected (%d timed out), %.2f s\n",
                  results.size(), connected, results.size() - static_cast<std::size_t>(connected),
                  timedOut, seconds);
    io.err << summary;
  }
  io.out.flush();

  end.exitStatus = connected == static_cast<int>(results.size()) ? 0 : 1;
  end.clientStillInUse = TargetRunner::ThreadsInClient() > 0;
  if (!end.clientStillInUse) StopUnits();
  return end;
}

int RunTargetListProgram(const std::vector<std::string>& userIds, const BatchOptions& options) {
  ListRunIo io{.in = std::cin,
               .out = std::cout,
               .err = std::cerr,
               .environmentPassword = {},
               .askTerminal = {}};
  io.colourTable = ColourWanted(STDOUT_FILENO);
  io.errIsTerminal = ::isatty(STDERR_FILENO) == 1;
  io.cores = static_cast<int>(std::thread::hardware_concurrency());
  io.environmentPassword = platform::process().getEnv("DBLOGON_PASSWORD");
  io.askTerminal = &ui::console::ReadPasswordFromTerminal;
  const ListRunEnd end = RunTargetList(userIds, options, io);
  if (end.clientStillInUse) {
    // A thread is blocked in a client call and cannot be stopped: unloading the library or
    // running the static destructors under it could crash. Nothing is left to write, so the
    // process ends here, with the status of the run.
    std::cout.flush();
    std::cerr.flush();
    std::_Exit(end.exitStatus);
  }
  return end.exitStatus;
}

}  // namespace app
