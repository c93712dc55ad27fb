// Typed calls into the loaded client library. Each wrapper goes through its entry-point slot,
// filled when the library is loaded (ClientLibrary.h); nothing else in the layer calls the client.
// Calling a wrapper whose slot is empty (library not loaded, or its group incomplete) raises
// oracle::Exception instead of jumping through a null pointer. Callers check the group flags
// first, as a group's calls may be used only when its flag is true.
#pragma once

#include <cstddef>
#include <string_view>

#include "oracle/client/OCIEntryPoints.h"
#include "oracle/client/OCITypes.h"

namespace oracle::internal {

// The address in a slot, or nullptr.
void* EntrySlot(std::size_t index) noexcept;
void* MTSEntrySlot(std::size_t index) noexcept;
[[noreturn]] void ThrowMissingEntryPoint(std::string_view name);

template <typename Fn>
Fn* EntryFunction(std::size_t index) {
  void* address = EntrySlot(index);
  if (address == nullptr) ThrowMissingEntryPoint(kEntryPoints[index].name);
  // Exported addresses come untyped from the loader; the declared type is the published one.
  return reinterpret_cast<Fn*>(address);
}

template <typename Fn>
Fn* MTSEntryFunction(std::size_t index) {
  void* address = MTSEntrySlot(index);
  if (address == nullptr) ThrowMissingEntryPoint(kMTSEntryPoints[index]);
  return reinterpret_cast<Fn*>(address);
}

}  // namespace oracle::internal

