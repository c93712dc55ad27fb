// Values across the SQL engine's own statement interface: a value bound to a placeholder in
// an external type the engine reads exactly, and a select-list column read back as a value.
// Embedded SQL, built-in functions and the host bind adapter all go through here, so every
// conversion is the engine's.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ociemu/internal/Cursor.h"
#include "ociemu/internal/plsql/Value.h"

namespace ociemu::plsql {

// Owns the buffers of the values bound to a cursor until the cursor has run.
class BoundValues {
 public:
  BindBuffer Buffer(const Value& v);
  void BindName(Cursor& c, const std::string& name, const Value& v) { c.BindName(name, Buffer(v)); }
  void BindPosition(Cursor& c, ub4 position, const Value& v) {
    c.BindPosition(position, Buffer(v));
  }

 private:
  struct Storage {
    std::vector<unsigned char> data;
    sb2 indicator = 0;
  };
  std::vector<std::unique_ptr<Storage>> storage_;
};

// Fetch buffers for the select list of an executed query, rows elements per column.
class FetchedRows {
 public:
  FetchedRows(Cursor& c, ub4 rows);
  Value Get(size_t column, ub4 row) const;
  size_t Columns() const { return columns_.size(); }

 private:
  struct Column {
    ub2 type;
    sb4 size;
    std::vector<unsigned char> data;
    std::vector<sb2> indicators;
  };
  std::vector<Column> columns_;
};

// The buffer a value of type t is fetched into, and back.
DefineBuffer DefineFor(ub2 externalType, void* data, sb4 size, sb2* indicator);
Value FromExternal(ub2 externalType, const unsigned char* data, sb2 indicator);

}  // namespace ociemu::plsql
