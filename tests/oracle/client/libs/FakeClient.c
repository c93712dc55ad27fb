/* A stand-in client library for the loading tests. Its build switches choose which of the client's
   entry points it exports (WITH_OCI7, WITH_OLOG, WITH_OPINIT, WITH_OCI8, WITH_OCIEP, WITH_NET81,
   WITH_NET9, WITH_POOL; OMIT_<name> drops one name), and it records the start calls it receives. */

#define EXPORT __attribute__((visibility("default")))
#define STUB(name) \
  EXPORT int name(void) { return 0; }

#include <string.h>

static int opinit_calls;
static unsigned opinit_mode;
static int initialize_calls;
static unsigned initialize_mode;

/* How often a start call arrived ("opinit", "OCIInitialize"); -1 for other names. */
EXPORT int fake_client_calls(const char* name) {
  if (strcmp(name, "opinit") == 0) return opinit_calls;
  if (strcmp(name, "OCIInitialize") == 0) return initialize_calls;
  return -1;
}

EXPORT unsigned fake_client_last_mode(const char* name) {
  if (strcmp(name, "opinit") == 0) return opinit_mode;
  if (strcmp(name, "OCIInitialize") == 0) return initialize_mode;
  return 0;
}

#ifdef WITH_DEPENDENCY
/* Lies in a library beside this one that the loader finds only from the current directory. */
extern int fake_dependency_value(void);
EXPORT int fake_client_dependency(void) { return fake_dependency_value(); }
#endif

#ifdef WITH_OCI7
STUB(orlon)
STUB(ologof)
STUB(oerhms)
STUB(oopen)
STUB(oparse)
STUB(odefin)
STUB(oexfet)
STUB(ofen)
STUB(oflng)
STUB(oclose)
STUB(odescr)
STUB(oexec)
STUB(oexn)
STUB(ocom)
STUB(orol)
STUB(ocon)
STUB(ocof)
STUB(obreak)
STUB(obndra)
#ifndef OMIT_odessp
STUB(odessp)
#endif
#endif

#ifdef WITH_OLOG
STUB(olog)
#endif

#ifdef WITH_OPINIT
EXPORT int opinit(unsigned mode) {
  ++opinit_calls;
  opinit_mode = mode;
  return 0;
}
#endif

#ifdef WITH_OCI8
EXPORT int OCIInitialize(unsigned mode, void* ctxp, void* malocfp, void* ralocfp, void* mfreefp) {
  (void)ctxp;
  (void)malocfp;
  (void)ralocfp;
  (void)mfreefp;
  ++initialize_calls;
  initialize_mode = mode;
  return 0;
}

/* Writes a banner for the server or service-context handle types (8, 3), as the client does. */
EXPORT int OCIServerVersion(void* hndlp, void* errhp, unsigned char* bufp, unsigned bufsz,
                            unsigned char hndltype) {
  static const char banner[] = "Fake client banner";
  (void)errhp;
  if (hndlp == 0 || (hndltype != 3 && hndltype != 8)) return -2;
  if (bufsz < sizeof banner) return -1;
  memcpy(bufp, banner, sizeof banner);
  return 0;
}

