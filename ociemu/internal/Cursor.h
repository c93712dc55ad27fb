// The statement engine both call sets share: a prepared statement with its binds and defines
// in the application's memory, executed on a connection and fetched into arrays. OCI8
// statement handles and OCI7 cursor data areas each hold one.
#pragma once

#include <sqlite3.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ociemu/Oci.h"
#include "ociemu/internal/ColumnType.h"
#include "ociemu/internal/Connection.h"
#include "ociemu/internal/Dialect.h"
#include "ociemu/internal/OracleError.h"

namespace ociemu {

class Cursor;

// An input variable: element i of an array bind lives at value + i * size, with its indicator,
// actual length and return code at index i of their arrays (each may be null).
struct BindBuffer {
  void* value = nullptr;
  sb4 size = 0;
  ub2 type = SQLT_CHR;
  sb2* indicator = nullptr;
  ub2* length = nullptr;
  ub2* returnCode = nullptr;
  // A PL/SQL table: its capacity (maxarr_len) and the caller's count of elements in use.
  ub4 tableCapacity = 0;
  ub4* tableLength = nullptr;
  // For a cursor bind (SQLT_RSET, SQLT_CUR): the statement value stands for; null if none.
  std::function<Cursor*(void* value)> cursorOf;
  // Values the application gave piece by piece at execution (OCI_DATA_AT_EXEC), one per row;
  // they replace value and length (nullopt is NULL).
  const std::vector<std::optional<std::string>>* pieces = nullptr;
};

// An output column: element i at value + i * size.
struct DefineBuffer {
  void* value = nullptr;
  sb4 size = 0;
  ub2 type = SQLT_CHR;
  sb2* indicator = nullptr;
  ub2* length = nullptr;
  ub2* returnCode = nullptr;
  // Stores a ROWID text into the descriptor an SQLT_RDD element points to; false for a pointer
  // that is no ROWID descriptor.
  std::function<bool(void* descriptor, const std::string& rowid)> setRowid;
  // A define whose values go to the application piece by piece (OCI_DYNAMIC_FETCH with
  // OCIDefineDynamic): called for every row with the value's bytes (nullopt for NULL).
  std::function<void(ub4 row, std::optional<std::string_view> value)> dynamic = nullptr;
};

struct ColumnDesc {
  std::string name;
  ColumnType type;
  bool nullable = true;
};

class Cursor {
 public:
  Cursor() = default;
  ~Cursor();
  Cursor(const Cursor&) = delete;
  Cursor& operator=(const Cursor&) = delete;

  // Takes the text; nothing reaches the server until the statement is described or executed.
  void Prepare(std::string sql);
  bool Prepared() const { return prepared_; }
  const std::string& Text() const { return text_; }
  ub2 StatementType() const { return statementType_; }
  ub2 FunctionCode() const { return functionCode_; }

  // Binds by name (without the colon, any case) replace an earlier bind of that name; binds by
  // position count the placeholders from 1 in order of appearance.
  void BindName(const std::string& name, const BindBuffer& buffer);
  void BindPosition(ub4 position, const BindBuffer& buffer);
  void Define(ub4 position, const DefineBuffer& buffer);

  // A row of an array DML that failed while the others went on (OCI_BATCH_ERRORS).
  struct RowError {
    ub4 row;  // the offset in the bind arrays
    OracleError error;
  };
  struct Outcome {
    sword status = OCI_SUCCESS;  // OCI_SUCCESS, OCI_SUCCESS_WITH_INFO or OCI_NO_DATA
    int warning = 0;             // 1406 after a truncated column, 24381 after row errors
  };
  // Translates on first use and runs. iters rows of DML (each a bind array element from
  // rowoff), or for a query the rows to fetch at once. Throws OracleError (with the parse
  // offset for parse errors).
  Outcome Execute(const std::shared_ptr<Connection>& conn, ub4 iters, ub4 rowoff, ub4 mode);
  // Fetches up to rows rows into the define arrays; OCI_NO_DATA when fewer remain.
  Outcome Fetch(ub4 rows);
  // The fetch of a scrollable cursor: orientation (OCI_FETCH_*) and offset place the cursor,
  // then up to rows rows from there are fetched and the last of them becomes the current row.
  // A cursor that is not scrollable takes OCI_FETCH_NEXT only (ORA-24391 otherwise).
  Outcome Scroll(ub4 rows, ub2 orientation, sb4 offset);
  bool Scrollable() const { return scrollable_; }
  // The current row of a scrollable cursor (1 for the first row, 0 before it).
  ub4 CurrentPosition() const { return position_; }
  // The rows that failed in the last execution in batch error mode.
  const std::vector<RowError>& RowErrors() const { return rowErrors_; }
  // Describes a query without running it (select-list columns).
  void Describe(const std::shared_ptr<Connection>& conn);

