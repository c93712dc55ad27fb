// Oracle's published C call interface as ociemu exports it: the scalar types, status codes,
// handle, attribute and datatype numbers, the logon/cursor data area, and every entry point.
// Written from the published interface facts; the layer never includes this file.
#pragma once

#include <stddef.h>

#if defined(OCIEMU_BUILDING_LIBRARY)
#define OCIEMU_API __attribute__((visibility("default")))
#else
#define OCIEMU_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef unsigned char ub1;
typedef signed char sb1;
typedef unsigned short ub2;
typedef signed short sb2;
typedef unsigned int ub4;
typedef signed int sb4;
typedef unsigned long long ub8;
typedef signed long long sb8;
typedef signed int sword;
typedef unsigned int uword;
typedef unsigned char OraText;
typedef unsigned char oratext;
typedef unsigned char text;
typedef int boolean;
typedef ub2 OCIDuration;
typedef ub2 OCITypeCode;
typedef sb2 OCIInd;

typedef struct OCIEnv OCIEnv;
typedef struct OCIError OCIError;
typedef struct OCISvcCtx OCISvcCtx;
typedef struct OCIStmt OCIStmt;
typedef struct OCIBind OCIBind;
typedef struct OCIDefine OCIDefine;
typedef struct OCIDescribe OCIDescribe;
typedef struct OCIServer OCIServer;
typedef struct OCISession OCISession;
typedef struct OCISession OCIAuthInfo;
typedef struct OCITrans OCITrans;
typedef struct OCISPool OCISPool;
typedef struct OCIParam OCIParam;
typedef struct OCISnapshot OCISnapshot;
typedef struct OCIResult OCIResult;
typedef struct OCILobLocator OCILobLocator;
typedef struct OCIRowid OCIRowid;
typedef struct OCIDateTime OCIDateTime;
typedef struct OCIType OCIType;
typedef struct OCIRef OCIRef;
typedef struct OCIComplexObject OCIComplexObject;
typedef struct OCIString OCIString;
typedef struct OCIRaw OCIRaw;
typedef struct OCIColl OCIColl;
typedef struct OCIColl OCITable;
typedef struct OCIDirPathCtx OCIDirPathCtx;
typedef struct OCIDirPathColArray OCIDirPathColArray;
typedef struct OCIDirPathStream OCIDirPathStream;

#define OCI_NUMBER_SIZE 22
typedef struct OCINumber {
  ub1 OCINumberPart[OCI_NUMBER_SIZE];
} OCINumber;

/* The date of the object interface: 8 bytes, as the client keeps it. */
typedef struct OCITime {
  ub1 OCITimeHH;
  ub1 OCITimeMI;
  ub1 OCITimeSS;
} OCITime;
typedef struct OCIDate {
  sb2 OCIDateYYYY;
  ub1 OCIDateMM;
  ub1 OCIDateDD;
  OCITime OCIDateTime;
} OCIDate;

/* OCIDateCheck's bits for the fields that are out of range. */
#define OCI_DATE_INVALID_DAY 0x1
#define OCI_DATE_DAY_BELOW_VALID 0x2
#define OCI_DATE_INVALID_MONTH 0x4
#define OCI_DATE_MONTH_BELOW_VALID 0x8
#define OCI_DATE_INVALID_YEAR 0x10
#define OCI_DATE_YEAR_BELOW_VALID 0x20
#define OCI_DATE_INVALID_HOUR 0x40
#define OCI_DATE_HOUR_BELOW_VALID 0x80
#define OCI_DATE_INVALID_MINUTE 0x100
#define OCI_DATE_MINUTE_BELOW_VALID 0x200
#define OCI_DATE_INVALID_SECOND 0x400
#define OCI_DATE_SECOND_BELOW_VALID 0x800
#define OCI_DATE_DAY_MISSING_FROM_1582 0x1000
#define OCI_DATE_YEAR_ZERO 0x2000
#define OCI_DATE_INVALID_FORMAT 0x8000

typedef struct OCIThreadMutex OCIThreadMutex;
typedef struct OCIThreadKey OCIThreadKey;
typedef struct OCIThreadId OCIThreadId;
typedef struct OCIThreadHandle OCIThreadHandle;
typedef void (*OCIThreadKeyDestFunc)(void*);

typedef enum OCIPinOpt {
  OCI_PIN_DEFAULT = 1,
  OCI_PIN_ANY = 3,
  OCI_PIN_RECENT = 4,
  OCI_PIN_LATEST = 5
} OCIPinOpt;
typedef enum OCILockOpt { OCI_LOCK_NONE = 1, OCI_LOCK_X = 2, OCI_LOCK_X_NOWAIT = 3 } OCILockOpt;
typedef enum OCITypeGetOpt { OCI_TYPEGET_HEADER = 0, OCI_TYPEGET_ALL = 1 } OCITypeGetOpt;

typedef sb4 (*OCICallbackInBind)(void* ictxp, OCIBind* bindp, ub4 iter, ub4 index, void** bufpp,
                                 ub4* alenp, ub1* piecep, void** indp);
typedef sb4 (*OCICallbackOutBind)(void* octxp, OCIBind* bindp, ub4 iter, ub4 index, void** bufpp,
                                  ub4** alenp, ub1* piecep, void** indp, ub2** rcodep);
typedef sb4 (*OCICallbackDefine)(void* octxp, OCIDefine* defnp, ub4 iter, void** bufpp, ub4** alenp,
                                 ub1* piecep, void** indp, ub2** rcodep);
typedef sb4 (*OCICallbackLobRead)(void* ctxp, const void* bufp, ub4 len, ub1 piece);
typedef sb4 (*OCICallbackLobWrite)(void* ctxp, void* bufp, ub4* lenp, ub1* piece);

/* The OCI7 cursor and logon data area. 88 bytes on 64-bit builds, 64 on 32-bit ones. */
#if defined(__LP64__) || defined(_WIN64)
#define CDA_SIZE 88
#define HDA_SIZE 512
#else
#define CDA_SIZE 64
#define HDA_SIZE 256
#endif
struct cda_head {
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
  ub1 rcs9[CDA_SIZE - sizeof(struct cda_head)];
};
typedef struct cda_def Cda_Def;
typedef struct cda_def Lda_Def;

/* Status codes. */
#define OCI_SUCCESS 0
#define OCI_SUCCESS_WITH_INFO 1
#define OCI_NO_DATA 100
#define OCI_ERROR (-1)
#define OCI_INVALID_HANDLE (-2)
#define OCI_NEED_DATA 99
#define OCI_STILL_EXECUTING (-3123)
#define OCI_CONTINUE (-24200)

/* Handle types. */
#define OCI_HTYPE_ENV 1
#define OCI_HTYPE_ERROR 2
#define OCI_HTYPE_SVCCTX 3
#define OCI_HTYPE_STMT 4
#define OCI_HTYPE_BIND 5
#define OCI_HTYPE_DEFINE 6
#define OCI_HTYPE_DESCRIBE 7
#define OCI_HTYPE_SERVER 8
#define OCI_HTYPE_SESSION 9
#define OCI_HTYPE_AUTHINFO 9
#define OCI_HTYPE_TRANS 10
#define OCI_HTYPE_COMPLEXOBJECT 11
#define OCI_HTYPE_SECURITY 12
#define OCI_HTYPE_SUBSCRIPTION 13
#define OCI_HTYPE_CPOOL 26
#define OCI_HTYPE_SPOOL 27
#define OCI_HTYPE_ADMIN 28

