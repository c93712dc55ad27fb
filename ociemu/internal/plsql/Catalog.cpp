#include "ociemu/internal/plsql/Catalog.h"

#include "ociemu/internal/OracleError.h"

namespace ociemu::plsql {
namespace {

// A prepared statement freed at scope end.
class Statement {
 public:
  Statement(sqlite3* db, const char* sql) {
    if (sqlite3_prepare_v2(db, sql, -1, &st_, nullptr) != SQLITE_OK) {
      throw OracleError(600, {sqlite3_errmsg(db)});
    }
  }
  ~Statement() { sqlite3_finalize(st_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  Statement& Text(int i, const std::string& s) {
    sqlite3_bind_text(st_, i, s.c_str(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
    return *this;
  }
  Statement& Int(int i, int v) {
    sqlite3_bind_int(st_, i, v);
    return *this;
  }
  int Step() { return sqlite3_step(st_); }
  sqlite3_stmt* Raw() { return st_; }

 private:
  sqlite3_stmt* st_ = nullptr;
};

const char* TypeName(Unit::Kind kind) {
  switch (kind) {
    case Unit::kProcedure:
      return "PROCEDURE";
    case Unit::kFunction:
      return "FUNCTION";
    case Unit::kPackage:
      return "PACKAGE";
    case Unit::kPackageBody:
      return "PACKAGE BODY";
    default:
      return "";
  }
}

const char* DataTypeName(const TypeSpec& t) {
  switch (t.base) {
    case TypeSpec::kNumber:
      return "NUMBER";
    case TypeSpec::kInteger:
      return "BINARY_INTEGER";
    case TypeSpec::kVarchar:
      return "VARCHAR2";
    case TypeSpec::kChar:
      return "CHAR";
    case TypeSpec::kDate:
      return "DATE";
    case TypeSpec::kBoolean:
      return "PL/SQL BOOLEAN";
    case TypeSpec::kRaw:
      return "RAW";
    case TypeSpec::kAny:
      return "REF CURSOR";
  }
  return "";
}

void StoreArguments(sqlite3* db, const std::string& owner, const std::string& package,
                    const Routine& r, int overload) {
  auto row = [&](int position, const std::string* name, const TypeSpec& type, const char* inOut) {
    Statement st(db, "insert into ociemu_plsql_arguments values (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
    st.Text(1, owner).Text(2, package).Text(3, r.name).Int(4, overload).Int(5, position);
    if (name) st.Text(6, *name);
    st.Text(7, DataTypeName(type)).Text(8, inOut);
    st.Step();
  };
  if (r.isFunction) row(0, nullptr, r.returns, "OUT");
  int position = 1;
  for (const auto& p : r.params) {
    row(position++, &p.name, p.type, p.out ? (p.in ? "IN/OUT" : "OUT") : "IN");
  }
}

}  // namespace

void EnsureCatalog(sqlite3* db) {
  static const char* ddl =
      "create table if not exists ociemu_plsql_units (owner text not null, name text not null, "
      "type text not null, source text not null, created real, status text not null default "
      "'VALID', primary key (owner, name, type));"
      "create table if not exists ociemu_plsql_arguments (owner text not null, package_name text "
      "not null, object_name text not null, overload integer, position integer, argument_name "
      "text, data_type text, in_out text);";
  if (sqlite3_exec(db, ddl, nullptr, nullptr, nullptr) != SQLITE_OK) {
    throw OracleError(600, {sqlite3_errmsg(db)});
  }
}

void StoreUnit(sqlite3* db, const Unit& unit, const std::string& owner, bool valid) {
  EnsureCatalog(db);
  const std::string type = TypeName(unit.kind);
  if (!unit.orReplace) {
    // A name is one object per schema, whatever its type (a package and its body share it).
    Statement taken(db, "select type from ociemu_plsql_units where owner = ?1 and name = ?2");
    taken.Text(1, owner).Text(2, unit.name);
    while (taken.Step() == SQLITE_ROW) {
      std::string existing = reinterpret_cast<const char*>(sqlite3_column_text(taken.Raw(), 0));
      if (!(unit.kind == Unit::kPackageBody && existing == "PACKAGE")) throw OracleError(955);
    }
  }
  Statement drop(db, "delete from ociemu_plsql_units where owner = ?1 and name = ?2 and type = ?3");
  drop.Text(1, owner).Text(2, unit.name).Text(3, type).Step();
  Statement save(db,
                 "insert into ociemu_plsql_units values (?1, ?2, ?3, ?4, julianday('now'), ?5)");
  save.Text(1, owner).Text(2, unit.name).Text(3, type).Text(4, unit.source);
  save.Text(5, valid ? "VALID" : "INVALID").Step();
  const bool isPackage = unit.kind == Unit::kPackage || unit.kind == Unit::kPackageBody;
  if (unit.kind == Unit::kPackageBody) return;  // the package header lists the arguments
  Statement args(db, isPackage ? "delete from ociemu_plsql_arguments where owner = ?1 and "
                                 "package_name = ?2"
                               : "delete from ociemu_plsql_arguments where owner = ?1 and "
                                 "package_name = '' and object_name = ?2");
  args.Text(1, owner).Text(2, unit.name).Step();
  if (!valid) return;
  if (isPackage) {
    for (const auto& r : unit.routines) StoreArguments(db, owner, unit.name, *r, 0);
  } else {
    StoreArguments(db, owner, "", *unit.main, 0);
  }
}

std::optional<std::string> StoredSource(sqlite3* db, const std::string& owner,
                                        const std::string& name, const std::string& type) {
  sqlite3_stmt* st = nullptr;
  // Without the table nothing was ever stored.
  if (sqlite3_prepare_v2(db,
                         "select source from ociemu_plsql_units where owner = ?1 and name = ?2 "
                         "and type = ?3",
                         -1, &st, nullptr) != SQLITE_OK) {
    sqlite3_finalize(st);
    return std::nullopt;
  }
  sqlite3_bind_text(st, 1, owner.c_str(), -1, SQLITE_TRANSIENT);
  sqlite3_bind_text(st, 2, name.c_str(), -1, SQLITE_TRANSIENT);
  sqlite3_bind_text(st, 3, type.c_str(), -1, SQLITE_TRANSIENT);
  std::optional<std::string> source;
  if (sqlite3_step(st) == SQLITE_ROW) {
    source = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
  }
  sqlite3_finalize(st);
  return source;
}

bool StoredValid(sqlite3* db, const std::string& owner, const std::string& name,
                 const std::string& type) {
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db,
                         "select status from ociemu_plsql_units where owner = ?1 and name = ?2 "
                         "and type = ?3",
                         -1, &st, nullptr) != SQLITE_OK) {
    sqlite3_finalize(st);
    return false;
  }
  sqlite3_bind_text(st, 1, owner.c_str(), -1, SQLITE_TRANSIENT);
  sqlite3_bind_text(st, 2, name.c_str(), -1, SQLITE_TRANSIENT);
  sqlite3_bind_text(st, 3, type.c_str(), -1, SQLITE_TRANSIENT);
  bool valid = sqlite3_step(st) == SQLITE_ROW &&
               std::string(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))) == "VALID";
  sqlite3_finalize(st);
  return valid;
}

}  // namespace ociemu::plsql
