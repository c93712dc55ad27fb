// Catalogue rows live in tables of the database file, so that every connection and the admin
// tool see the same names; they change in the same SQLite transaction as the DDL they describe.
#include "ociemu/internal/Catalogue.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <stdexcept>
#include <vector>

#include "ociemu/internal/SqliteStatement.h"

namespace ociemu {
namespace {

constexpr const char* kCatalogueSchema = R"(
create table if not exists ociemu_objects (
  name text not null, type text not null, owner text not null, created real,
  primary key (name, type));
create table if not exists ociemu_constraints (
  name text primary key, owner text not null, type text not null, table_name text not null,
  search_condition text, r_owner text, r_constraint_name text, delete_rule text,
  status text not null, generated text not null, sqlite_name text);
create table if not exists ociemu_cons_columns (
  constraint_name text not null, column_name text not null, position integer);
create table if not exists ociemu_column_defaults (
  table_name text not null, column_name text not null, data_default text not null,
  primary key (table_name, column_name));
create table if not exists ociemu_synonyms (
  owner text not null, synonym_name text not null, table_owner text, table_name text not null,
  db_link text, primary key (owner, synonym_name));
create table if not exists ociemu_sequences (
  name text primary key, next_value integer not null, increment_by integer not null);
)";

// Columns sequences gained after the first release of the file format.
constexpr const char* kSequenceColumns[][2] = {
    {"owner", "text"},
    {"min_value", "integer"},
    {"max_value", "integer"},
    {"cache_size", "integer"},
    {"cycle_flag", "text default 'N'"},
    {"order_flag", "text default 'N'"},
};

void Exec(sqlite3* db, const std::string& sql) {
  char* err = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
    std::string msg = err ? err : sqlite3_errmsg(db);
    sqlite3_free(err);
    throw std::runtime_error(msg);
  }
}

// SYS_C followed by seven digits, numbered across the database as Oracle numbers them.
std::string GeneratedName(sqlite3* db) {
  int64_t next = 10000;
  {
    SqliteStatement q(db, "select value from ociemu_settings where name = 'constraint_number'");
    if (q.Step()) next = std::stoll(q.Text(0));
  }
  SqliteStatement q(
      db, "insert or replace into ociemu_settings (name, value) values ('constraint_number', ?1)");
  q.Bind(1, std::to_string(next + 1)).Run();
  char name[32];
  std::snprintf(name, sizeof name, "SYS_C%07lld", static_cast<long long>(next));
  return name;
}

void RecordObject(sqlite3* db, const std::string& name, const std::string& type,
                  const std::string& owner) {
  SqliteStatement q(db,
                    "insert or replace into ociemu_objects (name, type, owner, created) "
                    "values (?1, ?2, ?3, julianday('now', 'localtime'))");
  q.Bind(1, name).Bind(2, type).Bind(3, owner).Run();
}

void ForgetTable(sqlite3* db, const std::string& table) {
  SqliteStatement columns(db,
                          "delete from ociemu_cons_columns where constraint_name in "
                          "(select name from ociemu_constraints where table_name = ?1)");
  columns.Bind(1, table).Run();
  SqliteStatement constraints(db, "delete from ociemu_constraints where table_name = ?1");
  constraints.Bind(1, table).Run();
  SqliteStatement defaults(db, "delete from ociemu_column_defaults where table_name = ?1");
  defaults.Bind(1, table).Run();
}

// The primary or unique key of table over columns (its primary key when columns is empty).
std::optional<std::pair<std::string, std::string>> KeyOf(sqlite3* db, const std::string& table,
                                                         const std::vector<std::string>& columns) {
  SqliteStatement q(
      db,
      "select c.name, c.owner, group_concat(k.column_name, ',') from ociemu_constraints c "
      "join (select * from ociemu_cons_columns order by position) k "
      "on k.constraint_name = c.name where c.table_name = ?1 and c.type in ('P', 'U') "
      "group by c.name order by c.type");
  q.Bind(1, table);
  std::vector<std::string> wanted = columns;
  std::sort(wanted.begin(), wanted.end());
  while (q.Step()) {
    std::vector<std::string> have;
    std::string list = q.Text(2);
    size_t start = 0;
    while (start <= list.size()) {
      size_t comma = list.find(',', start);
      if (comma == std::string::npos) comma = list.size();
      have.push_back(list.substr(start, comma - start));
      start = comma + 1;
    }
    std::sort(have.begin(), have.end());
    if (columns.empty() || have == wanted) return std::make_pair(q.Text(0), q.Text(1));
  }
  return std::nullopt;
}

