// The entry points of the client library by name, grouped and in the order they are bound at load
// time. Each name has its own slot; a group is all-or-nothing and its flag says whether it is
// complete (see ClientLibrary.h). The transaction-coordinator library has a table of its own.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace oracle {

// The groups in binding order; each decides one feature of the client.
enum TEntryGroup : std::uint8_t {
  egOCI7,         // the OCI7 call set                     -> OCI7Available
  egOlog,         // olog                                  -> OlogAvailable
  egOpinit,       // opinit                                -> OpinitAvailable
  egNet8,         // the OCI8 call set                     -> Net8Available
  egOciep,        // ociepgoe, ociepmsg                    -> OciepAvailable
  egNet81,        // the 8.1 additions                     -> Net81Available
  egNet9,         // OCIStmtFetch2                         -> Net9Available
  egSessionPool,  // the session-pool and statement-cache calls -> SessionPoolAvailable
};

struct EntryPointName {
  std::string_view name;
  TEntryGroup group;
};

inline constexpr EntryPointName kEntryPoints[] = {
    // OCI7 call set
    {"orlon", egOCI7}, {"ologof", egOCI7}, {"oerhms", egOCI7}, {"oopen", egOCI7},
    {"oparse", egOCI7}, {"odefin", egOCI7}, {"oexfet", egOCI7}, {"ofen", egOCI7},
    {"oflng", egOCI7}, {"oclose", egOCI7}, {"odescr", egOCI7}, {"oexec", egOCI7},
    {"oexn", egOCI7}, {"ocom", egOCI7}, {"orol", egOCI7}, {"ocon", egOCI7}, {"ocof", egOCI7},
    {"obreak", egOCI7}, {"obndra", egOCI7}, {"odessp", egOCI7},
    {"olog", egOlog},
    {"opinit", egOpinit},
    // OCI8 call set
    {"OCIInitialize", egNet8}, {"OCIHandleAlloc", egNet8}, {"OCIHandleFree", egNet8},
    {"OCIDescriptorAlloc", egNet8}, {"OCIDescriptorFree", egNet8}, {"OCIEnvInit", egNet8},
    {"OCIServerAttach", egNet8}, {"OCIServerDetach", egNet8}, {"OCISessionBegin", egNet8},
    {"OCISessionEnd", egNet8}, {"OCILogon", egNet8}, {"OCILogoff", egNet8},
    {"OCIPasswordChange", egNet8}, {"OCIStmtPrepare", egNet8}, {"OCIBindByPos", egNet8},
    {"OCIBindByName", egNet8}, {"OCIBindObject", egNet8}, {"OCIBindDynamic", egNet8},
    {"OCIBindArrayOfStruct", egNet8}, {"OCIStmtGetPieceInfo", egNet8},
    {"OCIStmtSetPieceInfo", egNet8}, {"OCIStmtExecute", egNet8}, {"OCIDefineByPos", egNet8},
    {"OCIDefineObject", egNet8}, {"OCIDefineDynamic", egNet8},
    {"OCIDefineArrayOfStruct", egNet8}, {"OCIStmtFetch", egNet8},
    {"OCIStmtGetBindInfo", egNet8}, {"OCIDescribeAny", egNet8}, {"OCIParamGet", egNet8},
    {"OCIParamSet", egNet8}, {"OCITransStart", egNet8}, {"OCITransDetach", egNet8},
    {"OCITransCommit", egNet8}, {"OCITransRollback", egNet8}, {"OCITransPrepare", egNet8},
    {"OCITransForget", egNet8}, {"OCIErrorGet", egNet8}, {"OCILobAppend", egNet8},
    {"OCILobAssign", egNet8}, {"OCILobCharSetForm", egNet8}, {"OCILobCharSetId", egNet8},
    {"OCILobCopy", egNet8}, {"OCILobDisableBuffering", egNet8},
    {"OCILobEnableBuffering", egNet8}, {"OCILobErase", egNet8}, {"OCILobFileClose", egNet8},
    {"OCILobFileCloseAll", egNet8}, {"OCILobFileExists", egNet8},
    {"OCILobFileGetName", egNet8}, {"OCILobFileIsOpen", egNet8}, {"OCILobFileOpen", egNet8},
    {"OCILobFileSetName", egNet8}, {"OCILobFlushBuffer", egNet8},
    {"OCILobGetLength", egNet8}, {"OCILobIsEqual", egNet8}, {"OCILobLoadFromFile", egNet8},
    {"OCILobLocatorIsInit", egNet8}, {"OCILobRead", egNet8}, {"OCILobTrim", egNet8},
    {"OCILobWrite", egNet8}, {"OCIBreak", egNet8}, {"OCIServerVersion", egNet8},
    {"OCIAttrGet", egNet8}, {"OCIAttrSet", egNet8}, {"OCISvcCtxToLda", egNet8},
    {"OCILdaToSvcCtx", egNet8}, {"OCIResultSetToStmt", egNet8}, {"OCIObjectUnpin", egNet8},
    {"OCIObjectLock", egNet8}, {"OCIObjectMarkUpdate", egNet8}, {"OCIObjectUnmark", egNet8},
    {"OCIObjectMarkDelete", egNet8}, {"OCIObjectFlush", egNet8}, {"OCIObjectCopy", egNet8},
    {"OCIObjectGetTypeRef", egNet8}, {"OCIObjectGetObjectRef", egNet8},
    {"OCIObjectGetInd", egNet8}, {"OCIObjectExists", egNet8}, {"OCIObjectIsLocked", egNet8},
    {"OCIObjectIsDirty", egNet8}, {"OCIObjectRefresh", egNet8},
    {"OCIObjectPinTable", egNet8}, {"OCIObjectNew", egNet8}, {"OCIObjectPin", egNet8},
    {"OCIObjectFree", egNet8}, {"OCITypeByName", egNet8}, {"OCIObjectGetAttr", egNet8},
    {"OCIObjectSetAttr", egNet8}, {"OCIStringPtr", egNet8}, {"OCIStringAssignText", egNet8},
    {"OCINumberFromInt", egNet8}, {"OCINumberToInt", egNet8}, {"OCINumberFromReal", egNet8},
    {"OCINumberToReal", egNet8}, {"OCINumberToText", egNet8}, {"OCINumberFromText", egNet8},
    {"OCIRawPtr", egNet8}, {"OCIRawSize", egNet8}, {"OCIRawAssignBytes", egNet8},
    {"OCIRefAssign", egNet8}, {"OCIRefClear", egNet8}, {"OCIRefIsNull", egNet8},
    {"OCIRefFromHex", egNet8}, {"OCIRefHexSize", egNet8}, {"OCIRefToHex", egNet8},
    {"OCICollSize", egNet8}, {"OCICollTrim", egNet8}, {"OCICollMax", egNet8},
    {"OCICollGetElem", egNet8}, {"OCICollAssignElem", egNet8}, {"OCICollAppend", egNet8},
    {"OCITableDelete", egNet8}, {"OCICacheFlush", egNet8},
    {"ociepgoe", egOciep}, {"ociepmsg", egOciep},
    // 8.1 additions
    {"OCIEnvCreate", egNet81}, {"OCIDirPathAbort", egNet81}, {"OCIDirPathFinish", egNet81},
    {"OCIDirPathPrepare", egNet81}, {"OCIDirPathColArrayEntrySet", egNet81},
    {"OCIDirPathColArrayToStream", egNet81}, {"OCIDirPathLoadStream", egNet81},
    {"OCIDirPathStreamReset", egNet81}, {"OCILobCreateTemporary", egNet81},
    {"OCILobFreeTemporary", egNet81}, {"OCILobIsTemporary", egNet81},
    {"OCIDateTimeToText", egNet81}, {"OCIDateTimeFromText", egNet81},
    {"OCIDateTimeGetDate", egNet81}, {"OCIDateTimeGetTime", egNet81},
    {"OCIDateTimeConstruct", egNet81}, {"OCIDateTimeAssign", egNet81},
    {"OCIDateTimeGetTimeZoneOffset", egNet81},
    {"OCIStmtFetch2", egNet9},
    {"OCISessionPoolCreate", egSessionPool}, {"OCISessionPoolDestroy", egSessionPool},
    {"OCISessionGet", egSessionPool}, {"OCISessionRelease", egSessionPool},
    {"OCIStmtPrepare2", egSessionPool}, {"OCIStmtRelease", egSessionPool},
};

inline constexpr std::size_t kEntryPointCount = std::size(kEntryPoints);

inline constexpr std::string_view kMTSEntryPoints[] = {
    "OraMTSSvcGet", "OraMTSSvcRel", "OraMTSSvcEnlist", "OraMTSSvcEnlistEx", "OraMTSTransTest"};

inline constexpr std::size_t kMTSEntryPointCount = std::size(kMTSEntryPoints);

// The slot number of a name, found at compile time: a name that is not in the table does not
// compile.
consteval std::size_t EntryIndex(std::string_view name) {
  for (std::size_t i = 0; i < kEntryPointCount; ++i) {
    if (kEntryPoints[i].name == name) return i;
  }
  throw "not an entry point of the client library";
}

consteval std::size_t MTSEntryIndex(std::string_view name) {
  for (std::size_t i = 0; i < kMTSEntryPointCount; ++i) {
    if (kMTSEntryPoints[i] == name) return i;
  }
  throw "not an entry point of the transaction-coordinator library";
}

}  // namespace oracle
