// One logon to test in a batch run: an account on a database, taken from a connect string. The
// password is kept apart from the text shown for the target, which never carries it.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "oracle/session/SessionTypes.h"

namespace app {

struct Target {
  std::string username;
  std::string password;  // never shown; empty until given or asked for
  std::string database;  // empty: the local default database
  oracle::TConnectAsOption connectAs = oracle::caNormal;
  std::string origin;  // where the target came from, for messages: "UserId=", "FILE:12"

  // "scott@DEMO", "sys@DEMO as sysdba", "/@DEMO" for an external logon: no password ever.
  std::string Display() const;
  // Operating-system authentication: neither username nor password given.
  bool External() const { return username.empty() && password.empty(); }
  // A database account named without its password: the password must be found elsewhere.
  bool NeedsPassword() const { return !username.empty() && password.empty(); }
};

// Reads a connect string (user/password@database as sysdba). nullopt for a text that names no
// account at all (empty, or only a database).
std::optional<Target> ParseTarget(const std::string& connectString, const std::string& origin);

struct TargetList {
  std::vector<Target> targets;
  std::string error;  // non-empty: the list could not be read; never quotes a line
};

// A targets file: one connect string per line; blank lines and lines whose first character
// other than blanks is "#" are skipped. `name` is used in messages ("-" for standard input).
TargetList ReadTargets(std::istream& in, const std::string& name);

// One target per net service name of the tnsnames.ora in force, for the account `account`
// (user[/password][ as sysdba], without a database). Loads the client library.
TargetList AliasTargets(const std::string& account);

// The first line of an error text for a one-line report ("Initialization error: <reason>").
std::string FirstLine(const std::string& text);

}  // namespace app
