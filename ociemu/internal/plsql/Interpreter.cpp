// A tree-walking interpreter. Frames hold the slots of one routine activation and point to
// their static parent, so nested subprograms and package routines reach outer variables.
// Exceptions are C++ exceptions (Raised) that collect a backtrace line per frame they leave;
// EXIT, CONTINUE and RETURN are returned as a Flow.
#include "ociemu/internal/plsql/Interpreter.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <map>

#include "ociemu/internal/Cursor.h"
#include "ociemu/internal/OraDate.h"
#include "ociemu/internal/plsql/Catalog.h"
#include "ociemu/internal/plsql/Errors.h"
#include "ociemu/internal/plsql/Parser.h"
#include "ociemu/internal/plsql/SqlBridge.h"

namespace ociemu::plsql {
namespace {

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
  std::string specSource;
  Unit unit;
  std::unique_ptr<Frame> state;
  bool initialized = false;
};

// Per connection: loaded units, kept while their source stays the same.
struct Session {
  std::map<std::string, std::shared_ptr<LoadedUnit>> units;
};

enum class Flow { kNormal, kExit, kContinue, kReturn };

std::vector<std::string> Split(const std::string& dotted) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (true) {
    size_t dot = dotted.find('.', start);
    parts.push_back(dotted.substr(start, dot - start));
    if (dot == std::string::npos) return parts;
    start = dot + 1;
  }
}

bool Like(const std::string& s, const std::string& p, int escape) {
  // Iterative matching with backtracking to the last %.
  size_t si = 0, pi = 0, starP = std::string::npos, starS = 0;
  while (si < s.size()) {
    if (pi < p.size() && escape >= 0 && p[pi] == static_cast<char>(escape) && pi + 1 < p.size()) {
      if (s[si] == p[pi + 1]) {
        si++;
        pi += 2;
        continue;
      }
    } else if (pi < p.size() && p[pi] == '%') {
      starP = pi++;
      starS = si;
      continue;
    } else if (pi < p.size() && (p[pi] == '_' || p[pi] == s[si])) {
      si++;
      pi++;
      continue;
    }
    if (starP == std::string::npos) return false;
    pi = starP + 1;
    si = ++starS;
  }
  while (pi < p.size() && p[pi] == '%') pi++;
  return pi == p.size();
}

class Interpreter : public UnitLookup {
 public:
  Interpreter(std::shared_ptr<Connection> conn, HostBinds* host, std::string_view source,
              const Limits& limits)
      : conn_(std::move(conn)), host_(host), source_(source), limits_(limits) {
    char here = 0;
    stackBase_ = reinterpret_cast<uintptr_t>(&here);
    auto it = conn_->sessionSettings.find("nls_date_format");
    if (it != conn_->sessionSettings.end()) conv_.dateFormat = it->second;
    // Package state lasts as long as the connection.
    session_ = std::static_pointer_cast<Session>(conn_->plsqlSession);
    if (!session_) {
      session_ = std::make_shared<Session>();
      conn_->plsqlSession = session_;
    }
  }

  void RunBlock(const Unit& unit) {
    for (size_t i = 0; i < unit.binds.size(); ++i) {
      positions_[unit.binds[i]] = i + 1;
      if (!host_->Find(unit.binds[i], i + 1)) throw OracleError(1008);
    }
    Frame frame;
    frame.slots.resize(static_cast<size_t>(unit.main->slotCount));
    Run(*unit.main->body, frame);
    for (auto& [name, h] : hosts_) {
      if (!h.dirty) continue;
      if (h.var->IsTable()) {
        const int64_t last = h.v.table.empty() ? 0 : h.v.table.rbegin()->first;
        for (int64_t i = 1; i <= last; ++i) {
          auto it = h.v.table.find(i);
          h.var->Write(static_cast<uint32_t>(i - 1), it == h.v.table.end() ? Value{} : it->second);
        }
        h.var->SetLength(static_cast<uint32_t>(last));
      } else {
        h.var->Write(0, h.v.value);
      }
    }
  }

  bool RoutineExists(const std::string& dotted) override {
    auto parts = Split(dotted);
    const std::string& user = conn_->currentUser;
    sqlite3* db = conn_->Sql();
    auto exists = [&](const std::string& owner, const std::string& name, const char* type) {
      return StoredSource(db, owner, name, type).has_value();
    };
    if (parts.size() == 1) {
      return exists(user, parts[0], "PROCEDURE") || exists(user, parts[0], "FUNCTION");
    }
    if (parts.size() == 2) {
      return exists(user, parts[0], "PACKAGE") || exists(parts[0], parts[1], "PROCEDURE") ||
             exists(parts[0], parts[1], "FUNCTION");
    }
    return parts.size() == 3 && exists(parts[0], parts[1], "PACKAGE");
  }

 private:
  // Host variables.
  struct HostState {
    HostVariable* var = nullptr;
    Variable v;
    bool dirty = false;
  };
  HostState& Host(const std::string& name) {
    auto it = hosts_.find(name);
    if (it != hosts_.end()) return it->second;
    HostState h;
    auto position = positions_.find(name);
    h.var = host_->Find(name, position == positions_.end() ? 0 : position->second);
    if (!h.var) throw Raised::Oracle(1008);
    h.v.type = h.var->Type();
    if (h.var->IsTable()) {
      h.v.isTable = true;
      const uint32_t n = h.var->Length();
      for (uint32_t i = 0; i < n && i < h.var->Capacity(); ++i) {
        h.v.table[static_cast<int64_t>(i) + 1] = h.var->Read(i);
      }
    } else if (!h.var->IsCursor()) {
      h.v.value = h.var->Read(0);
    }
    return hosts_.emplace(name, std::move(h)).first->second;
  }

  Variable& Slot(Frame& f, const SlotRef& ref) {
    Frame* frame = &f;
    for (int i = 0; i < ref.up && frame->parent; ++i) frame = frame->parent;
    return frame->slots.at(static_cast<size_t>(ref.slot));
  }

