/* The calls and attributes a client of the 19c generation adds to those of Oci.h, with the
   names and numbers of Oracle's published interface. */
#ifndef OCIEMU_OCI19_H
#define OCIEMU_OCI19_H

#include "ociemu/Oci.h"

/* Attributes of the environment. */
#define OCI_ATTR_ENV_CHARSET_ID OCI_ATTR_CHARSET_ID
#define OCI_ATTR_ENV_NCHARSET_ID 262
/* Attributes of the service context, session and server. */
#define OCI_ATTR_CLIENT_IDENTIFIER 278
#define OCI_ATTR_EDITION 288
#define OCI_ATTR_MODULE 366
#define OCI_ATTR_ACTION 367
#define OCI_ATTR_CLIENT_INFO 368
#define OCI_ATTR_ECONTEXT_ID 419
#define OCI_ATTR_DRIVER_NAME 424
#define OCI_ATTR_CONNECTION_CLASS 425
#define OCI_ATTR_PURITY 426
#define OCI_ATTR_TRANSACTION_IN_PROGRESS 484
#define OCI_ATTR_DBOP 485
#define OCI_ATTR_CALL_TIMEOUT 531
/* Attributes of the error handle. */
#define OCI_ATTR_ERROR_IS_RECOVERABLE 472
#define OCI_ATTR_INTERNAL_NAME 25
#define OCI_ATTR_EXTERNAL_NAME 26
/* Attributes of the statement. */
#define OCI_ATTR_BIND_COUNT 190
#define OCI_ATTR_STMT_IS_RETURNING 218
#define OCI_ATTR_UB8_ROW_COUNT 457
#define OCI_ATTR_IMPLICIT_RESULT_COUNT 463
#define OCI_ATTR_SQL_ID 504
/* Attributes of a parameter (column) descriptor. */
#define OCI_ATTR_JSON_COL 534
/* Items of OCINlsNumericInfoGet. */
#define OCI_NLS_CHARSET_MAXBYTESZ 91
#define OCI_NLS_CHARSET_FIXEDWIDTH 92
/* The layout of the release number OCIServerRelease2 gives (18c and later). */
#define OCI_SERVER_RELEASE_REL(v) (((v) >> 24) & 0x000000FF)
#define OCI_SERVER_RELEASE_REL_UPD(v) (((v) >> 16) & 0x000000FF)
#define OCI_SERVER_RELEASE_REL_UPD_REV(v) (((v) >> 12) & 0x0000000F)
#define OCI_SERVER_RELEASE_REL_UPD_INC(v) (((v) >> 4) & 0x000000FF)
#define OCI_SERVER_RELEASE_EXT(v) (((v) >> 0) & 0x0000000F)

#ifdef __cplusplus
extern "C" {
#endif

OCIEMU_API void OCIClientVersion(sword* major_version, sword* minor_version, sword* update_num,
                                 sword* patch_num, sword* port_update_num);
OCIEMU_API sword OCIServerRelease2(void* hndlp, OCIError* errhp, OraText* bufp, ub4 bufsz,
                                   ub1 hndltype, ub4* version, ub4 mode);
OCIEMU_API sword OCIPing(OCISvcCtx* svchp, OCIError* errhp, ub4 mode);
OCIEMU_API sword OCINlsNumericInfoGet(void* envhp, OCIError* errhp, sb4* val, ub2 item);
OCIEMU_API ub2 OCINlsCharSetNameToId(void* envhp, const oratext* name);
OCIEMU_API sword OCINlsCharSetIdToName(void* envhp, oratext* buf, size_t buflen, ub2 id);
OCIEMU_API sword OCIStmtGetNextResult(OCIStmt* stmthp, OCIError* errhp, void** result, ub4* rtype,
                                      ub4 mode);
OCIEMU_API sword OCIBindByPos2(OCIStmt* stmtp, OCIBind** bindp, OCIError* errhp, ub4 position,
                               void* valuep, sb8 value_sz, ub2 dty, void* indp, ub4* alenp,
                               ub2* rcodep, ub4 maxarr_len, ub4* curelep, ub4 mode);
OCIEMU_API sword OCIBindByName2(OCIStmt* stmtp, OCIBind** bindp, OCIError* errhp,
                                const OraText* placeholder, sb4 placeh_len, void* valuep,
                                sb8 value_sz, ub2 dty, void* indp, ub4* alenp, ub2* rcodep,
                                ub4 maxarr_len, ub4* curelep, ub4 mode);
OCIEMU_API sword OCIDefineByPos2(OCIStmt* stmtp, OCIDefine** defnp, OCIError* errhp, ub4 position,
                                 void* valuep, sb8 value_sz, ub2 dty, void* indp, ub4* rlenp,
                                 ub2* rcodep, ub4 mode);
OCIEMU_API sword OCIArrayDescriptorAlloc(const void* parenth, void** descpp, ub4 type,
                                         ub4 array_size, size_t xtramem_sz, void** usrmempp);
OCIEMU_API sword OCIArrayDescriptorFree(void** descp, ub4 type);
OCIEMU_API sword OCIRowidToChar(OCIRowid* rowidDesc, OraText* outbfp, ub2* outbflp,
                                OCIError* errhp);

#ifdef __cplusplus
}
#endif

#endif
