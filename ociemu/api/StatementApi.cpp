// OCI8 statements: prepare (and the statement cache), bind, define, execute, fetch, describe,
// and the attributes of statements, binds, defines and parameters.
#include <cstring>

#include "ociemu/internal/Api.h"
#include "ociemu/internal/AttributeAccess.h"
#include "ociemu/internal/Statement.h"
#include "ociemu/internal/Variant.h"

using namespace ociemu;

namespace {

template <class T>
void Put(void* attributep, ub4* sizep, T value) {
  PutAttribute(attributep, sizep, &value, sizeof value);
}

bool SetRowid(void* descriptor, const std::string& rowid) {
  auto d = Find<RowidDescriptor>(descriptor, OCI_DTYPE_ROWID);
  if (!d) return false;
  d->rowid = rowid;
  return true;
}

// A bind or define handle of this statement given back by the caller, or a new one.
template <class T>
std::shared_ptr<T> OwnedHandle(StmtHandle& stmt, void* given, ub4 type) {
  if (given) {
    auto h = Find<T>(given, type);
    if (h && h->owner == &stmt) return h;
  }
  auto h = stmt.Own<T>(type);
  h->owner = &stmt;
  return h;
}

void FreeOwned(StmtHandle& stmt) {
  auto handles = std::move(stmt.owned);
  stmt.owned.clear();
  for (auto& h : handles) FreeHandle(*h);
}

sword Finish(const Cursor::Outcome& outcome, Diagnostics* diag) {
  if (outcome.status == OCI_SUCCESS_WITH_INFO && diag) {
    diag->Add(outcome.warning, FormatError(outcome.warning));
  }
  return outcome.status;
}

sword Bind(const char* name, OCIStmt* stmtp, OCIBind** bindp, OCIError* errhp,
           const std::string* placeholder, ub4 position, void* valuep, sb4 value_sz, ub2 dty,
           void* indp, ub2* alenp, ub2* rcodep, ub4 maxarr_len, ub4* curelep, ub4 mode) {
  return WithError(name, errhp, [&](Diagnostics*) -> sword {
    auto stmt = Require<StmtHandle>(stmtp, OCI_HTYPE_STMT);
    CallLock lock({stmt.get()});
    if (!bindp) throw OracleError(1009);
    if (value_sz < 0) throw OracleError(1459);
    BindBuffer buffer;
    buffer.value = valuep;
    buffer.size = value_sz;
    buffer.type = dty;
    buffer.indicator = static_cast<sb2*>(indp);
    buffer.length = alenp;
    buffer.returnCode = rcodep;
    buffer.tableCapacity = maxarr_len;
    buffer.tableLength = curelep;
    if (maxarr_len && !curelep) throw OracleError(1009);
    if (dty == SQLT_RSET) {
      // valuep holds the address of the statement handle a block opens a cursor into.
      buffer.cursorOf = [](void* value) -> Cursor* {
        if (!value) return nullptr;
        void* handle = *static_cast<void**>(value);
        auto target = Find<StmtHandle>(handle, OCI_HTYPE_STMT);
        return target ? &target->cursor : nullptr;
      };
    }
    if (placeholder) {
      stmt->cursor.BindName(*placeholder, buffer);
    } else {
      stmt->cursor.BindPosition(position, buffer);
    }
    auto h = OwnedHandle<BindHandle>(*stmt, *bindp, OCI_HTYPE_BIND);
    h->placeholder = placeholder ? *placeholder : std::string();
    h->position = position;
    h->buffer = buffer;
    h->atExecution = mode & OCI_DATA_AT_EXEC;
    if (!h->atExecution) {
      h->inCallback = nullptr;
      h->pieces.clear();
    }
    *bindp = reinterpret_cast<OCIBind*>(h.get());
    return OCI_SUCCESS;
  });
}

sword FetchRows(const char* name, OCIStmt* stmtp, OCIError* errhp, ub4 nrows, ub2 orientation,
                sb4 offset) {
  return WithError(name, errhp, [&](Diagnostics* diag) -> sword {
    auto stmt = Require<StmtHandle>(stmtp, OCI_HTYPE_STMT);
    CallLock lock({stmt.get()});
    if (orientation != OCI_FETCH_NEXT && orientation != OCI_DEFAULT && !stmt->cursor.Scrollable()) {
      throw OracleError(24391);
    }
    Connection* conn = stmt->cursor.Conn();
    if (!conn || !stmt->cursor.Executed()) throw OracleError(24338);
    if (nrows == 0) {
      // Fetching no rows cancels the cursor.
      conn->BeforeCall(name);
      stmt->prefetched = 0;
      stmt->cursor.Close();
      return OCI_SUCCESS;
    }
    if (stmt->cursor.Scrollable() || nrows > stmt->prefetched) {
      conn->BeforeCall(name);
      stmt->prefetched = stmt->cursor.Scrollable() ? 0 : stmt->PrefetchCount();
    } else {
      stmt->prefetched -= nrows;
    }
    return Finish(stmt->cursor.Scroll(nrows, orientation, offset), diag);
  });
}

bool GetStatement(StmtHandle& s, void* attributep, ub4* sizep, ub4 attrtype) {
  const Cursor& c = s.cursor;
  if (attrtype == ParseErrorOffsetAttribute()) {
    Put<ub2>(attributep, sizep, static_cast<ub2>(c.ParseOffset()));
    return true;
  }
  switch (attrtype) {
    case OCI_ATTR_ENV:
      Put<void*>(attributep, sizep, s.EnvPtr().get());
      return true;
    case OCI_ATTR_ROW_COUNT:
      Put<ub4>(attributep, sizep, c.RowCount());
      return true;
    case OCI_ATTR_SQLFNCODE:
      Put<ub2>(attributep, sizep, c.FunctionCode());
      return true;
    case OCI_ATTR_PREFETCH_ROWS:
      Put<ub4>(attributep, sizep, s.prefetchRows);
      return true;
    case OCI_ATTR_PREFETCH_MEMORY:
      Put<ub4>(attributep, sizep, s.prefetchMemory);
      return true;
    case OCI_ATTR_PARAM_COUNT:
      Put<ub4>(attributep, sizep, static_cast<ub4>(c.Columns().size()));
      return true;
    case OCI_ATTR_STMT_TYPE:
      Put<ub2>(attributep, sizep, c.StatementType());
      return true;
    case OCI_ATTR_ROWS_FETCHED:
      Put<ub4>(attributep, sizep, c.RowsFetched());
      return true;
    case OCI_ATTR_NUM_DML_ERRORS:
      Put<ub4>(attributep, sizep, static_cast<ub4>(c.RowErrors().size()));
      return true;
    case OCI_ATTR_CURRENT_POSITION:
      Put<ub4>(attributep, sizep, c.CurrentPosition());
      return true;
    case OCI_ATTR_STATEMENT:
      PutTextAttribute(attributep, sizep, c.Text());
      return true;
    case OCI_ATTR_ROWID: {
      // The caller passes the ROWID descriptor itself.
      auto d = Find<RowidDescriptor>(attributep, OCI_DTYPE_ROWID);
      if (!d) throw OracleError(24328);
      // Without a row the read succeeds and leaves the descriptor empty, as drivers that read
      // it after every statement expect.
      d->rowid = c.LastRowid();
      if (sizep) *sizep = 0;
      return true;
    }
  }
  throw OracleError(24315);
}

// The error of row pos (from 0) of the last batch-error execution on the error handle source,
// given in an error handle: the caller's own when *parmdpp is one (as Oracle's examples
// allocate it first), else one the source handle owns.
sword RowErrorGet(const void* source, void** parmdpp, ub4 pos) {
  auto err = Require<ErrorHandle>(source, OCI_HTYPE_ERROR);
  if (!parmdpp) throw OracleError(1009);
  if (pos >= err->rowErrors.size()) throw OracleError(24334);
  std::shared_ptr<ErrorHandle> target = Find<ErrorHandle>(*parmdpp, OCI_HTYPE_ERROR);
  if (!target || target == err) {
    target =
        std::static_pointer_cast<ErrorHandle>(MakeHandle(OCI_HTYPE_ERROR, err->EnvPtr(), false));
    err->rowHandles.push_back(target);
  }
  const auto& row = err->rowErrors[pos];
  target->diagnostics.Clear();
  target->diagnostics.Add(row.code, row.text);
  target->rowOffset = row.row;
  *parmdpp = target.get();
  return OCI_SUCCESS;
}

}  // namespace

