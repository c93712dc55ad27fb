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

}  // namespace
}  // namespace ociemu::test
