// A guard that holds a lock for its scope when asked to: OCILock around a ThreadSafe session's
// logon and logoff, the session lock around the OCI7 calls. Internal to the session module.
#pragma once

#include "oracle/client/OracleCriticalSection.h"

namespace oracle::internal {

class OptionalLock {
 public:
  OptionalLock(TOracleCriticalSection& section, bool take) : section_(take ? &section : nullptr) {
    if (section_ != nullptr) section_->Enter();
  }
  ~OptionalLock() {
    if (section_ != nullptr) section_->Leave();
  }
  OptionalLock(const OptionalLock&) = delete;
  OptionalLock& operator=(const OptionalLock&) = delete;

 private:
  TOracleCriticalSection* section_;
};

}  // namespace oracle::internal
