// Faults injected through the database: failing a chosen call, delaying it, losing the
// connection after a number of calls.
#include <gtest/gtest.h>

#include <chrono>

#include "ociemu/ClientFixture.h"

namespace ociemu::test {
namespace {

class FaultTest : public ClientTest {};

TEST_F(FaultTest, ChosenCallFailsWithTheChosenCode) {
  db.FailCall("OCISessionBegin", 1034);
  Oci8Session s(*client);
  ASSERT_EQ(s.Attach("ORCL"), OCI_SUCCESS);
  EXPECT_EQ(s.Begin("SCOTT", "TIGER"), OCI_ERROR);
  EXPECT_EQ(s.Error().text, "ORA-01034: ORACLE not available\n");

  // Faults set while a connection is open reach it at its next call.
  db.ClearFaults();
  ASSERT_EQ(s.Begin("SCOTT", "TIGER"), OCI_SUCCESS);
  db.FailCall("ocitranscommit", 54);
  EXPECT_EQ(client->OCITransCommit(s.svc, s.err, 0), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 54);
  EXPECT_EQ(client->OCITransRollback(s.svc, s.err, 0), OCI_SUCCESS);
  s.LogOff();

  db.ClearFaults();
  db.FailCall("OCIServerAttach", 12541);
  Oci8Session t(*client);
  EXPECT_EQ(t.Attach("ORCL"), OCI_ERROR);
  EXPECT_EQ(t.Error().text, "ORA-12541: TNS:no listener\n");
  EXPECT_EQ(testing::LiveConnections(client->Library()), 0);
}

TEST_F(FaultTest, OracleSevenCallsFailToo) {
  db.FailCall("olog", 1017);
  Lda_Def lda{};
  ub1 hda[HDA_SIZE] = {};
  OraText connect[] = "scott/TIGER@ORCL";
  EXPECT_NE(client->olog(&lda, hda, connect, -1, nullptr, -1, nullptr, -1, 0), 0);
  EXPECT_EQ(lda.rc, 1017);
  db.ClearFaults();
  db.FailCall("ocom", 3113);
  ASSERT_EQ(client->olog(&lda, hda, connect, -1, nullptr, -1, nullptr, -1, 0), 0);
  EXPECT_NE(client->ocom(&lda), 0);
  EXPECT_EQ(lda.rc, 3113);
  EXPECT_EQ(client->ologof(&lda), 0);
}

TEST_F(FaultTest, DelayHoldsTheCallBack) {
  db.DelayCall("OCITransCommit", 150);
  Oci8Session s(*client);
  ASSERT_TRUE(s.LogOn("SCOTT", "TIGER"));
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(client->OCITransCommit(s.svc, s.err, 0), OCI_SUCCESS);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(150));
  s.LogOff();
}

TEST_F(FaultTest, LostConnectionGivesEndOfFileThenNotConnected) {
  db.LoseConnectionAfter(3);
  Oci8Session s(*client);
  ASSERT_TRUE(s.LogOn("SCOTT", "TIGER"));                             // call 1: session begin
  EXPECT_EQ(client->OCITransCommit(s.svc, s.err, 0), OCI_SUCCESS);    // 2
  EXPECT_EQ(client->OCITransRollback(s.svc, s.err, 0), OCI_SUCCESS);  // 3
  EXPECT_EQ(client->OCITransCommit(s.svc, s.err, 0), OCI_ERROR);
  EXPECT_EQ(s.Error().text, "ORA-03113: end-of-file on communication channel\n");
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(client->OCITransCommit(s.svc, s.err, 0), OCI_ERROR);
    EXPECT_EQ(s.Error().text, "ORA-03114: not connected to ORACLE\n");
  }
  EXPECT_EQ(s.End(), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 3114);
  EXPECT_EQ(s.Detach(), OCI_SUCCESS);
  EXPECT_EQ(testing::LiveConnections(client->Library()), 0);

