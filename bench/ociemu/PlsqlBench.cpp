// What a PL/SQL block costs: one execution of a block whose loop runs 10,000 times, once with
// procedural work only and once with a call into the SQL engine in every iteration.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

#include "ociemu/OciClient.h"
#include "ociemu/testing/OracleHome.h"

namespace {

using ociemu::test::OciClient;

struct PlsqlSetup {
  ociemu::testing::OracleHome home;
  std::unique_ptr<OciClient> client;
  OCIEnv* env = nullptr;
  OCIError* err = nullptr;
  OCISvcCtx* svc = nullptr;

  PlsqlSetup() {
    auto db = home.CreateDatabase("plsql");
    db.AddAccount("BENCH", "bench");
    client = std::make_unique<OciClient>(home.LibraryPath().string());
    client->OCIEnvCreate(&env, OCI_THREADED, nullptr, nullptr, nullptr, nullptr, 0, nullptr);
    client->OCIHandleAlloc(env, reinterpret_cast<void**>(&err), OCI_HTYPE_ERROR, 0, nullptr);
    const OraText user[] = "BENCH", password[] = "bench", database[] = "localhost/plsql";
    if (client->OCILogon(env, err, &svc, user, 5, password, 5, database, sizeof database - 1) !=
        OCI_SUCCESS) {
      throw std::runtime_error("logon failed");
    }
  }
  static PlsqlSetup& Get() {
    static PlsqlSetup setup;
    return setup;
  }
};

// Prepares block once and executes it per iteration; the result in :R must be expected.
void RunBlock(benchmark::State& state, const std::string& block, const char* expected) {
  PlsqlSetup& p = PlsqlSetup::Get();
  OciClient& oci = *p.client;
  OCIStmt* stmt = nullptr;
  oci.OCIHandleAlloc(p.env, reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT, 0, nullptr);
  oci.OCIStmtPrepare(stmt, p.err, reinterpret_cast<const OraText*>(block.data()),
                     static_cast<ub4>(block.size()), OCI_NTV_SYNTAX, OCI_DEFAULT);
  char result[64] = {};
  sb2 indicator = 0;
  OCIBind* bind = nullptr;
  oci.OCIBindByName(stmt, &bind, p.err, reinterpret_cast<const OraText*>(":r"), -1, result,
                    sizeof result, SQLT_STR, &indicator, nullptr, nullptr, 0, nullptr, OCI_DEFAULT);
  for (auto _ : state) {
    if (oci.OCIStmtExecute(p.svc, stmt, p.err, 1, 0, nullptr, nullptr, OCI_DEFAULT) !=
        OCI_SUCCESS) {
      state.SkipWithError("the block failed");
      break;
    }
    if (std::strcmp(result, expected) != 0) {
      state.SkipWithError("wrong result");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * 10000);
  oci.OCIHandleFree(stmt, OCI_HTYPE_STMT);
}

void BM_PlsqlLoop10000(benchmark::State& state) {
  RunBlock(state,
           "declare\n"
           "  total number := 0;\n"
           "  text varchar2(100);\n"
           "begin\n"
           "  for i in 1..10000 loop\n"
           "    total := total + i * 2;\n"
           "    if total > 1000000 then\n"
           "      total := total - 1000000;\n"
           "    elsif total < 0 then\n"
           "      text := 'never';\n"
           "    end if;\n"
           "  end loop;\n"
           "  :r := total;\n"
           "end;",
           "10000");
}
BENCHMARK(BM_PlsqlLoop10000)->Unit(benchmark::kMillisecond);

void BM_PlsqlLoop10000WithSqlFunction(benchmark::State& state) {
  RunBlock(state,
           "declare\n"
           "  total number := 0;\n"
           "begin\n"
           "  for i in 1..10000 loop\n"
           "    total := total + mod(i, 7);\n"
           "  end loop;\n"
           "  :r := total;\n"
           "end;",
           "29998");
}
BENCHMARK(BM_PlsqlLoop10000WithSqlFunction)->Unit(benchmark::kMillisecond);

}  // namespace
