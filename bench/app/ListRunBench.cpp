// The wall time of a batch run over 1,000 targets against the emulated client, by the number of
// targets in flight (--jobs). The run is the program's own (targets file, passwords, the
// parallel runner, JSON lines), with the output kept in memory.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "app/ListRun.h"
#include "ociemu/testing/OracleHome.h"

namespace {

// DB with its accounts; the targets mix logons that work, wrong passwords, a locked account and
// names that resolve to nothing, as after a password rotation.
struct BenchHome {
  BenchHome() {
    auto db = home.CreateDatabase("DB");
    db.AddAccount("SCOTT", "tiger");
    db.AddAccount("LOCKED", "locked", ociemu::testing::Status::Locked);
    home.SetTnsNames(
        "DB = (DESCRIPTION = (ADDRESS = (PROTOCOL = TCP)(HOST = localhost)(PORT = 1521))"
        "(CONNECT_DATA = (SERVICE_NAME = DB)))\n");
    setenv("ORACLE_HOME", home.Path().c_str(), 1);
    targets = (home.Path() / "targets.txt").string();
    std::ofstream file(targets);
    const char* const kinds[] = {"scott/tiger@DB", "scott/tiger@DB", "scott/wrong@DB",
                                 "locked/locked@DB", "scott/tiger@NOWHERE"};
    for (int i = 0; i < 1000; ++i) file << kinds[i % 5] << '\n';
  }
  ociemu::testing::OracleHome home;
  std::string targets;
};

BenchHome& benchHome() {
  static BenchHome instance;
  return instance;
}

void ThousandTargets(benchmark::State& state) {
  BenchHome& bench = benchHome();
  app::BatchOptions options;
  options.targetFiles = {bench.targets};
  options.jobs = static_cast<int>(state.range(0));
  options.format = app::ResultFormat::Json;
  options.listRun = true;
  for (auto _ : state) {
    std::istringstream in;
    std::ostringstream out, err;
    app::ListRunIo io{.in = in, .out = out, .err = err};
    const app::ListRunEnd end = app::RunTargetList({}, options, io);
    if (end.exitStatus != 1) state.SkipWithError("the run did not end with status 1");
    benchmark::DoNotOptimize(out.str().size());
  }
  state.counters["targets/s"] = benchmark::Counter(1000.0 * static_cast<double>(state.iterations()),
                                                   benchmark::Counter::kIsRate);
}
BENCHMARK(ThousandTargets)
    ->Arg(1)
    ->Arg(4)
    ->Arg(16)
    ->ArgName("jobs")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
