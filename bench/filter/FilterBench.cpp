// Evaluates ([SAL] * 12 > 20000) AND (UPPER([ENAME]) = 'SM*') over 1,000,000 in-memory records,
// beside a hand-written function that computes the same from the same records. Both report
// records per second; their ratio is the cost of interpreting the filter.
#include <benchmark/benchmark.h>

#include <string>

#include "oracle/filter/ColumnExpression.h"
#include "oracle/filter/MemoryRecordHost.h"
#include "oracle/filter/ParseFilter.h"

namespace {

using namespace oracle;

constexpr int kRecords = 1000000;
constexpr const char* kFilter = "([SAL] * 12 > 20000) AND (UPPER([ENAME]) = 'SM*')";

struct Records {
  TMemoryRecordHost host;
  int sal = 0;
  int ename = 0;

  Records() {
    static const char* const kNames[] = {"SMITH", "ALLEN",  "WARD",   "JONES", "MARTIN",
                                         "BLAKE", "CLARK",  "SCOTT",  "KING",  "TURNER",
                                         "smith", "Smythe", "SMALLS", "FORD",  "MILLER"};
    host.AddField("EMPNO", fdInteger);
    ename = host.AddField("ENAME", fdString);
    sal = host.AddField("SAL", fdFloat);
    for (int i = 0; i < kRecords; ++i) {
      const double salary = 500 + (i * 7919LL) % 3000;
      host.AddRecord({i, kNames[i % 15], salary});
    }
  }
};

Records& records() {
  static Records r;
  return r;
}

// The same predicate written by hand: null reads as 0 and as the empty text, as fields do.
bool handWritten(const TMemoryRecordHost& host, int sal, int ename) {
  const Variant& salary = host.Value(sal);
  if (!((salary.isMissing() ? 0.0 : salary.toDouble()) * 12 > 20000)) return false;
  const Variant& name = host.Value(ename);
  std::string text = name.isMissing() ? std::string() : name.toString();
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text.size() >= 2 && text[0] == 'S' && text[1] == 'M';
}

void BM_FilterTree(benchmark::State& state) {
  Records& r = records();
  const auto root = ParseFilter(kFilter, {}, ColumnResolver(r.host));
  long matches = 0;
  for (auto _ : state) {
    matches = 0;
    for (int i = 0; i < kRecords; ++i) {
      r.host.SetCurrentRecord(i);
      matches += root->AsBoolean();
    }
    benchmark::DoNotOptimize(matches);
  }
  state.counters["matches"] = static_cast<double>(matches);
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_HandWritten(benchmark::State& state) {
  Records& r = records();
  long matches = 0;
  for (auto _ : state) {
    matches = 0;
    for (int i = 0; i < kRecords; ++i) {
      r.host.SetCurrentRecord(i);
      matches += handWritten(r.host, r.sal, r.ename);
    }
    benchmark::DoNotOptimize(matches);
  }
  state.counters["matches"] = static_cast<double>(matches);
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_ParseFilter(benchmark::State& state) {
  Records& r = records();
  const NameResolver resolver = ColumnResolver(r.host);
  for (auto _ : state) benchmark::DoNotOptimize(ParseFilter(kFilter, {}, resolver));
}

BENCHMARK(BM_FilterTree)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HandWritten)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseFilter);

}  // namespace

BENCHMARK_MAIN();
