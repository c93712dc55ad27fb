// Choosing and running the program's front end, and the client diagnostics.
#pragma once

#include <iosfwd>

#include "app/Arguments.h"

namespace app {

// Qt when a display is available (or --gui), the console otherwise (or --console).
int RunWithFrontEnd(FrontEnd frontEnd, int& argc, char** argv);

// Prints what the client discovery found; 0 when the client library loaded, 1 when not.
int RunDiagnose(std::ostream& out);

}  // namespace app