  // Lines of the backtrace.
  std::string SourceOf(const Frame& f) const {
    return f.unit ? f.unit->source : std::string(source_);
  }
  std::string TraceLine(const Frame& f, size_t offset) const {
    auto [line, column] = LineColumn(SourceOf(f), offset);
    (void)column;
    char buf[64];
    std::snprintf(buf, sizeof buf, "line %d", line);
    if (!f.unit) return std::string("ORA-06512: at ") + buf;
    return "ORA-06512: at \"" + f.unit->owner + "." + f.unit->name + "\", " + buf;
  }

  void Step() {
    if (limits_.maxSteps && ++steps_ > limits_.maxSteps) throw Raised::Oracle(1013);
    CheckStack();
  }

  void CheckStack() const {
    char here = 0;
    const auto used = static_cast<ptrdiff_t>(stackBase_ - reinterpret_cast<uintptr_t>(&here));
    if (used > kStackBudget) throw Raised::Oracle(6500);
  }

  // Blocks and statements.
  Flow Run(const Block& block, Frame& f) {
    for (const auto& d : block.declarations) {
      if (d.kind == Declaration::kCursor) {
        Variable& c = f.slots.at(static_cast<size_t>(d.slot));
        c.cursor = &d;
        c.open.reset();
        continue;
      }
      if (d.kind != Declaration::kVariable && d.kind != Declaration::kConstant) continue;
      Variable& v = f.slots.at(static_cast<size_t>(d.slot));
      v.type = d.type;
      v.isTable = d.isTable;
      v.isRecord = d.isRecord;
      v.fields.clear();
      v.table.clear();
      v.value = Value{};
      if (d.init) {
        Value init = Eval(*d.init, f);
        v.value = Coerce(init, d.type, conv_);
      } else if (d.type.notNull) {
        throw Raised::Oracle(6502, {""});
      }
    }
    try {
      return RunList(block.body, f);
    } catch (Raised& e) {
      for (const auto& h : block.handlers) {
        if (!Matches(h, e)) continue;
        Raised handled = e;
        handling_.push_back(&handled);
        struct Pop {
          std::vector<const Raised*>& stack;
          ~Pop() { stack.pop_back(); }
        } pop{handling_};
        return RunList(h.body, f);
      }
      throw;
    }
  }

  static bool Matches(const Handler& h, const Raised& e) {
    if (h.others) return true;
    for (const auto& key : h.exceptions) {
      if (key.userId && key.userId == e.UserId()) return true;
      if (key.code && key.code == e.Code()) return true;
    }
    return false;
  }

  Flow RunList(const StmtList& list, Frame& f) {
    for (const auto& s : list) {
      Flow flow = Exec(*s, f);
      if (flow != Flow::kNormal) return flow;
    }
    return Flow::kNormal;
  }

  Flow Exec(const Stmt& s, Frame& f) {
    try {
      Step();
      return ExecInner(s, f);
    } catch (Raised& e) {
      if (callDepth_ < e.tracedDepth) {
        e.trace.push_back(TraceLine(f, s.offset));
        e.tracedDepth = callDepth_;
      }
      throw;
    }
  }

  // Ends a loop's iteration for EXIT/CONTINUE aimed at it; true when the loop is left.
  bool LoopControl(Flow& flow, const Stmt& loop, bool* leave) {
    *leave = false;
    if (flow == Flow::kNormal) return false;
    if (flow == Flow::kReturn) {
      *leave = true;
      return true;
    }
    if (!pendingLabel_.empty() && pendingLabel_ != loop.label) {
      *leave = true;
      return true;  // aimed at an outer loop: propagate
    }
    pendingLabel_.clear();
    if (flow == Flow::kExit) {
      flow = Flow::kNormal;
      *leave = true;
      return true;
    }
    flow = Flow::kNormal;  // CONTINUE: next iteration
    return false;
  }

  Flow RunLoopBody(const Stmt& s, Frame& f, bool* leave) {
    Flow flow = RunList(s.body, f);
    LoopControl(flow, s, leave);
    return flow;
  }

  Flow ExecInner(const Stmt& s, Frame& f) {
    switch (s.kind) {
      case Stmt::kNull:
        return Flow::kNormal;
      case Stmt::kAssign:
        Assign(*s.target, Eval(*s.value, f), f);
        return Flow::kNormal;
      case Stmt::kIf:
        for (const auto& [cond, body] : s.branches) {
          if (IsTrue(Eval(*cond, f))) return RunList(body, f);
        }
        return RunList(s.elseBody, f);
      case Stmt::kLoop:
        while (true) {
          Step();
          bool leave = false;
          Flow flow = RunLoopBody(s, f, &leave);
          if (leave) return flow;
        }
      case Stmt::kWhile:
        while (IsTrue(Eval(*s.value, f))) {
          Step();
          bool leave = false;
          Flow flow = RunLoopBody(s, f, &leave);
          if (leave) return flow;
        }
        return Flow::kNormal;
      case Stmt::kFor: {
        Value low = Eval(*s.low, f), high = Eval(*s.high, f);
        if (low.IsNull() || high.IsNull()) throw Raised::Oracle(6502, {""});
        const int64_t lo = ToInteger(low), hi = ToInteger(high);
        Variable& index = f.slots.at(static_cast<size_t>(s.loopSlot));
        index.type.base = TypeSpec::kInteger;
        for (int64_t i = s.reverse ? hi : lo; s.reverse ? i >= lo : i <= hi;
             s.reverse ? --i : ++i) {
          index.value = Value::OfInteger(i);
          bool leave = false;
          Flow flow = RunLoopBody(s, f, &leave);
          if (leave) return flow;
        }
        return Flow::kNormal;
      }
      case Stmt::kExit:
      case Stmt::kContinue:
        if (s.value && !IsTrue(Eval(*s.value, f))) return Flow::kNormal;
        pendingLabel_ = s.label;
        return s.kind == Stmt::kExit ? Flow::kExit : Flow::kContinue;
      case Stmt::kReturn:
        returnValue_ = s.value ? Eval(*s.value, f) : Value{};
        return Flow::kReturn;
      case Stmt::kRaise:
        if (!s.hasException) {
          if (handling_.empty()) throw Raised::Oracle(6502, {""});
          Raised again = *handling_.back();
          again.trace.clear();
          again.tracedDepth = INT_MAX;
          throw again;
        }
        throw RaiseKey(s.exception);
      case Stmt::kBlock: {
        Flow flow = Run(*s.block, f);
        return flow;
      }
      case Stmt::kSql:
        RunSql(s, f);
        return Flow::kNormal;
      case Stmt::kCall:
        Call(*s.value, f, false);
        return Flow::kNormal;
      case Stmt::kOpenFor:
        OpenFor(s, f);
        return Flow::kNormal;
      case Stmt::kExecute:
        ExecuteImmediate(s, f);
        return Flow::kNormal;
      case Stmt::kOpen:
        OpenDeclared(s, CursorSlot(s, f), f);
        return Flow::kNormal;
      case Stmt::kFetch: {
        Variable& c = CursorSlot(s, f);
        if (!c.open) throw Raised::Oracle(1001);
        FetchInto(*c.open, s.into, f);
        return Flow::kNormal;
      }
      case Stmt::kClose: {
        Variable& c = CursorSlot(s, f);
        if (!c.open) throw Raised::Oracle(1001);
        c.open.reset();
        return Flow::kNormal;
      }
      case Stmt::kCursorFor:
        return CursorFor(s, f);
      case Stmt::kCase: {
        Value selector;
        if (s.value) selector = Eval(*s.value, f);
        for (const auto& [when, body] : s.branches) {
          Value v = Eval(*when, f);
          bool hit = false;
          if (s.value) {
            bool unknown = false;
            hit = Compare(selector, v, conv_, &unknown) == 0 && !unknown;
          } else {
            hit = IsTrue(v);
          }
          if (hit) return RunList(body, f);
        }
        if (!s.hasElse) throw Raised::Oracle(6592);
        return RunList(s.elseBody, f);
      }
    }
    return Flow::kNormal;
  }

