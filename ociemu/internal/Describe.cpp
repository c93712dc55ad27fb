// Schema objects come from the database's own catalogue: SQLite's tables and views with the
// owners the catalogue records, the stored PL/SQL units and their arguments, and synonyms. The
// columns of a table or view are what a select of all its columns describes, so explicit and
// implicit describes never disagree.
#include "ociemu/internal/Describe.h"

#include <sqlite3.h>

#include <cctype>
#include <optional>

#include "ociemu/internal/Catalogue.h"
#include "ociemu/internal/Connection.h"
#include "ociemu/internal/Cursor.h"
#include "ociemu/internal/Dialect.h"
#include "ociemu/internal/OracleError.h"
#include "ociemu/internal/SqlLexer.h"

namespace ociemu {
namespace {

struct ObjectName {
  std::string schema;  // empty when not given
  std::string name;
  std::string link;
};

// name1[.name2][@link]: unquoted parts upper-cased, quoted ones kept as written.
std::optional<ObjectName> ParseObjectName(const std::string& text) {
  std::vector<std::string> parts(1);
  std::string link;
  bool quoted = false, partQuoted = false, inLink = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    std::string& part = inLink ? link : parts.back();
    if (quoted) {
      if (c == '"') {
        quoted = false;
      } else {
        part += c;
      }
    } else if (c == '"') {
      if (!part.empty()) return std::nullopt;
      quoted = partQuoted = true;
    } else if (c == '.' && !inLink) {
      if (parts.back().empty()) return std::nullopt;
      parts.emplace_back();
      partQuoted = false;
    } else if (c == '@' && !inLink) {
      inLink = true;
      partQuoted = false;
    } else if (std::isspace(static_cast<unsigned char>(c))) {
      if (!part.empty() && i + 1 < text.size() &&
          !std::isspace(static_cast<unsigned char>(text[i + 1]))) {
        return std::nullopt;
      }
    } else {
      part += partQuoted ? c : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
  }
  if (quoted || parts.back().empty() || parts.size() > 2) return std::nullopt;
  ObjectName n;
  n.name = parts.back();
  if (parts.size() == 2) n.schema = parts[0];
  n.link = link;
  return n;
}

bool HasTable(sqlite3* db, const char* table) {
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "select 1 from sqlite_master where type = 'table' and name = ?1", -1, &st,
                     nullptr);
  sqlite3_bind_text(st, 1, table, -1, SQLITE_STATIC);
  const bool found = sqlite3_step(st) == SQLITE_ROW;
  sqlite3_finalize(st);
  return found;
}

// TABLE or VIEW for a table or view of the database (the library's own tables are not the
// user's objects), with the name as the catalogue spells it.
std::optional<std::pair<ub1, std::string>> FindRelation(sqlite3* db, const std::string& name) {
  if (name.rfind("OCIEMU_", 0) == 0 || name.rfind("SQLITE_", 0) == 0) return std::nullopt;
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(
      db,
      "select type, name from sqlite_master where type in ('table', 'view') "
      "and upper(name) = upper(?1) and lower(name) not like 'ociemu\\_%' escape '\\'",
      -1, &st, nullptr);
  sqlite3_bind_text(st, 1, name.c_str(), -1, SQLITE_TRANSIENT);
  std::optional<std::pair<ub1, std::string>> found;
  if (sqlite3_step(st) == SQLITE_ROW) {
    const std::string type = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
    found.emplace(type == "view" ? OCI_PTYPE_VIEW : OCI_PTYPE_TABLE,
                  reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
  }
  sqlite3_finalize(st);
  return found;
}

struct Synonym {
  std::string owner;
  std::string name;
  std::string targetSchema;
  std::string targetName;
  std::string link;
};

// A private synonym of owner, or a public one when owner is PUBLIC. Databases without the
// synonyms table have none.
std::optional<Synonym> FindSynonym(sqlite3* db, const std::string& owner, const std::string& name) {
  if (!HasTable(db, "ociemu_synonyms")) return std::nullopt;
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db,
                     "select owner, synonym_name, table_owner, table_name, db_link "
                     "from ociemu_synonyms where owner = ?1 and synonym_name = ?2",
                     -1, &st, nullptr);
  sqlite3_bind_text(st, 1, owner.c_str(), -1, SQLITE_TRANSIENT);
  sqlite3_bind_text(st, 2, name.c_str(), -1, SQLITE_TRANSIENT);
  std::optional<Synonym> found;
  if (sqlite3_step(st) == SQLITE_ROW) {
    auto text = [&](int c) {
      const unsigned char* p = sqlite3_column_text(st, c);
      return p ? std::string(reinterpret_cast<const char*>(p)) : std::string();
    };
    found = Synonym{text(0), text(1), text(2), text(3), text(4)};
  }
  sqlite3_finalize(st);
  return found;
}

// The query of a view as the catalogue keeps it: what follows the first AS outside
// parentheses in its CREATE VIEW text.
std::optional<std::string> ViewQuery(sqlite3* db, const std::string& view) {
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "select sql from sqlite_master where type = 'view' and name = ?1", -1, &st,
                     nullptr);
  sqlite3_bind_text(st, 1, view.c_str(), -1, SQLITE_TRANSIENT);
  std::optional<std::string> query;
  if (sqlite3_step(st) == SQLITE_ROW && sqlite3_column_text(st, 0)) {
    const std::string sql = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
    try {
      int depth = 0;
      for (const Token& t : Tokenize(sql)) {
        if (t.IsSymbol("(")) ++depth;
        if (t.IsSymbol(")")) --depth;
        if (depth == 0 && t.Is("AS")) {
          query = sql.substr(t.offset + t.length);
          break;
        }
      }
    } catch (const OracleError&) {
    }
  }
  sqlite3_finalize(st);
  return query;
}