namespace ociemu {

bool SetStatementAttribute(Handle& target, void* attributep, ub4 /*size*/, ub4 attrtype) {
  switch (target.Type()) {
    case OCI_HTYPE_STMT: {
      auto& s = static_cast<StmtHandle&>(target);
      if (attrtype == OCI_ATTR_PREFETCH_ROWS) {
        s.prefetchRows = ReadUb4(attributep);
        return true;
      }
      if (attrtype == OCI_ATTR_PREFETCH_MEMORY) {
        s.prefetchMemory = ReadUb4(attributep);
        return true;
      }
      throw OracleError(24315);
    }
    case OCI_HTYPE_BIND:
    case OCI_HTYPE_DEFINE:
      // Character set choices are accepted: every value travels in the database's set.
      if (attrtype == OCI_ATTR_CHARSET_ID || attrtype == OCI_ATTR_CHARSET_FORM ||
          attrtype == OCI_ATTR_MAXDATA_SIZE) {
        return true;
      }
      throw OracleError(24315);
    case OCI_DTYPE_ROWID:
      throw OracleError(24315);
  }
  return false;
}

bool GetStatementAttribute(Handle& target, void* attributep, ub4* sizep, ub4 attrtype) {
  switch (target.Type()) {
    case OCI_HTYPE_STMT:
      return GetStatement(static_cast<StmtHandle&>(target), attributep, sizep, attrtype);
    case OCI_HTYPE_BIND:
    case OCI_HTYPE_DEFINE:
      // What the character set attributes say when nobody set them: the database's own.
      if (attrtype == OCI_ATTR_CHARSET_ID) {
        Put<ub2>(attributep, sizep, 0);
        return true;
      }
      if (attrtype == OCI_ATTR_CHARSET_FORM) {
        Put<ub1>(attributep, sizep, SQLCS_IMPLICIT);
        return true;
      }
      if (attrtype == OCI_ATTR_MAXDATA_SIZE) {
        Put<sb4>(attributep, sizep, 0);
        return true;
      }
      throw OracleError(24315);
    case OCI_DTYPE_ROWID:
      throw OracleError(24315);
  }
  return false;
}

}  // namespace ociemu

