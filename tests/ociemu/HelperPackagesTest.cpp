// The helper packages of the object interface: OCINumber arithmetic in decimal, the OCIDate
// calendar and the OCIThread primitives.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ociemu/ClientFixture.h"

namespace ociemu::test {
namespace {

class HelperTest : public ClientTest {
 protected:
  void SetUp() override {
    ClientTest::SetUp();
    ASSERT_EQ(
        client->OCIHandleAlloc(s.env, reinterpret_cast<void**>(&err), OCI_HTYPE_ERROR, 0, nullptr),
        OCI_SUCCESS);
  }
  template <class F>
  F Entry(const char* name) {
    auto f = reinterpret_cast<F>(client->Symbol(name));
    EXPECT_NE(f, nullptr) << name;
    return f;
  }
  OCINumber Num(const std::string& text) {
    OCINumber n{};
    EXPECT_EQ(client->OCINumberFromText(err, reinterpret_cast<const oratext*>(text.data()),
                                        static_cast<ub4>(text.size()), nullptr, 0, nullptr, 0, &n),
              OCI_SUCCESS)
        << text;
    return n;
  }
  std::string Text(const OCINumber& n) {
    oratext buf[80];
    ub4 size = sizeof buf;
    const std::string fmt = "TM9";
    EXPECT_EQ(client->OCINumberToText(err, &n, reinterpret_cast<const oratext*>(fmt.data()),
                                      static_cast<ub4>(fmt.size()), nullptr, 0, &size, buf),
              OCI_SUCCESS);
    return std::string(reinterpret_cast<char*>(buf), size);
  }

