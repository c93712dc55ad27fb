// Test support for everything that needs an Oracle client: a complete emulated Oracle home in
// a temporary folder (lib/libclntsh.so of a chosen variant, lib/liboramts.so,
// network/admin/tnsnames.ora, oradata/ with databases), its databases with accounts, banner and
// faults, and ociemu's diagnostic counters read from a loaded library.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

namespace ociemu {
class Database;
}

namespace ociemu::testing {

// The client library variants: the OCI7 call set only; OCI8 without the 8.1 calls; with them;
// with the Net 9 fetch; the full set with the session pool (what a current client offers).
enum class Variant { Oci7, Oci8, Oci81, Net9, Full };

const char* VariantName(Variant variant);
// The built libclntsh.so and liboramts.so of a variant.
std::filesystem::path VariantLibrary(Variant variant);
std::filesystem::path VariantOraMts(Variant variant);
// The demo home the build makes: DEMO and its companion names, the demo database with SCOTT/TIGER
// (EMP, DEPT), SYSTEM/MANAGER (SYSDBA), OPERATOR/OPERATOR (SYSOPER), LOCKED_USER/LOCKED,
// EXPIRED_USER/EXPIRED and GRACE_USER/GRACE.
std::filesystem::path DemoHome();

enum class Status { Open, Locked, Expired, ExpiredGrace };

struct Rights {
  bool sysdba = false;
  bool sysoper = false;
};

// A database of a home, open for changes. Every change is committed at once and seen by
// connections made later and by the faults of connections already open.
class TestDatabase {
 public:
  explicit TestDatabase(const std::filesystem::path& file);
  ~TestDatabase();
  TestDatabase(TestDatabase&&) noexcept;
  TestDatabase& operator=(TestDatabase&&) noexcept;

  const std::filesystem::path& File() const { return file_; }

  // Adds (or replaces) a database account; name is upper-cased unless quoted.
  void AddAccount(const std::string& name, const std::string& password,
                  Status status = Status::Open, Rights rights = {});
  // Adds the account OPS$<user> identified by the operating system (for external logons).
  void AddExternalAccount(const std::string& osUser, Rights rights = {});
  void SetStatus(const std::string& name, Status status);
  void SetPassword(const std::string& name, const std::string& password);
  void SetRights(const std::string& name, Rights rights);
  // Days shown by ORA-28002 while the account is in its grace period.
  void SetGraceDays(const std::string& name, int days);
  bool CheckPassword(const std::string& name, const std::string& password) const;

  // The text OCIServerVersion returns.
  void SetBanner(const std::string& banner);
  // "AL32UTF8" (the default) or a single-byte set such as "WE8MSWIN1252".
  void SetCharacterSet(const std::string& charset);

  // Faults. call is an entry point name ("OCISessionBegin", "olog") or "*" for every call.
  void FailCall(const std::string& call, int oracleCode);
  // Fails only the nth call of that name on each connection (counting from 1).
  void FailNthCall(const std::string& call, int oracleCode, int nth);
  // Drops each connection in the middle of a call of that name, after so many rows fetched or
  // written (or PL/SQL statements run) in it.
  void LoseConnectionInCall(const std::string& call, int units);
  void DelayCall(const std::string& call, int milliseconds);
  // Each connection answers n calls, then ORA-03113 and ORA-03114 for the rest.
  void LoseConnectionAfter(int calls);
  void ClearFaults();

  // Runs SQLite SQL directly on the file (setting up tables and rows).
  void ExecuteRaw(const std::string& sql);

 private:
  std::filesystem::path file_;
  std::unique_ptr<Database> db_;
};

// An Oracle home in a fresh temporary folder, removed again by the destructor. The client
// library is a copy of the variant's, so homes in one process never share a loaded library.
class OracleHome {
 public:
  explicit OracleHome(Variant variant = Variant::Full);
  ~OracleHome();
  OracleHome(const OracleHome&) = delete;
  OracleHome& operator=(const OracleHome&) = delete;

  const std::filesystem::path& Path() const { return root_; }
  std::filesystem::path LibraryPath() const { return root_ / "lib" / "libclntsh.so"; }
  std::filesystem::path OraMtsPath() const { return root_ / "lib" / "liboramts.so"; }
  std::filesystem::path AdminFolder() const { return root_ / "network" / "admin"; }
  std::filesystem::path DataFolder() const { return root_ / "oradata"; }

  // network/admin/tnsnames.ora and sqlnet.ora with the given text.
  void SetTnsNames(const std::string& text);
  void SetSqlNet(const std::string& text);
  // Any file below the home.
  void WriteFile(const std::filesystem::path& relative, const std::string& text);

  // A new database oradata/<name>.db (name lower-cased), served as the service or SID name.
  TestDatabase CreateDatabase(const std::string& name);
  TestDatabase OpenDatabase(const std::string& name);
  std::filesystem::path DatabaseFile(const std::string& name) const;

 private:
  std::filesystem::path root_;
};

// ociemu's counters of a library loaded with dlopen (the handle dlopen returned): environments,
// handles and descriptors the application has not freed; open connections; calls of one
// entry point. -1 when the library does not offer the counter.
long LiveHandles(void* library);
long LiveConnections(void* library);
long CallCount(void* library, const char* entryPoint);
void ResetCallCounts(void* library);

}  // namespace ociemu::testing
