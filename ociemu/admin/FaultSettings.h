// The admin tool's view of a database's faults: one line per fault, and removing the faults of
// one entry point while the others stay.
#pragma once

#include <string>

#include "ociemu/internal/Database.h"

namespace ociemu::admin {

// "OCIStmtExecute code 1034 on call 3 delay 200 ms": the entry point, then what the fault does.
std::string DescribeFault(const Fault& fault);

// Removes the faults set for call (named as they were set, in any case; "*" removes only those
// set for every call). The others stay, and a connection sees the change at its next call.
void ClearFaultsOf(Database& db, const std::string& call);

}  // namespace ociemu::admin
