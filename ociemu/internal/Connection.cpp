// Connections: attach, faults, authentication and the transaction over one SQLite connection.
#include "ociemu/internal/Connection.h"

#include <pwd.h>
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "ociemu/internal/Catalogue.h"
#include "ociemu/internal/Home.h"
#include "ociemu/internal/NetConfig.h"
#include "ociemu/internal/OracleError.h"
#include "ociemu/internal/SqlFunctions.h"

namespace ociemu {
namespace {

std::atomic<long> liveConnections{0};

constexpr unsigned kSysdba = 0x2;
constexpr unsigned kSysoper = 0x4;

bool Matches(const std::string& pattern, std::string_view call) {
  return pattern == "*" || (pattern.size() == call.size() &&
                            strncasecmp(pattern.data(), call.data(), call.size()) == 0);
}

}  // namespace

long LiveConnections() {
  return liveConnections.load();
}

std::string OperatingSystemUser() {
  if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_name) return pw->pw_name;
  std::string user = EnvironmentValue("USER");
  return user.empty() ? EnvironmentValue("LOGNAME") : user;
}

Connection::Connection(std::unique_ptr<Database> db, std::string service)
    : db_(std::move(db)), service_(std::move(service)) {
  characterSet = db_->CharacterSet();
  sqlite3_exec(Sql(), "pragma foreign_keys = on", nullptr, nullptr, nullptr);
  RegisterFunctions(Sql(), this);
  ++liveConnections;
}

std::shared_ptr<Connection> Connection::Open(std::unique_ptr<Database> db, std::string service) {
  return std::shared_ptr<Connection>(new Connection(std::move(db), std::move(service)));
}

Connection::~Connection() {
  Close();
  sqlite3_finalize(versionStmt_);
}

std::shared_ptr<Connection> Connection::Attach(std::string_view connectText,
                                               const char* attachName) {
  ConnectTarget target = ResolveConnectText(connectText);
  if (!target.host.empty() && !IsLocalHost(target.host)) throw OracleError(12545);
  const std::string file = DatabaseFileFor(target.service);
  std::unique_ptr<Database> db;
  try {
    db = Database::Open(file);
  } catch (const std::exception&) {
    // A damaged database file looks to the client like a service nobody offers.
    throw OracleError(12514);
  }
  std::shared_ptr<Connection> conn(new Connection(std::move(db), target.service));
  conn->ApplyFaults(attachName, false);
  return conn;
}

void Connection::RefreshFaults() {
  if (!versionStmt_ &&
      sqlite3_prepare_v2(Sql(), "pragma data_version", -1, &versionStmt_, nullptr) != SQLITE_OK) {
    return;
  }
  int64_t version = dataVersion_;
  sqlite3_reset(versionStmt_);
  if (sqlite3_step(versionStmt_) == SQLITE_ROW) version = sqlite3_column_int64(versionStmt_, 0);
  sqlite3_reset(versionStmt_);
  if (version != dataVersion_) {
    std::vector<Fault> faults;
    try {
      faults = db_->Faults();
    } catch (const std::exception&) {
    }
    // A connection counts its calls towards a lost connection from the moment it sees the
    // fault (or from its attach, for a fault set before).
    if (faults.size() != faults_.size() ||
        !std::equal(
            faults.begin(), faults.end(), faults_.begin(), [](const Fault& a, const Fault& b) {
              return a.call == b.call && a.code == b.code && a.delayMs == b.delayMs &&
                     a.loseAfter == b.loseAfter && a.nth == b.nth && a.loseInCall == b.loseInCall;
            })) {
      calls_ = 0;
      callsByName_.clear();
    }
    faults_ = std::move(faults);
    dataVersion_ = version;
  }
}

void Connection::ApplyFaults(std::string_view call, bool countCall) {
  RefreshFaults();
  if (faults_.empty()) return;
  if (countCall) ++calls_;
  for (const auto& f : faults_) {
    if (f.delayMs > 0 && Matches(f.call, call)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(f.delayMs));
    }
  }
  for (const auto& f : faults_) {
    if (countCall && f.loseAfter > 0 && calls_ > f.loseAfter) {
      // The server side of a lost connection is gone, and its transaction with it.
      Rollback();
      lost_ = true;
      throw OracleError(3113);
    }
  }
  long nthCall = 0;
  if (countCall) {
    auto it = callsByName_.find(call);
    if (it == callsByName_.end()) it = callsByName_.emplace(std::string(call), 0).first;
    nthCall = ++it->second;
  }
  for (const auto& f : faults_) {
    if (f.code != 0 && Matches(f.call, call) && (f.nth == 0 || f.nth == nthCall)) {
      throw OracleError(f.code);
    }
  }
}

