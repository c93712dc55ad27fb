// One emulated Oracle database: a SQLite file holding the users' tables and, in tables of its
// own, the accounts, the server settings (banner, character set) and the injected faults.
// The library, the admin tool and the test support all reach the file through this class.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ociemu {

// Account statuses as the server names them.
inline constexpr const char* kStatusOpen = "OPEN";
inline constexpr const char* kStatusLocked = "LOCKED";
inline constexpr const char* kStatusExpired = "EXPIRED";
inline constexpr const char* kStatusGrace = "EXPIRED(GRACE)";

struct Account {
  std::string name;  // as the server stores it: upper case unless created quoted
  std::string status = kStatusOpen;
  int graceDays = 7;  // shown in ORA-28002 while the status is EXPIRED(GRACE)
  bool sysdba = false;
  bool sysoper = false;
  bool external = false;  // identified by the operating system (OPS$ accounts)
};

// A fault that the database injects into the calls made to it. call names an entry point
// ("OCIStmtExecute", "olog") or is "*" for every call. A non-zero code makes the call fail with
// that Oracle error (with a non-zero nth only the nth such call of each connection), delayMs
// holds the call back first, a non-zero loseAfter makes each connection drop after that many
// calls, and a non-zero loseInCall drops it in the middle of a call, after that many units of
// the server's work (rows fetched, statements of a PL/SQL block); each drop gives ORA-03113,
// then ORA-03114.
struct Fault {
  std::string call = "*";
  int code = 0;
  int delayMs = 0;
  int loseAfter = 0;
  int nth = 0;
  int loseInCall = 0;
};

class Database {
 public:
  // Makes a new database file (replacing nothing: fails when the file exists) with DUAL and the
  // server's own tables. Throws std::runtime_error.
  static std::unique_ptr<Database> Create(const std::string& file);
  // Opens an existing database; throws std::runtime_error when the file is missing, is not a
  // SQLite file or is not an emulated database.
  static std::unique_ptr<Database> Open(const std::string& file);

  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  sqlite3* Sql() const { return db_; }
  const std::string& File() const { return file_; }
  // Runs SQL without results; throws std::runtime_error with SQLite's message.
  void Exec(const std::string& sql);

  std::optional<std::string> Setting(const std::string& name) const;
  void SetSetting(const std::string& name, const std::string& value);
  std::string Banner() const;
  std::string CharacterSet() const;

  std::optional<Account> FindAccount(const std::string& name) const;
  std::vector<Account> Accounts() const;
  bool CheckPassword(const std::string& name, const std::string& password) const;
  // Adds an account or replaces one of the same name.
  void PutAccount(const Account& account, const std::string& password);
  // These throw std::runtime_error for an unknown account.
  void SetPassword(const std::string& name, const std::string& password);
  void SetStatus(const std::string& name, const std::string& status);
  void SetRights(const std::string& name, bool sysdba, bool sysoper);
  void SetGraceDays(const std::string& name, int days);
  void DropAccount(const std::string& name);

  std::vector<Fault> Faults() const;
  void AddFault(const Fault& fault);
  void ClearFaults();
  void UpgradeFaults();

  // Changes whenever another connection commits to the file (SQLite's data_version).
  int64_t DataVersion() const;

 private:
  Database(sqlite3* db, std::string file) : db_(db), file_(std::move(file)) {}
  void PrepareCatalogue();
  void ChangeAccount(const std::string& name, const std::string& sql, const std::string& value);

  sqlite3* db_;
  std::string file_;
};

// The default banner: a current release, so clients stay in their newest interface.
inline constexpr const char* kDefaultBanner =
    "Oracle Database 19c Enterprise Edition Release 19.0.0.0.0 - Production";

// The major release a banner names ("... Release 19.0.0.0.0 ..." is 19); 19 when it names none.
int ReleaseOf(const std::string& banner);

// "NAME" for an unquoted name, the inner text for a quoted one ("\"Mixed\"" -> "Mixed").
std::string NormalizeName(const std::string& name);

}  // namespace ociemu