  Oci8Session s{*client};
  OCIError* err = nullptr;
};

TEST_F(HelperTest, NumberArithmeticIsDecimal) {
  using Binary = sword (*)(OCIError*, const OCINumber*, const OCINumber*, OCINumber*);
  const struct {
    const char* name;
    const char* a;
    const char* b;
    const char* result;
  } cases[] = {
      {"OCINumberAdd", "0.1", "0.2", ".3"},
      {"OCINumberAdd", "7", "13", "20"},
      {"OCINumberSub", "7698", "7698.5", "-.5"},
      {"OCINumberMul", "1.5", "-4", "-6"},
      {"OCINumberMul", "123456789012345678901234567890", "10", "1234567890123456789012345678900"},
      {"OCINumberDiv", "1", "3", ".3333333333333333333333333333333333333333"},
      {"OCINumberDiv", "2", "3", ".6666666666666666666666666666666666666667"},
      {"OCINumberDiv", "100", "8", "12.5"},
      {"OCINumberMod", "-11", "4", "-3"},
      {"OCINumberMod", "11", "0", "11"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + c.a + " " + c.b);
    OCINumber a = Num(c.a), b = Num(c.b), r{};
    ASSERT_EQ(Entry<Binary>(c.name)(err, &a, &b, &r), OCI_SUCCESS);
    EXPECT_EQ(Text(r), c.result);
  }
  OCINumber one = Num("1"), zero = Num("0"), r{};
  EXPECT_EQ(Entry<Binary>("OCINumberDiv")(err, &one, &zero, &r), OCI_ERROR);
  sb4 code = 0;
  client->OCIErrorGet(err, 1, nullptr, &code, nullptr, 0, OCI_HTYPE_ERROR);
  EXPECT_EQ(code, 1476);

  using Scale = sword (*)(OCIError*, const OCINumber*, sword, OCINumber*);
  OCINumber n = Num("-1234.5678");
  ASSERT_EQ(Entry<Scale>("OCINumberRound")(err, &n, 2, &r), OCI_SUCCESS);
  EXPECT_EQ(Text(r), "-1234.57");
  ASSERT_EQ(Entry<Scale>("OCINumberTrunc")(err, &n, -2, &r), OCI_SUCCESS);
  EXPECT_EQ(Text(r), "-1200");
  using Unary = sword (*)(OCIError*, const OCINumber*, OCINumber*);
  ASSERT_EQ(Entry<Unary>("OCINumberFloor")(err, &n, &r), OCI_SUCCESS);
  EXPECT_EQ(Text(r), "-1235");
  ASSERT_EQ(Entry<Unary>("OCINumberCeil")(err, &n, &r), OCI_SUCCESS);
  EXPECT_EQ(Text(r), "-1234");
  sword cmp = 0;
  OCINumber m = Num("-1234.56779");
  ASSERT_EQ(Entry<sword (*)(OCIError*, const OCINumber*, const OCINumber*, sword*)>("OCINumberCmp")(
                err, &n, &m, &cmp),
            OCI_SUCCESS);
  EXPECT_EQ(cmp, -1);  // -1234.56780 is below -1234.56779
  // What is not emulated says so.
  EXPECT_EQ(Entry<Unary>("OCINumberSqrt")(err, &n, &r), OCI_ERROR);
  client->OCIErrorGet(err, 1, nullptr, &code, nullptr, 0, OCI_HTYPE_ERROR);
  EXPECT_EQ(code, 3001);
}

TEST_F(HelperTest, DateCalendar) {
  auto make = [](int y, int m, int d) {
    OCIDate date{};
    date.OCIDateYYYY = static_cast<sb2>(y);
    date.OCIDateMM = static_cast<ub1>(m);
    date.OCIDateDD = static_cast<ub1>(d);
    return date;
  };
  auto text = [&](const OCIDate& date) {
    oratext buf[32];
    ub4 size = sizeof buf;
    const std::string fmt = "YYYY-MM-DD";
    EXPECT_EQ(Entry<decltype(&::OCIDateToText)>("OCIDateToText")(
                  err, &date, reinterpret_cast<const oratext*>(fmt.data()),
                  static_cast<ub1>(fmt.size()), nullptr, 0, &size, buf),
              OCI_SUCCESS);
    return std::string(reinterpret_cast<char*>(buf), size);
  };
  OCIDate r{};
  auto addMonths = Entry<decltype(&::OCIDateAddMonths)>("OCIDateAddMonths");
  const OCIDate jan31 = make(2024, 1, 31);
  ASSERT_EQ(addMonths(err, &jan31, 1, &r), OCI_SUCCESS);
  EXPECT_EQ(text(r), "2024-02-29");
  const OCIDate feb29 = make(2024, 2, 29);
  ASSERT_EQ(addMonths(err, &feb29, 12, &r), OCI_SUCCESS);
  EXPECT_EQ(text(r), "2025-02-28");
  ASSERT_EQ(addMonths(err, &feb29, -1, &r), OCI_SUCCESS);
  EXPECT_EQ(text(r), "2024-01-31");  // the last day of a month stays the last day

  auto nextDay = Entry<decltype(&::OCIDateNextDay)>("OCIDateNextDay");
  const OCIDate friday = make(2026, 12, 11);
  ASSERT_EQ(nextDay(err, &friday, reinterpret_cast<const oratext*>("FRIDAY"), 6, &r), OCI_SUCCESS);
  EXPECT_EQ(text(r), "2026-12-18");
  ASSERT_EQ(nextDay(err, &friday, reinterpret_cast<const oratext*>("mon"), 3, &r), OCI_SUCCESS);
  EXPECT_EQ(text(r), "2026-12-14");

  sb4 days = 0;
  OCIDate late = make(2026, 12, 11);
  late.OCIDateTime.OCITimeHH = 23;
  const OCIDate early = make(2026, 1, 1);
  ASSERT_EQ(Entry<decltype(&::OCIDateDaysBetween)>("OCIDateDaysBetween")(err, &late, &early, &days),
            OCI_SUCCESS);
  EXPECT_EQ(days, 344);

  auto check = Entry<decltype(&::OCIDateCheck)>("OCIDateCheck");
  const struct {
    OCIDate date;
    uword bits;
  } checks[] = {{make(2024, 2, 29), 0},
                {make(2023, 2, 29), OCI_DATE_INVALID_DAY},
                {make(2023, 13, 1), OCI_DATE_INVALID_MONTH},
                {make(0, 1, 1), OCI_DATE_YEAR_ZERO}};
  for (const auto& c : checks) {
    uword bits = 99;
    ASSERT_EQ(check(err, &c.date, &bits), OCI_SUCCESS);
    EXPECT_EQ(bits, c.bits);
  }
  // A date that is no date is refused by the calls that compute with it.
  const OCIDate bad = make(2023, 2, 30);
  EXPECT_EQ(Entry<decltype(&::OCIDateAddDays)>("OCIDateAddDays")(err, &bad, 1, &r), OCI_ERROR);
}

void CountUp(void* arg) {
  ++*static_cast<int*>(arg);
}

TEST_F(HelperTest, ThreadsRunAndJoin) {
  auto hndInit = Entry<decltype(&::OCIThreadHndInit)>("OCIThreadHndInit");
  auto create = Entry<decltype(&::OCIThreadCreate)>("OCIThreadCreate");
  auto join = Entry<decltype(&::OCIThreadJoin)>("OCIThreadJoin");
  auto hndDestroy = Entry<decltype(&::OCIThreadHndDestroy)>("OCIThreadHndDestroy");
  auto idInit = Entry<decltype(&::OCIThreadIdInit)>("OCIThreadIdInit");
  auto idGet = Entry<decltype(&::OCIThreadIdGet)>("OCIThreadIdGet");
  auto idSame = Entry<decltype(&::OCIThreadIdSame)>("OCIThreadIdSame");
  auto idDestroy = Entry<decltype(&::OCIThreadIdDestroy)>("OCIThreadIdDestroy");
  OCIThreadHandle* handle = nullptr;
  OCIThreadId* started = nullptr;
  OCIThreadId* self = nullptr;
  int counter = 0;
  ASSERT_EQ(hndInit(s.env, err, &handle), OCI_SUCCESS);
  ASSERT_EQ(idInit(s.env, err, &started), OCI_SUCCESS);
  ASSERT_EQ(idInit(s.env, err, &self), OCI_SUCCESS);
  ASSERT_EQ(create(s.env, err, CountUp, &counter, started, handle), OCI_SUCCESS);
  ASSERT_EQ(join(s.env, err, handle), OCI_SUCCESS);
  EXPECT_EQ(counter, 1);
  ASSERT_EQ(idGet(s.env, err, self), OCI_SUCCESS);
  boolean same = 1;
  ASSERT_EQ(idSame(s.env, err, started, self, &same), OCI_SUCCESS);
  EXPECT_FALSE(same);
  EXPECT_EQ(idDestroy(s.env, err, &started), OCI_SUCCESS);
  EXPECT_EQ(idDestroy(s.env, err, &self), OCI_SUCCESS);
  EXPECT_EQ(hndDestroy(s.env, err, &handle), OCI_SUCCESS);
  EXPECT_EQ(handle, nullptr);
}

}  // namespace
}  // namespace ociemu::test
