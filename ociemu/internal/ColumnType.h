// How the server describes a column or a select-list expression: Oracle's internal type code,
// size, precision, scale and the character-set form.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ociemu {

// Internal type codes the describe calls report.
enum : uint16_t {
  kTypeVarchar2 = 1,
  kTypeNumber = 2,
  kTypeLong = 8,
  kTypeDate = 12,
  kTypeRaw = 23,
  kTypeLongRaw = 24,
  kTypeChar = 96,
  kTypeBinaryFloat = 100,
  kTypeBinaryDouble = 101,
  kTypeRowid = 104,
  kTypeClob = 112,
  kTypeBlob = 113,
};

struct ColumnType {
  bool known = false;
  uint16_t code = kTypeVarchar2;
  uint16_t size = 0;        // bytes
  int16_t precision = 0;    // NUMBER precision (0 = unconstrained), FLOAT binary precision
  int8_t scale = 0;         // NUMBER scale; -127 for FLOAT and unconstrained NUMBER
  uint8_t charsetForm = 1;  // 1 implicit, 2 national

  static ColumnType Number(int16_t precision = 0, int8_t scale = -127);
  static ColumnType Varchar(uint16_t size);
  static ColumnType Char(uint16_t size);
  static ColumnType Date();
  static ColumnType Rowid();
};

// The Oracle type of a column declared as declared in a table's definition ("VARCHAR2(30)",
// "NUMBER(7,2)", "DATE", "LONG VARCHAR" ...). Unknown declarations give known == false.
ColumnType TypeFromDeclared(std::string_view declared);

}  // namespace ociemu
