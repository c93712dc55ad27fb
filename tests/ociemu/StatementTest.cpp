// Statements through the OCI8 calls: the Oracle dialect over SQLite, binds and array fetches
// of every supported datatype, describe, transactions, the statement cache and the errors.
#include <gtest/gtest.h>

#include <cstring>
#include <ctime>

#include "ociemu/ClientFixture.h"

namespace ociemu::test {
namespace {

class StatementTest : public ClientTest {
 protected:
  void SetUp() override {
    ClientTest::SetUp();
    ASSERT_TRUE(s.LogOn("SCOTT", "TIGER")) << s.Error().text;
  }
  void TearDown() override { s.LogOff(); }

  OCIStmt* Prepare(const std::string& sql) {
    OCIStmt* stmt = nullptr;
    EXPECT_EQ(
        client->OCIHandleAlloc(s.env, reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT, 0, nullptr),
        OCI_SUCCESS);
    EXPECT_EQ(client->OCIStmtPrepare(stmt, s.err, reinterpret_cast<const OraText*>(sql.data()),
                                     static_cast<ub4>(sql.size()), OCI_NTV_SYNTAX, OCI_DEFAULT),
              OCI_SUCCESS);
    return stmt;
  }
  sword Execute(OCIStmt* stmt, ub4 iters, ub4 mode = OCI_DEFAULT) {
    return client->OCIStmtExecute(s.svc, stmt, s.err, iters, 0, nullptr, nullptr, mode);
  }
  void Free(OCIStmt* stmt) { EXPECT_EQ(client->OCIHandleFree(stmt, OCI_HTYPE_STMT), OCI_SUCCESS); }

  struct Described {
    ub2 type = 0, size = 0;
    sb2 precision = 0;
    sb1 scale = 0;
    ub1 nullable = 0;
    std::string name;
  };
  Described Describe(OCIStmt* stmt, ub4 position) {
    Described d;
    void* param = nullptr;
    EXPECT_EQ(client->OCIParamGet(stmt, OCI_HTYPE_STMT, s.err, &param, position), OCI_SUCCESS);
    OraText* name = nullptr;
    ub4 nameLength = 0;
    client->OCIAttrGet(param, OCI_DTYPE_PARAM, &d.type, nullptr, OCI_ATTR_DATA_TYPE, s.err);
    client->OCIAttrGet(param, OCI_DTYPE_PARAM, &d.size, nullptr, OCI_ATTR_DATA_SIZE, s.err);
    client->OCIAttrGet(param, OCI_DTYPE_PARAM, &d.precision, nullptr, OCI_ATTR_PRECISION, s.err);
    client->OCIAttrGet(param, OCI_DTYPE_PARAM, &d.scale, nullptr, OCI_ATTR_SCALE, s.err);
    client->OCIAttrGet(param, OCI_DTYPE_PARAM, &d.nullable, nullptr, OCI_ATTR_IS_NULL, s.err);
    client->OCIAttrGet(param, OCI_DTYPE_PARAM, &name, &nameLength, OCI_ATTR_NAME, s.err);
    d.name.assign(reinterpret_cast<char*>(name), nameLength);
    EXPECT_EQ(client->OCIDescriptorFree(param, OCI_DTYPE_PARAM), OCI_SUCCESS);
    return d;
  }

