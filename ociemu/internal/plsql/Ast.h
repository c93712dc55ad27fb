// The tree a PL/SQL unit is parsed into. Names are resolved while parsing: a variable is a
// slot of a frame (hops up the static chain, index), a host variable keeps its bind name, and
// an embedded SQL statement is Oracle text whose PL/SQL references became binds :PLSQL$n.
// Run-time caches (prepared SQL) hang off the nodes, so a tree belongs to one connection.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ociemu/internal/plsql/Value.h"

namespace ociemu {
class Cursor;
}

namespace ociemu::plsql {

struct Expr;
struct Stmt;
struct Block;
struct Routine;
using ExprPtr = std::unique_ptr<Expr>;
using StmtPtr = std::unique_ptr<Stmt>;
using StmtList = std::vector<StmtPtr>;

struct SlotRef {
  int up = 0;  // static-chain hops from the frame running the reference
  int slot = -1;
};

// An exception as handlers name it: an Oracle code, a user-declared exception, or both when
// a PRAGMA EXCEPTION_INIT tied them.
struct ExceptionKey {
  int code = 0;
  int userId = 0;
};

// Prepared SQL of one node, reused while the tree lives.
struct SqlCache {
  SqlCache();
  ~SqlCache();
  std::unique_ptr<Cursor> cursor;
  std::string text;                    // what cursor was prepared with
  std::map<std::string, bool> column;  // names found to be columns
};

struct Expr {
  enum Kind {
    kLiteral,
    kVariable,  // slot
    kHost,      // :name
    kElement,   // table element: slot or host, args[0] the index
    kUnary,     // op "-", "+"
    kBinary,    // op "+", "-", "*", "/", "**", "||", MOD
    kNot,
    kAnd,
    kOr,
    kCompare,       // op "=", "<>", "<", ">", "<=", ">="
    kIsNull,        // negated: IS NOT NULL
    kLike,          // args: value, pattern [, escape]; negated
    kBetween,       // args: value, low, high; negated
    kIn,            // args: value, list...; negated
    kCall,          // name (dotted, upper case), args, argNames
    kCase,          // hasSelector: args[0]; then when/then pairs; hasElse: last
    kSqlAttribute,  // op ROWCOUNT, FOUND, NOTFOUND, ISOPEN
    kSqlCode,
    kSqlErrm,          // args: optional code
    kMethod,           // op COUNT, FIRST, LAST, EXISTS, NEXT, PRIOR of a table slot
    kField,            // field name of a record slot
    kCursorAttribute,  // op FOUND, NOTFOUND, ROWCOUNT, ISOPEN of an explicit cursor slot
  };
  Kind kind = kLiteral;
  size_t offset = 0;
  std::string op;
  std::string name;  // host name, function name
  Value literal;
  SlotRef slot;
  bool isHost = false;  // kElement, kMethod: the table is a host variable (name)
  bool negated = false;
  bool hasSelector = false;
  bool hasElse = false;
  std::vector<ExprPtr> args;
  std::vector<std::string> argNames;  // named notation, "" for positional
  std::unique_ptr<SqlCache> sql;      // a built-in function evaluated by the SQL engine
  Routine* routine = nullptr;         // kCall of a local subprogram declared before the call
};

// A SQL statement inside PL/SQL: pieces of its text with the PL/SQL references between them,
// whose values are bound as :PLSQL$1, :PLSQL$2 ... A reference by a plain name may also be a
// column of a table the statement names; the column wins, as in Oracle, so the final text is
// put together when the statement first runs.
struct SqlText {
  struct Piece {
    std::string text;  // SQL text before the reference
    int param = -1;    // the reference's index in params; -1 for the last piece
    std::string name;  // the name as written, when it may be a column
  };
  std::vector<Piece> pieces;
  std::vector<ExprPtr> params;
  std::vector<std::string> words;  // the statement's words: the tables it may name
};

struct Parameter {
  std::string name;
  bool in = true;
  bool out = false;
  TypeSpec type;
  ExprPtr defaultValue;
  int slot = -1;
};

struct Declaration {
  enum Kind { kVariable, kConstant, kException, kTableType, kCursor };
  Kind kind = kVariable;
  std::string name;
  size_t offset = 0;
  TypeSpec type;
  bool isTable = false;
  bool isRecord = false;
  int slot = -1;
  ExprPtr init;
  ExceptionKey exception;
  // A cursor: its query and its parameters (slots of the same frame).
  SqlText query;
  std::vector<Parameter> cursorParams;
};

struct Handler {
  std::vector<ExceptionKey> exceptions;
  bool others = false;
  StmtList body;
};

struct Block {
  size_t offset = 0;
  std::vector<Declaration> declarations;
  std::vector<std::shared_ptr<Routine>> routines;  // local subprograms
  StmtList body;
  std::vector<Handler> handlers;
};

struct Stmt {
  enum Kind {
    kNull,
    kAssign,  // target, value
    kIf,      // branches, elseBody
    kLoop,    // body, label
    kWhile,   // value (condition), body
    kFor,     // loopSlot, low, high, reverse, body
    kExit,    // label, value (WHEN condition, may be null)
    kContinue,
    kReturn,     // value (may be null)
    kRaise,      // exception (hasException false: re-raise)
    kBlock,      // block
    kSql,        // sql, into, isQuery
    kCall,       // value (a kCall expression)
    kOpenFor,    // target (host cursor), sql or value (dynamic text)
    kExecute,    // EXECUTE IMMEDIATE value [INTO into] [USING using]
    kOpen,       // target (cursor slot), usingArgs (its arguments)
    kFetch,      // target, into
    kClose,      // target
    kCursorFor,  // loopSlot (the record), target (a cursor) with usingArgs, or sql
    kCase,       // value (selector, may be null), branches, elseBody when hasElse
  };
  Kind kind = kNull;
  size_t offset = 0;
  ExprPtr target;
  ExprPtr value;
  ExprPtr low, high;
  bool reverse = false;
  int loopSlot = -1;
  std::string label;
  std::vector<std::pair<ExprPtr, StmtList>> branches;
  StmtList body, elseBody;
  std::unique_ptr<Block> block;
  SqlText sql;
  bool isQuery = false;
  std::vector<ExprPtr> into;
  std::vector<ExprPtr> usingArgs;
  bool hasException = false;
  bool hasElse = false;
  ExceptionKey exception;
  std::unique_ptr<SqlCache> cache;
};

struct Routine {
  std::string name;  // upper case
  bool isFunction = false;
  std::vector<Parameter> params;
  TypeSpec returns;
  std::unique_ptr<Block> body;  // null for a declaration in a package header
  int slotCount = 0;
  int depth = 0;  // static nesting: 0 for a unit's outermost frame
  size_t offset = 0;
};

// What one source text holds.
struct Unit {
  enum Kind { kAnonymous, kProcedure, kFunction, kPackage, kPackageBody };
  Kind kind = kAnonymous;
  std::string owner;  // schema of a stored unit
  std::string name;   // upper case; empty for a block
  bool orReplace = false;
  // A block or a standalone routine: main. A package: the frame of its variables (main's
  // body holds the declarations and the initialisation part), and its routines.
  std::shared_ptr<Routine> main;
  std::vector<std::shared_ptr<Routine>> routines;
  std::string source;              // the text from the unit's kind on (what the catalogue keeps)
  std::vector<std::string> binds;  // host variables in order of first appearance
};

}  // namespace ociemu::plsql
