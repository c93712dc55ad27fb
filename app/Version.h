// dblogon --version.
#pragma once

#include <iosfwd>

namespace app {

// Prints the versions of the program, of the Oracle layer and, when one loads, of the client
// library and its interface level. Always 0: a client that does not load is part of the answer.
int RunVersion(std::ostream& out);

}  // namespace app
