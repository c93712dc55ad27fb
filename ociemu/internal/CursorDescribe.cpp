// The select list of a query as the client describes it: names, types and nullability, from
// SQLite's declared types or, for expressions, from the translated select items.
#include "ociemu/internal/Cursor.h"
#include "ociemu/internal/OracleError.h"

namespace ociemu {

void Cursor::DescribeColumns(Connection& conn) {
  if (described_) return;
  columns_.clear();
  const int count = sqlite3_column_count(stmt_);
  const auto& items = translation_->items;
  size_t star = items.size();
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i].star) {
      star = i;
      break;
    }
  }
  for (int c = 0; c < count; ++c) {
    ColumnDesc d;
    const char* name = sqlite3_column_name(stmt_, c);
    d.name = name ? name : "";
    const char* declared = sqlite3_column_decltype(stmt_, c);
    if (declared) d.type = TypeFromDeclared(declared);
    if (!d.type.known) {
      // The select-list item of this column, counting from the back after a "*".
      const SelectItem* item = nullptr;
      size_t index = static_cast<size_t>(c);
      if (index < star && index < items.size()) {
        item = &items[index];
      } else if (star < items.size()) {
        size_t fromEnd = static_cast<size_t>(count - 1 - c);
        if (fromEnd < items.size() - star - 1) item = &items[items.size() - 1 - fromEnd];
      }
      if (item && item->type.known) d.type = item->type;
    }
    if (!d.type.known) d.type = ColumnType::Varchar(4000);
    const char* table = sqlite3_column_table_name(stmt_, c);
    const char* origin = sqlite3_column_origin_name(stmt_, c);
    if (table && origin) {
      const char* decl = nullptr;
      const char* collation = nullptr;
      int notNull = 0, primaryKey = 0, autoIncrement = 0;
      if (sqlite3_table_column_metadata(conn.Sql(), nullptr, table, origin, &decl, &collation,
                                        &notNull, &primaryKey, &autoIncrement) == SQLITE_OK) {
        d.nullable = !notNull && !primaryKey;
      }
    }
    columns_.push_back(std::move(d));
  }
  described_ = true;
}

void Cursor::Describe(const std::shared_ptr<Connection>& conn) {
  if (!prepared_) throw OracleError(24337);
  Translate(*conn);
  if (translation_->action == Translation::kDml) {
    // Parsing a DML statement finds the tables and columns it names.
    PrepareSqlite(*conn);
    if (!conn_) conn_ = conn;
    return;
  }
  if (translation_->action != Translation::kQuery) return;
  PrepareSqlite(*conn);
  DescribeColumns(*conn);
  if (!conn_) Open(conn);
}

}  // namespace ociemu
