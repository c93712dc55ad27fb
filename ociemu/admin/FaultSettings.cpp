#include "ociemu/admin/FaultSettings.h"

#include <strings.h>

#include <sstream>
#include <vector>

namespace ociemu::admin {

std::string DescribeFault(const Fault& f) {
  std::ostringstream line;
  line << f.call;
  if (f.code) line << " code " << f.code;
  if (f.code && f.nth) line << " on call " << f.nth;
  if (f.delayMs) line << " delay " << f.delayMs << " ms";
  if (f.loseAfter) line << " lose after " << f.loseAfter << " calls";
  if (f.loseInCall) line << " lose in call after " << f.loseInCall << " rows or statements";
  return line.str();
}

void ClearFaultsOf(Database& db, const std::string& call) {
  // One transaction, so that a connection reading the faults meanwhile sees the old set or the
  // new one, never the faults of other calls missing.
  db.Exec("begin immediate");
  try {
    const std::vector<Fault> faults = db.Faults();
    db.ClearFaults();
    for (const auto& f : faults) {
      if (strcasecmp(f.call.c_str(), call.c_str()) != 0) db.AddFault(f);
    }
    db.Exec("commit");
  } catch (...) {
    db.Exec("rollback");
    throw;
  }
}

}  // namespace ociemu::admin
