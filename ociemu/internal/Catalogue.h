// The server's catalogue beside SQLite's own schema: who owns each object, the constraints with
// their Oracle names, the column defaults as written, sequences and synonyms. The data
// dictionary views read it, and constraint errors take their names from it.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "ociemu/internal/Dialect.h"
#include "ociemu/internal/OracleError.h"

namespace ociemu {

class Connection;

// Creates the catalogue tables a database file lacks (files of earlier releases included).
void EnsureCatalogue(sqlite3* db);

// Records what a DDL statement that SQLite has just run made or dropped, owned by owner.
void RecordDdl(sqlite3* db, const Translation& t, const std::string& owner);

// CREATE SEQUENCE and DROP SEQUENCE. Throw OracleError (00955, 02289).
void CreateSequence(sqlite3* db, const Translation& t, const std::string& owner);
void DropSequence(sqlite3* db, const Translation& t);
// The next value of a sequence; throws OracleError 02289 or 08004.
int64_t NextSequenceValue(sqlite3* db, const std::string& name);

// Oracle's error for a constraint SQLite reports as failed (its message), or nothing when the
// message is not about a constraint. statementType is the OCI_STMT_* of the statement, table
// the table it writes.
std::optional<OracleError> ConstraintError(sqlite3* db, const std::string& message,
                                           int statementType, const std::string& table);

// Sequence values are not transactional: after a rollback each sequence this session used
// continues after the last value it handed out (currval), as if its update had been committed.
void KeepSequencesAfterRollback(sqlite3* db, const std::map<std::string, int64_t>& currval);

// The owner of a table, view or sequence as the catalogue records it; empty when unknown.
std::string ObjectOwner(sqlite3* db, const std::string& name);

}  // namespace ociemu
