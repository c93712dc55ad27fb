// Input conversion: one element of a bind, in its external datatype in the application's
// memory, becomes the SQLite value the statement runs with.
#pragma once

#include <sqlite3.h>

#include "ociemu/Oci.h"
#include "ociemu/internal/Cursor.h"

namespace ociemu {

// Binds element row of b to parameter index of st; throws OracleError for a value or buffer the
// external datatype cannot carry.
void BindValue(sqlite3_stmt* st, int index, const BindBuffer& b, ub4 row);

}  // namespace ociemu