/* Descriptor types. */
#define OCI_DTYPE_LOB 50
#define OCI_DTYPE_SNAP 51
#define OCI_DTYPE_RSET 52
#define OCI_DTYPE_PARAM 53
#define OCI_DTYPE_ROWID 54
#define OCI_DTYPE_COMPLEXOBJECTCOMP 55
#define OCI_DTYPE_FILE 56
#define OCI_DTYPE_INTERVAL_YM 62
#define OCI_DTYPE_INTERVAL_DS 63
#define OCI_DTYPE_DATE 65
#define OCI_DTYPE_TIMESTAMP 68
#define OCI_DTYPE_TIMESTAMP_TZ 69
#define OCI_DTYPE_TIMESTAMP_LTZ 70

/* Attributes (numbers are per handle type). */
#define OCI_ATTR_DATA_SIZE 1
#define OCI_ATTR_DATA_TYPE 2
#define OCI_ATTR_DISP_SIZE 3
#define OCI_ATTR_NAME 4
#define OCI_ATTR_PRECISION 5
#define OCI_ATTR_SCALE 6
#define OCI_ATTR_IS_NULL 7
#define OCI_ATTR_TYPE_NAME 8
#define OCI_ATTR_SCHEMA_NAME 9
#define OCI_ATTR_SUB_NAME 10
#define OCI_ATTR_POSITION 11
#define OCI_ATTR_ENV 5
#define OCI_ATTR_SERVER 6
#define OCI_ATTR_SESSION 7
#define OCI_ATTR_TRANS 8
#define OCI_ATTR_ROW_COUNT 9
#define OCI_ATTR_SQLFNCODE 10
#define OCI_ATTR_PREFETCH_ROWS 11
#define OCI_ATTR_PREFETCH_MEMORY 13
#define OCI_ATTR_PARAM_COUNT 18
#define OCI_ATTR_ROWID 19
#define OCI_ATTR_USERNAME 22
#define OCI_ATTR_PASSWORD 23
#define OCI_ATTR_STMT_TYPE 24
#define OCI_ATTR_CHARSET_ID 31
#define OCI_ATTR_CHARSET_FORM 32
#define OCI_ATTR_MAXDATA_SIZE 33
#define OCI_ATTR_LTYPE 128
#define OCI_ATTR_PARSE_ERROR_OFFSET 129
#define OCI_ATTR_SERVER_STATUS 143
#define OCI_ATTR_STATEMENT 144
#define OCI_ATTR_STMTCACHESIZE 176
#define OCI_ATTR_ROWS_FETCHED 197
#define OCI_ATTR_NUM_DML_ERRORS 73
#define OCI_ATTR_DML_ROW_OFFSET 74
#define OCI_ATTR_CURRENT_POSITION 164
#define OCI_ATTR_SPOOL_STMTCACHESIZE 208
#define OCI_ATTR_SPOOL_TIMEOUT 308
#define OCI_ATTR_SPOOL_GETMODE 309
#define OCI_ATTR_SPOOL_BUSY_COUNT 310
#define OCI_ATTR_SPOOL_OPEN_COUNT 311
#define OCI_ATTR_SPOOL_MIN 312
#define OCI_ATTR_SPOOL_MAX 313
#define OCI_ATTR_SPOOL_INCR 314
#define OCI_ATTR_CHAR_USED 285
#define OCI_ATTR_CHAR_SIZE 286

/* Describe: parameter attributes, parameter and list types, argument modes. */
#define OCI_ATTR_DESC_PUBLIC 250
#define OCI_ATTR_NUM_COLS 102
#define OCI_ATTR_LIST_COLUMNS 103
#define OCI_ATTR_RDBA 104
#define OCI_ATTR_CLUSTERED 105
#define OCI_ATTR_PARTITIONED 106
#define OCI_ATTR_INDEX_ONLY 107
#define OCI_ATTR_LIST_ARGUMENTS 108
#define OCI_ATTR_REF_TDO 110
#define OCI_ATTR_LINK 111
#define OCI_ATTR_NUM_PARAMS 121
#define OCI_ATTR_OBJID 122
#define OCI_ATTR_PTYPE 123
#define OCI_ATTR_PARAM 124
#define OCI_ATTR_OVERLOAD_ID 125
#define OCI_ATTR_TABLESPACE 126
#define OCI_ATTR_IS_TEMPORARY 130
#define OCI_ATTR_IS_TYPED 131
#define OCI_ATTR_DURATION 132
#define OCI_ATTR_IS_INVOKER_RIGHTS 133
#define OCI_ATTR_OBJ_NAME 134
#define OCI_ATTR_OBJ_SCHEMA 135
#define OCI_ATTR_OBJ_ID 136
#define OCI_ATTR_LEVEL 211
#define OCI_ATTR_HAS_DEFAULT 212
#define OCI_ATTR_IOMODE 213
#define OCI_ATTR_RADIX 214
#define OCI_ATTR_NUM_ARGS 215
#define OCI_ATTR_TYPECODE 216
#define OCI_OTYPE_NAME 1
#define OCI_OTYPE_REF 2
#define OCI_OTYPE_PTR 3
#define OCI_PTYPE_UNK 0
#define OCI_PTYPE_TABLE 1
#define OCI_PTYPE_VIEW 2
#define OCI_PTYPE_PROC 3
#define OCI_PTYPE_FUNC 4
#define OCI_PTYPE_PKG 5
#define OCI_PTYPE_TYPE 6
#define OCI_PTYPE_SYN 7
#define OCI_PTYPE_SEQ 8
#define OCI_PTYPE_COL 9
#define OCI_PTYPE_ARG 10
#define OCI_PTYPE_LIST 11
#define OCI_LTYPE_UNK 0
#define OCI_LTYPE_COLUMN 1
#define OCI_LTYPE_ARG_PROC 2
#define OCI_LTYPE_ARG_FUNC 3
#define OCI_TYPEPARAM_IN 0
#define OCI_TYPEPARAM_OUT 1
#define OCI_TYPEPARAM_INOUT 2
#define OCI_DURATION_NULL 9

#define OCI_SERVER_NOT_CONNECTED 0x0
#define OCI_SERVER_NORMAL 0x1

