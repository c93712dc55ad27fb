// A prepared SQLite statement of the emulated server's own catalogue work, finalized at scope
// end. Failures are internal faults of the database file, so they throw std::runtime_error
// with SQLite's text rather than an Oracle error.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <stdexcept>
#include <string>

namespace ociemu {

class SqliteStatement {
 public:
  SqliteStatement(sqlite3* db, const std::string& sql) {
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt_, nullptr) != SQLITE_OK) {
      std::string msg = sqlite3_errmsg(db);
      sqlite3_finalize(stmt_);
      throw std::runtime_error(msg);
    }
  }
  ~SqliteStatement() { sqlite3_finalize(stmt_); }
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  SqliteStatement& Bind(int i, const std::string& v) {
    sqlite3_bind_text(stmt_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    return *this;
  }
  SqliteStatement& Bind(int i, int64_t v) {
    sqlite3_bind_int64(stmt_, i, v);
    return *this;
  }
  SqliteStatement& BindNull(int i) {
    sqlite3_bind_null(stmt_, i);
    return *this;
  }
  // True while rows come; false at the end.
  bool Step() {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    throw std::runtime_error(sqlite3_errmsg(sqlite3_db_handle(stmt_)));
  }
  // Runs a statement that returns no rows and makes it ready to run again with new binds.
  void Run() {
    Step();
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
  }
  std::string Text(int col) const {
    auto p = sqlite3_column_text(stmt_, col);
    return p ? reinterpret_cast<const char*>(p) : "";
  }
  int64_t Int(int col) const { return sqlite3_column_int64(stmt_, col); }
  bool Null(int col) const { return sqlite3_column_type(stmt_, col) == SQLITE_NULL; }

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

}  // namespace ociemu