// The types of a view's columns come from its query, whose expressions the dialect types;
// selecting from the view only knows the types of plain columns.
void TypeViewColumns(const std::shared_ptr<Connection>& conn, const std::string& view,
                     std::vector<ColumnDesc>& columns) {
  auto query = ViewQuery(conn->Sql(), view);
  if (!query) return;
  try {
    Cursor body;
    body.Prepare(*query);
    body.Describe(conn);
    if (body.Columns().size() != columns.size()) return;
    for (size_t i = 0; i < columns.size(); ++i) columns[i].type = body.Columns()[i].type;
  } catch (const OracleError&) {
    // A query the dialect cannot read again keeps the types the select gave.
  }
}

std::shared_ptr<const DescribedParam> DescribeRelation(const std::shared_ptr<Connection>& conn,
                                                       ub1 ptype, const std::string& schema,
                                                       const std::string& name) {
  auto object = std::make_shared<DescribedParam>();
  object->ptype = ptype;
  object->name = name;
  object->objectName = name;
  object->objectSchema = schema;
  object->objectId = static_cast<ub4>(ObjectNumber(name));

  Cursor select;
  select.Prepare("select * from \"" + name + "\"");
  select.Describe(conn);
  std::vector<ColumnDesc> columns = select.Columns();
  if (ptype == OCI_PTYPE_VIEW) TypeViewColumns(conn, name, columns);
  auto list = std::make_shared<DescribedParam>();
  list->ptype = OCI_PTYPE_LIST;
  list->listType = OCI_LTYPE_COLUMN;
  list->objectName = name;
  list->objectSchema = schema;
  list->objectId = object->objectId;
  ub2 position = 0;
  for (const ColumnDesc& c : columns) {
    auto column = std::make_shared<DescribedParam>();
    column->ptype = OCI_PTYPE_COL;
    column->name = c.name;
    column->type = c.type;
    column->nullable = c.nullable;
    column->position = ++position;
    column->objectName = name;
    column->objectSchema = schema;
    column->objectId = object->objectId;
    list->items.push_back(std::move(column));
  }
  object->list = std::move(list);
  return object;
}

