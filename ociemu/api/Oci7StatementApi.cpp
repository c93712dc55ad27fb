// OCI7 cursors over the shared statement engine: open, parse, bind, define, describe,
// execute, fetch and close, with outcomes in the cursor data area.
#include <cstring>

#include "ociemu/internal/Api.h"
#include "ociemu/internal/Oci7.h"
#include "ociemu/internal/SqlLexer.h"

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
// code the call ends with (0, 1403 at the end of the rows, 1406 after a truncated value).
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

// Warning flags of the data area, bit for bit the SQLCA's warning flags: any warning, a
// truncated value, an UPDATE or DELETE without WHERE.
constexpr ub1 kWarningAny = 0x01;
constexpr ub1 kWarningTruncated = 0x02;
constexpr ub1 kWarningNoWhere = 0x10;

// The code a fetch ends with: 1403 past the last row; 1406 when a value was cut to fit its
// buffer (the rows are there, the caller decides whether a cut value is an error).
int Ended(const Cursor::Outcome& outcome, Cda_Def* cda) {
  if (outcome.warning) cda->wrn = kWarningAny | kWarningTruncated;
  if (outcome.status == OCI_NO_DATA) return 1403;
  return outcome.warning == 1406 ? 1406 : 0;
}

bool HasTopLevelWhere(const std::string& sql) {
  try {
    int depth = 0;
    for (const Token& t : Tokenize(sql)) {
      if (t.IsSymbol("(")) ++depth;
      if (t.IsSymbol(")")) --depth;
      if (depth == 0 && t.Is("WHERE")) return true;
    }
  } catch (const OracleError&) {
  }
  return false;
}

// Statements a parse without deferral runs at once, as the server executes DDL when it parses
// it (ALTER SESSION is session control and waits for the execution).
bool RunsAtParse(const Cursor& c) {
  constexpr ub2 kAlterSession = 42, kTruncate = 85;
  const ub2 type = c.StatementType();
  return type == OCI_STMT_CREATE || type == OCI_STMT_DROP ||
         (type == OCI_STMT_ALTER && c.FunctionCode() != kAlterSession) ||
         c.FunctionCode() == kTruncate;
}

// The ROWID of the last row inserted, in the data area's parts: object, file, block, slot,
// the values an extended ROWID text spells in base 64.
void SetRowid(Cda_Def* cda, const std::string& rowid) {
  cda->rid.rd.rcs4 = 0;
  cda->rid.rd.rcs5 = 0;
  cda->rid.rd.rcs6 = 0;
  cda->rid.rcs7 = 0;
  cda->rid.rcs8 = 0;
  if (rowid.size() != 18) return;
  static const std::string digits =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  auto value = [&](size_t from, size_t count) {
    ub4 v = 0;
    for (size_t i = from; i < from + count; ++i) {
      v = v * 64 + static_cast<ub4>(digits.find(rowid[i]));
    }
    return v;
  };
  cda->rid.rd.rcs4 = value(0, 6);
  cda->rid.rd.rcs5 = static_cast<ub2>(value(6, 3));
  cda->rid.rcs7 = value(9, 6);
  cda->rid.rcs8 = static_cast<ub2>(value(15, 3));
}

void AfterExecute(Cursor7& c, Logon7& logon, Cda_Def* cda) {
  const ub2 type = c.cursor.StatementType();
  if (type == OCI_STMT_INSERT) SetRowid(cda, c.cursor.LastRowid());
  if ((type == OCI_STMT_UPDATE || type == OCI_STMT_DELETE) && !HasTopLevelWhere(c.cursor.Text())) {
    cda->wrn = kWarningAny | kWarningNoWhere;
  }
  if (logon.autocommit &&
      (type == OCI_STMT_INSERT || type == OCI_STMT_UPDATE || type == OCI_STMT_DELETE)) {
    logon.svc->Live().Commit();
  }
}

// Binds a variable by name: an element array (alen and arcode per element, each may be null),
// a PL/SQL table of maxsiz elements whose current length is *cursiz, or a cursor data area
// (type 102) that a block opens a cursor into.
sword Bind7(Cursor7& c, const std::string& name, ub1* progv, sb4 progvl, sword ftype, sb2* indp,
            ub2* alen, ub2* arcode, ub4 maxsiz, ub4* cursiz) {
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
  c.cursor.BindName(name, buffer);
  return 0;
}