/* Modes. */
#define OCI_DEFAULT 0x00000000
#define OCI_THREADED 0x00000001
#define OCI_OBJECT 0x00000002
#define OCI_EVENTS 0x00000004
#define OCI_NO_UCB 0x00000040
#define OCI_NO_MUTEX 0x00000080
#define OCI_ENV_NO_UCB 0x01
#define OCI_ENV_NO_MUTEX 0x08
#define OCI_CRED_RDBMS 1
#define OCI_CRED_EXT 2
#define OCI_CRED_PROXY 3
#define OCI_MIGRATE 0x00000001
#define OCI_SYSDBA 0x00000002
#define OCI_SYSOPER 0x00000004
#define OCI_PRELIM_AUTH 0x00000008
#define OCI_STMT_CACHE 0x00000040
#define OCI_SYSASM 0x00008000
#define OCI_AUTH 0x08
#define OCI_CPOOL 0x0200
#define OCI_BATCH_MODE 0x00000001
#define OCI_EXACT_FETCH 0x00000002
#define OCI_STMT_SCROLLABLE_READONLY 0x00000008
#define OCI_DESCRIBE_ONLY 0x00000010
#define OCI_COMMIT_ON_SUCCESS 0x00000020
#define OCI_BATCH_ERRORS 0x00000080
#define OCI_PARSE_ONLY 0x00000100
#define OCI_DATA_AT_EXEC 0x00000002
#define OCI_ONE_PIECE 0
#define OCI_FIRST_PIECE 1
#define OCI_NEXT_PIECE 2
#define OCI_LAST_PIECE 3
#define OCI_PARAM_IN 0x01
#define OCI_PARAM_OUT 0x02
#define OCI_DYNAMIC_FETCH 0x00000002
#define OCI_FETCH_CURRENT 0x00000001
#define OCI_FETCH_NEXT 0x00000002
#define OCI_FETCH_FIRST 0x00000004
#define OCI_FETCH_LAST 0x00000008
#define OCI_FETCH_PRIOR 0x00000010
#define OCI_FETCH_ABSOLUTE 0x00000020
#define OCI_FETCH_RELATIVE 0x00000040
#define OCI_NTV_SYNTAX 1
#define OCI_V7_SYNTAX 2
#define OCI_V8_SYNTAX 3
#define OCI_STRLS_CACHE_DELETE 0x0010
#define OCI_PREP2_CACHE_SEARCHONLY 0x0010
#define OCI_TRANS_TWOPHASE 0x01000000
#define OCI_TRANS_NEW 0x00000001
#define OCI_TRANS_JOIN 0x00000002
#define OCI_TRANS_RESUME 0x00000004
#define OCI_TRANS_READONLY 0x00000100
#define OCI_TRANS_READWRITE 0x00000200
#define OCI_TRANS_SERIALIZABLE 0x00000400
#define OCI_SPC_REINITIALIZE 0x0001
#define OCI_SPC_HOMOGENEOUS 0x0002
#define OCI_SPC_STMTCACHE 0x0004
#define OCI_SPD_FORCE 0x0001
#define OCI_SESSGET_SPOOL 0x0001
#define OCI_SESSGET_STMTCACHE 0x0004
#define OCI_SESSGET_SYSDBA 0x0100
#define OCI_SESSRLS_DROPSESS 0x0001
#define OCI_SESSRLS_RETAG 0x0002

/* Statement types. */
#define OCI_STMT_UNKNOWN 0
#define OCI_STMT_SELECT 1
#define OCI_STMT_UPDATE 2
#define OCI_STMT_DELETE 3
#define OCI_STMT_INSERT 4
#define OCI_STMT_CREATE 5
#define OCI_STMT_DROP 6
#define OCI_STMT_ALTER 7
#define OCI_STMT_BEGIN 8
#define OCI_STMT_DECLARE 9
#define OCI_STMT_CALL 10
#define OCI_STMT_MERGE 16

/* External datatypes. */
#define SQLT_CHR 1
#define SQLT_NUM 2
#define SQLT_INT 3
#define SQLT_FLT 4
#define SQLT_STR 5
#define SQLT_VNU 6
#define SQLT_LNG 8
#define SQLT_VCS 9
#define SQLT_RID 11
#define SQLT_DAT 12
#define SQLT_VBI 15
#define SQLT_BFLOAT 21
#define SQLT_BDOUBLE 22
#define SQLT_BIN 23
#define SQLT_LBI 24
#define SQLT_UIN 68
#define SQLT_LVC 94
#define SQLT_LVB 95
#define SQLT_AFC 96
#define SQLT_AVC 97
#define SQLT_IBFLOAT 100
#define SQLT_IBDOUBLE 101
#define SQLT_CUR 102
#define SQLT_RDD 104
#define SQLT_NTY 108
#define SQLT_REF 110
#define SQLT_CLOB 112
#define SQLT_BLOB 113
#define SQLT_BFILEE 114
#define SQLT_RSET 116
#define SQLT_ODT 156
#define SQLT_TIMESTAMP 187

#define OCI_NUMBER_UNSIGNED 0
#define OCI_NUMBER_SIGNED 2

#define SQLCS_IMPLICIT 1
#define SQLCS_NCHAR 2

/* OCI7 function codes kept in the data area's fc field. */
#define OCI7_FC_OEXEC 4
#define OCI7_FC_ODEFIN 8
#define OCI7_FC_OFEN 12
#define OCI7_FC_OOPEN 14
#define OCI7_FC_OCLOSE 16
#define OCI7_FC_OPARSE 54
#define OCI7_FC_OEXFET 56
#define OCI7_FC_ODESCR 60
#define OCI7_FC_OBNDRA 62
#define OCI7_FC_OBNDRV 28
#define OCI7_FC_OBNDRN 30
#define OCI7_FC_OCAN 52
#define OCI7_FC_OFLNG 58
#define OCI7_FC_OBINDPS 63
#define OCI7_FC_ODEFINPS 64

/* ---- OCI7 entry points ---- */
OCIEMU_API sword orlon(Cda_Def* lda, ub1* hda, OraText* uid, sword uidl, OraText* pswd, sword pswdl,
                       sword audit);
OCIEMU_API sword olog(Cda_Def* lda, ub1* hda, OraText* uid, sword uidl, OraText* psw, sword pswl,
                      OraText* conn, sword connl, ub4 mode);
OCIEMU_API sword ologof(Cda_Def* lda);
OCIEMU_API sword oerhms(Cda_Def* lda, sb2 rcode, OraText* buf, sword bufsiz);
OCIEMU_API sword oopen(Cda_Def* cursor, Cda_Def* lda, OraText* dbn, sword dbnl, sword arsize,
                       OraText* uid, sword uidl);
OCIEMU_API sword oparse(Cda_Def* cursor, OraText* sqlstm, sb4 sqllen, sword defflg, ub4 lngflg);
OCIEMU_API sword odefin(Cda_Def* cursor, sword pos, ub1* buf, sword bufl, sword ftype, sword scale,
                        sb2* indp, OraText* fmt, sword fmtl, sword fmtt, ub2* rlen, ub2* rcode);
OCIEMU_API sword oexfet(Cda_Def* cursor, ub4 nrows, sword cancel, sword exact);
OCIEMU_API sword ofen(Cda_Def* cursor, sword nrows);
OCIEMU_API sword oflng(Cda_Def* cursor, sword pos, ub1* buf, sb4 bufl, sword dtype, ub4* retl,
                       sb4 offset);
OCIEMU_API sword oclose(Cda_Def* cursor);
OCIEMU_API sword odescr(Cda_Def* cursor, sword pos, sb4* dbsize, sb2* dbtype, sb1* cbuf, sb4* cbufl,
                        sb4* dsize, sb2* prec, sb2* scale, sb2* nullok);
OCIEMU_API sword oexec(Cda_Def* cursor);
OCIEMU_API sword oexn(Cda_Def* cursor, sword iters, sword rowoff);
OCIEMU_API sword ocom(Cda_Def* lda);
OCIEMU_API sword orol(Cda_Def* lda);
OCIEMU_API sword ocon(Cda_Def* lda);
OCIEMU_API sword ocof(Cda_Def* lda);
OCIEMU_API sword obreak(Cda_Def* lda);
OCIEMU_API sword obndra(Cda_Def* cursor, OraText* sqlvar, sword sqlvl, ub1* progv, sword progvl,
                        sword ftype, sword scale, sb2* indp, ub2* alen, ub2* arcode, ub4 maxsiz,
                        ub4* cursiz, OraText* fmt, sword fmtl, sword fmtt);
