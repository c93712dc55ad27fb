// Compress and decompress throughput (MB/s of uncompressed data) of CompressStream and
// DecompressStream on the golden inputs and on a generated 10 MB mixed input. Before timing, each
// input is checked: its stream equals the golden one where the vectors hold it, and it
// decompresses to the input.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "oracle/compress/OracleCompress.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Input {
  std::string name;
  Bytes data;
  Bytes packed;  // the compressed stream
};

Bytes ReadFile(const std::filesystem::path& path) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return {};
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

// 10 MB of blocks of English-like text, random bytes, runs of one byte and fixed-width records,
// from a fixed seed (std::mt19937's sequence is the same everywhere).
Bytes MixedInput() {
  static const char* words[] = {"the ",    "of ",     "and ",      "session ", "logon ",
                                "value ",  "stream ", "database ", "is ",      "a ",
                                "cached ", "BLOB ",   "to ",       "with ",    "field "};
  std::mt19937 rng(20240611);
  Bytes out;
  const std::size_t size = 10u * 1024 * 1024;
  out.reserve(size + 10000);
  while (out.size() < size) {
    const std::size_t block = 512 + rng() % 8192;
    const std::size_t end = out.size() + block;
    switch (rng() % 8) {
      case 0:
      case 1:
      case 2:
      case 3:  // text
        while (out.size() < end) {
          const char* w = words[rng() % std::size(words)];
          while (*w) out.push_back(static_cast<std::uint8_t>(*w++));
          if (rng() % 12 == 0) out.push_back('\n');
        }
        break;
      case 4:
      case 5:  // binary
        while (out.size() < end) out.push_back(static_cast<std::uint8_t>(rng() >> 24));
        break;
      case 6:  // runs
        while (out.size() < end)
          out.insert(out.end(), 1 + rng() % 1000, static_cast<std::uint8_t>(rng()));
        break;
      default: {  // records: a counter and a little noise
        char line[64];
        while (out.size() < end) {
          const int n = std::snprintf(
              line, sizeof line, "%08u;%c;%05u\n", static_cast<unsigned>(out.size()),
              'A' + static_cast<char>(rng() % 26), static_cast<unsigned>(rng() % 100000));
          out.insert(out.end(), line, line + n);
        }
      }
    }
  }
  out.resize(size);
  return out;
}

Bytes Compress(const Bytes& data) {
  oracle::MemoryStream source(data);
  oracle::MemoryStream dest;
  oracle::CompressStream(source, dest);
  return dest.TakeBytes();
}

Bytes Decompress(const Bytes& packed) {
  oracle::MemoryStream source(packed);
  oracle::MemoryStream dest;
  oracle::DecompressStream(source, dest);
  return dest.TakeBytes();
}

void SetRate(benchmark::State& state, std::size_t bytes) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
  state.counters["MB/s"] = benchmark::Counter(static_cast<double>(bytes) / 1e6,
                                              benchmark::Counter::kIsIterationInvariantRate);
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path dir = LZHUF_TESTDATA_DIR;
  std::vector<Input> inputs;
  for (const char* name :
       {"spaces_1000", "bytes256_x300", "random_64k", "text_200k", "rebuild_320k"}) {
    Bytes data = ReadFile(dir / (std::string(name) + ".in"));
    if (data.empty()) {
      std::fprintf(stderr, "golden input %s.in not found in %s (set LZHUF_TESTDATA_DIR)\n", name,
                   dir.string().c_str());
      return 1;
    }
    inputs.push_back({name, std::move(data), {}});
  }
  inputs.push_back({"mixed_10M", MixedInput(), {}});

  for (Input& in : inputs) {
    in.packed = Compress(in.data);
    const Bytes golden = ReadFile(dir / (in.name + ".lzh"));
    if ((!golden.empty() && in.packed != golden) || Decompress(in.packed) != in.data) {
      std::fprintf(stderr, "%s: the stream is not the golden one or does not decompress\n",
                   in.name.c_str());
      return 1;
    }
    std::printf("%-14s %9zu -> %9zu bytes%s\n", in.name.c_str(), in.data.size(), in.packed.size(),
                golden.empty() ? "" : ", as the golden stream");
  }

  for (const Input& in : inputs) {
    const Input* p = &in;
    benchmark::RegisterBenchmark(("Compress/" + in.name).c_str(), [p](benchmark::State& s) {
      for (auto _ : s) benchmark::DoNotOptimize(Compress(p->data));
      SetRate(s, p->data.size());
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("Decompress/" + in.name).c_str(), [p](benchmark::State& s) {
      for (auto _ : s) benchmark::DoNotOptimize(Decompress(p->packed));
      SetRate(s, p->data.size());
    })->Unit(benchmark::kMillisecond);
  }

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
