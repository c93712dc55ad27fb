// The switches of a batch run over many targets. The program's argument parser hands every word
// it does not know itself to ParseBatchOption.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace app {

enum class ResultFormat { Table, Json };

struct BatchOptions {
  std::vector<std::string> targetFiles;  // --targets FILE (or "-" for standard input)
  std::string allAliasesAccount;         // --all-aliases USER
  bool allAliases = false;
  int jobs = 0;                               // --jobs N; 0: the number of cores
  std::chrono::milliseconds timeout{30'000};  // --timeout SECONDS
  int repeat = 1;                             // --repeat N
  ResultFormat format = ResultFormat::Table;  // --format table|json
  bool passwordFromStdin = false;             // --password-stdin
  bool quiet = false;                         // --quiet
  // Set when any switch above but --password-stdin was given: the run reports as a list of
  // targets even for one.
  bool listRun = false;
};

// Reads the switch at args[i] (and its value at args[i + 1] when it takes one), advancing i past
// what it used. Returns false when args[i] is not a batch switch; sets `error` (never quoting a
// value that could be a password) when its value is missing or wrong.
bool ParseBatchOption(const std::vector<std::string>& args, std::size_t& i, BatchOptions& options,
                      std::string& error);

// The lines of the usage text for these switches.
const char* BatchOptionsUsage();

}  // namespace app