OCIEMU_API sword odessp(Cda_Def* cursor, OraText* objnam, size_t onlen, ub1* rsv1, size_t rsv1ln,
                        ub1* rsv2, size_t rsv2ln, ub2* ovrld, ub2* pos, ub2* level,
                        OraText** argnam, ub2* arnlen, ub2* dtype, ub1* defsup, ub1* mode,
                        ub4* dtsiz, sb2* prec, sb2* scale, ub1* radix, ub4* spare, ub4* arrsiz);
OCIEMU_API sword opinit(ub4 mode);
OCIEMU_API sword obndrv(Cda_Def* cursor, OraText* sqlvar, sword sqlvl, ub1* progv, sword progvl,
                        sword ftype, sword scale, sb2* indp, OraText* fmt, sword fmtl, sword fmtt);
OCIEMU_API sword obndrn(Cda_Def* cursor, sword sqlvn, ub1* progv, sword progvl, sword ftype,
                        sword scale, sb2* indp, OraText* fmt, sword fmtl, sword fmtt);
OCIEMU_API sword obindps(Cda_Def* cursor, ub1 opcode, OraText* sqlvar, sb4 sqlvl, ub1* pvctx,
                         sb4 progvl, sword ftype, sword scale, sb2* indp, ub2* alen, ub2* arcode,
                         sb4 pv_skip, sb4 ind_skip, sb4 alen_skip, sb4 rc_skip, ub4 maxsiz,
                         ub4* cursiz, OraText* fmt, sb4 fmtl, sword fmtt);
OCIEMU_API sword odefinps(Cda_Def* cursor, ub1 opcode, sword pos, ub1* bufctx, sb4 bufl,
                          sword ftype, sword scale, sb2* indp, OraText* fmt, sb4 fmtl, sword fmtt,
                          ub2* rlen, ub2* rcode, sb4 pv_skip, sb4 ind_skip, sb4 alen_skip,
                          sb4 rc_skip);
OCIEMU_API sword ocan(Cda_Def* cursor);

/* ---- OCI8 entry points ---- */
OCIEMU_API sword OCIInitialize(ub4 mode, void* ctxp, void* (*malocfp)(void* ctxp, size_t size),
                               void* (*ralocfp)(void* ctxp, void* memptr, size_t newsize),
                               void (*mfreefp)(void* ctxp, void* memptr));
OCIEMU_API sword OCIEnvCreate(OCIEnv** envp, ub4 mode, void* ctxp,
                              void* (*malocfp)(void* ctxp, size_t size),
                              void* (*ralocfp)(void* ctxp, void* memptr, size_t newsize),
                              void (*mfreefp)(void* ctxp, void* memptr), size_t xtramem_sz,
                              void** usrmempp);
OCIEMU_API sword OCIEnvInit(OCIEnv** envp, ub4 mode, size_t xtramem_sz, void** usrmempp);
OCIEMU_API sword OCIHandleAlloc(const void* parenth, void** hndlpp, ub4 type, size_t xtramem_sz,
                                void** usrmempp);
OCIEMU_API sword OCIHandleFree(void* hndlp, ub4 type);
OCIEMU_API sword OCIDescriptorAlloc(const void* parenth, void** descpp, ub4 type, size_t xtramem_sz,
                                    void** usrmempp);
OCIEMU_API sword OCIDescriptorFree(void* descp, ub4 type);
OCIEMU_API sword OCIServerAttach(OCIServer* srvhp, OCIError* errhp, const OraText* dblink,
                                 sb4 dblink_len, ub4 mode);
OCIEMU_API sword OCIServerDetach(OCIServer* srvhp, OCIError* errhp, ub4 mode);
OCIEMU_API sword OCISessionBegin(OCISvcCtx* svchp, OCIError* errhp, OCISession* usrhp, ub4 credt,
                                 ub4 mode);
OCIEMU_API sword OCISessionEnd(OCISvcCtx* svchp, OCIError* errhp, OCISession* usrhp, ub4 mode);
OCIEMU_API sword OCILogon(OCIEnv* envhp, OCIError* errhp, OCISvcCtx** svchp,
                          const OraText* username, ub4 uname_len, const OraText* password,
                          ub4 passwd_len, const OraText* dbname, ub4 dbname_len);
OCIEMU_API sword OCILogoff(OCISvcCtx* svchp, OCIError* errhp);
OCIEMU_API sword OCIPasswordChange(OCISvcCtx* svchp, OCIError* errhp, const OraText* user_name,
                                   ub4 usernm_len, const OraText* opasswd, ub4 opasswd_len,
                                   const OraText* npasswd, ub4 npasswd_len, ub4 mode);
OCIEMU_API sword OCIStmtPrepare(OCIStmt* stmtp, OCIError* errhp, const OraText* stmt, ub4 stmt_len,
                                ub4 language, ub4 mode);
OCIEMU_API sword OCIBindByPos(OCIStmt* stmtp, OCIBind** bindp, OCIError* errhp, ub4 position,
                              void* valuep, sb4 value_sz, ub2 dty, void* indp, ub2* alenp,
                              ub2* rcodep, ub4 maxarr_len, ub4* curelep, ub4 mode);
OCIEMU_API sword OCIBindByName(OCIStmt* stmtp, OCIBind** bindp, OCIError* errhp,
                               const OraText* placeholder, sb4 placeh_len, void* valuep,
                               sb4 value_sz, ub2 dty, void* indp, ub2* alenp, ub2* rcodep,
                               ub4 maxarr_len, ub4* curelep, ub4 mode);
OCIEMU_API sword OCIBindObject(OCIBind* bindp, OCIError* errhp, const OCIType* type, void** pgvpp,
                               ub4* pvszsp, void** indpp, ub4* indszp);
OCIEMU_API sword OCIBindDynamic(OCIBind* bindp, OCIError* errhp, void* ictxp,
                                OCICallbackInBind icbfp, void* octxp, OCICallbackOutBind ocbfp);
OCIEMU_API sword OCIBindArrayOfStruct(OCIBind* bindp, OCIError* errhp, ub4 pvskip, ub4 indskip,
                                      ub4 alskip, ub4 rcskip);
OCIEMU_API sword OCIStmtGetPieceInfo(OCIStmt* stmtp, OCIError* errhp, void** hndlpp, ub4* typep,
                                     ub1* in_outp, ub4* iterp, ub4* idxp, ub1* piecep);
OCIEMU_API sword OCIStmtSetPieceInfo(void* hndlp, ub4 type, OCIError* errhp, const void* bufp,
                                     ub4* alenp, ub1 piece, const void* indp, ub2* rcodep);
OCIEMU_API sword OCIStmtExecute(OCISvcCtx* svchp, OCIStmt* stmtp, OCIError* errhp, ub4 iters,
                                ub4 rowoff, const OCISnapshot* snap_in, OCISnapshot* snap_out,
                                ub4 mode);
OCIEMU_API sword OCIDefineByPos(OCIStmt* stmtp, OCIDefine** defnp, OCIError* errhp, ub4 position,
                                void* valuep, sb4 value_sz, ub2 dty, void* indp, ub2* rlenp,
                                ub2* rcodep, ub4 mode);
OCIEMU_API sword OCIDefineObject(OCIDefine* defnp, OCIError* errhp, const OCIType* type,
                                 void** pgvpp, ub4* pvszsp, void** indpp, ub4* indszp);
OCIEMU_API sword OCIDefineDynamic(OCIDefine* defnp, OCIError* errhp, void* octxp,
                                  OCICallbackDefine ocbfp);
