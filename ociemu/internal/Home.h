// Where the emulated client lives: its Oracle home (the folder above the library's own folder),
// the network configuration folder and the folder of database files.
#pragma once

#include <string>

namespace ociemu {

// Path of the loaded library (or program) holding this code, as it was loaded.
std::string ModulePath();
// The folder above the module's folder.
std::string OracleHome();
// TNS_ADMIN, else $ORACLE_HOME/network/admin.
std::string NetworkAdminFolder();
// OCIEMU_DATA, else $ORACLE_HOME/oradata.
std::string DataFolder();
// A non-empty environment variable, or "".
std::string EnvironmentValue(const char* name);

}  // namespace ociemu
