// Preparation, execution and fetching: the statement's life on a connection. Binds and defines
// are converted in BindConversion.cpp and CursorDefine.cpp.
#include "ociemu/internal/Cursor.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <new>

#include "ociemu/internal/BindConversion.h"
#include "ociemu/internal/CursorText.h"
#include "ociemu/internal/DefineConversion.h"
#include "ociemu/internal/OracleError.h"
#include "ociemu/internal/plsql/Parser.h"

namespace ociemu {
namespace {

class ConnectionSchema : public SchemaLookup {
 public:
  explicit ConnectionSchema(Connection& c) : c_(c) {}
  std::optional<std::string> DeclaredType(const std::string& table,
                                          const std::string& column) override {
    const char* declared = nullptr;
    const char* collation = nullptr;
    int notNull = 0, primaryKey = 0, autoIncrement = 0;
    if (sqlite3_table_column_metadata(c_.Sql(), nullptr, table.c_str(), column.c_str(), &declared,
                                      &collation, &notNull, &primaryKey,
                                      &autoIncrement) == SQLITE_OK &&
        declared) {
      return std::string(declared);
    }
    return std::nullopt;
  }
  bool IsAccount(const std::string& name) override {
    auto it = accounts_.find(name);
    if (it != accounts_.end()) return it->second;
    bool account = name == "SYS" || name == "PUBLIC" || c_.Db().FindAccount(name).has_value();
    accounts_[name] = account;
    return account;
  }

