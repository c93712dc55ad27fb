// The Oracle dialect over SQLite: a statement as Oracle reads it becomes what SQLite runs,
// with what the describe calls need (Oracle's column names and types of select-list
// expressions) and a map from SQLite's text back to the user's offsets for parse errors.
//
// The translation works on tokens. It finds the query blocks and their FROM lists, infers the
// types of expressions from the tables' declared types, and rewrites what SQLite reads
// differently: SYSDATE and USER, bind variables, '' (Oracle's NULL), division (never integer
// division), MINUS, ROWID, schema prefixes, TO_CHAR/TRUNC/ROUND of dates, Oracle column types in
// CREATE TABLE, and the statements the server answers itself (ALTER SESSION, ALTER USER,
// COMMIT, ROLLBACK, sequences).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ociemu/internal/ColumnType.h"
#include "ociemu/internal/Rowid.h"  // the ROWID text the rewrites produce

namespace ociemu {

// What the translation may ask of the database.
class SchemaLookup {
 public:
  virtual ~SchemaLookup() = default;
  // The declared type of table.column, when both exist.
  virtual std::optional<std::string> DeclaredType(const std::string& table,
                                                  const std::string& column) = 0;
  // Whether name is a database account (a schema prefix to drop).
  virtual bool IsAccount(const std::string& name) = 0;
};

struct SelectItem {
  std::string name;  // Oracle's column name; empty for "*" and "t.*"
  ColumnType type;   // the inferred type; known == false leaves it to the table's declaration
  bool star = false;
};

// A constraint as CREATE TABLE declares it, for the catalogue.
struct TableConstraint {
  std::string name;  // empty: the server names it SYS_Cnnnnnnn
  char type = 'C';   // P primary key, U unique, R foreign key, C check (NOT NULL included)
  std::vector<std::string> columns;
  std::string condition;                // C: the condition as written
  std::string refTable;                 // R
  std::vector<std::string> refColumns;  // R: empty for the referenced table's primary key
  std::string deleteRule = "NO ACTION";
  bool enabled = true;
  std::string sqliteName;  // C: the name SQLite reports when the check fails
};

// What CREATE TABLE adds to the catalogue beside SQLite's own schema.
struct TableDefinition {
  std::string name;
  std::vector<std::pair<std::string, std::string>> defaults;  // column, DEFAULT text as written
  std::vector<TableConstraint> constraints;
};

struct Translation {
  enum Action {
    kQuery,  // rows to fetch
    kDml,    // INSERT, UPDATE, DELETE
    kDdl,    // runs after committing, possibly several SQLite statements
    kCommit,
    kRollback,  // savepoint names a ROLLBACK TO
    kSavepoint,
    kAlterSession,  // settings
    kAlterUser,     // alterUser
    kCreateSequence,
    kDropSequence,
    kUnsupported,  // a statement this server cannot run (PL/SQL, MERGE ...)
  };
  Action action = kUnsupported;
  uint16_t statementType = 0;  // OCI_STMT_*
  uint16_t functionCode = 0;   // the SQL function code of the OCI7 data area and SQLFNCODE
  std::string sql;
  std::vector<std::string> binds;  // the name behind ?1, ?2 ... (upper-cased, "1" for :1)
  // DML ... RETURNING expressions INTO :a, :b: the output binds, in order; the statement
  // returns the expressions as SQLite's RETURNING rows.
  std::vector<std::string> returningInto;
  std::vector<SelectItem> items;
  std::vector<std::pair<std::string, std::string>> settings;  // ALTER SESSION, names lower-case
  std::string savepoint;
  struct {
    std::string user;
    std::optional<std::string> password;
    std::optional<bool> lock;
    bool expire = false;
  } alterUser;
  struct {
    std::string name;
    int64_t start = 1;
    int64_t increment = 1;
    std::optional<int64_t> minValue, maxValue;
    int64_t cache = 20;
    bool cycle = false;
    bool order = false;
  } sequence;
  TableDefinition table;  // CREATE TABLE
  // DROP TABLE / VIEW / SEQUENCE / SYNONYM and CREATE VIEW / SYNONYM: the object and its kind.
  std::string objectName, objectType;
  bool publicSynonym = false;
  std::string synonymTarget;

  // Where a position of sql came from in the original text.
  size_t OriginalOffset(size_t position) const;
  std::vector<std::pair<size_t, size_t>> offsets;  // (position in sql, original offset)
};

// Statement type and function code from the first words alone (what OCIStmtPrepare knows).
std::pair<uint16_t, uint16_t> Classify(std::string_view sql);

// Throws OracleError with Oracle's code and the offset of the fault.
Translation Translate(std::string_view sql, SchemaLookup& schema);

}  // namespace ociemu
