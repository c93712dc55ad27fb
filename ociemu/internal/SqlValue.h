// One value of a result as the define conversion reads it: a column of the statement's current
// row, or a value kept apart from its statement (the rows of a scrollable cursor, the result of
// an OUT bind).
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string_view>

namespace ociemu {

class SqlValue {
 public:
  SqlValue(sqlite3_stmt* st, int column) : st_(st), column_(column) {}
  explicit SqlValue(sqlite3_value* value) : value_(value) {}

  int Type() const {
    return value_ ? sqlite3_value_type(value_) : sqlite3_column_type(st_, column_);
  }
  int64_t Int64() const {
    return value_ ? sqlite3_value_int64(value_) : sqlite3_column_int64(st_, column_);
  }
  double Double() const {
    return value_ ? sqlite3_value_double(value_) : sqlite3_column_double(st_, column_);
  }
  // The text form (SQLite converts numbers); call before Bytes as SQLite requires.
  std::string_view Text() const {
    const unsigned char* p =
        value_ ? sqlite3_value_text(value_) : sqlite3_column_text(st_, column_);
    return std::string_view(reinterpret_cast<const char*>(p), Bytes());
  }
  std::string_view Blob() const {
    const void* p = value_ ? sqlite3_value_blob(value_) : sqlite3_column_blob(st_, column_);
    return std::string_view(static_cast<const char*>(p), Bytes());
  }
  size_t Bytes() const {
    return static_cast<size_t>(value_ ? sqlite3_value_bytes(value_)
                                      : sqlite3_column_bytes(st_, column_));
  }

 private:
  sqlite3_stmt* st_ = nullptr;
  int column_ = 0;
  sqlite3_value* value_ = nullptr;
};

}  // namespace ociemu