STUB(OCIHandleAlloc)
STUB(OCIHandleFree)
STUB(OCIDescriptorAlloc)
STUB(OCIDescriptorFree)
STUB(OCIEnvInit)
STUB(OCIServerAttach)
STUB(OCIServerDetach)
STUB(OCISessionBegin)
STUB(OCISessionEnd)
STUB(OCILogon)
STUB(OCILogoff)
STUB(OCIPasswordChange)
STUB(OCIStmtPrepare)
STUB(OCIBindByPos)
STUB(OCIBindByName)
STUB(OCIBindObject)
STUB(OCIBindDynamic)
STUB(OCIBindArrayOfStruct)
STUB(OCIStmtGetPieceInfo)
STUB(OCIStmtSetPieceInfo)
STUB(OCIStmtExecute)
STUB(OCIDefineByPos)
STUB(OCIDefineObject)
STUB(OCIDefineDynamic)
STUB(OCIDefineArrayOfStruct)
STUB(OCIStmtFetch)
STUB(OCIStmtGetBindInfo)
STUB(OCIDescribeAny)
STUB(OCIParamGet)
STUB(OCIParamSet)
STUB(OCITransStart)
STUB(OCITransDetach)
STUB(OCITransCommit)
STUB(OCITransRollback)
STUB(OCITransPrepare)
STUB(OCITransForget)
STUB(OCIErrorGet)
STUB(OCILobAppend)
STUB(OCILobAssign)
STUB(OCILobCharSetForm)
STUB(OCILobCharSetId)
STUB(OCILobCopy)
STUB(OCILobDisableBuffering)
STUB(OCILobEnableBuffering)
STUB(OCILobErase)
STUB(OCILobFileClose)
STUB(OCILobFileCloseAll)
STUB(OCILobFileExists)
STUB(OCILobFileGetName)
STUB(OCILobFileIsOpen)
STUB(OCILobFileOpen)
STUB(OCILobFileSetName)
STUB(OCILobFlushBuffer)
STUB(OCILobGetLength)
STUB(OCILobIsEqual)
STUB(OCILobLoadFromFile)
STUB(OCILobLocatorIsInit)
STUB(OCILobRead)
STUB(OCILobTrim)
STUB(OCILobWrite)
STUB(OCIBreak)
STUB(OCIAttrGet)
STUB(OCIAttrSet)
STUB(OCISvcCtxToLda)
STUB(OCILdaToSvcCtx)
STUB(OCIResultSetToStmt)
STUB(OCIObjectUnpin)
STUB(OCIObjectLock)
STUB(OCIObjectMarkUpdate)
STUB(OCIObjectUnmark)
STUB(OCIObjectMarkDelete)
STUB(OCIObjectFlush)
STUB(OCIObjectCopy)
STUB(OCIObjectGetTypeRef)
STUB(OCIObjectGetObjectRef)
STUB(OCIObjectGetInd)
STUB(OCIObjectExists)
STUB(OCIObjectIsLocked)
STUB(OCIObjectIsDirty)
STUB(OCIObjectRefresh)
STUB(OCIObjectPinTable)
STUB(OCIObjectNew)
STUB(OCIObjectPin)
STUB(OCIObjectFree)
STUB(OCITypeByName)
STUB(OCIObjectGetAttr)
STUB(OCIObjectSetAttr)
STUB(OCIStringPtr)
STUB(OCIStringAssignText)
STUB(OCINumberFromInt)
STUB(OCINumberToInt)
STUB(OCINumberFromReal)
STUB(OCINumberToReal)
STUB(OCINumberToText)
STUB(OCINumberFromText)
STUB(OCIRawPtr)
STUB(OCIRawSize)
STUB(OCIRawAssignBytes)
STUB(OCIRefAssign)
STUB(OCIRefClear)
STUB(OCIRefIsNull)
STUB(OCIRefFromHex)
STUB(OCIRefHexSize)
STUB(OCIRefToHex)
STUB(OCICollSize)
STUB(OCICollTrim)
STUB(OCICollMax)
STUB(OCICollGetElem)
STUB(OCICollAssignElem)
STUB(OCICollAppend)
STUB(OCITableDelete)
STUB(OCICacheFlush)
#endif

#ifdef WITH_OCIEP
STUB(ociepgoe)
STUB(ociepmsg)
#endif

#ifdef WITH_NET81
STUB(OCIEnvCreate)
STUB(OCIDirPathAbort)
STUB(OCIDirPathFinish)
STUB(OCIDirPathPrepare)
STUB(OCIDirPathColArrayEntrySet)
STUB(OCIDirPathColArrayToStream)
STUB(OCIDirPathLoadStream)
STUB(OCIDirPathStreamReset)
STUB(OCILobCreateTemporary)
STUB(OCILobFreeTemporary)
STUB(OCILobIsTemporary)
STUB(OCIDateTimeToText)
STUB(OCIDateTimeFromText)
STUB(OCIDateTimeGetDate)
STUB(OCIDateTimeGetTime)
STUB(OCIDateTimeConstruct)
#ifndef OMIT_OCIDateTimeAssign
STUB(OCIDateTimeAssign)
#endif
STUB(OCIDateTimeGetTimeZoneOffset)
#endif

#ifdef WITH_NET9
STUB(OCIStmtFetch2)
#endif

#ifdef WITH_POOL
STUB(OCISessionPoolCreate)
STUB(OCISessionPoolDestroy)
STUB(OCISessionGet)
STUB(OCISessionRelease)
STUB(OCIStmtPrepare2)
STUB(OCIStmtRelease)
#endif
