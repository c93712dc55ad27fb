#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <thread>

#include "support/TestSeed.h"
#include "oracle/compress/OracleCompress.h"
#include "oracle/core/Exception.h"

namespace oracle {
namespace {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

const fs::path kVectors = LZHUF_TESTDATA_DIR;

Bytes ReadFile(const fs::path& path) {
  std::ifstream f(path, std::ios::binary);
  if (!f) throw std::runtime_error("cannot read " + path.string());
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

Bytes Compress(const Bytes& input) {
  MemoryStream source(input);
  MemoryStream dest;
  CompressStream(source, dest);
  return dest.TakeBytes();
}

Bytes Decompress(const Bytes& stream) {
  MemoryStream source(stream);
  MemoryStream dest;
  DecompressStream(source, dest);
  return dest.TakeBytes();
}

// The message of the oracle::Exception that f raises, or "(none)".
template <typename F>
std::string MessageOf(F&& f) {
  try {
    f();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "(none)";
}

const std::string kTruncated = "Compressed stream is truncated";

// The 1990 program's output for "abc" (abc.lzh), used where the test is about the framing.
const Bytes kAbcStream = {0x03, 0x00, 0x00, 0x00, 0xF6, 0xFB, 0xBD, 0xE0};

// Every NAME.in of the vector folder compresses to exactly NAME.lzh and NAME.lzh decompresses to
// NAME.in. A missing folder fails here rather than leaving nothing checked.
TEST(OracleCompress, GoldenVectorsCompressBitForBitAndDecompressBack) {
  ASSERT_TRUE(fs::is_directory(kVectors))
      << "golden vectors not found at " << kVectors << " (set LZHUF_TESTDATA_DIR)";
  std::set<std::string> seen;
  for (const auto& entry : fs::directory_iterator(kVectors)) {
    if (entry.path().extension() != ".in") continue;
    const std::string name = entry.path().stem().string();
    SCOPED_TRACE(name);
    const Bytes input = ReadFile(entry.path());
    Bytes expected = ReadFile(kVectors / (name + ".lzh"));
    EXPECT_EQ(Decompress(expected), input);
    if (input.empty()) {
      // The 1990 program stops after the count; this format carries one space literal after it
      // (the 9 bits 110101100 of a fresh tree). Both decode to nothing.
      ASSERT_EQ(expected, Bytes({0, 0, 0, 0}));
      expected.insert(expected.end(), {0xD6, 0x00});
    }
    const Bytes actual = Compress(input);
    ASSERT_EQ(actual.size(), expected.size());
    const auto diff = std::mismatch(actual.begin(), actual.end(), expected.begin());
    EXPECT_TRUE(diff.first == actual.end())
        << "first difference at byte " << (diff.first - actual.begin());
    seen.insert(name);
  }
  for (const char* name : {"empty", "one_byte", "abc", "spaces_1000", "random_64k", "text_200k",
                           "rebuild_320k", "bytes256_x300", "tail_stale_24"})
    EXPECT_TRUE(seen.count(name)) << name << ".in missing from " << kVectors;
}

TEST(OracleCompress, EmptySourceGivesCountZeroAndOneSpaceLiteral) {
  MemoryStream source;
  MemoryStream dest;
  CompressStream(source, dest);
  EXPECT_EQ(dest.Bytes(), Bytes({0, 0, 0, 0, 0xD6, 0x00}));
  EXPECT_EQ(dest.Position(), 6u);

  // A count of 0 writes nothing and ends the destination at its position.
  MemoryStream stream(dest.Bytes());
  MemoryStream out(Bytes{'k', 'e', 'e', 'p'});
  out.SetPosition(2);
  DecompressStream(stream, out);
  EXPECT_EQ(out.Bytes(), Bytes({'k', 'e'}));
  EXPECT_EQ(stream.Position(), 4u);
}

TEST(OracleCompress, CompressesFromTheSourcePositionIntoTheDestPosition) {
  MemoryStream source(Bytes{'x', 'y', 'a', 'b', 'c'});
  source.SetPosition(2);
  MemoryStream dest(Bytes{'1', '2', '3', '4', '5', '6', '7', '8', '9', '0', '1', '2', '3'});
  dest.SetPosition(3);
  CompressStream(source, dest);

  Bytes expected = {'1', '2', '3'};
  expected.insert(expected.end(), kAbcStream.begin(), kAbcStream.end());
  EXPECT_EQ(dest.Bytes(), expected);  // the count says 3, and what followed is gone
  EXPECT_EQ(dest.Position(), expected.size());
  EXPECT_EQ(source.Position(), 5u);
}

TEST(OracleCompress, DecompressesFromTheSourcePositionIntoTheDestPosition) {
  Bytes stored = {'h', 'd', 'r'};
  stored.insert(stored.end(), kAbcStream.begin(), kAbcStream.end());
  stored.insert(stored.end(), {'t', 'a', 'i', 'l'});
  MemoryStream source(stored);
  source.SetPosition(3);
  MemoryStream dest(Bytes{'>', '>', 'o', 'l', 'd', '!'});
  dest.SetPosition(2);
  DecompressStream(source, dest);
  EXPECT_EQ(dest.Bytes(), Bytes({'>', '>', 'a', 'b', 'c'}));
  EXPECT_EQ(dest.Position(), 5u);
  EXPECT_EQ(source.Position(), 3u + kAbcStream.size());  // the bytes after it are not touched
}

TEST(OracleCompress, OneStreamAsBothSourceAndDestIsRefused) {
  MemoryStream both(kAbcStream);
  const std::string message = "Source and destination must be different streams";
  EXPECT_EQ(MessageOf([&] { CompressStream(both, both); }), message);
  EXPECT_EQ(MessageOf([&] { DecompressStream(both, both); }), message);
  EXPECT_EQ(both.Bytes(), kAbcStream);
}

TEST(OracleCompress, TruncatedStreamsRaiseAndLeaveTheDestinationAlone) {
  for (const char* name : {"one_byte", "abc", "tail_stale_24", "spaces_1000", "text_200k"}) {
    const Bytes stream = ReadFile(kVectors / (std::string(name) + ".lzh"));
    std::vector<std::size_t> cuts;
    if (stream.size() < 100) {
      for (std::size_t n = 0; n < stream.size(); ++n) cuts.push_back(n);
    } else {
      cuts = {0, 3, 4, 5, 1004, stream.size() / 2, stream.size() - 1};
    }
    for (std::size_t n : cuts) {
      SCOPED_TRACE(std::string(name) + " cut to " + std::to_string(n));
      MemoryStream source(Bytes(stream.begin(), stream.begin() + static_cast<long>(n)));
      MemoryStream dest(Bytes{'o', 'l', 'd'});
      dest.SetPosition(1);
      EXPECT_EQ(MessageOf([&] { DecompressStream(source, dest); }), kTruncated);
      EXPECT_EQ(dest.Bytes(), Bytes({'o', 'l', 'd'}));
      EXPECT_EQ(dest.Position(), 1u);
    }
  }
}

TEST(OracleCompress, CountsTheCodeCannotHoldRaise) {
  // 48 bytes out per byte of code at most: a 60-byte match costs at least 10 bits.
  struct Case {
    std::uint32_t count;
    std::size_t codeBytes;
    std::uint8_t fill;
  };
  for (const Case& c : {Case{5, 0, 0}, Case{0xFFFFFFFFu, 0, 0}, Case{0xFFFFFFFFu, 100, 0x00},
                        Case{0xFFFFFFFFu, 1000, 0xFF}, Case{49, 1, 0x00}}) {
    SCOPED_TRACE(std::to_string(c.count) + " from " + std::to_string(c.codeBytes));
    Bytes stream = {static_cast<std::uint8_t>(c.count), static_cast<std::uint8_t>(c.count >> 8),
                    static_cast<std::uint8_t>(c.count >> 16),
                    static_cast<std::uint8_t>(c.count >> 24)};
    stream.resize(4 + c.codeBytes, c.fill);
    EXPECT_EQ(MessageOf([&] { Decompress(stream); }), kTruncated);
  }
}

TEST(OracleCompress, MatchesBeforeTheFirstByteReadTheRingsStartingContents) {
  // Count 3, then the fresh tree's code for "match of 3" (10001100) and position 4036 (upper 63:
  // 11111111, lower 000100). It copies ring 4095 (zero: never set) and ring 0 and 1 (spaces).
  EXPECT_EQ(Decompress({3, 0, 0, 0, 0x8C, 0xFF, 0x10}), Bytes({0x00, 0x20, 0x20}));
}

// Inputs of text, binary noise and runs; the seed is printed so that a failure can be replayed.
Bytes MixedInput(std::mt19937& rng, std::size_t size) {
  static const char* words[] = {"the ", "of ", "BLOB ", "value ", "stream ", "\n", "compress "};
  Bytes out;
  while (out.size() < size) {
    switch (rng() % 3) {
      case 0:
        for (int i = 0, n = 1 + static_cast<int>(rng() % 40); i < n; ++i) {
          const char* w = words[rng() % std::size(words)];
          out.insert(out.end(), w, w + std::char_traits<char>::length(w));
        }
        break;
      case 1:
        for (int i = 0, n = static_cast<int>(rng() % 300); i < n; ++i)
          out.push_back(static_cast<std::uint8_t>(rng()));
        break;
      default:
        out.insert(out.end(), rng() % 500, static_cast<std::uint8_t>(rng()));
    }
  }
  out.resize(size);
  return out;
}

TEST(OracleCompress, GeneratedInputsRoundTrip) {
  const unsigned seed = testsupport::TestSeed();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 rng(seed);
  for (std::size_t size : {1u, 2u, 3u, 59u, 60u, 61u, 4095u, 4096u, 4097u, 70000u, 300000u}) {
    SCOPED_TRACE("size " + std::to_string(size));
    const Bytes input = MixedInput(rng, size);
    const Bytes stream = Compress(input);
    ASSERT_EQ(Decompress(stream), input);
  }
}

TEST(OracleCompress, GarbageDecodesToExactlyTheCountOrRaises) {
  const unsigned seed = testsupport::TestSeed();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 rng(seed);
  int decoded = 0;
  for (int i = 0; i < 300; ++i) {
    const std::size_t codeBytes = rng() % 200;
    const std::uint32_t count = rng() % (codeBytes * 48 + 2);
    Bytes stream = {static_cast<std::uint8_t>(count), static_cast<std::uint8_t>(count >> 8),
                    static_cast<std::uint8_t>(count >> 16), 0};
    for (std::size_t k = 0; k < codeBytes; ++k) stream.push_back(static_cast<std::uint8_t>(rng()));
    MemoryStream source(stream);
    MemoryStream dest;
    try {
      DecompressStream(source, dest);
      ASSERT_EQ(dest.Size(), count);
      ASSERT_LE(source.Position(), stream.size());
      ++decoded;
    } catch (const Exception& e) {
      ASSERT_EQ(e.Message(), kTruncated);
      ASSERT_EQ(dest.Size(), 0u);
    }
  }
  EXPECT_GT(decoded, 0);  // the table does reach the decoding path
}

TEST(OracleCompress, ConcurrentCallsShareNothing) {
  const Bytes input = ReadFile(kVectors / "text_200k.in");
  const Bytes expected = ReadFile(kVectors / "text_200k.lzh");
  std::vector<Bytes> compressed(4);
  std::vector<Bytes> restored(4);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < compressed.size(); ++t)
    threads.emplace_back([&, t] {
      compressed[t] = Compress(input);
      restored[t] = Decompress(expected);
    });
  for (auto& t : threads) t.join();
  for (std::size_t t = 0; t < compressed.size(); ++t) {
    EXPECT_TRUE(compressed[t] == expected) << "thread " << t;
    EXPECT_TRUE(restored[t] == input) << "thread " << t;
  }
}

}  // namespace
}  // namespace oracle