  Raised RaiseKey(const ExceptionKey& key) {
    if (key.code == 0) return Raised(0, "User-Defined Exception", key.userId);
    Raised r = Raised::Oracle(key.code, {""});
    return Raised(key.code, r.Message(), key.userId);
  }

  // SQL.
  static SqlCache& CacheOf(const std::unique_ptr<SqlCache>& slot) {
    auto& cache = const_cast<std::unique_ptr<SqlCache>&>(slot);
    if (!cache) cache = std::make_unique<SqlCache>();
    return *cache;
  }

  static Cursor& PreparedCursor(SqlCache& cache, const std::string& text) {
    if (!cache.cursor || cache.text != text) {
      cache.cursor = std::make_unique<Cursor>();
      cache.cursor->Prepare(text);
      cache.text = text;
    }
    return *cache.cursor;
  }

  // A bind placeholder for a value. A date crosses as text inside TO_DATE, so that the SQL
  // engine knows it for a date (a bound Julian day would read as a number).
  static std::string Placeholder(size_t index, const Value& v) {
    std::string name = ":PLSQL$" + std::to_string(index + 1);
    if (v.kind == Value::kDate) return "TO_DATE(" + name + ", 'YYYY-MM-DD HH24:MI:SS')";
    return name;
  }

  void BindValues(Cursor& c, BoundValues& bound, const std::vector<Value>& values) {
    for (size_t i = 0; i < values.size(); ++i) {
      const Value& v = values[i];
      const std::string name = "PLSQL$" + std::to_string(i + 1);
      if (v.kind == Value::kDate) {
        bound.BindName(c, name,
                       Value::OfText(FormatDate(FromJulianDay(v.julian), "YYYY-MM-DD HH24:MI:SS")));
      } else {
        bound.BindName(c, name, v);
      }
    }
  }

  bool IsColumn(SqlCache& cache, const SqlText& t, const std::string& raw) {
    std::string name = raw;
    if (name.size() >= 2 && name.front() == '"') {
      name = name.substr(1, name.size() - 2);
    } else {
      for (auto& ch : name) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    }
    auto it = cache.column.find(name);
    if (it != cache.column.end()) return it->second;
    bool found = false;
    for (const auto& word : t.words) {
      if (sqlite3_table_column_metadata(conn_->Sql(), nullptr, word.c_str(), name.c_str(), nullptr,
                                        nullptr, nullptr, nullptr, nullptr) == SQLITE_OK) {
        found = true;
        break;
      }
    }
    cache.column[name] = found;
    return found;
  }

  std::vector<Value> EvalParams(const SqlText& t, Frame& f) {
    std::vector<Value> values;
    values.reserve(t.params.size());
    for (const auto& p : t.params) values.push_back(Eval(*p, f));
    return values;
  }

  std::string Assemble(const SqlText& t, const std::vector<Value>& values, SqlCache& cache) {
    std::string text;
    for (const auto& piece : t.pieces) {
      text += piece.text;
      if (piece.param < 0) continue;
      if (!piece.name.empty() && IsColumn(cache, t, piece.name)) {
        text += piece.name;
      } else {
        text +=
            Placeholder(static_cast<size_t>(piece.param), values[static_cast<size_t>(piece.param)]);
      }
    }
    return text;
  }

  // The record a lone INTO target is, or null.
  Variable* RecordTarget(const std::vector<ExprPtr>& into, Frame& f) {
    if (into.size() != 1 || into[0]->kind != Expr::kVariable) return nullptr;
    Variable& v = Slot(f, into[0]->slot);
    return v.isRecord ? &v : nullptr;
  }

  // Row row of rows into the targets: a record takes every column by name.
  void AssignRow(Cursor& c, const FetchedRows& rows, ub4 row, const std::vector<ExprPtr>& into,
                 Frame& f) {
    if (Variable* record = RecordTarget(into, f)) {
      record->fields.clear();
      for (size_t i = 0; i < rows.Columns(); ++i) {
        record->fields.emplace_back(c.Columns()[i].name, rows.Get(i, row));
      }
      return;
    }
    if (rows.Columns() < into.size()) throw Raised::Oracle(947);
    if (rows.Columns() > into.size()) throw Raised::Oracle(913);
    for (size_t i = 0; i < into.size(); ++i) Assign(*into[i], rows.Get(i, row), f);
  }

  void Into(Cursor& c, const std::vector<ExprPtr>& into, Frame& f) {
    FetchedRows rows(c, 2);
    c.Fetch(2);
    const ub4 n = c.RowsFetched();
    sqlRowCount_ = n;
    if (n == 0) throw Raised::Oracle(1403);
    if (n > 1) throw Raised::Oracle(1422);
    AssignRow(c, rows, 0, into, f);
  }

