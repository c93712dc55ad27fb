// Faults set with ociemu-admin reach a client's connection, which is already open, at its next
// call, and clearing them there gives the connections back their normal answers.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "ociemu/ClientFixture.h"

namespace ociemu::test {
namespace {

class AdminToolFaultTest : public ClientTest {
 protected:
  void Admin(const std::string& arguments) {
    const std::string command =
        std::string("'") + OCIEMU_ADMIN + "' " + Command(arguments) + " >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }
  // "fault DB ..." with DB the test's database file.
  std::string Command(const std::string& arguments) const {
    const size_t space = arguments.find(' ');
    return arguments.substr(0, space) + " '" + db.File().string() + "'" +
           (space == std::string::npos ? "" : arguments.substr(space));
  }
};

TEST_F(AdminToolFaultTest, FaultsSetAndClearedByTheToolReachAnOpenConnection) {
  Oci8Session s(*client);
  ASSERT_TRUE(s.LogOn("SCOTT", "TIGER")) << s.Error().text;

  Admin("fault OCIStmtExecute --code 54 --nth 2");
  EXPECT_EQ(Exec(s, "create table t_admin (n number)"), OCI_SUCCESS);
  EXPECT_EQ(Exec(s, "insert into t_admin values (1)"), OCI_ERROR);
  EXPECT_EQ(s.Error().text,
            "ORA-00054: resource busy and acquire with NOWAIT specified or timeout expired\n");
  EXPECT_EQ(Exec(s, "insert into t_admin values (2)"), OCI_SUCCESS);
  ASSERT_EQ(client->OCITransCommit(s.svc, s.err, 0), OCI_SUCCESS);

  // Clearing another call's faults leaves this one; clearing its own ends it.
  Admin("fault OCITransCommit --code 1034");
  EXPECT_EQ(client->OCITransCommit(s.svc, s.err, 0), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 1034);
  Admin("clear-faults OCIStmtExecute");
  EXPECT_EQ(client->OCITransCommit(s.svc, s.err, 0), OCI_ERROR);
  Admin("clear-faults ocitranscommit");
  EXPECT_EQ(client->OCITransCommit(s.svc, s.err, 0), OCI_SUCCESS);

  // Lost in the middle of a block: the first statements ran, the transaction is gone with the
  // connection.
  Admin("lose-in-call OCIStmtExecute 2");
  EXPECT_EQ(Exec(s,
                 "begin insert into t_admin values (3); insert into t_admin values (4); "
                 "insert into t_admin values (5); end;"),
            OCI_ERROR);
  EXPECT_EQ(s.Error().code, 3113);
  EXPECT_EQ(Exec(s, "select n from t_admin"), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 3114);
  s.LogOff();

  Admin("clear-faults");
  Oci8Session t(*client);
  ASSERT_TRUE(t.LogOn("SCOTT", "TIGER")) << t.Error().text;
  EXPECT_EQ(Query(t, "select n from t_admin order by n"), (Rows{{"2"}}));
  t.LogOff();
}

TEST_F(AdminToolFaultTest, LoseAfterCallsAndDelayFromTheTool) {
  Admin("lose 2");
  Oci8Session s(*client);
  ASSERT_TRUE(s.LogOn("SCOTT", "TIGER")) << s.Error().text;         // call 1
  EXPECT_EQ(client->OCITransCommit(s.svc, s.err, 0), OCI_SUCCESS);  // 2
  EXPECT_EQ(client->OCITransCommit(s.svc, s.err, 0), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 3113);
  s.LogOff();

  Admin("clear-faults '*'");
  Admin("fault OCITransRollback --delay 120");
  Oci8Session t(*client);
  ASSERT_TRUE(t.LogOn("SCOTT", "TIGER")) << t.Error().text;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(client->OCITransRollback(t.svc, t.err, 0), OCI_SUCCESS);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(120));
  t.LogOff();
}

}  // namespace
}  // namespace ociemu::test