  // Another connection starts its own count.
  Oci8Session t(*client);
  ASSERT_TRUE(t.LogOn("SCOTT", "TIGER"));
  EXPECT_EQ(client->OCITransCommit(t.svc, t.err, 0), OCI_SUCCESS);
  t.LogOff();
}

class StatementFaultTest : public ClientTest {
 protected:
  void SetUp() override {
    ClientTest::SetUp();
    ASSERT_TRUE(s.LogOn("SCOTT", "TIGER")) << s.Error().text;
    ASSERT_EQ(Exec(s, "create table t_rows (n number)"), OCI_SUCCESS);
    for (int i = 1; i <= 10; ++i) {
      ASSERT_EQ(Exec(s, "insert into t_rows values (" + std::to_string(i) + ")"), OCI_SUCCESS);
    }
    ASSERT_EQ(client->OCITransCommit(s.svc, s.err, 0), OCI_SUCCESS);
    ASSERT_EQ(
        client->OCIHandleAlloc(s.env, reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT, 0, nullptr),
        OCI_SUCCESS);
  }
  void TearDown() override {
    client->OCIHandleFree(stmt, OCI_HTYPE_STMT);
    s.LogOff();
  }
  sword Run(const std::string& sql, ub4 iters) {
    EXPECT_EQ(client->OCIStmtPrepare(stmt, s.err, reinterpret_cast<const OraText*>(sql.data()),
                                     static_cast<ub4>(sql.size()), OCI_NTV_SYNTAX, OCI_DEFAULT),
              OCI_SUCCESS);
    return client->OCIStmtExecute(s.svc, stmt, s.err, iters, 0, nullptr, nullptr, OCI_DEFAULT);
  }

  Oci8Session s{*client};
  OCIStmt* stmt = nullptr;
};

