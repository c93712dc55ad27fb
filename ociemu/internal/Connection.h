// A connection to an emulated database: what an attached server handle (or an OCI7 logon)
// holds. It owns the SQLite connection and the transaction, applies the database's injected
// faults to every call that reaches the server, and authenticates user sessions.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ociemu/internal/Database.h"

namespace ociemu {

// What a successful authentication established.
struct SessionInfo {
  std::string account;  // the account that authenticated
  std::string user;     // the schema the session works in: SYS for SYSDBA, PUBLIC for SYSOPER
  int warning = 0;      // 28002 when the password is in its grace period
  int graceDays = 0;
};

class Connection {
 public:
  // Resolves the database text and opens the database, applying the faults set for
  // attachName. Throws OracleError.
  static std::shared_ptr<Connection> Attach(std::string_view connectText, const char* attachName);
  // A connection straight to a database file (the admin tool's), without naming or faults.
  static std::shared_ptr<Connection> Open(std::unique_ptr<Database> db, std::string service);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Every call that reaches the server passes here first: it counts the call, waits out a
  // delay fault, drops the connection when its call budget is spent, and fails the call with
  // the fault's code. Throws OracleError (03114 once the connection is closed or lost).
  void BeforeCall(std::string_view call);
  // One unit of the server's work inside the current call: a row fetched, a statement of a
  // PL/SQL block. A fault that strikes in the middle of a call drops the connection here.
  // Throws OracleError 3113 then.
  void Progress();
  // The connection is usable (attached and not lost).
  bool Usable() const { return !closed_ && !lost_; }
  // Detach: rolls back and closes. Later calls fail with ORA-03114.
  void Close();

  Database& Db() { return *db_; }
  sqlite3* Sql() { return db_->Sql(); }
  const std::string& Service() const { return service_; }
  std::string Banner() const { return db_->Banner(); }

  // Checks credentials and mode (OCI_SYSDBA/OCI_SYSOPER bits) for a session. external selects
  // operating-system authentication. Throws OracleError (01017, 28000, 28001, 01031 ...).
  SessionInfo Authenticate(const std::string& username, const std::string& password, bool external,
                           unsigned mode);
  // Changes an account's password after checking the old one; an expired account opens again.
  void ChangePassword(const std::string& account, const std::string& oldPassword,
                      const std::string& newPassword);

  // Transactions follow Oracle's rules over SQLite: DML starts one, commit or rollback ends it,
  // DDL commits what is pending before it runs.
  void BeginTransaction();
  void Commit();
  void Rollback();
  bool InTransaction() const { return inTransaction_; }

  // Queries with rows still to fetch. SQLite cannot drop a table a running statement reads, and
  // a rollback aborts such statements, while Oracle's open cursors go on reading what they
  // saw; so before DDL and rollback each open query reads the rest of its rows ahead.
  void OpenQuery(const void* key, std::function<void()> readAhead);
  void CloseQuery(const void* key);
  void ReadOpenQueriesAhead();

  // The schema of the session running statements now (for USER and default schemas).
  std::string currentUser;
  // Settings recorded by "alter session set name = value", lower-case names.
  std::map<std::string, std::string> sessionSettings;
  // Sequence values of this session (for CURRVAL).
  std::map<std::string, int64_t> currval;
  // Cursors open on this connection and the database's OPEN_CURSORS (0 until first read).
  int openCursors = 0;
  int openCursorLimit = 0;
  // The database character set, read once at attach.
  std::string characterSet;
  // What the PL/SQL interpreter keeps for this session (loaded units, package state).
  std::shared_ptr<void> plsqlSession;

 private:
  Connection(std::unique_ptr<Database> db, std::string service);
  void RefreshFaults();
  void ApplyFaults(std::string_view call, bool countCall);

  std::unique_ptr<Database> db_;
  std::string service_;
  std::vector<Fault> faults_;
  int64_t dataVersion_ = -1;
  sqlite3_stmt* versionStmt_ = nullptr;
  long calls_ = 0;
  std::map<const void*, std::function<void()>> openQueries_;
  // Calls per entry point name, for faults on the nth call.
  std::map<std::string, long, std::less<>> callsByName_;
  std::string currentCall_;
  long unitsInCall_ = 0;
  bool lost_ = false;
  bool closed_ = false;
  bool inTransaction_ = false;
};

// Open connections in this process (attached and not yet closed).
long LiveConnections();

// The operating-system user, for external authentication.
std::string OperatingSystemUser();

}  // namespace ociemu
