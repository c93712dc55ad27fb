// OCI7 cursors: parse, bind, define, describe, execute and fetch, with outcomes in the cursor
// data area.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>

#include "ociemu/ClientFixture.h"

namespace ociemu::test {
namespace {

// The data area's published layout on a 64-bit client: every field a caller reads sits at its
// published offset, and the area is 88 bytes.
static_assert(sizeof(void*) != 8 || sizeof(Cda_Def) == 88);
static_assert(offsetof(Cda_Def, v2_rc) == 0);
static_assert(offsetof(Cda_Def, ft) == 2);
static_assert(offsetof(Cda_Def, rpc) == 4);
static_assert(offsetof(Cda_Def, peo) == 8);
static_assert(offsetof(Cda_Def, fc) == 10);
static_assert(offsetof(Cda_Def, rc) == 12);
static_assert(offsetof(Cda_Def, wrn) == 14);
static_assert(offsetof(Cda_Def, rid) == 20);
static_assert(offsetof(Cda_Def, rid.rd.rcs5) == 24);
static_assert(offsetof(Cda_Def, rid.rcs7) == 28);
static_assert(offsetof(Cda_Def, rid.rcs8) == 32);
static_assert(offsetof(Cda_Def, ose) == 36);
static_assert(sizeof(void*) != 8 || offsetof(Cda_Def, rcsp) == 48);

// Every variant runs these: the OCI7-only client and the full one share the engine.
class Oci7StatementTest : public ClientTest,
                          public ::testing::WithParamInterface<testing::Variant> {
 protected:
  Oci7StatementTest() : ClientTest(GetParam()) {}
  void SetUp() override {
    ClientTest::SetUp();
    OraText connect[] = "scott/TIGER@ORCL";
    ASSERT_EQ(client->olog(&lda, hda, connect, -1, nullptr, -1, nullptr, -1, 0), 0);
    ASSERT_EQ(client->oopen(&cda, &lda, nullptr, -1, -1, nullptr, -1), 0);
    // Every 7.x client has the statement calls beyond obndra.
    ASSERT_TRUE(client->obndrv && client->obndrn && client->obindps && client->odefinps &&
                client->ocan && client->oflng);
  }
  void TearDown() override {
    client->oclose(&cda);
    client->ologof(&lda);
  }
  sword Parse(Cda_Def* cursor, const char* sql) {
    return client->oparse(cursor, reinterpret_cast<OraText*>(const_cast<char*>(sql)), -1, 0, 2);
  }
  sword Run(const char* sql) {
    sword rc = Parse(&cda, sql);
    return rc ? rc : client->oexec(&cda);
  }
  static OraText* Text(const char* s) { return reinterpret_cast<OraText*>(const_cast<char*>(s)); }
  // The single number a query gives, seen from a logon of its own; -1 when it fails.
  int CountFromOtherLogon(const char* sql) {
    Lda_Def otherLda{};
    ub1 otherHda[HDA_SIZE] = {};
    Cda_Def otherCda{};
    OraText connect[] = "scott/TIGER@ORCL";
    int value = -1;
    if (client->olog(&otherLda, otherHda, connect, -1, nullptr, -1, nullptr, -1, 0) != 0) return -1;
    if (client->oopen(&otherCda, &otherLda, nullptr, -1, -1, nullptr, -1) == 0) {
      if (Parse(&otherCda, sql) != 0 ||
          client->odefin(&otherCda, 1, reinterpret_cast<ub1*>(&value), sizeof value, SQLT_INT, -1,
                         nullptr, nullptr, -1, -1, nullptr, nullptr) != 0 ||
          client->oexfet(&otherCda, 1, 0, 0) != 0) {
        value = -1;
      }
      client->oclose(&otherCda);
    }
    client->ologof(&otherLda);
    return value;
  }

  Lda_Def lda{};
  ub1 hda[HDA_SIZE] = {};
  Cda_Def cda{};
};

TEST_P(Oci7StatementTest, ArrayInsertDescribeAndFetch) {
  ASSERT_EQ(Run("create table emp7 (empno number(4) not null, ename varchar2(10), hired date)"), 0);
  ASSERT_EQ(Parse(&cda, "insert into emp7 values (:n, :s, to_date('1981-05-01', 'YYYY-MM-DD'))"),
            0);
  EXPECT_EQ(cda.ft, 3);
  int numbers[3] = {7369, 7499, 7521};
  char names[3][11] = {"SMITH", "ALLEN", "WARD"};
  OraText n[] = ":n", s[] = ":S";
  ASSERT_EQ(client->obndra(&cda, n, -1, reinterpret_cast<ub1*>(numbers), sizeof(int), SQLT_INT, -1,
                           nullptr, nullptr, nullptr, 0, nullptr, nullptr, -1, -1),
            0);
  ASSERT_EQ(client->obndra(&cda, s, -1, reinterpret_cast<ub1*>(names), 11, SQLT_STR, -1, nullptr,
                           nullptr, nullptr, 0, nullptr, nullptr, -1, -1),
            0);
  ASSERT_EQ(client->oexn(&cda, 3, 0), 0) << cda.rc;
  EXPECT_EQ(cda.rpc, 3u);
  ASSERT_EQ(client->ocom(&lda), 0);

  ASSERT_EQ(Parse(&cda, "select empno, ename, hired from emp7 order by empno"), 0);
  EXPECT_EQ(cda.ft, 4);
  sb4 dbsize = 0, cbufl = 0, dsize = 0;
  sb2 dbtype = 0, prec = 0, scale = 0, nullok = 0;
  sb1 cbuf[32];
  const struct {
    const char* name;
    sb2 type;
    sb4 size;
    sb2 nullok;
  } expected[] = {{"EMPNO", 2, 22, 0}, {"ENAME", 1, 10, 1}, {"HIRED", 12, 7, 1}};
  for (int pos = 1; pos <= 3; ++pos) {
    cbufl = sizeof cbuf;
    ASSERT_EQ(
        client->odescr(&cda, pos, &dbsize, &dbtype, cbuf, &cbufl, &dsize, &prec, &scale, &nullok),
        0);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(cbuf), static_cast<size_t>(cbufl)),
              expected[pos - 1].name);
    EXPECT_EQ(dbtype, expected[pos - 1].type);
    EXPECT_EQ(dbsize, expected[pos - 1].size);
    EXPECT_EQ(nullok, expected[pos - 1].nullok);
  }
  cbufl = 3;  // a short name buffer gets the start of the name
  EXPECT_EQ(
      client->odescr(&cda, 1, nullptr, nullptr, cbuf, &cbufl, nullptr, nullptr, nullptr, nullptr),
      0);
  EXPECT_EQ(cbufl, 3);
  EXPECT_EQ(client->odescr(&cda, 4, &dbsize, &dbtype, cbuf, &cbufl, &dsize, &prec, &scale, &nullok),
            1007);
  EXPECT_EQ(cda.rc, 1007);