void RequirePlainArrays(sb4 valueSkip, sb4 valueSize, sb4 indSkip, sb4 lenSkip, sb4 rcSkip) {
  auto plain = [](sb4 skip, sb4 natural) { return skip == 0 || skip == natural; };
  if (!plain(valueSkip, valueSize) || !plain(indSkip, sizeof(sb2)) ||
      !plain(lenSkip, sizeof(ub2)) || !plain(rcSkip, sizeof(ub2))) {
    throw OracleError(3001);
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
    c.ranAtParse = false;
    c.cursor.Prepare(TextArg(sqlstm, sqllen));
    // Without deferral the statement is parsed at once, so its errors come here.
    if (!defflg) {
      const auto& conn = Server(logon, "oparse");
      c.cursor.Describe(conn);
      if (RunsAtParse(c.cursor)) {
        c.cursor.Execute(conn, 1, 0, OCI_DEFAULT);
        c.ranAtParse = true;
      }
    }
    return 0;
  });
}

sword obndra(Cda_Def* cursor, OraText* sqlvar, sword sqlvl, ub1* progv, sword progvl, sword ftype,
             sword /*scale*/, sb2* indp, ub2* alen, ub2* arcode, ub4 maxsiz, ub4* cursiz,
             OraText* /*fmt*/, sword /*fmtl*/, sword /*fmtt*/) {
  return OnCursor("obndra", cursor, OCI7_FC_OBNDRA, [&](Cursor7& c, Logon7&) {
    return Bind7(c, TextArg(sqlvar, sqlvl), progv, progvl, ftype, indp, alen, arcode, maxsiz,
                 cursiz);
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
    // National columns are declared in characters, two bytes each.
    const bool national = d.type.charsetForm == SQLCS_NCHAR &&
                          (d.type.code == kTypeVarchar2 || d.type.code == kTypeChar);
    if (dbsize) *dbsize = national ? d.type.size * 2 : d.type.size;
    // The OCI7 interface knows a ROWID as its own external type.
    constexpr sb2 kRowid7 = 11;
    if (dbtype) *dbtype = d.type.code == kTypeRowid ? kRowid7 : static_cast<sb2>(d.type.code);
    if (cbufl) {
      const size_t room = *cbufl > 0 ? static_cast<size_t>(*cbufl) : 0;
      const size_t n = std::min(room, d.name.size());
      if (cbuf) std::memcpy(cbuf, d.name.data(), n);
      *cbufl = static_cast<sb4>(n);
    }
    if (dsize) {
      sb4 display = d.type.size;
      if (d.type.code == 2) display = d.type.precision > 0 ? d.type.precision + 2 : 40;
      if (d.type.code == kTypeDate) display = 9;
      if (d.type.code == kTypeRaw) display = d.type.size * 2;
      if (d.type.code == kTypeRowid) display = 18;
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
    const auto& conn = Server(logon, "oexec");
    if (c.ranAtParse) return 0;
    c.cursor.Execute(conn, c.cursor.IsQuery() ? 0 : 1, 0, OCI_DEFAULT);
    AfterExecute(c, logon, cursor);
    return 0;
  });
}

sword oexn(Cda_Def* cursor, sword iters, sword rowoff) {
  return OnCursor("oexn", cursor, OCI7_FC_OEXEC, [&](Cursor7& c, Logon7& logon) {
    if (iters < 1 || rowoff < 0) throw OracleError(24333);
    const auto& conn = Server(logon, "oexn");
    if (c.ranAtParse) return 0;
    c.cursor.Execute(conn, static_cast<ub4>(iters), static_cast<ub4>(rowoff), OCI_DEFAULT);
    AfterExecute(c, logon, cursor);
    return 0;
  });
}

sword oexfet(Cda_Def* cursor, ub4 nrows, sword cancel, sword exact) {
  return OnCursor("oexfet", cursor, OCI7_FC_OEXFET, [&](Cursor7& c, Logon7& logon) {
    auto outcome =
        c.cursor.Execute(Server(logon, "oexfet"), nrows, 0, exact ? OCI_EXACT_FETCH : OCI_DEFAULT);
    AfterExecute(c, logon, cursor);
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

sword obndrv(Cda_Def* cursor, OraText* sqlvar, sword sqlvl, ub1* progv, sword progvl, sword ftype,
             sword /*scale*/, sb2* indp, OraText* /*fmt*/, sword /*fmtl*/, sword /*fmtt*/) {
  return OnCursor("obndrv", cursor, OCI7_FC_OBNDRV, [&](Cursor7& c, Logon7&) {
    return Bind7(c, TextArg(sqlvar, sqlvl), progv, progvl, ftype, indp, nullptr, nullptr, 0,
                 nullptr);
  });
}

sword obndrn(Cda_Def* cursor, sword sqlvn, ub1* progv, sword progvl, sword ftype, sword /*scale*/,
             sb2* indp, OraText* /*fmt*/, sword /*fmtl*/, sword /*fmtt*/) {
  return OnCursor("obndrn", cursor, OCI7_FC_OBNDRN, [&](Cursor7& c, Logon7&) {
    // The number names the placeholder: 2 binds ":2", wherever it stands.
    if (sqlvn < 1) throw OracleError(1036);
    return Bind7(c, std::to_string(sqlvn), progv, progvl, ftype, indp, nullptr, nullptr, 0,
                 nullptr);
  });
}

sword obindps(Cda_Def* cursor, ub1 opcode, OraText* sqlvar, sb4 sqlvl, ub1* pvctx, sb4 progvl,
              sword ftype, sword /*scale*/, sb2* indp, ub2* alen, ub2* arcode, sb4 pv_skip,
              sb4 ind_skip, sb4 alen_skip, sb4 rc_skip, ub4 maxsiz, ub4* cursiz, OraText* /*fmt*/,
              sb4 /*fmtl*/, sword /*fmtt*/) {
  return OnCursor("obindps", cursor, OCI7_FC_OBINDPS, [&](Cursor7& c, Logon7&) {
    // Opcode 0 supplies the value piecewise at execution, which this server does not take.
    if (opcode != 1) throw OracleError(3001);
    RequirePlainArrays(pv_skip, progvl, ind_skip, alen_skip, rc_skip);
    return Bind7(c, TextArg(sqlvar, sqlvl), pvctx, progvl, ftype, indp, alen, arcode, maxsiz,
                 cursiz);
  });
}

sword odefinps(Cda_Def* cursor, ub1 opcode, sword pos, ub1* bufctx, sb4 bufl, sword ftype,
               sword /*scale*/, sb2* indp, OraText* /*fmt*/, sb4 /*fmtl*/, sword /*fmtt*/,
               ub2* rlen, ub2* rcode, sb4 pv_skip, sb4 ind_skip, sb4 alen_skip, sb4 rc_skip) {
  return OnCursor("odefinps", cursor, OCI7_FC_ODEFINPS, [&](Cursor7& c, Logon7&) {
    if (opcode != 1) throw OracleError(3001);  // piecewise fetch
    if (pos < 1) throw OracleError(1007);
    if (bufl < 0) throw OracleError(1459);
    RequirePlainArrays(pv_skip, bufl, ind_skip, alen_skip, rc_skip);
    c.cursor.Define(static_cast<ub4>(pos), DefineBuffer{bufctx, bufl, static_cast<ub2>(ftype), indp,
                                                        rlen, rcode, nullptr});
    return 0;
  });
}

sword ocan(Cda_Def* cursor) {
  return OnCursor("ocan", cursor, OCI7_FC_OCAN, [&](Cursor7& c, Logon7&) {
    // The rows left are dropped; the parsed statement and its binds stay for the next run.
    c.cursor.Close();
    return 0;
  });
}

sword oflng(Cda_Def* cursor, sword pos, ub1* buf, sb4 bufl, sword /*dtype*/, ub4* retl,
            sb4 offset) {
  return OnCursor("oflng", cursor, OCI7_FC_OFLNG, [&](Cursor7& c, Logon7& logon) {
    if (pos < 1) throw OracleError(1007);
    if (bufl < 0 || offset < 0) throw OracleError(1459);
    Server(logon, "oflng");
    auto value = c.cursor.CurrentValue(static_cast<ub4>(pos));
    if (!value) throw OracleError(1002);  // no fetched row to read from
    const size_t from = std::min(value->size(), static_cast<size_t>(offset));
    const size_t n = std::min(value->size() - from, static_cast<size_t>(bufl));
    if (buf && n) std::memcpy(buf, value->data() + from, n);
    if (retl) *retl = static_cast<ub4>(n);
    return 0;
  });
}

}  // extern "C"
