// Runs PL/SQL: an anonymous block with the statement's binds as host variables, or a CREATE
// of a stored procedure, function or package. Embedded SQL and built-in functions run on the
// SQL engine of the same connection, so a block sees its own uncommitted changes.
#pragma once

#include <memory>
#include <string_view>

#include "ociemu/internal/Connection.h"
#include "ociemu/internal/plsql/HostBinds.h"

namespace ociemu::plsql {

struct Limits {
  // Statements a block may run before it is cancelled with ORA-01013 (0: no limit).
  long maxSteps = 0;
};

// Throws OracleError as the server reports it: ORA-06550 for compile errors, and the error
// stack of an unhandled exception with its ORA-06512 lines. An unhandled exception undoes
// what the block changed; host variables are written back only when the block succeeds.
// Returns the warning of a CREATE that stored its unit with compilation errors (24344; the
// unit is invalid until created again), else 0.
int Execute(const std::shared_ptr<Connection>& conn, std::string_view text, HostBinds& host,
            const Limits& limits = {});

}  // namespace ociemu::plsql
