// Running SQL scripts against an emulated database the way the server would: statements split
// as SQL*Plus splits them, queries printed as a table.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "ociemu/internal/Connection.h"

namespace ociemu::admin {

struct ScriptStatement {
  std::string text;
  int line = 1;  // the line the statement starts on
};

// Statements end with ";" at the end of a line or with a line holding only "/". Comment lines
// ("--", "rem") and blank lines between statements are skipped.
std::vector<ScriptStatement> SplitScript(const std::string& script);

// Runs the statements as user (each committed as it completes) and prints query results and
// row counts to out, errors to err. Returns false after the first failing statement.
bool RunScript(Connection& conn, const std::string& user, const std::string& script,
               std::ostream& out, std::ostream& err);

}  // namespace ociemu::admin
