// Stored PL/SQL units live in two tables of the database, made on first use:
//
//   ociemu_plsql_units (owner, name, type, source, created, status)
//     type is PROCEDURE, FUNCTION, PACKAGE or PACKAGE BODY; source is the text from the
//     unit's kind on ("PROCEDURE P (...) IS ..."), as Oracle's *_SOURCE views keep it;
//     created is a Julian day; status is VALID, or INVALID for a unit created with
//     compilation errors (it has no rows in the arguments table then).
//   ociemu_plsql_arguments (owner, package_name, object_name, overload, position,
//                           argument_name, data_type, in_out)
//     one row per parameter of every standalone or packaged routine (package_name '' for a
//     standalone one); position 0 is a function's result (argument_name NULL); data_type is
//     Oracle's name (NUMBER, VARCHAR2, DATE, PL/SQL BOOLEAN, BINARY_INTEGER, CHAR, RAW);
//     in_out is IN, OUT or IN/OUT. Describe reads these for procedures and functions.
#pragma once

#include <sqlite3.h>

#include <optional>
#include <string>

#include "ociemu/internal/plsql/Ast.h"

namespace ociemu::plsql {

// Creates the tables when they are missing.
void EnsureCatalog(sqlite3* db);

// Saves a CREATE statement's unit for owner, compiled (valid) or not. Throws OracleError 955
// when the name is taken and OR REPLACE was not given.
void StoreUnit(sqlite3* db, const Unit& unit, const std::string& owner, bool valid);

// Whether a stored unit compiled.
bool StoredValid(sqlite3* db, const std::string& owner, const std::string& name,
                 const std::string& type);

// The source of a stored unit; type as in the table.
std::optional<std::string> StoredSource(sqlite3* db, const std::string& owner,
                                        const std::string& name, const std::string& type);

}  // namespace ociemu::plsql
