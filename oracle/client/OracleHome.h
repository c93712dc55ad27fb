// Finding the Oracle home and choosing the client library file: the registry's home keys, the
// environment and the command line decide; every step is written to the diagnostic trace
// (OCITrace), which becomes part of the message when loading fails. Results are cached until
// FreeOCI. Nothing here raises: registry and file-system failures read as absent values.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "oracle/client/ClientLayout.h"
#include "oracle/client/SortedNameList.h"
#include "platform/Registry.h"

namespace oracle {

// ---- Process-wide discovery state -------------------------------------------------------------

// The client layout the discovery runs over (native by default).
const ClientLayout& CurrentClientLayout();
void SetClientLayout(const ClientLayout& layout);

// File name or path of the client library to load. A preset value is used unchanged and survives
// FreeOCI; one filled in by the automatic selection is cleared by FreeOCI.
std::string OCIDLL();
void SetOCIDLL(const std::string& value);
bool OCIDLLAutoSelected();
// Library file names to pass over in the first selection pass, each upper-case between double
// quotes, anywhere in the text.
std::string OCIDLLAvoidList();
void SetOCIDLLAvoidList(const std::string& value);

// The installed homes found by the last BuildHomeList (tag = HOME number, -1 for a KEY_ home);
// nullptr before the first one.
const SortedNameList* OracleHomes();
// The chosen home's name; preset, it is the preferred home and survives FreeOCI.
std::string OracleHomeName();
void SetOracleHomeName(const std::string& value);
bool OracleHomeNameAuto();
std::string OracleHomeKey();
std::string OracleHomeDir();
bool OracleHomeHasBin();
// Diagnostic lines joined by CR LF; cleared at the start of each load attempt.
std::string OCITrace();

// ---- Helpers ----------------------------------------------------------------------------------

// The value of the first command-line parameter containing Name and '=' (at most 255 characters
// from position length(Name)+2 on); empty when none.
std::string GetParamValue(const std::string& name);
// A registry value as text, or empty (absent key or value, or longer than 1023 characters).
std::string ReadRegString(platform::RootKey root, std::string_view keyPath,
                          std::string_view valueName);
// The subkey names of a key in enumeration order; empty when the key cannot be opened.
std::vector<std::string> ReadRegSubkeys(platform::RootKey root, std::string_view keyPath);
// Appends the layout's separator when Path is non-empty and does not end with one, then Part.
void AddPathPart(std::string& path, const std::string& part);
void AddTrace(const std::string& line);

// ---- Discovery --------------------------------------------------------------------------------

void BuildHomeList();
// Registry key (below HKEY_LOCAL_MACHINE) of the chosen home, or empty when there is no usable
// registry home. Cached while non-empty.
std::string GetOracleHomeKey();
// The chosen home's folder: the registry value, ORACLE_HOME, or the folder of a client library
// found along the search path. Sets OracleHomeHasBin.
std::string GetOracleHomeDir();
// The version of an older client library file name (ora73.dll gives 0.73); nullopt when invalid.
std::optional<double> LibraryVersion(const std::string& fileName);
// Full paths of the client libraries in the home: the main library first, then the versioned
// ones in enumeration order. Writes "Found: " lines when trace is set.
std::vector<std::string> FindClientLibraries(bool trace);

enum TSelectResult : int { srSelected = 0, srNoLibrary = 1, srNoHome = 3 };
// Fills OCIDLL; 0 = a library was chosen (or forced), 1 = none found, 3 = no Oracle home found.
int SelectClientLibrary();

}  // namespace oracle
