// The admin tool's script runner: statement splitting and the printed results.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "ociemu/admin/SqlScript.h"
#include "ociemu/internal/Database.h"
#include "ociemu/testing/OracleHome.h"

namespace ociemu::admin {
namespace {

TEST(AdminScript, SplitsAsSqlPlusDoes) {
  const std::string script =
      "-- a comment\n"
      "create table t (a varchar2(10));\n"
      "\n"
      "insert into t values ('x;\n"
      "y');\n"
      "rem another comment\n"
      "select *\n"
      "  from t\n"
      "/\n"
      "select 1 from dual";
  auto statements = SplitScript(script);
  ASSERT_EQ(statements.size(), 4u);
  EXPECT_EQ(statements[0].text, "create table t (a varchar2(10))");
  EXPECT_EQ(statements[1].text, "insert into t values ('x;\ny')");
  EXPECT_EQ(statements[1].line, 4);
  EXPECT_EQ(statements[2].text, "select *\n  from t");
  EXPECT_EQ(statements[3].text, "select 1 from dual");
}

TEST(AdminScript, PrintsQueriesAsTablesAndStopsAtTheFirstError) {
  testing::OracleHome home;
  home.CreateDatabase("admin");
  auto conn = Connection::Open(Database::Open(home.DatabaseFile("admin").string()), "admin");
  std::ostringstream out, err;
  EXPECT_TRUE(RunScript(*conn, "SCOTT",
                        "create table t (n number, s varchar2(5));\n"
                        "insert into t values (10, 'ab');\n"
                        "insert into t values (7, null);\n"
                        "select n, s, user from t order by n;\n",
                        out, err));
  EXPECT_EQ(out.str(),
            "Statement processed.\n"
            "1 row processed.\n"
            "1 row processed.\n"
            " N S  USER\n"
            "-- -- -----\n"
            " 7    SCOTT\n"
            "10 ab SCOTT\n"
            "\n"
            "2 rows selected.\n\n");
  EXPECT_EQ(err.str(), "");
  std::ostringstream out2, err2;
  EXPECT_FALSE(RunScript(*conn, "SCOTT",
                         "select 1 from dual;\nselect * from nosuch;\nselect 2 from dual;\n", out2,
                         err2));
  EXPECT_EQ(err2.str(), "ERROR at line 2:\nORA-00942: table or view does not exist\n");
  EXPECT_EQ(out2.str().find("2 rows"), std::string::npos);
}

}  // namespace
}  // namespace ociemu::admin