void RecordTable(sqlite3* db, const TableDefinition& table, const std::string& owner) {
  ForgetTable(db, table.name);
  RecordObject(db, table.name, "TABLE", owner);
  SqliteStatement defaults(
      db,
      "insert or replace into ociemu_column_defaults (table_name, column_name, "
      "data_default) values (?1, ?2, ?3)");
  for (const auto& [column, text] : table.defaults)
    defaults.Bind(1, table.name).Bind(2, column).Bind(3, text).Run();
  SqliteStatement insert(
      db,
      "insert into ociemu_constraints (name, owner, type, table_name, search_condition, "
      "r_owner, r_constraint_name, delete_rule, status, generated, sqlite_name) "
      "values (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)");
  SqliteStatement column(db,
                         "insert into ociemu_cons_columns (constraint_name, column_name, position) "
                         "values (?1, ?2, ?3)");
  // Keys first, so that a foreign key of the table on itself finds the key it references.
  std::vector<const TableConstraint*> ordered;
  for (const auto& c : table.constraints) {
    if (c.type != 'R') ordered.push_back(&c);
  }
  for (const auto& c : table.constraints) {
    if (c.type == 'R') ordered.push_back(&c);
  }
  for (const TableConstraint* c : ordered) {
    const std::string name = c->name.empty() ? GeneratedName(db) : c->name;
    {
      SqliteStatement exists(db, "select 1 from ociemu_constraints where name = ?1");
      exists.Bind(1, name);
      if (exists.Step()) throw OracleError(2264);
    }
    insert.Bind(1, name).Bind(2, owner).Bind(3, std::string(1, c->type)).Bind(4, table.name);
    c->condition.empty() ? insert.BindNull(5) : insert.Bind(5, c->condition);
    insert.BindNull(6).BindNull(7).BindNull(8);
    if (c->type == 'R') {
      // A table made outside the catalogue has no key to name; SQLite still enforces the key.
      if (auto key = KeyOf(db, c->refTable, c->refColumns)) {
        insert.Bind(6, key->second).Bind(7, key->first);
      }
      insert.Bind(8, c->deleteRule);
    }
    insert.Bind(9, std::string(c->enabled ? "ENABLED" : "DISABLED"))
        .Bind(10, std::string(c->name.empty() ? "GENERATED NAME" : "USER NAME"));
    c->sqliteName.empty() ? insert.BindNull(11) : insert.Bind(11, c->sqliteName);
    insert.Run();
    const bool positioned = c->type != 'C';  // check constraints have no column positions
    for (size_t k = 0; k < c->columns.size(); ++k) {
      column.Bind(1, name).Bind(2, c->columns[k]);
      positioned ? column.Bind(3, static_cast<int64_t>(k + 1)) : column.BindNull(3);
      column.Run();
    }
  }
}

std::string After(const std::string& message, const char* prefix) {
  size_t p = message.find(prefix);
  return p == std::string::npos ? std::string() : message.substr(p + std::string(prefix).size());
}

}  // namespace

void EnsureCatalogue(sqlite3* db) {
  Exec(db, kCatalogueSchema);
  std::vector<std::string> have;
  {
    SqliteStatement q(db, "select name from pragma_table_info('ociemu_sequences')");
    while (q.Step()) have.push_back(q.Text(0));
  }
  for (const auto& [name, type] : kSequenceColumns) {
    if (std::find(have.begin(), have.end(), name) == have.end()) {
      Exec(db, std::string("alter table ociemu_sequences add column ") + name + " " + type);
    }
  }
}

