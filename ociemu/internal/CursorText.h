// Small text helpers the cursor's files share: Oracle's upper-case names, quoted identifiers,
// the session's date format and the table a DML statement writes to.
#pragma once

#include <string>

#include "ociemu/internal/Connection.h"

namespace ociemu {

std::string Upper(std::string s);
// "A.B" as "A"."B", each part in upper case, as Oracle's messages print names.
std::string Quoted(const std::string& dotted);
std::string DateFormatOf(const Connection& c);
// The table a DML statement writes to (for the ROWID of its last row); empty when unknown.
std::string DmlTable(const std::string& sql);

}  // namespace ociemu