 private:
  Connection& c_;
  std::map<std::string, bool> accounts_;
};

}  // namespace

void Cursor::Open(const std::shared_ptr<Connection>& conn) {
  if (conn_ == conn) return;
  if (conn->openCursorLimit == 0) {
    // OPEN_CURSORS of the database, 300 as a newly created database has it.
    conn->openCursorLimit =
        std::max(1, std::atoi(conn->Db().Setting("open_cursors").value_or("300").c_str()));
  }
  if (conn->openCursors >= conn->openCursorLimit) throw OracleError(1000);
  if (conn_) --conn_->openCursors;
  ++conn->openCursors;
  conn_ = conn;
}

Cursor::~Cursor() {
  Close();
}

void Cursor::Close() {
  if (conn_) conn_->CloseQuery(this);
  FreeRows();
  sqlite3_finalize(stmt_);
  stmt_ = nullptr;
  if (conn_) --conn_->openCursors;
  conn_.reset();
  executed_ = false;
  fetchDone_ = false;
}

void Cursor::Prepare(std::string sql) {
  Close();
  text_ = std::move(sql);
  prepared_ = true;
  translation_.reset();
  columns_.clear();
  described_ = false;
  namedBinds_.clear();
  positionBinds_.clear();
  defines_.clear();
  rowCount_ = rowsFetched_ = 0;
  parseOffset_ = 0;
  auto [type, code] = Classify(text_);
  statementType_ = type;
  functionCode_ = code;
}

void Cursor::BindName(const std::string& name, const BindBuffer& buffer) {
  std::string key = name;
  if (!key.empty() && key[0] == ':') key.erase(0, 1);
  if (key.size() >= 2 && key.front() == '"' && key.back() == '"') {
    key = key.substr(1, key.size() - 2);
  } else {
    key = Upper(key);
  }
  if (key.empty()) throw OracleError(1036);
  namedBinds_[key] = buffer;
}

void Cursor::BindPosition(ub4 position, const BindBuffer& buffer) {
  if (position == 0) throw OracleError(1036);
  positionBinds_[position] = buffer;
}

void Cursor::Define(ub4 position, const DefineBuffer& buffer) {
  if (position == 0) throw OracleError(1007);
  defines_[position] = buffer;
}

void Cursor::Translate(Connection& conn) {
  if (translation_) return;
  ConnectionSchema schema(conn);
  try {
    translation_ = ociemu::Translate(text_, schema);
  } catch (const OracleError& e) {
    parseOffset_ = e.Offset();
    throw;
  }
  statementType_ = translation_->statementType;
  functionCode_ = translation_->functionCode;
}

void Cursor::PrepareSqlite(Connection& conn) {
  if (stmt_ && sqlite3_db_handle(stmt_) == conn.Sql()) return;
  sqlite3_finalize(stmt_);
  stmt_ = nullptr;
  described_ = false;
  const char* tail = nullptr;
  int rc = sqlite3_prepare_v2(conn.Sql(), translation_->sql.c_str(),
                              static_cast<int>(translation_->sql.size()), &stmt_, &tail);
  if (rc != SQLITE_OK) {
    OracleError e = MapError(conn, rc);
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    parseOffset_ = e.Offset();
    throw e;
  }
  if (!stmt_) throw OracleError(900);
}

void Cursor::BindRow(Connection& conn, ub4 row) {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
  (void)conn;
  const auto& names = translation_->binds;
  for (size_t k = 0; k < names.size(); ++k) {
    const BindBuffer* buffer = nullptr;
    auto byName = namedBinds_.find(names[k]);
    if (byName != namedBinds_.end()) {
      buffer = &byName->second;
    } else {
      auto byPosition = positionBinds_.find(static_cast<ub4>(k + 1));
      if (byPosition != positionBinds_.end()) buffer = &byPosition->second;
    }
    if (!buffer) throw OracleError(1008);
    BindValue(stmt_, static_cast<int>(k + 1), *buffer, row);
  }
}

Cursor::Outcome Cursor::Execute(const std::shared_ptr<Connection>& conn, ub4 iters, ub4 rowoff,
                                ub4 mode) {
  if (!prepared_) throw OracleError(24337);
  executed_ = false;
  fetchDone_ = false;
  rowCount_ = rowsFetched_ = 0;
  parseOffset_ = 0;
  rowErrors_.clear();
  if (conn_) conn_->CloseQuery(this);
  FreeRows();
  scrollable_ = false;
  if (conn_ != conn) {
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    described_ = false;
    Open(conn);
  }
  Connection& c = *conn;
  Outcome outcome;
  if (plsql::IsPlsql(text_)) {
    if (mode & OCI_DESCRIBE_ONLY) return outcome;
    if (int warning = RunPlsql(conn, iters, rowoff)) {
      outcome.status = OCI_SUCCESS_WITH_INFO;
      outcome.warning = warning;
    }
    executed_ = true;
    if (mode & OCI_COMMIT_ON_SUCCESS) c.Commit();
    return outcome;
  }
  Translate(c);
  const Translation& t = *translation_;
  switch (t.action) {
    case Translation::kQuery: {
      PrepareSqlite(c);
      DescribeColumns(c);
      if (mode & OCI_DESCRIBE_ONLY) return outcome;
      // A serializable transaction starts with its first query and reads that snapshot.
      if (Upper(c.sessionSettings["isolation_level"]) == "SERIALIZABLE") c.BeginTransaction();
      BindRow(c, rowoff);
      executed_ = true;
      if (mode & OCI_STMT_SCROLLABLE_READONLY) {
        Materialize();
        if (iters == 0) return outcome;
        return Scroll(iters, OCI_FETCH_NEXT, 0);
      }
      c.OpenQuery(this, [this] { ReadAhead(); });
      if (iters == 0) return outcome;
      outcome = Fetch(iters);
      if ((mode & OCI_EXACT_FETCH) && outcome.status != OCI_NO_DATA) {
        int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW) throw OracleError(1422);
        fetchDone_ = true;
      }
      return outcome;
    }
    case Translation::kDml:
      return ExecuteDml(c, iters, rowoff, mode);
    default:
      RunServerStatement(c);
      executed_ = true;
      return outcome;
  }
}