void RecordDdl(sqlite3* db, const Translation& t, const std::string& owner) {
  if (!t.table.name.empty()) return RecordTable(db, t.table, owner);
  if (t.objectName.empty()) return;
  if (t.objectType == "DROP TABLE") {
    ForgetTable(db, t.objectName);
    SqliteStatement q(db, "delete from ociemu_objects where name = ?1 and type = 'TABLE'");
    q.Bind(1, t.objectName).Run();
  } else if (t.objectType == "DROP VIEW" || t.objectType == "DROP INDEX") {
    SqliteStatement q(db, "delete from ociemu_objects where name = ?1 and type = ?2");
    q.Bind(1, t.objectName).Bind(2, t.objectType.substr(5)).Run();
  } else if (t.objectType == "VIEW" || t.objectType == "INDEX") {
    RecordObject(db, t.objectName, t.objectType, owner);
  } else if (t.objectType == "SYNONYM") {
    const std::string synonymOwner = t.publicSynonym ? "PUBLIC" : owner;
    SqliteStatement q(
        db,
        "insert or replace into ociemu_synonyms (owner, synonym_name, table_owner, table_name) "
        "values (?1, ?2, ?3, ?4)");
    std::string targetOwner = ObjectOwner(db, t.synonymTarget);
    q.Bind(1, synonymOwner)
        .Bind(2, t.objectName)
        .Bind(3, targetOwner.empty() ? owner : targetOwner)
        .Bind(4, t.synonymTarget)
        .Run();
    RecordObject(db, t.objectName, "SYNONYM", synonymOwner);
  } else if (t.objectType == "DROP SYNONYM") {
    SqliteStatement q(db, "delete from ociemu_synonyms where synonym_name = ?1 and owner = ?2");
    q.Bind(1, t.objectName).Bind(2, t.publicSynonym ? std::string("PUBLIC") : owner).Run();
    if (sqlite3_changes(db) == 0) throw OracleError(t.publicSynonym ? 1432 : 1434);
    SqliteStatement o(db, "delete from ociemu_objects where name = ?1 and type = 'SYNONYM'");
    o.Bind(1, t.objectName).Run();
  }
}

void CreateSequence(sqlite3* db, const Translation& t, const std::string& owner) {
  const auto& s = t.sequence;
  {
    SqliteStatement exists(db,
                           "select 1 from sqlite_master where name = ?1 collate nocase "
                           "union all select 1 from ociemu_sequences where name = ?1");
    exists.Bind(1, s.name);
    if (exists.Step()) throw OracleError(955);
  }
  SqliteStatement q(
      db,
      "insert into ociemu_sequences (name, next_value, increment_by, owner, min_value, "
      "max_value, cache_size, cycle_flag, order_flag) values (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, "
      "?9)");
  q.Bind(1, s.name).Bind(2, s.start).Bind(3, s.increment).Bind(4, owner);
  q.Bind(5, s.minValue.value_or(1))
      .Bind(6, s.maxValue.value_or(std::numeric_limits<int64_t>::max()));
  q.Bind(7, s.cache)
      .Bind(8, std::string(s.cycle ? "Y" : "N"))
      .Bind(9, std::string(s.order ? "Y" : "N"));
  q.Run();
  RecordObject(db, s.name, "SEQUENCE", owner);
}

void DropSequence(sqlite3* db, const Translation& t) {
  SqliteStatement q(db, "delete from ociemu_sequences where name = ?1");
  q.Bind(1, t.sequence.name).Run();
  if (sqlite3_changes(db) == 0) throw OracleError(2289);
  SqliteStatement o(db, "delete from ociemu_objects where name = ?1 and type = 'SEQUENCE'");
  o.Bind(1, t.sequence.name).Run();
}

int64_t NextSequenceValue(sqlite3* db, const std::string& name) {
  SqliteStatement q(db,
                    "select next_value, increment_by, coalesce(min_value, 1), "
                    "coalesce(max_value, 9223372036854775807), coalesce(cycle_flag, 'N') "
                    "from ociemu_sequences where name = ?1");
  q.Bind(1, name);
  if (!q.Step()) throw OracleError(2289);
  const int64_t value = q.Int(0), increment = q.Int(1), low = q.Int(2), high = q.Int(3);
  const bool cycle = q.Text(4) == "Y";
  if (value > high || value < low) {
    // A sequence past its end starts over when it cycles and fails otherwise.
    if (!cycle) {
      throw OracleError(
          8004, {name, increment > 0 ? "exceeds" : "goes below", increment > 0 ? "MAX" : "MIN"});
    }
  }
  int64_t current = value;
  if (value > high) current = low;
  if (value < low) current = high;
  // Beyond int64 the stored value saturates; no sequence of a test gets there.
  int64_t next = 0;
  if (__builtin_add_overflow(current, increment, &next)) {
    next =
        increment > 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
  }
  SqliteStatement u(db, "update ociemu_sequences set next_value = ?1 where name = ?2");
  u.Bind(1, next).Bind(2, name).Run();
  return current;
}