OCIEMU_API sword OCIDefineArrayOfStruct(OCIDefine* defnp, OCIError* errhp, ub4 pvskip, ub4 indskip,
                                        ub4 rlskip, ub4 rcskip);
OCIEMU_API sword OCIStmtFetch(OCIStmt* stmtp, OCIError* errhp, ub4 nrows, ub2 orientation,
                              ub4 mode);
OCIEMU_API sword OCIStmtFetch2(OCIStmt* stmtp, OCIError* errhp, ub4 nrows, ub2 orientation,
                               sb4 scrollOffset, ub4 mode);
OCIEMU_API sword OCIStmtGetBindInfo(OCIStmt* stmtp, OCIError* errhp, ub4 size, ub4 startloc,
                                    sb4* found, OraText* bvnp[], ub1 bvnl[], OraText* invp[],
                                    ub1 inpl[], ub1 dupl[], OCIBind** hndl);
OCIEMU_API sword OCIDescribeAny(OCISvcCtx* svchp, OCIError* errhp, void* objptr, ub4 objnm_len,
                                ub1 objptr_typ, ub1 info_level, ub1 objtyp, OCIDescribe* dschp);
OCIEMU_API sword OCIParamGet(const void* hndlp, ub4 htype, OCIError* errhp, void** parmdpp,
                             ub4 pos);
OCIEMU_API sword OCIParamSet(void* hdlp, ub4 htyp, OCIError* errhp, const void* dscp, ub4 dtyp,
                             ub4 pos);
OCIEMU_API sword OCITransStart(OCISvcCtx* svchp, OCIError* errhp, uword timeout, ub4 flags);
OCIEMU_API sword OCITransDetach(OCISvcCtx* svchp, OCIError* errhp, ub4 flags);
OCIEMU_API sword OCITransCommit(OCISvcCtx* svchp, OCIError* errhp, ub4 flags);
OCIEMU_API sword OCITransRollback(OCISvcCtx* svchp, OCIError* errhp, ub4 flags);
OCIEMU_API sword OCITransPrepare(OCISvcCtx* svchp, OCIError* errhp, ub4 flags);
OCIEMU_API sword OCITransForget(OCISvcCtx* svchp, OCIError* errhp, ub4 flags);
OCIEMU_API sword OCIErrorGet(void* hndlp, ub4 recordno, OraText* sqlstate, sb4* errcodep,
                             OraText* bufp, ub4 bufsiz, ub4 type);
OCIEMU_API sword OCILobAppend(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* dst_locp,
                              OCILobLocator* src_locp);
OCIEMU_API sword OCILobAssign(OCIEnv* envhp, OCIError* errhp, const OCILobLocator* src_locp,
                              OCILobLocator** dst_locpp);
OCIEMU_API sword OCILobCharSetForm(OCIEnv* envhp, OCIError* errhp, const OCILobLocator* locp,
                                   ub1* csfrm);
OCIEMU_API sword OCILobCharSetId(OCIEnv* envhp, OCIError* errhp, const OCILobLocator* locp,
                                 ub2* csid);
OCIEMU_API sword OCILobCopy(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* dst_locp,
                            OCILobLocator* src_locp, ub4 amount, ub4 dst_offset, ub4 src_offset);
OCIEMU_API sword OCILobDisableBuffering(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp);
OCIEMU_API sword OCILobEnableBuffering(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp);
OCIEMU_API sword OCILobErase(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, ub4* amount,
                             ub4 offset);
OCIEMU_API sword OCILobFileClose(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* filep);
OCIEMU_API sword OCILobFileCloseAll(OCISvcCtx* svchp, OCIError* errhp);
OCIEMU_API sword OCILobFileExists(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* filep,
                                  boolean* flag);
OCIEMU_API sword OCILobFileGetName(OCIEnv* envhp, OCIError* errhp, const OCILobLocator* filep,
                                   OraText* dir_alias, ub2* d_length, OraText* filename,
                                   ub2* f_length);
OCIEMU_API sword OCILobFileIsOpen(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* filep,
                                  boolean* flag);
OCIEMU_API sword OCILobFileOpen(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* filep, ub1 mode);
OCIEMU_API sword OCILobFileSetName(OCIEnv* envhp, OCIError* errhp, OCILobLocator** filepp,
                                   const OraText* dir_alias, ub2 d_length, const OraText* filename,
                                   ub2 f_length);
OCIEMU_API sword OCILobFlushBuffer(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp,
                                   ub4 flag);
OCIEMU_API sword OCILobGetLength(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, ub4* lenp);
OCIEMU_API sword OCILobIsEqual(OCIEnv* envhp, const OCILobLocator* x, const OCILobLocator* y,
                               boolean* is_equal);
OCIEMU_API sword OCILobLoadFromFile(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* dst_locp,
                                    OCILobLocator* src_filep, ub4 amount, ub4 dst_offset,
                                    ub4 src_offset);
OCIEMU_API sword OCILobLocatorIsInit(OCIEnv* envhp, OCIError* errhp, const OCILobLocator* locp,
                                     boolean* is_initialized);
OCIEMU_API sword OCILobRead(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, ub4* amtp,
                            ub4 offset, void* bufp, ub4 bufl, void* ctxp, OCICallbackLobRead cbfp,
                            ub2 csid, ub1 csfrm);
OCIEMU_API sword OCILobTrim(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, ub4 newlen);
OCIEMU_API sword OCILobWrite(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, ub4* amtp,
                             ub4 offset, void* bufp, ub4 buflen, ub1 piece, void* ctxp,
                             OCICallbackLobWrite cbfp, ub2 csid, ub1 csfrm);
OCIEMU_API sword OCIBreak(void* hndlp, OCIError* errhp);
OCIEMU_API sword OCIServerVersion(void* hndlp, OCIError* errhp, OraText* bufp, ub4 bufsz,
                                  ub1 hndltype);
OCIEMU_API sword OCIAttrGet(const void* trgthndlp, ub4 trghndltyp, void* attributep, ub4* sizep,
                            ub4 attrtype, OCIError* errhp);
OCIEMU_API sword OCIAttrSet(void* trgthndlp, ub4 trghndltyp, void* attributep, ub4 size,
                            ub4 attrtype, OCIError* errhp);
OCIEMU_API sword OCISvcCtxToLda(OCISvcCtx* svchp, OCIError* errhp, Lda_Def* ldap);
OCIEMU_API sword OCILdaToSvcCtx(OCISvcCtx** svchpp, OCIError* errhp, Lda_Def* ldap);
OCIEMU_API sword OCIResultSetToStmt(OCIResult* rsetdp, OCIError* errhp);
OCIEMU_API sword OCIObjectUnpin(OCIEnv* env, OCIError* err, void* object);
OCIEMU_API sword OCIObjectLock(OCIEnv* env, OCIError* err, void* object);
OCIEMU_API sword OCIObjectMarkUpdate(OCIEnv* env, OCIError* err, void* object);
OCIEMU_API sword OCIObjectUnmark(OCIEnv* env, OCIError* err, void* object);
OCIEMU_API sword OCIObjectMarkDelete(OCIEnv* env, OCIError* err, void* instance);
OCIEMU_API sword OCIObjectFlush(OCIEnv* env, OCIError* err, void* object);
OCIEMU_API sword OCIObjectCopy(OCIEnv* env, OCIError* err, const OCISvcCtx* svc, void* source,
                               void* null_source, void* target, void* null_target, OCIType* tdo,
                               OCIDuration duration, ub1 option);
