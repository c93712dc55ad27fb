// Each ALL_ view is written once; its USER_ form drops the owner (where Oracle's does) and keeps
// the current user's rows, its DBA_ form is the same rows. Owners come from the catalogue; a
// table made outside it (by the admin tool's raw SQL) belongs to whoever asks, as every account
// sees the same tables here.
#include "ociemu/internal/Dictionary.h"

#include <map>
#include <stdexcept>

namespace ociemu {
namespace {

struct ViewColumn {
  const char* name;
  const char* type;
  const char* expression;
};

struct View {
  const char* name;   // without the ALL_ prefix
  const char* owner;  // the owner column; USER_ keeps it when keepOwner
  bool keepOwner;
  std::vector<ViewColumn> columns;
  const char* from;
};

// Objects with their owners: SQLite's tables, views and indexes, the catalogue's sequences and
// synonyms (synonyms are views in SQLite and are listed once, as synonyms).
constexpr const char* kObjects = R"(CREATE VIEW "OCIEMU$OBJECTS" AS
SELECT m.name AS name, upper(m.type) AS type,
       coalesce(o.owner, CASE WHEN m.name = 'DUAL' THEN 'SYS' ELSE ociemu_user() END) AS owner,
       coalesce(o.created, 2458850.0) AS created, m.sql AS text
  FROM sqlite_master m LEFT JOIN ociemu_objects o ON o.name = m.name AND o.type = upper(m.type)
 WHERE m.type IN ('table', 'view', 'index') AND m.name NOT LIKE 'ociemu%'
   AND m.name NOT LIKE 'sqlite%'
   AND NOT EXISTS (SELECT 1 FROM ociemu_synonyms s WHERE s.synonym_name = m.name)
UNION ALL
SELECT name, type, owner, created, NULL FROM ociemu_objects WHERE type IN ('SEQUENCE', 'SYNONYM'))";

const std::vector<View>& Views() {
  static const std::vector<View> views = {
      {"TABLES",
       "OWNER",
       false,
       {{"OWNER", "VARCHAR2(128)", "owner"},
        {"TABLE_NAME", "VARCHAR2(128)", "name"},
        {"TABLESPACE_NAME", "VARCHAR2(30)",
         "CASE WHEN owner = 'SYS' THEN 'SYSTEM' ELSE 'USERS' END"},
        {"CLUSTER_NAME", "VARCHAR2(128)", "NULL"},
        {"IOT_NAME", "VARCHAR2(128)", "NULL"},
        {"STATUS", "VARCHAR2(8)", "'VALID'"},
        {"PCT_FREE", "NUMBER", "10"},
        {"LOGGING", "VARCHAR2(3)", "'YES'"},
        {"NUM_ROWS", "NUMBER", "NULL"},
        {"BLOCKS", "NUMBER", "NULL"},
        {"LAST_ANALYZED", "DATE", "NULL"},
        {"PARTITIONED", "VARCHAR2(3)", "'NO'"},
        {"TEMPORARY", "VARCHAR2(1)", "'N'"},
        {"NESTED", "VARCHAR2(3)", "'NO'"},
        {"DROPPED", "VARCHAR2(3)", "'NO'"},
        {"READ_ONLY", "VARCHAR2(3)", "'NO'"}},
       "\"OCIEMU$OBJECTS\" WHERE type = 'TABLE'"},
      {"TAB_COLUMNS",
       "OWNER",
       false,
       {{"OWNER", "VARCHAR2(128)", "o.owner"},
        {"TABLE_NAME", "VARCHAR2(128)", "o.name"},
        {"COLUMN_NAME", "VARCHAR2(128)", "c.name"},
        {"DATA_TYPE", "VARCHAR2(128)", "ociemu_column_type(c.type, 'DATA_TYPE')"},
        {"DATA_TYPE_MOD", "VARCHAR2(3)", "NULL"},
        {"DATA_TYPE_OWNER", "VARCHAR2(128)", "NULL"},
        {"DATA_LENGTH", "NUMBER", "ociemu_column_type(c.type, 'DATA_LENGTH')"},
        {"DATA_PRECISION", "NUMBER", "ociemu_column_type(c.type, 'DATA_PRECISION')"},
        {"DATA_SCALE", "NUMBER", "ociemu_column_type(c.type, 'DATA_SCALE')"},
        {"NULLABLE", "VARCHAR2(1)", "CASE WHEN c.\"notnull\" OR c.pk THEN 'N' ELSE 'Y' END"},
        {"COLUMN_ID", "NUMBER", "c.cid + 1"},
        {"DEFAULT_LENGTH", "NUMBER", "length(coalesce(d.data_default, c.dflt_value))"},
        {"DATA_DEFAULT", "LONG", "coalesce(d.data_default, c.dflt_value)"},
        {"NUM_DISTINCT", "NUMBER", "NULL"},
        {"CHAR_LENGTH", "NUMBER", "ociemu_column_type(c.type, 'CHAR_LENGTH')"},
        {"CHAR_USED", "VARCHAR2(1)",
         "CASE WHEN ociemu_column_type(c.type, 'CHAR_LENGTH') > 0 THEN 'B' END"}},
       "\"OCIEMU$OBJECTS\" o JOIN pragma_table_info(o.name) c LEFT JOIN ociemu_column_defaults d "
       "ON d.table_name = o.name AND d.column_name = c.name WHERE o.type IN ('TABLE', 'VIEW')"},
      {"CONSTRAINTS",
       "OWNER",
       true,
       {{"OWNER", "VARCHAR2(128)", "owner"},
        {"CONSTRAINT_NAME", "VARCHAR2(128)", "name"},
        {"CONSTRAINT_TYPE", "VARCHAR2(1)", "type"},
        {"TABLE_NAME", "VARCHAR2(128)", "table_name"},
        {"SEARCH_CONDITION", "LONG", "search_condition"},
        {"R_OWNER", "VARCHAR2(128)", "r_owner"},
        {"R_CONSTRAINT_NAME", "VARCHAR2(128)", "r_constraint_name"},
        {"DELETE_RULE", "VARCHAR2(9)", "delete_rule"},
        {"STATUS", "VARCHAR2(8)", "status"},
        {"DEFERRABLE", "VARCHAR2(14)", "'NOT DEFERRABLE'"},
        {"DEFERRED", "VARCHAR2(9)", "'IMMEDIATE'"},
        {"VALIDATED", "VARCHAR2(13)",
         "CASE WHEN status = 'ENABLED' THEN 'VALIDATED' ELSE 'NOT VALIDATED' END"},
        {"GENERATED", "VARCHAR2(14)", "generated"},
        {"BAD", "VARCHAR2(3)", "NULL"},
        {"RELY", "VARCHAR2(4)", "NULL"},
        {"LAST_CHANGE", "DATE", "NULL"},
        {"INDEX_OWNER", "VARCHAR2(128)", "CASE WHEN type IN ('P', 'U') THEN owner END"},
        {"INDEX_NAME", "VARCHAR2(128)", "CASE WHEN type IN ('P', 'U') THEN name END"},
        {"INVALID", "VARCHAR2(7)", "NULL"},
        {"VIEW_RELATED", "VARCHAR2(14)", "NULL"}},
       "ociemu_constraints"},
      {"CONS_COLUMNS",
       "OWNER",
       true,
       {{"OWNER", "VARCHAR2(128)", "c.owner"},
        {"CONSTRAINT_NAME", "VARCHAR2(128)", "c.name"},
        {"TABLE_NAME", "VARCHAR2(128)", "c.table_name"},
        {"COLUMN_NAME", "VARCHAR2(4000)", "k.column_name"},
        {"POSITION", "NUMBER", "k.position"}},
       "ociemu_constraints c JOIN ociemu_cons_columns k ON k.constraint_name = c.name"},
      {"SEQUENCES",
       "SEQUENCE_OWNER",
       false,
       {{"SEQUENCE_OWNER", "VARCHAR2(128)", "coalesce(owner, ociemu_user())"},
        {"SEQUENCE_NAME", "VARCHAR2(128)", "name"},
        {"MIN_VALUE", "NUMBER", "coalesce(min_value, 1)"},
        {"MAX_VALUE", "NUMBER",
         "CASE WHEN max_value IS NULL OR max_value = 9223372036854775807 "
         "THEN '9999999999999999999999999999' ELSE max_value END"},
        {"INCREMENT_BY", "NUMBER", "increment_by"},
        {"CYCLE_FLAG", "VARCHAR2(1)", "coalesce(cycle_flag, 'N')"},
        {"ORDER_FLAG", "VARCHAR2(1)", "coalesce(order_flag, 'N')"},
        {"CACHE_SIZE", "NUMBER", "coalesce(cache_size, 20)"},
        {"LAST_NUMBER", "NUMBER", "next_value"}},
       "ociemu_sequences"},
      {"OBJECTS",
       "OWNER",
       false,
       {{"OWNER", "VARCHAR2(128)", "owner"},
        {"OBJECT_NAME", "VARCHAR2(128)", "name"},
        {"SUBOBJECT_NAME", "VARCHAR2(128)", "NULL"},
        {"OBJECT_ID", "NUMBER", "ociemu_object_number(name)"},
        {"DATA_OBJECT_ID", "NUMBER",
         "CASE WHEN type IN ('TABLE', 'INDEX') THEN ociemu_object_number(name) END"},
        {"OBJECT_TYPE", "VARCHAR2(23)", "type"},
        {"CREATED", "DATE", "created"},
        {"LAST_DDL_TIME", "DATE", "created"},
        {"TIMESTAMP", "VARCHAR2(19)", "strftime('%Y-%m-%d:%H:%M:%S', created)"},
        {"STATUS", "VARCHAR2(7)", "'VALID'"},
        {"TEMPORARY", "VARCHAR2(1)", "'N'"},
        {"GENERATED", "VARCHAR2(1)", "'N'"},
        {"SECONDARY", "VARCHAR2(1)", "'N'"}},
       "\"OCIEMU$OBJECTS\""},
      {"SYNONYMS",
       "OWNER",
       false,
       {{"OWNER", "VARCHAR2(128)", "owner"},
        {"SYNONYM_NAME", "VARCHAR2(128)", "synonym_name"},
        {"TABLE_OWNER", "VARCHAR2(128)", "table_owner"},
        {"TABLE_NAME", "VARCHAR2(128)", "table_name"},
        {"DB_LINK", "VARCHAR2(128)", "db_link"}},
       "ociemu_synonyms"},
      {"VIEWS",
       "OWNER",
       false,
       {{"OWNER", "VARCHAR2(128)", "owner"},
        {"VIEW_NAME", "VARCHAR2(128)", "name"},
        {"TEXT_LENGTH", "NUMBER", "length(text)"},
        {"TEXT", "LONG", "text"}},
       "\"OCIEMU$OBJECTS\" WHERE type = 'VIEW'"},
      {"USERS",
       "USERNAME",
       true,
       {{"USERNAME", "VARCHAR2(128)", "name"},
        {"USER_ID", "NUMBER", "rowid + 100"},
        {"CREATED", "DATE", "2458850.0"}},
       "ociemu_accounts"},
  };
  return views;
}

std::string Quote(const std::string& name) {
  return "\"" + name + "\"";
}

std::map<std::string, std::vector<DictionaryColumn>, std::less<>> BuildColumns() {
  std::map<std::string, std::vector<DictionaryColumn>, std::less<>> all;
  for (const auto& v : Views()) {
    std::vector<DictionaryColumn> columns, user;
    for (const auto& c : v.columns) {
      columns.push_back({c.name, c.type});
      if (v.keepOwner || std::string(c.name) != v.owner) user.push_back({c.name, c.type});
    }
    all[std::string("ALL_") + v.name] = columns;
    all[std::string("DBA_") + v.name] = columns;
    if (std::string(v.name) != "USERS") all[std::string("USER_") + v.name] = user;
  }
  all["V$VERSION"] = {{"BANNER", "VARCHAR2(80)"},
                      {"BANNER_FULL", "VARCHAR2(160)"},
                      {"BANNER_LEGACY", "VARCHAR2(80)"},
                      {"CON_ID", "NUMBER"}};
  return all;
}

void Exec(sqlite3* db, const std::string& sql) {
  char* err = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
    std::string msg = err ? err : sqlite3_errmsg(db);
    sqlite3_free(err);
    throw std::runtime_error(msg + " in " + sql);
  }
}

}  // namespace

