// Oracle's SQL as the server answers it: constraint errors naming the constraint, column
// limits, NULL in concatenation, ROWNUM, division by zero, single-row subqueries, invalid
// dates, parse offsets, sequences, V$VERSION and the session statements.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <utility>

#include "ociemu/ClientFixture.h"

namespace ociemu::test {
namespace {

class SqlSemanticsTest : public ClientTest {
 protected:
  void SetUp() override {
    ClientTest::SetUp();
    ASSERT_TRUE(s.LogOn("SCOTT", "TIGER")) << s.Error().text;
  }
  void TearDown() override { s.LogOff(); }

  // "ok" or the error text of running sql.
  std::string Outcome(const std::string& sql) { return Run(s, sql); }
  static std::string Run(Oci8Session& session, const std::string& sql) {
    return Exec(session, sql) == OCI_SUCCESS ? "ok" : session.Error().text;
  }

  void MakeScottTables() {
    for (const char* sql : {
             "create table dept (deptno number(2) constraint pk_dept primary key, "
             "dname varchar2(14) not null, loc varchar2(13) default 'NEW YORK')",
             "create table emp (empno number(4) primary key, ename varchar2(10), "
             "hiredate date default sysdate, sal number(7,2) constraint ck_sal check (sal > 0), "
             "comm number(7,2) check (comm >= 0), "
             "deptno number(2) constraint fk_deptno references dept)",
             "insert into dept values (10, 'ACCOUNTING', 'NEW YORK')",
             "insert into dept values (20, 'RESEARCH', 'DALLAS')",
             "commit",
         }) {
      ASSERT_EQ(Outcome(sql), "ok") << sql;
    }
  }