  Oci8Session s{*client};
};

TEST_F(StatementTest, DualSysdateAndUser) {
  EXPECT_EQ(Query(s, "select 'x' from dual"), (Rows{{"x"}}));
  EXPECT_EQ(Query(s, "select user from dual"), (Rows{{"SCOTT"}}));
  EXPECT_EQ(Query(s, "select dummy, 1 + 1, 7 / 2, '' from dual"),
            (Rows{{"X", "2", "3.5", "<null>"}}));

  OCIStmt* stmt = Prepare("select sysdate from dual");
  ub1 date[7] = {};
  OCIDefine* def = nullptr;
  ASSERT_EQ(Execute(stmt, 0), OCI_SUCCESS);
  Described d = Describe(stmt, 1);
  EXPECT_EQ(d.type, 12);
  EXPECT_EQ(d.size, 7);
  EXPECT_EQ(d.name, "SYSDATE");
  ASSERT_EQ(client->OCIDefineByPos(stmt, &def, s.err, 1, date, 7, SQLT_DAT, nullptr, nullptr,
                                   nullptr, OCI_DEFAULT),
            OCI_SUCCESS);
  ASSERT_EQ(client->OCIStmtFetch(stmt, s.err, 1, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_SUCCESS);
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  EXPECT_EQ((date[0] - 100) * 100 + date[1] - 100, local.tm_year + 1900);
  EXPECT_EQ(date[2], local.tm_mon + 1);
  Free(stmt);

  Oci8Session dba(*client);
  ASSERT_TRUE(dba.LogOn("SYSTEM", "MANAGER", "ORCL", OCI_SYSDBA));
  EXPECT_EQ(Query(dba, "select user from dual"), (Rows{{"SYS"}}));
  dba.LogOff();
}

TEST_F(StatementTest, CharacterWidthFollowsTheDatabaseCharacterSet) {
  const std::string sql =
      "select length(chr(2000000000)) l4, length(chr(2000000)) l3,  length(chr(20000)) l2 "
      "from dual";
  EXPECT_EQ(Query(s, sql), (Rows{{"4", "3", "2"}}));
  db.SetCharacterSet("WE8MSWIN1252");
  Oci8Session single(*client);
  ASSERT_TRUE(single.LogOn("SCOTT", "TIGER"));
  EXPECT_EQ(Query(single, sql), (Rows{{"1", "1", "1"}}));
  single.LogOff();
}

TEST_F(StatementTest, DateFormatsFollowTheSession) {
  std::string sql;
  for (int month = 1; month <= 12; ++month) {
    if (month > 1) sql += "\nunion all\n";
    sql += "select to_char(to_date('10-" + std::to_string(month) +
           "-1999 10:10:10', 'dd-mm-yyyy hh24:mi:ss')) from dual";
  }
  Rows rows = Query(s, sql);
  ASSERT_EQ(rows.size(), 12u);
  EXPECT_EQ(rows[0][0], "10-JAN-99");
  EXPECT_EQ(rows[8][0], "10-SEP-99");
  ASSERT_EQ(Exec(s, "alter session set nls_date_format = 'YYYY-MM-DD HH24:MI:SS'"), OCI_SUCCESS);
  EXPECT_EQ(Query(s, sql)[11][0], "1999-12-10 10:10:10");
  EXPECT_EQ(Query(s,
                  "select to_char(to_date('29.02.2000', 'DD.MM.YYYY'), 'Day DD Month YYYY') "
                  "from dual"),
            (Rows{{"Tuesday   29 February  2000"}}));
  EXPECT_EQ(Query(s,
                  "select to_char(to_date('05-03-2024 13:07:09','dd-mm-yyyy hh24:mi:ss') + 1, "
                  "'FMDD.MM.YYYY HH:MI AM') from dual"),
            (Rows{{"6.3.2024 1:7 PM"}}));  // FM drops the leading zeros of every element
  EXPECT_EQ(Query(s,
                  "select to_date('2024-03-05', 'YYYY-MM-DD') - to_date('2024-01-01', "
                  "'YYYY-MM-DD'), to_char(1234.5, 'FM9,990.00'), to_char(0.5), "
                  "to_char(2.5, 'FM9'), to_char(-0.25, '0.0') from dual"),
            (Rows{{"64", "1,234.50", ".5", "3", "-0.3"}}));  // halves round away from zero

  const std::pair<const char*, sb4> bad[] = {
      {"select to_date('31-02-2000', 'DD-MM-YYYY') from dual", 1839},
      {"select to_date('32-01-2000', 'DD-MM-YYYY') from dual", 1847},
      {"select to_date('10-13-2000', 'DD-MM-YYYY') from dual", 1843},
      {"select to_date('10-10-2000 xx', 'DD-MM-YYYY') from dual", 1830},
      {"select to_date('1O-10-2000', 'DD-MM-YYYY') from dual", 1858},
      {"select to_number('12a') from dual", 1722},
      {"alter session set nls_date_format = 'XYZ'", 1821},
      {"alter session set no_such_parameter = 1", 2248},
  };
  for (const auto& [text, code] : bad) {
    SCOPED_TRACE(text);
    OCIStmt* stmt = Prepare(text);
    sword rc = Execute(stmt, 1);
    EXPECT_EQ(rc, OCI_ERROR);
    EXPECT_EQ(s.Error().code, code) << s.Error().text;
    Free(stmt);
  }
}

TEST_F(StatementTest, CreatedTablesDescribeWithOracleTypes) {
  ASSERT_EQ(Exec(s,
                 "create table t_types (n number(7,2) not null, v varchar2(30 byte), "
                 "c char(3), d date default sysdate, r raw(16), l long, f float, i integer, "
                 "p number, cl clob, bl blob, constraint t_types_pk primary key (n)) "
                 "tablespace users"),
            OCI_SUCCESS)
      << s.Error().text;
  ASSERT_EQ(Exec(s, "create table t_raw (lr long raw)"), OCI_SUCCESS) << s.Error().text;
  struct Expected {
    const char* name;
    ub2 type, size;
    sb2 precision;
    sb1 scale;
    ub1 nullable;
  };
  const Expected expected[] = {
      {"N", 2, 22, 7, 2, 0},      {"V", 1, 30, 0, 0, 1},     {"C", 96, 3, 0, 0, 1},
      {"D", 12, 7, 0, 0, 1},      {"R", 23, 16, 0, 0, 1},    {"L", 8, 0, 0, 0, 1},
      {"F", 2, 22, 126, -127, 1}, {"I", 2, 22, 38, 0, 1},    {"P", 2, 22, 0, -127, 1},
      {"CL", 112, 4000, 0, 0, 1}, {"BL", 113, 4000, 0, 0, 1}};
  OCIStmt* stmt = Prepare("select * from scott.t_types");
  ASSERT_EQ(Execute(stmt, 0, OCI_DESCRIBE_ONLY), OCI_SUCCESS) << s.Error().text;
  ub4 count = 0;
  client->OCIAttrGet(stmt, OCI_HTYPE_STMT, &count, nullptr, OCI_ATTR_PARAM_COUNT, s.err);
  ASSERT_EQ(count, std::size(expected));
  for (ub4 i = 0; i < count; ++i) {
    SCOPED_TRACE(expected[i].name);
    Described d = Describe(stmt, i + 1);
    EXPECT_EQ(d.name, expected[i].name);
    EXPECT_EQ(d.type, expected[i].type);
    EXPECT_EQ(d.size, expected[i].size);
    EXPECT_EQ(d.precision, expected[i].precision);
    EXPECT_EQ(d.scale, expected[i].scale);
    EXPECT_EQ(d.nullable, expected[i].nullable);
  }
  void* param = nullptr;
  EXPECT_EQ(client->OCIParamGet(stmt, OCI_HTYPE_STMT, s.err, &param, count + 1), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 24334);
  Free(stmt);
  stmt = Prepare("select t.rowid, lr from t_raw t");
  ASSERT_EQ(Execute(stmt, 0, OCI_DESCRIBE_ONLY), OCI_SUCCESS) << s.Error().text;
  EXPECT_EQ(Describe(stmt, 1).type, 104);
  EXPECT_EQ(Describe(stmt, 2).type, 24);
  Free(stmt);
}

TEST_F(StatementTest, BindsOfEachTypeRoundTripThroughArrays) {
  ASSERT_EQ(Exec(s, "create table t_bind (i number(10), f number, s varchar2(20), d date)"),
            OCI_SUCCESS);
  OCIStmt* insert = Prepare("insert into t_bind (i, f, s, d) values (:i, :f, :s, :d)");
  int ints[3] = {1, -2, 300000};
  double floats[3] = {0.5, -1.25, 1e10};
  char strings[3][8] = {"one", "", "three"};
  sb2 stringInd[3] = {0, 0, -1};
  ub1 dates[3][7] = {
      {120, 124, 3, 5, 14, 8, 10}, {119, 100, 12, 31, 24, 60, 60}, {100, 101, 1, 1, 1, 1, 1}};
  OCIBind* b[4] = {};
  auto bind = [&](int k, const char* name, void* value, sb4 size, ub2 type, void* ind) {
    return client->OCIBindByName(insert, &b[k], s.err, reinterpret_cast<const OraText*>(name),
                                 static_cast<sb4>(strlen(name)), value, size, type, ind, nullptr,
                                 nullptr, 0, nullptr, OCI_DEFAULT);
  };
  ASSERT_EQ(bind(0, ":I", ints, sizeof(int), SQLT_INT, nullptr), OCI_SUCCESS);
  ASSERT_EQ(bind(1, ":f", floats, sizeof(double), SQLT_FLT, nullptr), OCI_SUCCESS);
  ASSERT_EQ(bind(2, ":S", strings, 8, SQLT_STR, stringInd), OCI_SUCCESS);
  ASSERT_EQ(bind(3, ":D", dates, 7, SQLT_DAT, nullptr), OCI_SUCCESS);
  ASSERT_EQ(Execute(insert, 3), OCI_SUCCESS) << s.Error().text;
  ub4 rows = 0;
  client->OCIAttrGet(insert, OCI_HTYPE_STMT, &rows, nullptr, OCI_ATTR_ROW_COUNT, s.err);
  EXPECT_EQ(rows, 3u);
  Free(insert);
  ASSERT_EQ(client->OCITransCommit(s.svc, s.err, 0), OCI_SUCCESS);

  EXPECT_EQ(Query(s, "select i, f, s, to_char(d, 'YYYY-MM-DD HH24:MI:SS') from t_bind order by i"),
            (Rows{{"-2", "-1.25", "<null>", "1900-12-31 23:59:59"},
                  {"1", ".5", "one", "2024-03-05 13:07:09"},
                  {"300000", "10000000000", "<null>", "0001-01-01 00:00:00"}}));

  // Array fetch of two rows at a time into native and Oracle formats.
  OCIStmt* select = Prepare("select i, f, s, d, i from t_bind where i > :low order by i");
  int low = -10;
  OCIBind* lowBind = nullptr;
  ASSERT_EQ(client->OCIBindByPos(select, &lowBind, s.err, 1, &low, sizeof low, SQLT_INT, nullptr,
                                 nullptr, nullptr, 0, nullptr, OCI_DEFAULT),
            OCI_SUCCESS);
  long long outInts[2];
  float outFloats[2];
  char outStrings[2][6];
  sb2 outInd[2];
  ub2 outLen[2];
  ub1 outDates[2][7];
  OCINumber outNumbers[2];
  OCIDefine* d[5] = {};
  ASSERT_EQ(client->OCIDefineByPos(select, &d[0], s.err, 1, outInts, 8, SQLT_INT, nullptr, nullptr,
                                   nullptr, 0),
            OCI_SUCCESS);
  ASSERT_EQ(client->OCIDefineByPos(select, &d[1], s.err, 2, outFloats, 4, SQLT_FLT, nullptr,
                                   nullptr, nullptr, 0),
            OCI_SUCCESS);
  ASSERT_EQ(client->OCIDefineByPos(select, &d[2], s.err, 3, outStrings, 6, SQLT_CHR, outInd, outLen,
                                   nullptr, 0),
            OCI_SUCCESS);
  ASSERT_EQ(client->OCIDefineByPos(select, &d[3], s.err, 4, outDates, 7, SQLT_DAT, nullptr, nullptr,
                                   nullptr, 0),
            OCI_SUCCESS);
  ASSERT_EQ(client->OCIDefineByPos(select, &d[4], s.err, 5, outNumbers, sizeof(OCINumber), SQLT_VNU,
                                   nullptr, nullptr, nullptr, 0),
            OCI_SUCCESS);
  ASSERT_EQ(Execute(select, 2), OCI_SUCCESS) << s.Error().text;
  EXPECT_EQ(outInts[0], -2);
  EXPECT_EQ(outInts[1], 1);
  EXPECT_FLOAT_EQ(outFloats[0], -1.25f);
  EXPECT_EQ(outInd[0], -1);
  EXPECT_EQ(outInd[1], 0);
  EXPECT_EQ(std::string(outStrings[1], outLen[1]), "one");
  EXPECT_EQ(0, std::memcmp(outDates[1], dates[0], 7));
  const ub1 minusTwo[] = {3, 0x3E, 0x63, 0x66};  // length, then -2 in Oracle's form
  EXPECT_EQ(0, std::memcmp(outNumbers[0].OCINumberPart, minusTwo, 4));
  ub4 fetched = 0;
  EXPECT_EQ(client->OCIStmtFetch(select, s.err, 2, OCI_FETCH_NEXT, 0), OCI_NO_DATA);
  client->OCIAttrGet(select, OCI_HTYPE_STMT, &fetched, nullptr, OCI_ATTR_ROWS_FETCHED, s.err);
  EXPECT_EQ(fetched, 1u);
  EXPECT_EQ(outInts[0], 300000);
  client->OCIAttrGet(select, OCI_HTYPE_STMT, &fetched, nullptr, OCI_ATTR_ROW_COUNT, s.err);
  EXPECT_EQ(fetched, 3u);
  EXPECT_EQ(client->OCIStmtFetch(select, s.err, 2, OCI_FETCH_NEXT, 0), OCI_NO_DATA);
  Free(select);
}

TEST_F(StatementTest, TruncationAndNullsFollowOraclesRules) {
  ASSERT_EQ(Exec(s, "create table t_trunc (name varchar2(10), n number)"), OCI_SUCCESS);
  ASSERT_EQ(Exec(s, "insert into t_trunc values ('SMITH', null)"), OCI_SUCCESS);
  OCIStmt* stmt = Prepare("select name, n from t_trunc");
  char buf[8];
  std::memset(buf, 0x5A, sizeof buf);
  sb2 ind = 0;
  ub2 len = 0, code = 0;
  OCIDefine* def = nullptr;
  ASSERT_EQ(client->OCIDefineByPos(stmt, &def, s.err, 1, buf, 4, SQLT_STR, &ind, &len, &code, 0),
            OCI_SUCCESS);
  ASSERT_EQ(Execute(stmt, 1), OCI_SUCCESS_WITH_INFO);
  EXPECT_EQ(s.Error().text, "ORA-01406: fetched column value was truncated\n");
  EXPECT_STREQ(buf, "SMI");
  EXPECT_EQ(buf[4], 0x5A);
  EXPECT_EQ(ind, 5);
  EXPECT_EQ(len, 3);
  EXPECT_EQ(code, 1406);
  Free(stmt);

  stmt = Prepare("select n from t_trunc");
  int n = 7;
  ASSERT_EQ(client->OCIDefineByPos(stmt, &def, s.err, 1, &n, sizeof n, SQLT_INT, nullptr, nullptr,
                                   nullptr, 0),
            OCI_SUCCESS);
  EXPECT_EQ(Execute(stmt, 1), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 1405);
  Free(stmt);

  stmt = Prepare("select name from t_trunc");
  ASSERT_EQ(client->OCIDefineByPos(stmt, &def, s.err, 1, &n, sizeof n, SQLT_INT, nullptr, nullptr,
                                   nullptr, 0),
            OCI_SUCCESS);
  EXPECT_EQ(Execute(stmt, 1), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 1722);
  Free(stmt);

  ASSERT_EQ(Exec(s, "insert into t_trunc (name) values ('ABCDEFGHIJK')"), OCI_ERROR);
  EXPECT_EQ(s.Error().text,
            "ORA-12899: value too large for column \"SCOTT\".\"T_TRUNC\".\"NAME\" (actual: 11, "
            "maximum: 10)\n");
}

TEST_F(StatementTest, ParseErrorsCarryOraclesCodeAndOffset) {
  const struct {
    const char* sql;
    sb4 code;
    ub2 offset;
    const char* text;
  } cases[] = {
      {"select * from nosuch", 942, 14, "ORA-00942: table or view does not exist\n"},
      {"select nosuch from dual", 904, 7, "ORA-00904: \"NOSUCH\": invalid identifier\n"},
      {"select d.nosuch from dual d", 904, 7, "ORA-00904: \"D\".\"NOSUCH\": invalid identifier\n"},
      {"selec * from dual", 900, 0, "ORA-00900: invalid SQL statement\n"},
      {"select 'abc from dual", 1756, 7, "ORA-01756: quoted string not properly terminated\n"},
      {"select (1 from dual", 907, 19, "ORA-00907: missing right parenthesis\n"},
      {"select from dual", 936, 7, "ORA-00936: missing expression\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sql);
    OCIStmt* stmt = Prepare(c.sql);
    EXPECT_EQ(Execute(stmt, 0), OCI_ERROR);
    EXPECT_EQ(s.Error().code, c.code);
    EXPECT_EQ(s.Error().text, c.text);
    ub2 offset = 999;
    EXPECT_EQ(client->OCIAttrGet(stmt, OCI_HTYPE_STMT, &offset, nullptr,
                                 OCI_ATTR_PARSE_ERROR_OFFSET, s.err),
              OCI_SUCCESS);
    EXPECT_EQ(offset, c.offset);
    offset = 999;
    client->OCIAttrGet(s.err, OCI_HTYPE_ERROR, &offset, nullptr, OCI_ATTR_PARSE_ERROR_OFFSET,
                       s.err);
    Free(stmt);
  }
}

TEST_F(StatementTest, StatementTypeAndFunctionCodeAfterPrepare) {
  const struct {
    const char* sql;
    ub2 type, code;
  } cases[] = {{"select * from dual", 1, 4},        {"insert into x values (1)", 4, 3},
               {"UPDATE x set a = 1", 2, 5},        {"delete x", 3, 9},
               {"create table x (a number)", 5, 1}, {"alter session set sql_trace = true", 7, 52},
               {"begin null; end;", 8, 34}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sql);
    OCIStmt* stmt = Prepare(c.sql);
    ub2 type = 0, code = 0;
    client->OCIAttrGet(stmt, OCI_HTYPE_STMT, &type, nullptr, OCI_ATTR_STMT_TYPE, s.err);
    client->OCIAttrGet(stmt, OCI_HTYPE_STMT, &code, nullptr, OCI_ATTR_SQLFNCODE, s.err);
    EXPECT_EQ(type, c.type);
    EXPECT_EQ(code, c.code);
    Free(stmt);
  }
  // A block runs; the PL/SQL tests cover what it can do.
  EXPECT_EQ(Exec(s, "begin null; end;"), OCI_SUCCESS);
}

TEST_F(StatementTest, TransactionsAreIsolatedUntilCommit) {
  ASSERT_EQ(Exec(s, "create table t_tx (a number)"), OCI_SUCCESS);
  Oci8Session other(*client);
  ASSERT_TRUE(other.LogOn("SCOTT", "TIGER"));
  ASSERT_EQ(Exec(s, "insert into t_tx values (1)"), OCI_SUCCESS);
  EXPECT_EQ(Query(s, "select count(*) from t_tx"), (Rows{{"1"}}));
  EXPECT_EQ(Query(other, "select count(*) from t_tx"), (Rows{{"0"}}));
  ASSERT_EQ(client->OCITransRollback(s.svc, s.err, 0), OCI_SUCCESS);
  EXPECT_EQ(Query(s, "select count(*) from t_tx"), (Rows{{"0"}}));
  ASSERT_EQ(Exec(s, "insert into t_tx values (2)"), OCI_SUCCESS);
  ASSERT_EQ(Exec(s, "commit"), OCI_SUCCESS);
  EXPECT_EQ(Query(other, "select a from t_tx"), (Rows{{"2"}}));
  // COMMIT_ON_SUCCESS, savepoints, and the commit of a normal session end.
  OCIStmt* stmt = Prepare("insert into t_tx values (3)");
  ASSERT_EQ(Execute(stmt, 1, OCI_COMMIT_ON_SUCCESS), OCI_SUCCESS);
  Free(stmt);
  EXPECT_EQ(Query(other, "select count(*) from t_tx"), (Rows{{"2"}}));
  ASSERT_EQ(Exec(s, "savepoint before_four"), OCI_SUCCESS);
  ASSERT_EQ(Exec(s, "insert into t_tx values (4)"), OCI_SUCCESS);
  ASSERT_EQ(Exec(s, "rollback to savepoint before_four"), OCI_SUCCESS) << s.Error().text;
  ASSERT_EQ(Exec(s, "insert into t_tx values (5)"), OCI_SUCCESS);
  s.LogOff();
  EXPECT_EQ(Query(other, "select a from t_tx order by a"), (Rows{{"2"}, {"3"}, {"5"}}));
  // A detached server loses what it did not commit.
  ASSERT_EQ(Exec(other, "delete from t_tx"), OCI_SUCCESS);
  EXPECT_EQ(other.Detach(), OCI_SUCCESS);
  ASSERT_TRUE(s.LogOn("SCOTT", "TIGER"));
  EXPECT_EQ(Query(s, "select count(*) from t_tx"), (Rows{{"3"}}));
}

TEST_F(StatementTest, RowidsAreOraclesTextAndFindTheirRow) {
  ASSERT_EQ(Exec(s, "create table t_rowid (a number)"), OCI_SUCCESS);
  ASSERT_EQ(Exec(s, "insert into t_rowid values (10)"), OCI_SUCCESS);
  ASSERT_EQ(Exec(s, "insert into t_rowid values (20)"), OCI_SUCCESS);
  Rows rows = Query(s, "select rowid, a from t_rowid order by a");
  ASSERT_EQ(rows.size(), 2u);
  const std::string rowid = rows[1][0];
  EXPECT_EQ(rowid.size(), 18u);
  EXPECT_EQ(
      rowid.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"),
      std::string::npos);
  EXPECT_EQ(Query(s, "select a from t_rowid where rowid = '" + rowid + "'"), (Rows{{"20"}}));
  OCIStmt* update = Prepare("update t_rowid set a = a + 1 where rowid = :rid");
  OCIBind* b = nullptr;
  ASSERT_EQ(
      client->OCIBindByName(update, &b, s.err, reinterpret_cast<const OraText*>(":rid"), 4,
                            const_cast<char*>(rowid.c_str()), static_cast<sb4>(rowid.size() + 1),
                            SQLT_STR, nullptr, nullptr, nullptr, 0, nullptr, 0),
      OCI_SUCCESS);
  ASSERT_EQ(Execute(update, 1), OCI_SUCCESS) << s.Error().text;
  Free(update);
  EXPECT_EQ(Query(s, "select a from t_rowid order by a"), (Rows{{"10"}, {"21"}}));

  // The ROWID of an inserted row, and a ROWID descriptor as a define.
  OCIStmt* insert = Prepare("insert into t_rowid values (30)");
  ASSERT_EQ(Execute(insert, 1), OCI_SUCCESS);
  void* descriptor = nullptr;
  ASSERT_EQ(client->OCIDescriptorAlloc(s.env, &descriptor, OCI_DTYPE_ROWID, 0, nullptr),
            OCI_SUCCESS);
  EXPECT_EQ(client->OCIAttrGet(insert, OCI_HTYPE_STMT, descriptor, nullptr, OCI_ATTR_ROWID, s.err),
            OCI_SUCCESS)
      << s.Error().text;
  Free(insert);
  OCIStmt* select = Prepare("select rowid from t_rowid where a = 30");
  OCIDefine* d = nullptr;
  void* target = nullptr;
  ASSERT_EQ(client->OCIDescriptorAlloc(s.env, &target, OCI_DTYPE_ROWID, 0, nullptr), OCI_SUCCESS);
  ASSERT_EQ(client->OCIDefineByPos(select, &d, s.err, 1, &target, sizeof target, SQLT_RDD, nullptr,
                                   nullptr, nullptr, 0),
            OCI_SUCCESS);
  EXPECT_EQ(Execute(select, 1), OCI_SUCCESS) << s.Error().text;
  Free(select);
  client->OCIDescriptorFree(descriptor, OCI_DTYPE_ROWID);
  client->OCIDescriptorFree(target, OCI_DTYPE_ROWID);
}

TEST_F(StatementTest, AlterUserChangesThePassword) {
  ASSERT_EQ(Exec(s, "alter user scott identified by Lion"), OCI_SUCCESS) << s.Error().text;
  EXPECT_TRUE(db.CheckPassword("SCOTT", "Lion"));
  EXPECT_EQ(Exec(s, "alter user system identified by x"), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 1031);
  EXPECT_EQ(Exec(s, "alter user scott account lock"), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 1031);
  EXPECT_EQ(Exec(s, "alter user nobody identified by x"), OCI_ERROR);
  EXPECT_EQ(s.Error().text, "ORA-01918: user 'NOBODY' does not exist\n");

  Oci8Session dba(*client);
  ASSERT_TRUE(dba.LogOn("SYSTEM", "MANAGER", "ORCL", OCI_SYSDBA));
  ASSERT_EQ(Exec(dba, "alter user scott account lock"), OCI_SUCCESS) << dba.Error().text;
  ASSERT_EQ(Exec(dba, "alter user grace_user identified by \"Fresh\""), OCI_SUCCESS);
  dba.LogOff();
  Oci8Session locked(*client);
  EXPECT_FALSE(locked.LogOn("SCOTT", "Lion"));
  EXPECT_EQ(locked.Error().code, 28000);
  Oci8Session fresh(*client);
  EXPECT_EQ(fresh.Attach("ORCL"), OCI_SUCCESS);
  EXPECT_EQ(fresh.Begin("GRACE_USER", "Fresh"), OCI_SUCCESS);  // no longer in its grace period
  fresh.LogOff();
}

TEST_F(StatementTest, StatementCacheReusesReleasedStatements) {
  void* lib = client->Library();
  const long before = testing::LiveHandles(lib);
  const std::string sql = "select 'cached' from dual";
  OCIStmt* first = nullptr;
  ASSERT_EQ(
      client->OCIStmtPrepare2(s.svc, &first, s.err, reinterpret_cast<const OraText*>(sql.data()),
                              static_cast<ub4>(sql.size()), nullptr, 0, OCI_NTV_SYNTAX, 0),
      OCI_SUCCESS);
  EXPECT_EQ(testing::LiveHandles(lib), before + 1);
  ASSERT_EQ(Execute(first, 0), OCI_SUCCESS);
  ASSERT_EQ(client->OCIStmtRelease(first, s.err, nullptr, 0, OCI_DEFAULT), OCI_SUCCESS);
  EXPECT_EQ(testing::LiveHandles(lib), before);
  OCIStmt* second = nullptr;
  ASSERT_EQ(
      client->OCIStmtPrepare2(s.svc, &second, s.err, reinterpret_cast<const OraText*>(sql.data()),
                              static_cast<ub4>(sql.size()), nullptr, 0, OCI_NTV_SYNTAX, 0),
      OCI_SUCCESS);
  EXPECT_EQ(second, first);
  ASSERT_EQ(client->OCIStmtRelease(second, s.err, reinterpret_cast<const OraText*>("tag"), 3,
                                   OCI_DEFAULT),
            OCI_SUCCESS);
  OCIStmt* tagged = nullptr;
  EXPECT_EQ(client->OCIStmtPrepare2(s.svc, &tagged, s.err, nullptr, 0,
                                    reinterpret_cast<const OraText*>("tag"), 3, OCI_NTV_SYNTAX,
                                    OCI_PREP2_CACHE_SEARCHONLY),
            OCI_SUCCESS);
  EXPECT_EQ(tagged, first);
  ASSERT_EQ(client->OCIStmtRelease(tagged, s.err, nullptr, 0, OCI_STRLS_CACHE_DELETE), OCI_SUCCESS);
  EXPECT_EQ(client->OCIStmtPrepare2(s.svc, &tagged, s.err, nullptr, 0,
                                    reinterpret_cast<const OraText*>("tag"), 3, OCI_NTV_SYNTAX,
                                    OCI_PREP2_CACHE_SEARCHONLY),
            OCI_ERROR);
  EXPECT_EQ(s.Error().code, 24431);
  EXPECT_EQ(testing::LiveHandles(lib), before);
}

TEST_F(StatementTest, FetchCallsAreCounted) {
  ASSERT_EQ(Exec(s, "create table t_count (a number)"), OCI_SUCCESS);
  OCIStmt* insert = Prepare("insert into t_count values (:a)");
  int values[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  OCIBind* b = nullptr;
  ASSERT_EQ(client->OCIBindByPos(insert, &b, s.err, 1, values, sizeof(int), SQLT_INT, nullptr,
                                 nullptr, nullptr, 0, nullptr, 0),
            OCI_SUCCESS);
  ASSERT_EQ(Execute(insert, 10), OCI_SUCCESS);
  Free(insert);
  testing::ResetCallCounts(client->Library());
  OCIStmt* select = Prepare("select a from t_count");
  int out[4];
  OCIDefine* d = nullptr;
  ASSERT_EQ(client->OCIDefineByPos(select, &d, s.err, 1, out, sizeof(int), SQLT_INT, nullptr,
                                   nullptr, nullptr, 0),
            OCI_SUCCESS);
  ASSERT_EQ(Execute(select, 0), OCI_SUCCESS);
  sword rc;
  while ((rc = client->OCIStmtFetch2(select, s.err, 4, OCI_FETCH_NEXT, 0, 0)) == OCI_SUCCESS) {
  }
  EXPECT_EQ(rc, OCI_NO_DATA);
  EXPECT_EQ(testing::CallCount(client->Library(), "OCIStmtFetch2"), 3);
  EXPECT_EQ(testing::CallCount(client->Library(), "OCIStmtExecute"), 1);
  Free(select);
}

TEST_F(StatementTest, ExecuteFaultsAndLostConnections) {
  db.FailCall("OCIStmtExecute", 1013);
  EXPECT_EQ(Exec(s, "select 1 from dual"), OCI_ERROR);
  EXPECT_EQ(s.Error().text, "ORA-01013: user requested cancel of current operation\n");
  db.ClearFaults();
  db.LoseConnectionAfter(2);
  EXPECT_EQ(Exec(s, "select 1 from dual"), OCI_SUCCESS);
  EXPECT_EQ(Exec(s, "select 1 from dual"), OCI_SUCCESS);
  EXPECT_EQ(Exec(s, "select 1 from dual"), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 3113);
  EXPECT_EQ(Exec(s, "select 1 from dual"), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 3114);
  db.ClearFaults();
}

TEST_F(StatementTest, WrongHandlesAndBadArgumentsAreRejected) {
  OCIStmt* stmt = Prepare("select 1 from dual");
  char garbage[64] = {};
  EXPECT_EQ(client->OCIStmtExecute(reinterpret_cast<OCISvcCtx*>(garbage), stmt, s.err, 0, 0,
                                   nullptr, nullptr, 0),
            OCI_INVALID_HANDLE);
  EXPECT_EQ(client->OCIStmtExecute(s.svc, reinterpret_cast<OCIStmt*>(s.svc), s.err, 0, 0, nullptr,
                                   nullptr, 0),
            OCI_INVALID_HANDLE);
  EXPECT_EQ(client->OCIStmtFetch(stmt, s.err, 1, OCI_FETCH_NEXT, 0), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 24338);
  OCIDefine* d = nullptr;
  EXPECT_EQ(client->OCIDefineByPos(stmt, nullptr, s.err, 1, garbage, 4, SQLT_INT, nullptr, nullptr,
                                   nullptr, 0),
            OCI_ERROR);
  EXPECT_EQ(client->OCIDefineByPos(stmt, &d, s.err, 1, garbage, -4, SQLT_INT, nullptr, nullptr,
                                   nullptr, 0),
            OCI_ERROR);
  EXPECT_EQ(client->OCIStmtFetch2(stmt, s.err, 1, OCI_FETCH_LAST, 0, 0), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 24391);
  Free(stmt);
  EXPECT_EQ(client->OCIStmtExecute(s.svc, stmt, s.err, 0, 0, nullptr, nullptr, 0),
            OCI_INVALID_HANDLE);

  stmt = Prepare("insert into nowhere values (:a)");
  EXPECT_EQ(Execute(stmt, 1), OCI_ERROR);  // the table is missing before the bind is
  EXPECT_EQ(s.Error().code, 942);
  Free(stmt);
  stmt = Prepare("select :a from dual");
  EXPECT_EQ(Execute(stmt, 0), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 1008);
  Free(stmt);
  stmt = Prepare("insert into t values (1)");
  EXPECT_EQ(Execute(stmt, 0), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 24333);
  Free(stmt);
}

class OlderClientStatementTest : public ClientTest {
 protected:
  OlderClientStatementTest() : ClientTest(testing::Variant::Oci8) {}
};

TEST_F(OlderClientStatementTest, ParseErrorOffsetHasTheOlderAttributeNumber) {
  Oci8Session s(*client, OCI_DEFAULT);
  ASSERT_TRUE(s.LogOn("SCOTT", "TIGER"));
  OCIStmt* stmt = nullptr;
  ASSERT_EQ(
      client->OCIHandleAlloc(s.env, reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT, 0, nullptr),
      OCI_SUCCESS);
  const char sql[] = "select * from nosuch";
  ASSERT_EQ(client->OCIStmtPrepare(stmt, s.err, reinterpret_cast<const OraText*>(sql),
                                   sizeof sql - 1, OCI_NTV_SYNTAX, 0),
            OCI_SUCCESS);
  EXPECT_EQ(client->OCIStmtExecute(s.svc, stmt, s.err, 0, 0, nullptr, nullptr, 0), OCI_ERROR);
  ub2 offset = 0;
  EXPECT_EQ(client->OCIAttrGet(stmt, OCI_HTYPE_STMT, &offset, nullptr, 128, s.err), OCI_SUCCESS);
  EXPECT_EQ(offset, 14);
  EXPECT_EQ(client->OCIAttrGet(stmt, OCI_HTYPE_STMT, &offset, nullptr, 129, s.err), OCI_ERROR);
  client->OCIHandleFree(stmt, OCI_HTYPE_STMT);
  s.LogOff();
}

}  // namespace
}  // namespace ociemu::test
