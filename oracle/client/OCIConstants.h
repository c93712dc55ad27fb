// Numbers of Oracle's published call interface: status codes, handle and descriptor types,
// attributes, modes and options, external datatype codes and statement types.
#pragma once

#include "oracle/client/OCITypes.h"

namespace oracle::oci {

// Status of every OCI8 call.
inline constexpr sword OCI_SUCCESS = 0;
inline constexpr sword OCI_SUCCESS_WITH_INFO = 1;
inline constexpr sword OCI_NEED_DATA = 99;
inline constexpr sword OCI_NO_DATA = 100;
inline constexpr sword OCI_RESERVED_FOR_INT_USE = 200;
inline constexpr sword OCI_ERROR = -1;
inline constexpr sword OCI_INVALID_HANDLE = -2;
inline constexpr sword OCI_STILL_EXECUTING = -3123;
inline constexpr sword OCI_CONTINUE = -24200;

// Handle types.
inline constexpr ub4 OCI_HTYPE_ENV = 1;
inline constexpr ub4 OCI_HTYPE_ERROR = 2;
inline constexpr ub4 OCI_HTYPE_SVCCTX = 3;
inline constexpr ub4 OCI_HTYPE_STMT = 4;
inline constexpr ub4 OCI_HTYPE_BIND = 5;
inline constexpr ub4 OCI_HTYPE_DEFINE = 6;
inline constexpr ub4 OCI_HTYPE_DESCRIBE = 7;
inline constexpr ub4 OCI_HTYPE_SERVER = 8;
inline constexpr ub4 OCI_HTYPE_SESSION = 9;
inline constexpr ub4 OCI_HTYPE_AUTHINFO = 9;
inline constexpr ub4 OCI_HTYPE_TRANS = 10;
inline constexpr ub4 OCI_HTYPE_COMPLEXOBJECT = 11;
inline constexpr ub4 OCI_HTYPE_SECURITY = 12;
inline constexpr ub4 OCI_HTYPE_SUBSCRIPTION = 13;
inline constexpr ub4 OCI_HTYPE_DIRPATH_CTX = 14;
inline constexpr ub4 OCI_HTYPE_DIRPATH_COLUMN_ARRAY = 15;
inline constexpr ub4 OCI_HTYPE_DIRPATH_STREAM = 16;
inline constexpr ub4 OCI_HTYPE_CPOOL = 26;
inline constexpr ub4 OCI_HTYPE_SPOOL = 27;
inline constexpr ub4 OCI_HTYPE_ADMIN = 28;
inline constexpr ub4 OCI_HTYPE_EVENT = 29;

// Descriptor types.
inline constexpr ub4 OCI_DTYPE_LOB = 50;
inline constexpr ub4 OCI_DTYPE_SNAP = 51;
inline constexpr ub4 OCI_DTYPE_RSET = 52;
inline constexpr ub4 OCI_DTYPE_PARAM = 53;
inline constexpr ub4 OCI_DTYPE_ROWID = 54;
inline constexpr ub4 OCI_DTYPE_COMPLEXOBJECTCOMP = 55;
inline constexpr ub4 OCI_DTYPE_FILE = 56;
inline constexpr ub4 OCI_DTYPE_LOCATOR = 61;
inline constexpr ub4 OCI_DTYPE_INTERVAL_YM = 62;
inline constexpr ub4 OCI_DTYPE_INTERVAL_DS = 63;
inline constexpr ub4 OCI_DTYPE_DATE = 65;
inline constexpr ub4 OCI_DTYPE_TIME = 66;
inline constexpr ub4 OCI_DTYPE_TIME_TZ = 67;
inline constexpr ub4 OCI_DTYPE_TIMESTAMP = 68;
inline constexpr ub4 OCI_DTYPE_TIMESTAMP_TZ = 69;
inline constexpr ub4 OCI_DTYPE_TIMESTAMP_LTZ = 70;

// Attributes. The same number means different things on different handle types.
inline constexpr ub4 OCI_ATTR_DATA_SIZE = 1;         // param: ub2
inline constexpr ub4 OCI_ATTR_DATA_TYPE = 2;         // param: ub2
inline constexpr ub4 OCI_ATTR_DISP_SIZE = 3;         // param
inline constexpr ub4 OCI_ATTR_NAME = 4;              // param: text
inline constexpr ub4 OCI_ATTR_ENV = 5;               // most handles: OCIEnv*
inline constexpr ub4 OCI_ATTR_PRECISION = 5;         // param: sb2 implicit / ub1 explicit describe
inline constexpr ub4 OCI_ATTR_SERVER = 6;            // svcctx: OCIServer*
inline constexpr ub4 OCI_ATTR_SCALE = 6;             // param: sb1
inline constexpr ub4 OCI_ATTR_SESSION = 7;           // svcctx: OCISession*
inline constexpr ub4 OCI_ATTR_IS_NULL = 7;           // param: ub1
inline constexpr ub4 OCI_ATTR_TRANS = 8;             // svcctx: OCITrans*
inline constexpr ub4 OCI_ATTR_TYPE_NAME = 8;         // param: text
inline constexpr ub4 OCI_ATTR_ROW_COUNT = 9;         // stmt: ub4
inline constexpr ub4 OCI_ATTR_SCHEMA_NAME = 9;       // param: text
inline constexpr ub4 OCI_ATTR_SQLFNCODE = 10;        // stmt: ub2
inline constexpr ub4 OCI_ATTR_SUB_NAME = 10;         // param: text
inline constexpr ub4 OCI_ATTR_PREFETCH_ROWS = 11;    // stmt: ub4
inline constexpr ub4 OCI_ATTR_POSITION = 11;         // param: ub2
inline constexpr ub4 OCI_ATTR_PREFETCH_MEMORY = 13;  // stmt: ub4
inline constexpr ub4 OCI_ATTR_PARAM_COUNT = 18;      // stmt: ub4
inline constexpr ub4 OCI_ATTR_ROWID = 19;            // stmt: an allocated rowid descriptor
inline constexpr ub4 OCI_ATTR_USERNAME = 22;         // session, authinfo: text
inline constexpr ub4 OCI_ATTR_PASSWORD = 23;         // session, authinfo: text
inline constexpr ub4 OCI_ATTR_STMT_TYPE = 24;        // stmt: ub2
inline constexpr ub4 OCI_ATTR_CHARSET_ID = 31;       // ub2
inline constexpr ub4 OCI_ATTR_CHARSET_FORM = 32;     // ub1
inline constexpr ub4 OCI_ATTR_REF_TDO = 110;         // param: OCIRef*
inline constexpr ub4 OCI_ATTR_NUM_ATTRS = 120;
inline constexpr ub4 OCI_ATTR_PTYPE = 123;           // describe param: ub1
inline constexpr ub4 OCI_ATTR_PARAM = 124;           // describe handle: OCIParam*
inline constexpr ub4 OCI_ATTR_LTYPE = 128;           // list param: ub1
inline constexpr ub4 OCI_ATTR_PARSE_ERROR_OFFSET = 129;  // ub2
inline constexpr ub4 OCI_ATTR_STMTCACHESIZE = 176;   // svcctx: ub4
inline constexpr ub4 OCI_ATTR_ROWS_FETCHED = 197;    // stmt: ub4
inline constexpr ub4 OCI_ATTR_SPOOL_STMTCACHESIZE = 208;
inline constexpr ub4 OCI_ATTR_TYPECODE = 216;        // param: OCITypeCode
inline constexpr ub4 OCI_ATTR_COLLECTION_TYPECODE = 217;
inline constexpr ub4 OCI_ATTR_COLLECTION_ELEMENT = 227;
inline constexpr ub4 OCI_ATTR_NUM_TYPE_ATTRS = 228;  // param: ub2
inline constexpr ub4 OCI_ATTR_LIST_TYPE_ATTRS = 229;
inline constexpr ub4 OCI_ATTR_IS_FINAL_TYPE = 279;   // param: ub1
inline constexpr ub4 OCI_ATTR_CHAR_USED = 285;       // param: ub1
inline constexpr ub4 OCI_ATTR_CHAR_SIZE = 286;       // param: ub2
inline constexpr ub4 OCI_ATTR_SPOOL_TIMEOUT = 308;
inline constexpr ub4 OCI_ATTR_SPOOL_GETMODE = 309;
inline constexpr ub4 OCI_ATTR_SPOOL_BUSY_COUNT = 310;
inline constexpr ub4 OCI_ATTR_SPOOL_OPEN_COUNT = 311;
inline constexpr ub4 OCI_ATTR_SPOOL_MIN = 312;
inline constexpr ub4 OCI_ATTR_SPOOL_MAX = 313;
inline constexpr ub4 OCI_ATTR_SPOOL_INCR = 314;

// Modes and options.
inline constexpr ub4 OCI_DEFAULT = 0x0;
inline constexpr ub4 OCI_THREADED = 0x1;
inline constexpr ub4 OCI_OBJECT = 0x2;
inline constexpr ub4 OCI_EVENTS = 0x4;
inline constexpr ub4 OCI_NO_UCB = 0x40;
inline constexpr ub4 OCI_NO_MUTEX = 0x80;
inline constexpr ub4 OCI_UTF16 = 0x4000;
inline constexpr ub4 OCI_NEW_LENGTH_SEMANTICS = 0x20000;
inline constexpr ub4 OCI_ENV_NO_UCB = 0x01;    // OCIEnvInit only
inline constexpr ub4 OCI_ENV_NO_MUTEX = 0x08;  // OCIEnvInit only

inline constexpr ub4 OCI_CRED_RDBMS = 1;
inline constexpr ub4 OCI_CRED_EXT = 2;
inline constexpr ub4 OCI_CRED_PROXY = 3;
inline constexpr ub4 OCI_MIGRATE = 0x1;
inline constexpr ub4 OCI_SYSDBA = 0x2;
inline constexpr ub4 OCI_SYSOPER = 0x4;
inline constexpr ub4 OCI_PRELIM_AUTH = 0x8;
inline constexpr ub4 OCI_STMT_CACHE = 0x40;
inline constexpr ub4 OCI_SYSASM = 0x8000;
inline constexpr ub4 OCI_AUTH = 0x08;  // OCIPasswordChange
inline constexpr ub4 OCI_CPOOL = 0x200;

inline constexpr ub4 OCI_BATCH_MODE = 0x01;
inline constexpr ub4 OCI_EXACT_FETCH = 0x02;
inline constexpr ub4 OCI_STMT_SCROLLABLE_READONLY = 0x08;
inline constexpr ub4 OCI_DESCRIBE_ONLY = 0x10;
inline constexpr ub4 OCI_COMMIT_ON_SUCCESS = 0x20;
inline constexpr ub4 OCI_BATCH_ERRORS = 0x80;
inline constexpr ub4 OCI_PARSE_ONLY = 0x100;
inline constexpr ub4 OCI_DATA_AT_EXEC = 2;
inline constexpr ub4 OCI_DYNAMIC_FETCH = 2;

inline constexpr ub2 OCI_FETCH_CURRENT = 0x01;
inline constexpr ub2 OCI_FETCH_NEXT = 0x02;
inline constexpr ub2 OCI_FETCH_FIRST = 0x04;
inline constexpr ub2 OCI_FETCH_LAST = 0x08;
inline constexpr ub2 OCI_FETCH_PRIOR = 0x10;
inline constexpr ub2 OCI_FETCH_ABSOLUTE = 0x20;
inline constexpr ub2 OCI_FETCH_RELATIVE = 0x40;

inline constexpr ub4 OCI_NTV_SYNTAX = 1;
inline constexpr ub4 OCI_V7_SYNTAX = 2;
inline constexpr ub4 OCI_V8_SYNTAX = 3;

inline constexpr ub1 OCI_ONE_PIECE = 0;
inline constexpr ub1 OCI_FIRST_PIECE = 1;
inline constexpr ub1 OCI_NEXT_PIECE = 2;
inline constexpr ub1 OCI_LAST_PIECE = 3;

inline constexpr ub4 OCI_PREP2_CACHE_SEARCHONLY = 0x10;
inline constexpr ub4 OCI_PREP2_GET_PLSQL_WARNINGS = 0x20;
inline constexpr ub4 OCI_PREP2_IMPL_RESULTS_CLIENT = 0x400;
inline constexpr ub4 OCI_STRLS_CACHE_DELETE = 0x10;

inline constexpr ub4 OCI_SPC_REINITIALIZE = 0x1;
inline constexpr ub4 OCI_SPC_HOMOGENEOUS = 0x2;
inline constexpr ub4 OCI_SPC_STMTCACHE = 0x4;
inline constexpr ub4 OCI_SPC_NO_RLB = 0x8;
inline constexpr ub4 OCI_SESSGET_SPOOL = 0x1;
inline constexpr ub4 OCI_SESSGET_STMTCACHE = 0x4;
inline constexpr ub4 OCI_SESSGET_CREDPROXY = 0x8;
inline constexpr ub4 OCI_SESSGET_CREDEXT = 0x10;
inline constexpr ub4 OCI_SESSGET_SPOOL_MATCHANY = 0x20;
inline constexpr ub4 OCI_SESSGET_PURITY_NEW = 0x40;
inline constexpr ub4 OCI_SESSGET_PURITY_SELF = 0x80;
inline constexpr ub4 OCI_SESSGET_SYSDBA = 0x100;
inline constexpr ub4 OCI_SESSGET_CPOOL = 0x200;
inline constexpr ub4 OCI_SESSRLS_DROPSESS = 1;
inline constexpr ub4 OCI_SESSRLS_RETAG = 2;
inline constexpr ub4 OCI_SPD_FORCE = 1;
inline constexpr ub1 OCI_SPOOL_ATTRVAL_WAIT = 0;
inline constexpr ub1 OCI_SPOOL_ATTRVAL_NOWAIT = 1;
inline constexpr ub1 OCI_SPOOL_ATTRVAL_FORCEGET = 2;
inline constexpr ub1 OCI_SPOOL_ATTRVAL_TIMEDWAIT = 3;

inline constexpr ub4 OCI_TRANS_TWOPHASE = 0x01000000;

inline constexpr int OCI_MARK_DEFAULT = 1;
inline constexpr int OCI_MARK_NONE = 1;
inline constexpr int OCI_MARK_UPDATE = 2;

inline constexpr OCIDuration OCI_DURATION_DEFAULT = 8;
inline constexpr OCIDuration OCI_DURATION_NULL = 9;
inline constexpr OCIDuration OCI_DURATION_BEGIN = 10;
inline constexpr OCIDuration OCI_DURATION_SESSION = 10;
inline constexpr OCIDuration OCI_DURATION_TRANS = 11;
inline constexpr OCIDuration OCI_DURATION_CALL = 12;
inline constexpr OCIDuration OCI_DURATION_STATEMENT = 13;

inline constexpr ub1 OCI_OTYPE_NAME = 1;
inline constexpr ub1 OCI_OTYPE_REF = 2;
inline constexpr ub1 OCI_OTYPE_PTR = 3;

inline constexpr ub1 OCI_PTYPE_UNK = 0;
inline constexpr ub1 OCI_PTYPE_TABLE = 1;
inline constexpr ub1 OCI_PTYPE_VIEW = 2;
inline constexpr ub1 OCI_PTYPE_PROC = 3;
inline constexpr ub1 OCI_PTYPE_FUNC = 4;
inline constexpr ub1 OCI_PTYPE_PKG = 5;
inline constexpr ub1 OCI_PTYPE_TYPE = 6;
inline constexpr ub1 OCI_PTYPE_SYN = 7;
inline constexpr ub1 OCI_PTYPE_SEQ = 8;
inline constexpr ub1 OCI_PTYPE_COL = 9;
inline constexpr ub1 OCI_PTYPE_ARG = 10;
inline constexpr ub1 OCI_PTYPE_LIST = 11;
inline constexpr ub1 OCI_PTYPE_TYPE_ATTR = 12;
inline constexpr ub1 OCI_PTYPE_TYPE_COLL = 13;
inline constexpr ub1 OCI_PTYPE_SCHEMA = 17;
inline constexpr ub1 OCI_PTYPE_DATABASE = 18;

inline constexpr ub1 OCI_LOB_READONLY = 1;
inline constexpr ub1 OCI_LOB_READWRITE = 2;
inline constexpr ub1 OCI_FILE_READONLY = 1;
inline constexpr ub1 OCI_TEMP_BLOB = 1;
inline constexpr ub1 OCI_TEMP_CLOB = 2;
inline constexpr ub4 OCI_LOB_BUFFER_DEFAULT = 0;
inline constexpr ub4 OCI_LOB_BUFFER_FREE = 1;

inline constexpr ub1 SQLCS_IMPLICIT = 1;
inline constexpr ub1 SQLCS_NCHAR = 2;
inline constexpr ub1 SQLCS_EXPLICIT = 3;
inline constexpr ub1 SQLCS_FLEXIBLE = 4;
inline constexpr ub1 SQLCS_LIT_NULL = 5;

inline constexpr uword OCI_NUMBER_UNSIGNED = 0;
inline constexpr uword OCI_NUMBER_SIGNED = 2;

inline constexpr ub2 OCI_OBJECTFREE_FORCE = 0x1;
inline constexpr ub2 OCI_OBJECTFREE_NONULL = 0x2;
inline constexpr ub2 OCI_OBJECTFREE_HEADER = 0x4;

inline constexpr OCIInd OCI_IND_NOTNULL = 0;
inline constexpr OCIInd OCI_IND_NULL = -1;
inline constexpr OCIInd OCI_IND_BADNULL = -2;
inline constexpr OCIInd OCI_IND_NOTNULLABLE = -3;

inline constexpr OCITypeCode OCI_TYPECODE_NUMBER = 2;
inline constexpr OCITypeCode OCI_TYPECODE_VARCHAR2 = 9;
inline constexpr OCITypeCode OCI_TYPECODE_DATE = 12;
inline constexpr OCITypeCode OCI_TYPECODE_OBJECT = 108;
inline constexpr OCITypeCode OCI_TYPECODE_REF = 110;
inline constexpr OCITypeCode OCI_TYPECODE_CLOB = 112;
inline constexpr OCITypeCode OCI_TYPECODE_BLOB = 113;
inline constexpr OCITypeCode OCI_TYPECODE_NAMEDCOLLECTION = 122;
inline constexpr OCITypeCode OCI_TYPECODE_VARRAY = 247;
inline constexpr OCITypeCode OCI_TYPECODE_TABLE = 248;

inline constexpr ub4 OCI_ERROR_MAXMSG_SIZE = 1024;
inline constexpr ub4 OCI_ERROR_MAXMSG_SIZE2 = 3072;

// OCI7 process initialization modes (opinit) and logon modes (olog).
inline constexpr ub4 OCI_EV_DEF = 0;
inline constexpr ub4 OCI_EV_TSF = 1;
inline constexpr ub4 OCI_LM_DEF = 0;
inline constexpr ub4 OCI_LM_NBL = 1;

// External datatype codes.
inline constexpr ub2 SQLT_CHR = 1;
inline constexpr ub2 SQLT_NUM = 2;
inline constexpr ub2 SQLT_INT = 3;
inline constexpr ub2 SQLT_FLT = 4;
inline constexpr ub2 SQLT_STR = 5;
inline constexpr ub2 SQLT_VNU = 6;
inline constexpr ub2 SQLT_LNG = 8;
inline constexpr ub2 SQLT_VCS = 9;
inline constexpr ub2 SQLT_RID = 11;
inline constexpr ub2 SQLT_DAT = 12;
inline constexpr ub2 SQLT_VBI = 15;
inline constexpr ub2 SQLT_BFLOAT = 21;
inline constexpr ub2 SQLT_BDOUBLE = 22;
inline constexpr ub2 SQLT_BIN = 23;
inline constexpr ub2 SQLT_LBI = 24;
inline constexpr ub2 SQLT_UIN = 68;
inline constexpr ub2 SQLT_LVC = 94;
inline constexpr ub2 SQLT_LVB = 95;
inline constexpr ub2 SQLT_AFC = 96;
inline constexpr ub2 SQLT_AVC = 97;
inline constexpr ub2 SQLT_IBFLOAT = 100;
inline constexpr ub2 SQLT_IBDOUBLE = 101;
inline constexpr ub2 SQLT_CUR = 102;
inline constexpr ub2 SQLT_RDD = 104;
inline constexpr ub2 SQLT_LAB = 105;
inline constexpr ub2 SQLT_OSL = 106;
inline constexpr ub2 SQLT_NTY = 108;
inline constexpr ub2 SQLT_REF = 110;
inline constexpr ub2 SQLT_CLOB = 112;
inline constexpr ub2 SQLT_BLOB = 113;
inline constexpr ub2 SQLT_BFILEE = 114;
inline constexpr ub2 SQLT_BFILE = 114;
inline constexpr ub2 SQLT_CFILEE = 115;
inline constexpr ub2 SQLT_RSET = 116;
inline constexpr ub2 SQLT_NCO = 122;
inline constexpr ub2 SQLT_VST = 155;
inline constexpr ub2 SQLT_ODT = 156;
inline constexpr ub2 SQLT_DATE = 184;
inline constexpr ub2 SQLT_TIME = 185;
inline constexpr ub2 SQLT_TIME_TZ = 186;
inline constexpr ub2 SQLT_TIMESTAMP = 187;
inline constexpr ub2 SQLT_TIMESTAMP_TZ = 188;
inline constexpr ub2 SQLT_INTERVAL_YM = 189;
inline constexpr ub2 SQLT_INTERVAL_DS = 190;
inline constexpr ub2 SQLT_TIMESTAMP_LTZ = 232;
inline constexpr ub2 SQLT_PNTY = 241;

// Statement types (OCI_ATTR_STMT_TYPE).
inline constexpr ub2 OCI_STMT_UNKNOWN = 0;
inline constexpr ub2 OCI_STMT_SELECT = 1;
inline constexpr ub2 OCI_STMT_UPDATE = 2;
inline constexpr ub2 OCI_STMT_DELETE = 3;
inline constexpr ub2 OCI_STMT_INSERT = 4;
inline constexpr ub2 OCI_STMT_CREATE = 5;
inline constexpr ub2 OCI_STMT_DROP = 6;
inline constexpr ub2 OCI_STMT_ALTER = 7;
inline constexpr ub2 OCI_STMT_BEGIN = 8;
inline constexpr ub2 OCI_STMT_DECLARE = 9;
inline constexpr ub2 OCI_STMT_CALL = 10;
inline constexpr ub2 OCI_STMT_MERGE = 16;

// Transaction-coordinator connection and enlistment flags.
inline constexpr ub4 ORAMTS_CFLG_ALLDEFAULT = 0x0;
inline constexpr ub4 ORAMTS_CFLG_NOIMPLICIT = 0x1;
inline constexpr ub4 ORAMTS_CFLG_UNIQUESRVR = 0x2;
inline constexpr ub4 ORAMTS_CFLG_SYSDBALOGN = 0x4;
inline constexpr ub4 ORAMTS_CFLG_SYSOPRLOGN = 0x10;
inline constexpr ub4 ORAMTS_CFLG_PRELIMAUTH = 0x20;
inline constexpr ub4 ORAMTS_ENFLG_DEFAULT = 0x0;
inline constexpr ub4 ORAMTS_ENFLG_RESUMTX = 0x1;
inline constexpr ub4 ORAMTS_ENFLG_DETCHTX = 0x2;

}  // namespace oracle::oci
