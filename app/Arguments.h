// The program's own switches. Everything else on the command line (UserId=, OCIDLL=,
// ORACLEHOME=) is read by the layer itself from the process arguments.
#pragma once

#include <string>
#include <vector>

#include "app/BatchOptions.h"

namespace app {

enum class FrontEnd { Automatic, Gui, Console };
enum class Mode { Interactive, Batch, Diagnose, Help };

struct Arguments {
  FrontEnd frontEnd = FrontEnd::Automatic;
  Mode mode = Mode::Interactive;
  std::vector<std::string> passOn;  // the arguments the layer sees
  BatchOptions batch;               // the switches of a run over many targets
  std::string error;                // non-empty: a usage error
};

Arguments ParseArguments(const std::vector<std::string>& args);

// The usage text for --help and usage errors.
std::string UsageText();

}  // namespace app
