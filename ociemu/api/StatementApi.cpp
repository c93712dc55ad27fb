// Temporary: statements are not emulated yet.
#include "ociemu/internal/Api.h"
#include "ociemu/internal/AttributeAccess.h"
#include "ociemu/internal/Oci7.h"

using namespace ociemu;

namespace ociemu {
bool SetStatementAttribute(Handle&, void*, ub4, ub4) { return false; }
bool GetStatementAttribute(Handle&, void*, ub4*, ub4) { return false; }
}  // namespace ociemu

extern "C" {

sword OCIStmtPrepare(OCIStmt* /*stmtp*/, OCIError* errhp, const OraText* /*stmt*/, ub4 /*stmt_len*/, ub4 /*language*/, ub4 /*mode*/) {
  return WithError("OCIStmtPrepare", errhp, [](Diagnostics*) -> sword { throw OracleError(3001); });
}

sword OCIBindByPos(OCIStmt* /*stmtp*/, OCIBind** /*bindp*/, OCIError* errhp, ub4 /*position*/, void* /*valuep*/, sb4 /*value_sz*/, ub2 /*dty*/, void* /*indp*/, ub2* /*alenp*/, ub2* /*rcodep*/, ub4 /*maxarr_len*/, ub4* /*curelep*/, ub4 /*mode*/) {
  return WithError("OCIBindByPos", errhp, [](Diagnostics*) -> sword { throw OracleError(3001); });
}

sword OCIBindByName(OCIStmt* /*stmtp*/, OCIBind** /*bindp*/, OCIError* errhp, const OraText* /*placeholder*/, sb4 /*placeh_len*/, void* /*valuep*/, sb4 /*value_sz*/, ub2 /*dty*/, void* /*indp*/, ub2* /*alenp*/, ub2* /*rcodep*/, ub4 /*maxarr_len*/, ub4* /*curelep*/, ub4 /*mode*/) {
  return WithError("OCIBindByName", errhp, [](Diagnostics*) -> sword { throw OracleError(3001); });
}

sword OCIStmtExecute(OCISvcCtx* /*svchp*/, OCIStmt* /*stmtp*/, OCIError* errhp, ub4 /*iters*/, ub4 /*rowoff*/, const OCISnapshot* /*snap_in*/, OCISnapshot* /*snap_out*/, ub4 /*mode*/) {
  return WithError("OCIStmtExecute", errhp, [](Diagnostics*) -> sword { throw OracleError(3001); });
}

sword OCIDefineByPos(OCIStmt* /*stmtp*/, OCIDefine** /*defnp*/, OCIError* errhp, ub4 /*position*/, void* /*valuep*/, sb4 /*value_sz*/, ub2 /*dty*/, void* /*indp*/, ub2* /*rlenp*/, ub2* /*rcodep*/, ub4 /*mode*/) {
  return WithError("OCIDefineByPos", errhp, [](Diagnostics*) -> sword { throw OracleError(3001); });
}

sword OCIStmtFetch(OCIStmt* /*stmtp*/, OCIError* errhp, ub4 /*nrows*/, ub2 /*orientation*/, ub4 /*mode*/) {
  return WithError("OCIStmtFetch", errhp, [](Diagnostics*) -> sword { throw OracleError(3001); });
}

sword OCIStmtFetch2(OCIStmt* /*stmtp*/, OCIError* errhp, ub4 /*nrows*/, ub2 /*orientation*/, sb4 /*scrollOffset*/, ub4 /*mode*/) {
  return WithError("OCIStmtFetch2", errhp, [](Diagnostics*) -> sword { throw OracleError(3001); });
}

sword OCIParamGet(const void* /*hndlp*/, ub4 /*htype*/, OCIError* errhp, void** /*parmdpp*/, ub4 /*pos*/) {
  return WithError("OCIParamGet", errhp, [](Diagnostics*) -> sword { throw OracleError(3001); });
}

sword OCIStmtPrepare2(OCISvcCtx* /*svchp*/, OCIStmt** /*stmtp*/, OCIError* errhp, const OraText* /*stmt*/, ub4 /*stmt_len*/, const OraText* /*key*/, ub4 /*key_len*/, ub4 /*language*/, ub4 /*mode*/) {
  return WithError("OCIStmtPrepare2", errhp, [](Diagnostics*) -> sword { throw OracleError(3001); });
}

sword OCIStmtRelease(OCIStmt* /*stmtp*/, OCIError* errhp, const OraText* /*key*/, ub4 /*key_len*/, ub4 /*mode*/) {
  return WithError("OCIStmtRelease", errhp, [](Diagnostics*) -> sword { throw OracleError(3001); });
}

sword oopen(Cda_Def* cursor, Cda_Def* /*lda*/, OraText* /*dbn*/, sword /*dbnl*/, sword /*arsize*/, OraText* /*uid*/, sword /*uidl*/) {
  CountCall("oopen");
  SetReturnCode(cursor, 3001, 0);
  return 3001;
}

sword oparse(Cda_Def* cursor, OraText* /*sqlstm*/, sb4 /*sqllen*/, sword /*defflg*/, ub4 /*lngflg*/) {
  CountCall("oparse");
  SetReturnCode(cursor, 3001, 0);
  return 3001;
}

sword odefin(Cda_Def* cursor, sword /*pos*/, ub1* /*buf*/, sword /*bufl*/, sword /*ftype*/, sword /*scale*/, sb2* /*indp*/, OraText* /*fmt*/, sword /*fmtl*/, sword /*fmtt*/, ub2* /*rlen*/, ub2* /*rcode*/) {
  CountCall("odefin");
  SetReturnCode(cursor, 3001, 0);
  return 3001;
}

sword oexfet(Cda_Def* cursor, ub4 /*nrows*/, sword /*cancel*/, sword /*exact*/) {
  CountCall("oexfet");
  SetReturnCode(cursor, 3001, 0);
  return 3001;
}

sword ofen(Cda_Def* cursor, sword /*nrows*/) {
  CountCall("ofen");
  SetReturnCode(cursor, 3001, 0);
  return 3001;
}

sword oclose(Cda_Def* cursor) {
  CountCall("oclose");
  SetReturnCode(cursor, 3001, 0);
  return 3001;
}

sword odescr(Cda_Def* cursor, sword /*pos*/, sb4* /*dbsize*/, sb2* /*dbtype*/, sb1* /*cbuf*/, sb4* /*cbufl*/, sb4* /*dsize*/, sb2* /*prec*/, sb2* /*scale*/, sb2* /*nullok*/) {
  CountCall("odescr");
  SetReturnCode(cursor, 3001, 0);
  return 3001;
}

sword oexec(Cda_Def* cursor) {
  CountCall("oexec");
  SetReturnCode(cursor, 3001, 0);
  return 3001;
}

sword oexn(Cda_Def* cursor, sword /*iters*/, sword /*rowoff*/) {
  CountCall("oexn");
  SetReturnCode(cursor, 3001, 0);
  return 3001;
}

sword obndra(Cda_Def* cursor, OraText* /*sqlvar*/, sword /*sqlvl*/, ub1* /*progv*/, sword /*progvl*/, sword /*ftype*/, sword /*scale*/, sb2* /*indp*/, ub2* /*alen*/, ub2* /*arcode*/, ub4 /*maxsiz*/, ub4* /*cursiz*/, OraText* /*fmt*/, sword /*fmtl*/, sword /*fmtt*/) {
  CountCall("obndra");
  SetReturnCode(cursor, 3001, 0);
  return 3001;
}

}  // extern "C"
