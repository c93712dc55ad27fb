/* The probe: the calls of each generation are looked up and called straight away; a missing
   entry point would crash it, which is what a driver meets on a library whose exports claim
   a generation they do not deliver. */
#include "GenerationProbe.h"

#include <dlfcn.h>
#include <stdio.h>
#include <string.h>

#include "ociemu/Oci.h"

#define CALL(name) ((__typeof__(&name))dlsym(library, #name))

struct probe {
  int failures;
  char* problem;
  size_t problem_size;
};

static void expect(struct probe* p, int ok, const char* what) {
  if (ok) return;
  if (p->failures == 0) snprintf(p->problem, p->problem_size, "%s", what);
  p->failures++;
}

int probe_generation(void* library) {
  if (dlsym(library, "OCIEnvNlsCreate")) return 92;
  if (dlsym(library, "OCIStmtFetch2")) return 90;
  if (dlsym(library, "OCIEnvCreate")) return 81;
  if (dlsym(library, "OCIInitialize")) return 80;
  return 70;
}

static void run_oci7(void* library, struct probe* p, const char* user, const char* password,
                     const char* database) {
  Lda_Def lda;
  Cda_Def cda;
  ub1 hda[HDA_SIZE];
  char connect[128];
  int value = 0;
  memset(&lda, 0, sizeof lda);
  memset(&cda, 0, sizeof cda);
  memset(hda, 0, sizeof hda);
  snprintf(connect, sizeof connect, "%s/%s@%s", user, password, database);
  expect(p, CALL(olog)(&lda, hda, (OraText*)connect, -1, NULL, -1, NULL, -1, 0) == 0, "olog");
  expect(p, CALL(oopen)(&cda, &lda, NULL, -1, -1, NULL, -1) == 0, "oopen");
  expect(p, CALL(oparse)(&cda, (OraText*)"select 7698 from dual", -1, 0, 2) == 0, "oparse");
  expect(p,
         CALL(odefin)(&cda, 1, (ub1*)&value, sizeof value, SQLT_INT, -1, NULL, NULL, -1, -1, NULL,
                      NULL) == 0,
         "odefin");
  expect(p, CALL(oexec)(&cda) == 0, "oexec");
  expect(p, CALL(ofen)(&cda, 1) == 0 && value == 7698, "ofen");
  expect(p, CALL(oclose)(&cda) == 0, "oclose");
  expect(p, CALL(ocom)(&lda) == 0, "ocom");
  expect(p, CALL(ologof)(&lda) == 0, "ologof");
}

static void run_threads(void* library, struct probe* p, OCIEnv* env, OCIError* err) {
  OCIThreadMutex* mutex = NULL;
  OCIThreadKey* key = NULL;
  OCIThreadId* id = NULL;
  void* value = NULL;
  boolean isNull = 1;
  CALL(OCIThreadProcessInit)();
  expect(p, CALL(OCIThreadInit)(env, err) == OCI_SUCCESS, "OCIThreadInit");
  expect(p, CALL(OCIThreadMutexInit)(env, err, &mutex) == OCI_SUCCESS, "OCIThreadMutexInit");
  expect(p, CALL(OCIThreadMutexAcquire)(env, err, mutex) == OCI_SUCCESS, "OCIThreadMutexAcquire");
  expect(p, CALL(OCIThreadMutexRelease)(env, err, mutex) == OCI_SUCCESS, "OCIThreadMutexRelease");
  expect(p, CALL(OCIThreadMutexDestroy)(env, err, &mutex) == OCI_SUCCESS && !mutex,
         "OCIThreadMutexDestroy");
  expect(p, CALL(OCIThreadKeyInit)(env, err, &key, NULL) == OCI_SUCCESS, "OCIThreadKeyInit");
  expect(p, CALL(OCIThreadKeySet)(env, err, key, &value) == OCI_SUCCESS, "OCIThreadKeySet");
  expect(p, CALL(OCIThreadKeyGet)(env, err, key, &value) == OCI_SUCCESS && value == &value,
         "OCIThreadKeyGet");
  expect(p, CALL(OCIThreadKeyDestroy)(env, err, &key) == OCI_SUCCESS, "OCIThreadKeyDestroy");
  expect(p, CALL(OCIThreadIdInit)(env, err, &id) == OCI_SUCCESS, "OCIThreadIdInit");
  expect(p, CALL(OCIThreadIdGet)(env, err, id) == OCI_SUCCESS, "OCIThreadIdGet");
  expect(p, CALL(OCIThreadIdNull)(env, err, id, &isNull) == OCI_SUCCESS && !isNull,
         "OCIThreadIdNull");
  expect(p, CALL(OCIThreadIdDestroy)(env, err, &id) == OCI_SUCCESS, "OCIThreadIdDestroy");
  expect(p, CALL(OCIThreadIsMulti)() != 0, "OCIThreadIsMulti");
  expect(p, CALL(OCIThreadTerm)(env, err) == OCI_SUCCESS, "OCIThreadTerm");
}