const std::vector<DictionaryColumn>* DictionaryViewColumns(std::string_view view) {
  static const auto columns = BuildColumns();
  auto it = columns.find(view);
  return it == columns.end() ? nullptr : &it->second;
}

std::string DictionaryRelease() {
  return "3";
}

void InstallDictionary(sqlite3* db) {
  auto create = [&](const std::string& name, const std::string& select) {
    Exec(db, "DROP VIEW IF EXISTS " + Quote(name));
    Exec(db, "CREATE VIEW " + Quote(name) + " AS " + select);
    Exec(db, "INSERT OR REPLACE INTO ociemu_objects (name, type, owner, created) VALUES ('" + name +
                 "', 'VIEW', 'SYS', 2458850.0)");
  };
  Exec(db, "DROP VIEW IF EXISTS \"OCIEMU$OBJECTS\"");
  Exec(db, kObjects);
  for (const auto& v : Views()) {
    std::string all, user;
    for (const auto& c : v.columns) {
      all += std::string(all.empty() ? "" : ", ") + c.expression + " AS " + Quote(c.name);
      if (v.keepOwner || std::string(c.name) != v.owner) {
        user += std::string(user.empty() ? "" : ", ") + Quote(c.name);
      }
    }
    const std::string allName = std::string("ALL_") + v.name;
    create(allName, "SELECT " + all + " FROM " + v.from);
    create(std::string("DBA_") + v.name, "SELECT * FROM " + Quote(allName));
    if (std::string(v.name) != "USERS") {
      create(std::string("USER_") + v.name, "SELECT " + user + " FROM " + Quote(allName) +
                                                " WHERE " + Quote(v.owner) + " = ociemu_user()");
    }
  }
  create("V$VERSION",
         "SELECT ociemu_version_line(n, 'BANNER') AS BANNER, ociemu_version_line(n, "
         "'BANNER_FULL') AS BANNER_FULL, ociemu_version_line(n, 'BANNER') AS BANNER_LEGACY, 0 "
         "AS CON_ID FROM (SELECT 1 AS n UNION ALL SELECT 2 UNION ALL SELECT 3 UNION ALL SELECT 4 "
         "UNION ALL SELECT 5) WHERE ociemu_version_line(n, 'BANNER') IS NOT NULL");
}

}  // namespace ociemu
