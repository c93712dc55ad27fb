// Connect strings as targets, targets files and what their messages may show.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "app/Target.h"

namespace {

using app::ParseTarget;
using app::ReadTargets;
using app::Target;

struct TargetCase {
  const char* name;
  const char* text;
  bool valid;
  const char* username;
  const char* password;
  const char* database;
  oracle::TConnectAsOption connectAs;
  const char* display;
};

void PrintTo(const TargetCase& c, std::ostream* os) {
  *os << c.name;
}

class ParseTargetTest : public testing::TestWithParam<TargetCase> {};

TEST_P(ParseTargetTest, SplitsAndShowsWithoutThePassword) {
  const TargetCase& c = GetParam();
  const std::optional<Target> t = ParseTarget(c.text, "test");
  ASSERT_EQ(t.has_value(), c.valid);
  if (!t) return;
  EXPECT_EQ(t->username, c.username);
  EXPECT_EQ(t->password, c.password);
  EXPECT_EQ(t->database, c.database);
  EXPECT_EQ(t->connectAs, c.connectAs);
  EXPECT_EQ(t->Display(), c.display);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseTargetTest,
    testing::Values(TargetCase{"Full", "scott/tiger@DEMO", true, "scott", "tiger", "DEMO",
                               oracle::caNormal, "scott@DEMO"},
                    TargetCase{"NoPassword", "scott@DEMO", true, "scott", "", "DEMO",
                               oracle::caNormal, "scott@DEMO"},
                    TargetCase{"LocalDefault", "  scott/tiger  ", true, "scott", "tiger", "",
                               oracle::caNormal, "scott"},
                    TargetCase{"Sysdba", "sys/pw@DEMO as SYSDBA", true, "sys", "pw", "DEMO",
                               oracle::caSYSDBA, "sys@DEMO as sysdba"},
                    TargetCase{"Sysoper", "oper/x@DB as sysoper", true, "oper", "x", "DB",
                               oracle::caSYSOPER, "oper@DB as sysoper"},
                    TargetCase{"External", "/@DEMO", true, "", "", "DEMO", oracle::caNormal,
                               "/@DEMO"},
                    TargetCase{"OnlyADatabase", "@DEMO", false, "", "", "", oracle::caNormal, ""},
                    TargetCase{"Empty", "   ", false, "", "", "", oracle::caNormal, ""},
                    TargetCase{"UnknownMode", "sys/pw@DEMO as sysdab", false, "", "", "",
                               oracle::caNormal, ""}),
    [](const testing::TestParamInfo<TargetCase>& row) { return row.param.name; });

TEST(ReadTargets, SkipsCommentsAndBlankLinesAndNamesEachOrigin) {
  std::istringstream file(
      "# support desk list\n"
      "scott/tiger@DEMO\n"
      "\n"
      "   # indented comment\n"
      "  system@DEMO as sysdba  \r\n"
      "scott/p#ss@OTHER\n");
  const app::TargetList list = ReadTargets(file, "desk.txt");
  ASSERT_TRUE(list.error.empty()) << list.error;
  ASSERT_EQ(list.targets.size(), 3u);
  EXPECT_EQ(list.targets[0].origin, "desk.txt:2");
  EXPECT_EQ(list.targets[1].Display(), "system@DEMO as sysdba");
  EXPECT_EQ(list.targets[1].origin, "desk.txt:5");
  // Only whole lines are comments: a "#" inside a password belongs to it.
  EXPECT_EQ(list.targets[2].password, "p#ss");
}

TEST(ReadTargets, ABadLineIsNamedByNumberAndNeverQuoted) {
  std::istringstream file("scott/tiger@DEMO\n@DEMO/S3cret-pw as nothing\n");
  const app::TargetList list = ReadTargets(file, "list");
  EXPECT_TRUE(list.targets.empty());
  EXPECT_THAT(list.error, testing::StartsWith("list:2: "));
  EXPECT_THAT(list.error, testing::Not(testing::HasSubstr("S3cret")));
}

TEST(FirstLine, KeepsTheReasonOfAnInitializationError) {
  EXPECT_EQ(app::FirstLine("Initialization error\r\nCould not locate OCI dll\r\n\r\ntrace..."),
            "Initialization error: Could not locate OCI dll");
  EXPECT_EQ(app::FirstLine("ORA-01017: invalid username/password; logon denied\n"),
            "ORA-01017: invalid username/password; logon denied");
}

}  // namespace