// The kind of a standalone procedure or function of owner.
std::optional<ub1> FindRoutine(sqlite3* db, const std::string& owner, const std::string& name) {
  if (!HasTable(db, "ociemu_plsql_units")) return std::nullopt;
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db,
                     "select type from ociemu_plsql_units where owner = ?1 and name = ?2 "
                     "and type in ('PROCEDURE', 'FUNCTION')",
                     -1, &st, nullptr);
  sqlite3_bind_text(st, 1, owner.c_str(), -1, SQLITE_TRANSIENT);
  sqlite3_bind_text(st, 2, name.c_str(), -1, SQLITE_TRANSIENT);
  std::optional<ub1> found;
  if (sqlite3_step(st) == SQLITE_ROW) {
    const std::string type = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
    found = type == "FUNCTION" ? OCI_PTYPE_FUNC : OCI_PTYPE_PROC;
  }
  sqlite3_finalize(st);
  return found;
}

// An argument's type as the catalogue names it: the type code, size, type code of the
// typecode attribute and radix a describe reports. Arguments carry no length of their own.
void TypeArgument(const std::string& dataType, DescribedParam& a) {
  struct Kind {
    const char* name;
    ub2 code, size, typecode;
    ub1 radix, form;
  };
  static const Kind kinds[] = {
      {"NUMBER", kTypeNumber, 22, 2, 10, 0},   {"BINARY_INTEGER", 3, 4, 3, 10, 0},
      {"VARCHAR2", kTypeVarchar2, 0, 9, 0, 1}, {"CHAR", kTypeChar, 0, 96, 0, 1},
      {"DATE", kTypeDate, 7, 12, 0, 0},        {"RAW", kTypeRaw, 0, 95, 0, 0},
      {"PL/SQL BOOLEAN", 252, 0, 252, 0, 0},   {"REF CURSOR", 102, 0, 102, 0, 0},
  };
  for (const Kind& k : kinds) {
    if (dataType == k.name) {
      a.type.known = true;
      a.type.code = k.code;
      a.type.size = k.size;
      a.type.precision = 0;
      a.type.scale = 0;
      a.type.charsetForm = k.form ? k.form : 1;
      a.typecode = k.typecode;
      a.radix = k.radix;
      return;
    }
  }
}

std::shared_ptr<const DescribedParam> DescribeRoutine(sqlite3* db, ub1 ptype,
                                                      const std::string& owner,
                                                      const std::string& name) {
  auto object = std::make_shared<DescribedParam>();
  object->ptype = ptype;
  object->name = name;
  object->objectName = name;
  object->objectSchema = owner;
  object->objectId = static_cast<ub4>(ObjectNumber(owner + "." + name));
  auto list = std::make_shared<DescribedParam>();
  list->ptype = OCI_PTYPE_LIST;
  list->listType = ptype == OCI_PTYPE_FUNC ? OCI_LTYPE_ARG_FUNC : OCI_LTYPE_ARG_PROC;
  list->firstPosition = ptype == OCI_PTYPE_FUNC ? 0 : 1;  // a function's result comes first
  list->objectName = name;
  list->objectSchema = owner;
  list->objectId = object->objectId;
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db,
                     "select position, argument_name, data_type, in_out "
                     "from ociemu_plsql_arguments where owner = ?1 and package_name = '' and "
                     "object_name = ?2 order by position",
                     -1, &st, nullptr);
  sqlite3_bind_text(st, 1, owner.c_str(), -1, SQLITE_TRANSIENT);
  sqlite3_bind_text(st, 2, name.c_str(), -1, SQLITE_TRANSIENT);
  while (sqlite3_step(st) == SQLITE_ROW) {
    auto text = [&](int c) {
      const unsigned char* p = sqlite3_column_text(st, c);
      return p ? std::string(reinterpret_cast<const char*>(p)) : std::string();
    };
    auto argument = std::make_shared<DescribedParam>();
    argument->ptype = OCI_PTYPE_ARG;
    argument->position = static_cast<ub2>(sqlite3_column_int(st, 0));
    argument->name = text(1);
    TypeArgument(text(2), *argument);
    const std::string inOut = text(3);
    argument->ioMode = inOut == "OUT"
                           ? OCI_TYPEPARAM_OUT
                           : (inOut == "IN/OUT" ? OCI_TYPEPARAM_INOUT : OCI_TYPEPARAM_IN);
    argument->objectName = name;
    argument->objectSchema = owner;
    argument->objectId = object->objectId;
    list->items.push_back(std::move(argument));
  }
  sqlite3_finalize(st);
  object->list = std::move(list);
  return object;
}

