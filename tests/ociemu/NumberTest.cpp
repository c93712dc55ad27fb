// The OCINumber helpers convert between Oracle's number bytes and native values and text.
#include <gtest/gtest.h>

#include <cstring>

#include "ociemu/ClientFixture.h"

namespace ociemu::test {
namespace {

class NumberTest : public ClientTest {
 protected:
  std::string ToText(const OCINumber& n, const std::string& format) {
    OraText buf[200];
    ub4 size = sizeof buf;
    sword rc = client->OCINumberToText(s.err, &n, reinterpret_cast<const OraText*>(format.data()),
                                       static_cast<ub4>(format.size()), nullptr, 0, &size, buf);
    if (rc != OCI_SUCCESS) return "error " + std::to_string(s.Error().code);
    return std::string(reinterpret_cast<char*>(buf), size);
  }

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

// Numbers stay decimal from text to bytes to text: no binary double rounds them on the way.
TEST_F(NumberTest, TextRoundTripsExactly) {
  for (const char* text :
       {"20", "7698", "19.999999999999996", "12345678901234567890.123456789",
        "-.000000000000000000000000000001", "9999999999999999999999999999999999999999", "1E+125"}) {
    SCOPED_TRACE(text);
    OCINumber n;
    ASSERT_EQ(
        client->OCINumberFromText(s.err, reinterpret_cast<const OraText*>(text),
                                  static_cast<ub4>(std::strlen(text)), nullptr, 0, nullptr, 0, &n),
        OCI_SUCCESS);
    EXPECT_EQ(ToText(n, ""), text);
  }
  const double twenty = 20.0, noisy = 19.999999999999996;
  OCINumber n;
  ASSERT_EQ(client->OCINumberFromReal(s.err, &twenty, sizeof twenty, &n), OCI_SUCCESS);
  EXPECT_EQ(ToText(n, ""), "20");
  ASSERT_EQ(client->OCINumberFromReal(s.err, &noisy, sizeof noisy, &n), OCI_SUCCESS);
  EXPECT_EQ(ToText(n, ""), "20");
  // Integers beyond a double's 53 bits come back exactly.
  const char big[] = "9223372036854775807";
  ASSERT_EQ(client->OCINumberFromText(s.err, reinterpret_cast<const OraText*>(big), 19, nullptr, 0,
                                      nullptr, 0, &n),
            OCI_SUCCESS);
  long long back = 0;
  ASSERT_EQ(client->OCINumberToInt(s.err, &n, sizeof back, OCI_NUMBER_SIGNED, &back), OCI_SUCCESS);
  EXPECT_EQ(back, 9223372036854775807LL);
  const char max[] = "18446744073709551615";
  client->OCINumberFromText(s.err, reinterpret_cast<const OraText*>(max), 20, nullptr, 0, nullptr,
                            0, &n);
  unsigned long long ubig = 0;
  ASSERT_EQ(client->OCINumberToInt(s.err, &n, sizeof ubig, OCI_NUMBER_UNSIGNED, &ubig),
            OCI_SUCCESS);
  EXPECT_EQ(ubig, 18446744073709551615ULL);
  EXPECT_EQ(client->OCINumberToInt(s.err, &n, sizeof back, OCI_NUMBER_SIGNED, &back), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 22053);
}

TEST_F(NumberTest, FormatModels) {
  const struct {
    const char* value;
    const char* format;
    const char* text;
  } cases[] = {
      {"1234.5", "FM9G999D99", "1,234.5"},
      {"1234.5", "9G999D99", " 1,234.50"},
      {"0.5", "FM990D00", "0.50"},
      {"-7", "FM999", "-7"},
      {"7698", "TM9", "7698"},
      {"0.25", "TM9", ".25"},
      {"12345", "TME", "1.2345E+04"},
      {"1234.5678", "9.99EEEE", " 1.23E+03"},
      {"-0.00012", "FM9.9EEEE", "-1.2E-04"},
      {"123", "99", "###"},
      {"5", "099", " 005"},
      {"-1234.567", "FM999,999.00", "-1,234.57"},
      {"0", "99.99", "   .00"},
      {"2.5", "9", " 3"},
      {"-2.5", "9", "-3"},
      {"12", "S99", "+12"},
      {"-12", "99MI", "12-"},
      {"-12", "99PR", "<12>"},
      // How a reader of object attributes asks for all the digits of a number.
      {"12.5", "FM99999999999999999999999999999999999999", "13"},
      {"12.5", "FM99D999999999999999999999999999999999999", "12.5"},
      {"20", "FM99D999999999999999999999999999999999999", "20."},
      {"123456789012345678901234567.5", "FM999999999999999999999999999",
       "123456789012345678901234568"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.value) + " " + c.format);
    OCINumber n;
    ASSERT_EQ(client->OCINumberFromText(s.err, reinterpret_cast<const OraText*>(c.value),
                                        static_cast<ub4>(std::strlen(c.value)), nullptr, 0, nullptr,
                                        0, &n),
              OCI_SUCCESS);
    EXPECT_EQ(ToText(n, c.format), c.text);
  }
  OCINumber n;
  const double one = 1;
  client->OCINumberFromReal(s.err, &one, sizeof one, &n);
  OraText buf[64];
  ub4 size = sizeof buf;
  EXPECT_EQ(client->OCINumberToText(s.err, &n, reinterpret_cast<const OraText*>("9X9"), 3, nullptr,
                                    0, &size, buf),
            OCI_ERROR);
  EXPECT_EQ(s.Error().code, 1481);
}

// Values SQLite computes in binary come back as the decimal Oracle would have computed.
TEST_F(NumberTest, FetchedNumbersAreDecimal) {
  ASSERT_TRUE(s.LogOn("SCOTT", "TIGER")) << s.Error().text;
  EXPECT_EQ(Query(s,
                  "select 4.35 * 100, 0.1 + 0.2, 7698, 1 / 3, to_char(1234.5, 'FM9G999D99') "
                  "from dual"),
            (Rows{{"435", ".3", "7698", ".333333333333333", "1,234.5"}}));
  // A bound NUMBER keeps its digits on the way through the server.
  OCIStmt* stmt = nullptr;
  client->OCIHandleAlloc(s.env, reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT, 0, nullptr);
  const char sql[] = "select :n from dual";
  client->OCIStmtPrepare(stmt, s.err, reinterpret_cast<const OraText*>(sql), sizeof sql - 1,
                         OCI_NTV_SYNTAX, OCI_DEFAULT);
  const char digits[] = "12345678901234567890.123456789";
  OCINumber value;
  ASSERT_EQ(client->OCINumberFromText(s.err, reinterpret_cast<const OraText*>(digits),
                                      sizeof digits - 1, nullptr, 0, nullptr, 0, &value),
            OCI_SUCCESS);
  OCIBind* bind = nullptr;
  client->OCIBindByPos(stmt, &bind, s.err, 1, &value, sizeof value, SQLT_VNU, nullptr, nullptr,
                       nullptr, 0, nullptr, OCI_DEFAULT);
  OCINumber back;
  OCIDefine* define = nullptr;
  client->OCIDefineByPos(stmt, &define, s.err, 1, &back, sizeof back, SQLT_VNU, nullptr, nullptr,
                         nullptr, OCI_DEFAULT);
  ASSERT_EQ(client->OCIStmtExecute(s.svc, stmt, s.err, 1, 0, nullptr, nullptr, OCI_DEFAULT),
            OCI_SUCCESS)
      << s.Error().text;
  EXPECT_EQ(ToText(back, ""), digits);
  client->OCIHandleFree(stmt, OCI_HTYPE_STMT);
  s.LogOff();
}

}  // namespace
}  // namespace ociemu::test
