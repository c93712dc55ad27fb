// How PL/SQL reports failures: compile errors become ORA-06550 with the line, the column and
// the PLS text; an exception raised while running carries its Oracle code and message and
// gathers an "ORA-06512: at ..." line for every unit it leaves unhandled.
#pragma once

#include <climits>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "ociemu/internal/OracleError.h"

namespace ociemu::plsql {

// A fault found before the block runs, at offset of the source.
struct CompileError {
  size_t offset = 0;
  std::string text;  // "PLS-00201: identifier 'X' must be declared"
  // The start of the statement the fault makes the compiler ignore, when it adds
  // "PL/SQL: Statement ignored" (semantic errors do, syntax errors do not).
  bool statementIgnored = false;
  size_t statementOffset = 0;
  // A static SQL statement the SQL engine could not parse is "SQL Statement ignored".
  bool sqlStatement = false;
};

// Oracle's "PLS-nnnnn: text" for the compiler messages this interpreter gives.
std::string PlsText(int code, std::initializer_list<std::string_view> args = {});

// The ORA-06550 error for a compile fault of source.
OracleError CompileFailure(std::string_view source, const CompileError& e);

// 1-based line and column of an offset.
std::pair<int, int> LineColumn(std::string_view source, size_t offset);

// An exception being raised in running PL/SQL.
class Raised : public std::exception {
 public:
  Raised(int code, std::string message, int userId = 0)
      : code_(code), message_(std::move(message)), userId_(userId) {}
  // An Oracle error from the SQL engine or the runtime.
  static Raised From(const OracleError& e);
  static Raised Oracle(int code, std::initializer_list<std::string_view> args = {});
  const char* what() const noexcept override { return message_.c_str(); }

  int Code() const { return code_; }
  // "ORA-01403: no data found" (no line break).
  const std::string& Message() const { return message_; }
  int UserId() const { return userId_; }
  // SQLCODE: +100 for no data, 1 for a user-defined exception (code 0), else -code.
  int SqlCode() const;

  // The backtrace, innermost first, and the call depth it last recorded a line at.
  std::vector<std::string> trace;
  int tracedDepth = INT_MAX;

  // The error a client sees when this leaves the outermost block.
  OracleError ToClient() const;

 private:
  int code_;
  std::string message_;
  int userId_;
};

}  // namespace ociemu::plsql
