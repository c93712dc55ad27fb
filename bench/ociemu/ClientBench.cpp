// What ociemu costs a client: a logon and logoff round trip, an array fetch of a million rows of
// (NUMBER, VARCHAR2(30), DATE), 100 rows per fetch call, and an array insert of a million such
// rows, 1,000 rows per execution.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

#include "ociemu/OciClient.h"
#include "ociemu/testing/OracleHome.h"

namespace {

using ociemu::test::OciClient;

constexpr int kRows = 1000000;
constexpr ub4 kBatch = 100;

// One home for the whole run: the database with a million rows is made once.
struct Setup {
  ociemu::testing::OracleHome home;
  std::unique_ptr<OciClient> client;
  Setup() {
    auto db = home.CreateDatabase("bench");
    db.AddAccount("BENCH", "bench");
    db.ExecuteRaw(
        "create table ROWS_1M (N NUMBER(10), S VARCHAR2(30), D DATE);"
        "with recursive c(x) as (select 1 union all select x + 1 from c where x < " +
        std::to_string(kRows) +
        ") insert into ROWS_1M select x, 'row number ' || x, 2451545.0 + x / 1440.0 from c;");
    client = std::make_unique<OciClient>(home.LibraryPath().string());
  }
  static Setup& Get() {
    static Setup setup;
    return setup;
  }
};

struct Session {
  OciClient& oci;
  OCIEnv* env = nullptr;
  OCIError* err = nullptr;
  OCISvcCtx* svc = nullptr;
  OCIServer* srv = nullptr;
  OCISession* sess = nullptr;

  explicit Session(OciClient& client) : oci(client) {
    oci.OCIEnvCreate(&env, OCI_THREADED, nullptr, nullptr, nullptr, nullptr, 0, nullptr);
    oci.OCIHandleAlloc(env, reinterpret_cast<void**>(&err), OCI_HTYPE_ERROR, 0, nullptr);
    oci.OCIHandleAlloc(env, reinterpret_cast<void**>(&svc), OCI_HTYPE_SVCCTX, 0, nullptr);
    oci.OCIHandleAlloc(env, reinterpret_cast<void**>(&srv), OCI_HTYPE_SERVER, 0, nullptr);
    oci.OCIHandleAlloc(env, reinterpret_cast<void**>(&sess), OCI_HTYPE_SESSION, 0, nullptr);
    oci.OCIAttrSet(sess, OCI_HTYPE_SESSION, const_cast<char*>("BENCH"), 5, OCI_ATTR_USERNAME, err);
    oci.OCIAttrSet(sess, OCI_HTYPE_SESSION, const_cast<char*>("bench"), 5, OCI_ATTR_PASSWORD, err);
  }
  ~Session() { oci.OCIHandleFree(env, OCI_HTYPE_ENV); }

