// The interpreter's machine, shared by its parts (blocks and statements, expressions, calls
// and stored units, SQL and cursors): frames of slots that point to their static parent,
// run-time state of cursors and loaded units, and the Interpreter that walks the tree.
// Exceptions are C++ exceptions (Raised) that collect a backtrace line per frame they leave;
// EXIT, CONTINUE and RETURN are returned as a Flow. Private to the PL/SQL module.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ociemu/internal/Cursor.h"
#include "ociemu/internal/plsql/Errors.h"
#include "ociemu/internal/plsql/Interpreter.h"
#include "ociemu/internal/plsql/Parser.h"
#include "ociemu/internal/plsql/SqlBridge.h"

namespace ociemu::plsql::machine {

constexpr int kMaxCallDepth = 400;
// Stack the interpreter may use below its entry before deep recursion (calls, nested
// expressions) fails with ORA-06500 instead of overflowing a caller's thread stack.
constexpr ptrdiff_t kStackBudget = 512 * 1024;

// An explicit cursor's run-time state.
struct CursorState {
  std::unique_ptr<Cursor> cursor;
  std::unique_ptr<FetchedRows> rows;
  int64_t count = 0;
  int found = -1;  // -1 before the first fetch
};

struct Variable {
  Value value;
  TypeSpec type;
  bool isTable = false;
  std::map<int64_t, Value> table;
  bool isRecord = false;
  std::vector<std::pair<std::string, Value>> fields;  // a record's, in column order
  const Declaration* cursor = nullptr;                // an explicit cursor's declaration
  std::shared_ptr<CursorState> open;                  // set while the cursor is open
};

struct LoadedUnit;

struct Frame {
  std::vector<Variable> slots;
  Frame* parent = nullptr;
  int depth = 0;
  LoadedUnit* unit = nullptr;  // the stored unit running; null in the anonymous block
};

// A stored unit as this session runs it: its tree and, for a package, its state.
struct LoadedUnit {
  std::string owner, name;
  bool isPackage = false;
  std::string source;  // body source for a package: what backtrace lines count in
  std::string headerSource;
  Unit unit;
  std::unique_ptr<Frame> state;
  bool initialized = false;
};

// Per connection: loaded units, kept while their source stays the same.
struct Session {
  std::map<std::string, std::shared_ptr<LoadedUnit>> units;
};

enum class Flow { kNormal, kExit, kContinue, kReturn };

// A stored unit that did not compile.
struct InvalidUnit {
  std::string name;  // OWNER.NAME
};

// The parts of a dotted name.
std::vector<std::string> Split(const std::string& dotted);

class Interpreter : public UnitLookup {
 public:
  Interpreter(std::shared_ptr<Connection> conn, HostBinds* host, std::string_view source,
              const Limits& limits);
  void RunBlock(const Unit& unit);
  bool RoutineExists(const std::string& dotted) override;

 private:
  // Host variables.
  struct HostState {
    HostVariable* var = nullptr;
    Variable v;
    bool dirty = false;
  };
  HostState& Host(const std::string& name);
  Variable& Slot(Frame& f, const SlotRef& ref);

  // Lines of the backtrace.
  std::string SourceOf(const Frame& f) const;
  std::string TraceLine(const Frame& f, size_t offset) const;
  void Step();
  void CheckStack() const;

  // Blocks and statements.
  Flow Run(const Block& block, Frame& f);
  static bool Matches(const Handler& h, const Raised& e);
  Flow RunList(const StmtList& list, Frame& f);
  Flow Exec(const Stmt& s, Frame& f);

  // Ends a loop's iteration for EXIT/CONTINUE aimed at it; true when the loop is left.
  bool LoopControl(Flow& flow, const Stmt& loop, bool* leave);
  Flow RunLoopBody(const Stmt& s, Frame& f, bool* leave);
  Flow ExecInner(const Stmt& s, Frame& f);
  Raised RaiseKey(const ExceptionKey& key);

