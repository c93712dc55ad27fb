// dblogon --batch: the automatic first test only, for scripts.
#pragma once

#include <iosfwd>

namespace app {

// Runs the logon of the "UserId=" argument and prints what the dialog would have shown and the
// outcome. 0 when connected, 1 when not, 2 when there is no "UserId=" argument.
int RunBatch(std::ostream& out, std::ostream& err);

}  // namespace app
