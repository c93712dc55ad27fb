// Any statement text: the translation either succeeds or reports an Oracle error, and never
// reads or writes out of bounds.
#include <cstddef>
#include <cstdint>
#include <string>

#include "ociemu/internal/Dialect.h"
#include "ociemu/internal/OracleError.h"

namespace {

// A schema where every column of every table is a DATE, which exercises the date rewrites.
class DateSchema : public ociemu::SchemaLookup {
 public:
  std::optional<std::string> DeclaredType(const std::string&, const std::string& column) override {
    if (column.size() % 2) return std::nullopt;
    return std::string(column.size() % 4 ? "DATE" : "VARCHAR2(10)");
  }
  bool IsAccount(const std::string& name) override { return name == "SCOTT"; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string sql(reinterpret_cast<const char*>(data), size);
  ociemu::Classify(sql);
  DateSchema schema;
  try {
    ociemu::Translation t = ociemu::Translate(sql, schema);
    t.OriginalOffset(t.sql.size());
  } catch (const ociemu::OracleError& e) {
    if (e.Offset() < 0 || static_cast<size_t>(e.Offset()) > size) __builtin_trap();
  }
  ociemu::ParseRowid(sql);
  return 0;
}