  Oci8Session s{*client};
};

TEST_F(SqlSemanticsTest, ConstraintViolationsNameTheConstraint) {
  MakeScottTables();
  const auto generated = Query(s,
                               "select constraint_name, constraint_type, search_condition from "
                               "user_constraints where table_name = 'EMP' and constraint_name "
                               "like 'SYS_C%' order by constraint_type, constraint_name");
  ASSERT_EQ(generated.size(), 2u);  // the check on COMM, the primary key
  const std::string check = generated[0][0], key = generated[1][0];
  EXPECT_EQ(generated[0][2], "comm >= 0");
  EXPECT_EQ(check.size(), 12u);  // SYS_C and seven digits
  const struct {
    const char* sql;
    std::string text;
  } cases[] = {
      {"insert into dept values (10, 'X', 'Y')",
       "ORA-00001: unique constraint (SCOTT.PK_DEPT) violated\n"},
      {"insert into dept (deptno) values (30)",
       "ORA-01400: cannot insert NULL into (\"SCOTT\".\"DEPT\".\"DNAME\")\n"},
      {"update dept set dname = null",
       "ORA-01407: cannot update (\"SCOTT\".\"DEPT\".\"DNAME\") to NULL\n"},
      {"insert into emp (empno, deptno) values (1, 99)",
       "ORA-02291: integrity constraint (SCOTT.FK_DEPTNO) violated - parent key not found\n"},
      {"insert into emp (empno, sal) values (2, -1)",
       "ORA-02290: check constraint (SCOTT.CK_SAL) violated\n"},
      {"insert into emp (empno, comm) values (3, -1)",
       "ORA-02290: check constraint (SCOTT." + check + ") violated\n"},
      {"insert into emp (empno, deptno) values (4, 10)", "ok"},
      {"insert into emp (empno) values (4)",
       "ORA-00001: unique constraint (SCOTT." + key + ") violated\n"},
      {"delete from dept where deptno = 10",
       "ORA-02292: integrity constraint (SCOTT.FK_DEPTNO) violated - child record found\n"},
      {"create table dup (a number constraint pk_dept primary key)",
       "ORA-02264: name already used by an existing constraint\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(Outcome(c.sql), c.text) << c.sql;
  // The failed CREATE TABLE left nothing behind.
  EXPECT_EQ(Outcome("select * from dup"), "ORA-00942: table or view does not exist\n");
}

TEST_F(SqlSemanticsTest, ColumnLimitsRoundAndReject) {
  ASSERT_EQ(Outcome("create table limits (a number(5,2), b number(3), c varchar2(5 char), "
                    "d char(3), e number(3,-1))"),
            "ok");
  const struct {
    const char* sql;
    const char* text;
  } cases[] = {
      {"insert into limits (a, b) values (123.456, 12.5)", "ok"},
      {"insert into limits (a) values (999.995)",
       "ORA-01438: value larger than specified precision allowed for this column\n"},
      {"insert into limits (b) values (999.6)",
       "ORA-01438: value larger than specified precision allowed for this column\n"},
      {"insert into limits (e) values (9994)", "ok"},
      {"insert into limits (a) values ('abc')", "ORA-01722: invalid number\n"},
      {"insert into limits (c) values ('\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9')", "ok"},
      {"insert into limits (c) values ('\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9')",
       "ORA-12899: value too large for column \"SCOTT\".\"LIMITS\".\"C\" (actual: 6, maximum: "
       "5)\n"},
      {"insert into limits (d) values ('ABCD')",
       "ORA-12899: value too large for column \"SCOTT\".\"LIMITS\".\"D\" (actual: 4, maximum: "
       "3)\n"},
      {"update limits set a = 1.005 where b = 13", "ok"},
  };
  for (const auto& c : cases) EXPECT_EQ(Outcome(c.sql), c.text) << c.sql;
  EXPECT_EQ(Query(s, "select a, b, e from limits where a is not null or e is not null order by e"),
            (Rows{{"1.01", "13", "<null>"}, {"<null>", "<null>", "9990"}}));
}

TEST_F(SqlSemanticsTest, ExpressionsFollowOracle) {
  MakeScottTables();
  const struct {
    const char* sql;
    Rows rows;
  } cases[] = {
      {"select 'a' || null || 'b', null || null, 'n' || 0.5 || 7 from dual",
       {{"ab", "<null>", "n.57"}}},
      {"select dname || ' in ' || loc from dept order by deptno",
       {{"ACCOUNTING in NEW YORK"}, {"RESEARCH in DALLAS"}}},
      {"select to_char(to_date('03-01-2000', 'dd-mm-yyyy')) || '!' from dual", {{"03-JAN-00!"}}},
      {"select deptno from dept where rownum <= 1", {{"10"}}},
      {"select count(*) from (select deptno from dept where rownum < 2)", {{"1"}}},
      {"select count(*) from (select deptno from dept)", {{"2"}}},
      {"select nvl((select max(deptno) from dept where deptno > 10), 0), "
       "decode(1, 1, (select dname from dept where deptno = 10)) from dual",
       {{"20", "ACCOUNTING"}}},
      {"select rownum, dname from dept order by deptno", {{"1", "ACCOUNTING"}, {"2", "RESEARCH"}}},
      {"select (select max(deptno) from dept), (select dname from dept where deptno = 20) from "
       "dual",
       {{"20", "RESEARCH"}}},
      {"select deptno from dept where deptno in (select deptno from dept) order by 1",
       {{"10"}, {"20"}}},
      {"select 10 / 4, 7 / (3 - 1) from dual", {{"2.5", "3.5"}}},
  };
  for (const auto& c : cases) EXPECT_EQ(Query(s, c.sql), c.rows) << c.sql;
  const struct {
    const char* sql;
    const char* text;
  } errors[] = {
      {"select 1 / 0 from dual", "ORA-01476: divisor is equal to zero\n"},
      {"select deptno / (deptno - 10) from dept", "ORA-01476: divisor is equal to zero\n"},
      {"select (select deptno from dept) from dual",
       "ORA-01427: single-row subquery returns more than one row\n"},
      {"update dept set loc = (select dname from dept)",
       "ORA-01427: single-row subquery returns more than one row\n"},
      {"select to_date('31-02-2000', 'dd-mm-yyyy') from dual",
       "ORA-01839: date not valid for month specified\n"},
      {"select to_date('32-01-2000', 'dd-mm-yyyy') from dual",
       "ORA-01847: day of month must be between 1 and last day of month\n"},
      {"select to_date('10-13-2000', 'dd-mm-yyyy') from dual", "ORA-01843: not a valid month\n"},
  };
  for (const auto& e : errors) {
    OCIStmt* stmt = nullptr;
    client->OCIHandleAlloc(s.env, reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT, 0, nullptr);
    client->OCIStmtPrepare(stmt, s.err, reinterpret_cast<const OraText*>(e.sql),
                           static_cast<ub4>(std::strlen(e.sql)), OCI_NTV_SYNTAX, OCI_DEFAULT);
    ub2 type = 0;
    client->OCIAttrGet(stmt, OCI_HTYPE_STMT, &type, nullptr, OCI_ATTR_STMT_TYPE, s.err);
    EXPECT_EQ(client->OCIStmtExecute(s.svc, stmt, s.err, type == OCI_STMT_SELECT ? 1 : 1, 0,
                                     nullptr, nullptr, OCI_DEFAULT),
              OCI_ERROR)
        << e.sql;
    EXPECT_EQ(s.Error().text, e.text) << e.sql;
    client->OCIHandleFree(stmt, OCI_HTYPE_STMT);
  }  // A subquery in parentheses as the rows of an INSERT is no scalar subquery.
  EXPECT_EQ(Outcome("insert into dept (select deptno + 50, dname, loc from dept)"), "ok");
}

TEST_F(SqlSemanticsTest, ParseErrorsPointWhereOracleDoes) {
  const struct {
    const char* sql;
    const char* text;
    ub2 offset;
  } cases[] = {
      {"select * from dual where", "ORA-00936: missing expression\n", 24},
      {"select * from dual x y", "ORA-00933: SQL command not properly ended\n", 21},
      {"select dummy from dual where nosuch = 1", "ORA-00904: \"NOSUCH\": invalid identifier\n",
       29},
      {"select dummy from dual, nosuch", "ORA-00942: table or view does not exist\n", 24},
  };
  for (const auto& c : cases) {
    OCIStmt* stmt = nullptr;
    client->OCIHandleAlloc(s.env, reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT, 0, nullptr);
    client->OCIStmtPrepare(stmt, s.err, reinterpret_cast<const OraText*>(c.sql),
                           static_cast<ub4>(std::strlen(c.sql)), OCI_NTV_SYNTAX, OCI_DEFAULT);
    EXPECT_EQ(client->OCIStmtExecute(s.svc, stmt, s.err, 0, 0, nullptr, nullptr, OCI_DEFAULT),
              OCI_ERROR);
    EXPECT_EQ(s.Error().text, c.text) << c.sql;
    ub2 offset = 0;
    client->OCIAttrGet(stmt, OCI_HTYPE_STMT, &offset, nullptr, OCI_ATTR_PARSE_ERROR_OFFSET, s.err);
    EXPECT_EQ(offset, c.offset) << c.sql;
    client->OCIHandleFree(stmt, OCI_HTYPE_STMT);
  }
}

TEST_F(SqlSemanticsTest, SequencesCountAndStop) {
  ASSERT_EQ(Outcome("create sequence emp_seq start with 10 increment by 5 maxvalue 20"), "ok");
  OCIStmt* stmt = nullptr;
  auto value = [&](const char* sql) -> std::string {
    Rows rows;
    const std::string text = sql;
    client->OCIHandleAlloc(s.env, reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT, 0, nullptr);
    client->OCIStmtPrepare(stmt, s.err, reinterpret_cast<const OraText*>(sql),
                           static_cast<ub4>(text.size()), OCI_NTV_SYNTAX, OCI_DEFAULT);
    char buf[64] = {};
    OCIDefine* def = nullptr;
    client->OCIDefineByPos(stmt, &def, s.err, 1, buf, sizeof buf, SQLT_STR, nullptr, nullptr,
                           nullptr, OCI_DEFAULT);
    sword rc = client->OCIStmtExecute(s.svc, stmt, s.err, 1, 0, nullptr, nullptr, OCI_DEFAULT);
    client->OCIHandleFree(stmt, OCI_HTYPE_STMT);
    return rc == OCI_SUCCESS ? std::string(buf) : s.Error().text;
  };
  EXPECT_EQ(value("select emp_seq.currval from dual"),
            "ORA-08002: sequence EMP_SEQ.CURRVAL is not yet defined in this session\n");
  EXPECT_EQ(value("select emp_seq.nextval from dual"), "10");
  EXPECT_EQ(value("select emp_seq.currval from dual"), "10");
  EXPECT_EQ(value("select emp_seq.nextval from dual"), "15");
  EXPECT_EQ(value("select emp_seq.nextval from dual"), "20");
  EXPECT_EQ(value("select emp_seq.nextval from dual"),
            "ORA-08004: sequence EMP_SEQ.NEXTVAL exceeds MAXVALUE and cannot be instantiated\n");
  EXPECT_EQ(Query(s,
                  "select sequence_name, min_value, max_value, increment_by, cycle_flag, "
                  "last_number from user_sequences"),
            (Rows{{"EMP_SEQ", "1", "20", "5", "N", "25"}}));
  // A rollback does not give sequence values back.
  ASSERT_EQ(Outcome("create sequence txn_seq"), "ok");
  ASSERT_EQ(Outcome("create table seq_use (n number)"), "ok");
  ASSERT_EQ(Outcome("insert into seq_use values (txn_seq.nextval)"), "ok");
  ASSERT_EQ(Outcome("rollback"), "ok");
  EXPECT_EQ(value("select txn_seq.nextval from dual"), "2");
  EXPECT_EQ(Outcome("create sequence emp_seq"),
            "ORA-00955: name is already used by an existing object\n");
  EXPECT_EQ(Outcome("create sequence bad_seq increment by 0"),
            "ORA-04002: INCREMENT must be a non-zero integer\n");
  EXPECT_EQ(Outcome("drop sequence emp_seq"), "ok");
  EXPECT_EQ(value("select emp_seq.nextval from dual"), "ORA-02289: sequence does not exist\n");
}

TEST_F(SqlSemanticsTest, VersionAndSessionStatements) {
  EXPECT_EQ(Query(s, "select banner from v$version"),
            (Rows{{"Oracle Database 19c Enterprise Edition Release 19.0.0.0.0 - Production"}}));
  const struct {
    const char* sql;
    const char* text;
  } cases[] = {
      {"alter session set sql_trace = true", "ok"},
      {"alter session set sql_trace = false", "ok"},
      {"alter session set optimizer_mode = first_rows", "ok"},
      {"alter session set optimizer_goal = choose", "ORA-01986: OPTIMIZER_GOAL is obsolete\n"},
      {"alter session set optimizer_mode = choose", "ok"},
      {"alter session set isolation_level = read committed", "ok"},
      {"alter session set nls_date_format = 'YYYY-MM-DD HH24:MI:SS'", "ok"},
      {"alter user scott identified by lion", "ok"},
  };
  for (const auto& c : cases) EXPECT_EQ(Outcome(c.sql), c.text) << c.sql;
  // The date format length measurement reads the session's format.
  std::string months;
  for (int i = 1; i <= 12; ++i) {
    if (i > 1) months += "\nunion all\n";
    months += "select to_char(to_date('10-" + std::to_string(i) +
              "-1999 10:10:10', 'dd-mm-yyyy hh24:mi:ss')) from dual";
  }
  const Rows dates = Query(s, months);
  ASSERT_EQ(dates.size(), 12u);
  EXPECT_EQ(dates[0][0], "1999-01-10 10:10:10");
  s.LogOff();
  Oci8Session before{*client}, after{*client};
  EXPECT_FALSE(before.LogOn("SCOTT", "TIGER"));
  EXPECT_TRUE(after.LogOn("SCOTT", "lion")) << after.Error().text;
  after.LogOff();
}

TEST_F(SqlSemanticsTest, OlderServersAcceptTheOptimizerGoal) {
  db.SetBanner("Oracle9i Enterprise Edition Release 9.2.0.1.0 - Production");
  s.LogOff();
  ASSERT_TRUE(s.LogOn("SCOTT", "TIGER")) << s.Error().text;
  EXPECT_EQ(Outcome("alter session set optimizer_goal = rule"), "ok");
  EXPECT_EQ(Query(s, "select count(*) from v$version"), (Rows{{"5"}}));
  ASSERT_EQ(Outcome("create table old_names (n varchar2(2))"), "ok");
  EXPECT_EQ(Outcome("insert into old_names values ('abc')"),
            "ORA-01401: inserted value too large for column\n");
}

// Under serializable a transaction reads one snapshot and cannot update what another session
// changed after it began.
TEST_F(SqlSemanticsTest, SerializableTransactionsKeepTheirSnapshot) {
  MakeScottTables();
  Oci8Session other{*client};
  ASSERT_TRUE(other.LogOn("SCOTT", "TIGER")) << other.Error().text;
  ASSERT_EQ(Outcome("alter session set isolation_level = serializable"), "ok");
  EXPECT_EQ(Query(s, "select loc from dept where deptno = 20"), (Rows{{"DALLAS"}}));
  ASSERT_EQ(Run(other, "update dept set loc = 'AUSTIN' where deptno = 20"), "ok");
  ASSERT_EQ(Run(other, "commit"), "ok");
  EXPECT_EQ(Query(s, "select loc from dept where deptno = 20"), (Rows{{"DALLAS"}}));
  EXPECT_EQ(Outcome("update dept set loc = 'HOUSTON' where deptno = 20"),
            "ORA-08177: can't serialize access for this transaction\n");
  ASSERT_EQ(Outcome("rollback"), "ok");
  EXPECT_EQ(Query(s, "select loc from dept where deptno = 20"), (Rows{{"AUSTIN"}}));
  // Read committed sees each commit at once.
  ASSERT_EQ(Outcome("alter session set isolation_level = read committed"), "ok");
  ASSERT_EQ(Outcome("commit"), "ok");  // the new level applies from the next transaction
  ASSERT_EQ(Run(other, "update dept set loc = 'DENVER' where deptno = 20"), "ok");
  ASSERT_EQ(Run(other, "commit"), "ok");
  EXPECT_EQ(Query(s, "select loc from dept where deptno = 20"), (Rows{{"DENVER"}}));
  other.LogOff();
}

// DML RETURNING ... INTO writes the changed row's values into the output binds.
TEST_F(SqlSemanticsTest, ReturningIntoFillsTheOutputBinds) {
  MakeScottTables();
  ASSERT_EQ(Outcome("create sequence dept_seq start with 50 increment by 10"), "ok");
  const std::string sql =
      "insert into dept (deptno, dname) values (dept_seq.nextval, :name) "
      "returning deptno, dname || '!', rowid into :id, :shout, :row";
  OCIStmt* stmt = nullptr;
  client->OCIHandleAlloc(s.env, reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT, 0, nullptr);
  ASSERT_EQ(client->OCIStmtPrepare(stmt, s.err, reinterpret_cast<const OraText*>(sql.data()),
                                   static_cast<ub4>(sql.size()), OCI_NTV_SYNTAX, OCI_DEFAULT),
            OCI_SUCCESS);
  char name[] = "SALES";
  int id = 0;
  char shout[32] = {}, row[32] = {};
  sb2 shoutInd = -1;
  OCIBind* b[4] = {};
  auto bind = [&](int k, const char* n, void* value, sb4 size, ub2 type, sb2* ind) {
    ASSERT_EQ(client->OCIBindByName(stmt, &b[k], s.err, reinterpret_cast<const OraText*>(n),
                                    static_cast<sb4>(std::strlen(n)), value, size, type, ind,
                                    nullptr, nullptr, 0, nullptr, OCI_DEFAULT),
              OCI_SUCCESS);
  };
  bind(0, ":name", name, 5, SQLT_CHR, nullptr);
  bind(1, ":id", &id, sizeof id, SQLT_INT, nullptr);
  bind(2, ":shout", shout, sizeof shout, SQLT_STR, &shoutInd);
  bind(3, ":row", row, sizeof row, SQLT_STR, nullptr);
  ASSERT_EQ(client->OCIStmtExecute(s.svc, stmt, s.err, 1, 0, nullptr, nullptr, OCI_DEFAULT),
            OCI_SUCCESS)
      << s.Error().text;
  EXPECT_EQ(id, 50);
  EXPECT_STREQ(shout, "SALES!");
  EXPECT_EQ(shoutInd, 0);
  EXPECT_EQ(std::strlen(row), 18u);
  client->OCIHandleFree(stmt, OCI_HTYPE_STMT);
  EXPECT_EQ(Query(s, "select dname from dept where rowid = '" + std::string(row) + "'"),
            (Rows{{"SALES"}}));
  EXPECT_EQ(Outcome("update dept set loc = 'X' returning loc"),
            "ORA-00925: missing INTO keyword\n");
}

TEST_F(SqlSemanticsTest, OpenCursorsAreLimited) {
  db.ExecuteRaw(
      "insert or replace into ociemu_settings (name, value) values ('open_cursors', '3')");
  std::vector<OCIStmt*> open;
  auto execute = [&]() {
    OCIStmt* stmt = nullptr;
    client->OCIHandleAlloc(s.env, reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT, 0, nullptr);
    const char sql[] = "select dummy from dual";
    client->OCIStmtPrepare(stmt, s.err, reinterpret_cast<const OraText*>(sql), sizeof sql - 1,
                           OCI_NTV_SYNTAX, OCI_DEFAULT);
    open.push_back(stmt);
    return client->OCIStmtExecute(s.svc, stmt, s.err, 0, 0, nullptr, nullptr, OCI_DEFAULT);
  };
  for (int i = 0; i < 3; ++i) EXPECT_EQ(execute(), OCI_SUCCESS);
  EXPECT_EQ(execute(), OCI_ERROR);
  EXPECT_EQ(s.Error().text, "ORA-01000: maximum open cursors exceeded\n");
  // A freed statement closes its cursor.
  client->OCIHandleFree(open.front(), OCI_HTYPE_STMT);
  open.erase(open.begin());
  EXPECT_EQ(client->OCIStmtExecute(s.svc, open.back(), s.err, 0, 0, nullptr, nullptr, OCI_DEFAULT),
            OCI_SUCCESS);
  for (OCIStmt* stmt : open) client->OCIHandleFree(stmt, OCI_HTYPE_STMT);
}

}  // namespace
}  // namespace ociemu::test
