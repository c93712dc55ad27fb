// Entry points outside what ociemu emulates: each fails the way Oracle reports an unsupported
// feature (ORA-03001 on the error handle, or in the data area for OCI7), never pretending to
// succeed. Functions without a status give the neutral empty answer.
#include "ociemu/internal/Api.h"
#include "ociemu/internal/Oci7.h"

using namespace ociemu;

namespace {

sword Unimplemented(const char* name, const void* errhp) noexcept {
  return WithError(name, errhp, [](Diagnostics*) -> sword { throw OracleError(3001); });
}

sword Unimplemented7(const char* name, Cda_Def* cda) noexcept {
  CountCall(name);
  SetReturnCode(cda, 3001, 0);
  return 3001;
}

}  // namespace

extern "C" {

sword obreak(Cda_Def* lda) {
  return Unimplemented7("obreak", lda);
}

sword odessp(Cda_Def* cursor, OraText* /*objnam*/, size_t /*onlen*/, ub1* /*rsv1*/,
             size_t /*rsv1ln*/, ub1* /*rsv2*/, size_t /*rsv2ln*/, ub2* /*ovrld*/, ub2* /*pos*/,
             ub2* /*level*/, OraText** /*argnam*/, ub2* /*arnlen*/, ub2* /*dtype*/, ub1* /*defsup*/,
             ub1* /*mode*/, ub4* /*dtsiz*/, sb2* /*prec*/, sb2* /*scale*/, ub1* /*radix*/,
             ub4* /*spare*/, ub4* /*arrsiz*/) {
  return Unimplemented7("odessp", cursor);
}

sword OCIBindObject(OCIBind* /*bindp*/, OCIError* errhp, const OCIType* /*type*/, void** /*pgvpp*/,
                    ub4* /*pvszsp*/, void** /*indpp*/, ub4* /*indszp*/) {
  return Unimplemented("OCIBindObject", errhp);
}

sword OCIBindArrayOfStruct(OCIBind* /*bindp*/, OCIError* errhp, ub4 /*pvskip*/, ub4 /*indskip*/,
                           ub4 /*alskip*/, ub4 /*rcskip*/) {
  return Unimplemented("OCIBindArrayOfStruct", errhp);
}

sword OCIDefineObject(OCIDefine* /*defnp*/, OCIError* errhp, const OCIType* /*type*/,
                      void** /*pgvpp*/, ub4* /*pvszsp*/, void** /*indpp*/, ub4* /*indszp*/) {
  return Unimplemented("OCIDefineObject", errhp);
}

sword OCIDefineArrayOfStruct(OCIDefine* /*defnp*/, OCIError* errhp, ub4 /*pvskip*/, ub4 /*indskip*/,
                             ub4 /*rlskip*/, ub4 /*rcskip*/) {
  return Unimplemented("OCIDefineArrayOfStruct", errhp);
}

sword OCIStmtGetBindInfo(OCIStmt* /*stmtp*/, OCIError* errhp, ub4 /*size*/, ub4 /*startloc*/,
                         sb4* /*found*/, OraText* /*bvnp*/[], ub1 /*bvnl*/[], OraText* /*invp*/[],
                         ub1 /*inpl*/[], ub1 /*dupl*/[], OCIBind** /*hndl*/) {
  return Unimplemented("OCIStmtGetBindInfo", errhp);
}

sword OCIParamSet(void* /*hdlp*/, ub4 /*htyp*/, OCIError* errhp, const void* /*dscp*/, ub4 /*dtyp*/,
                  ub4 /*pos*/) {
  return Unimplemented("OCIParamSet", errhp);
}

sword OCITransDetach(OCISvcCtx* /*svchp*/, OCIError* errhp, ub4 /*flags*/) {
  return Unimplemented("OCITransDetach", errhp);
}

sword OCITransPrepare(OCISvcCtx* /*svchp*/, OCIError* errhp, ub4 /*flags*/) {
  return Unimplemented("OCITransPrepare", errhp);
}

sword OCITransForget(OCISvcCtx* /*svchp*/, OCIError* errhp, ub4 /*flags*/) {
  return Unimplemented("OCITransForget", errhp);
}

sword OCILobAppend(OCISvcCtx* /*svchp*/, OCIError* errhp, OCILobLocator* /*dst_locp*/,
                   OCILobLocator* /*src_locp*/) {
  return Unimplemented("OCILobAppend", errhp);
}

sword OCILobAssign(OCIEnv* /*envhp*/, OCIError* errhp, const OCILobLocator* /*src_locp*/,
                   OCILobLocator** /*dst_locpp*/) {
  return Unimplemented("OCILobAssign", errhp);
}

sword OCILobCharSetForm(OCIEnv* /*envhp*/, OCIError* errhp, const OCILobLocator* /*locp*/,
                        ub1* /*csfrm*/) {
  return Unimplemented("OCILobCharSetForm", errhp);
}

sword OCILobCharSetId(OCIEnv* /*envhp*/, OCIError* errhp, const OCILobLocator* /*locp*/,
                      ub2* /*csid*/) {
  return Unimplemented("OCILobCharSetId", errhp);
}

sword OCILobCopy(OCISvcCtx* /*svchp*/, OCIError* errhp, OCILobLocator* /*dst_locp*/,
                 OCILobLocator* /*src_locp*/, ub4 /*amount*/, ub4 /*dst_offset*/,
                 ub4 /*src_offset*/) {
  return Unimplemented("OCILobCopy", errhp);
}

sword OCILobDisableBuffering(OCISvcCtx* /*svchp*/, OCIError* errhp, OCILobLocator* /*locp*/) {
  return Unimplemented("OCILobDisableBuffering", errhp);
}

sword OCILobEnableBuffering(OCISvcCtx* /*svchp*/, OCIError* errhp, OCILobLocator* /*locp*/) {
  return Unimplemented("OCILobEnableBuffering", errhp);
}

sword OCILobErase(OCISvcCtx* /*svchp*/, OCIError* errhp, OCILobLocator* /*locp*/, ub4* /*amount*/,
                  ub4 /*offset*/) {
  return Unimplemented("OCILobErase", errhp);
}

sword OCILobFileClose(OCISvcCtx* /*svchp*/, OCIError* errhp, OCILobLocator* /*filep*/) {
  return Unimplemented("OCILobFileClose", errhp);
}

sword OCILobFileCloseAll(OCISvcCtx* /*svchp*/, OCIError* errhp) {
  return Unimplemented("OCILobFileCloseAll", errhp);
}

sword OCILobFileExists(OCISvcCtx* /*svchp*/, OCIError* errhp, OCILobLocator* /*filep*/,
                       boolean* /*flag*/) {
  return Unimplemented("OCILobFileExists", errhp);
}

sword OCILobFileGetName(OCIEnv* /*envhp*/, OCIError* errhp, const OCILobLocator* /*filep*/,
                        OraText* /*dir_alias*/, ub2* /*d_length*/, OraText* /*filename*/,
                        ub2* /*f_length*/) {
  return Unimplemented("OCILobFileGetName", errhp);
}

sword OCILobFileIsOpen(OCISvcCtx* /*svchp*/, OCIError* errhp, OCILobLocator* /*filep*/,
                       boolean* /*flag*/) {
  return Unimplemented("OCILobFileIsOpen", errhp);
}

sword OCILobFileOpen(OCISvcCtx* /*svchp*/, OCIError* errhp, OCILobLocator* /*filep*/,
                     ub1 /*mode*/) {
  return Unimplemented("OCILobFileOpen", errhp);
}

sword OCILobFileSetName(OCIEnv* /*envhp*/, OCIError* errhp, OCILobLocator** /*filepp*/,
                        const OraText* /*dir_alias*/, ub2 /*d_length*/, const OraText* /*filename*/,
                        ub2 /*f_length*/) {
  return Unimplemented("OCILobFileSetName", errhp);
}

sword OCILobFlushBuffer(OCISvcCtx* /*svchp*/, OCIError* errhp, OCILobLocator* /*locp*/,
                        ub4 /*flag*/) {
  return Unimplemented("OCILobFlushBuffer", errhp);
}

sword OCILobGetLength(OCISvcCtx* /*svchp*/, OCIError* errhp, OCILobLocator* /*locp*/,
                      ub4* /*lenp*/) {
  return Unimplemented("OCILobGetLength", errhp);
}

sword OCILobIsEqual(OCIEnv* /*envhp*/, const OCILobLocator* /*x*/, const OCILobLocator* /*y*/,
                    boolean* /*is_equal*/) {
  CountCall("OCILobIsEqual");
  return OCI_ERROR;
}

sword OCILobLoadFromFile(OCISvcCtx* /*svchp*/, OCIError* errhp, OCILobLocator* /*dst_locp*/,
                         OCILobLocator* /*src_filep*/, ub4 /*amount*/, ub4 /*dst_offset*/,
                         ub4 /*src_offset*/) {
  return Unimplemented("OCILobLoadFromFile", errhp);
}

sword OCILobLocatorIsInit(OCIEnv* /*envhp*/, OCIError* errhp, const OCILobLocator* /*locp*/,
                          boolean* /*is_initialized*/) {
  return Unimplemented("OCILobLocatorIsInit", errhp);
}

sword OCILobRead(OCISvcCtx* /*svchp*/, OCIError* errhp, OCILobLocator* /*locp*/, ub4* /*amtp*/,
                 ub4 /*offset*/, void* /*bufp*/, ub4 /*bufl*/, void* /*ctxp*/,
                 OCICallbackLobRead /*cbfp*/, ub2 /*csid*/, ub1 /*csfrm*/) {
  return Unimplemented("OCILobRead", errhp);
}

sword OCILobTrim(OCISvcCtx* /*svchp*/, OCIError* errhp, OCILobLocator* /*locp*/, ub4 /*newlen*/) {
  return Unimplemented("OCILobTrim", errhp);
}

sword OCILobWrite(OCISvcCtx* /*svchp*/, OCIError* errhp, OCILobLocator* /*locp*/, ub4* /*amtp*/,
                  ub4 /*offset*/, void* /*bufp*/, ub4 /*buflen*/, ub1 /*piece*/, void* /*ctxp*/,
                  OCICallbackLobWrite /*cbfp*/, ub2 /*csid*/, ub1 /*csfrm*/) {
  return Unimplemented("OCILobWrite", errhp);
}

sword OCIResultSetToStmt(OCIResult* /*rsetdp*/, OCIError* errhp) {
  return Unimplemented("OCIResultSetToStmt", errhp);
}

sword OCIObjectUnpin(OCIEnv* /*env*/, OCIError* err, void* /*object*/) {
  return Unimplemented("OCIObjectUnpin", err);
}

sword OCIObjectLock(OCIEnv* /*env*/, OCIError* err, void* /*object*/) {
  return Unimplemented("OCIObjectLock", err);
}

sword OCIObjectMarkUpdate(OCIEnv* /*env*/, OCIError* err, void* /*object*/) {
  return Unimplemented("OCIObjectMarkUpdate", err);
}

sword OCIObjectUnmark(OCIEnv* /*env*/, OCIError* err, void* /*object*/) {
  return Unimplemented("OCIObjectUnmark", err);
}

sword OCIObjectMarkDelete(OCIEnv* /*env*/, OCIError* err, void* /*instance*/) {
  return Unimplemented("OCIObjectMarkDelete", err);
}

sword OCIObjectFlush(OCIEnv* /*env*/, OCIError* err, void* /*object*/) {
  return Unimplemented("OCIObjectFlush", err);
}

sword OCIObjectCopy(OCIEnv* /*env*/, OCIError* err, const OCISvcCtx* /*svc*/, void* /*source*/,
                    void* /*null_source*/, void* /*target*/, void* /*null_target*/,
                    OCIType* /*tdo*/, OCIDuration /*duration*/, ub1 /*option*/) {
  return Unimplemented("OCIObjectCopy", err);
}

sword OCIObjectGetTypeRef(OCIEnv* /*env*/, OCIError* err, void* /*instance*/,
                          OCIRef* /*type_ref*/) {
  return Unimplemented("OCIObjectGetTypeRef", err);
}

sword OCIObjectGetObjectRef(OCIEnv* /*env*/, OCIError* err, void* /*object*/,
                            OCIRef* /*object_ref*/) {
  return Unimplemented("OCIObjectGetObjectRef", err);
}

sword OCIObjectGetInd(OCIEnv* /*env*/, OCIError* err, void* /*instance*/, void** /*null_struct*/) {
  return Unimplemented("OCIObjectGetInd", err);
}

sword OCIObjectExists(OCIEnv* /*env*/, OCIError* err, void* /*ins*/, boolean* /*exist*/) {
  return Unimplemented("OCIObjectExists", err);
}

sword OCIObjectIsLocked(OCIEnv* /*env*/, OCIError* err, void* /*ins*/, boolean* /*lock*/) {
  return Unimplemented("OCIObjectIsLocked", err);
}

sword OCIObjectIsDirty(OCIEnv* /*env*/, OCIError* err, void* /*ins*/, boolean* /*dirty*/) {
  return Unimplemented("OCIObjectIsDirty", err);
}

sword OCIObjectRefresh(OCIEnv* /*env*/, OCIError* err, void* /*object*/) {
  return Unimplemented("OCIObjectRefresh", err);
}

sword OCIObjectPinTable(OCIEnv* /*env*/, OCIError* err, const OCISvcCtx* /*svc*/,
                        const oratext* /*schema_name*/, ub4 /*s_n_length*/,
                        const oratext* /*object_name*/, ub4 /*o_n_length*/,
                        const OCIRef* /*scope_obj_ref*/, OCIDuration /*pin_duration*/,
                        void** /*object*/) {
  return Unimplemented("OCIObjectPinTable", err);
}

sword OCIObjectNew(OCIEnv* /*env*/, OCIError* err, const OCISvcCtx* /*svc*/,
                   OCITypeCode /*typecode*/, OCIType* /*tdo*/, void* /*table*/,
                   OCIDuration /*duration*/, boolean /*value*/, void** /*instance*/) {
  return Unimplemented("OCIObjectNew", err);
}

sword OCIObjectPin(OCIEnv* /*env*/, OCIError* err, OCIRef* /*object_ref*/,
                   OCIComplexObject* /*corhdl*/, OCIPinOpt /*pin_option*/,
                   OCIDuration /*pin_duration*/, OCILockOpt /*lock_option*/, void** /*object*/) {
  return Unimplemented("OCIObjectPin", err);
}

sword OCIObjectFree(OCIEnv* /*env*/, OCIError* err, void* /*instance*/, ub2 /*flags*/) {
  return Unimplemented("OCIObjectFree", err);
}

sword OCITypeByName(OCIEnv* /*env*/, OCIError* err, const OCISvcCtx* /*svc*/,
                    const oratext* /*schema_name*/, ub4 /*s_length*/, const oratext* /*type_name*/,
                    ub4 /*t_length*/, const oratext* /*version_name*/, ub4 /*v_length*/,
                    OCIDuration /*pin_duration*/, OCITypeGetOpt /*get_option*/, OCIType** /*tdo*/) {
  return Unimplemented("OCITypeByName", err);
}

sword OCIObjectGetAttr(OCIEnv* /*env*/, OCIError* err, void* /*instance*/, void* /*null_struct*/,
                       OCIType* /*tdo*/, const oratext** /*names*/, const ub4* /*lengths*/,
                       const ub4 /*name_count*/, const ub4* /*indexes*/, const ub4 /*index_count*/,
                       OCIInd* /*attr_null_status*/, void** /*attr_null_struct*/,
                       void** /*attr_value*/, OCIType** /*attr_tdo*/) {
  return Unimplemented("OCIObjectGetAttr", err);
}

sword OCIObjectSetAttr(OCIEnv* /*env*/, OCIError* err, void* /*instance*/, void* /*null_struct*/,
                       OCIType* /*tdo*/, const oratext** /*names*/, const ub4* /*lengths*/,
                       const ub4 /*name_count*/, const ub4* /*indexes*/, const ub4 /*index_count*/,
                       const OCIInd /*null_status*/, const void* /*attr_null_struct*/,
                       const void* /*attr_value*/) {
  return Unimplemented("OCIObjectSetAttr", err);
}

oratext* OCIStringPtr(OCIEnv* /*env*/, const OCIString* /*vs*/) {
  CountCall("OCIStringPtr");
  return nullptr;
}

sword OCIStringAssignText(OCIEnv* /*env*/, OCIError* err, const oratext* /*rhs*/, ub4 /*rhs_len*/,
                          OCIString** /*lhs*/) {
  return Unimplemented("OCIStringAssignText", err);
}

ub1* OCIRawPtr(OCIEnv* /*env*/, const OCIRaw* /*raw*/) {
  CountCall("OCIRawPtr");
  return nullptr;
}

ub4 OCIRawSize(OCIEnv* /*env*/, const OCIRaw* /*raw*/) {
  CountCall("OCIRawSize");
  return 0;
}

sword OCIRawAssignBytes(OCIEnv* /*env*/, OCIError* err, const ub1* /*rhs*/, ub4 /*rhs_len*/,
                        OCIRaw** /*lhs*/) {
  return Unimplemented("OCIRawAssignBytes", err);
}

sword OCIRefAssign(OCIEnv* /*env*/, OCIError* err, const OCIRef* /*source*/, OCIRef** /*target*/) {
  return Unimplemented("OCIRefAssign", err);
}

void OCIRefClear(OCIEnv* /*env*/, OCIRef* /*ref*/) {
  CountCall("OCIRefClear");
}

boolean OCIRefIsNull(OCIEnv* /*env*/, const OCIRef* /*ref*/) {
  CountCall("OCIRefIsNull");
  return 1;  // a reference ociemu cannot hold is null
}

sword OCIRefFromHex(OCIEnv* /*env*/, OCIError* err, const OCISvcCtx* /*svc*/,
                    const oratext* /*hex*/, ub4 /*length*/, OCIRef** /*ref*/) {
  return Unimplemented("OCIRefFromHex", err);
}

ub4 OCIRefHexSize(OCIEnv* /*env*/, const OCIRef* /*ref*/) {
  CountCall("OCIRefHexSize");
  return 0;
}

sword OCIRefToHex(OCIEnv* /*env*/, OCIError* err, const OCIRef* /*ref*/, oratext* /*hex*/,
                  ub4* /*hex_length*/) {
  return Unimplemented("OCIRefToHex", err);
}

sword OCICollSize(OCIEnv* /*env*/, OCIError* err, const OCIColl* /*coll*/, sb4* /*size*/) {
  return Unimplemented("OCICollSize", err);
}

sword OCICollTrim(OCIEnv* /*env*/, OCIError* err, sb4 /*trim_num*/, OCIColl* /*coll*/) {
  return Unimplemented("OCICollTrim", err);
}

sb4 OCICollMax(OCIEnv* /*env*/, const OCIColl* /*coll*/) {
  CountCall("OCICollMax");
  return 0;
}

sword OCICollGetElem(OCIEnv* /*env*/, OCIError* err, const OCIColl* /*coll*/, sb4 /*index*/,
                     boolean* /*exists*/, void** /*elem*/, void** /*elemind*/) {
  return Unimplemented("OCICollGetElem", err);
}

sword OCICollAssignElem(OCIEnv* /*env*/, OCIError* err, sb4 /*index*/, const void* /*elem*/,
                        const void* /*elemind*/, OCIColl* /*coll*/) {
  return Unimplemented("OCICollAssignElem", err);
}

sword OCICollAppend(OCIEnv* /*env*/, OCIError* err, const void* /*elem*/, const void* /*elemind*/,
                    OCIColl* /*coll*/) {
  return Unimplemented("OCICollAppend", err);
}

sword OCITableDelete(OCIEnv* /*env*/, OCIError* err, sb4 /*index*/, OCITable* /*tbl*/) {
  return Unimplemented("OCITableDelete", err);
}

sword OCICacheFlush(OCIEnv* /*env*/, OCIError* err, const OCISvcCtx* /*svc*/, void* /*context*/,
                    OCIRef* (*)(void* context, ub1* last), OCIRef** /*ref*/) {
  return Unimplemented("OCICacheFlush", err);
}

sword ociepgoe(void) {
  CountCall("ociepgoe");
  return OCI_ERROR;
}

sword ociepmsg(void) {
  CountCall("ociepmsg");
  return OCI_ERROR;
}

sword OCIDirPathAbort(OCIDirPathCtx* /*dpctx*/, OCIError* errhp) {
  return Unimplemented("OCIDirPathAbort", errhp);
}

sword OCIDirPathFinish(OCIDirPathCtx* /*dpctx*/, OCIError* errhp) {
  return Unimplemented("OCIDirPathFinish", errhp);
}

sword OCIDirPathPrepare(OCIDirPathCtx* /*dpctx*/, OCISvcCtx* /*svchp*/, OCIError* errhp) {
  return Unimplemented("OCIDirPathPrepare", errhp);
}

sword OCIDirPathColArrayEntrySet(OCIDirPathColArray* /*dpca*/, OCIError* errhp, ub4 /*rownum*/,
                                 ub2 /*colIdx*/, ub1* /*cvalp*/, ub4 /*clen*/, ub1 /*cflg*/) {
  return Unimplemented("OCIDirPathColArrayEntrySet", errhp);
}

sword OCIDirPathColArrayToStream(OCIDirPathColArray* /*dpca*/, const OCIDirPathCtx* /*dpctx*/,
                                 OCIDirPathStream* /*dpstr*/, OCIError* errhp, ub4 /*rowcnt*/,
                                 ub4 /*rowoff*/) {
  return Unimplemented("OCIDirPathColArrayToStream", errhp);
}

sword OCIDirPathLoadStream(OCIDirPathCtx* /*dpctx*/, OCIDirPathStream* /*dpstr*/, OCIError* errhp) {
  return Unimplemented("OCIDirPathLoadStream", errhp);
}

sword OCIDirPathStreamReset(OCIDirPathStream* /*dpstr*/, OCIError* errhp) {
  return Unimplemented("OCIDirPathStreamReset", errhp);
}

sword OCILobCreateTemporary(OCISvcCtx* /*svchp*/, OCIError* errhp, OCILobLocator* /*locp*/,
                            ub2 /*csid*/, ub1 /*csfrm*/, ub1 /*lobtype*/, boolean /*cache*/,
                            OCIDuration /*duration*/) {
  return Unimplemented("OCILobCreateTemporary", errhp);
}

sword OCILobFreeTemporary(OCISvcCtx* /*svchp*/, OCIError* errhp, OCILobLocator* /*locp*/) {
  return Unimplemented("OCILobFreeTemporary", errhp);
}

sword OCILobIsTemporary(OCIEnv* /*envp*/, OCIError* errhp, OCILobLocator* /*locp*/,
                        boolean* /*is_temporary*/) {
  return Unimplemented("OCILobIsTemporary", errhp);
}

sword OCIDateTimeToText(void* /*hndl*/, OCIError* err, const OCIDateTime* /*date*/,
                        const OraText* /*fmt*/, ub1 /*fmt_length*/, ub1 /*fsprec*/,
                        const OraText* /*lang_name*/, size_t /*lang_length*/, ub4* /*buf_size*/,
                        OraText* /*buf*/) {
  return Unimplemented("OCIDateTimeToText", err);
}

sword OCIDateTimeFromText(void* /*hndl*/, OCIError* err, const OraText* /*date_str*/,
                          size_t /*dstr_length*/, const OraText* /*fmt*/, ub1 /*fmt_length*/,
                          const OraText* /*lang_name*/, size_t /*lang_length*/,
                          OCIDateTime* /*datetime*/) {
  return Unimplemented("OCIDateTimeFromText", err);
}

sword OCIDateTimeGetDate(void* /*hndl*/, OCIError* err, const OCIDateTime* /*date*/, sb2* /*yr*/,
                         ub1* /*mnth*/, ub1* /*dy*/) {
  return Unimplemented("OCIDateTimeGetDate", err);
}

sword OCIDateTimeGetTime(void* /*hndl*/, OCIError* err, OCIDateTime* /*datetime*/, ub1* /*hr*/,
                         ub1* /*mm*/, ub1* /*ss*/, ub4* /*fsec*/) {
  return Unimplemented("OCIDateTimeGetTime", err);
}

sword OCIDateTimeConstruct(void* /*hndl*/, OCIError* err, OCIDateTime* /*datetime*/, sb2 /*yr*/,
                           ub1 /*mnth*/, ub1 /*dy*/, ub1 /*hr*/, ub1 /*mm*/, ub1 /*ss*/,
                           ub4 /*fsec*/, OraText* /*timezone*/, size_t /*timezone_length*/) {
  return Unimplemented("OCIDateTimeConstruct", err);
}

sword OCIDateTimeAssign(void* /*hndl*/, OCIError* err, const OCIDateTime* /*from*/,
                        OCIDateTime* /*to*/) {
  return Unimplemented("OCIDateTimeAssign", err);
}

sword OCIDateTimeGetTimeZoneOffset(void* /*hndl*/, OCIError* err, const OCIDateTime* /*datetime*/,
                                   sb1* /*hr*/, sb1* /*mm*/) {
  return Unimplemented("OCIDateTimeGetTimeZoneOffset", err);
}

}  // extern "C"
