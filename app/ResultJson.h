// The results of a batch run as JSON lines for programs: one object per target with every field
// (see the README for their meaning).
#pragma once

#include <iosfwd>
#include <string>

#include "app/TargetResult.h"

namespace app {

// One line, without the line break.
std::string ResultJsonLine(const TargetResult& result);

}  // namespace app