  // Explicit cursors.
  std::shared_ptr<CursorState> OpenQuery(const SqlText& query, size_t offset, Frame& f) {
    auto state = std::make_shared<CursorState>();
    std::vector<Value> params = EvalParams(query, f);
    SqlCache cache;
    state->cursor = std::make_unique<Cursor>();
    state->cursor->Prepare(Assemble(query, params, cache));
    BoundValues values;
    BindValues(*state->cursor, values, params);
    try {
      state->cursor->Execute(conn_, 0, 0, 0);
    } catch (const OracleError& e) {
      ThrowStaticSqlError(e, offset, query);
    }
    state->rows = std::make_unique<FetchedRows>(*state->cursor, 1);
    return state;
  }

  std::shared_ptr<CursorState> OpenDeclared(const Stmt& s, Variable& cursor, Frame& f) {
    if (cursor.open) throw Raised::Oracle(6511);
    const Declaration& d = *cursor.cursor;
    if (s.usingArgs.size() > d.cursorParams.size()) {
      throw CompileError{s.offset, PlsText(306, {d.name}), true, s.offset};
    }
    // The parameters are slots of the frame the cursor was declared in.
    Frame* home = &f;
    for (int i = 0; i < s.target->slot.up && home->parent; ++i) home = home->parent;
    for (size_t i = 0; i < d.cursorParams.size(); ++i) {
      const Parameter& p = d.cursorParams[i];
      Value v;
      if (i < s.usingArgs.size()) {
        v = Eval(*s.usingArgs[i], f);
      } else if (p.defaultValue) {
        v = Eval(*p.defaultValue, *home);
      } else {
        throw CompileError{s.offset, PlsText(306, {d.name}), true, s.offset};
      }
      Variable& slot = home->slots.at(static_cast<size_t>(p.slot));
      slot.type = p.type;
      slot.value = Coerce(v, p.type, conv_);
    }
    cursor.open = OpenQuery(d.query, d.offset, *home);
    return cursor.open;
  }

  // Fetches the next row into the targets; false (targets untouched) at the end.
  bool FetchInto(CursorState& state, const std::vector<ExprPtr>& into, Frame& f) {
    try {
      state.cursor->Fetch(1);
    } catch (const OracleError& e) {
      throw Raised::From(e);
    }
    if (state.cursor->RowsFetched() == 0) {
      state.found = 0;
      return false;
    }
    state.found = 1;
    ++state.count;
    AssignRow(*state.cursor, *state.rows, 0, into, f);
    return true;
  }

  Variable& CursorSlot(const Stmt& s, Frame& f) { return Slot(f, s.target->slot); }

  Flow CursorFor(const Stmt& s, Frame& f) {
    std::shared_ptr<CursorState> state;
    Variable* declared = nullptr;
    if (s.target) {
      declared = &CursorSlot(s, f);
      state = OpenDeclared(s, *declared, f);
    } else {
      state = OpenQuery(s.sql, s.offset, f);
    }
    struct CloseAtEnd {
      Variable* declared;
      ~CloseAtEnd() {
        if (declared) declared->open.reset();
      }
    } close{declared};
    Variable& record = f.slots.at(static_cast<size_t>(s.loopSlot));
    record.isRecord = true;
    auto into = std::vector<ExprPtr>();
    auto self = std::make_unique<Expr>();
    self->kind = Expr::kVariable;
    self->slot = SlotRef{0, s.loopSlot};
    into.push_back(std::move(self));
    while (FetchInto(*state, into, f)) {
      bool leave = false;
      Flow flow = RunLoopBody(s, f, &leave);
      if (leave) return flow;
    }
    return Flow::kNormal;
  }

  void RunSql(const Stmt& s, Frame& f) {
    std::vector<Value> params = EvalParams(s.sql, f);
    SqlCache& cache = CacheOf(s.cache);
    BoundValues values;
    try {
      Cursor& c = PreparedCursor(cache, Assemble(s.sql, params, cache));
      BindValues(c, values, params);
      if (s.isQuery) {
        c.Execute(conn_, 0, 0, 0);
        Into(c, s.into, f);
      } else {
        c.Execute(conn_, 1, 0, 0);
        sqlRowCount_ = c.RowCount();
      }
    } catch (const OracleError& e) {
      ThrowStaticSqlError(e, s.offset, s.sql);
    }
  }

  // A parse error (ORA-009xx) of static SQL is a compile error of the block, as the PL/SQL
  // compiler reports it; anything else is raised.
  [[noreturn]] static void ThrowStaticSqlError(const OracleError& e, size_t offset,
                                               const SqlText& t) {
    if (e.Code() < 900 || e.Code() > 999) throw Raised::From(e);
    std::string text = e.Message();
    while (!text.empty() && text.back() == '\n') text.pop_back();
    size_t at = offset;
    if (!t.pieces.empty() && static_cast<size_t>(e.Offset()) < t.pieces[0].text.size()) {
      at += static_cast<size_t>(e.Offset());
    }
    CompileError c{at, "PL/SQL: " + text, true, offset};
    c.sqlStatement = true;
    throw c;
  }

  void ExecuteImmediate(const Stmt& s, Frame& f) {
    const std::string text = ToText(Eval(*s.value, f), conv_);
    Cursor c;
    c.Prepare(text);
    BoundValues values;
    for (size_t i = 0; i < s.usingArgs.size(); ++i) {
      values.BindPosition(c, static_cast<ub4>(i + 1), Eval(*s.usingArgs[i], f));
    }
    try {
      if (!s.into.empty()) {
        c.Execute(conn_, 0, 0, 0);
        Into(c, s.into, f);
      } else {
        c.Execute(conn_, 1, 0, 0);
        sqlRowCount_ = c.RowCount();
      }
    } catch (const OracleError& e) {
      throw Raised::From(e);
    }
  }

