// Memory taken by DecompressStream for counts it cannot trust. The global operator new is replaced
// here to record the largest request made while a check runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>
#include <random>
#include <string>

#include "oracle/compress/OracleCompress.h"
#include "oracle/core/Exception.h"

namespace {
std::atomic<bool> watching{false};
std::atomic<std::size_t> largest{0};
}  // namespace

// Both sides use malloc and free; the compiler only sees the names differ once they are inlined.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  if (watching.load(std::memory_order_relaxed)) {
    std::size_t seen = largest.load(std::memory_order_relaxed);
    while (size > seen && !largest.compare_exchange_weak(seen, size)) {
    }
  }
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
#pragma GCC diagnostic pop

namespace oracle {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Stream(std::uint32_t count, const Bytes& code) {
  Bytes s(4 + code.size());
  for (int i = 0; i < 4; ++i)
    s[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(count >> (8 * i));
  std::copy(code.begin(), code.end(), s.begin() + 4);
  return s;
}

// Runs DecompressStream on stream and returns the largest allocation it made.
std::size_t LargestAllocation(const Bytes& stream, bool& raised) {
  MemoryStream source(stream);
  MemoryStream dest;
  largest = 0;
  watching = true;
  raised = false;
  try {
    DecompressStream(source, dest);
  } catch (const Exception&) {
    raised = true;
  }
  watching = false;
  return largest;
}

TEST(DecompressLimits, AHostileCountAllocatesNothingLarge) {
  std::mt19937 rng(7);
  Bytes noise(4096);
  for (auto& b : noise) b = static_cast<std::uint8_t>(rng());
  for (std::uint32_t count : {0xFFFFFFFFu, 0x80000000u, 0x10000000u, 4096u * 48 + 1}) {
    for (const Bytes& code : {Bytes{}, Bytes(4096, 0x00), Bytes(4096, 0xFF), noise}) {
      SCOPED_TRACE(std::to_string(count) + " over " + std::to_string(code.size()));
      bool raised = false;
      EXPECT_LT(LargestAllocation(Stream(count, code), raised), 64u * 1024);
      EXPECT_TRUE(raised);
    }
  }
}

TEST(DecompressLimits, ACountTheCodeMightHoldGrowsWithWhatIsDecoded) {
  // 4096 zero bytes could in principle describe 196608 bytes, but zeros decode slowly (they keep
  // choosing the first child): the decoder runs out of code long before, having grown its buffer
  // only as far as it got, never to the full count.
  const std::uint32_t count = 4096u * 48;
  bool raised = false;
  const std::size_t seen = LargestAllocation(Stream(count, Bytes(4096, 0x00)), raised);
  EXPECT_TRUE(raised);
  EXPECT_LT(seen, std::size_t{count});

  // A real stream with that count takes the count and little more.
  Bytes runs(count, 'a');
  MemoryStream source(runs);
  MemoryStream packed;
  CompressStream(source, packed);
  EXPECT_LT(packed.Size(), count / 40);  // about 10 bits per 60-byte match
  const std::size_t used = LargestAllocation(packed.Bytes(), raised);
  EXPECT_FALSE(raised);
  EXPECT_LE(used, std::size_t{count} + 8192);
}

}  // namespace
}  // namespace oracle
