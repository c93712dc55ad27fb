// The database file: schema of the server's own tables and the account, setting and fault
// operations over them.
#include "ociemu/internal/Database.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

#include "ociemu/internal/Catalogue.h"
#include "ociemu/internal/Dictionary.h"
#include "ociemu/internal/PasswordHash.h"
#include "ociemu/internal/SqliteStatement.h"

namespace ociemu {
namespace {

constexpr const char* kFormat = "ociemu-1";

constexpr const char* kSchema = R"(
create table ociemu_settings (name text primary key, value text);
create table ociemu_accounts (
  name text primary key, salt text not null, hash text not null,
  status text not null default 'OPEN', grace_days integer not null default 7,
  sysdba integer not null default 0, sysoper integer not null default 0,
  external integer not null default 0);
create table ociemu_faults (
  id integer primary key, call text not null, code integer not null default 0,
  delay_ms integer not null default 0, lose_after integer not null default 0,
  nth integer not null default 0, lose_in_call integer not null default 0);
create table DUAL (DUMMY VARCHAR2(1));
insert into DUAL values ('X');
)";

sqlite3* OpenFile(const std::string& file, int flags) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(file.c_str(), &db, flags | SQLITE_OPEN_FULLMUTEX, nullptr) != SQLITE_OK) {
    std::string msg = db ? sqlite3_errmsg(db) : "out of memory";
    sqlite3_close(db);
    throw std::runtime_error(file + ": " + msg);
  }
  sqlite3_busy_timeout(db, 10000);
  sqlite3_extended_result_codes(db, 1);
  return db;
}

Account ReadAccount(SqliteStatement& s) {
  Account a;
  a.name = s.Text(0);
  a.status = s.Text(1);
  a.graceDays = static_cast<int>(s.Int(2));
  a.sysdba = s.Int(3) != 0;
  a.sysoper = s.Int(4) != 0;
  a.external = s.Int(5) != 0;
  return a;
}

constexpr const char* kAccountColumns =
    "select name, status, grace_days, sysdba, sysoper, external from ociemu_accounts";

}  // namespace

int ReleaseOf(const std::string& banner) {
  const size_t r = banner.find("Release ");
  if (r == std::string::npos) return 19;
  const int release = std::atoi(banner.c_str() + r + 8);
  return release > 0 ? release : 19;
}

std::string NormalizeName(const std::string& name) {
  if (name.size() >= 2 && name.front() == '"' && name.back() == '"') {
    return name.substr(1, name.size() - 2);
  }
  std::string out = name;
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return out;
}

std::unique_ptr<Database> Database::Create(const std::string& file) {
  struct stat st;
  if (::stat(file.c_str(), &st) == 0) throw std::runtime_error(file + ": already exists");
  sqlite3* db = OpenFile(file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  std::unique_ptr<Database> result(new Database(db, file));
  result->Exec("pragma journal_mode = wal");
  result->Exec(std::string("begin;") + kSchema + "commit;");
  result->SetSetting("format", kFormat);
  result->SetSetting("banner", kDefaultBanner);
  result->SetSetting("characterset", "AL32UTF8");
  result->PrepareCatalogue();
  return result;
}

std::unique_ptr<Database> Database::Open(const std::string& file) {
  struct stat st;
  if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
    throw std::runtime_error(file + ": no such database");
  }
  sqlite3* db = OpenFile(file, SQLITE_OPEN_READWRITE);
  std::unique_ptr<Database> result(new Database(db, file));
  std::optional<std::string> format;
  try {
    format = result->Setting("format");
  } catch (const std::exception&) {
  }
  if (format != kFormat) throw std::runtime_error(file + ": not an emulated Oracle database");
  result->UpgradeFaults();
  result->PrepareCatalogue();
  return result;
}

void Database::PrepareCatalogue() {
  // A file of an earlier release gains the catalogue and the current dictionary views.
  if (Setting("dictionary") == DictionaryRelease()) return;
  Exec("begin immediate");
  try {
    EnsureCatalogue(db_);
    InstallDictionary(db_);
    SetSetting("dictionary", DictionaryRelease());
    Exec("commit");
  } catch (...) {
    Exec("rollback");
    throw;
  }
}

Database::~Database() {
  sqlite3_close_v2(db_);
}

void Database::Exec(const std::string& sql) {
  char* err = nullptr;
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
    std::string msg = err ? err : sqlite3_errmsg(db_);
    sqlite3_free(err);
    throw std::runtime_error(msg);
  }
}

std::optional<std::string> Database::Setting(const std::string& name) const {
  SqliteStatement s(db_, "select value from ociemu_settings where name = ?");
  s.Bind(1, name);
  if (!s.Step()) return std::nullopt;
  return s.Text(0);
}

void Database::SetSetting(const std::string& name, const std::string& value) {
  SqliteStatement s(db_, "insert or replace into ociemu_settings (name, value) values (?, ?)");
  s.Bind(1, name).Bind(2, value).Step();
}

std::string Database::Banner() const {
  return Setting("banner").value_or(kDefaultBanner);
}

std::string Database::CharacterSet() const {
  return Setting("characterset").value_or("AL32UTF8");
}

