// Embedded SQL on the SQL engine: statements put together with their binds, SELECT INTO,
// EXECUTE IMMEDIATE, OPEN FOR into a bound statement, and explicit cursors.
#include <cctype>

#include "ociemu/internal/OraDate.h"
#include "ociemu/internal/plsql/Machine.h"

namespace ociemu::plsql::machine {

SqlCache& Interpreter::CacheOf(const std::unique_ptr<SqlCache>& slot) {
  auto& cache = const_cast<std::unique_ptr<SqlCache>&>(slot);
  if (!cache) cache = std::make_unique<SqlCache>();
  return *cache;
}

Cursor& Interpreter::PreparedCursor(SqlCache& cache, const std::string& text) {
  if (!cache.cursor || cache.text != text) {
    cache.cursor = std::make_unique<Cursor>();
    cache.cursor->Prepare(text);
    cache.text = text;
  }
  return *cache.cursor;
}

std::string Interpreter::Placeholder(size_t index, const Value& v) {
  std::string name = ":PLSQL$" + std::to_string(index + 1);
  if (v.kind == Value::kDate) return "TO_DATE(" + name + ", 'YYYY-MM-DD HH24:MI:SS')";
  return name;
}

void Interpreter::BindValues(Cursor& c, BoundValues& bound, const std::vector<Value>& values) {
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

bool Interpreter::IsColumn(SqlCache& cache, const SqlText& t, const std::string& raw) {
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

std::vector<Value> Interpreter::EvalParams(const SqlText& t, Frame& f) {
  std::vector<Value> values;
  values.reserve(t.params.size());
  for (const auto& p : t.params) values.push_back(Eval(*p, f));
  return values;
}

std::string Interpreter::Assemble(const SqlText& t, const std::vector<Value>& values,
                                  SqlCache& cache) {
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

Variable* Interpreter::RecordTarget(const std::vector<ExprPtr>& into, Frame& f) {
  if (into.size() != 1 || into[0]->kind != Expr::kVariable) return nullptr;
  Variable& v = Slot(f, into[0]->slot);
  return v.isRecord ? &v : nullptr;
}

void Interpreter::AssignRow(Cursor& c, const FetchedRows& rows, ub4 row,
                            const std::vector<ExprPtr>& into, Frame& f) {
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

void Interpreter::Into(Cursor& c, const std::vector<ExprPtr>& into, Frame& f) {
  FetchedRows rows(c, 2);
  c.Fetch(2);
  const ub4 n = c.RowsFetched();
  sqlRowCount_ = n;
  if (n == 0) throw Raised::Oracle(1403);
  if (n > 1) throw Raised::Oracle(1422);
  AssignRow(c, rows, 0, into, f);
}

std::shared_ptr<CursorState> Interpreter::OpenQuery(const SqlText& query, size_t offset, Frame& f) {
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

std::shared_ptr<CursorState> Interpreter::OpenDeclared(const Stmt& s, Variable& cursor, Frame& f) {
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

bool Interpreter::FetchInto(CursorState& state, const std::vector<ExprPtr>& into, Frame& f) {
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

Flow Interpreter::CursorFor(const Stmt& s, Frame& f) {
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

void Interpreter::RunSql(const Stmt& s, Frame& f) {
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

void Interpreter::ThrowStaticSqlError(const OracleError& e, size_t offset, const SqlText& t) {
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

void Interpreter::ExecuteImmediate(const Stmt& s, Frame& f) {
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

void Interpreter::OpenFor(const Stmt& s, Frame& f) {
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

}  // namespace ociemu::plsql::machine