  void OpenFor(const Stmt& s, Frame& f) {
    if (s.target->kind != Expr::kHost) throw Raised::Oracle(6502, {""});
    HostState& h = Host(s.target->name);
    if (!h.var->IsCursor()) throw Raised::Oracle(6502, {""});
    std::vector<std::pair<std::string, Value>> params;
    std::string text;
    if (s.value) {
      text = ToText(Eval(*s.value, f), conv_);
    } else {
      std::vector<Value> values = EvalParams(s.sql, f);
      text = Assemble(s.sql, values, CacheOf(s.cache));
      for (size_t i = 0; i < values.size(); ++i) {
        Value v = values[i];
        if (v.kind == Value::kDate) {
          v = Value::OfText(FormatDate(FromJulianDay(v.julian), "YYYY-MM-DD HH24:MI:SS"));
        }
        params.emplace_back("PLSQL$" + std::to_string(i + 1), v);
      }
    }
    try {
      h.var->Open(text, params);
    } catch (const OracleError& e) {
      if (s.value) throw Raised::From(e);  // dynamic SQL fails when it runs
      ThrowStaticSqlError(e, s.offset, s.sql);
    }
  }

  // Expressions.
  static bool IsTrue(const Value& v) { return v.kind == Value::kBoolean && v.boolean; }

  int64_t ToInteger(const Value& v) {
    Number n = ToNumber(v);
    auto i = n.Rounded(0).ToInteger();
    if (!i) throw Raised::Oracle(1426);
    return *i;
  }

  Value Arith(const std::string& op, const Value& a, const Value& b) {
    if (a.IsNull() || b.IsNull()) return Value{};
    if (a.kind == Value::kDate || b.kind == Value::kDate) {
      if (op == "+" && a.kind == Value::kDate && b.kind != Value::kDate) {
        return Value::OfDate(a.julian + ToNumber(b).AsDouble());
      }
      if (op == "+" && b.kind == Value::kDate && a.kind != Value::kDate) {
        return Value::OfDate(b.julian + ToNumber(a).AsDouble());
      }
      if (op == "-" && a.kind == Value::kDate && b.kind == Value::kDate) {
        return Value::OfNumber(Number::FromDouble(a.julian - b.julian));
      }
      if (op == "-" && a.kind == Value::kDate) {
        return Value::OfDate(a.julian - ToNumber(b).AsDouble());
      }
      throw Raised::Oracle(6502, {""});
    }
    const Number x = ToNumber(a), y = ToNumber(b);
    // Integers stay exact; anything else is computed as the SQL engine computes it.
    const auto xi = x.ToInteger(), yi = y.ToInteger();
    if (xi && yi) {
      int64_t r = 0;
      if (op == "+" && !__builtin_add_overflow(*xi, *yi, &r)) return Value::OfInteger(r);
      if (op == "-" && !__builtin_sub_overflow(*xi, *yi, &r)) return Value::OfInteger(r);
      if (op == "*" && !__builtin_mul_overflow(*xi, *yi, &r)) return Value::OfInteger(r);
      if (op == "/") {
        if (*yi == 0) throw Raised::Oracle(1476);
        if (*yi != -1 && *xi % *yi == 0) return Value::OfInteger(*xi / *yi);
      }
      if (op == "MOD") {
        if (*yi == 0) return a;
        if (*yi == -1) return Value::OfInteger(0);
        return Value::OfInteger(*xi % *yi);
      }
    }
    const double p = x.AsDouble(), q = y.AsDouble();
    double r = 0;
    if (op == "+") {
      r = p + q;
    } else if (op == "-") {
      r = p - q;
    } else if (op == "*") {
      r = p * q;
    } else if (op == "/") {
      if (q == 0) throw Raised::Oracle(1476);
      r = p / q;
    } else if (op == "MOD") {
      if (q == 0) return a;
      r = p - q * std::trunc(p / q);
    } else {
      r = std::pow(p, q);
    }
    if (!std::isfinite(r)) throw Raised::Oracle(1426);
    return Value::OfNumber(Number::FromDouble(r));
  }

