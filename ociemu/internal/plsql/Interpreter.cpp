// Running blocks: declarations, statements and loops, exception handlers and the backtrace,
// host variables; and Execute, the module's entry point.
#include <cstdio>

#include "ociemu/internal/plsql/Catalog.h"
#include "ociemu/internal/plsql/Machine.h"

namespace ociemu::plsql::machine {

Interpreter::Interpreter(std::shared_ptr<Connection> conn, HostBinds* host, std::string_view source,
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

void Interpreter::RunBlock(const Unit& unit) {
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

bool Interpreter::RoutineExists(const std::string& dotted) {
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

Interpreter::HostState& Interpreter::Host(const std::string& name) {
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

Variable& Interpreter::Slot(Frame& f, const SlotRef& ref) {
  Frame* frame = &f;
  for (int i = 0; i < ref.up && frame->parent; ++i) frame = frame->parent;
  return frame->slots.at(static_cast<size_t>(ref.slot));
}

std::string Interpreter::SourceOf(const Frame& f) const {
  return f.unit ? f.unit->source : std::string(source_);
}

std::string Interpreter::TraceLine(const Frame& f, size_t offset) const {
  auto [line, column] = LineColumn(SourceOf(f), offset);
  (void)column;
  char buf[64];
  std::snprintf(buf, sizeof buf, "line %d", line);
  if (!f.unit) return std::string("ORA-06512: at ") + buf;
  return "ORA-06512: at \"" + f.unit->owner + "." + f.unit->name + "\", " + buf;
}

void Interpreter::Step() {
  if (limits_.maxSteps && ++steps_ > limits_.maxSteps) throw Raised::Oracle(1013);
  // A connection that breaks in the middle of the block ends it here (ORA-03113), past any
  // handler of the block: the session it would run in is gone.
  conn_->Progress();
  CheckStack();
}

void Interpreter::CheckStack() const {
  char here = 0;
  const auto used = static_cast<ptrdiff_t>(stackBase_ - reinterpret_cast<uintptr_t>(&here));
  if (used > kStackBudget) throw Raised::Oracle(6500);
}

Flow Interpreter::Run(const Block& block, Frame& f) {
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

bool Interpreter::Matches(const Handler& h, const Raised& e) {
  if (h.others) return true;
  for (const auto& key : h.exceptions) {
    if (key.userId && key.userId == e.UserId()) return true;
    if (key.code && key.code == e.Code()) return true;
  }
  return false;
}

Flow Interpreter::RunList(const StmtList& list, Frame& f) {
  for (const auto& s : list) {
    Flow flow = Exec(*s, f);
    if (flow != Flow::kNormal) return flow;
  }
  return Flow::kNormal;
}

Flow Interpreter::Exec(const Stmt& s, Frame& f) {
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

bool Interpreter::LoopControl(Flow& flow, const Stmt& loop, bool* leave) {
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

Flow Interpreter::RunLoopBody(const Stmt& s, Frame& f, bool* leave) {
  Flow flow = RunList(s.body, f);
  LoopControl(flow, s, leave);
  return flow;
}

Flow Interpreter::ExecInner(const Stmt& s, Frame& f) {
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
      for (int64_t i = s.reverse ? hi : lo; s.reverse ? i >= lo : i <= hi; s.reverse ? --i : ++i) {
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

Raised Interpreter::RaiseKey(const ExceptionKey& key) {
  if (key.code == 0) return Raised(0, "User-Defined Exception", key.userId);
  Raised r = Raised::Oracle(key.code, {""});
  return Raised(key.code, r.Message(), key.userId);
}

}  // namespace ociemu::plsql::machine

namespace ociemu::plsql {
namespace {

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

int Execute(const std::shared_ptr<Connection>& conn, std::string_view text, HostBinds& host,
            const Limits& limits) {
  machine::Interpreter interpreter(conn, &host, text, limits);
  Unit unit;
  try {
    unit = Parse(text, &interpreter);
  } catch (const CompileError& e) {
    // A CREATE with errors still stores its unit, invalid, as Oracle's compiler does.
    std::optional<Unit> invalid = ParseHeading(text);
    if (!invalid) throw CompileFailure(text, e);
    conn->Commit();
    StoreUnit(conn->Sql(), *invalid, invalid->owner.empty() ? conn->currentUser : invalid->owner,
              false);
    return 24344;
  }
  if (unit.kind != Unit::kAnonymous) {
    conn->Commit();  // CREATE is DDL
    StoreUnit(conn->Sql(), unit, unit.owner.empty() ? conn->currentUser : unit.owner, true);
    return 0;
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
  return 0;
}

}  // namespace ociemu::plsql
