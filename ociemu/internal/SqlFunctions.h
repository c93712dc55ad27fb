// The SQL functions an emulated server offers beyond SQLite's own, registered on every
// connection: SYSDATE and USER, Oracle's string functions with their NULL and position rules,
// TO_CHAR/TO_DATE/TO_NUMBER with format models, date arithmetic helpers, DECODE and NVL, ROWID
// texts and sequences. A function fails with a message "ORA-nnnnn" that the statement engine
// turns into that Oracle error.
#pragma once

#include <sqlite3.h>

namespace ociemu {

class Connection;

void RegisterFunctions(sqlite3* db, Connection* conn);

}  // namespace ociemu
