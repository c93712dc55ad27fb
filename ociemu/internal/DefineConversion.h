// Output conversion: a value of a result into an element of a define or OUT bind array.
#pragma once

#include <string>

#include "ociemu/Oci.h"
#include "ociemu/internal/ColumnType.h"
#include "ociemu/internal/Cursor.h"
#include "ociemu/internal/SqlValue.h"

namespace ociemu {

// Stores src, a value of a column declared as declared, into element row of d in d's external
// datatype; dates turn into text with dateFormat. Returns true when the value was cut to fit
// (the element's return code is then 1406 and its indicator the length before cutting).
// Throws OracleError for a value the datatype cannot take (1405 for NULL without an indicator,
// 1455, 1722, 932 ...).
bool StoreValue(const SqlValue& src, const ColumnType& declared, const DefineBuffer& d, ub4 row,
                const std::string& dateFormat);

}  // namespace ociemu
