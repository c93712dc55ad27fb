// The data dictionary: Oracle's USER_, ALL_ and DBA_ views (TABLES, TAB_COLUMNS, CONSTRAINTS,
// CONS_COLUMNS, SEQUENCES, OBJECTS, SYNONYMS, VIEWS, USERS) and V$VERSION, as SQLite views over
// the catalogue, with Oracle's column names and types.
#pragma once

#include <sqlite3.h>

#include <string>
#include <string_view>
#include <vector>

namespace ociemu {

struct DictionaryColumn {
  std::string name;
  std::string type;  // Oracle's declared type ("VARCHAR2(128)", "NUMBER", "LONG", "DATE")
};

// The columns of a dictionary view in order, or nullptr for any other name.
const std::vector<DictionaryColumn>* DictionaryViewColumns(std::string_view view);

// (Re)creates the views in a database file.
void InstallDictionary(sqlite3* db);
// Changes whenever the views change, so that files made by an earlier release get them anew.
std::string DictionaryRelease();

}  // namespace ociemu
