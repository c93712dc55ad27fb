// Versions for `dblogon --version`: the layer's own, and what the loaded client library says of
// itself.
#pragma once

#include <string>

namespace oracle {

// The version of this Oracle access layer.
inline constexpr const char* kLayerVersion = "0.1";

// The loaded client library's version as OCIClientVersion reports it ("19.3.0.0.0"); empty when
// no library is loaded or the library predates that call.
std::string ClientLibraryVersion();

// The interface level of the loaded library in words ("OCI8 with the 8.1 and 9 calls"); empty
// when none is loaded.
std::string ClientInterfaceLevel();

}  // namespace oracle
