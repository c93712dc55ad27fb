// Phase statistics and outcome names.
#include "app/TargetResult.h"

#include <algorithm>
#include <cstdio>

namespace app {

PhaseStats PhaseStats::Of(std::vector<double> samples) {
  PhaseStats stats;
  if (samples.empty()) return stats;
  std::sort(samples.begin(), samples.end());
  const std::size_t n = samples.size();
  stats.count = static_cast<int>(n);
  stats.min = samples.front();
  stats.max = samples.back();
  stats.median = n % 2 == 1 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
  return stats;
}

const char* OutcomeName(Outcome outcome) {
  switch (outcome) {
    case Outcome::Connected:
      return "connected";
    case Outcome::Failed:
      return "failed";
    case Outcome::TimedOut:
      return "timed out";
  }
  return "failed";
}

std::string FormatSeconds(std::chrono::milliseconds duration) {
  char text[32];
  std::snprintf(text, sizeof text, "%g s", static_cast<double>(duration.count()) / 1000.0);
  return text;
}

}  // namespace app