static void run_helpers(void* library, struct probe* p, OCIError* err, const OCIDate* fetched) {
  OCINumber a, b, sum;
  int seven = 7, thirteen = 13;
  oratext text[64];
  ub4 size = sizeof text;
  OCIDate later;
  uword invalid = 1;
  sb4 days = 0;
  expect(p, CALL(OCINumberFromInt)(err, &seven, sizeof seven, OCI_NUMBER_SIGNED, &a) == OCI_SUCCESS,
         "OCINumberFromInt");
  expect(
      p,
      CALL(OCINumberFromInt)(err, &thirteen, sizeof thirteen, OCI_NUMBER_SIGNED, &b) == OCI_SUCCESS,
      "OCINumberFromInt");
  expect(p, CALL(OCINumberAdd)(err, &a, &b, &sum) == OCI_SUCCESS, "OCINumberAdd");
  expect(p,
         CALL(OCINumberToText)(err, &sum, (const oratext*)"FM9999", 6, NULL, 0, &size, text) ==
                 OCI_SUCCESS &&
             size == 2 && memcmp(text, "20", 2) == 0,
         "OCINumberToText");
  expect(p, CALL(OCIDateCheck)(err, fetched, &invalid) == OCI_SUCCESS && invalid == 0,
         "OCIDateCheck");
  expect(p, CALL(OCIDateAddDays)(err, fetched, 3, &later) == OCI_SUCCESS, "OCIDateAddDays");
  expect(p, CALL(OCIDateDaysBetween)(err, &later, fetched, &days) == OCI_SUCCESS && days == 3,
         "OCIDateDaysBetween");
  size = sizeof text;
  expect(p,
         CALL(OCIDateToText)(err, fetched, (const oratext*)"YYYY", 4, NULL, 0, &size, text) ==
                 OCI_SUCCESS &&
             size == 4,
         "OCIDateToText");
  expect(p, CALL(OCIDateSysDate)(err, &later) == OCI_SUCCESS, "OCIDateSysDate");
}

