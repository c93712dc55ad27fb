// LogOn + LogOff through TOracleSession beside the same client call sequence written directly
// against the emulated client, to show what the layer itself adds to a logon.
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

#include "ociemu/testing/OracleHome.h"
#include "oracle/client/ClientLibrary.h"
#include "oracle/client/OracleHome.h"
#include "oracle/session/OracleSession.h"

namespace {

using ociemu::testing::OracleHome;

struct BenchHome {
  BenchHome() : home(ociemu::testing::Variant::Full) {
    auto db = home.CreateDatabase("DB");
    db.AddAccount("SCOTT", "tiger");
    home.SetTnsNames("DB = (DESCRIPTION = (ADDRESS = (PROTOCOL = TCP)(HOST = localhost)(PORT = 1521))"
                     "(CONNECT_DATA = (SERVICE_NAME = DB)))\n");
    setenv("ORACLE_HOME", home.Path().c_str(), 1);
  }
  OracleHome home;
};

BenchHome& benchHome() {
  static BenchHome instance;
  return instance;
}

void LayerLogOnLogOff(benchmark::State& state) {
  benchHome();
  oracle::TOracleSession session(nullptr);
  session.SetLogonUsername("scott");
  session.SetLogonPassword("tiger");
  session.SetLogonDatabase("DB");
  for (auto _ : state) {
    session.LogOn();
    session.LogOff();
  }
  oracle::FreeOCI();
}
BENCHMARK(LayerLogOnLogOff)->Unit(benchmark::kMicrosecond);

// The published signatures of the calls the sequence makes, declared here for the direct path.
using sword = int;
using ub4 = unsigned int;
using EnvCreate = sword (*)(void**, ub4, void*, void*, void*, void*, size_t, void**);
using HandleAlloc = sword (*)(const void*, void**, ub4, size_t, void**);
using HandleFree = sword (*)(void*, ub4);
using ServerAttach = sword (*)(void*, void*, const unsigned char*, int, ub4);
using ServerDetach = sword (*)(void*, void*, ub4);
using AttrSet = sword (*)(void*, ub4, void*, ub4, ub4, void*);
using SessionBegin = sword (*)(void*, void*, void*, ub4, ub4);
using SessionEnd = sword (*)(void*, void*, void*, ub4);
using ServerVersion = sword (*)(void*, void*, unsigned char*, ub4, unsigned char);

template <typename F>
F entry(void* lib, const char* name) {
  void* address = dlsym(lib, name);
  if (address == nullptr) throw std::runtime_error(std::string("missing ") + name);
  return reinterpret_cast<F>(address);
}

void DirectLogOnLogOff(benchmark::State& state) {
  const std::string path = (benchHome().home.Path() / "lib" / "libclntsh.so").string();
  void* lib = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (lib == nullptr) {
    state.SkipWithError("cannot load the emulated client");
    return;
  }
  auto envCreate = entry<EnvCreate>(lib, "OCIEnvCreate");
  auto handleAlloc = entry<HandleAlloc>(lib, "OCIHandleAlloc");
  auto handleFree = entry<HandleFree>(lib, "OCIHandleFree");
  auto serverAttach = entry<ServerAttach>(lib, "OCIServerAttach");
  auto serverDetach = entry<ServerDetach>(lib, "OCIServerDetach");
  auto attrSet = entry<AttrSet>(lib, "OCIAttrSet");
  auto sessionBegin = entry<SessionBegin>(lib, "OCISessionBegin");
  auto sessionEnd = entry<SessionEnd>(lib, "OCISessionEnd");
  auto serverVersion = entry<ServerVersion>(lib, "OCIServerVersion");
  const std::string user = "scott", password = "tiger", db = "DB";
  for (auto _ : state) {
    void *env = nullptr, *svc = nullptr, *srv = nullptr, *err = nullptr, *aux = nullptr,
         *usr = nullptr;
    envCreate(&env, 2, nullptr, nullptr, nullptr, nullptr, 0, nullptr);
    handleAlloc(env, &svc, 3, 0, nullptr);
    handleAlloc(env, &srv, 8, 0, nullptr);
    handleAlloc(env, &err, 2, 0, nullptr);
    handleAlloc(env, &aux, 2, 0, nullptr);
    handleAlloc(env, &usr, 9, 0, nullptr);
    serverAttach(srv, err, reinterpret_cast<const unsigned char*>(db.c_str()),
                 static_cast<int>(db.size()), 0);
    attrSet(svc, 3, srv, 0, 6, err);
    attrSet(svc, 3, usr, 0, 7, err);
    attrSet(usr, 9, const_cast<char*>(user.c_str()), static_cast<ub4>(user.size()), 22, err);
    attrSet(usr, 9, const_cast<char*>(password.c_str()), static_cast<ub4>(password.size()), 23,
            err);
    if (sessionBegin(svc, err, usr, 1, 0) != 0) {
      state.SkipWithError("logon failed");
      break;
    }
    unsigned char banner[501];
    serverVersion(srv, err, banner, sizeof banner, 8);
    sessionEnd(svc, err, usr, 0);
    serverDetach(srv, err, 0);
    handleFree(srv, 8);
    handleFree(svc, 3);
    handleFree(err, 2);
    handleFree(aux, 2);
    handleFree(usr, 9);
    handleFree(env, 1);
  }
  dlclose(lib);
}
BENCHMARK(DirectLogOnLogOff)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
