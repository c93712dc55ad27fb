// OCI7 cursors: parse, bind, define, describe, execute and fetch, with outcomes in the cursor
// data area.
#include <gtest/gtest.h>

#include <cstring>

#include "ociemu/ClientFixture.h"

namespace ociemu::test {
namespace {

class Oci7StatementTest : public ClientTest {
 protected:
  void SetUp() override {
    ClientTest::SetUp();
    OraText connect[] = "scott/TIGER@ORCL";
    ASSERT_EQ(client->olog(&lda, hda, connect, -1, nullptr, -1, nullptr, -1, 0), 0);
    ASSERT_EQ(client->oopen(&cda, &lda, nullptr, -1, -1, nullptr, -1), 0);
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

  Lda_Def lda{};
  ub1 hda[HDA_SIZE] = {};
  Cda_Def cda{};
};

TEST_F(Oci7StatementTest, ArrayInsertDescribeAndFetch) {
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

TEST_F(Oci7StatementTest, ParseErrorsSetTheCodeAndOffset) {
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
  EXPECT_EQ(Run("alter user scott identified by puma"), 0);
  EXPECT_TRUE(db.CheckPassword("SCOTT", "puma"));
}

TEST_F(Oci7StatementTest, AutocommitPublishesEachStatement) {
  ASSERT_EQ(Run("create table auto7 (a number)"), 0);
  Oci8Session other(*client);
  ASSERT_TRUE(other.LogOn("SCOTT", "TIGER"));
  ASSERT_EQ(Run("insert into auto7 values (1)"), 0);
  EXPECT_EQ(Query(other, "select count(*) from auto7"), (Rows{{"0"}}));
  ASSERT_EQ(client->orol(&lda), 0);
  ASSERT_EQ(client->ocon(&lda), 0);
  ASSERT_EQ(Run("insert into auto7 values (2)"), 0);
  EXPECT_EQ(Query(other, "select a from auto7"), (Rows{{"2"}}));
  other.LogOff();
}

TEST_F(Oci7StatementTest, CursorsBelongToTheirLogon) {
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

}  // namespace
}  // namespace ociemu::test
