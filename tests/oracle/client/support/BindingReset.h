// Puts the client binding back into its start-up state between tests: unloaded, no forced
// library, no preferred home, the native layout, and an empty trace.
#pragma once

#include <set>
#include <string>

#include "oracle/client/ClientLayout.h"
#include "oracle/client/ClientLibrary.h"
#include "oracle/client/NetServiceNames.h"
#include "oracle/client/OCIEntryPoints.h"
#include "oracle/client/OracleHome.h"
#include "oracle/client/internal/BindingState.h"

namespace oracle::testing {

inline void ResetBinding(const ClientLayout& layout = ClientLayout::Native()) {
  FreeOCI();
  auto& s = internal::State();
  s.OCIDLL.clear();
  s.OCIDLLAutoSelected = true;
  s.OCIDLLAvoidList.clear();
  s.OracleHomeName.clear();
  s.OracleHomeNameAuto = true;
  s.OracleHomeHasBin = true;
  s.OracleHomes.reset();
  s.OCITrace.clear();
  s.SavedCurrentDir.clear();
  s.ForceOCI7 = false;
  s.StripDefaultDomain = false;
  s.layout = layout;
}

// The names of a group in binding order.
inline std::set<std::string> GroupNames(TEntryGroup group) {
  std::set<std::string> names;
  for (const auto& entry : kEntryPoints) {
    if (entry.group == group) names.emplace(entry.name);
  }
  return names;
}

}  // namespace oracle::testing
