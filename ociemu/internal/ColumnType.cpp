#include "ociemu/internal/ColumnType.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace ociemu {

ColumnType ColumnType::Number(int16_t precision, int8_t scale) {
  ColumnType t;
  t.known = true;
  t.code = kTypeNumber;
  t.size = 22;
  t.precision = precision;
  t.scale = scale;
  return t;
}

ColumnType ColumnType::Varchar(uint16_t size) {
  ColumnType t;
  t.known = true;
  t.code = kTypeVarchar2;
  t.size = size;
  return t;
}

ColumnType ColumnType::Char(uint16_t size) {
  ColumnType t = Varchar(size);
  t.code = kTypeChar;
  return t;
}

ColumnType ColumnType::Date() {
  ColumnType t;
  t.known = true;
  t.code = kTypeDate;
  t.size = 7;
  return t;
}

ColumnType ColumnType::Rowid() {
  ColumnType t;
  t.known = true;
  t.code = kTypeRowid;
  t.size = 10;
  return t;
}

ColumnType TypeFromDeclared(std::string_view declared) {
  std::string upper;
  for (char c : declared) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  std::string name = upper.substr(0, upper.find('('));
  while (!name.empty() && name.back() == ' ') name.pop_back();
  int a = -1, b = 0;
  bool scaled = false;
  if (auto open = upper.find('('); open != std::string::npos) {
    const char* p = upper.c_str() + open + 1;
    char* end = nullptr;
    a = static_cast<int>(std::strtol(p, &end, 10));
    if (end && *end == ',') {
      b = static_cast<int>(std::strtol(end + 1, nullptr, 10));
      scaled = true;
    }
  }
  auto size = [](int n, int fallback) { return static_cast<uint16_t>(n > 0 ? n : fallback); };
  if (name == "VARCHAR2" || name == "VARCHAR" || name == "NVARCHAR2") {
    ColumnType t = ColumnType::Varchar(size(a, 4000));
    if (name == "NVARCHAR2") t.charsetForm = 2;
    return t;
  }
  if (name == "CHAR" || name == "NCHAR" || name == "CHARACTER") {
    ColumnType t = ColumnType::Char(size(a, 1));
    if (name == "NCHAR") t.charsetForm = 2;
    return t;
  }
  if (name == "NUMBER" || name == "NUMERIC" || name == "DECIMAL" || name == "DEC") {
    if (a < 0) return ColumnType::Number();
    // A scale runs from -84 (rounding left of the point) to 127.
    const int scale = scaled ? std::max(-84, std::min(127, b)) : 0;
    return ColumnType::Number(static_cast<int16_t>(a), static_cast<int8_t>(scale));
  }
  if (name == "INTEGER" || name == "INT" || name == "SMALLINT") {
    return ColumnType::Number(38, 0);
  }
  if (name == "FLOAT" || name == "REAL" || name == "DOUBLE PRECISION") {
    return ColumnType::Number(static_cast<int16_t>(a > 0 ? a : (name == "REAL" ? 63 : 126)), -127);
  }
  if (name == "BINARY_FLOAT" || name == "BINARY_DOUBLE") {
    ColumnType t;
    t.known = true;
    t.code = name == "BINARY_FLOAT" ? kTypeBinaryFloat : kTypeBinaryDouble;
    t.size = name == "BINARY_FLOAT" ? 4 : 8;
    return t;
  }
  if (name == "DATE") return ColumnType::Date();
  ColumnType t;
  t.known = true;
  if (name == "RAW") {
    t.code = kTypeRaw;
    t.size = size(a, 2000);
  } else if (name == "LONG VARCHAR" || name == "LONG") {
    t.code = kTypeLong;
    t.size = 0;
  } else if (name == "LONG RAW") {
    t.code = kTypeLongRaw;
    t.size = 0;
  } else if (name == "CLOB" || name == "NCLOB") {
    t.code = kTypeClob;
    t.size = 4000;
    if (name == "NCLOB") t.charsetForm = 2;
  } else if (name == "BLOB") {
    t.code = kTypeBlob;
    t.size = 4000;
  } else if (name == "ROWID" || name == "UROWID") {
    return ColumnType::Rowid();
  } else {
    t.known = false;
  }
  return t;
}

}  // namespace ociemu
