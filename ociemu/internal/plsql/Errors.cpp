#include "ociemu/internal/plsql/Errors.h"

#include <cstdio>
#include <unordered_map>

namespace ociemu::plsql {
namespace {

std::string Fill(const char* pattern, std::initializer_list<std::string_view> args) {
  std::string out;
  auto arg = args.begin();
  for (const char* p = pattern; *p; ++p) {
    if (p[0] == '%' && p[1] == 's') {
      if (arg != args.end()) out += *arg++;
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

// The runtime errors of PL/SQL itself; the SQL engine's table has the rest.
const char* RuntimeText(int code) {
  static const std::unordered_map<int, const char*> texts = {
      {6502, "PL/SQL: numeric or value error%s"},
      {913, "too many values"},
      {947, "not enough values"},
      {4067, "not executed, %s does not exist"},
      {6500, "PL/SQL: storage error"},
      {6503, "PL/SQL: Function returned without value"},
      {6510, "PL/SQL: unhandled user-defined exception"},
      {6511, "PL/SQL: cursor already open"},
      {6513, "PL/SQL: index for PL/SQL table out of range for host language array"},
      {6592, "CASE not found while executing CASE statement"},
      {21000, "error number argument to raise_application_error of %s%s is out of range"},
  };
  auto it = texts.find(code);
  return it == texts.end() ? nullptr : it->second;
}

std::string StripBreak(std::string s) {
  while (!s.empty() && s.back() == '\n') s.pop_back();
  return s;
}

}  // namespace

std::string PlsText(int code, std::initializer_list<std::string_view> args) {
  static const std::unordered_map<int, const char*> texts = {
      {49, "bad bind variable '%s'"},
      {102, "parser stack overflow because nesting is too deep"},
      {103, "Encountered the symbol \"%s\" when expecting one of the following:\n\n   %s"},
      {201, "identifier '%s' must be declared"},
      {221, "'%s' is not a procedure or is undefined"},
      {222, "no function with name '%s' exists in this scope"},
      {302, "component '%s' must be declared"},
      {306, "wrong number or types of arguments in call to '%s'"},
      {363, "expression '%s' cannot be used as an assignment target"},
      {371, "at most one declaration for '%s' is permitted"},
      {428, "an INTO clause is expected in this SELECT statement"},
      {376, "illegal EXIT statement; it must appear inside a loop"},
      {382, "expression is of wrong type"},
      {905, "object %s is invalid"},
  };
  char prefix[16];
  std::snprintf(prefix, sizeof prefix, "PLS-%05d: ", code);
  auto it = texts.find(code);
  return prefix + (it == texts.end() ? std::string("unknown error") : Fill(it->second, args));
}

std::pair<int, int> LineColumn(std::string_view source, size_t offset) {
  if (offset > source.size()) offset = source.size();
  int line = 1;
  size_t lineStart = 0;
  for (size_t i = 0; i < offset; ++i) {
    if (source[i] == '\n') {
      ++line;
      lineStart = i + 1;
    }
  }
  return {line, static_cast<int>(offset - lineStart) + 1};
}

OracleError CompileFailure(std::string_view source, const CompileError& e) {
  auto at = [&](size_t offset) {
    auto [line, column] = LineColumn(source, offset);
    char buf[80];
    std::snprintf(buf, sizeof buf, "ORA-06550: line %d, column %d:\n", line, column);
    return std::string(buf);
  };
  std::string message = at(e.offset) + e.text + "\n";
  if (e.statementIgnored) {
    message += at(e.statementOffset) +
               (e.sqlStatement ? "PL/SQL: SQL Statement ignored\n" : "PL/SQL: Statement ignored\n");
  }
  return OracleError(6550, message);
}

Raised Raised::From(const OracleError& e) {
  return Raised(e.Code(), StripBreak(e.Message()));
}

Raised Raised::Oracle(int code, std::initializer_list<std::string_view> args) {
  if (const char* text = RuntimeText(code)) {
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "ORA-%05d: ", code);
    return Raised(code, prefix + Fill(text, args));
  }
  return Raised(code, StripBreak(FormatError(code, args)));
}

int Raised::SqlCode() const {
  if (code_ == 0) return 1;
  if (code_ == 1403) return 100;
  return -code_;
}

OracleError Raised::ToClient() const {
  std::string message = code_ == 0 ? Oracle(6510).Message() : message_;
  message += "\n";
  for (const auto& line : trace) message += line + "\n";
  return OracleError(code_ == 0 ? 6510 : code_, message);
}

}  // namespace ociemu::plsql
