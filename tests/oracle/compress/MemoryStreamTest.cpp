#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "oracle/compress/MemoryStream.h"
#include "oracle/core/Exception.h"

namespace oracle {
namespace {

std::vector<std::uint8_t> B(const std::string& s) {
  return {s.begin(), s.end()};
}

TEST(MemoryStream, ReadWriteAndSeekMoveThePosition) {
  MemoryStream m;
  EXPECT_EQ(m.Write("hello", 5), 5u);
  EXPECT_EQ(m.Position(), 5u);
  EXPECT_EQ(m.Seek(1, soBeginning), 1u);
  EXPECT_EQ(m.Write("EL", 2), 2u);  // overwrites in place
  EXPECT_EQ(m.Bytes(), B("hELlo"));
  EXPECT_EQ(m.Seek(-2, soEnd), 3u);
  char buf[8] = {};
  EXPECT_EQ(m.Read(buf, sizeof buf), 2u);  // only what is there
  EXPECT_EQ(std::string(buf, 2), "lo");
  EXPECT_EQ(m.Read(buf, sizeof buf), 0u);
  EXPECT_EQ(m.Seek(-4, soCurrent), 1u);
}

TEST(MemoryStream, WritingPastTheEndFillsTheGapWithZeros) {
  MemoryStream m(B("ab"));
  EXPECT_EQ(m.Position(), 0u);
  m.SetPosition(4);
  char buf[1];
  EXPECT_EQ(m.Read(buf, 1), 0u);
  m.Write("z", 1);
  EXPECT_EQ(m.Bytes(), (std::vector<std::uint8_t>{'a', 'b', 0, 0, 'z'}));
}

TEST(MemoryStream, SetSizeCutsOrExtendsAndKeepsThePositionInside) {
  MemoryStream m(B("abcdef"));
  m.SetPosition(5);
  m.SetSize(8);
  EXPECT_EQ(m.Bytes(), (std::vector<std::uint8_t>{'a', 'b', 'c', 'd', 'e', 'f', 0, 0}));
  EXPECT_EQ(m.Position(), 5u);
  m.SetSize(3);
  EXPECT_EQ(m.Bytes(), B("abc"));
  EXPECT_EQ(m.Position(), 3u);
}

TEST(MemoryStream, RefusesPositionsBeforeTheBeginningOrBeyondTheAddressSpace) {
  MemoryStream m(B("abc"));
  m.SetPosition(2);
  try {
    m.Seek(-3, soCurrent);
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Invalid stream position");
  }
  EXPECT_EQ(m.Position(), 2u);
  EXPECT_THROW(m.Seek(-4, soEnd), Exception);
  m.SetPosition(SIZE_MAX - 1);
  EXPECT_THROW(m.Write("xyz", 3), Exception);
  EXPECT_EQ(m.Size(), 3u);
}

TEST(MemoryStream, TakeBytesEmptiesTheStream) {
  MemoryStream m(B("abc"));
  m.SetPosition(2);
  EXPECT_EQ(m.TakeBytes(), B("abc"));
  EXPECT_EQ(m.Size(), 0u);
  EXPECT_EQ(m.Position(), 0u);
}

}  // namespace
}  // namespace oracle