  int empno[2];
  char ename[2][8];
  ub2 lengths[2];
  ub1 hired[2][7];
  ASSERT_EQ(client->odefin(&cda, 1, reinterpret_cast<ub1*>(empno), sizeof(int), SQLT_INT, -1,
                           nullptr, nullptr, -1, -1, nullptr, nullptr),
            0);
  ASSERT_EQ(client->odefin(&cda, 2, reinterpret_cast<ub1*>(ename), 8, SQLT_CHR, -1, nullptr,
                           nullptr, -1, -1, lengths, nullptr),
            0);
  ASSERT_EQ(client->odefin(&cda, 3, reinterpret_cast<ub1*>(hired), 7, SQLT_DAT, -1, nullptr,
                           nullptr, -1, -1, nullptr, nullptr),
            0);
  ASSERT_EQ(client->oexec(&cda), 0);
  ASSERT_EQ(client->ofen(&cda, 2), 0);
  EXPECT_EQ(cda.rpc, 2u);
  EXPECT_EQ(empno[1], 7499);
  EXPECT_EQ(std::string(ename[1], lengths[1]), "ALLEN");
  EXPECT_EQ(hired[0][0], 119);
  EXPECT_EQ(hired[0][1], 181);
  EXPECT_EQ(client->ofen(&cda, 2), 1403);
  EXPECT_EQ(cda.rc, 1403);
  EXPECT_EQ(cda.rpc, 3u);
  EXPECT_EQ(empno[0], 7521);

