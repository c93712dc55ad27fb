// The OCINumber helpers convert between Oracle's number bytes and native values and text.
#include <gtest/gtest.h>

#include <cstring>

#include "ociemu/ClientFixture.h"

namespace ociemu::test {
namespace {

class NumberTest : public ClientTest {
 protected:
  Oci8Session s{*client};
};

TEST_F(NumberTest, KnownBytesAndRoundTrips) {
  struct Case {
    long long value;
    std::vector<ub1> bytes;  // length first
  };
  const Case cases[] = {{0, {1, 0x80}},
                        {1, {2, 0xC1, 0x02}},
                        {100, {2, 0xC2, 0x02}},
                        {-1, {3, 0x3E, 0x64, 0x66}},
                        {123456789, {6, 0xC5, 0x02, 0x18, 0x2E, 0x44, 0x5A}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    OCINumber n;
    ASSERT_EQ(client->OCINumberFromInt(s.err, &c.value, sizeof c.value, OCI_NUMBER_SIGNED, &n),
              OCI_SUCCESS);
    EXPECT_EQ(0, std::memcmp(n.OCINumberPart, c.bytes.data(), c.bytes.size()));
    long long back = 0;
    ASSERT_EQ(client->OCINumberToInt(s.err, &n, sizeof back, OCI_NUMBER_SIGNED, &back),
              OCI_SUCCESS);
    EXPECT_EQ(back, c.value);
  }
  OCINumber half;
  double value = 0.5;
  ASSERT_EQ(client->OCINumberFromReal(s.err, &value, sizeof value, &half), OCI_SUCCESS);
  const ub1 halfBytes[] = {2, 0xC0, 0x33};
  EXPECT_EQ(0, std::memcmp(half.OCINumberPart, halfBytes, 3));
  OraText text[16];
  ub4 size = sizeof text;
  ASSERT_EQ(client->OCINumberToText(s.err, &half, nullptr, 0, nullptr, 0, &size, text),
            OCI_SUCCESS);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(text), size), ".5");
  size = 1;
  EXPECT_EQ(client->OCINumberToText(s.err, &half, nullptr, 0, nullptr, 0, &size, text), OCI_ERROR);
  OCINumber parsed;
  const OraText input[] = "-12.75";
  ASSERT_EQ(client->OCINumberFromText(s.err, input, 6, nullptr, 0, nullptr, 0, &parsed),
            OCI_SUCCESS);
  double d = 0;
  ASSERT_EQ(client->OCINumberToReal(s.err, &parsed, sizeof d, &d), OCI_SUCCESS);
  EXPECT_DOUBLE_EQ(d, -12.75);
  int small = 0;
  long long big = 1LL << 40;
  OCINumber n;
  client->OCINumberFromInt(s.err, &big, sizeof big, OCI_NUMBER_SIGNED, &n);
  EXPECT_EQ(client->OCINumberToInt(s.err, &n, sizeof small, OCI_NUMBER_SIGNED, &small), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 22053);
  OCINumber garbage;
  std::memset(&garbage, 0xFF, sizeof garbage);
  EXPECT_EQ(client->OCINumberToReal(s.err, &garbage, sizeof d, &d), OCI_ERROR);
  const OraText bad[] = "12x";
  EXPECT_EQ(client->OCINumberFromText(s.err, bad, 3, nullptr, 0, nullptr, 0, &parsed), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 1722);
}

}  // namespace
}  // namespace ociemu::test