Cursor::Outcome Cursor::ExecuteDml(Connection& c, ub4 iters, ub4 rowoff, ub4 mode) {
  // iters counts the array elements from the first; rowoff skips some, so iters - rowoff rows
  // run (never past the arrays).
  if (iters <= rowoff) throw OracleError(24333);
  PrepareSqlite(c);
  c.BeginTransaction();
  const bool batchErrors = mode & OCI_BATCH_ERRORS;
  for (ub4 r = rowoff; r < iters; ++r) {
    c.Progress();
    try {
      BindRow(c, r);
      int rc = sqlite3_step(stmt_);
      if (!translation_->returningInto.empty()) rc = StoreReturning(rc, r);
      if (rc != SQLITE_DONE && rc != SQLITE_ROW) {
        OracleError e = MapError(c, rc);
        sqlite3_reset(stmt_);
        throw e;
      }
    } catch (const OracleError& e) {
      // Without batch errors the rows before the failing one stay done, as on the server.
      if (!batchErrors) throw;
      sqlite3_reset(stmt_);
      rowErrors_.push_back(RowError{r, e});
      continue;
    }
    rowCount_ += static_cast<ub4>(sqlite3_changes(c.Sql()));
    sqlite3_reset(stmt_);
  }
  if (statementType_ == OCI_STMT_INSERT) {
    lastInsertRowid_ = sqlite3_last_insert_rowid(c.Sql());
    lastTable_ = DmlTable(text_);
  }
  executed_ = true;
  if (mode & OCI_COMMIT_ON_SUCCESS) c.Commit();
  Outcome outcome;
  if (!rowErrors_.empty()) {
    outcome.status = OCI_SUCCESS_WITH_INFO;
    outcome.warning = 24381;
  }
  return outcome;
}

int Cursor::StoreReturning(int rc, ub4 row) {
  const auto& names = translation_->returningInto;
  const std::string dateFormat = DateFormatOf(*conn_);
  for (bool first = true; rc == SQLITE_ROW; first = false, rc = sqlite3_step(stmt_)) {
    if (!first) continue;  // one value per bound element; more rows need dynamic binds
    for (size_t k = 0; k < names.size(); ++k) {
      const BindBuffer* b = nullptr;
      if (auto it = namedBinds_.find(names[k]); it != namedBinds_.end()) {
        b = &it->second;
      } else if (auto at =
                     positionBinds_.find(static_cast<ub4>(translation_->binds.size() + k + 1));
                 at != positionBinds_.end()) {
        b = &at->second;
      }
      if (!b) throw OracleError(1008);
      DefineBuffer out;
      out.value = b->value;
      out.size = b->size;
      out.type = b->type;
      out.indicator = b->indicator;
      out.length = b->length;
      out.returnCode = b->returnCode;
      StoreValue(SqlValue(stmt_, static_cast<int>(k)), ColumnType{}, out, row, dateFormat);
    }
  }
  return rc;
}

Cursor::Outcome Cursor::Fetch(ub4 rows) {
  if (scrollable_) return Scroll(rows, OCI_FETCH_NEXT, 0);
  if (readAhead_) {
    if (!conn_ || !conn_->Usable()) throw OracleError(3114);
    return StoreRows(position_, rows, false);
  }
  if (!executed_ || !stmt_) throw OracleError(24338);
  if (!IsQuery()) throw OracleError(1002);
  if (!conn_ || !conn_->Usable()) throw OracleError(3114);
  rowsFetched_ = 0;
  Outcome outcome;
  bool truncated = false;
  const std::string dateFormat = DateFormatOf(*conn_);
  for (const auto& entry : defines_) {
    if (entry.first > columns_.size()) throw OracleError(1007);
  }
  for (ub4 r = 0; r < rows && !fetchDone_; ++r) {
    conn_->Progress();
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_DONE) {
      fetchDone_ = true;
      conn_->CloseQuery(this);
      break;
    }
    if (rc != SQLITE_ROW) throw MapError(*conn_, rc);
    for (const auto& [position, d] : defines_) {
      const int column = static_cast<int>(position - 1);
      truncated |=
          StoreValue(SqlValue(stmt_, column), columns_[position - 1].type, d, r, dateFormat);
    }
    ++rowsFetched_;
  }
  rowCount_ += rowsFetched_;
  if (rowsFetched_ < rows) {
    outcome.status = OCI_NO_DATA;
  } else if (truncated) {
    outcome.status = OCI_SUCCESS_WITH_INFO;
    outcome.warning = 1406;
  }
  return outcome;
}

void Cursor::FreeRows() {
  for (auto& row : rows_) {
    for (sqlite3_value* v : row) sqlite3_value_free(v);
  }
  rows_.clear();
  position_ = 0;
  readAhead_ = false;
}