  // Execute and fetch in one call (the arrays hold two rows).
  EXPECT_EQ(client->oexfet(&cda, 2, 0, 0), 0);
  EXPECT_EQ(cda.rpc, 2u);
  EXPECT_EQ(empno[0], 7369);
  EXPECT_EQ(client->ofen(&cda, 2), 1403);
  EXPECT_EQ(cda.rpc, 3u);
  EXPECT_EQ(client->oexfet(&cda, 2, 0, 1), 1422);  // exact fetch with more rows left
}

TEST_P(Oci7StatementTest, ParseErrorsSetTheCodeAndOffset) {
  EXPECT_EQ(Parse(&cda, "select * from nosuch"), 942);
  EXPECT_EQ(cda.rc, 942);
  EXPECT_EQ(cda.peo, 14);
  OraText buf[200];
  client->oerhms(&lda, static_cast<sb2>(cda.rc), buf, sizeof buf);
  EXPECT_STREQ(reinterpret_cast<char*>(buf), "ORA-00942: table or view does not exist\n");
  // A deferred parse reports at execute.
  EXPECT_EQ(client->oparse(&cda, reinterpret_cast<OraText*>(const_cast<char*>("select x from y")),
                           -1, 1, 2),
            0);
  EXPECT_EQ(client->oexec(&cda), 942);
  EXPECT_EQ(cda.peo, 14);
  EXPECT_EQ(cda.fc, OCI7_FC_OEXEC);
  // The message keeps what the error names.
  EXPECT_EQ(Parse(&cda, "select nosuchcol from dual"), 904);
  EXPECT_EQ(cda.peo, 7);
  client->oerhms(&lda, static_cast<sb2>(cda.rc), buf, sizeof buf);
  EXPECT_STREQ(reinterpret_cast<char*>(buf), "ORA-00904: \"NOSUCHCOL\": invalid identifier\n");
  EXPECT_EQ(Run("alter user scott identified by puma"), 0);
  EXPECT_TRUE(db.CheckPassword("SCOTT", "puma"));
}

TEST_P(Oci7StatementTest, AutocommitPublishesEachStatement) {
  ASSERT_EQ(Run("create table auto7 (a number)"), 0);
  ASSERT_EQ(Run("insert into auto7 values (1)"), 0);
  EXPECT_EQ(CountFromOtherLogon("select count(*) from auto7"), 0);
  ASSERT_EQ(client->orol(&lda), 0);
  ASSERT_EQ(client->ocon(&lda), 0);
  ASSERT_EQ(Run("insert into auto7 values (2)"), 0);
  EXPECT_EQ(CountFromOtherLogon("select max(a) from auto7"), 2);
}

TEST_P(Oci7StatementTest, CursorsBelongToTheirLogon) {
  Cda_Def unknown{};
  EXPECT_EQ(Parse(&unknown, "select 1 from dual"), 1001);
  EXPECT_EQ(unknown.rc, 1001);
  EXPECT_EQ(client->ofen(&unknown, 1), 1001);
  EXPECT_EQ(client->oexec(&cda), 24337);  // nothing parsed yet
  Cda_Def second{};
  ASSERT_EQ(client->oopen(&second, &lda, nullptr, -1, -1, nullptr, -1), 0);
  EXPECT_EQ(Parse(&second, "select 1 from dual"), 0);
  ASSERT_EQ(client->ologof(&lda), 0);
  EXPECT_EQ(client->oexec(&second), 1001);  // logging off closed it
  Cda_Def orphan{};
  EXPECT_EQ(client->oopen(&orphan, &lda, nullptr, -1, -1, nullptr, -1), 1012);
  OraText connect[] = "scott/TIGER@ORCL";
  ASSERT_EQ(client->olog(&lda, hda, connect, -1, nullptr, -1, nullptr, -1, 0), 0);
  ASSERT_EQ(client->oopen(&cda, &lda, nullptr, -1, -1, nullptr, -1), 0);
}