void Connection::Progress() {
  if (faults_.empty()) return;
  ++unitsInCall_;
  for (const auto& f : faults_) {
    if (f.loseInCall > 0 && unitsInCall_ > f.loseInCall && Matches(f.call, currentCall_)) {
      Rollback();
      lost_ = true;
      throw OracleError(3113);
    }
  }
}

void Connection::BeforeCall(std::string_view call) {
  if (!Usable()) throw OracleError(3114);
  currentCall_ = call;
  unitsInCall_ = 0;
  ApplyFaults(call, true);
}

void Connection::Close() {
  if (closed_) return;
  Rollback();
  plsqlSession.reset();  // package state may hold cursors that hold this connection
  closed_ = true;
  --liveConnections;
}

SessionInfo Connection::Authenticate(const std::string& username, const std::string& password,
                                     bool external, unsigned mode) {
  std::optional<Account> account;
  if (external) {
    std::string name = NormalizeName("OPS$" + OperatingSystemUser());
    account = db_->FindAccount(name);
    if (!account || !account->external) throw OracleError(1017);
  } else {
    if (username.empty()) throw OracleError(1017);
    if (password.empty()) throw OracleError(1005);
    account = db_->FindAccount(NormalizeName(username));
    if (!account || account->external || !db_->CheckPassword(account->name, password)) {
      throw OracleError(1017);
    }
  }
  if (account->status == kStatusLocked) throw OracleError(28000);
  if (account->status == kStatusExpired) throw OracleError(28001);
  SessionInfo info;
  info.account = account->name;
  if (mode & kSysdba) {
    if (!account->sysdba) throw OracleError(1031);
    info.user = "SYS";
  } else if (mode & kSysoper) {
    if (!account->sysoper) throw OracleError(1031);
    info.user = "PUBLIC";
  } else {
    info.user = account->name;
  }
  if (account->status == kStatusGrace) {
    info.warning = 28002;
    info.graceDays = account->graceDays;
  }
  return info;
}

void Connection::ChangePassword(const std::string& account, const std::string& oldPassword,
                                const std::string& newPassword) {
  auto found = db_->FindAccount(account);
  if (!found || found->external || !db_->CheckPassword(found->name, oldPassword)) {
    throw OracleError(1017);
  }
  if (found->status == kStatusLocked) throw OracleError(28000);
  if (newPassword.empty()) throw OracleError(988);
  Commit();
  db_->SetPassword(found->name, newPassword);
  if (found->status != kStatusOpen) db_->SetStatus(found->name, kStatusOpen);
}

void Connection::BeginTransaction() {
  if (inTransaction_) return;
  if (sqlite3_exec(Sql(), "begin", nullptr, nullptr, nullptr) != SQLITE_OK) {
    throw OracleError(600, {sqlite3_errmsg(Sql())});
  }
  inTransaction_ = true;
}

void Connection::Commit() {
  if (!inTransaction_) return;
  if (sqlite3_exec(Sql(), "commit", nullptr, nullptr, nullptr) != SQLITE_OK) {
    std::string msg = sqlite3_errmsg(Sql());
    sqlite3_exec(Sql(), "rollback", nullptr, nullptr, nullptr);
    inTransaction_ = false;
    throw OracleError(600, {msg});
  }
  inTransaction_ = false;
}

void Connection::OpenQuery(const void* key, std::function<void()> readAhead) {
  openQueries_[key] = std::move(readAhead);
}

void Connection::CloseQuery(const void* key) {
  openQueries_.erase(key);
}

void Connection::ReadOpenQueriesAhead() {
  auto queries = std::move(openQueries_);
  openQueries_.clear();
  for (auto& [key, readAhead] : queries) readAhead();
}

void Connection::Rollback() {
  if (!inTransaction_) return;
  ReadOpenQueriesAhead();
  sqlite3_exec(Sql(), "rollback", nullptr, nullptr, nullptr);
  inTransaction_ = false;
  try {
    KeepSequencesAfterRollback(Sql(), currval);
  } catch (const std::exception&) {
    // A database without sequences or a lost file: the rollback itself has happened.
  }
}

}  // namespace ociemu
