// The program's command line: its own switches, and the KEY=VALUE settings the layer reads
// itself from the process arguments (UserId=, OCIDLL=, ORACLEHOME=).
//
// Both are described by tables (kSwitches, kSettings in Arguments.cpp): a new switch or setting is
// a new row. Switches of one group exclude each other; a setting may be given once, or more than
// once only where its row allows it.
#pragma once

#include <string>
#include <vector>

#include "app/BatchOptions.h"

namespace app {

enum class FrontEnd { Automatic, Gui, Console };
enum class Mode { Interactive, Batch, Diagnose, Help, Version };

struct Arguments {
  FrontEnd frontEnd = FrontEnd::Automatic;
  Mode mode = Mode::Interactive;
  std::vector<std::string> passOn;  // the arguments the layer sees: the settings, as given
  BatchOptions batch;               // the switches of a batch run over many targets
  std::string error;                // non-empty: a usage error, one line naming the problem
};

// Reads the arguments after the program name. A usage error stops at the first problem.
Arguments ParseArguments(const std::vector<std::string>& args);

// The usage text for --help and usage errors.
std::string UsageText();

}  // namespace app