TEST_P(Oci7StatementTest, DataAreaCarriesRowidWarningsAndCodes) {
  // Bytes past the published fields are the caller's: nothing writes there.
  std::memset(reinterpret_cast<char*>(&cda) + 44, 0x5A, sizeof cda - 44);
  auto untouched = [&] {
    const auto* p = reinterpret_cast<const unsigned char*>(&cda);
    for (size_t i = 44; i < sizeof cda; ++i) {
      if (p[i] != 0x5A) return false;
    }
    return true;
  };
  ASSERT_EQ(Run("create table w7 (a number, s varchar2(20))"), 0);
  ASSERT_EQ(Run("insert into w7 values (1, 'abcdefghij')"), 0);
  EXPECT_EQ(cda.ft, 3);
  EXPECT_EQ(cda.rpc, 1u);
  EXPECT_EQ(cda.fc, OCI7_FC_OEXEC);
  // The ROWID parts spell the row's ROWID text.
  const ub4 object = cda.rid.rd.rcs4, block = cda.rid.rcs7;
  const ub2 file = cda.rid.rd.rcs5, slot = cda.rid.rcs8;
  EXPECT_NE(object, 0u);
  auto base64 = [](ub4 v, int digits) {
    static const char* alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out(static_cast<size_t>(digits), 'A');
    for (int i = digits - 1; i >= 0; --i, v /= 64) out[static_cast<size_t>(i)] = alphabet[v % 64];
    return out;
  };
  const std::string expected =
      base64(object, 6) + base64(file, 3) + base64(block, 6) + base64(slot, 3);
  char rowid[19] = {};
  ASSERT_EQ(Parse(&cda, "select rowid from w7"), 0);
  ASSERT_EQ(client->odefin(&cda, 1, reinterpret_cast<ub1*>(rowid), sizeof rowid, SQLT_STR, -1,
                           nullptr, nullptr, -1, -1, nullptr, nullptr),
            0);
  ASSERT_EQ(client->oexfet(&cda, 1, 0, 0), 0) << cda.rc;
  EXPECT_EQ(std::string(rowid), expected);

  // An UPDATE or DELETE without WHERE warns; one with WHERE does not.
  ASSERT_EQ(Run("update w7 set a = 2 where a = 1"), 0);
  EXPECT_EQ(cda.wrn, 0);
  EXPECT_EQ(cda.ft, 5);
  ASSERT_EQ(Run("update w7 set a = (select max(a) from w7 where a > 0)"), 0);
  EXPECT_EQ(cda.wrn, 0x11);
  EXPECT_EQ(cda.rpc, 1u);

  // A value cut to fit its buffer: the row arrives, the code is 1406 and the flags say so.
  char shortText[4];
  sb2 indicator = 0;
  ub2 length = 0, code = 0;
  ASSERT_EQ(Parse(&cda, "select s from w7"), 0);
  ASSERT_EQ(client->odefin(&cda, 1, reinterpret_cast<ub1*>(shortText), sizeof shortText, SQLT_CHR,
                           -1, &indicator, nullptr, -1, -1, &length, &code),
            0);
  EXPECT_EQ(client->oexfet(&cda, 1, 0, 0), 1406);
  EXPECT_EQ(cda.rc, 1406);
  EXPECT_EQ(cda.wrn, 0x03);
  EXPECT_EQ(cda.rpc, 1u);
  EXPECT_EQ(indicator, 10);
  EXPECT_EQ(code, 1406);
  EXPECT_EQ(std::string(shortText, length), "abcd");
  OraText message[100];
  client->oerhms(&lda, static_cast<sb2>(cda.rc), message, sizeof message);
  EXPECT_STREQ(reinterpret_cast<char*>(message), "ORA-01406: fetched column value was truncated\n");

  ASSERT_EQ(Run("delete from w7"), 0);
  EXPECT_EQ(cda.wrn, 0x11);
  EXPECT_EQ(cda.ft, 9);
  EXPECT_TRUE(untouched());
}