// The slot of the wrapper's own name, typed as the wrapper is declared.
#define DBL_OCI_ENTRY(name) \
  ::oracle::internal::EntryFunction<decltype(name)>(::oracle::EntryIndex(#name))
#define DBL_MTS_ENTRY(name) \
  ::oracle::internal::MTSEntryFunction<decltype(name)>(::oracle::MTSEntryIndex(#name))

namespace oracle::oci {

// ---- Library start ----------------------------------------------------------------------------

inline sword OCIInitialize(ub4 mode, void* ctxp, OCIMallocFn malocfp, OCIReallocFn ralocfp,
                           OCIFreeFn mfreefp) {
  return DBL_OCI_ENTRY(OCIInitialize)(mode, ctxp, malocfp, ralocfp, mfreefp);
}
inline sword opinit(ub4 mode) { return DBL_OCI_ENTRY(opinit)(mode); }

// ---- Environment, handles, descriptors --------------------------------------------------------

inline sword OCIEnvCreate(OCIEnv** envp, ub4 mode, void* ctxp, OCIMallocFn malocfp,
                          OCIReallocFn ralocfp, OCIFreeFn mfreefp, std::size_t xtramem_sz,
                          void** usrmempp) {
  return DBL_OCI_ENTRY(OCIEnvCreate)(envp, mode, ctxp, malocfp, ralocfp, mfreefp, xtramem_sz,
                                     usrmempp);
}
inline sword OCIEnvInit(OCIEnv** envp, ub4 mode, std::size_t xtramem_sz, void** usrmempp) {
  return DBL_OCI_ENTRY(OCIEnvInit)(envp, mode, xtramem_sz, usrmempp);
}
inline sword OCIHandleAlloc(const void* parenth, void** hndlpp, ub4 type, std::size_t xtramem_sz,
                            void** usrmempp) {
  return DBL_OCI_ENTRY(OCIHandleAlloc)(parenth, hndlpp, type, xtramem_sz, usrmempp);
}
inline sword OCIHandleFree(void* hndlp, ub4 type) {
  return DBL_OCI_ENTRY(OCIHandleFree)(hndlp, type);
}
inline sword OCIDescriptorAlloc(const void* parenth, void** descpp, ub4 type,
                                std::size_t xtramem_sz, void** usrmempp) {
  return DBL_OCI_ENTRY(OCIDescriptorAlloc)(parenth, descpp, type, xtramem_sz, usrmempp);
}
inline sword OCIDescriptorFree(void* descp, ub4 type) {
  return DBL_OCI_ENTRY(OCIDescriptorFree)(descp, type);
}

// ---- Connect, session, server -----------------------------------------------------------------

inline sword OCIServerAttach(OCIServer* srvhp, OCIError* errhp, const OraText* dblink,
                             sb4 dblink_len, ub4 mode) {
  return DBL_OCI_ENTRY(OCIServerAttach)(srvhp, errhp, dblink, dblink_len, mode);
}
inline sword OCIServerDetach(OCIServer* srvhp, OCIError* errhp, ub4 mode) {
  return DBL_OCI_ENTRY(OCIServerDetach)(srvhp, errhp, mode);
}
inline sword OCISessionBegin(OCISvcCtx* svchp, OCIError* errhp, OCISession* usrhp, ub4 credt,
                             ub4 mode) {
  return DBL_OCI_ENTRY(OCISessionBegin)(svchp, errhp, usrhp, credt, mode);
}
inline sword OCISessionEnd(OCISvcCtx* svchp, OCIError* errhp, OCISession* usrhp, ub4 mode) {
  return DBL_OCI_ENTRY(OCISessionEnd)(svchp, errhp, usrhp, mode);
}
inline sword OCIPasswordChange(OCISvcCtx* svchp, OCIError* errhp, const OraText* user_name,
                               ub4 usernm_len, const OraText* opasswd, ub4 opasswd_len,
                               const OraText* npasswd, ub4 npasswd_len, ub4 mode) {
  return DBL_OCI_ENTRY(OCIPasswordChange)(svchp, errhp, user_name, usernm_len, opasswd,
                                          opasswd_len, npasswd, npasswd_len, mode);
}
// hndltype is OCI_HTYPE_SVCCTX or OCI_HTYPE_SERVER, passed as one byte.
inline sword OCIServerVersion(void* hndlp, OCIError* errhp, OraText* bufp, ub4 bufsz,
                              ub1 hndltype) {
  return DBL_OCI_ENTRY(OCIServerVersion)(hndlp, errhp, bufp, bufsz, hndltype);
}

// ---- Attributes, parameters, errors, transactions ---------------------------------------------

inline sword OCIAttrSet(void* trgthndlp, ub4 trghndltyp, void* attributep, ub4 size,
                        ub4 attrtype, OCIError* errhp) {
  return DBL_OCI_ENTRY(OCIAttrSet)(trgthndlp, trghndltyp, attributep, size, attrtype, errhp);
}
inline sword OCIAttrGet(const void* trgthndlp, ub4 trghndltyp, void* attributep, ub4* sizep,
                        ub4 attrtype, OCIError* errhp) {
  return DBL_OCI_ENTRY(OCIAttrGet)(trgthndlp, trghndltyp, attributep, sizep, attrtype, errhp);
}
inline sword OCIParamGet(const void* hndlp, ub4 htype, OCIError* errhp, void** parmdpp,
                         ub4 pos) {
  return DBL_OCI_ENTRY(OCIParamGet)(hndlp, htype, errhp, parmdpp, pos);
}
inline sword OCIErrorGet(void* hndlp, ub4 recordno, OraText* sqlstate, sb4* errcodep,
                         OraText* bufp, ub4 bufsiz, ub4 type) {
  return DBL_OCI_ENTRY(OCIErrorGet)(hndlp, recordno, sqlstate, errcodep, bufp, bufsiz, type);
}
inline sword OCITransCommit(OCISvcCtx* svchp, OCIError* errhp, ub4 flags) {
  return DBL_OCI_ENTRY(OCITransCommit)(svchp, errhp, flags);
}
inline sword OCITransRollback(OCISvcCtx* svchp, OCIError* errhp, ub4 flags) {
  return DBL_OCI_ENTRY(OCITransRollback)(svchp, errhp, flags);
}
inline sword OCISvcCtxToLda(OCISvcCtx* svchp, OCIError* errhp, Lda_Def* ldap) {
  return DBL_OCI_ENTRY(OCISvcCtxToLda)(svchp, errhp, ldap);
}
inline sword OCILdaToSvcCtx(OCISvcCtx** svchpp, OCIError* errhp, Lda_Def* ldap) {
  return DBL_OCI_ENTRY(OCILdaToSvcCtx)(svchpp, errhp, ldap);
}
inline sword OCIDescribeAny(OCISvcCtx* svchp, OCIError* errhp, void* objptr, ub4 objnm_len,
                            ub1 objptr_typ, ub1 info_level, ub1 objtyp, OCIDescribe* dschp) {
  return DBL_OCI_ENTRY(OCIDescribeAny)(svchp, errhp, objptr, objnm_len, objptr_typ, info_level,
                                       objtyp, dschp);
}

// ---- Session pool -----------------------------------------------------------------------------

inline sword OCISessionPoolCreate(OCIEnv* envhp, OCIError* errhp, OCISPool* spoolhp,
                                  OraText** poolName, ub4* poolNameLen, const OraText* connStr,
                                  ub4 connStrLen, ub4 sessMin, ub4 sessMax, ub4 sessIncr,
                                  OraText* userid, ub4 useridLen, OraText* password,
                                  ub4 passwordLen, ub4 mode) {
  return DBL_OCI_ENTRY(OCISessionPoolCreate)(envhp, errhp, spoolhp, poolName, poolNameLen,
                                             connStr, connStrLen, sessMin, sessMax, sessIncr,
                                             userid, useridLen, password, passwordLen, mode);
}
inline sword OCISessionPoolDestroy(OCISPool* spoolhp, OCIError* errhp, ub4 mode) {
  return DBL_OCI_ENTRY(OCISessionPoolDestroy)(spoolhp, errhp, mode);
}
inline sword OCISessionGet(OCIEnv* envhp, OCIError* errhp, OCISvcCtx** svchp,
                           OCIAuthInfo* authhp, OraText* poolName, ub4 poolName_len,
                           const OraText* tagInfo, ub4 tagInfo_len, OraText** retTagInfo,
                           ub4* retTagInfo_len, boolean* found, ub4 mode) {
  return DBL_OCI_ENTRY(OCISessionGet)(envhp, errhp, svchp, authhp, poolName, poolName_len,
                                      tagInfo, tagInfo_len, retTagInfo, retTagInfo_len, found,
                                      mode);
}
inline sword OCISessionRelease(OCISvcCtx* svchp, OCIError* errhp, OraText* tag, ub4 tag_len,
                               ub4 mode) {
  return DBL_OCI_ENTRY(OCISessionRelease)(svchp, errhp, tag, tag_len, mode);
}

// ---- Statements -------------------------------------------------------------------------------

inline sword OCIStmtPrepare(OCIStmt* stmtp, OCIError* errhp, const OraText* stmt, ub4 stmt_len,
                            ub4 language, ub4 mode) {
  return DBL_OCI_ENTRY(OCIStmtPrepare)(stmtp, errhp, stmt, stmt_len, language, mode);
}
inline sword OCIStmtPrepare2(OCISvcCtx* svchp, OCIStmt** stmtp, OCIError* errhp,
                             const OraText* stmt, ub4 stmt_len, const OraText* key, ub4 key_len,
                             ub4 language, ub4 mode) {
  return DBL_OCI_ENTRY(OCIStmtPrepare2)(svchp, stmtp, errhp, stmt, stmt_len, key, key_len,
                                        language, mode);
}
inline sword OCIStmtRelease(OCIStmt* stmtp, OCIError* errhp, const OraText* key, ub4 key_len,
                            ub4 mode) {
  return DBL_OCI_ENTRY(OCIStmtRelease)(stmtp, errhp, key, key_len, mode);
}
inline sword OCIStmtExecute(OCISvcCtx* svchp, OCIStmt* stmtp, OCIError* errhp, ub4 iters,
                            ub4 rowoff, const OCISnapshot* snap_in, OCISnapshot* snap_out,
                            ub4 mode) {
  return DBL_OCI_ENTRY(OCIStmtExecute)(svchp, stmtp, errhp, iters, rowoff, snap_in, snap_out,
                                       mode);
}
inline sword OCIStmtFetch(OCIStmt* stmtp, OCIError* errhp, ub4 nrows, ub2 orientation,
                          ub4 mode) {
  return DBL_OCI_ENTRY(OCIStmtFetch)(stmtp, errhp, nrows, orientation, mode);
}
inline sword OCIStmtFetch2(OCIStmt* stmtp, OCIError* errhp, ub4 nrows, ub2 orientation,
                           sb4 scrollOffset, ub4 mode) {
  return DBL_OCI_ENTRY(OCIStmtFetch2)(stmtp, errhp, nrows, orientation, scrollOffset, mode);
}
inline sword OCIBindByName(OCIStmt* stmtp, OCIBind** bindp, OCIError* errhp,
                           const OraText* placeholder, sb4 placeh_len, void* valuep,
                           sb4 value_sz, ub2 dty, void* indp, ub2* alenp, ub2* rcodep,
                           ub4 maxarr_len, ub4* curelep, ub4 mode) {
  return DBL_OCI_ENTRY(OCIBindByName)(stmtp, bindp, errhp, placeholder, placeh_len, valuep,
                                      value_sz, dty, indp, alenp, rcodep, maxarr_len, curelep,
                                      mode);
}
inline sword OCIBindObject(OCIBind* bindp, OCIError* errhp, const OCIType* type, void** pgvpp,
                           ub4* pvszsp, void** indpp, ub4* indszp) {
  return DBL_OCI_ENTRY(OCIBindObject)(bindp, errhp, type, pgvpp, pvszsp, indpp, indszp);
}
inline sword OCIDefineByPos(OCIStmt* stmtp, OCIDefine** defnp, OCIError* errhp, ub4 position,
                            void* valuep, sb4 value_sz, ub2 dty, void* indp, ub2* rlenp,
                            ub2* rcodep, ub4 mode) {
  return DBL_OCI_ENTRY(OCIDefineByPos)(stmtp, defnp, errhp, position, valuep, value_sz, dty,
                                       indp, rlenp, rcodep, mode);
}
inline sword OCIDefineObject(OCIDefine* defnp, OCIError* errhp, const OCIType* type,
                             void** pgvpp, ub4* pvszsp, void** indpp, ub4* indszp) {
  return DBL_OCI_ENTRY(OCIDefineObject)(defnp, errhp, type, pgvpp, pvszsp, indpp, indszp);
}
inline sword OCIDefineDynamic(OCIDefine* defnp, OCIError* errhp, void* octxp,
                              OCICallbackDefine ocbfp) {
  return DBL_OCI_ENTRY(OCIDefineDynamic)(defnp, errhp, octxp, ocbfp);
}

// ---- LOBs -------------------------------------------------------------------------------------

// The amount comes before the offset, as in the published prototype.
inline sword OCILobRead(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, ub4* amtp,
                        ub4 offset, void* bufp, ub4 bufl, void* ctxp, OCICallbackLobRead cbfp,
                        ub2 csid, ub1 csfrm) {
  return DBL_OCI_ENTRY(OCILobRead)(svchp, errhp, locp, amtp, offset, bufp, bufl, ctxp, cbfp,
                                   csid, csfrm);
}
inline sword OCILobWrite(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, ub4* amtp,
                         ub4 offset, void* bufp, ub4 buflen, ub1 piece, void* ctxp,
                         OCICallbackLobWrite cbfp, ub2 csid, ub1 csfrm) {
  return DBL_OCI_ENTRY(OCILobWrite)(svchp, errhp, locp, amtp, offset, bufp, buflen, piece, ctxp,
                                    cbfp, csid, csfrm);
}
inline sword OCILobTrim(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, ub4 newlen) {
  return DBL_OCI_ENTRY(OCILobTrim)(svchp, errhp, locp, newlen);
}
inline sword OCILobGetLength(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp,
                             ub4* lenp) {
  return DBL_OCI_ENTRY(OCILobGetLength)(svchp, errhp, locp, lenp);
}
inline sword OCILobLocatorIsInit(OCIEnv* envhp, OCIError* errhp, const OCILobLocator* locp,
                                 boolean* is_initialized) {
  return DBL_OCI_ENTRY(OCILobLocatorIsInit)(envhp, errhp, locp, is_initialized);
}
inline sword OCILobFlushBuffer(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp,
                               ub4 flag) {
  return DBL_OCI_ENTRY(OCILobFlushBuffer)(svchp, errhp, locp, flag);
}
inline sword OCILobFileOpen(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* filep, ub1 mode) {
  return DBL_OCI_ENTRY(OCILobFileOpen)(svchp, errhp, filep, mode);
}
inline sword OCILobFileClose(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* filep) {
  return DBL_OCI_ENTRY(OCILobFileClose)(svchp, errhp, filep);
}
inline sword OCILobFileIsOpen(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* filep,
                              boolean* flag) {
  return DBL_OCI_ENTRY(OCILobFileIsOpen)(svchp, errhp, filep, flag);
}
inline sword OCILobCreateTemporary(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp,
                                   ub2 csid, ub1 csfrm, ub1 lobtype, boolean cache,
                                   OCIDuration duration) {
  return DBL_OCI_ENTRY(OCILobCreateTemporary)(svchp, errhp, locp, csid, csfrm, lobtype, cache,
                                              duration);
}
inline sword OCILobFreeTemporary(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp) {
  return DBL_OCI_ENTRY(OCILobFreeTemporary)(svchp, errhp, locp);
}
inline sword OCILobIsTemporary(OCIEnv* envp, OCIError* errhp, OCILobLocator* locp,
                               boolean* is_temporary) {
  return DBL_OCI_ENTRY(OCILobIsTemporary)(envp, errhp, locp, is_temporary);
}

// ---- Objects, references, strings, raws ------------------------------------------------------

inline sword OCIObjectNew(OCIEnv* env, OCIError* err, const OCISvcCtx* svc, OCITypeCode typecode,
                          OCIType* tdo, void* table, OCIDuration duration, boolean value,
                          void** instance) {
  return DBL_OCI_ENTRY(OCIObjectNew)(env, err, svc, typecode, tdo, table, duration, value,
                                     instance);
}
inline sword OCIObjectPin(OCIEnv* env, OCIError* err, OCIRef* object_ref,
                          OCIComplexObject* corhdl, OCIPinOpt pin_option,
                          OCIDuration pin_duration, OCILockOpt lock_option, void** object) {
  return DBL_OCI_ENTRY(OCIObjectPin)(env, err, object_ref, corhdl, pin_option, pin_duration,
                                     lock_option, object);
}
inline sword OCIObjectPinTable(OCIEnv* env, OCIError* err, const OCISvcCtx* svc,
                               const oratext* schema_name, ub4 s_n_length,
                               const oratext* object_name, ub4 o_n_length,
                               const OCIRef* scope_obj_ref, OCIDuration pin_duration,
                               void** object) {
  return DBL_OCI_ENTRY(OCIObjectPinTable)(env, err, svc, schema_name, s_n_length, object_name,
                                          o_n_length, scope_obj_ref, pin_duration, object);
}
inline sword OCIObjectUnpin(OCIEnv* env, OCIError* err, void* object) {
  return DBL_OCI_ENTRY(OCIObjectUnpin)(env, err, object);
}
inline sword OCIObjectFree(OCIEnv* env, OCIError* err, void* instance, ub2 flags) {
  return DBL_OCI_ENTRY(OCIObjectFree)(env, err, instance, flags);
}
inline sword OCIObjectMarkUpdate(OCIEnv* env, OCIError* err, void* object) {
  return DBL_OCI_ENTRY(OCIObjectMarkUpdate)(env, err, object);
}
inline sword OCIObjectUnmark(OCIEnv* env, OCIError* err, void* object) {
  return DBL_OCI_ENTRY(OCIObjectUnmark)(env, err, object);
}
inline sword OCIObjectGetInd(OCIEnv* env, OCIError* err, void* instance, void** null_struct) {
  return DBL_OCI_ENTRY(OCIObjectGetInd)(env, err, instance, null_struct);
}
inline sword OCITypeByName(OCIEnv* env, OCIError* err, const OCISvcCtx* svc,
                           const oratext* schema_name, ub4 s_length, const oratext* type_name,
                           ub4 t_length, const oratext* version_name, ub4 v_length,
                           OCIDuration pin_duration, OCITypeGetOpt get_option, OCIType** tdo) {
  return DBL_OCI_ENTRY(OCITypeByName)(env, err, svc, schema_name, s_length, type_name, t_length,
                                      version_name, v_length, pin_duration, get_option, tdo);
}
inline sword OCIRefAssign(OCIEnv* env, OCIError* err, const OCIRef* source, OCIRef** target) {
  return DBL_OCI_ENTRY(OCIRefAssign)(env, err, source, target);
}
inline void OCIRefClear(OCIEnv* env, OCIRef* ref) { DBL_OCI_ENTRY(OCIRefClear)(env, ref); }
inline boolean OCIRefIsNull(OCIEnv* env, const OCIRef* ref) {
  return DBL_OCI_ENTRY(OCIRefIsNull)(env, ref);
}
inline ub4 OCIRefHexSize(OCIEnv* env, const OCIRef* ref) {
  return DBL_OCI_ENTRY(OCIRefHexSize)(env, ref);
}
inline sword OCIRefToHex(OCIEnv* env, OCIError* err, const OCIRef* ref, oratext* hex,
                         ub4* hex_length) {
  return DBL_OCI_ENTRY(OCIRefToHex)(env, err, ref, hex, hex_length);
}
inline oratext* OCIStringPtr(OCIEnv* env, const OCIString* vs) {
  return DBL_OCI_ENTRY(OCIStringPtr)(env, vs);
}
inline ub1* OCIRawPtr(OCIEnv* env, const OCIRaw* raw) {
  return DBL_OCI_ENTRY(OCIRawPtr)(env, raw);
}
inline ub4 OCIRawSize(OCIEnv* env, const OCIRaw* raw) {
  return DBL_OCI_ENTRY(OCIRawSize)(env, raw);
}

// ---- Numbers and date-times -------------------------------------------------------------------

inline sword OCINumberToInt(OCIError* err, const OCINumber* number, uword rsl_length,
                            uword rsl_flag, void* rsl) {
  return DBL_OCI_ENTRY(OCINumberToInt)(err, number, rsl_length, rsl_flag, rsl);
}
inline sword OCINumberToReal(OCIError* err, const OCINumber* number, uword rsl_length,
                             void* rsl) {
  return DBL_OCI_ENTRY(OCINumberToReal)(err, number, rsl_length, rsl);
}
inline sword OCINumberToText(OCIError* err, const OCINumber* number, const oratext* fmt,
                             ub4 fmt_length, const oratext* nls_params, ub4 nls_p_length,
                             ub4* buf_size, oratext* buf) {
  return DBL_OCI_ENTRY(OCINumberToText)(err, number, fmt, fmt_length, nls_params, nls_p_length,
                                        buf_size, buf);
}
// fsec is in nanoseconds; hndl is an environment or session handle.
inline sword OCIDateTimeConstruct(void* hndl, OCIError* err, OCIDateTime* datetime, sb2 yr,
                                  ub1 mnth, ub1 dy, ub1 hr, ub1 mm, ub1 ss, ub4 fsec,
                                  OraText* timezone, std::size_t timezone_length) {
  return DBL_OCI_ENTRY(OCIDateTimeConstruct)(hndl, err, datetime, yr, mnth, dy, hr, mm, ss, fsec,
                                             timezone, timezone_length);
}
inline sword OCIDateTimeGetDate(void* hndl, OCIError* err, const OCIDateTime* date, sb2* yr,
                                ub1* mnth, ub1* dy) {
  return DBL_OCI_ENTRY(OCIDateTimeGetDate)(hndl, err, date, yr, mnth, dy);
}
inline sword OCIDateTimeGetTime(void* hndl, OCIError* err, OCIDateTime* datetime, ub1* hr,
                                ub1* mm, ub1* ss, ub4* fsec) {
  return DBL_OCI_ENTRY(OCIDateTimeGetTime)(hndl, err, datetime, hr, mm, ss, fsec);
}
// fmt_length is one byte; lang_length is a size_t.
inline sword OCIDateTimeToText(void* hndl, OCIError* err, const OCIDateTime* date,
                               const OraText* fmt, ub1 fmt_length, ub1 fsprec,
                               const OraText* lang_name, std::size_t lang_length, ub4* buf_size,
                               OraText* buf) {
  return DBL_OCI_ENTRY(OCIDateTimeToText)(hndl, err, date, fmt, fmt_length, fsprec, lang_name,
                                          lang_length, buf_size, buf);
}

// ---- OCI7 (logon and cursor data areas) -------------------------------------------------------

inline sword orlon(Lda_Def* lda, ub1* hda, OraText* uid, sword uidl, OraText* pswd, sword pswdl,
                   sword audit) {
  return DBL_OCI_ENTRY(orlon)(lda, hda, uid, uidl, pswd, pswdl, audit);
}
inline sword olog(Lda_Def* lda, ub1* hda, OraText* uid, sword uidl, OraText* psw, sword pswl,
                  OraText* conn, sword connl, ub4 mode) {
  return DBL_OCI_ENTRY(olog)(lda, hda, uid, uidl, psw, pswl, conn, connl, mode);
}
inline sword ologof(Lda_Def* lda) { return DBL_OCI_ENTRY(ologof)(lda); }
inline sword oerhms(Lda_Def* lda, sb2 rcode, OraText* buf, sword bufsiz) {
  return DBL_OCI_ENTRY(oerhms)(lda, rcode, buf, bufsiz);
}
inline sword ocom(Lda_Def* lda) { return DBL_OCI_ENTRY(ocom)(lda); }
inline sword orol(Lda_Def* lda) { return DBL_OCI_ENTRY(orol)(lda); }
inline sword ocon(Lda_Def* lda) { return DBL_OCI_ENTRY(ocon)(lda); }
inline sword ocof(Lda_Def* lda) { return DBL_OCI_ENTRY(ocof)(lda); }
inline sword obreak(Lda_Def* lda) { return DBL_OCI_ENTRY(obreak)(lda); }
inline sword oopen(Cda_Def* cursor, Lda_Def* lda, OraText* dbn, sword dbnl, sword arsize,
                   OraText* uid, sword uidl) {
  return DBL_OCI_ENTRY(oopen)(cursor, lda, dbn, dbnl, arsize, uid, uidl);
}
inline sword oparse(Cda_Def* cursor, OraText* sqlstm, sb4 sqllen, sword defflg, ub4 lngflg) {
  return DBL_OCI_ENTRY(oparse)(cursor, sqlstm, sqllen, defflg, lngflg);
}
inline sword obndra(Cda_Def* cursor, OraText* sqlvar, sword sqlvl, ub1* progv, sword progvl,
                    sword ftype, sword scale, sb2* indp, ub2* alen, ub2* arcode, ub4 maxsiz,
                    ub4* cursiz, OraText* fmt, sword fmtl, sword fmtt) {
  return DBL_OCI_ENTRY(obndra)(cursor, sqlvar, sqlvl, progv, progvl, ftype, scale, indp, alen,
                               arcode, maxsiz, cursiz, fmt, fmtl, fmtt);
}
inline sword odescr(Cda_Def* cursor, sword pos, sb4* dbsize, sb2* dbtype, sb1* cbuf, sb4* cbufl,
                    sb4* dsize, sb2* prec, sb2* scale, sb2* nullok) {
  return DBL_OCI_ENTRY(odescr)(cursor, pos, dbsize, dbtype, cbuf, cbufl, dsize, prec, scale,
                               nullok);
}
inline sword odefin(Cda_Def* cursor, sword pos, ub1* buf, sword bufl, sword ftype, sword scale,
                    sb2* indp, OraText* fmt, sword fmtl, sword fmtt, ub2* rlen, ub2* rcode) {
  return DBL_OCI_ENTRY(odefin)(cursor, pos, buf, bufl, ftype, scale, indp, fmt, fmtl, fmtt,
                               rlen, rcode);
}
inline sword oexec(Cda_Def* cursor) { return DBL_OCI_ENTRY(oexec)(cursor); }
inline sword oexn(Cda_Def* cursor, sword iters, sword rowoff) {
  return DBL_OCI_ENTRY(oexn)(cursor, iters, rowoff);
}
inline sword oexfet(Cda_Def* cursor, ub4 nrows, sword cancel, sword exact) {
  return DBL_OCI_ENTRY(oexfet)(cursor, nrows, cancel, exact);
}
inline sword ofen(Cda_Def* cursor, sword nrows) { return DBL_OCI_ENTRY(ofen)(cursor, nrows); }
inline sword oflng(Cda_Def* cursor, sword pos, ub1* buf, sb4 bufl, sword dtype, ub4* retl,
                   sb4 offset) {
  return DBL_OCI_ENTRY(oflng)(cursor, pos, buf, bufl, dtype, retl, offset);
}
inline sword oclose(Cda_Def* cursor) { return DBL_OCI_ENTRY(oclose)(cursor); }
// The name and reserved lengths are size_t, so the 64-bit argument list differs from 32-bit.
inline sword odessp(Cda_Def* cursor, OraText* objnam, std::size_t onlen, ub1* rsv1,
                    std::size_t rsv1ln, ub1* rsv2, std::size_t rsv2ln, ub2* ovrld, ub2* pos,
                    ub2* level, OraText** argnam, ub2* arnlen, ub2* dtype, ub1* defsup,
                    ub1* mode, ub4* dtsiz, sb2* prec, sb2* scale, ub1* radix, ub4* spare,
                    ub4* arrsiz) {
  return DBL_OCI_ENTRY(odessp)(cursor, objnam, onlen, rsv1, rsv1ln, rsv2, rsv2ln, ovrld, pos,
                               level, argnam, arnlen, dtype, defsup, mode, dtsiz, prec, scale,
                               radix, spare, arrsiz);
}

// ---- Transaction coordinator ------------------------------------------------------------------

inline OraMTSStatus OraMTSSvcGet(text* lpUname, text* lpPsswd, text* lpDbnam,
                                 OCISvcCtx** pOCISvc, OCIEnv** pOCIEnv, ub4 ConFlgs) {
  return DBL_MTS_ENTRY(OraMTSSvcGet)(lpUname, lpPsswd, lpDbnam, pOCISvc, pOCIEnv, ConFlgs);
}
inline OraMTSStatus OraMTSSvcRel(OCISvcCtx* OCISvc) {
  return DBL_MTS_ENTRY(OraMTSSvcRel)(OCISvc);
}
inline OraMTSStatus OraMTSSvcEnlist(OCISvcCtx* OCISvc, OCIError* OCIErr, void* lpTrans,
                                    ub4 dwFlags) {
  return DBL_MTS_ENTRY(OraMTSSvcEnlist)(OCISvc, OCIErr, lpTrans, dwFlags);
}
inline OraMTSStatus OraMTSSvcEnlistEx(OCISvcCtx* OCISvc, OCIError* OCIErr, void* lpTrans,
                                      ub4 dwFlags, char* lpDBName) {
  return DBL_MTS_ENTRY(OraMTSSvcEnlistEx)(OCISvc, OCIErr, lpTrans, dwFlags, lpDBName);
}
inline OraMTSBool OraMTSTransTest() { return DBL_MTS_ENTRY(OraMTSTransTest)(); }

}  // namespace oracle::oci

#undef DBL_OCI_ENTRY
#undef DBL_MTS_ENTRY
