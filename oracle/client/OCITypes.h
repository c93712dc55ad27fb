// The scalar, handle and data-area types of Oracle's published call interface (OCI8 handles and
// the OCI7 cursor/logon data areas), declared for the platform this program is built for.
#pragma once

#include <cstddef>
#include <cstdint>

namespace oracle::oci {

using ub1 = unsigned char;
using sb1 = signed char;
using ub2 = unsigned short;
using sb2 = signed short;
using ub4 = unsigned int;
using sb4 = signed int;
using ub8 = unsigned long long;
using sb8 = signed long long;
using sword = signed int;
using uword = unsigned int;
using eword = int;
using OraText = unsigned char;
using oratext = OraText;
using text = OraText;
// The interface's boolean is a C int: an OUT boolean receives four bytes.
using boolean = int;

static_assert(sizeof(ub2) == 2 && sizeof(ub4) == 4 && sizeof(ub8) == 8);
static_assert(sizeof(boolean) == 4);

using OCIDuration = ub2;
using OCITypeCode = ub2;
using OCIInd = sb2;

// Opaque handles and descriptors: only ever used through pointers the client hands out.
struct OCIEnv;
struct OCIError;
struct OCISvcCtx;
struct OCIServer;
struct OCISession;
struct OCIStmt;
struct OCIBind;
struct OCIDefine;
struct OCIDescribe;
struct OCIParam;
struct OCITrans;
struct OCISnapshot;
struct OCILobLocator;
struct OCISPool;
struct OCIComplexObject;
struct OCIType;
struct OCIRef;
struct OCIString;
struct OCIRaw;
struct OCIDateTime;
struct OCIRowid;
using OCIAuthInfo = OCISession;  // the same handle type number (9)

// An Oracle number: a length byte and up to 21 bytes of exponent and base-100 digits.
struct OCINumber {
  ub1 OCINumberPart[22];
};
static_assert(sizeof(OCINumber) == 22);

// Enumerations passed by value (C enums, four bytes).
enum OCIPinOpt : int { OCI_PIN_DEFAULT = 1, OCI_PIN_ANY = 3, OCI_PIN_RECENT = 4, OCI_PIN_LATEST = 5 };
enum OCILockOpt : int { OCI_LOCK_NONE = 1, OCI_LOCK_X = 2, OCI_LOCK_X_NOWAIT = 3 };
enum OCITypeGetOpt : int { OCI_TYPEGET_HEADER = 0, OCI_TYPEGET_ALL = 1 };
static_assert(sizeof(OCIPinOpt) == 4 && sizeof(OCILockOpt) == 4 && sizeof(OCITypeGetOpt) == 4);

// OCI7 cursor and logon data areas. A 64-bit client is built with the 64-bit server macro and
// expects 88-byte areas and a 512-byte host data area; a 32-bit one 64 and 256 bytes.
inline constexpr std::size_t CDA_SIZE = sizeof(void*) == 8 ? 88 : 64;
inline constexpr std::size_t HDA_SIZE = sizeof(void*) == 8 ? 512 : 256;

struct cda_head {
  sb2 v2_rc;
  ub2 ft;    // SQL function type of the last statement
  ub4 rpc;   // rows processed
  ub2 peo;   // parse error offset
  ub1 fc;    // OCI function code of the last call
  ub1 rcs1;
  ub2 rc;    // return code: the Oracle error number
  ub1 wrn;   // warning flags
  ub1 rcs2;
  sword rcs3;
  struct {
    struct {
      ub4 rcs4;
      ub2 rcs5;
      ub1 rcs6;
    } rd;
    ub4 rcs7;
    ub2 rcs8;
  } rid;
  sword ose;  // operating-system error code
  ub1 chk;
  void* rcsp;
};

struct cda_def {
  sb2 v2_rc;
  ub2 ft;
  ub4 rpc;
  ub2 peo;
  ub1 fc;
  ub1 rcs1;
  ub2 rc;
  ub1 wrn;
  ub1 rcs2;
  sword rcs3;
  struct {
    struct {
      ub4 rcs4;
      ub2 rcs5;
      ub1 rcs6;
    } rd;
    ub4 rcs7;
    ub2 rcs8;
  } rid;
  sword ose;
  ub1 chk;
  void* rcsp;
  ub1 rcs9[CDA_SIZE - sizeof(cda_head)];
};

using Cda_Def = cda_def;
using Lda_Def = cda_def;

static_assert(sizeof(Cda_Def) == CDA_SIZE);
static_assert(offsetof(cda_def, rc) == 12 && offsetof(cda_def, ose) == 36);

// The host data area is opaque; the 8-byte elements give it the alignment the client expects.
struct HostDataArea {
  ub8 data[HDA_SIZE / 8];
};
static_assert(sizeof(HostDataArea) == HDA_SIZE);

// Callbacks the client calls back into.
using OCIMallocFn = void* (*)(void* ctxp, std::size_t size);
using OCIReallocFn = void* (*)(void* ctxp, void* memptr, std::size_t newsize);
using OCIFreeFn = void (*)(void* ctxp, void* memptr);
using OCICallbackDefine = sb4 (*)(void* octxp, OCIDefine* defnp, ub4 iter, void** bufpp,
                                  ub4** alenp, ub1* piecep, void** indp, ub2** rcodep);
using OCICallbackLobRead = sb4 (*)(void* ctxp, const void* bufp, ub4 len, ub1 piece);
using OCICallbackLobWrite = sb4 (*)(void* ctxp, void* bufp, ub4* lenp, ub1* piece);

// The transaction-coordinator library's status (a Windows DWORD, 0 = no error) and Boolean.
using OraMTSStatus = std::uint32_t;
using OraMTSBool = int;

}  // namespace oracle::oci
