// A home with one database "orcl" and an account for every logon outcome, the client loaded
// from it, and a small OCI8 session helper that keeps the handles a logon needs.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ociemu/OciClient.h"
#include "ociemu/testing/OracleHome.h"

namespace ociemu::test {

// Sets or clears an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_.c_str(), old_->c_str(), 1);
    } else {
      unsetenv(name_.c_str());
    }
  }

 private:
  std::string name_;
  std::optional<std::string> old_;
};

// The error code and text the error (or environment) handle holds in record 1.
struct ErrorRecord {
  sb4 code = 0;
  std::string text;
};

class Oci8Session {
 public:
  explicit Oci8Session(OciClient& oci, ub4 envMode = OCI_THREADED | OCI_OBJECT);
  ~Oci8Session();

  sword Attach(const std::string& database);
  sword Begin(const std::string& user, const std::string& password, ub4 mode = OCI_DEFAULT);
  sword BeginExternal(ub4 mode = OCI_DEFAULT);
  sword End();
  sword Detach();
  // Attach and begin; true on OCI_SUCCESS or OCI_SUCCESS_WITH_INFO.
  bool LogOn(const std::string& user, const std::string& password,
             const std::string& database = "orcl", ub4 mode = OCI_DEFAULT);
  void LogOff();
  ErrorRecord Error(ub4 record = 1) const;
  std::string ServerVersion();

  OciClient& oci;
  OCIEnv* env = nullptr;
  OCIError* err = nullptr;
  OCISvcCtx* svc = nullptr;
  OCIServer* srv = nullptr;
  OCISession* sess = nullptr;
};

// Runs one statement on a fresh statement handle: queries are executed without fetching.
sword Exec(Oci8Session& s, const std::string& sql);
// All rows of a query, each column fetched as text ("<null>" for NULL); fails the test on an
// error.
using Rows = std::vector<std::vector<std::string>>;
Rows Query(Oci8Session& s, const std::string& sql);

class ClientTest : public ::testing::Test {
 protected:
  explicit ClientTest(testing::Variant variant = testing::Variant::Full);
  void SetUp() override;

  testing::OracleHome home;
  testing::TestDatabase db;
  std::unique_ptr<OciClient> client;
  ScopedEnv tnsAdmin{"TNS_ADMIN", nullptr};
  ScopedEnv data{"OCIEMU_DATA", nullptr};
  ScopedEnv sid{"ORACLE_SID", nullptr};
  ScopedEnv twoTask{"TWO_TASK", nullptr};
};

// SCOTT logged on over the full client; every statement prepared through Prepare is freed at
// the end, so a failing assertion leaks nothing into the live-handle counts of later tests.
class ScottStatementTest : public ClientTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  OCIStmt* Prepare(const std::string& sql);
  sword Execute(OCIStmt* stmt, ub4 iters, ub4 mode = OCI_DEFAULT);

  Oci8Session s{*client};

 private:
  std::vector<OCIStmt*> statements_;
};

}  // namespace ociemu::test
