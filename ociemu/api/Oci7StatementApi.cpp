// OCI7 cursors over the shared statement engine: open, parse, bind, define, describe,
// execute, fetch and close, with outcomes in the cursor data area.
#include <cstring>

#include "ociemu/internal/Api.h"
#include "ociemu/internal/Oci7.h"

using namespace ociemu;

namespace {

sword Fail(Cda_Def* cda, Logon7* logon, const OracleError& e, ub1 fc) {
  SetReturnCode(cda, e.Code(), fc);
  if (cda && e.Offset()) cda->peo = static_cast<ub2>(e.Offset());
  if (logon) {
    logon->lastCode = e.Code();
    logon->lastText = e.Message();
  }
  return e.Code();
}

// Runs body on the cursor of cda with its logon's environment locked. body returns the Oracle
// code the call ends with (0, or 1403 at the end of the rows).
template <class Body>
sword OnCursor(const char* name, Cda_Def* cda, ub1 fc, Body&& body) noexcept {
  try {
    CountCall(name);
    auto c = Oci7Registry::Instance().FindCursor(cda);
    if (!c) {
      SetReturnCode(cda, 1001, fc);  // invalid cursor
      return 1001;
    }
    Logon7& logon = *c->logon;
    try {
      CallLock lock({logon.svc.get()});
      cda->wrn = 0;
      int code = body(*c, logon);
      SetReturnCode(cda, code, fc);
      cda->ft = c->cursor.FunctionCode();
      cda->rpc = c->cursor.RowCount();
      return code;
    } catch (const OracleError& e) {
      cda->rpc = c->cursor.RowCount();
      return Fail(cda, &logon, e, fc);
    } catch (const InvalidHandle&) {
      return Fail(cda, &logon, OracleError(1012), fc);
    } catch (const std::exception& e) {
      return Fail(cda, &logon, OracleError(600, {e.what()}), fc);
    }
  } catch (...) {
    return -1;
  }
}

// The connection of a logon, after the call's faults.
const std::shared_ptr<Connection>& Server(Logon7& logon, const char* call) {
  Connection& conn = logon.svc->Live();
  conn.BeforeCall(call);
  return logon.svc->server->conn;
}

int Ended(const Cursor::Outcome& outcome, Cda_Def* cda) {
  if (outcome.warning) cda->wrn = 0x03;  // a warning, and it is a truncation
  return outcome.status == OCI_NO_DATA ? 1403 : 0;
}

void AfterExecute(Cursor7& c, Logon7& logon) {
  const ub2 type = c.cursor.StatementType();
  if (logon.autocommit &&
      (type == OCI_STMT_INSERT || type == OCI_STMT_UPDATE || type == OCI_STMT_DELETE)) {
    logon.svc->Live().Commit();
  }
}

}  // namespace