  void LogOn() {
    const OraText db[] = "localhost/bench";
    if (oci.OCIServerAttach(srv, err, db, sizeof db - 1, OCI_DEFAULT) != OCI_SUCCESS) {
      throw std::runtime_error("attach failed");
    }
    oci.OCIAttrSet(svc, OCI_HTYPE_SVCCTX, srv, 0, OCI_ATTR_SERVER, err);
    oci.OCIAttrSet(svc, OCI_HTYPE_SVCCTX, sess, 0, OCI_ATTR_SESSION, err);
    if (oci.OCISessionBegin(svc, err, sess, OCI_CRED_RDBMS, OCI_DEFAULT) != OCI_SUCCESS) {
      throw std::runtime_error("logon failed");
    }
  }
  void LogOff() {
    oci.OCISessionEnd(svc, err, sess, OCI_DEFAULT);
    oci.OCIServerDetach(srv, err, OCI_DEFAULT);
  }
};

void BM_LogonLogoff(benchmark::State& state) {
  Session s(*Setup::Get().client);
  for (auto _ : state) {
    s.LogOn();
    s.LogOff();
  }
}
BENCHMARK(BM_LogonLogoff)->Unit(benchmark::kMicrosecond);

// NUMBER fetched as OCINumber (range 0) or as a double (range 1).
void BM_ArrayFetch(benchmark::State& state) {
  Session s(*Setup::Get().client);
  s.LogOn();
  OciClient& oci = s.oci;
  OCIStmt* stmt = nullptr;
  oci.OCIHandleAlloc(s.env, reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT, 0, nullptr);
  const char sql[] = "select n, s, d from rows_1m";
  oci.OCIStmtPrepare(stmt, s.err, reinterpret_cast<const OraText*>(sql), sizeof sql - 1,
                     OCI_NTV_SYNTAX, OCI_DEFAULT);
  const bool asDouble = state.range(0) == 1;
  OCINumber numbers[kBatch];
  double doubles[kBatch];
  char strings[kBatch][30];
  ub2 lengths[kBatch];
  sb2 indicators[3][kBatch];
  ub1 dates[kBatch][7];
  OCIDefine* d[3] = {};
  oci.OCIDefineByPos(stmt, &d[0], s.err, 1, asDouble ? static_cast<void*>(doubles) : numbers,
                     asDouble ? sizeof(double) : sizeof(OCINumber), asDouble ? SQLT_FLT : SQLT_VNU,
                     indicators[0], nullptr, nullptr, 0);
  oci.OCIDefineByPos(stmt, &d[1], s.err, 2, strings, 30, SQLT_CHR, indicators[1], lengths, nullptr,
                     0);
  oci.OCIDefineByPos(stmt, &d[2], s.err, 3, dates, 7, SQLT_DAT, indicators[2], nullptr, nullptr, 0);
  long rows = 0;
  for (auto _ : state) {
    if (oci.OCIStmtExecute(s.svc, stmt, s.err, 0, 0, nullptr, nullptr, OCI_DEFAULT) !=
        OCI_SUCCESS) {
      state.SkipWithError("execute failed");
      break;
    }
    ub4 fetched = 0;
    sword rc;
    do {
      rc = oci.OCIStmtFetch(stmt, s.err, kBatch, OCI_FETCH_NEXT, OCI_DEFAULT);
      oci.OCIAttrGet(stmt, OCI_HTYPE_STMT, &fetched, nullptr, OCI_ATTR_ROWS_FETCHED, s.err);
      rows += fetched;
      benchmark::DoNotOptimize(dates);
    } while (rc == OCI_SUCCESS);
    if (rc != OCI_NO_DATA) {
      state.SkipWithError("fetch failed");
      break;
    }
  }
  state.SetItemsProcessed(rows);
  oci.OCIHandleFree(stmt, OCI_HTYPE_STMT);
  s.LogOff();
}
BENCHMARK(BM_ArrayFetch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ArrayInsert(benchmark::State& state) {
  constexpr ub4 kPerExecution = 1000;
  Session s(*Setup::Get().client);
  s.LogOn();
  OciClient& oci = s.oci;
  int numbers[kPerExecution];
  char strings[kPerExecution][30];
  ub2 lengths[kPerExecution];
  ub1 dates[kPerExecution][7];
  long rows = 0;
  int run = 0;
  for (auto _ : state) {
    state.PauseTiming();
    OCIStmt* stmt = nullptr;
    oci.OCIHandleAlloc(s.env, reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT, 0, nullptr);
    const std::string table = "INSERTED_" + std::to_string(++run);
    const std::string create = "create table " + table + " (N NUMBER(10), S VARCHAR2(30), D DATE)";
    oci.OCIStmtPrepare(stmt, s.err, reinterpret_cast<const OraText*>(create.data()),
                       static_cast<ub4>(create.size()), OCI_NTV_SYNTAX, OCI_DEFAULT);
    oci.OCIStmtExecute(s.svc, stmt, s.err, 1, 0, nullptr, nullptr, OCI_DEFAULT);
    const std::string insert = "insert into " + table + " values (:n, :s, :d)";
    oci.OCIStmtPrepare(stmt, s.err, reinterpret_cast<const OraText*>(insert.data()),
                       static_cast<ub4>(insert.size()), OCI_NTV_SYNTAX, OCI_DEFAULT);
    OCIBind* b[3] = {};
    oci.OCIBindByPos(stmt, &b[0], s.err, 1, numbers, sizeof(int), SQLT_INT, nullptr, nullptr,
                     nullptr, 0, nullptr, OCI_DEFAULT);
    oci.OCIBindByPos(stmt, &b[1], s.err, 2, strings, 30, SQLT_CHR, nullptr, lengths, nullptr, 0,
                     nullptr, OCI_DEFAULT);
    oci.OCIBindByPos(stmt, &b[2], s.err, 3, dates, 7, SQLT_DAT, nullptr, nullptr, nullptr, 0,
                     nullptr, OCI_DEFAULT);
    state.ResumeTiming();
    for (int batch = 0; batch < kRows / static_cast<int>(kPerExecution); ++batch) {
      for (ub4 i = 0; i < kPerExecution; ++i) {
        const int n = batch * static_cast<int>(kPerExecution) + static_cast<int>(i);
        numbers[i] = n;
        lengths[i] =
            static_cast<ub2>(std::snprintf(strings[i], sizeof strings[i], "row number %d", n));
        const ub1 date[7] = {120, 124, 1, static_cast<ub1>(1 + n % 28), 1, 1, 1};
        std::memcpy(dates[i], date, 7);
      }
      if (oci.OCIStmtExecute(s.svc, stmt, s.err, kPerExecution, 0, nullptr, nullptr, OCI_DEFAULT) !=
          OCI_SUCCESS) {
        state.SkipWithError("insert failed");
        break;
      }
      rows += kPerExecution;
    }
    oci.OCITransCommit(s.svc, s.err, 0);
    state.PauseTiming();
    oci.OCIHandleFree(stmt, OCI_HTYPE_STMT);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(rows);
  s.LogOff();
}
BENCHMARK(BM_ArrayInsert)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
