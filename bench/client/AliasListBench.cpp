// Building the net service name list from a tnsnames.ora of 10,000 aliases with multi-line
// descriptors, with and without a default domain in sqlnet.ora. Each iteration is a first request
// after unloading: locating the files, loading the client (a stand-in loader) and parsing.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <stdlib.h>

#include "oracle/client/ClientLibrary.h"
#include "oracle/client/NetServiceNames.h"
#include "oracle/client/OracleHome.h"
#include "platform/Libraries.h"
#include "platform/Process.h"
#include "platform/RegFileRegistry.h"
#include "platform/Services.h"

namespace {

constexpr int kAliases = 10000;

int StubExport(unsigned) { return 0; }

// A client offering the OCI7 call set and nothing else, so loading costs next to nothing.
class StubLoader : public platform::Libraries {
 public:
  platform::LoadResult load(const std::string&) override { return {this, ""}; }
  void* symbol(platform::LibraryHandle, const char* name) override {
    return name[0] == 'o' ? reinterpret_cast<void*>(&StubExport) : nullptr;
  }
  void free(platform::LibraryHandle) override {}
  std::string pathOf(platform::LibraryHandle) override { return "stub"; }
};

std::string TnsnamesOra(bool withDomain) {
  std::string text = "# generated for the benchmark\n";
  char buffer[512];
  for (int i = 0; i < kAliases; ++i) {
    std::snprintf(buffer, sizeof buffer,
                  "ALIAS%05d%s =\n"
                  "  (DESCRIPTION =\n"
                  "    (ADDRESS_LIST =\n"
                  "      (ADDRESS = (PROTOCOL = TCP)(HOST = db%05d.example.com)(PORT = 1521))\n"
                  "    )\n"
                  "    (CONNECT_DATA =\n"
                  "      (SERVICE_NAME = svc%05d.example.com)\n"
                  "    )\n"
                  "  )\n\n",
                  i, withDomain ? ".WORLD" : "", i, i);
    text += buffer;
  }
  return text;
}

class Fixture {
 public:
  explicit Fixture(bool withDomain) {
    std::string pattern = (std::filesystem::temp_directory_path() / "dbl-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    folder_ = pattern;
    std::ofstream(folder_ + "/tnsnames.ora") << TnsnamesOra(withDomain);
    std::ofstream(folder_ + "/sqlnet.ora")
        << "sqlnet.authentication_services = (NONE)\n"
        << "names.directory_path = (TNSNAMES, EZCONNECT)\n"
        << (withDomain ? "names.default_domain = world\n" : "sqlnet.expire_time = 10\n");
    platform::Services services;
    services.libraries = &loader_;
    services.registry = &registry_;
    scoped_.emplace(services);
    platform::process().setEnv("TNS_ADMIN", folder_);
    oracle::SetOCIDLL("stub");
  }
  ~Fixture() {
    oracle::FreeOCI();
    scoped_.reset();
    std::filesystem::remove_all(folder_);
  }
  const std::string& folder() const { return folder_; }

 private:
  std::string folder_;
  StubLoader loader_;
  platform::RegFileRegistry registry_{platform::RegText{""}};
  std::optional<platform::ScopedServices> scoped_;
};

void RunGetAliasList(benchmark::State& state, bool withDomain) {
  Fixture fixture(withDomain);
  std::size_t count = 0;
  for (auto _ : state) {
    oracle::FreeOCI();
    const oracle::SortedNameList* list = oracle::GetAliasList();
    count = list == nullptr ? 0 : list->count();
    benchmark::DoNotOptimize(list);
  }
  if (count != kAliases) state.SkipWithError("wrong number of aliases");
  state.counters["aliases"] = static_cast<double>(count);
}

void BM_GetAliasList_WithDefaultDomain(benchmark::State& state) { RunGetAliasList(state, true); }
void BM_GetAliasList_WithoutDefaultDomain(benchmark::State& state) {
  RunGetAliasList(state, false);
}

// The same file parsed outside a list build: sqlnet.ora is read again for every definition line,
// as nothing is kept when it sets no default domain. Shows what the per-build cache saves.
void BM_ParseTNSNames_WithoutDefaultDomain_NoBuildCache(benchmark::State& state) {
  Fixture fixture(false);
  const std::string file = oracle::GetTNSNamesFile();
  for (auto _ : state) {
    oracle::ParseTNSNames(file);
  }
  const oracle::SortedNameList* list = oracle::GetAliasList();
  if (list == nullptr || list->count() != kAliases) state.SkipWithError("wrong aliases");
}

BENCHMARK(BM_GetAliasList_WithDefaultDomain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetAliasList_WithoutDefaultDomain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseTNSNames_WithoutDefaultDomain_NoBuildCache)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
