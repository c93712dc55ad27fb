// The fetched row a cursor stands on, for reading a LONG column piece by piece after the
// fetch (the statement stays on the last row it stepped to).
#include "ociemu/internal/Cursor.h"

namespace ociemu {

std::optional<std::string> Cursor::CurrentValue(ub4 position) const {
  if (!executed_ || !stmt_ || fetchDone_ || rowsFetched_ == 0) return std::nullopt;
  if (position == 0 || position > columns_.size()) throw OracleError(1007);
  const int column = static_cast<int>(position - 1);
  switch (sqlite3_column_type(stmt_, column)) {
    case SQLITE_NULL:
      return std::string();
    case SQLITE_BLOB: {
      const char* p = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
      return std::string(p, static_cast<size_t>(sqlite3_column_bytes(stmt_, column)));
    }
    default: {
      const char* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
      return std::string(p, static_cast<size_t>(sqlite3_column_bytes(stmt_, column)));
    }
  }
}

}  // namespace ociemu
