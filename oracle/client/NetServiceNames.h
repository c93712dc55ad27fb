// The net service names configured on this machine: where tnsnames.ora is, the default domain of
// sqlnet.ora beside it, and the aliases of tnsnames.ora and of every file it includes with ifile.
// Locating the file depends on the loaded client, so asking for the list loads the library.
#pragma once

#include <string>
#include <vector>

#include "oracle/client/SortedNameList.h"

namespace oracle {

// Full path of tnsnames.ora once located (empty before).
std::string TNSNamesFile();
// Process-wide switch: strip any configured default domain from alias names (otherwise only a
// default domain of "world" is stripped).
bool StripDefaultDomain();
void SetStripDefaultDomain(bool value);

// The alias list, built on first request; nullptr when it cannot be built (no client). The list
// stays owned by the binding and lives until FreeOCI; callers only read it.
const SortedNameList* GetAliasList();
// Clears (creating if needed) the alias list and fills it from GetTNSNamesFile(). Passes on the
// "Initialization error" of a client that cannot be loaded.
void BuildAliasList();
// The path of tnsnames.ora: TNS_ADMIN, the registry's TNS_ADMIN values, the registry's network
// folder, or the home's network admin folder. Loads the client library first; raises when it
// cannot be loaded.
std::string GetTNSNamesFile();
// names.default_domain of the sqlnet.ora beside tnsnames.ora, or empty. Only a non-empty value
// is kept; an empty one is looked up again next time.
std::string GetDefaultDomain();
// Adds the aliases of one tnsnames.ora file (and of the files it includes) to the alias list.
// A missing file adds nothing. An include cycle is read once round and then stops.
void ParseTNSNames(const std::string& path);

// Splits a name list like a comma-separated text: commas and characters of code 32 or below
// separate items, and an item may be enclosed in double quotes (a doubled quote standing for one).
std::vector<std::string> SplitNameList(const std::string& text);

}  // namespace oracle