  bool Executed() const { return executed_; }
  bool IsQuery() const { return statementType_ == OCI_STMT_SELECT; }
  const std::vector<ColumnDesc>& Columns() const { return columns_; }
  ub4 RowCount() const { return rowCount_; }
  ub4 RowsFetched() const { return rowsFetched_; }
  int ParseOffset() const { return parseOffset_; }
  // A column of the row the last fetch ended on, as the bytes of its text or raw value (empty
  // for NULL); nullopt when no fetched row is current.
  std::optional<std::string> CurrentValue(ub4 position) const;
  // The ROWID text of the last row a DML statement inserted.
  std::string LastRowid() const;
  Connection* Conn() const { return conn_.get(); }
  // Ends the statement and its fetch.
  void Close();

 private:
  // Opens the cursor on a connection, within the server's limit of open cursors (ORA-01000).
  void Open(const std::shared_ptr<Connection>& conn);
  void Translate(Connection& conn);
  void PrepareSqlite(Connection& conn);
  void DescribeColumns(Connection& conn);
  void BindRow(Connection& conn, ub4 row);
  OracleError MapError(Connection& conn, int rc) const;
  void RunServerStatement(Connection& conn);
  // Writes the RETURNING row of DML iteration row into the INTO binds; returns the step code
  // after the statement's last row.
  int StoreReturning(int rc, ub4 row);
  Outcome ExecuteDml(Connection& conn, ub4 iters, ub4 rowoff, ub4 mode);
  // A PL/SQL block or CREATE of a stored unit, with the binds as its host variables: a block
  // runs once per iteration, scalar binds taking the iteration's array element. Returns
  // 24344 when a CREATE stored its unit with compilation errors.
  int RunPlsql(const std::shared_ptr<Connection>& conn, ub4 iters, ub4 rowoff);
  // Reads the whole result into rows_ for a scrollable cursor.
  void Materialize();
  void FreeRows();
  // Reads the rest of an open query's rows into rows_ and lets go of the SQLite statement's
  // read; the fetches that follow take the rows from there.
  void ReadAhead();
  Outcome StoreRows(size_t first, ub4 rows, bool scrolling);

  std::string text_;
  bool prepared_ = false;
  ub2 statementType_ = 0;
  ub2 functionCode_ = 0;
  std::optional<Translation> translation_;
  sqlite3_stmt* stmt_ = nullptr;
  std::shared_ptr<Connection> conn_;
  std::vector<ColumnDesc> columns_;
  bool described_ = false;
  std::map<std::string, BindBuffer> namedBinds_;
  std::map<ub4, BindBuffer> positionBinds_;
  std::map<ub4, DefineBuffer> defines_;
  bool executed_ = false;
  bool fetchDone_ = false;
  ub4 rowCount_ = 0;
  ub4 rowsFetched_ = 0;
  int parseOffset_ = 0;
  int64_t lastInsertRowid_ = 0;
  std::string lastTable_;
  std::vector<RowError> rowErrors_;
  bool scrollable_ = false;
  // A scrollable cursor's result, each row a copy of its values.
  std::vector<std::vector<sqlite3_value*>> rows_;
  ub4 position_ = 0;
  bool readAhead_ = false;  // the remaining rows are in rows_
};

}  // namespace ociemu