TEST_P(Oci7StatementTest, ParseWithoutDeferralRunsDdlAndChecksDml) {
  // DDL parsed without deferral has run before any oexec; executing it again changes nothing.
  ASSERT_EQ(Parse(&cda, "create table ddl7 (a number)"), 0);
  EXPECT_EQ(CountFromOtherLogon("select count(*) from ddl7"), 0);
  EXPECT_EQ(client->oexec(&cda), 0);
  // Deferred, it waits for the execution.
  ASSERT_EQ(client->oparse(&cda, Text("create table ddl7b (a number)"), -1, 1, 2), 0);
  EXPECT_EQ(CountFromOtherLogon("select count(*) from ddl7b"), -1);
  ASSERT_EQ(client->oexec(&cda), 0);
  EXPECT_EQ(CountFromOtherLogon("select count(*) from ddl7b"), 0);
  EXPECT_EQ(Parse(&cda, "create table ddl7 (a number)"), 955);
  // A DML statement on a missing table fails at its parse, pointing at the table.
  EXPECT_EQ(Parse(&cda, "insert into nosuch7 values (1)"), 942);
  EXPECT_EQ(cda.peo, 12);
}

TEST_P(Oci7StatementTest, BindsByNameNumberAndPlainArrays) {
  ASSERT_EQ(Run("create table b7 (a number, s varchar2(10), d number)"), 0);
  // obndrn binds the placeholder named by its number, wherever it stands.
  ASSERT_EQ(Parse(&cda, "insert into b7 values (:2, :1, :x)"), 0);
  int two = 2, x = 99;
  char one[] = "first";
  ASSERT_EQ(client->obndrn(&cda, 2, reinterpret_cast<ub1*>(&two), sizeof two, SQLT_INT, -1, nullptr,
                           nullptr, -1, -1),
            0);
  ASSERT_EQ(client->obndrn(&cda, 1, reinterpret_cast<ub1*>(one), -1, SQLT_STR, -1, nullptr, nullptr,
                           -1, -1),
            0);
  sb2 xNull = -1;
  ASSERT_EQ(client->obndrv(&cda, Text(":X"), -1, reinterpret_cast<ub1*>(&x), sizeof x, SQLT_INT, -1,
                           &xNull, nullptr, -1, -1),
            0);
  ASSERT_EQ(client->oexec(&cda), 0) << cda.rc;
  EXPECT_EQ(client->obndrn(&cda, 0, reinterpret_cast<ub1*>(&x), sizeof x, SQLT_INT, -1, nullptr,
                           nullptr, -1, -1),
            1036);

  // The array forms: three rows in plain arrays.
  int as[3] = {10, 20, 30};
  char ss[3][4] = {"x", "yy", "zzz"};
  ASSERT_EQ(Parse(&cda, "insert into b7 (a, s) values (:a, :s)"), 0);
  ASSERT_EQ(client->obindps(&cda, 1, Text(":a"), -1, reinterpret_cast<ub1*>(as), sizeof(int),
                            SQLT_INT, -1, nullptr, nullptr, nullptr, sizeof(int), 0, 0, 0, 0,
                            nullptr, nullptr, -1, -1),
            0);
  ASSERT_EQ(client->obindps(&cda, 1, Text(":s"), -1, reinterpret_cast<ub1*>(ss), 4, SQLT_STR, -1,
                            nullptr, nullptr, nullptr, 4, 0, 0, 0, 0, nullptr, nullptr, -1, -1),
            0);
  ASSERT_EQ(client->oexn(&cda, 3, 0), 0) << cda.rc;
  EXPECT_EQ(cda.rpc, 3u);
  // An offset skips the first elements: iters - rowoff rows run, the arrays' last stays last.
  ASSERT_EQ(client->oexn(&cda, 3, 2), 0) << cda.rc;
  EXPECT_EQ(cda.rpc, 1u);
  EXPECT_EQ(CountFromOtherLogon("select count(*) from b7 where a = 30"), 0);  // not committed
  ASSERT_EQ(client->ocom(&lda), 0);
  EXPECT_EQ(CountFromOtherLogon("select count(*) from b7 where a = 30"), 2);
  EXPECT_EQ(client->oexn(&cda, 2, 2), 24333);

  ASSERT_EQ(Parse(&cda, "select a, s, d from b7 order by a"), 0);
  int a[4] = {};
  char s7[4][8] = {};
  sb2 dInd[4] = {};
  int d[4] = {};
  ASSERT_EQ(client->odefinps(&cda, 1, 1, reinterpret_cast<ub1*>(a), sizeof(int), SQLT_INT, -1,
                             nullptr, nullptr, -1, -1, nullptr, nullptr, sizeof(int), 0, 0, 0),
            0);
  ASSERT_EQ(client->odefinps(&cda, 1, 2, reinterpret_cast<ub1*>(s7), 8, SQLT_STR, -1, nullptr,
                             nullptr, -1, -1, nullptr, nullptr, 8, 0, 0, 0),
            0);
  ASSERT_EQ(client->odefinps(&cda, 1, 3, reinterpret_cast<ub1*>(d), sizeof(int), SQLT_INT, -1, dInd,
                             nullptr, -1, -1, nullptr, nullptr, sizeof(int), sizeof(sb2), 0, 0),
            0);
  EXPECT_EQ(client->oexfet(&cda, 4, 0, 0), 0) << cda.rc;
  EXPECT_EQ(a[0], 2);
  EXPECT_STREQ(s7[0], "first");
  EXPECT_EQ(dInd[0], -1);
  EXPECT_EQ(a[3], 30);
  EXPECT_STREQ(s7[3], "zzz");

  // Arrays of structures and piecewise defines are not taken.
  struct Row {
    int a;
    sb2 ind;
  } rows[2];
  EXPECT_EQ(client->odefinps(&cda, 1, 1, reinterpret_cast<ub1*>(&rows[0].a), sizeof(int), SQLT_INT,
                             -1, &rows[0].ind, nullptr, -1, -1, nullptr, nullptr, sizeof(Row),
                             sizeof(Row), 0, 0),
            3001);
  EXPECT_EQ(client->odefinps(&cda, 0, 1, nullptr, 0, SQLT_INT, -1, nullptr, nullptr, -1, -1,
                             nullptr, nullptr, 0, 0, 0, 0),
            3001);
}

