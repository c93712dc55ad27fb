// The logon dialog's view of the client binding.
#include "oracle/logon/ClientAccess.h"

#include "oracle/client/ClientLibrary.h"
#include "oracle/client/NetServiceNames.h"

namespace oracle {

bool ClientRunsOCI8() {
  return OCILoaded() && UseOCI8();
}

bool ClientOffersOCI8() {
  return OCILoaded() && Net8Available();
}

std::optional<std::vector<std::string>> ClientAliasList() {
  try {
    const SortedNameList* aliases = GetAliasList();
    if (aliases == nullptr) return std::nullopt;
    return aliases->names();
  } catch (const std::exception&) {
    // A client that cannot be loaded leaves the list empty; the logon itself reports why.
    return std::nullopt;
  }
}

bool ClientLoaded() {
  return OCILoaded();
}

void UnloadClient() {
  FreeOCI();
}

}  // namespace oracle
