// The admin tool's fault commands: each fault the database can inject is set, listed and cleared
// from the command line, and what the tool stores is what the connections read.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ociemu/internal/Database.h"
#include "ociemu/testing/OracleHome.h"

namespace ociemu::admin {
namespace {

struct ToolRun {
  int status;
  std::string out;
};

ToolRun RunTool(const std::string& arguments) {
  const std::string command = std::string("'") + OCIEMU_ADMIN + "' " + arguments + " 2>/dev/null";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return {-1, ""};
  std::string out;
  char buffer[256];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  const int status = ::pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

bool SameFault(const Fault& a, const Fault& b) {
  return a.call == b.call && a.code == b.code && a.delayMs == b.delayMs &&
         a.loseAfter == b.loseAfter && a.nth == b.nth && a.loseInCall == b.loseInCall;
}

class AdminFaults : public ::testing::Test {
 protected:
  AdminFaults() {
    home.CreateDatabase("faults");
    file = home.DatabaseFile("faults").string();
  }
  std::vector<Fault> Stored() const { return Database::Open(file)->Faults(); }
  ToolRun Tool(const std::string& arguments) const { return RunTool(arguments + " " + Quoted()); }
  ToolRun Tool(const std::string& command, const std::string& rest) const {
    return RunTool(command + " " + Quoted() + " " + rest);
  }
  std::string Quoted() const { return "'" + file + "'"; }

  testing::OracleHome home;
  std::string file;
};

TEST_F(AdminFaults, EveryKindOfFaultIsStoredAsTheConnectionsReadIt) {
  struct Case {
    const char* command;
    const char* arguments;
    Fault stored;
    const char* listed;
  };
  const Case cases[] = {
      {"fault",
       "OCISessionBegin --code 1034",
       {"OCISessionBegin", 1034, 0, 0, 0, 0},
       "OCISessionBegin code 1034"},
      {"fault",
       "OCIStmtExecute --code 1013 --nth 3",
       {"OCIStmtExecute", 1013, 0, 0, 3, 0},
       "OCIStmtExecute code 1013 on call 3"},
      {"fault", "'*' --delay 250", {"*", 0, 250, 0, 0, 0}, "* delay 250 ms"},
      {"fault",
       "ocom --code 3113 --delay 10",
       {"ocom", 3113, 10, 0, 0, 0},
       "ocom code 3113 delay 10 ms"},
      {"lose", "5", {"*", 0, 0, 5, 0, 0}, "* lose after 5 calls"},
      {"lose-in-call",
       "OCIStmtFetch2 40",
       {"OCIStmtFetch2", 0, 0, 0, 0, 40},
       "OCIStmtFetch2 lose in call after 40 rows or statements"},
      {"lose-in-call",
       "OCIStmtExecute 2",
       {"OCIStmtExecute", 0, 0, 0, 0, 2},
       "OCIStmtExecute lose in call after 2 rows or statements"},
  };
  std::string listing;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.command) + " " + c.arguments);
    ASSERT_EQ(Tool(c.command, c.arguments).status, 0);
    const auto faults = Stored();
    ASSERT_FALSE(faults.empty());
    EXPECT_TRUE(SameFault(faults.back(), c.stored)) << faults.back().call;
    listing += std::string(c.listed) + "\n";
  }
  const ToolRun listed = Tool("faults");
  EXPECT_EQ(listed.status, 0);
  EXPECT_EQ(listed.out, listing);
}

TEST_F(AdminFaults, ClearingOneCallLeavesTheOthers) {
  ASSERT_EQ(Tool("fault", "OCIStmtExecute --code 1013 --nth 2").status, 0);
  ASSERT_EQ(Tool("lose-in-call", "OCIStmtExecute 3").status, 0);
  ASSERT_EQ(Tool("fault", "OCITransCommit --delay 100").status, 0);
  ASSERT_EQ(Tool("lose", "7").status, 0);

  // Named in another case, as the connections match the names.
  ASSERT_EQ(Tool("clear-faults", "ocistmtexecute").status, 0);
  auto faults = Stored();
  ASSERT_EQ(faults.size(), 2u);
  EXPECT_TRUE(SameFault(faults[0], {"OCITransCommit", 0, 100, 0, 0, 0}));
  EXPECT_TRUE(SameFault(faults[1], {"*", 0, 0, 7, 0, 0}));

  // "*" names the faults set for every call, not every fault.
  ASSERT_EQ(Tool("clear-faults", "'*'").status, 0);
  faults = Stored();
  ASSERT_EQ(faults.size(), 1u);
  EXPECT_EQ(faults[0].call, "OCITransCommit");

  ASSERT_EQ(Tool("clear-faults").status, 0);
  EXPECT_TRUE(Stored().empty());
  EXPECT_EQ(Tool("faults").out, "");
}

TEST_F(AdminFaults, ABadFaultIsRefusedAndNothingIsStored) {
  const char* refused[] = {
      "fault DB OCIStmtExecute",                    // neither a code nor a delay
      "fault DB OCIStmtExecute --nth 2 --delay 5",  // the nth call of nothing that fails
      "fault DB OCIStmtExecute --code 0",
      "fault DB OCIStmtExecute --code -1",
      "fault DB OCIStmtExecute --code 1013 --nth 0",
      "fault DB OCIStmtExecute --delay 1x",
      "lose DB 0",
      "lose DB",
      "lose-in-call DB OCIStmtFetch",
      "lose-in-call DB OCIStmtFetch -3",
      "clear-faults DB a b",
  };
  for (std::string arguments : refused) {
    SCOPED_TRACE(arguments);
    arguments.replace(arguments.find(" DB"), 3, " " + Quoted());
    EXPECT_EQ(RunTool(arguments).status, 2);
  }
  EXPECT_TRUE(Stored().empty());
}

}  // namespace
}  // namespace ociemu::admin