extern "C" {

sword OCIStmtPrepare(OCIStmt* stmtp, OCIError* errhp, const OraText* stmt, ub4 stmt_len,
                     ub4 /*language*/, ub4 /*mode*/) {
  return WithError("OCIStmtPrepare", errhp, [&](Diagnostics*) -> sword {
    auto s = Require<StmtHandle>(stmtp, OCI_HTYPE_STMT);
    CallLock lock({s.get()});
    if (!stmt) throw OracleError(1009);
    FreeOwned(*s);
    s->cursor.Prepare(TextArg(stmt, stmt_len));
    return OCI_SUCCESS;
  });
}

sword OCIStmtPrepare2(OCISvcCtx* svchp, OCIStmt** stmtp, OCIError* errhp, const OraText* stmt,
                      ub4 stmt_len, const OraText* key, ub4 key_len, ub4 /*language*/, ub4 mode) {
  return WithError("OCIStmtPrepare2", errhp, [&](Diagnostics*) -> sword {
    auto svc = Require<SvcCtxHandle>(svchp, OCI_HTYPE_SVCCTX);
    CallLock lock({svc.get()});
    if (!stmtp) throw OracleError(1009);
    *stmtp = nullptr;
    svc->Live();
    const std::string sqlText = TextArg(stmt, stmt_len);
    const std::string tag = key ? TextArg(key, key_len) : "";
    const std::string lookup = tag.empty() ? sqlText : tag;
    for (auto it = svc->stmtCache.begin(); it != svc->stmtCache.end(); ++it) {
      if (it->first == lookup && !it->second->Freed()) {
        auto cached = it->second;
        svc->stmtCache.erase(it);
        Registry::Instance().SetCounted(*cached, true);
        *stmtp = reinterpret_cast<OCIStmt*>(cached.get());
        return OCI_SUCCESS;
      }
    }
    if (mode & OCI_PREP2_CACHE_SEARCHONLY) throw OracleError(24431);
    if (sqlText.empty()) throw OracleError(1009);
    auto s = std::static_pointer_cast<StmtHandle>(MakeHandle(OCI_HTYPE_STMT, svc->EnvPtr(), true));
    s->cursor.Prepare(sqlText);
    s->fromCache = true;
    s->cacheKey = tag;
    s->cacheOwner = svc;
    *stmtp = reinterpret_cast<OCIStmt*>(s.get());
    return OCI_SUCCESS;
  });
}

sword OCIStmtRelease(OCIStmt* stmtp, OCIError* errhp, const OraText* key, ub4 key_len, ub4 mode) {
  return WithError("OCIStmtRelease", errhp, [&](Diagnostics*) -> sword {
    auto s = Require<StmtHandle>(stmtp, OCI_HTYPE_STMT);
    CallLock lock({s.get()});
    auto svc = s->cacheOwner.lock();
    const bool keep = s->fromCache && svc && !svc->Freed() && svc->stmtCacheSize > 0 &&
                      svc->LiveSession() && !(mode & OCI_STRLS_CACHE_DELETE);
    if (!keep) {
      FreeHandle(*s);
      return OCI_SUCCESS;
    }
    std::string tag = key ? TextArg(key, key_len) : s->cacheKey;
    s->cacheKey = tag;
    Registry::Instance().SetCounted(*s, false);
    svc->stmtCache.emplace_back(tag.empty() ? s->cursor.Text() : tag, s);
    while (svc->stmtCache.size() > svc->stmtCacheSize) {
      auto oldest = svc->stmtCache.front().second;
      svc->stmtCache.erase(svc->stmtCache.begin());
      FreeHandle(*oldest);
    }
    return OCI_SUCCESS;
  });
}

sword OCIBindByName(OCIStmt* stmtp, OCIBind** bindp, OCIError* errhp, const OraText* placeholder,
                    sb4 placeh_len, void* valuep, sb4 value_sz, ub2 dty, void* indp, ub2* alenp,
                    ub2* rcodep, ub4 maxarr_len, ub4* curelep, ub4 mode) {
  const std::string name = TextArg(placeholder, placeh_len);
  return Bind("OCIBindByName", stmtp, bindp, errhp, &name, 0, valuep, value_sz, dty, indp, alenp,
              rcodep, maxarr_len, curelep, mode);
}

sword OCIBindByPos(OCIStmt* stmtp, OCIBind** bindp, OCIError* errhp, ub4 position, void* valuep,
                   sb4 value_sz, ub2 dty, void* indp, ub2* alenp, ub2* rcodep, ub4 maxarr_len,
                   ub4* curelep, ub4 mode) {
  return Bind("OCIBindByPos", stmtp, bindp, errhp, nullptr, position, valuep, value_sz, dty, indp,
              alenp, rcodep, maxarr_len, curelep, mode);
}

sword OCIDefineByPos(OCIStmt* stmtp, OCIDefine** defnp, OCIError* errhp, ub4 position, void* valuep,
                     sb4 value_sz, ub2 dty, void* indp, ub2* rlenp, ub2* rcodep, ub4 mode) {
  return WithError("OCIDefineByPos", errhp, [&](Diagnostics*) -> sword {
    auto stmt = Require<StmtHandle>(stmtp, OCI_HTYPE_STMT);
    CallLock lock({stmt.get()});
    if (!defnp) throw OracleError(1009);
    if (value_sz < 0) throw OracleError(1459);
    DefineBuffer buffer{valuep, value_sz, dty,      static_cast<sb2*>(indp),
                        rlenp,  rcodep,   SetRowid, {}};
    stmt->cursor.Define(position, buffer);
    auto h = OwnedHandle<DefineHandle>(*stmt, *defnp, OCI_HTYPE_DEFINE);
    h->position = position;
    h->buffer = buffer;
    h->dynamic = mode & OCI_DYNAMIC_FETCH;
    *defnp = reinterpret_cast<OCIDefine*>(h.get());
    return OCI_SUCCESS;
  });
}

sword OCIStmtExecute(OCISvcCtx* svchp, OCIStmt* stmtp, OCIError* errhp, ub4 iters, ub4 rowoff,
                     const OCISnapshot* /*snap_in*/, OCISnapshot* /*snap_out*/, ub4 mode) {
  return WithError("OCIStmtExecute", errhp, [&](Diagnostics* diag) -> sword {
    auto svc = Require<SvcCtxHandle>(svchp, OCI_HTYPE_SVCCTX);
    auto stmt = Require<StmtHandle>(stmtp, OCI_HTYPE_STMT);
    CallLock lock({svc.get(), stmt.get()});
    Connection& conn = svc->Live();
    conn.BeforeCall("OCIStmtExecute");
    auto err = Require<ErrorHandle>(errhp, OCI_HTYPE_ERROR);
    err->rowErrors.clear();
    if (GatherPieces(*stmt, iters, rowoff) == OCI_NEED_DATA) return OCI_NEED_DATA;
    stmt->prefetched = 0;
    auto outcome = stmt->cursor.Execute(svc->server->conn, iters, rowoff, mode);
    if (stmt->cursor.IsQuery() && !(mode & OCI_DESCRIBE_ONLY)) {
      stmt->prefetched = stmt->PrefetchCount();
    }
    for (const auto& e : stmt->cursor.RowErrors()) {
      err->rowErrors.push_back(ErrorHandle::RowError{e.row, e.error.Code(), e.error.what()});
    }
    return Finish(outcome, diag);
  });
}

sword OCIStmtFetch(OCIStmt* stmtp, OCIError* errhp, ub4 nrows, ub2 orientation, ub4 /*mode*/) {
  return FetchRows("OCIStmtFetch", stmtp, errhp, nrows, orientation, 0);
}

sword OCIStmtFetch2(OCIStmt* stmtp, OCIError* errhp, ub4 nrows, ub2 orientation, sb4 scrollOffset,
                    ub4 /*mode*/) {
  return FetchRows("OCIStmtFetch2", stmtp, errhp, nrows, orientation, scrollOffset);
}

sword OCIParamGet(const void* hndlp, ub4 htype, OCIError* errhp, void** parmdpp, ub4 pos) {
  return WithError("OCIParamGet", errhp, [&](Diagnostics*) -> sword {
    if (htype == OCI_HTYPE_ERROR) return RowErrorGet(hndlp, parmdpp, pos);
    if (htype == OCI_DTYPE_PARAM) {
      auto list = Require<ParamHandle>(hndlp, OCI_DTYPE_PARAM);
      CallLock lock({list.get()});
      if (!parmdpp) throw OracleError(1009);
      *parmdpp = ListElement(*list, pos).get();
      return OCI_SUCCESS;
    }
    if (htype != OCI_HTYPE_STMT) {
      if (!FindHandle(hndlp, htype)) throw InvalidHandle{};
      throw OracleError(3001);
    }
    auto stmt = Require<StmtHandle>(hndlp, OCI_HTYPE_STMT);
    CallLock lock({stmt.get()});
    if (!parmdpp) throw OracleError(1009);
    const auto& columns = stmt->cursor.Columns();
    if (columns.empty() && !stmt->cursor.Executed()) throw OracleError(24338);
    if (pos < 1 || pos > columns.size()) throw OracleError(24334);
    auto p = stmt->Own<ParamHandle>(OCI_DTYPE_PARAM);
    p->item = SelectListParam(columns[pos - 1], static_cast<ub2>(pos));
    if (Connection* conn = stmt->cursor.Conn()) p->charsetName = conn->characterSet;
    *parmdpp = p.get();
    return OCI_SUCCESS;
  });
}

}  // extern "C"