  Value Eval(const Expr& e, Frame& f) {
    CheckStack();
    switch (e.kind) {
      case Expr::kLiteral:
        return e.literal;
      case Expr::kVariable:
        return Slot(f, e.slot).value;
      case Expr::kHost:
        return Host(e.name).v.value;
      case Expr::kElement: {
        Variable& table = e.isHost ? Host(e.name).v : Slot(f, e.slot);
        const int64_t index = ToInteger(Eval(*e.args[0], f));
        auto it = table.table.find(index);
        if (it == table.table.end()) throw Raised::Oracle(1403);
        return it->second;
      }
      case Expr::kUnary: {
        Value v = Eval(*e.args[0], f);
        if (v.IsNull() || e.op == "+") return v;
        Number n = ToNumber(v);
        if (!n.IsZero()) n.negative = !n.negative;
        return Value::OfNumber(n);
      }
      case Expr::kBinary: {
        Value a = Eval(*e.args[0], f);
        Value b = Eval(*e.args[1], f);
        if (e.op == "||") return Value::OfText(ToText(a, conv_) + ToText(b, conv_));
        return Arith(e.op, a, b);
      }
      case Expr::kNot: {
        Value v = Eval(*e.args[0], f);
        if (v.IsNull()) return v;
        if (v.kind != Value::kBoolean) throw Raised::Oracle(6502, {""});
        return Value::OfBoolean(!v.boolean);
      }
      case Expr::kAnd:
      case Expr::kOr: {
        const bool isAnd = e.kind == Expr::kAnd;
        Value a = Eval(*e.args[0], f);
        if (a.kind == Value::kBoolean && a.boolean != isAnd) return a;  // decided
        Value b = Eval(*e.args[1], f);
        if (b.kind == Value::kBoolean && b.boolean != isAnd) return b;
        if (a.IsNull() || b.IsNull()) return Value{};
        return Value::OfBoolean(isAnd);
      }
      case Expr::kCompare: {
        Value a = Eval(*e.args[0], f), b = Eval(*e.args[1], f);
        bool unknown = false;
        const int c = Compare(a, b, conv_, &unknown);
        if (unknown) return Value{};
        const std::string& op = e.op;
        bool r = op == "="    ? c == 0
                 : op == "<>" ? c != 0
                 : op == "<"  ? c < 0
                 : op == ">"  ? c > 0
                 : op == "<=" ? c <= 0
                              : c >= 0;
        return Value::OfBoolean(r);
      }
      case Expr::kIsNull:
        return Value::OfBoolean(Eval(*e.args[0], f).IsNull() != e.negated);
      case Expr::kLike: {
        Value v = Eval(*e.args[0], f), p = Eval(*e.args[1], f);
        int escape = -1;
        if (e.args.size() > 2) {
          std::string esc = ToText(Eval(*e.args[2], f), conv_);
          if (esc.size() != 1) throw Raised::Oracle(1425);
          escape = static_cast<unsigned char>(esc[0]);
        }
        if (v.IsNull() || p.IsNull()) return Value{};
        return Value::OfBoolean(Like(ToText(v, conv_), ToText(p, conv_), escape) != e.negated);
      }
      case Expr::kBetween: {
        Value v = Eval(*e.args[0], f), lo = Eval(*e.args[1], f), hi = Eval(*e.args[2], f);
        bool u1 = false, u2 = false;
        const int c1 = Compare(v, lo, conv_, &u1);
        const int c2 = Compare(v, hi, conv_, &u2);
        if ((!u1 && c1 < 0) || (!u2 && c2 > 0)) return Value::OfBoolean(e.negated);
        if (u1 || u2) return Value{};
        return Value::OfBoolean(!e.negated);
      }
      case Expr::kIn: {
        Value v = Eval(*e.args[0], f);
        bool unknown = false;
        for (size_t i = 1; i < e.args.size(); ++i) {
          bool u = false;
          const int c = Compare(v, Eval(*e.args[i], f), conv_, &u);
          if (u) {
            unknown = true;
          } else if (c == 0) {
            return Value::OfBoolean(!e.negated);
          }
        }
        if (unknown) return Value{};
        return Value::OfBoolean(e.negated);
      }
      case Expr::kCall:
        return Call(e, f, true);
      case Expr::kCase: {
        size_t i = 0;
        Value selector;
        if (e.hasSelector) selector = Eval(*e.args[i++], f);
        const size_t pairsEnd = e.args.size() - (e.hasElse ? 1 : 0);
        for (; i + 1 < pairsEnd; i += 2) {
          Value when = Eval(*e.args[i], f);
          bool hit = false;
          if (e.hasSelector) {
            bool unknown = false;
            hit = Compare(selector, when, conv_, &unknown) == 0 && !unknown;
          } else {
            hit = IsTrue(when);
          }
          if (hit) return Eval(*e.args[i + 1], f);
        }
        return e.hasElse ? Eval(*e.args.back(), f) : Value{};
      }
      case Expr::kSqlAttribute:
        if (e.op == "ISOPEN") return Value::OfBoolean(false);
        if (sqlRowCount_ < 0) return Value{};
        if (e.op == "ROWCOUNT") return Value::OfInteger(sqlRowCount_);
        return Value::OfBoolean((sqlRowCount_ > 0) == (e.op == "FOUND"));
      case Expr::kSqlCode:
        return Value::OfInteger(handling_.empty() ? 0 : handling_.back()->SqlCode());
      case Expr::kSqlErrm: {
        if (e.args.empty()) {
          if (handling_.empty()) return Value::OfText("ORA-0000: normal, successful completion");
          return Value::OfText(handling_.back()->Message());
        }
        const int64_t code = ToInteger(Eval(*e.args[0], f));
        if (code == 0) return Value::OfText("ORA-0000: normal, successful completion");
        if (code == 1) return Value::OfText("User-Defined Exception");
        if (code == 100) return Value::OfText(Raised::Oracle(1403).Message());
        if (code > 0) return Value::OfText("-" + std::to_string(code) + ": non-ORACLE exception ");
        return Value::OfText(Raised::Oracle(static_cast<int>(-code), {""}).Message());
      }
      case Expr::kField: {
        Variable& record = Slot(f, e.slot);
        for (const auto& [name, value] : record.fields) {
          if (name == e.op) return value;
        }
        return Value{};
      }
      case Expr::kCursorAttribute: {
        Variable& c = Slot(f, e.slot);
        if (e.op == "ISOPEN") return Value::OfBoolean(c.open != nullptr);
        if (!c.open) throw Raised::Oracle(1001);
        if (e.op == "ROWCOUNT") return Value::OfInteger(c.open->count);
        if (c.open->found < 0) return Value{};
        return Value::OfBoolean((c.open->found == 1) == (e.op == "FOUND"));
      }
      case Expr::kMethod: {
        Variable& table = e.isHost ? Host(e.name).v : Slot(f, e.slot);
        const auto& t = table.table;
        if (e.op == "COUNT") return Value::OfInteger(static_cast<int64_t>(t.size()));
        if (e.op == "FIRST") return t.empty() ? Value{} : Value::OfInteger(t.begin()->first);
        if (e.op == "LAST") return t.empty() ? Value{} : Value::OfInteger(t.rbegin()->first);
        Value arg = Eval(*e.args[0], f);
        if (arg.IsNull()) return e.op == "EXISTS" ? Value::OfBoolean(false) : Value{};
        const int64_t i = ToInteger(arg);
        if (e.op == "EXISTS") return Value::OfBoolean(t.count(i) > 0);
        if (e.op == "NEXT") {
          auto it = t.upper_bound(i);
          return it == t.end() ? Value{} : Value::OfInteger(it->first);
        }
        auto it = t.lower_bound(i);
        if (it == t.begin()) return Value{};
        return Value::OfInteger(std::prev(it)->first);
      }
    }
    return Value{};
  }

  void Assign(const Expr& target, const Value& value, Frame& f) {
    switch (target.kind) {
      case Expr::kVariable: {
        Variable& v = Slot(f, target.slot);
        v.value = Coerce(value, v.type, conv_);
        return;
      }
      case Expr::kHost: {
        HostState& h = Host(target.name);
        if (h.var->IsCursor() || h.var->IsTable()) throw Raised::Oracle(6502, {""});
        h.v.value = Coerce(value, h.v.type, conv_);
        h.dirty = true;
        return;
      }
      case Expr::kField: {
        Variable& record = Slot(f, target.slot);
        for (auto& [name, field] : record.fields) {
          if (name == target.op) {
            field = value;
            return;
          }
        }
        record.fields.emplace_back(target.op, value);
        return;
      }
      case Expr::kElement: {
        const int64_t index = ToInteger(Eval(*target.args[0], f));
        if (target.isHost) {
          HostState& h = Host(target.name);
          if (!h.var->IsTable()) throw Raised::Oracle(6502, {""});
          if (index < 1 || index > static_cast<int64_t>(h.var->Capacity())) {
            throw Raised::Oracle(6513);
          }
          h.v.table[index] = Coerce(value, h.v.type, conv_);
          h.dirty = true;
          return;
        }
        Variable& v = Slot(f, target.slot);
        v.table[index] = Coerce(value, v.type, conv_);
        return;
      }
      default:
        throw CompileError{target.offset, PlsText(363, {"?"}), false, 0};
    }
  }

