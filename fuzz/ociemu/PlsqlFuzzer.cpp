// Any text as PL/SQL: the compiler either builds a tree or reports an Oracle error, and what
// compiles runs on a scratch database with every placeholder bound (scalars, a PL/SQL table
// for names starting with T, a cursor for names starting with C) under a step budget and a
// budget of SQLite work, so that loops and queries end. Nothing may crash or leak.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "ociemu/internal/Connection.h"
#include "ociemu/internal/Database.h"
#include "ociemu/internal/OracleError.h"
#include "ociemu/internal/plsql/Interpreter.h"

namespace {

using ociemu::plsql::TypeSpec;
using ociemu::plsql::Value;

class MemoryVariable : public ociemu::plsql::HostVariable {
 public:
  explicit MemoryVariable(char kind) : kind_(kind) {}
  bool IsTable() const override { return kind_ == 'T'; }
  bool IsCursor() const override { return kind_ == 'C'; }
  TypeSpec Type() const override {
    TypeSpec t;
    t.base = TypeSpec::kVarchar;
    t.length = 100;
    return t;
  }
  uint32_t Length() const override { return length_; }
  uint32_t Capacity() const override { return IsTable() ? 5 : 1; }
  Value Read(uint32_t element) override { return values_[element]; }
  void Write(uint32_t element, const Value& v) override { values_[element] = v; }
  void SetLength(uint32_t n) override { length_ = n; }
  void Open(const std::string&, const std::vector<std::pair<std::string, Value>>&) override {}

 private:
  char kind_;
  uint32_t length_ = 2;
  std::map<uint32_t, Value> values_{{0, Value::OfText("12")}, {1, Value::OfText("x")}};
};

class MemoryBinds : public ociemu::plsql::HostBinds {
 public:
  ociemu::plsql::HostVariable* Find(const std::string& name, size_t) override {
    auto& v = variables_[name];
    if (!v) v = std::make_unique<MemoryVariable>(name.empty() ? 'S' : name[0]);
    return v.get();
  }

 private:
  std::map<std::string, std::unique_ptr<MemoryVariable>> variables_;
};

long sqliteBudget = 0;

int Progress(void*) {
  return --sqliteBudget < 0 ? 1 : 0;
}

std::shared_ptr<ociemu::Connection> ScratchConnection() {
  const auto file = std::filesystem::temp_directory_path() /
                    ("ociemu-plsql-fuzz-" + std::to_string(getpid()) + ".db");
  std::filesystem::remove(file);
  auto conn = ociemu::Connection::Open(ociemu::Database::Create(file.string()), "fuzz");
  conn->currentUser = "SCOTT";
  conn->Db().Exec("create table T1 (A NUMBER, B VARCHAR2(10)); insert into T1 values (1, 'x');");
  sqlite3_progress_handler(conn->Sql(), 100, Progress, nullptr);
  std::filesystem::remove(file);  // the open connection keeps it until the process ends
  return conn;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::shared_ptr<ociemu::Connection> conn = ScratchConnection();
  const std::string text(reinterpret_cast<const char*>(data), size);
  MemoryBinds binds;
  ociemu::plsql::Limits limits;
  limits.maxSteps = 2000;
  sqliteBudget = 20000;
  try {
    const int warning = ociemu::plsql::Execute(conn, text, binds, limits);
    if (warning != 0 && warning != 24344) __builtin_trap();
  } catch (const ociemu::OracleError& e) {
    if (e.Code() <= 0) __builtin_trap();
  }
  conn->Rollback();
  return 0;
}