void Cursor::ReadAhead() {
  if (!executed_ || !stmt_ || fetchDone_ || scrollable_ || readAhead_) return;
  // An error here stays with the rows read so far; the fetch after them reports the end.
  try {
    Materialize();
  } catch (const std::exception&) {
    sqlite3_reset(stmt_);
  }
  scrollable_ = false;
  fetchDone_ = true;
  readAhead_ = true;
  position_ = 0;
}

void Cursor::Materialize() {
  FreeRows();
  const int count = static_cast<int>(columns_.size());
  while (true) {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_DONE) break;
    if (rc != SQLITE_ROW) throw MapError(*conn_, rc);
    std::vector<sqlite3_value*> row;
    row.reserve(static_cast<size_t>(count));
    for (int c = 0; c < count; ++c) {
      sqlite3_value* v = sqlite3_value_dup(sqlite3_column_value(stmt_, c));
      if (!v) {
        for (sqlite3_value* kept : row) sqlite3_value_free(kept);
        throw std::bad_alloc();
      }
      row.push_back(v);
    }
    rows_.push_back(std::move(row));
  }
  sqlite3_reset(stmt_);
  fetchDone_ = true;
  scrollable_ = true;
}

Cursor::Outcome Cursor::Scroll(ub4 rows, ub2 orientation, sb4 offset) {
  if (!executed_) throw OracleError(24338);
  if (!IsQuery()) throw OracleError(1002);
  if (!scrollable_) {
    if (orientation != OCI_FETCH_NEXT && orientation != OCI_DEFAULT) throw OracleError(24391);
    return Fetch(rows);
  }
  if (!conn_ || !conn_->Usable()) throw OracleError(3114);
  const int64_t count = static_cast<int64_t>(rows_.size());
  int64_t start = 0;
  switch (orientation) {
    case OCI_DEFAULT:
    case OCI_FETCH_NEXT:
      start = position_ + 1;
      break;
    case OCI_FETCH_CURRENT:
      start = position_;
      break;
    case OCI_FETCH_FIRST:
      start = 1;
      break;
    case OCI_FETCH_LAST:
      start = count;
      break;
    case OCI_FETCH_PRIOR:
      start = static_cast<int64_t>(position_) - 1;
      break;
    case OCI_FETCH_ABSOLUTE:
      start = offset;
      break;
    case OCI_FETCH_RELATIVE:
      start = static_cast<int64_t>(position_) + offset;
      break;
    default:
      throw OracleError(24391);
  }
  rowsFetched_ = 0;
  if (start < 1 || start > count) {
    // Off either end: the cursor stands before the first or after the last row.
    position_ = start < 1 ? 0 : static_cast<ub4>(count + 1);
    Outcome none;
    none.status = OCI_NO_DATA;
    return none;
  }
  return StoreRows(static_cast<size_t>(start - 1), rows, true);
}

Cursor::Outcome Cursor::StoreRows(size_t first, ub4 rows, bool scrolling) {
  for (const auto& entry : defines_) {
    if (entry.first > columns_.size()) throw OracleError(1007);
  }
  const std::string dateFormat = DateFormatOf(*conn_);
  bool truncated = false;
  ub4 r = 0;
  for (; r < rows && first + r < rows_.size(); ++r) {
    conn_->Progress();
    const auto& row = rows_[first + r];
    for (const auto& [position, d] : defines_) {
      truncated |=
          StoreValue(SqlValue(row[position - 1]), columns_[position - 1].type, d, r, dateFormat);
    }
  }
  rowsFetched_ = r;
  position_ = static_cast<ub4>(first + r);
  rowCount_ = scrolling ? std::max(rowCount_, position_) : rowCount_ + r;
  Outcome outcome;
  if (r < rows) {
    outcome.status = OCI_NO_DATA;
  } else if (truncated) {
    outcome.status = OCI_SUCCESS_WITH_INFO;
    outcome.warning = 1406;
  }
  return outcome;
}

std::string Cursor::LastRowid() const {
  if (!lastInsertRowid_) return "";
  return RowidText(ObjectNumber(lastTable_), lastInsertRowid_);
}

}  // namespace ociemu