  // Calls.
  Value Call(const Expr& call, Frame& f, bool wantValue) {
    const std::string& name = call.name;
    if (name == "RAISE_APPLICATION_ERROR") return RaiseApplicationError(call, f);
    if (name.rfind("DBMS_OUTPUT.", 0) == 0) {
      for (const auto& a : call.args) Eval(*a, f);  // the output buffer is not kept
      return Value{};
    }
    if (call.routine) {
      Frame* parent = &f;
      while (parent && parent->depth >= call.routine->depth) parent = parent->parent;
      return Invoke(*call.routine, f.unit, parent, call, f);
    }
    if (name.find('.') == std::string::npos && f.unit && f.unit->isPackage) {
      if (Routine* r = FindInPackage(*f.unit, name, call.args.size())) {
        return Invoke(*r, f.unit, PackageState(*f.unit), call, f);
      }
    }
    // A call that ran on the SQL engine before in this block is a built-in function.
    if (wantValue && call.sql) return BuiltinFunction(call, f);
    LoadedUnit* unit = nullptr;
    if (Routine* r = ResolveStored(name, call.args.size(), &unit)) {
      return Invoke(*r, unit, unit->isPackage ? PackageState(*unit) : nullptr, call, f);
    }
    if (wantValue) return BuiltinFunction(call, f);
    throw CompileError{call.offset, PlsText(201, {name}), true, call.offset};
  }

  Value RaiseApplicationError(const Expr& call, Frame& f) {
    if (call.args.size() < 2 || call.args.size() > 3) {
      throw CompileError{call.offset, PlsText(306, {"RAISE_APPLICATION_ERROR"}), true, call.offset};
    }
    const int64_t code = ToInteger(Eval(*call.args[0], f));
    std::string text = ToText(Eval(*call.args[1], f), conv_);
    if (code < -20999 || code > -20000) {
      throw Raised::Oracle(21000, {std::to_string(code), ""});
    }
    if (text.size() > 2048) text.resize(2048);
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "ORA-%05d: ", static_cast<int>(-code));
    throw Raised(static_cast<int>(-code), prefix + text);
  }

  static Routine* FindInPackage(LoadedUnit& unit, const std::string& name, size_t args) {
    Routine* byName = nullptr;
    for (auto& r : unit.unit.routines) {
      if (r->name != name) continue;
      if (r->params.size() == args) return r.get();
      byName = r.get();  // defaults may make up the rest
    }
    return byName;
  }

  Frame* PackageState(LoadedUnit& unit) {
    if (!unit.state) {
      unit.state = std::make_unique<Frame>();
      unit.state->slots.resize(static_cast<size_t>(unit.unit.main->slotCount));
      unit.state->unit = &unit;
    }
    if (!unit.initialized) {
      unit.initialized = true;
      Run(*unit.unit.main->body, *unit.state);
    }
    return unit.state.get();
  }

  std::shared_ptr<LoadedUnit> Load(const std::string& owner, const std::string& name,
                                   bool isPackage) {
    sqlite3* db = conn_->Sql();
    auto source = StoredSource(db, owner, name, isPackage ? "PACKAGE BODY" : "PROCEDURE");
    if (!isPackage && !source) source = StoredSource(db, owner, name, "FUNCTION");
    std::optional<std::string> spec;
    if (isPackage) {
      spec = StoredSource(db, owner, name, "PACKAGE");
      if (!spec) return nullptr;
      if (!source) {
        throw Raised::Oracle(4067, {"package body \"" + owner + "." + name + "\""});
      }
    }
    if (!source) return nullptr;
    const std::string key = owner + "." + name + (isPackage ? " PACKAGE" : "");
    auto& slot = session_->units[key];
    if (slot && slot->source == *source && slot->specSource == spec.value_or("")) return slot;
    auto unit = std::make_shared<LoadedUnit>();
    unit->owner = owner;
    unit->name = name;
    unit->isPackage = isPackage;
    unit->source = *source;
    unit->specSource = spec.value_or("");
    try {
      unit->unit = isPackage ? ParsePackage(unit->specSource, unit->source, nullptr)
                             : Parse(unit->source, nullptr);
    } catch (const CompileError&) {
      throw Raised::Oracle(6550, {""});
    }
    slot = unit;
    return unit;
  }

  Routine* ResolveStored(const std::string& dotted, size_t args, LoadedUnit** unit) {
    auto parts = Split(dotted);
    const std::string& user = conn_->currentUser;
    auto standalone = [&](const std::string& owner, const std::string& name) -> Routine* {
      auto u = Load(owner, name, false);
      if (!u) return nullptr;
      *unit = u.get();
      return u->unit.main.get();
    };
    auto packaged = [&](const std::string& owner, const std::string& package,
                        const std::string& name) -> Routine* {
      auto u = Load(owner, package, true);
      if (!u) return nullptr;
      Routine* r = FindInPackage(*u, name, args);
      if (!r) return nullptr;
      *unit = u.get();
      return r;
    };
    if (parts.size() == 1) return standalone(user, parts[0]);
    if (parts.size() == 2) {
      if (Routine* r = packaged(user, parts[0], parts[1])) return r;
      return standalone(parts[0], parts[1]);
    }
    if (parts.size() == 3) return packaged(parts[0], parts[1], parts[2]);
    return nullptr;
  }

  Value Invoke(const Routine& r, LoadedUnit* unit, Frame* parent, const Expr& call, Frame& caller) {
    if (!r.body) throw CompileError{call.offset, PlsText(201, {call.name}), true, call.offset};
    auto wrongArguments = [&]() {
      return CompileError{call.offset, PlsText(306, {r.name}), true, call.offset};
    };
    std::vector<const Expr*> argFor(r.params.size(), nullptr);
    for (size_t i = 0; i < call.args.size(); ++i) {
      const std::string& named = i < call.argNames.size() ? call.argNames[i] : std::string();
      size_t index = i;
      if (!named.empty()) {
        index = r.params.size();
        for (size_t k = 0; k < r.params.size(); ++k) {
          if (r.params[k].name == named) index = k;
        }
      }
      if (index >= r.params.size() || argFor[index]) throw wrongArguments();
      argFor[index] = call.args[i].get();
    }
    Frame frame;
    frame.slots.resize(static_cast<size_t>(r.slotCount));
    frame.parent = parent;
    frame.depth = r.depth;
    frame.unit = unit;
    for (size_t k = 0; k < r.params.size(); ++k) {
      const Parameter& p = r.params[k];
      Variable& v = frame.slots.at(static_cast<size_t>(p.slot));
      v.type = p.type;
      const Expr* arg = argFor[k];
      if (!arg && (p.out || !p.defaultValue)) throw wrongArguments();
      if (p.out && (!arg || (arg->kind != Expr::kVariable && arg->kind != Expr::kHost &&
                             arg->kind != Expr::kElement && arg->kind != Expr::kField))) {
        throw CompileError{arg ? arg->offset : call.offset, PlsText(363, {p.name}), true,
                           call.offset};
      }
      if (!p.in) continue;
      if (arg) {
        v.value = Coerce(Eval(*arg, caller), p.type, conv_);
      } else if (p.defaultValue) {
        v.value = Coerce(Eval(*p.defaultValue, frame), p.type, conv_);
      } else {
        throw wrongArguments();
      }
    }
    if (callDepth_ >= kMaxCallDepth) throw Raised::Oracle(6500);
    Value result;
    {
      ++callDepth_;
      struct Depth {
        int& d;
        ~Depth() { --d; }
      } depth{callDepth_};
      Flow flow = Run(*r.body, frame);
      if (r.isFunction) {
        if (flow != Flow::kReturn) throw Raised::Oracle(6503);
        result = Coerce(returnValue_, r.returns, conv_);
      }
    }
    for (size_t k = 0; k < r.params.size(); ++k) {
      if (r.params[k].out) {
        Assign(*argFor[k], frame.slots.at(static_cast<size_t>(r.params[k].slot)).value, caller);
      }
    }
    return result;
  }

  Value BuiltinFunction(const Expr& call, Frame& f) {
    std::vector<Value> args;
    for (const auto& a : call.args) args.push_back(Eval(*a, f));
    std::string text = "SELECT " + call.name;
    if (!call.args.empty() || !IsNiladic(call.name)) {
      text += "(";
      for (size_t i = 0; i < args.size(); ++i) text += (i ? ", " : "") + Placeholder(i, args[i]);
      text += ")";
    }
    text += " FROM DUAL";
    BoundValues values;
    try {
      Cursor& c = PreparedCursor(CacheOf(call.sql), text);
      BindValues(c, values, args);
      c.Execute(conn_, 0, 0, 0);
      FetchedRows rows(c, 1);
      c.Fetch(1);
      if (c.RowsFetched() != 1 || rows.Columns() != 1) return Value{};
      return rows.Get(0, 0);
    } catch (const OracleError& e) {
      if (e.Code() == 904 || e.Code() == 936 || e.Code() == 909) {
        throw CompileError{call.offset, PlsText(e.Code() == 909 ? 306 : 201, {call.name}), true,
                           call.offset};
      }
      throw Raised::From(e);
    }
  }

  static bool IsNiladic(const std::string& name) {
    auto endsWith = [&](std::string_view suffix) {
      return name.size() > suffix.size() &&
             name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
    };
    if (endsWith(".NEXTVAL") || endsWith(".CURRVAL")) return true;
    return name == "SYSDATE" || name == "USER" || name == "UID" || name == "SYSTIMESTAMP" ||
           name == "CURRENT_DATE" || name == "LOCALTIMESTAMP" || name == "CURRENT_TIMESTAMP" ||
           name == "SESSIONTIMEZONE" || name == "DBTIMEZONE";
  }

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