OCIEMU_API sword OCIObjectGetTypeRef(OCIEnv* env, OCIError* err, void* instance, OCIRef* type_ref);
OCIEMU_API sword OCIObjectGetObjectRef(OCIEnv* env, OCIError* err, void* object,
                                       OCIRef* object_ref);
OCIEMU_API sword OCIObjectGetInd(OCIEnv* env, OCIError* err, void* instance, void** null_struct);
OCIEMU_API sword OCIObjectExists(OCIEnv* env, OCIError* err, void* ins, boolean* exist);
OCIEMU_API sword OCIObjectIsLocked(OCIEnv* env, OCIError* err, void* ins, boolean* lock);
OCIEMU_API sword OCIObjectIsDirty(OCIEnv* env, OCIError* err, void* ins, boolean* dirty);
OCIEMU_API sword OCIObjectRefresh(OCIEnv* env, OCIError* err, void* object);
OCIEMU_API sword OCIObjectPinTable(OCIEnv* env, OCIError* err, const OCISvcCtx* svc,
                                   const oratext* schema_name, ub4 s_n_length,
                                   const oratext* object_name, ub4 o_n_length,
                                   const OCIRef* scope_obj_ref, OCIDuration pin_duration,
                                   void** object);
OCIEMU_API sword OCIObjectNew(OCIEnv* env, OCIError* err, const OCISvcCtx* svc,
                              OCITypeCode typecode, OCIType* tdo, void* table, OCIDuration duration,
                              boolean value, void** instance);
OCIEMU_API sword OCIObjectPin(OCIEnv* env, OCIError* err, OCIRef* object_ref,
                              OCIComplexObject* corhdl, OCIPinOpt pin_option,
                              OCIDuration pin_duration, OCILockOpt lock_option, void** object);
OCIEMU_API sword OCIObjectFree(OCIEnv* env, OCIError* err, void* instance, ub2 flags);
OCIEMU_API sword OCITypeByName(OCIEnv* env, OCIError* err, const OCISvcCtx* svc,
                               const oratext* schema_name, ub4 s_length, const oratext* type_name,
                               ub4 t_length, const oratext* version_name, ub4 v_length,
                               OCIDuration pin_duration, OCITypeGetOpt get_option, OCIType** tdo);
OCIEMU_API sword OCIObjectGetAttr(OCIEnv* env, OCIError* err, void* instance, void* null_struct,
                                  OCIType* tdo, const oratext** names, const ub4* lengths,
                                  const ub4 name_count, const ub4* indexes, const ub4 index_count,
                                  OCIInd* attr_null_status, void** attr_null_struct,
                                  void** attr_value, OCIType** attr_tdo);
OCIEMU_API sword OCIObjectSetAttr(OCIEnv* env, OCIError* err, void* instance, void* null_struct,
                                  OCIType* tdo, const oratext** names, const ub4* lengths,
                                  const ub4 name_count, const ub4* indexes, const ub4 index_count,
                                  const OCIInd null_status, const void* attr_null_struct,
                                  const void* attr_value);
OCIEMU_API oratext* OCIStringPtr(OCIEnv* env, const OCIString* vs);
OCIEMU_API sword OCIStringAssignText(OCIEnv* env, OCIError* err, const oratext* rhs, ub4 rhs_len,
                                     OCIString** lhs);
OCIEMU_API sword OCINumberFromInt(OCIError* err, const void* inum, uword inum_length,
                                  uword inum_s_flag, OCINumber* number);
OCIEMU_API sword OCINumberToInt(OCIError* err, const OCINumber* number, uword rsl_length,
                                uword rsl_flag, void* rsl);
OCIEMU_API sword OCINumberFromReal(OCIError* err, const void* rnum, uword rnum_length,
                                   OCINumber* number);
OCIEMU_API sword OCINumberToReal(OCIError* err, const OCINumber* number, uword rsl_length,
                                 void* rsl);
OCIEMU_API sword OCINumberToText(OCIError* err, const OCINumber* number, const oratext* fmt,
                                 ub4 fmt_length, const oratext* nls_params, ub4 nls_p_length,
                                 ub4* buf_size, oratext* buf);
OCIEMU_API sword OCINumberFromText(OCIError* err, const oratext* str, ub4 str_length,
                                   const oratext* fmt, ub4 fmt_length, const oratext* nls_params,
                                   ub4 nls_p_length, OCINumber* number);
OCIEMU_API ub1* OCIRawPtr(OCIEnv* env, const OCIRaw* raw);
OCIEMU_API ub4 OCIRawSize(OCIEnv* env, const OCIRaw* raw);
OCIEMU_API sword OCIRawAssignBytes(OCIEnv* env, OCIError* err, const ub1* rhs, ub4 rhs_len,
                                   OCIRaw** lhs);
OCIEMU_API sword OCIRefAssign(OCIEnv* env, OCIError* err, const OCIRef* source, OCIRef** target);
OCIEMU_API void OCIRefClear(OCIEnv* env, OCIRef* ref);
OCIEMU_API boolean OCIRefIsNull(OCIEnv* env, const OCIRef* ref);
OCIEMU_API sword OCIRefFromHex(OCIEnv* env, OCIError* err, const OCISvcCtx* svc, const oratext* hex,
                               ub4 length, OCIRef** ref);
OCIEMU_API ub4 OCIRefHexSize(OCIEnv* env, const OCIRef* ref);
OCIEMU_API sword OCIRefToHex(OCIEnv* env, OCIError* err, const OCIRef* ref, oratext* hex,
                             ub4* hex_length);
OCIEMU_API sword OCICollSize(OCIEnv* env, OCIError* err, const OCIColl* coll, sb4* size);
OCIEMU_API sword OCICollTrim(OCIEnv* env, OCIError* err, sb4 trim_num, OCIColl* coll);
OCIEMU_API sb4 OCICollMax(OCIEnv* env, const OCIColl* coll);
OCIEMU_API sword OCICollGetElem(OCIEnv* env, OCIError* err, const OCIColl* coll, sb4 index,
                                boolean* exists, void** elem, void** elemind);
OCIEMU_API sword OCICollAssignElem(OCIEnv* env, OCIError* err, sb4 index, const void* elem,
                                   const void* elemind, OCIColl* coll);
OCIEMU_API sword OCICollAppend(OCIEnv* env, OCIError* err, const void* elem, const void* elemind,
                               OCIColl* coll);
OCIEMU_API sword OCITableDelete(OCIEnv* env, OCIError* err, sb4 index, OCITable* tbl);
OCIEMU_API sword OCICacheFlush(OCIEnv* env, OCIError* err, const OCISvcCtx* svc, void* context,
                               OCIRef* (*get)(void* context, ub1* last), OCIRef** ref);

/* The rest of the OCINumber family. */
OCIEMU_API sword OCINumberAssign(OCIError* err, const OCINumber* from, OCINumber* to);
OCIEMU_API sword OCINumberCmp(OCIError* err, const OCINumber* number1, const OCINumber* number2,
                              sword* result);
OCIEMU_API sword OCINumberSign(OCIError* err, const OCINumber* number, sword* result);
OCIEMU_API sword OCINumberIsZero(OCIError* err, const OCINumber* number, boolean* result);
OCIEMU_API sword OCINumberIsInt(OCIError* err, const OCINumber* number, boolean* result);
OCIEMU_API void OCINumberSetZero(OCIError* err, OCINumber* num);
OCIEMU_API void OCINumberSetPi(OCIError* err, OCINumber* num);
OCIEMU_API sword OCINumberNeg(OCIError* err, const OCINumber* number, OCINumber* result);
OCIEMU_API sword OCINumberAbs(OCIError* err, const OCINumber* number, OCINumber* result);
OCIEMU_API sword OCINumberAdd(OCIError* err, const OCINumber* number1, const OCINumber* number2,
                              OCINumber* result);
