// A statement's binds as the host variables of the PL/SQL block it runs. Values cross with
// the statement engine's own bind and define conversions: an IN value is bound as the
// external type describes it and read back from SQLite, an OUT value is stored into the
// caller's element exactly as a fetched column would be.
#include <cstring>

#include "ociemu/internal/BindConversion.h"
#include "ociemu/internal/Cursor.h"
#include "ociemu/internal/DefineConversion.h"
#include "ociemu/internal/OraDate.h"
#include "ociemu/internal/plsql/HostBinds.h"
#include "ociemu/internal/plsql/Interpreter.h"
#include "ociemu/internal/plsql/SqlBridge.h"

namespace ociemu {
namespace {

using plsql::TypeSpec;
using plsql::Value;

// "SELECT ?1" on the block's connection: the place values pass through SQLite.
class ScratchStatement {
 public:
  explicit ScratchStatement(sqlite3* db) {
    if (sqlite3_prepare_v2(db, "SELECT ?1", -1, &st_, nullptr) != SQLITE_OK) {
      throw OracleError(600, {sqlite3_errmsg(db)});
    }
  }
  ~ScratchStatement() { sqlite3_finalize(st_); }
  ScratchStatement(const ScratchStatement&) = delete;
  ScratchStatement& operator=(const ScratchStatement&) = delete;
  // Runs with ?1 bound by bind; the value stays readable as column 0 until the next call.
  sqlite3_stmt* Run(const std::function<void(sqlite3_stmt*)>& bind) {
    sqlite3_reset(st_);
    sqlite3_clear_bindings(st_);
    bind(st_);
    if (sqlite3_step(st_) != SQLITE_ROW) throw OracleError(600, {"scratch statement"});
    return st_;
  }

 private:
  sqlite3_stmt* st_ = nullptr;
};

bool IsDateType(ub2 t) {
  return t == SQLT_DAT || t == SQLT_ODT;
}
bool IsRawType(ub2 t) {
  return t == SQLT_BIN || t == SQLT_LBI || t == SQLT_VBI || t == SQLT_LVB;
}
bool IsCharType(ub2 t) {
  return t == SQLT_CHR || t == SQLT_AFC || t == SQLT_STR || t == SQLT_AVC || t == SQLT_VCS ||
         t == SQLT_LVC || t == SQLT_LNG;
}

class BufferVariable : public plsql::HostVariable {
 public:
  BufferVariable(const BindBuffer& b, const std::shared_ptr<Connection>& conn,
                 ScratchStatement& scratch, const std::string& dateFormat, ub4 row)
      : b_(b), conn_(conn), scratch_(scratch), dateFormat_(dateFormat), row_(row) {}

  bool IsTable() const override { return b_.tableCapacity > 0; }
  bool IsCursor() const override { return b_.type == SQLT_RSET || b_.type == SQLT_CUR; }
  uint32_t Capacity() const override { return IsTable() ? b_.tableCapacity : 1; }
  uint32_t Length() const override { return b_.tableLength ? *b_.tableLength : 0; }
  void SetLength(uint32_t n) override {
    if (b_.tableLength) *b_.tableLength = n;
  }

  TypeSpec Type() const override {
    TypeSpec t;
    const int size = b_.size;
    auto chars = [&](TypeSpec::Base base, int overhead) {
      t.base = base;
      t.length = std::max(size - overhead, 0);
      if (t.length == 0) t.length = 1;  // a zero-size buffer holds nothing but NULL
    };
    switch (b_.type) {
      case SQLT_STR:
      case SQLT_AVC:
        chars(TypeSpec::kVarchar, 1);
        break;
      case SQLT_CHR:
      case SQLT_AFC:
      case SQLT_LNG:
        chars(TypeSpec::kVarchar, 0);
        break;
      case SQLT_VCS:
        chars(TypeSpec::kVarchar, 2);
        break;
      case SQLT_LVC:
        chars(TypeSpec::kVarchar, 4);
        break;
      case SQLT_BIN:
      case SQLT_LBI:
        chars(TypeSpec::kRaw, 0);
        break;
      case SQLT_VBI:
        chars(TypeSpec::kRaw, 2);
        break;
      case SQLT_LVB:
        chars(TypeSpec::kRaw, 4);
        break;
      case SQLT_DAT:
      case SQLT_ODT:
        t.base = TypeSpec::kDate;
        break;
      case SQLT_RSET:
      case SQLT_CUR:
        t.base = TypeSpec::kAny;
        break;
      default:
        t.base = TypeSpec::kNumber;
        break;
    }
    return t;
  }