TEST_P(Oci7StatementTest, CancelAndLongPieces) {
  ASSERT_EQ(Run("create table l7 (id number, txt long)"), 0);
  std::string big;
  for (int i = 0; big.size() < 10000; ++i) big += "piece " + std::to_string(i) + ";";
  ASSERT_EQ(Parse(&cda, "insert into l7 values (:i, :t)"), 0);
  for (int id : {1, 2, 3}) {
    ASSERT_EQ(client->obndrv(&cda, Text(":i"), -1, reinterpret_cast<ub1*>(&id), sizeof id, SQLT_INT,
                             -1, nullptr, nullptr, -1, -1),
              0);
    ASSERT_EQ(
        client->obndrv(&cda, Text(":t"), -1, reinterpret_cast<ub1*>(big.data()),
                       static_cast<sword>(big.size()), SQLT_LNG, -1, nullptr, nullptr, -1, -1),
        0);
    ASSERT_EQ(client->oexec(&cda), 0) << cda.rc;
  }

  ASSERT_EQ(Parse(&cda, "select id, txt from l7 order by id"), 0);
  int id = 0;
  char head[100];
  sb2 indicator = 0;
  ub4 got = 0;
  ASSERT_EQ(client->odefin(&cda, 1, reinterpret_cast<ub1*>(&id), sizeof id, SQLT_INT, -1, nullptr,
                           nullptr, -1, -1, nullptr, nullptr),
            0);
  ASSERT_EQ(client->odefin(&cda, 2, reinterpret_cast<ub1*>(head), sizeof head, SQLT_LNG, -1,
                           &indicator, nullptr, -1, -1, nullptr, nullptr),
            0);
  // Nothing fetched yet: no row to read pieces of.
  ASSERT_EQ(client->oexec(&cda), 0);
  EXPECT_EQ(client->oflng(&cda, 2, reinterpret_cast<ub1*>(head), sizeof head, SQLT_LNG, &got, 0),
            1002);
  EXPECT_EQ(client->ofen(&cda, 1), 1406);
  EXPECT_EQ(id, 1);
  // The whole value in pieces of 4096 bytes from the current row.
  std::string whole;
  std::string piece(4096, '\0');
  for (sb4 offset = 0;; offset += static_cast<sb4>(got)) {
    ASSERT_EQ(client->oflng(&cda, 2, reinterpret_cast<ub1*>(piece.data()),
                            static_cast<sb4>(piece.size()), SQLT_LNG, &got, offset),
              0);
    EXPECT_EQ(cda.fc, OCI7_FC_OFLNG);
    whole.append(piece.data(), got);
    if (got < piece.size()) break;
  }
  EXPECT_EQ(whole, big);
  EXPECT_EQ(cda.rpc, 1u);  // reading pieces leaves the row count alone
  EXPECT_EQ(client->oflng(&cda, 3, reinterpret_cast<ub1*>(head), sizeof head, SQLT_LNG, &got, 0),
            1007);

  // Cancelling drops the rows left; the statement runs again from the start.
  ASSERT_EQ(client->ocan(&cda), 0);
  EXPECT_EQ(cda.fc, OCI7_FC_OCAN);
  EXPECT_EQ(client->ofen(&cda, 1), 1002);
  EXPECT_EQ(client->oexfet(&cda, 1, 0, 0), 1406);
  EXPECT_EQ(id, 1);
  // oexfet with cancel set ends the fetch after its rows.
  EXPECT_EQ(client->oexfet(&cda, 1, 1, 0), 1406);
  EXPECT_EQ(client->ofen(&cda, 1), 1002);

  // odescr: a LONG has no size, a ROWID is type 11, a national column counts bytes.
  ASSERT_EQ(Run("create table n7 (nv nvarchar2(10))"), 0);
  ASSERT_EQ(Parse(&cda, "select txt, l7.rowid, nv from l7, n7"), 0);
  const struct {
    sb2 type;
    sb4 size;
  } expected[] = {{8, 0}, {11, 10}, {1, 20}};
  for (int pos = 1; pos <= 3; ++pos) {
    sb4 dbsize = -1;
    sb2 dbtype = 0;
    ASSERT_EQ(client->odescr(&cda, pos, &dbsize, &dbtype, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr),
              0);
    EXPECT_EQ(dbtype, expected[pos - 1].type) << pos;
    EXPECT_EQ(dbsize, expected[pos - 1].size) << pos;
  }
}

INSTANTIATE_TEST_SUITE_P(Variants, Oci7StatementTest,
                         ::testing::Values(testing::Variant::Oci7, testing::Variant::Full),
                         [](const auto& variant) { return testing::VariantName(variant.param); });

}  // namespace
}  // namespace ociemu::test
