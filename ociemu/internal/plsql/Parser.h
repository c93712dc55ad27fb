// The PL/SQL compiler's front end: anonymous blocks and CREATE PROCEDURE / FUNCTION / PACKAGE
// [BODY] texts become a Unit tree, with every name resolved or reported as Oracle's compiler
// does (PLS-00201, PLS-00103 ...) at its line and column.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ociemu/internal/plsql/Ast.h"
#include "ociemu/internal/plsql/Errors.h"

namespace ociemu::plsql {

// What the compiler may ask about stored units.
class UnitLookup {
 public:
  virtual ~UnitLookup() = default;
  // Whether a dotted name (PROC, PKG.PROC, SCHEMA.PROC, SCHEMA.PKG.PROC) names a stored
  // procedure or function.
  virtual bool RoutineExists(const std::string& dottedName) = 0;
};

// Whether a statement text is PL/SQL this interpreter runs (a block or CREATE of a stored
// unit) rather than SQL.
bool IsPlsql(std::string_view text);

// Parses a block or a CREATE statement. Throws CompileError; an unterminated literal throws
// the lexer's OracleError.
Unit Parse(std::string_view source, UnitLookup* lookup);

// The kind, owner, name and source of a CREATE statement whose body may not compile; nullopt
// when even the heading is no CREATE of a stored unit.
std::optional<Unit> ParseHeading(std::string_view source);

// Parses a package body with the declarations of its package header in scope.
Unit ParsePackage(std::string_view headerSource, std::string_view bodySource, UnitLookup* lookup);

}  // namespace ociemu::plsql
