// Any statement text: the translation either succeeds or reports an Oracle error, and never
// reads or writes out of bounds; a query or DML it translates then runs on a small database with
// the server's own functions, inside a savepoint that is rolled back.
#include <sqlite3.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "ociemu/internal/Connection.h"
#include "ociemu/internal/Dialect.h"
#include "ociemu/internal/OracleError.h"

namespace {

// A schema where every column of every table is a DATE, which exercises the date rewrites.
class DateSchema : public ociemu::SchemaLookup {
 public:
  std::optional<std::string> DeclaredType(const std::string&, const std::string& column) override {
    if (column.size() % 2) return std::nullopt;
    return std::string(column.size() % 4 ? "DATE" : "VARCHAR2(10)");
  }
  bool IsAccount(const std::string& name) override { return name == "SCOTT"; }
};

// One database for the whole run, with a table of each kind of column and constraint.
ociemu::Connection& Server() {
  static std::shared_ptr<ociemu::Connection> conn = [] {
    const std::string file = (std::filesystem::temp_directory_path() /
                              ("ociemu-sql-fuzz-" + std::to_string(getpid()) + ".db"))
                                 .string();
    std::remove(file.c_str());
    auto c = ociemu::Connection::Open(ociemu::Database::Create(file), "FUZZ");
    c->currentUser = "SCOTT";
    DateSchema schema;
    for (const char* sql :
         {"create table dept (deptno number(2) constraint pk_dept primary key, dname "
          "varchar2(14) not null, loc varchar2(13) default 'X')",
          "create table emp (empno number(4) primary key, ename varchar2(10), hiredate date, "
          "sal number(7,2) check (sal > 0), deptno number(2) references dept)",
          "create sequence s"}) {
      ociemu::Translation t = ociemu::Translate(sql, schema);
      if (t.action == ociemu::Translation::kCreateSequence) continue;
      sqlite3_exec(c->Sql(), t.sql.c_str(), nullptr, nullptr, nullptr);
    }
    sqlite3_exec(c->Sql(),
                 "insert into dept values (10, 'A', 'B'); insert into dept values (20, 'C', "
                 "NULL); insert into emp values (1, 'X', 2451545.0, 10.5, 10)",
                 nullptr, nullptr, nullptr);
    std::remove(file.c_str());  // the open handle keeps it alive
    return c;
  }();
  return *conn;
}

// Statements that would run for long (recursive queries, cross joins) are cut off.
int budget = 0;
int Progress(void*) {
  return --budget < 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string sql(reinterpret_cast<const char*>(data), size);
  ociemu::Classify(sql);
  DateSchema schema;
  try {
    ociemu::Translation t = ociemu::Translate(sql, schema);
    t.OriginalOffset(t.sql.size());
    if (t.action == ociemu::Translation::kQuery || t.action == ociemu::Translation::kDml) {
      sqlite3* db = Server().Sql();
      budget = 2000;
      sqlite3_progress_handler(db, 1000, Progress, nullptr);
      sqlite3_exec(db, "SAVEPOINT fuzz", nullptr, nullptr, nullptr);
      sqlite3_stmt* st = nullptr;
      if (sqlite3_prepare_v2(db, t.sql.c_str(), -1, &st, nullptr) == SQLITE_OK && st) {
        for (size_t k = 1; k <= t.binds.size(); ++k) {
          sqlite3_bind_text(st, static_cast<int>(k), "7", 1, SQLITE_STATIC);
        }
        for (int rows = 0; rows < 50 && sqlite3_step(st) == SQLITE_ROW; ++rows) {
          for (int c = 0; c < sqlite3_column_count(st); ++c) sqlite3_column_text(st, c);
        }
      }
      sqlite3_finalize(st);
      sqlite3_exec(db, "ROLLBACK TO fuzz; RELEASE fuzz", nullptr, nullptr, nullptr);
    }
  } catch (const ociemu::OracleError& e) {
    if (e.Offset() < 0 || static_cast<size_t>(e.Offset()) > size) __builtin_trap();
  }
  ociemu::ParseRowid(sql);
  return 0;
}
