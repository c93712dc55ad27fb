// What the logon dialog asks of the client binding: its interface level, the net service names,
// and unloading. Kept in one place so the dialog does not depend on how the binding is built.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace oracle {

// True when the loaded client library runs in OCI8 mode.
bool ClientRunsOCI8();
// True when the client library is loaded and offers the OCI8 interface.
bool ClientOffersOCI8();
// The net service names of the client configuration (loads the library on first use); nullopt
// when they cannot be had.
std::optional<std::vector<std::string>> ClientAliasList();
// True when the client library is loaded.
bool ClientLoaded();
// Unloads the client library.
void UnloadClient();

}  // namespace oracle
