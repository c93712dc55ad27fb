// The logon dialog's view of the client binding. Until the binding is built in, no client is
// loaded: no OCI8 interface, no net service names, nothing to unload.
#include "oracle/logon/ClientAccess.h"

namespace oracle {

bool ClientRunsOCI8() { return false; }
bool ClientOffersOCI8() { return false; }
std::optional<std::vector<std::string>> ClientAliasList() { return std::nullopt; }
void UnloadClient() {}

}  // namespace oracle