static void run_oci8(void* library, struct probe* p, int generation, const char* user,
                     const char* password, const char* database) {
  OCIEnv* env = NULL;
  OCIError* err = NULL;
  OCIServer* srv = NULL;
  OCISvcCtx* svc = NULL;
  OCISession* sess = NULL;
  OCITrans* trans = NULL;
  OCIStmt* stmt = NULL;
  OCIDefine* d1 = NULL;
  OCIDefine* d2 = NULL;
  int value = 0;
  OCIDate date;
  const char* sql = "select 7698, sysdate from dual";
  memset(&date, 0, sizeof date);

  if (generation >= 92) {
    expect(p,
           CALL(OCIEnvNlsCreate)(&env, OCI_THREADED, NULL, NULL, NULL, NULL, 0, NULL, 0, 0) ==
               OCI_SUCCESS,
           "OCIEnvNlsCreate");
  } else if (generation >= 81) {
    expect(p,
           CALL(OCIEnvCreate)(&env, OCI_THREADED, NULL, NULL, NULL, NULL, 0, NULL) == OCI_SUCCESS,
           "OCIEnvCreate");
  } else {
    expect(p, CALL(OCIInitialize)(OCI_DEFAULT, NULL, NULL, NULL, NULL) == OCI_SUCCESS,
           "OCIInitialize");
    expect(p, CALL(OCIEnvInit)(&env, OCI_DEFAULT, 0, NULL) == OCI_SUCCESS, "OCIEnvInit");
  }
  CALL(OCIHandleAlloc)(env, (void**)&err, OCI_HTYPE_ERROR, 0, NULL);
  CALL(OCIHandleAlloc)(env, (void**)&srv, OCI_HTYPE_SERVER, 0, NULL);
  CALL(OCIHandleAlloc)(env, (void**)&svc, OCI_HTYPE_SVCCTX, 0, NULL);
  CALL(OCIHandleAlloc)(env, (void**)&sess, OCI_HTYPE_SESSION, 0, NULL);
  CALL(OCIHandleAlloc)(env, (void**)&trans, OCI_HTYPE_TRANS, 0, NULL);
  expect(p,
         CALL(OCIServerAttach)(srv, err, (const OraText*)database, (sb4)strlen(database),
                               OCI_DEFAULT) == OCI_SUCCESS,
         "OCIServerAttach");
  CALL(OCIAttrSet)(svc, OCI_HTYPE_SVCCTX, srv, 0, OCI_ATTR_SERVER, err);
  CALL(OCIAttrSet)(sess, OCI_HTYPE_SESSION, (void*)user, (ub4)strlen(user), OCI_ATTR_USERNAME, err);
  CALL(OCIAttrSet)
  (sess, OCI_HTYPE_SESSION, (void*)password, (ub4)strlen(password), OCI_ATTR_PASSWORD, err);
  expect(p, CALL(OCISessionBegin)(svc, err, sess, OCI_CRED_RDBMS, OCI_DEFAULT) == OCI_SUCCESS,
         "OCISessionBegin");
  CALL(OCIAttrSet)(svc, OCI_HTYPE_SVCCTX, sess, 0, OCI_ATTR_SESSION, err);
  CALL(OCIAttrSet)(svc, OCI_HTYPE_SVCCTX, trans, 0, OCI_ATTR_TRANS, err);
  expect(p, CALL(OCITransStart)(svc, err, 60, OCI_TRANS_NEW) == OCI_SUCCESS, "OCITransStart");

  if (generation >= 92) {
    expect(p,
           CALL(OCIStmtPrepare2)(svc, &stmt, err, (const OraText*)sql, (ub4)strlen(sql), NULL, 0,
                                 OCI_NTV_SYNTAX, OCI_DEFAULT) == OCI_SUCCESS,
           "OCIStmtPrepare2");
  } else {
    CALL(OCIHandleAlloc)(env, (void**)&stmt, OCI_HTYPE_STMT, 0, NULL);
    expect(p,
           CALL(OCIStmtPrepare)(stmt, err, (const OraText*)sql, (ub4)strlen(sql), OCI_NTV_SYNTAX,
                                OCI_DEFAULT) == OCI_SUCCESS,
           "OCIStmtPrepare");
  }
  CALL(OCIDefineByPos)
  (stmt, &d1, err, 1, &value, sizeof value, SQLT_INT, NULL, NULL, NULL, OCI_DEFAULT);
  CALL(OCIDefineByPos)
  (stmt, &d2, err, 2, &date, sizeof date, SQLT_ODT, NULL, NULL, NULL, OCI_DEFAULT);
  expect(p, CALL(OCIStmtExecute)(svc, stmt, err, 0, 0, NULL, NULL, OCI_DEFAULT) == OCI_SUCCESS,
         "OCIStmtExecute");
  if (generation >= 90) {
    expect(p, CALL(OCIStmtFetch2)(stmt, err, 1, OCI_FETCH_NEXT, 0, OCI_DEFAULT) == OCI_SUCCESS,
           "OCIStmtFetch2");
  } else {
    expect(p, CALL(OCIStmtFetch)(stmt, err, 1, OCI_FETCH_NEXT, OCI_DEFAULT) == OCI_SUCCESS,
           "OCIStmtFetch");
  }
  expect(p, value == 7698, "fetched value");
  run_helpers(library, p, err, &date);
  if (generation >= 81) run_threads(library, p, env, err);

  if (generation >= 92) {
    expect(p, CALL(OCIStmtRelease)(stmt, err, NULL, 0, OCI_DEFAULT) == OCI_SUCCESS,
           "OCIStmtRelease");
  } else {
    CALL(OCIHandleFree)(stmt, OCI_HTYPE_STMT);
  }
  expect(p, CALL(OCITransCommit)(svc, err, 0) == OCI_SUCCESS, "OCITransCommit");
  expect(p, CALL(OCISessionEnd)(svc, err, sess, OCI_DEFAULT) == OCI_SUCCESS, "OCISessionEnd");
  expect(p, CALL(OCIServerDetach)(srv, err, OCI_DEFAULT) == OCI_SUCCESS, "OCIServerDetach");
  expect(p, CALL(OCIHandleFree)(env, OCI_HTYPE_ENV) == OCI_SUCCESS, "OCIHandleFree");
}

int probe_run(void* library, const char* user, const char* password, const char* database,
              char* problem, size_t problem_size) {
  struct probe p;
  int generation = probe_generation(library);
  p.failures = 0;
  p.problem = problem;
  p.problem_size = problem_size;
  if (problem_size) problem[0] = 0;
  if (generation == 70) {
    run_oci7(library, &p, user, password, database);
  } else {
    run_oci8(library, &p, generation, user, password, database);
  }
  return p.failures;
}