OCIEMU_API sword OCINumberSub(OCIError* err, const OCINumber* number1, const OCINumber* number2,
                              OCINumber* result);
OCIEMU_API sword OCINumberMul(OCIError* err, const OCINumber* number1, const OCINumber* number2,
                              OCINumber* result);
OCIEMU_API sword OCINumberDiv(OCIError* err, const OCINumber* number1, const OCINumber* number2,
                              OCINumber* result);
OCIEMU_API sword OCINumberMod(OCIError* err, const OCINumber* number1, const OCINumber* number2,
                              OCINumber* result);
OCIEMU_API sword OCINumberInc(OCIError* err, OCINumber* number);
OCIEMU_API sword OCINumberDec(OCIError* err, OCINumber* number);
OCIEMU_API sword OCINumberRound(OCIError* err, const OCINumber* number, sword decplace,
                                OCINumber* result);
OCIEMU_API sword OCINumberTrunc(OCIError* err, const OCINumber* number, sword decplace,
                                OCINumber* result);
OCIEMU_API sword OCINumberPrec(OCIError* err, const OCINumber* number, sword nDigs,
                               OCINumber* result);
OCIEMU_API sword OCINumberShift(OCIError* err, const OCINumber* number, sword nDig,
                                OCINumber* result);
OCIEMU_API sword OCINumberFloor(OCIError* err, const OCINumber* number, OCINumber* result);
OCIEMU_API sword OCINumberCeil(OCIError* err, const OCINumber* number, OCINumber* result);
OCIEMU_API sword OCINumberIntPower(OCIError* err, const OCINumber* base, const sword exp,
                                   OCINumber* result);
OCIEMU_API sword OCINumberSqrt(OCIError* err, const OCINumber* number, OCINumber* result);
OCIEMU_API sword OCINumberPower(OCIError* err, const OCINumber* base, const OCINumber* number,
                                OCINumber* result);
OCIEMU_API sword OCINumberExp(OCIError* err, const OCINumber* number, OCINumber* result);
OCIEMU_API sword OCINumberLn(OCIError* err, const OCINumber* number, OCINumber* result);
OCIEMU_API sword OCINumberLog(OCIError* err, const OCINumber* base, const OCINumber* number,
                              OCINumber* result);
OCIEMU_API sword OCINumberSin(OCIError* err, const OCINumber* number, OCINumber* result);
OCIEMU_API sword OCINumberArcSin(OCIError* err, const OCINumber* number, OCINumber* result);
OCIEMU_API sword OCINumberHypSin(OCIError* err, const OCINumber* number, OCINumber* result);
OCIEMU_API sword OCINumberCos(OCIError* err, const OCINumber* number, OCINumber* result);
OCIEMU_API sword OCINumberArcCos(OCIError* err, const OCINumber* number, OCINumber* result);
OCIEMU_API sword OCINumberHypCos(OCIError* err, const OCINumber* number, OCINumber* result);
OCIEMU_API sword OCINumberTan(OCIError* err, const OCINumber* number, OCINumber* result);
OCIEMU_API sword OCINumberArcTan(OCIError* err, const OCINumber* number, OCINumber* result);
OCIEMU_API sword OCINumberArcTan2(OCIError* err, const OCINumber* number1, const OCINumber* number2,
                                  OCINumber* result);
OCIEMU_API sword OCINumberHypTan(OCIError* err, const OCINumber* number, OCINumber* result);

/* The OCIDate family. */
OCIEMU_API sword OCIDateAssign(OCIError* err, const OCIDate* from, OCIDate* to);
OCIEMU_API sword OCIDateToText(OCIError* err, const OCIDate* date, const oratext* fmt,
                               ub1 fmt_length, const oratext* lang_name, ub4 lang_length,
                               ub4* buf_size, oratext* buf);
OCIEMU_API sword OCIDateFromText(OCIError* err, const oratext* date_str, ub4 d_str_length,
                                 const oratext* fmt, ub1 fmt_length, const oratext* lang_name,
                                 ub4 lang_length, OCIDate* date);
OCIEMU_API sword OCIDateCompare(OCIError* err, const OCIDate* date1, const OCIDate* date2,
                                sword* result);
OCIEMU_API sword OCIDateAddMonths(OCIError* err, const OCIDate* date, sb4 num_months,
                                  OCIDate* result);
OCIEMU_API sword OCIDateAddDays(OCIError* err, const OCIDate* date, sb4 num_days, OCIDate* result);
OCIEMU_API sword OCIDateLastDay(OCIError* err, const OCIDate* date, OCIDate* last_day);
OCIEMU_API sword OCIDateDaysBetween(OCIError* err, const OCIDate* date1, const OCIDate* date2,
                                    sb4* num_days);
OCIEMU_API sword OCIDateZoneToZone(OCIError* err, const OCIDate* date1, const oratext* zon1,
                                   ub4 zon1_length, const oratext* zon2, ub4 zon2_length,
                                   OCIDate* date2);
OCIEMU_API sword OCIDateNextDay(OCIError* err, const OCIDate* date, const oratext* day_p,
                                ub4 day_length, OCIDate* next_day);
OCIEMU_API sword OCIDateCheck(OCIError* err, const OCIDate* date, uword* valid);
OCIEMU_API sword OCIDateSysDate(OCIError* err, OCIDate* sys_date);

/* The error-package pair whose presence older clients advertise; their arguments are unknown. */
OCIEMU_API sword ociepgoe(void);
OCIEMU_API sword ociepmsg(void);

/* ---- 8.1 additions ---- */
OCIEMU_API sword OCIDirPathAbort(OCIDirPathCtx* dpctx, OCIError* errhp);
OCIEMU_API sword OCIDirPathFinish(OCIDirPathCtx* dpctx, OCIError* errhp);
OCIEMU_API sword OCIDirPathPrepare(OCIDirPathCtx* dpctx, OCISvcCtx* svchp, OCIError* errhp);
OCIEMU_API sword OCIDirPathColArrayEntrySet(OCIDirPathColArray* dpca, OCIError* errhp, ub4 rownum,
                                            ub2 colIdx, ub1* cvalp, ub4 clen, ub1 cflg);
OCIEMU_API sword OCIDirPathColArrayToStream(OCIDirPathColArray* dpca, const OCIDirPathCtx* dpctx,
                                            OCIDirPathStream* dpstr, OCIError* errhp, ub4 rowcnt,
                                            ub4 rowoff);
OCIEMU_API sword OCIDirPathLoadStream(OCIDirPathCtx* dpctx, OCIDirPathStream* dpstr,
                                      OCIError* errhp);
OCIEMU_API sword OCIDirPathStreamReset(OCIDirPathStream* dpstr, OCIError* errhp);
OCIEMU_API sword OCILobCreateTemporary(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp,
                                       ub2 csid, ub1 csfrm, ub1 lobtype, boolean cache,
                                       OCIDuration duration);
OCIEMU_API sword OCILobFreeTemporary(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp);
OCIEMU_API sword OCILobIsTemporary(OCIEnv* envp, OCIError* errhp, OCILobLocator* locp,
                                   boolean* is_temporary);
