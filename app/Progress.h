// Progress of a batch run on standard error: a line per finished target, or on a terminal one
// bar redrawn in place.
#pragma once

#include <cstddef>
#include <iosfwd>

#include "app/TargetResult.h"

namespace app {

class Progress {
 public:
  Progress(std::ostream& err, std::size_t total, bool terminal);
  // Takes the bar off the screen.
  ~Progress();
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  void Finished(const TargetResult& result);

 private:
  std::ostream& err_;
  std::size_t total_;
  bool terminal_;
  std::size_t done_ = 0;
  std::size_t failed_ = 0;
};

}  // namespace app
