// Progress lines and the terminal bar.
#include "app/Progress.h"

#include <cstdio>
#include <ostream>
#include <string>

namespace app {

Progress::Progress(std::ostream& err, std::size_t total, bool terminal)
    : err_(err), total_(total), terminal_(terminal) {}

Progress::~Progress() {
  if (terminal_ && done_ > 0) err_ << "\r\033[K" << std::flush;
}

void Progress::Finished(const TargetResult& result) {
  ++done_;
  if (result.outcome != Outcome::Connected) ++failed_;
  if (!terminal_) {
    char elapsed[32];
    std::snprintf(elapsed, sizeof elapsed, "%.1f ms", result.elapsedMs);
    err_ << '[' << done_ << '/' << total_ << "] " << result.target.Display() << ": "
         << OutcomeName(result.outcome);
    if (!result.error.empty()) err_ << ": " << result.error;
    err_ << " (" << elapsed << ")\n";
    return;
  }
  constexpr std::size_t kWidth = 30;
  const std::size_t filled = total_ == 0 ? kWidth : done_ * kWidth / total_;
  err_ << "\r[" << std::string(filled, '#') << std::string(kWidth - filled, ' ') << "] " << done_
       << '/' << total_;
  if (failed_ > 0) err_ << ", " << failed_ << " not connected";
  err_ << std::flush;
}

}  // namespace app
