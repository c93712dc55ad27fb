// What a batch run found out about one target: the outcome, the Oracle error or warning, the
// server, and the time each phase of the logons took.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "app/Target.h"

namespace app {

enum class Outcome { Connected, Failed, TimedOut };

// Minimum, median and maximum of one phase over the logons of a target; count 0 when the phase
// never ran.
struct PhaseStats {
  int count = 0;
  double min = 0;
  double median = 0;
  double max = 0;

  static PhaseStats Of(std::vector<double> samples);
};

struct TargetResult {
  Target target;
  Outcome outcome = Outcome::Failed;
  std::int32_t errorCode = 0;  // the Oracle error number; 0 for none or a failure without one
  std::string error;           // one line: "ORA-01017: invalid username/password; logon denied"
  std::string warning;         // a logon that worked with a warning (ORA-28002 ...)
  std::string serverVersion;
  int logons = 0;        // logons that were attempted (up to the repeat count)
  PhaseStats attach;     // attaching the server (OCI8 mode)
  PhaseStats session;    // beginning the session (the logon call in OCI7 mode)
  PhaseStats logoff;     // ending the session and detaching the server
  double elapsedMs = 0;  // the whole target, from its start to its result
};

const char* OutcomeName(Outcome outcome);

// "30 s", "0.5 s": a time limit as people write it.
std::string FormatSeconds(std::chrono::milliseconds duration);

}  // namespace app
