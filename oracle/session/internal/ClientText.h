// Texts handed to the client library. Internal to the session module.
#pragma once

#include <string>

#include "oracle/client/OCITypes.h"

namespace oracle::internal {

// The client takes non-const text pointers for input it does not change.
inline oci::OraText* ClientText(const std::string& s) {
  return reinterpret_cast<oci::OraText*>(const_cast<char*>(s.c_str()));
}

inline oci::ub4 ClientLength(const std::string& s) {
  return static_cast<oci::ub4>(s.size());
}

}  // namespace oracle::internal
