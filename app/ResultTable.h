// The results of a batch run as an aligned table for people: target, outcome, the time of each
// phase, the Oracle error (or warning) and the server's version.
#pragma once

#include <iosfwd>
#include <vector>

#include "app/TargetResult.h"

namespace app {

struct TableStyle {
  bool colour = false;    // the outcome in colour (only for a terminal, and never with NO_COLOR)
  bool repeated = false;  // phases as minimum/median/maximum over several logons
};

void WriteResultTable(std::ostream& out, const std::vector<TargetResult>& results,
                      const TableStyle& style);

// Colour for an output stream: a terminal and NO_COLOR unset or empty.
bool ColourWanted(int fd);

}  // namespace app
