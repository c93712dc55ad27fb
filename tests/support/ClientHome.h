// An emulated Oracle home for the session's tests, with the binding pointed at its library, and
// the counters of the loaded copy of that library.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "ociemu/testing/OracleHome.h"
#include "oracle/client/ClientLibrary.h"
#include "oracle/client/OracleHome.h"
#include "oracle/session/SessionUnit.h"

namespace sessiontest {

using ociemu::testing::Variant;

inline std::string osUser() {
  const passwd* pw = getpwuid(geteuid());
  return pw != nullptr ? pw->pw_name : "";
}

// A home with database DB: scott/tiger, SYS with SYSDBA, OPER with SYSOPER, LOCKED, EXPIRED,
// GRACE, and the operating-system user as an external account.
class ClientHome {
 public:
  explicit ClientHome(Variant variant = Variant::Full) : home(variant), db(home.CreateDatabase("DB")) {
    home.SetTnsNames("DB = (DESCRIPTION = (ADDRESS = (PROTOCOL = TCP)(HOST = localhost)(PORT = 1521))"
                     "(CONNECT_DATA = (SERVICE_NAME = DB)))\n");
    using ociemu::testing::Status;
    db.AddAccount("SCOTT", "tiger");
    db.AddAccount("SYS", "oracle", Status::Open, {.sysdba = true, .sysoper = true});
    db.AddAccount("OPER", "oper", Status::Open, {.sysdba = false, .sysoper = true});
    db.AddAccount("LOCKED", "locked", Status::Locked);
    db.AddAccount("EXPIRED", "expired", Status::Expired);
    db.AddAccount("GRACE", "grace", Status::ExpiredGrace);
    db.AddExternalAccount(osUser());
    // Found as a user's client is found: through ORACLE_HOME.
    const char* previous = std::getenv("ORACLE_HOME");
    if (previous != nullptr) previousOracleHome_ = previous;
    hadOracleHome_ = previous != nullptr;
    setenv("ORACLE_HOME", home.Path().c_str(), 1);
    oracle::FreeOCI();
    oracle::SetOCIDLL("");
  }
  ~ClientHome() {
    oracle::FreeOCI();
    oracle::SetOCIDLL("");
    if (hadOracleHome_)
      setenv("ORACLE_HOME", previousOracleHome_.c_str(), 1);
    else
      unsetenv("ORACLE_HOME");
  }
  ClientHome(const ClientHome&) = delete;
  ClientHome& operator=(const ClientHome&) = delete;

  // Counters of the library the binding loaded (-1 while it is not loaded).
  long liveHandles() const { return counter(&ociemu::testing::LiveHandles); }
  long liveConnections() const { return counter(&ociemu::testing::LiveConnections); }
  long calls(const char* entryPoint) const {
    void* lib = dlopen(home.LibraryPath().c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (lib == nullptr) return -1;
    const long n = ociemu::testing::CallCount(lib, entryPoint);
    dlclose(lib);
    return n;
  }

  ociemu::testing::OracleHome home;
  ociemu::testing::TestDatabase db;

 private:
  std::string previousOracleHome_;
  bool hadOracleHome_ = false;

  long counter(long (*read)(void*)) const {
    void* lib = dlopen(home.LibraryPath().c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (lib == nullptr) return -1;
    const long n = read(lib);
    dlclose(lib);
    return n;
  }
};

}  // namespace sessiontest