extern "C" {

sword oopen(Cda_Def* cursor, Cda_Def* lda, OraText* /*dbn*/, sword /*dbnl*/, sword /*arsize*/,
            OraText* /*uid*/, sword /*uidl*/) {
  try {
    CountCall("oopen");
    if (!cursor) return -1;
    auto logon = Oci7Registry::Instance().FindLogon(lda);
    if (!logon) {
      SetReturnCode(cursor, 1012, OCI7_FC_OOPEN);
      return 1012;
    }
    CallLock lock({logon->svc.get()});
    try {
      logon->svc->Live();
    } catch (const OracleError& e) {
      return Fail(cursor, logon.get(), e, OCI7_FC_OOPEN);
    }
    auto c = std::make_shared<Cursor7>();
    c->logon = logon;
    Oci7Registry::Instance().PutCursor(cursor, c);
    SetReturnCode(cursor, 0, OCI7_FC_OOPEN);
    cursor->rpc = 0;
    cursor->peo = 0;
    cursor->ft = 0;
    return 0;
  } catch (...) {
    return -1;
  }
}

sword oclose(Cda_Def* cursor) {
  try {
    CountCall("oclose");
    auto c = Oci7Registry::Instance().TakeCursor(cursor);
    if (!c) {
      SetReturnCode(cursor, 1001, OCI7_FC_OCLOSE);
      return 1001;
    }
    CallLock lock({c->logon->svc.get()});
    c->cursor.Close();
    SetReturnCode(cursor, 0, OCI7_FC_OCLOSE);
    return 0;
  } catch (...) {
    return -1;
  }
}

sword oparse(Cda_Def* cursor, OraText* sqlstm, sb4 sqllen, sword defflg, ub4 /*lngflg*/) {
  return OnCursor("oparse", cursor, OCI7_FC_OPARSE, [&](Cursor7& c, Logon7& logon) {
    if (!sqlstm) throw OracleError(1009);
    cursor->peo = 0;
    c.cursor.Prepare(TextArg(sqlstm, sqllen));
    // Without deferral the statement is parsed at once, so its errors come here.
    if (!defflg) c.cursor.Describe(Server(logon, "oparse"));
    return 0;
  });
}

sword obndra(Cda_Def* cursor, OraText* sqlvar, sword sqlvl, ub1* progv, sword progvl, sword ftype,
             sword /*scale*/, sb2* indp, ub2* alen, ub2* arcode, ub4 maxsiz, ub4* cursiz,
             OraText* /*fmt*/, sword /*fmtl*/, sword /*fmtt*/) {
  return OnCursor("obndra", cursor, OCI7_FC_OBNDRA, [&](Cursor7& c, Logon7&) {
    if (maxsiz > 0 && !cursiz) throw OracleError(1009);
    sb4 size = progvl;
    if (size < 0 && progv && ftype == SQLT_STR) {
      size = static_cast<sb4>(std::strlen(reinterpret_cast<const char*>(progv)) + 1);
    }
    if (size < 0 && ftype == SQLT_CUR) size = 0;  // the data area itself, no length
    if (size < 0) throw OracleError(1459);
    BindBuffer buffer;
    buffer.value = progv;
    buffer.size = size;
    buffer.type = static_cast<ub2>(ftype);
    buffer.indicator = indp;
    buffer.length = alen;
    buffer.returnCode = arcode;
    buffer.tableCapacity = maxsiz;  // a PL/SQL table
    buffer.tableLength = cursiz;
    if (ftype == SQLT_CUR) {
      // progv is the cursor data area a block opens a cursor into.
      buffer.cursorOf = [](void* value) -> Cursor* {
        auto target = Oci7Registry::Instance().FindCursor(value);
        return target ? &target->cursor : nullptr;
      };
    }
    c.cursor.BindName(TextArg(sqlvar, sqlvl), buffer);
    return 0;
  });
}

sword odefin(Cda_Def* cursor, sword pos, ub1* buf, sword bufl, sword ftype, sword /*scale*/,
             sb2* indp, OraText* /*fmt*/, sword /*fmtl*/, sword /*fmtt*/, ub2* rlen, ub2* rcode) {
  return OnCursor("odefin", cursor, OCI7_FC_ODEFIN, [&](Cursor7& c, Logon7&) {
    if (pos < 1) throw OracleError(1007);
    if (bufl < 0) throw OracleError(1459);
    c.cursor.Define(static_cast<ub4>(pos),
                    DefineBuffer{buf, bufl, static_cast<ub2>(ftype), indp, rlen, rcode, nullptr});
    return 0;
  });
}

sword odescr(Cda_Def* cursor, sword pos, sb4* dbsize, sb2* dbtype, sb1* cbuf, sb4* cbufl,
             sb4* dsize, sb2* prec, sb2* scale, sb2* nullok) {
  return OnCursor("odescr", cursor, OCI7_FC_ODESCR, [&](Cursor7& c, Logon7& logon) {
    if (c.cursor.Columns().empty()) c.cursor.Describe(Server(logon, "odescr"));
    const auto& columns = c.cursor.Columns();
    if (pos < 1 || static_cast<size_t>(pos) > columns.size()) throw OracleError(1007);
    const ColumnDesc& d = columns[static_cast<size_t>(pos - 1)];
    if (dbsize) *dbsize = d.type.size;
    if (dbtype) *dbtype = static_cast<sb2>(d.type.code);
    if (cbufl) {
      const size_t room = *cbufl > 0 ? static_cast<size_t>(*cbufl) : 0;
      const size_t n = std::min(room, d.name.size());
      if (cbuf) std::memcpy(cbuf, d.name.data(), n);
      *cbufl = static_cast<sb4>(n);
    }
    if (dsize) {
      sb4 display = d.type.size;
      if (d.type.code == 2) display = d.type.precision > 0 ? d.type.precision + 2 : 40;
      if (d.type.code == 12) display = 9;
      *dsize = display;
    }
    if (prec) *prec = d.type.precision;
    if (scale) *scale = d.type.scale;
    if (nullok) *nullok = d.nullable ? 1 : 0;
    return 0;
  });
}

sword oexec(Cda_Def* cursor) {
  return OnCursor("oexec", cursor, OCI7_FC_OEXEC, [&](Cursor7& c, Logon7& logon) {
    c.cursor.Execute(Server(logon, "oexec"), c.cursor.IsQuery() ? 0 : 1, 0, OCI_DEFAULT);
    AfterExecute(c, logon);
    return 0;
  });
}

sword oexn(Cda_Def* cursor, sword iters, sword rowoff) {
  return OnCursor("oexn", cursor, OCI7_FC_OEXEC, [&](Cursor7& c, Logon7& logon) {
    if (iters < 1 || rowoff < 0) throw OracleError(24333);
    c.cursor.Execute(Server(logon, "oexn"), static_cast<ub4>(iters), static_cast<ub4>(rowoff),
                     OCI_DEFAULT);
    AfterExecute(c, logon);
    return 0;
  });
}

sword oexfet(Cda_Def* cursor, ub4 nrows, sword cancel, sword exact) {
  return OnCursor("oexfet", cursor, OCI7_FC_OEXFET, [&](Cursor7& c, Logon7& logon) {
    auto outcome =
        c.cursor.Execute(Server(logon, "oexfet"), nrows, 0, exact ? OCI_EXACT_FETCH : OCI_DEFAULT);
    AfterExecute(c, logon);
    int code = Ended(outcome, cursor);
    if (cancel) c.cursor.Close();
    return code;
  });
}

sword ofen(Cda_Def* cursor, sword nrows) {
  return OnCursor("ofen", cursor, OCI7_FC_OFEN, [&](Cursor7& c, Logon7& logon) {
    if (nrows < 1) throw OracleError(24333);
    if (!c.cursor.Executed()) throw OracleError(1002);
    Server(logon, "ofen");
    return Ended(c.cursor.Fetch(static_cast<ub4>(nrows)), cursor);
  });
}

}  // extern "C"
