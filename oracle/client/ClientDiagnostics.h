// What `dblogon --diagnose` prints: why the client library did or did not load (the discovery
// trace, the operating system loader's own reasons, the environment that steered the search,
// the interface level) and where the net service names come from, with the names themselves.
#pragma once

#include <string>

namespace oracle {

struct ClientDiagnosis {
  bool loaded = false;  // the client library is loaded and initialized
  std::string report;   // lines ending in '\n'
};

// Loads the client library if it is not loaded yet (InitOCI), builds the alias list, and reports
// both. Never raises; a load failure is part of the report, with the whole
// "Initialization error" message. A library already loaded is reported as it is.
ClientDiagnosis DiagnoseClient();

}  // namespace oracle
