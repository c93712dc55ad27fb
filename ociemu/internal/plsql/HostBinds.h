// The narrow seam between the interpreter and the statement that runs a block: the block's
// bind variables as values. The statement engine implements it over the caller's buffers;
// the interpreter never sees an external datatype.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "ociemu/internal/plsql/Value.h"

namespace ociemu::plsql {

class HostVariable {
 public:
  virtual ~HostVariable() = default;
  // An index-by table bound as a PL/SQL table (elements 0 .. Capacity()-1).
  virtual bool IsTable() const = 0;
  // A statement handle or cursor data area that OPEN ... FOR fills.
  virtual bool IsCursor() const = 0;
  // What a value written to it must fit (a character buffer's length, for example).
  virtual TypeSpec Type() const = 0;
  virtual uint32_t Length() const = 0;
  virtual uint32_t Capacity() const = 0;
  virtual Value Read(uint32_t element) = 0;
  virtual void Write(uint32_t element, const Value& v) = 0;
  virtual void SetLength(uint32_t n) = 0;
  // Runs a query into the bound statement; params are bound by name (PLSQL$1 ...).
  virtual void Open(const std::string& sql,
                    const std::vector<std::pair<std::string, Value>>& params) = 0;
};

class HostBinds {
 public:
  virtual ~HostBinds() = default;
  // The bind of a placeholder (upper case, no colon), or of its position among the block's
  // distinct placeholders (from 1); null when nothing is bound to it.
  virtual HostVariable* Find(const std::string& name, size_t position) = 0;
};

}  // namespace ociemu::plsql