std::shared_ptr<const DescribedParam> DescribeSynonym(const Synonym& s) {
  auto object = std::make_shared<DescribedParam>();
  object->ptype = OCI_PTYPE_SYN;
  object->name = s.targetName;  // a synonym's name attribute is what it translates to
  object->objectName = s.name;
  object->objectSchema = s.owner;
  object->objectId = static_cast<ub4>(ObjectNumber(s.owner + "." + s.name));
  object->targetSchema = s.targetSchema;
  object->targetName = s.targetName;
  object->targetLink = s.link;
  return object;
}

}  // namespace

std::shared_ptr<const DescribedParam> SelectListParam(const ColumnDesc& column, ub2 position) {
  auto p = std::make_shared<DescribedParam>();
  p->ptype = OCI_PTYPE_COL;
  p->name = column.name;
  p->type = column.type;
  p->nullable = column.nullable;
  p->position = position;
  return p;
}

std::shared_ptr<const DescribedParam> DescribeSchemaObject(const std::shared_ptr<Connection>& conn,
                                                           const std::string& text, ub1 wanted,
                                                           bool publicSynonymsOnly) {
  auto parsed = ParseObjectName(text);
  if (!parsed) throw OracleError(4043, {text});
  if (!parsed->link.empty()) throw OracleError(2019);
  sqlite3* db = conn->Sql();
  const std::string schema = parsed->schema.empty() ? conn->currentUser : parsed->schema;
  if (!parsed->schema.empty() && schema != conn->currentUser &&
      !conn->Db().FindAccount(schema).has_value() && schema != "SYS" && schema != "PUBLIC") {
    throw OracleError(4043, {text});
  }

  std::string name = parsed->name;
  std::string owner = schema;
  // A synonym chain ends at its object; Oracle refuses loops, a bounded walk is enough here.
  // Synonyms are looked up first: each one also stands in SQLite's schema as a view of its
  // object, and one name cannot be both an object and a synonym of the same owner.
  for (int hops = 0; hops < 32; ++hops) {
    std::optional<Synonym> synonym;
    if (!publicSynonymsOnly) synonym = FindSynonym(db, owner, name);
    if (!synonym && (publicSynonymsOnly || parsed->schema.empty() || owner == "PUBLIC")) {
      synonym = FindSynonym(db, "PUBLIC", name);
    }
    if (!synonym && !publicSynonymsOnly && owner != "PUBLIC") {
      if (auto relation = FindRelation(db, name)) {
        if (wanted != OCI_PTYPE_UNK && wanted != relation->first) break;
        // The catalogue knows who created the object; older files and DUAL leave it open.
        const std::string recorded =
            HasTable(db, "ociemu_objects") ? ObjectOwner(db, relation->second) : "";
        if (!recorded.empty() && !parsed->schema.empty() && recorded != owner && hops == 0) break;
        return DescribeRelation(conn, relation->first, recorded.empty() ? owner : recorded,
                                relation->second);
      }
      if (auto routine = FindRoutine(db, owner, name)) {
        if (wanted != OCI_PTYPE_UNK && wanted != *routine) break;
        return DescribeRoutine(db, *routine, owner, name);
      }
    }
    if (!synonym) break;
    if (wanted == OCI_PTYPE_UNK || wanted == OCI_PTYPE_SYN) return DescribeSynonym(*synonym);
    if (!synonym->link.empty()) throw OracleError(2019);
    owner = synonym->targetSchema.empty() ? conn->currentUser : synonym->targetSchema;
    name = synonym->targetName;
    publicSynonymsOnly = false;
  }
  // Packages are kept but their subprogram lists are not described.
  if (wanted == OCI_PTYPE_PKG) throw OracleError(3001);
  throw OracleError(4043, {text});
}

}  // namespace ociemu