TEST_F(StatementFaultTest, ConnectionLostInTheMiddleOfAFetch) {
  db.LoseConnectionInCall("OCIStmtFetch", 3);
  ASSERT_EQ(Run("select n from t_rows order by n", 0), OCI_SUCCESS);
  int values[5] = {};
  OCIDefine* d = nullptr;
  ASSERT_EQ(client->OCIDefineByPos(stmt, &d, s.err, 1, values, sizeof(int), SQLT_INT, nullptr,
                                   nullptr, nullptr, OCI_DEFAULT),
            OCI_SUCCESS);
  EXPECT_EQ(client->OCIStmtFetch(stmt, s.err, 2, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_SUCCESS);
  // The next fetch breaks off after three rows of its five.
  EXPECT_EQ(client->OCIStmtFetch(stmt, s.err, 5, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_ERROR);
  EXPECT_EQ(s.Error().text, "ORA-03113: end-of-file on communication channel\n");
  EXPECT_EQ(client->OCIStmtFetch(stmt, s.err, 1, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 3114);
  EXPECT_EQ(client->OCITransCommit(s.svc, s.err, 0), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 3114);
}

TEST_F(StatementFaultTest, ConnectionLostInTheMiddleOfAnArrayInsertLosesTheTransaction) {
  db.LoseConnectionInCall("OCIStmtExecute", 2);
  int values[4] = {11, 12, 13, 14};
  ASSERT_EQ(client->OCIStmtPrepare(
                stmt, s.err, reinterpret_cast<const OraText*>("insert into t_rows values (:n)"), 30,
                OCI_NTV_SYNTAX, OCI_DEFAULT),
            OCI_SUCCESS);
  OCIBind* b = nullptr;
  ASSERT_EQ(client->OCIBindByPos(stmt, &b, s.err, 1, values, sizeof(int), SQLT_INT, nullptr,
                                 nullptr, nullptr, 0, nullptr, OCI_DEFAULT),
            OCI_SUCCESS);
  EXPECT_EQ(client->OCIStmtExecute(s.svc, stmt, s.err, 4, 0, nullptr, nullptr, OCI_DEFAULT),
            OCI_ERROR);
  EXPECT_EQ(s.Error().code, 3113);
  db.ClearFaults();
  Oci8Session other(*client);
  ASSERT_TRUE(other.LogOn("SCOTT", "TIGER"));
  EXPECT_EQ(Query(other, "select count(*) from t_rows"), (Rows{{"10"}}));
  other.LogOff();
}

TEST_F(StatementFaultTest, ConnectionLostInTheMiddleOfAPlsqlBlock) {
  db.LoseConnectionInCall("OCIStmtExecute", 20);
  const char* block =
      "declare n number := 0; begin for i in 1 .. 100 loop "
      "insert into t_rows values (i + 100); n := n + 1; end loop; "
      "exception when others then null; end;";
  EXPECT_EQ(Run(block, 1), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 3113);
  EXPECT_EQ(Run("select n from t_rows", 0), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 3114);
  db.ClearFaults();
  Oci8Session other(*client);
  ASSERT_TRUE(other.LogOn("SCOTT", "TIGER"));
  EXPECT_EQ(Query(other, "select count(*) from t_rows"), (Rows{{"10"}}));
  other.LogOff();
}

TEST_F(StatementFaultTest, ChosenErrorOnTheNthExecution) {
  db.FailNthCall("OCIStmtExecute", 54, 3);
  const sword expected[] = {OCI_SUCCESS, OCI_SUCCESS, OCI_ERROR, OCI_SUCCESS};
  for (sword status : expected) {
    EXPECT_EQ(Run("select n from t_rows", 0), status);
  }
  EXPECT_EQ(s.Error().code, 54);
}

// Rows the server sent ahead are handed out without a round trip, so a failing server is only
// met once they are used up.
TEST_F(StatementFaultTest, PrefetchedRowsNeedNoRoundTrip) {
  const struct {
    ub4 rows;
    ub4 memory;
    int servedLocally;  // single-row fetches that succeed before the first round trip
  } cases[] = {{0, 0, 0}, {1, 0, 1}, {5, 0, 5}, {0, 44, 2}, {5, 22, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.rows) + " rows, " + std::to_string(c.memory) + " bytes");
    db.ClearFaults();
    ASSERT_EQ(client->OCIStmtPrepare(stmt, s.err,
                                     reinterpret_cast<const OraText*>("select n from t_rows"), 20,
                                     OCI_NTV_SYNTAX, OCI_DEFAULT),
              OCI_SUCCESS);
    ub4 rows = c.rows, memory = c.memory;
    ASSERT_EQ(client->OCIAttrSet(stmt, OCI_HTYPE_STMT, &rows, 0, OCI_ATTR_PREFETCH_ROWS, s.err),
              OCI_SUCCESS);
    ASSERT_EQ(client->OCIAttrSet(stmt, OCI_HTYPE_STMT, &memory, 0, OCI_ATTR_PREFETCH_MEMORY, s.err),
              OCI_SUCCESS);
    int value = 0;
    OCIDefine* d = nullptr;
    ASSERT_EQ(client->OCIDefineByPos(stmt, &d, s.err, 1, &value, sizeof value, SQLT_INT, nullptr,
                                     nullptr, nullptr, OCI_DEFAULT),
              OCI_SUCCESS);
    ASSERT_EQ(client->OCIStmtExecute(s.svc, stmt, s.err, 0, 0, nullptr, nullptr, OCI_DEFAULT),
              OCI_SUCCESS);
    db.FailCall("OCIStmtFetch", 54);
    for (int i = 0; i < c.servedLocally; ++i) {
      EXPECT_EQ(client->OCIStmtFetch(stmt, s.err, 1, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_SUCCESS);
    }
    EXPECT_EQ(client->OCIStmtFetch(stmt, s.err, 1, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_ERROR);
    EXPECT_EQ(s.Error().code, 54);
  }
}

TEST_F(StatementFaultTest, DelayOnEveryCall) {
  db.DelayCall("*", 100);
  for (const char* sql : {"select n from t_rows", "delete from t_rows where n = 1"}) {
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Run(sql, sql[0] == 's' ? 0 : 1), OCI_SUCCESS);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
  }
}

}  // namespace
}  // namespace ociemu::test
