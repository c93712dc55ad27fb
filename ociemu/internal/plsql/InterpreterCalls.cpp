// Calls: local subprograms, stored procedures, functions and packages (loaded per session,
// package state kept), RAISE_APPLICATION_ERROR, and built-in functions on the SQL engine.
#include <cstdio>

#include "ociemu/internal/plsql/Catalog.h"
#include "ociemu/internal/plsql/Machine.h"

namespace ociemu::plsql::machine {

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

Value Interpreter::Call(const Expr& call, Frame& f, bool wantValue) {
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
  Routine* stored = nullptr;
  try {
    stored = ResolveStored(name, call.args.size(), &unit);
  } catch (const InvalidUnit& invalid) {
    throw CompileError{call.offset, PlsText(905, {invalid.name}), true, call.offset};
  }
  if (Routine* r = stored) {
    return Invoke(*r, unit, unit->isPackage ? PackageState(*unit) : nullptr, call, f);
  }
  if (wantValue) return BuiltinFunction(call, f);
  throw CompileError{call.offset, PlsText(201, {name}), true, call.offset};
}

Value Interpreter::RaiseApplicationError(const Expr& call, Frame& f) {
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

Routine* Interpreter::FindInPackage(LoadedUnit& unit, const std::string& name, size_t args) {
  Routine* byName = nullptr;
  for (auto& r : unit.unit.routines) {
    if (r->name != name) continue;
    if (r->params.size() == args) return r.get();
    byName = r.get();  // defaults may make up the rest
  }
  return byName;
}

Frame* Interpreter::PackageState(LoadedUnit& unit) {
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

std::shared_ptr<LoadedUnit> Interpreter::Load(const std::string& owner, const std::string& name,
                                              bool isPackage) {
  sqlite3* db = conn_->Sql();
  auto source = StoredSource(db, owner, name, isPackage ? "PACKAGE BODY" : "PROCEDURE");
  if (!isPackage && !source) source = StoredSource(db, owner, name, "FUNCTION");
  std::optional<std::string> header;
  if (isPackage) {
    header = StoredSource(db, owner, name, "PACKAGE");
    if (!header) return nullptr;
    if (!source) {
      throw Raised::Oracle(4067, {"package body \"" + owner + "." + name + "\""});
    }
  }
  if (!source) return nullptr;
  const bool valid =
      isPackage
          ? StoredValid(db, owner, name, "PACKAGE") && StoredValid(db, owner, name, "PACKAGE BODY")
          : StoredValid(db, owner, name, "PROCEDURE") || StoredValid(db, owner, name, "FUNCTION");
  if (!valid) throw InvalidUnit{owner + "." + name};
  const std::string key = owner + "." + name + (isPackage ? " PACKAGE" : "");
  auto& slot = session_->units[key];
  if (slot && slot->source == *source && slot->headerSource == header.value_or("")) return slot;
  auto unit = std::make_shared<LoadedUnit>();
  unit->owner = owner;
  unit->name = name;
  unit->isPackage = isPackage;
  unit->source = *source;
  unit->headerSource = header.value_or("");
  try {
    unit->unit = isPackage ? ParsePackage(unit->headerSource, unit->source, this)
                           : Parse(unit->source, this);
  } catch (const CompileError&) {
    throw InvalidUnit{owner + "." + name};  // a unit it needs went away since
  }
  slot = unit;
  return unit;
}

Routine* Interpreter::ResolveStored(const std::string& dotted, size_t args, LoadedUnit** unit) {
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

Value Interpreter::Invoke(const Routine& r, LoadedUnit* unit, Frame* parent, const Expr& call,
                          Frame& caller) {
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

Value Interpreter::BuiltinFunction(const Expr& call, Frame& f) {
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

bool Interpreter::IsNiladic(const std::string& name) {
  auto endsWith = [&](std::string_view suffix) {
    return name.size() > suffix.size() &&
           name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
  };
  if (endsWith(".NEXTVAL") || endsWith(".CURRVAL")) return true;
  return name == "SYSDATE" || name == "USER" || name == "UID" || name == "SYSTIMESTAMP" ||
         name == "CURRENT_DATE" || name == "LOCALTIMESTAMP" || name == "CURRENT_TIMESTAMP" ||
         name == "SESSIONTIMEZONE" || name == "DBTIMEZONE";
}

}  // namespace ociemu::plsql::machine