  Value Read(uint32_t element) override {
    if (!IsTable()) element = row_;
    if (!b_.value || (b_.indicator && b_.indicator[element] < 0)) return Value{};
    sqlite3_stmt* st = scratch_.Run([&](sqlite3_stmt* s) { BindValue(s, 1, b_, element); });
    const int type = sqlite3_column_type(st, 0);
    if (type == SQLITE_NULL) return Value{};
    if (IsDateType(b_.type)) return Value::OfDate(sqlite3_column_double(st, 0));
    if (type == SQLITE_INTEGER)
      return Value::OfNumber(Number::FromInteger(sqlite3_column_int64(st, 0)));
    if (type == SQLITE_FLOAT)
      return Value::OfNumber(Number::FromDouble(sqlite3_column_double(st, 0)));
    const char* p = static_cast<const char*>(sqlite3_column_blob(st, 0));
    std::string bytes(p ? p : "", static_cast<size_t>(sqlite3_column_bytes(st, 0)));
    if (IsRawType(b_.type)) return Value::OfRaw(std::move(bytes));
    if (!IsCharType(b_.type)) {
      auto n = ParseNumber(bytes);
      if (!n) throw OracleError(1722);
      return Value::OfNumber(*n);
    }
    return Value::OfText(std::move(bytes));
  }

  void Write(uint32_t element, const Value& v) override {
    if (!IsTable()) element = row_;
    ColumnType declared = ColumnType::Varchar(4000);
    sqlite3_stmt* st = scratch_.Run([&](sqlite3_stmt* s) {
      switch (v.kind) {
        case Value::kNull:
          sqlite3_bind_null(s, 1);
          break;
        case Value::kNumber:
          declared.code = kTypeNumber;
          if (auto i = v.number.ToInteger()) {
            sqlite3_bind_int64(s, 1, *i);
          } else {
            // Text keeps every digit; the define conversion reads it as a number.
            std::string text = NumberToText(v.number);
            sqlite3_bind_text(s, 1, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
          }
          break;
        case Value::kDate:
          declared.code = kTypeDate;
          sqlite3_bind_double(s, 1, v.julian);
          break;
        case Value::kBoolean:
          declared.code = kTypeNumber;
          sqlite3_bind_int(s, 1, v.boolean ? 1 : 0);
          break;
        case Value::kRaw:
          declared.code = kTypeRaw;
          sqlite3_bind_blob(s, 1, v.text.data(), static_cast<int>(v.text.size()), SQLITE_TRANSIENT);
          break;
        case Value::kText:
          sqlite3_bind_text(s, 1, v.text.data(), static_cast<int>(v.text.size()), SQLITE_TRANSIENT);
          break;
      }
    });
    DefineBuffer d;
    d.value = b_.value;
    d.size = b_.size;
    d.type = b_.type;
    d.indicator = b_.indicator;
    d.length = b_.length;
    d.returnCode = b_.returnCode;
    StoreValue(SqlValue(st, 0), declared, d, element, dateFormat_);
  }

  void Open(const std::string& sql,
            const std::vector<std::pair<std::string, Value>>& params) override {
    Cursor* target = b_.cursorOf ? b_.cursorOf(b_.value) : nullptr;
    if (!target) throw OracleError(1001);
    target->Prepare(sql);
    plsql::BoundValues values;
    for (const auto& [name, value] : params) values.BindName(*target, name, value);
    target->Execute(conn_, 0, 0, 0);
  }

 private:
  BindBuffer b_;
  std::shared_ptr<Connection> conn_;
  ScratchStatement& scratch_;
  const std::string& dateFormat_;
  ub4 row_;  // the element of a scalar bind this execution uses
};

class StatementBinds : public plsql::HostBinds {
 public:
  StatementBinds(const std::map<std::string, BindBuffer>& named,
                 const std::map<ub4, BindBuffer>& positional,
                 const std::shared_ptr<Connection>& conn, ub4 row)
      : named_(named), positional_(positional), conn_(conn), scratch_(conn->Sql()), row_(row) {
    auto it = conn->sessionSettings.find("nls_date_format");
    dateFormat_ = it == conn->sessionSettings.end() ? kDefaultDateFormat : it->second;
  }

  plsql::HostVariable* Find(const std::string& name, size_t position) override {
    auto made = variables_.find(name);
    if (made != variables_.end()) return made->second.get();
    const BindBuffer* b = nullptr;
    if (auto it = named_.find(name); it != named_.end()) {
      b = &it->second;
    } else if (auto at = positional_.find(static_cast<ub4>(position));
               position && at != positional_.end()) {
      b = &at->second;
    }
    if (!b) return nullptr;
    auto v = std::make_unique<BufferVariable>(*b, conn_, scratch_, dateFormat_, row_);
    return variables_.emplace(name, std::move(v)).first->second.get();
  }

 private:
  const std::map<std::string, BindBuffer>& named_;
  const std::map<ub4, BindBuffer>& positional_;
  std::shared_ptr<Connection> conn_;
  ScratchStatement scratch_;
  std::string dateFormat_;
  std::map<std::string, std::unique_ptr<BufferVariable>> variables_;
  ub4 row_;
};

}  // namespace

int Cursor::RunPlsql(const std::shared_ptr<Connection>& conn, ub4 iters, ub4 rowoff) {
  if (iters == 0) throw OracleError(24333);
  int warning = 0;
  for (ub4 row = rowoff; row < rowoff + iters; ++row) {
    StatementBinds binds(namedBinds_, positionBinds_, conn, row);
    warning = plsql::Execute(conn, text_, binds);
    ++rowCount_;
  }
  return warning;
}

}  // namespace ociemu