// Undoes what a failing block changed: to a savepoint set before it, or the whole
// transaction the block began.
class BlockAtomicity {
 public:
  explicit BlockAtomicity(Connection& c) : c_(c), hadTransaction_(c.InTransaction()) {
    if (hadTransaction_) {
      sqlite3_exec(c_.Sql(), "SAVEPOINT \"OCIEMU$BLOCK\"", nullptr, nullptr, nullptr);
    }
  }
  void Failed() {
    if (!c_.InTransaction()) return;
    if (hadTransaction_ && sqlite3_exec(c_.Sql(), "ROLLBACK TO \"OCIEMU$BLOCK\"", nullptr, nullptr,
                                        nullptr) == SQLITE_OK) {
      sqlite3_exec(c_.Sql(), "RELEASE \"OCIEMU$BLOCK\"", nullptr, nullptr, nullptr);
      return;
    }
    c_.Rollback();
  }
  void Succeeded() {
    if (hadTransaction_ && c_.InTransaction()) {
      sqlite3_exec(c_.Sql(), "RELEASE \"OCIEMU$BLOCK\"", nullptr, nullptr, nullptr);
    }
  }

 private:
  Connection& c_;
  bool hadTransaction_;
};

}  // namespace

void Execute(const std::shared_ptr<Connection>& conn, std::string_view text, HostBinds& host,
             const Limits& limits) {
  Interpreter interpreter(conn, &host, text, limits);
  Unit unit;
  try {
    unit = Parse(text, &interpreter);
  } catch (const CompileError& e) {
    throw CompileFailure(text, e);
  }
  if (unit.kind != Unit::kAnonymous) {
    conn->Commit();  // CREATE is DDL
    StoreUnit(conn->Sql(), unit, unit.owner.empty() ? conn->currentUser : unit.owner);
    return;
  }
  BlockAtomicity atomicity(*conn);
  try {
    interpreter.RunBlock(unit);
  } catch (const Raised& e) {
    atomicity.Failed();
    throw e.ToClient();
  } catch (const CompileError& e) {
    atomicity.Failed();
    throw CompileFailure(text, e);
  } catch (...) {
    atomicity.Failed();
    throw;
  }
  atomicity.Succeeded();
}

}  // namespace ociemu::plsql
