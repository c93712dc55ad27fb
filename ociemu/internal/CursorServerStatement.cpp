// Statements the server runs itself rather than through SQLite's statement: DDL, transaction
// control, ALTER SESSION / USER and sequences.
#include "ociemu/internal/Catalogue.h"
#include "ociemu/internal/Cursor.h"
#include "ociemu/internal/OracleError.h"

namespace ociemu {

void Cursor::RunServerStatement(Connection& c) {
  const Translation& t = *translation_;
  auto exec = [&](const std::string& sql) {
    if (sqlite3_exec(c.Sql(), sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
      throw MapError(c, sqlite3_errcode(c.Sql()));
    }
  };
  switch (t.action) {
    case Translation::kDdl:
      c.Commit();  // DDL ends the transaction before it runs
      c.ReadOpenQueriesAhead();
      // The statement and its catalogue rows change together.
      exec("SAVEPOINT ociemu_ddl");
      try {
        exec(t.sql);
        RecordDdl(c.Sql(), t, c.currentUser);
      } catch (...) {
        sqlite3_exec(c.Sql(), "ROLLBACK TO ociemu_ddl; RELEASE ociemu_ddl", nullptr, nullptr,
                     nullptr);
        throw;
      }
      exec("RELEASE ociemu_ddl");
      return;
    case Translation::kCommit:
      c.Commit();
      return;
    case Translation::kRollback:
      if (t.savepoint.empty()) return c.Rollback();
      if (!c.InTransaction()) throw OracleError(1086, {t.savepoint});
      exec("ROLLBACK TO \"" + t.savepoint + "\"");
      return;
    case Translation::kSavepoint:
      c.BeginTransaction();
      exec("SAVEPOINT \"" + t.savepoint + "\"");
      return;
    case Translation::kAlterSession:
      for (const auto& [name, value] : t.settings) {
        // From 10g on the server no longer knows the old name of the optimizer mode.
        if (name == "optimizer_goal" && ReleaseOf(c.Banner()) >= 10) throw OracleError(1986);
      }
      for (const auto& [name, value] : t.settings) c.sessionSettings[name] = value;
      return;
    case Translation::kAlterUser: {
      const auto& a = t.alterUser;
      auto target = c.Db().FindAccount(a.user);
      if (!target) throw OracleError(1918, {a.user});
      auto self = c.Db().FindAccount(c.currentUser);
      const bool privileged = c.currentUser == "SYS" || (self && self->sysdba);
      if ((a.user != c.currentUser || a.lock || a.expire) && !privileged) throw OracleError(1031);
      c.Commit();
      if (a.password) {
        if (a.password->empty()) throw OracleError(988);
        c.Db().SetPassword(a.user, *a.password);
        if (target->status == kStatusExpired || target->status == kStatusGrace) {
          c.Db().SetStatus(a.user, kStatusOpen);
        }
      }
      if (a.lock) c.Db().SetStatus(a.user, *a.lock ? kStatusLocked : kStatusOpen);
      if (a.expire) c.Db().SetStatus(a.user, kStatusExpired);
      return;
    }
    case Translation::kCreateSequence:
      c.Commit();
      CreateSequence(c.Sql(), t, c.currentUser);
      return;
    case Translation::kDropSequence:
      c.Commit();
      DropSequence(c.Sql(), t);
      return;
    default:
      throw OracleError(3001);
  }
}

}  // namespace ociemu
