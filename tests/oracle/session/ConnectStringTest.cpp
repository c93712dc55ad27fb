#include "oracle/session/ConnectString.h"

#include <gtest/gtest.h>

namespace oracle {
namespace {

struct ParseCase {
  const char* text;
  const char* username;
  const char* password;
  const char* database;
  const char* connectAs;
  bool complete;
};

TEST(ParseConnectString, SplitsTheParts) {
  const ParseCase cases[] = {
      {"scott/tiger@orcl as sysdba", "scott", "tiger", "orcl", "SYSDBA", true},
      {"scott", "scott", "", "", "", false},
      {"/", "", "", "", "", true},
      {"scott/tiger", "scott", "tiger", "", "", true},
      {"scott@orcl", "scott", "", "orcl", "", true},
      {"scott/tiger@host:1521/svc", "scott", "tiger", "host:1521/svc", "", true},
      {"scott/\"ti/g@r\"@db", "scott", "\"ti/g@r\"", "db", "", true},
      {"scott/a@b@c", "scott", "a", "b@c", "", true},
      {"sys/pw@db\tAS\tsysoper", "sys", "pw", "db", "SYSOPER", true},
      {"/ as sysdba", "", "", "", "SYSDBA", true},
      {"\"unbalanced/user@x", "\"unbalanced/user@x", "", "", "", false},
      // The " AS " search ignores quotes: a quoted password holding " as " is cut there.
      {"u/\"a as b\"@db", "u", "\"a", "", "B\"@DB", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    TConnectStringParts parts;
    EXPECT_EQ(ParseConnectString(c.text, parts), c.complete);
    EXPECT_EQ(parts.Username, c.username);
    EXPECT_EQ(parts.Password, c.password);
    EXPECT_EQ(parts.Database, c.database);
    EXPECT_EQ(parts.ConnectAs, c.connectAs);
  }
}

TEST(ParseConnectString, EmptyTextComposesFromTheGivenParts) {
  TConnectStringParts parts{"scott/tiger@orcl", "", "", ""};
  EXPECT_TRUE(ParseConnectString("", parts));
  EXPECT_EQ(parts.Username, "scott");
  EXPECT_EQ(parts.Password, "tiger");
  EXPECT_EQ(parts.Database, "orcl");

  TConnectStringParts plain{"scott", "tiger", "", "sysdba"};
  EXPECT_TRUE(ParseConnectString("", plain));
  EXPECT_EQ(plain.ConnectAs, "SYSDBA");
}

TEST(ConnectAs, TextAndBack) {
  EXPECT_EQ(ConnectAsText(caSYSDBA), "SYSDBA");
  EXPECT_EQ(ConnectAsText(caSYSOPER), "SYSOPER");
  EXPECT_EQ(ConnectAsText(caNormal), "");
  EXPECT_EQ(ConnectAsFromText("sysoper"), caSYSOPER);
  EXPECT_EQ(ConnectAsFromText("SysDba"), caSYSDBA);
  EXPECT_EQ(ConnectAsFromText("normal"), caNormal);
  EXPECT_EQ(ConnectAsFromText(" sysdba"), caNormal);
}

}  // namespace
}  // namespace oracle