std::optional<Account> Database::FindAccount(const std::string& name) const {
  SqliteStatement s(db_, std::string(kAccountColumns) + " where name = ?");
  s.Bind(1, name);
  if (!s.Step()) return std::nullopt;
  return ReadAccount(s);
}

std::vector<Account> Database::Accounts() const {
  SqliteStatement s(db_, std::string(kAccountColumns) + " order by name");
  std::vector<Account> out;
  while (s.Step()) out.push_back(ReadAccount(s));
  return out;
}

bool Database::CheckPassword(const std::string& name, const std::string& password) const {
  SqliteStatement s(db_, "select salt, hash from ociemu_accounts where name = ?");
  s.Bind(1, name);
  if (!s.Step()) return false;
  return HashPassword(s.Text(0), password) == s.Text(1);
}

void Database::PutAccount(const Account& a, const std::string& password) {
  std::string salt = NewSalt();
  SqliteStatement s(
      db_,
      "insert or replace into ociemu_accounts (name, salt, hash, status, grace_days, sysdba, "
      "sysoper, external) values (?, ?, ?, ?, ?, ?, ?, ?)");
  s.Bind(1, a.name)
      .Bind(2, salt)
      .Bind(3, HashPassword(salt, password))
      .Bind(4, a.status)
      .Bind(5, a.graceDays)
      .Bind(6, a.sysdba ? 1 : 0)
      .Bind(7, a.sysoper ? 1 : 0)
      .Bind(8, a.external ? 1 : 0)
      .Step();
}

void Database::ChangeAccount(const std::string& name, const std::string& sql,
                             const std::string& value) {
  SqliteStatement s(db_, sql);
  s.Bind(1, value).Bind(2, name).Step();
  if (sqlite3_changes(db_) == 0) throw std::runtime_error("no account " + name);
}

void Database::SetPassword(const std::string& name, const std::string& password) {
  std::string salt = NewSalt();
  SqliteStatement s(db_, "update ociemu_accounts set salt = ?, hash = ? where name = ?");
  s.Bind(1, salt).Bind(2, HashPassword(salt, password)).Bind(3, name).Step();
  if (sqlite3_changes(db_) == 0) throw std::runtime_error("no account " + name);
}

void Database::SetStatus(const std::string& name, const std::string& status) {
  if (status != kStatusOpen && status != kStatusLocked && status != kStatusExpired &&
      status != kStatusGrace) {
    throw std::runtime_error("unknown account status " + status);
  }
  ChangeAccount(name, "update ociemu_accounts set status = ? where name = ?", status);
}

void Database::SetRights(const std::string& name, bool sysdba, bool sysoper) {
  SqliteStatement s(db_, "update ociemu_accounts set sysdba = ?, sysoper = ? where name = ?");
  s.Bind(1, sysdba ? 1 : 0).Bind(2, sysoper ? 1 : 0).Bind(3, name).Step();
  if (sqlite3_changes(db_) == 0) throw std::runtime_error("no account " + name);
}

void Database::SetGraceDays(const std::string& name, int days) {
  SqliteStatement s(db_, "update ociemu_accounts set grace_days = ? where name = ?");
  s.Bind(1, days).Bind(2, name).Step();
  if (sqlite3_changes(db_) == 0) throw std::runtime_error("no account " + name);
}

void Database::DropAccount(const std::string& name) {
  SqliteStatement s(db_, "delete from ociemu_accounts where name = ?");
  s.Bind(1, name).Step();
  if (sqlite3_changes(db_) == 0) throw std::runtime_error("no account " + name);
}

// Files made before faults could pick the nth call or strike within a call gain the columns.
void Database::UpgradeFaults() {
  SqliteStatement s(db_,
                    "select count(*) from pragma_table_info('ociemu_faults') where name = 'nth'");
  s.Step();
  if (s.Int(0) != 0) return;
  Exec(
      "alter table ociemu_faults add column nth integer not null default 0;"
      "alter table ociemu_faults add column lose_in_call integer not null default 0");
}

std::vector<Fault> Database::Faults() const {
  SqliteStatement s(db_,
                    "select call, code, delay_ms, lose_after, nth, lose_in_call from ociemu_faults "
                    "order by id");
  std::vector<Fault> out;
  while (s.Step()) {
    out.push_back(Fault{s.Text(0), static_cast<int>(s.Int(1)), static_cast<int>(s.Int(2)),
                        static_cast<int>(s.Int(3)), static_cast<int>(s.Int(4)),
                        static_cast<int>(s.Int(5))});
  }
  return out;
}

void Database::AddFault(const Fault& f) {
  SqliteStatement s(
      db_,
      "insert into ociemu_faults (call, code, delay_ms, lose_after, nth, lose_in_call) "
      "values (?, ?, ?, ?, ?, ?)");
  s.Bind(1, f.call)
      .Bind(2, f.code)
      .Bind(3, f.delayMs)
      .Bind(4, f.loseAfter)
      .Bind(5, f.nth)
      .Bind(6, f.loseInCall)
      .Step();
}

void Database::ClearFaults() {
  Exec("delete from ociemu_faults");
}

int64_t Database::DataVersion() const {
  SqliteStatement s(db_, "pragma data_version");
  s.Step();
  return s.Int(0);
}

}  // namespace ociemu
