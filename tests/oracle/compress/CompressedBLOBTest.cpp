#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "oracle/compress/CompressedBLOB.h"
#include "oracle/compress/OracleCompress.h"
#include "oracle/core/Exception.h"

namespace oracle {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes B(const std::string& s) {
  return {s.begin(), s.end()};
}
Bytes Marked(const Bytes& rest) {
  Bytes out(CompressedBLOBMarker.size() + rest.size());
  std::copy(CompressedBLOBMarker.begin(), CompressedBLOBMarker.end(), out.begin());
  std::copy(rest.begin(), rest.end(), out.begin() + CompressedBLOBMarker.size());
  return out;
}

// Stand-ins for the dataset and field the events receive.
int dataSet;
int field;

TEST(CompressedBLOB, StoresMarkerAndStreamAndReadsItBack) {
  BLOBCompression c;
  c.CompressBLOBs = true;
  const Bytes value = B("abc");  // longer once compressed: stored so all the same
  const Bytes stored = StoreBLOBValue(c, &dataSet, &field, value);
  EXPECT_EQ(stored, Marked({0x03, 0x00, 0x00, 0x00, 0xF6, 0xFB, 0xBD, 0xE0}));
  EXPECT_EQ(c.BytesBeforeCompression, 3.0);
  EXPECT_EQ(c.BytesAfterCompression, 16.0);

  const Bytes big(100000, 'x');
  const Bytes bigStored = StoreBLOBValue(c, &dataSet, &field, big);
  EXPECT_LT(bigStored.size(), big.size() / 40);  // about 10 bits per 60-byte match
  EXPECT_EQ(c.BytesBeforeCompression, 100003.0);
  EXPECT_EQ(c.BytesAfterCompression, 16.0 + static_cast<double>(bigStored.size()));

  c.CompressBLOBs = false;  // marked values decompress whatever the option says
  EXPECT_EQ(ReadBLOBValue(c, &dataSet, &field, stored), value);
  EXPECT_EQ(ReadBLOBValue(c, &dataSet, &field, bigStored), big);
}

TEST(CompressedBLOB, LeavesValuesAloneWhenOffOrEmpty) {
  BLOBCompression c;
  int calls = 0;
  c.OnCompressBLOB = [&](void*, void*, MemoryStream&, MemoryStream&) { ++calls; };
  EXPECT_EQ(StoreBLOBValue(c, &dataSet, &field, B("plain")), B("plain"));
  c.CompressBLOBs = true;
  EXPECT_EQ(StoreBLOBValue(c, &dataSet, &field, Bytes{}), Bytes{});
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(c.BytesBeforeCompression, 0.0);
  EXPECT_EQ(c.BytesAfterCompression, 0.0);
}

TEST(CompressedBLOB, CompressEventReplacesTheBuiltInCoder) {
  BLOBCompression c;
  c.CompressBLOBs = true;
  c.OnCompressBLOB = [](void* ds, void* f, MemoryStream& source, MemoryStream& dest) {
    EXPECT_EQ(ds, &dataSet);
    EXPECT_EQ(f, &field);
    EXPECT_EQ(source.Position(), 0u);
    EXPECT_EQ(dest.Size(), 0u);
    if (source.Bytes() == B("skip")) return;  // leaves dest empty
    dest.Write("<<", 2);
    dest.Write(source.Memory(), source.Size());
    dest.Write(">>", 2);
  };
  EXPECT_EQ(StoreBLOBValue(c, &dataSet, &field, B("data")), B("<<data>>"));
  EXPECT_EQ(c.BytesBeforeCompression, 4.0);
  EXPECT_EQ(c.BytesAfterCompression, 8.0);

  EXPECT_EQ(StoreBLOBValue(c, &dataSet, &field, B("skip")), B("skip"));
  EXPECT_EQ(c.BytesBeforeCompression, 4.0);  // not compressed, not counted
  EXPECT_EQ(c.BytesAfterCompression, 8.0);
}

TEST(CompressedBLOB, AValueThatMerelyBeginsWithTheMarkerIsTreatedAsCompressed) {
  BLOBCompression c;
  // The marker and a stream of something else: decompressed.
  EXPECT_EQ(ReadBLOBValue(c, &dataSet, &field, Marked({0x01, 0, 0, 0, 0xE6, 0x80})), B("A"));
  // The marker and bytes that are no stream: an error, not the bytes passed off as the value.
  EXPECT_THROW(ReadBLOBValue(c, &dataSet, &field, Marked(B("plain text"))), Exception);
  EXPECT_THROW(ReadBLOBValue(c, &dataSet, &field, Marked({})), Exception);
  // The marker and a count of 0: the result is empty, so the stored bytes stay as they are.
  EXPECT_EQ(ReadBLOBValue(c, &dataSet, &field, Marked({0, 0, 0, 0, 0xD6, 0})),
            Marked({0, 0, 0, 0, 0xD6, 0}));
  // Seven bytes of it are not the marker.
  const Bytes seven(CompressedBLOBMarker.begin(), CompressedBLOBMarker.begin() + 7);
  EXPECT_FALSE(IsCompressedBLOB(seven));
  EXPECT_EQ(ReadBLOBValue(c, &dataSet, &field, seven), seven);
  Bytes almost = Marked(B("xyz"));
  almost[7] ^= 1;
  EXPECT_FALSE(IsCompressedBLOB(almost));
  EXPECT_EQ(ReadBLOBValue(c, &dataSet, &field, almost), almost);
}

TEST(CompressedBLOB, DecompressEventReadsUnmarkedValuesOnlyWhenOn) {
  BLOBCompression c;
  int calls = 0;
  c.OnDecompressBLOB = [&](void* ds, void* f, MemoryStream& source, MemoryStream& dest) {
    ++calls;
    EXPECT_EQ(ds, &dataSet);
    EXPECT_EQ(f, &field);
    EXPECT_EQ(source.Position(), 0u);
    if (source.Bytes() == B("<<x>>")) dest.Write("x", 1);
  };
  EXPECT_EQ(ReadBLOBValue(c, &dataSet, &field, B("<<x>>")), B("<<x>>"));
  EXPECT_EQ(calls, 0);

  c.CompressBLOBs = true;
  EXPECT_EQ(ReadBLOBValue(c, &dataSet, &field, B("<<x>>")), B("x"));
  EXPECT_EQ(ReadBLOBValue(c, &dataSet, &field, B("other")), B("other"));  // empty result
  EXPECT_EQ(calls, 2);
  // A marked value never reaches the event.
  EXPECT_EQ(ReadBLOBValue(c, &dataSet, &field, Marked({0x01, 0, 0, 0, 0xE6, 0x80})), B("A"));
  EXPECT_EQ(calls, 2);
}

}  // namespace
}  // namespace oracle
