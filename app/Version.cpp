// The versions of everything a logon test depends on, for bug reports and support calls.
#include "app/Version.h"

#include <exception>
#include <ostream>

#include "oracle/client/ClientLibrary.h"
#include "oracle/client/ClientVersion.h"
#include "oracle/client/OracleHome.h"

namespace app {

int RunVersion(std::ostream& out) {
  out << "dblogon " << DBLOGON_VERSION << '\n';
  out << "Oracle access layer " << oracle::kLayerVersion << '\n';
  try {
    oracle::InitOCI();
  } catch (const std::exception&) {
    // Not an error here: the line below says so, and --diagnose tells why.
  }
  if (!oracle::OCILoaded()) {
    out << "Oracle client: none loaded ('dblogon --diagnose' shows why)\n";
    return 0;
  }
  const std::string version = oracle::ClientLibraryVersion();
  out << "Oracle client: " << oracle::OCIDLL() << ", "
      << (version.empty() ? "version not reported" : "version " + version) << ", "
      << oracle::ClientInterfaceLevel() << '\n';
  oracle::FreeOCI();
  return 0;
}

}  // namespace app