OCIEMU_API sword OCIDateTimeToText(void* hndl, OCIError* err, const OCIDateTime* date,
                                   const OraText* fmt, ub1 fmt_length, ub1 fsprec,
                                   const OraText* lang_name, size_t lang_length, ub4* buf_size,
                                   OraText* buf);
OCIEMU_API sword OCIDateTimeFromText(void* hndl, OCIError* err, const OraText* date_str,
                                     size_t dstr_length, const OraText* fmt, ub1 fmt_length,
                                     const OraText* lang_name, size_t lang_length,
                                     OCIDateTime* datetime);
OCIEMU_API sword OCIDateTimeGetDate(void* hndl, OCIError* err, const OCIDateTime* date, sb2* yr,
                                    ub1* mnth, ub1* dy);
OCIEMU_API sword OCIDateTimeGetTime(void* hndl, OCIError* err, OCIDateTime* datetime, ub1* hr,
                                    ub1* mm, ub1* ss, ub4* fsec);
OCIEMU_API sword OCIDateTimeConstruct(void* hndl, OCIError* err, OCIDateTime* datetime, sb2 yr,
                                      ub1 mnth, ub1 dy, ub1 hr, ub1 mm, ub1 ss, ub4 fsec,
                                      OraText* timezone, size_t timezone_length);
OCIEMU_API sword OCIDateTimeAssign(void* hndl, OCIError* err, const OCIDateTime* from,
                                   OCIDateTime* to);
OCIEMU_API sword OCIDateTimeGetTimeZoneOffset(void* hndl, OCIError* err,
                                              const OCIDateTime* datetime, sb1* hr, sb1* mm);

/* The OCIThread package. */
OCIEMU_API void OCIThreadProcessInit(void);
OCIEMU_API sword OCIThreadInit(void* hndl, OCIError* err);
OCIEMU_API sword OCIThreadTerm(void* hndl, OCIError* err);
OCIEMU_API boolean OCIThreadIsMulti(void);
OCIEMU_API sword OCIThreadMutexInit(void* hndl, OCIError* err, OCIThreadMutex** mutex);
OCIEMU_API sword OCIThreadMutexDestroy(void* hndl, OCIError* err, OCIThreadMutex** mutex);
OCIEMU_API sword OCIThreadMutexAcquire(void* hndl, OCIError* err, OCIThreadMutex* mutex);
OCIEMU_API sword OCIThreadMutexRelease(void* hndl, OCIError* err, OCIThreadMutex* mutex);
OCIEMU_API sword OCIThreadKeyInit(void* hndl, OCIError* err, OCIThreadKey** key,
                                  OCIThreadKeyDestFunc destFn);
OCIEMU_API sword OCIThreadKeyDestroy(void* hndl, OCIError* err, OCIThreadKey** key);
OCIEMU_API sword OCIThreadKeyGet(void* hndl, OCIError* err, OCIThreadKey* key, void** pValue);
OCIEMU_API sword OCIThreadKeySet(void* hndl, OCIError* err, OCIThreadKey* key, void* value);
OCIEMU_API sword OCIThreadIdInit(void* hndl, OCIError* err, OCIThreadId** tid);
OCIEMU_API sword OCIThreadIdDestroy(void* hndl, OCIError* err, OCIThreadId** tid);
OCIEMU_API sword OCIThreadIdSet(void* hndl, OCIError* err, OCIThreadId* tidDest,
                                OCIThreadId* tidSrc);
OCIEMU_API sword OCIThreadIdSetNull(void* hndl, OCIError* err, OCIThreadId* tid);
OCIEMU_API sword OCIThreadIdGet(void* hndl, OCIError* err, OCIThreadId* tid);
OCIEMU_API sword OCIThreadIdSame(void* hndl, OCIError* err, OCIThreadId* tid1, OCIThreadId* tid2,
                                 boolean* result);
OCIEMU_API sword OCIThreadIdNull(void* hndl, OCIError* err, OCIThreadId* tid, boolean* result);
OCIEMU_API sword OCIThreadHndInit(void* hndl, OCIError* err, OCIThreadHandle** thnd);
OCIEMU_API sword OCIThreadHndDestroy(void* hndl, OCIError* err, OCIThreadHandle** thnd);
OCIEMU_API sword OCIThreadCreate(void* hndl, OCIError* err, void (*start)(void*), void* arg,
                                 OCIThreadId* tid, OCIThreadHandle* tHnd);
OCIEMU_API sword OCIThreadJoin(void* hndl, OCIError* err, OCIThreadHandle* tHnd);
OCIEMU_API sword OCIThreadClose(void* hndl, OCIError* err, OCIThreadHandle* tHnd);
OCIEMU_API sword OCIThreadHandleGet(void* hndl, OCIError* err, OCIThreadHandle* tHnd);

/* ---- 9.2 additions: the environment with explicit character sets ---- */
OCIEMU_API sword OCIEnvNlsCreate(OCIEnv** envp, ub4 mode, void* ctxp,
                                 void* (*malocfp)(void* ctxp, size_t size),
                                 void* (*ralocfp)(void* ctxp, void* memptr, size_t newsize),
                                 void (*mfreefp)(void* ctxp, void* memptr), size_t xtramem_sz,
                                 void** usrmempp, ub2 charset, ub2 ncharset);

/* ---- session pool and statement cache ---- */
OCIEMU_API sword OCISessionPoolCreate(OCIEnv* envhp, OCIError* errhp, OCISPool* spoolhp,
                                      OraText** poolName, ub4* poolNameLen, const OraText* connStr,
                                      ub4 connStrLen, ub4 sessMin, ub4 sessMax, ub4 sessIncr,
                                      OraText* userid, ub4 useridLen, OraText* password,
                                      ub4 passwordLen, ub4 mode);
OCIEMU_API sword OCISessionPoolDestroy(OCISPool* spoolhp, OCIError* errhp, ub4 mode);
OCIEMU_API sword OCISessionGet(OCIEnv* envhp, OCIError* errhp, OCISvcCtx** svchp,
                               OCIAuthInfo* authhp, OraText* poolName, ub4 poolName_len,
                               const OraText* tagInfo, ub4 tagInfo_len, OraText** retTagInfo,
                               ub4* retTagInfo_len, boolean* found, ub4 mode);
OCIEMU_API sword OCISessionRelease(OCISvcCtx* svchp, OCIError* errhp, OraText* tag, ub4 tag_len,
                                   ub4 mode);
OCIEMU_API sword OCIStmtPrepare2(OCISvcCtx* svchp, OCIStmt** stmtp, OCIError* errhp,
                                 const OraText* stmt, ub4 stmt_len, const OraText* key, ub4 key_len,
                                 ub4 language, ub4 mode);
OCIEMU_API sword OCIStmtRelease(OCIStmt* stmtp, OCIError* errhp, const OraText* key, ub4 key_len,
                                ub4 mode);

/* ---- ociemu's own diagnostics (not part of Oracle's interface) ---- */
/* Environments, handles and descriptors the application allocated and has not freed yet. */
OCIEMU_API long ociemu_live_handles(void);
/* Open database connections: attached servers and OCI7 logons. */
OCIEMU_API long ociemu_live_connections(void);
/* How often the named entry point was called since the library was loaded or counts were reset. */
OCIEMU_API long ociemu_call_count(const char* name);
OCIEMU_API void ociemu_reset_call_counts(void);

#ifdef __cplusplus
}
#endif