void KeepSequencesAfterRollback(sqlite3* db, const std::map<std::string, int64_t>& currval) {
  if (currval.empty()) return;
  SqliteStatement q(
      db,
      "update ociemu_sequences set next_value = CASE WHEN increment_by > 0 "
      "THEN max(next_value, ?2 + increment_by) ELSE min(next_value, ?2 + increment_by) END "
      "where name = ?1");
  for (const auto& [name, value] : currval) q.Bind(1, name).Bind(2, value).Run();
}

std::string ObjectOwner(sqlite3* db, const std::string& name) {
  SqliteStatement q(db,
                    "select owner from ociemu_objects where name = ?1 order by type = 'SYNONYM'");
  q.Bind(1, name);
  return q.Step() ? q.Text(0) : "";
}

std::optional<OracleError> ConstraintError(sqlite3* db, const std::string& message,
                                           int statementType, const std::string& table) {
  auto named = [&](int code, const std::string& name) -> std::optional<OracleError> {
    SqliteStatement q(db, "select owner from ociemu_constraints where name = ?1");
    q.Bind(1, name);
    if (!q.Step()) return std::nullopt;
    return OracleError(code, {q.Text(0), name});
  };
  if (std::string what = After(message, "UNIQUE constraint failed: "); !what.empty()) {
    // "T.A, T.B": the table and the key's columns.
    std::string tableName = what.substr(0, what.find('.'));
    std::vector<std::string> columns;
    size_t start = 0;
    while (start < what.size()) {
      size_t comma = what.find(", ", start);
      if (comma == std::string::npos) comma = what.size();
      std::string part = what.substr(start, comma - start);
      columns.push_back(part.substr(part.find('.') + 1));
      start = comma + 2;
    }
    if (auto key = KeyOf(db, tableName, columns)) return OracleError(1, {key->second, key->first});
    return std::nullopt;
  }
  if (std::string what = After(message, "CHECK constraint failed: "); !what.empty()) {
    SqliteStatement q(db, "select name, owner from ociemu_constraints where sqlite_name = ?1");
    q.Bind(1, what);
    if (q.Step()) return OracleError(2290, {q.Text(1), q.Text(0)});
    return std::nullopt;
  }
  if (message.find("FOREIGN KEY constraint failed") != std::string::npos) {
    // SQLite does not say which key failed: the table's own foreign key when it writes a child
    // row, else a foreign key that references it.
    const bool child = statementType != 3 /* OCI_STMT_DELETE */;
    SqliteStatement own(
        db,
        "select name from ociemu_constraints where type = 'R' and status = 'ENABLED' and "
        "table_name = ?1 order by name");
    own.Bind(1, table);
    if (child && own.Step()) return named(2291, own.Text(0));
    SqliteStatement referencing(
        db,
        "select c.name from ociemu_constraints c join ociemu_constraints k on "
        "k.name = c.r_constraint_name where c.type = 'R' and k.table_name = ?1 "
        "order by c.name");
    referencing.Bind(1, table);
    if (referencing.Step()) return named(2292, referencing.Text(0));
    return std::nullopt;
  }
  if (std::string what = After(message, "NOT NULL constraint failed: "); !what.empty()) {
    const std::string tableName = what.substr(0, what.find('.'));
    const std::string column = what.substr(what.find('.') + 1);
    std::string owner = ObjectOwner(db, tableName);
    if (owner.empty()) return std::nullopt;
    return OracleError(statementType == 2 /* OCI_STMT_UPDATE */ ? 1407 : 1400,
                       {"\"" + owner + "\".\"" + tableName + "\".\"" + column + "\""});
  }
  return std::nullopt;
}

}  // namespace ociemu