  // SQL.
  static SqlCache& CacheOf(const std::unique_ptr<SqlCache>& slot);
  static Cursor& PreparedCursor(SqlCache& cache, const std::string& text);

  // A bind placeholder for a value. A date crosses as text inside TO_DATE, so that the SQL
  // engine knows it for a date (a bound Julian day would read as a number).
  static std::string Placeholder(size_t index, const Value& v);
  void BindValues(Cursor& c, BoundValues& bound, const std::vector<Value>& values);
  bool IsColumn(SqlCache& cache, const SqlText& t, const std::string& raw);
  std::vector<Value> EvalParams(const SqlText& t, Frame& f);
  std::string Assemble(const SqlText& t, const std::vector<Value>& values, SqlCache& cache);

  // The record a lone INTO target is, or null.
  Variable* RecordTarget(const std::vector<ExprPtr>& into, Frame& f);

  // Row row of rows into the targets: a record takes every column by name.
  void AssignRow(Cursor& c, const FetchedRows& rows, ub4 row, const std::vector<ExprPtr>& into,
                 Frame& f);
  void Into(Cursor& c, const std::vector<ExprPtr>& into, Frame& f);

  // Explicit cursors.
  std::shared_ptr<CursorState> OpenQuery(const SqlText& query, size_t offset, Frame& f);
  std::shared_ptr<CursorState> OpenDeclared(const Stmt& s, Variable& cursor, Frame& f);

  // Fetches the next row into the targets; false (targets untouched) at the end.
  bool FetchInto(CursorState& state, const std::vector<ExprPtr>& into, Frame& f);
  Variable& CursorSlot(const Stmt& s, Frame& f) { return Slot(f, s.target->slot); }

  Flow CursorFor(const Stmt& s, Frame& f);
  void RunSql(const Stmt& s, Frame& f);

  // A parse error (ORA-009xx) of static SQL is a compile error of the block, as the PL/SQL
  // compiler reports it; anything else is raised.
  [[noreturn]] static void ThrowStaticSqlError(const OracleError& e, size_t offset,
                                               const SqlText& t);
  void ExecuteImmediate(const Stmt& s, Frame& f);
  void OpenFor(const Stmt& s, Frame& f);

  // Expressions.
  static bool IsTrue(const Value& v) { return v.kind == Value::kBoolean && v.boolean; }

  int64_t ToInteger(const Value& v);
  Value Arith(const std::string& op, const Value& a, const Value& b);
  Value Eval(const Expr& e, Frame& f);
  void Assign(const Expr& target, const Value& value, Frame& f);

  // Calls.
  Value Call(const Expr& call, Frame& f, bool wantValue);
  Value RaiseApplicationError(const Expr& call, Frame& f);
  static Routine* FindInPackage(LoadedUnit& unit, const std::string& name, size_t args);
  Frame* PackageState(LoadedUnit& unit);
  std::shared_ptr<LoadedUnit> Load(const std::string& owner, const std::string& name,
                                   bool isPackage);
  Routine* ResolveStored(const std::string& dotted, size_t args, LoadedUnit** unit);
  Value Invoke(const Routine& r, LoadedUnit* unit, Frame* parent, const Expr& call, Frame& caller);
  Value BuiltinFunction(const Expr& call, Frame& f);
  static bool IsNiladic(const std::string& name);

  std::shared_ptr<Connection> conn_;
  HostBinds* host_;
  std::string_view source_;
  Limits limits_;
  long steps_ = 0;
  uintptr_t stackBase_ = 0;
  Conversions conv_;
  std::shared_ptr<Session> session_;
  std::map<std::string, HostState> hosts_;
  std::map<std::string, size_t> positions_;
  std::vector<const Raised*> handling_;
  std::string pendingLabel_;
  Value returnValue_;
  int64_t sqlRowCount_ = -1;
  int callDepth_ = 0;
};

}  // namespace ociemu::plsql::machine
