// The program end to end over the emulated client: the scripted user in front, a real session
// and a real client library behind, homes made in temporary folders.
#include <cstdlib>
#include <optional>
#include <sstream>

#include "Fixture.h"
#include "app/Batch.h"
#include "app/FormMain.h"
#include "app/Shell.h"
#include "oracle/logon/OracleLogon.h"
#include "oracle/session/OracleSession.h"
#include "support/ClientHome.h"

namespace e2e {
namespace {

using sessiontest::ClientHome;
using sessiontest::Variant;
using testing::ElementsAre;

const char* const kDenied = "ORA-01017: invalid username/password; logon denied\n";

class OverClient : public ProcessStateTest {
 protected:
  explicit OverClient(Variant variant = Variant::Full) : client(variant) {}

  // Start-up as the program runs it; the handles are counted once the shell is gone.
  void run() {
    {
      app::Shell shell;
      shell.RunFirstTest();
      shell.RunMainDialog();
      connectedAtExit = shell.dmMain().OracleSession->Connected();
    }
    EXPECT_EQ(client.liveConnections(), 0);
    EXPECT_EQ(client.liveHandles(), 0);
  }

  ClientHome client;
  bool connectedAtExit = false;
};

TEST_F(OverClient, CancelAtOnce) {
  user.OnModal().PressEscape();
  user.OnMainWindow().Click("ButtonExit");
  run();
  EXPECT_TRUE(user.Messages().empty());
  EXPECT_FALSE(connectedAtExit);
}

TEST_F(OverClient, TheAliasListOffersTheNetServiceNames) {
  user.OnModal()
      .Check([](ui::Form& form) { EXPECT_THAT(form.find("AliasList")->items, ElementsAre("DB")); })
      .PressEscape();
  user.OnMainWindow().CloseBox();
  run();
}

TEST_F(OverClient, ThreeFailedAttempts) {
  for (int i = 0; i < 3; ++i)
    user.OnModal()
        .Type("UsernameEdit", "scott")
        .Type("PasswordEdit", "bad")
        .Type("AliasList", "DB")
        .PressEnter();
  user.OnMainWindow().CloseBox();
  run();
  EXPECT_THAT(user.Messages(), ElementsAre(kDenied, kDenied, kDenied, "Misslykka innlogging!"));
}

TEST_F(OverClient, OneFailureThenCancel) {
  user.OnModal().Type("UsernameEdit", "scott/bad@DB").PressEnter();
  user.OnModal()
      .Check([](ui::Form& form) {
        // The connect string typed as the username comes back split.
        EXPECT_EQ(form.find("UsernameEdit")->text, "scott");
        EXPECT_EQ(form.find("PasswordEdit")->text, "bad");
        EXPECT_EQ(form.find("AliasList")->text, "DB");
      })
      .PressEscape();
  user.OnMainWindow().CloseBox();
  run();
  EXPECT_THAT(user.Messages(), ElementsAre(kDenied, "Misslykka innlogging!"));
}

TEST_F(OverClient, UserIdLogsOnAndARepeatedLogonReconnects) {
  commandLine({"UserId=scott/tiger@DB"});
  user.OnMainWindow().Click("ButtonNewLogOn").Click("ButtonNewLogOn").Click("ButtonExit");
  user.OnModal().PressEnter();                              // unchanged: reconnects
  user.OnModal().Type("PasswordEdit", "bad").PressEnter();  // fails ...
  user.OnModal().Type("PasswordEdit", "bad").PressEnter();
  user.OnModal().Type("PasswordEdit", "bad").PressEnter();  // ... three times
  run();
  EXPECT_THAT(user.Messages(), ElementsAre("Vellykka innlogging!", "Vellykka innlogging!", kDenied,
                                           kDenied, kDenied));
  EXPECT_FALSE(connectedAtExit);
  EXPECT_EQ(client.calls("OCISessionBegin"), 5);
}

TEST_F(OverClient, AnExpiredPasswordIsChangedInTheDialog) {
  user.OnModal()
      .Type("UsernameEdit", "expired")
      .Type("PasswordEdit", "expired")
      .Type("AliasList", "DB")
      .PressEnter();
  user.OnModal("Your password has expired")
      .Type("UsernameEdit", "new1")
      .Type("PasswordEdit", "NEW1")
      .PressEnter();
  user.OnMainWindow().CloseBox();
  run();
  EXPECT_THAT(user.Messages(), ElementsAre("Vellykka innlogging!"));
  EXPECT_TRUE(client.db.CheckPassword("EXPIRED", "NEW1"));
  // A logon that only succeeded through the password change is not recorded.
  EXPECT_EQ(oracle::LogonHistory().Count(), 0u);
}

TEST_F(OverClient, GraceWarningAnsweredNoThenYes) {
  client.db.SetGraceDays("GRACE", 5);
  user.OnModal()
      .Type("UsernameEdit", "grace")
      .Type("PasswordEdit", "grace")
      .Type("AliasList", "DB")
      .PressEnter();
  user.AnswerNo();
  user.OnMainWindow().Click("ButtonNewLogOn").Click("ButtonExit");
  user.OnModal().PressEnter();
  user.AnswerYes();
  user.OnModal("Your password has expired")
      .Type("UsernameEdit", "later")
      .Type("PasswordEdit", "later")
      .PressEnter();
  run();
  ASSERT_EQ(user.Questions().size(), 2u);
  EXPECT_EQ(user.Questions()[0],
            "ORA-28002: the password will expire within 5 days\n\r\n"
            "Do you wish to change your password now?");
  EXPECT_THAT(user.Messages(), ElementsAre("Vellykka innlogging!", "Vellykka innlogging!"));
  EXPECT_TRUE(client.db.CheckPassword("GRACE", "later"));
}

TEST_F(OverClient, ConnectionFaultsAreShownAndTheNextLogonWorks) {
  client.db.FailCall("OCIServerAttach", 12541);
  user.OnModal()
      .Type("UsernameEdit", "scott")
      .Type("PasswordEdit", "tiger")
      .Type("AliasList", "DB")
      .PressEnter();
  user.OnModal().Check([this](ui::Form&) { client.db.ClearFaults(); }).PressEnter();
  user.OnMainWindow().CloseBox();
  run();
  ASSERT_EQ(user.Messages().size(), 2u);
  EXPECT_THAT(user.Messages()[0], testing::StartsWith("ORA-12541"));
  EXPECT_EQ(user.Messages()[1], "Vellykka innlogging!");
}

class OverOci7Client : public OverClient {
 protected:
  OverOci7Client() : OverClient(Variant::Oci7) {}
};

TEST_F(OverOci7Client, LogsOnInOCI7Mode) {
  user.OnModal()
      .Type("UsernameEdit", "scott")
      .Type("PasswordEdit", "tiger")
      .Type("AliasList", "DB")
      .PressEnter();
  user.OnMainWindow().CloseBox();
  run();
  EXPECT_THAT(user.Messages(), ElementsAre("Vellykka innlogging!"));
  EXPECT_EQ(client.calls("olog"), 1);
}

TEST_F(OverOci7Client, ExpiredPasswordIsOnlyReported) {
  user.OnModal()
      .Type("UsernameEdit", "expired")
      .Type("PasswordEdit", "expired")
      .Type("AliasList", "DB")
      .PressEnter();
  user.OnModal().PressEscape();
  user.OnMainWindow().CloseBox();
  run();
  ASSERT_EQ(user.Messages().size(), 2u);
  EXPECT_THAT(user.Messages()[0], testing::StartsWith("ORA-28001"));
  EXPECT_THAT(user.Captions(), ElementsAre("Oracle Logon", "Oracle Logon"));
}

class Batch : public OverClient {};

TEST_F(Batch, SuccessPrintsTheOutcomeAndDetails) {
  commandLine({"UserId=scott/tiger@DB"});
  std::ostringstream out, err;
  EXPECT_EQ(app::RunBatch(out, err), 0);
  EXPECT_THAT(out.str(), testing::HasSubstr("Vellykka innlogging!\n"));
  EXPECT_THAT(out.str(), testing::HasSubstr("Server: Oracle Database"));
  EXPECT_THAT(out.str(), testing::HasSubstr("beginning the session"));
  EXPECT_THAT(out.str(),
              testing::HasSubstr("Client library: " + client.home.LibraryPath().string()));
}

TEST_F(Batch, WrongPasswordPrintsTheErrorAndFails) {
  commandLine({"UserId=scott/wrong@DB"});
  std::ostringstream out, err;
  EXPECT_EQ(app::RunBatch(out, err), 1);
  EXPECT_THAT(out.str(),
              testing::StartsWith("ORA-01017: invalid username/password; logon denied\n"));
  EXPECT_THAT(out.str(), testing::HasSubstr("Misslykka innlogging!\n"));
}

TEST_F(Batch, WithoutUserIdIsAUsageError) {
  std::ostringstream out, err;
  EXPECT_EQ(app::RunBatch(out, err), 2);
  EXPECT_THAT(err.str(), testing::HasSubstr("UserId="));
}

struct BatchCase {
  const char* userId;
  int exitCode;
  std::vector<std::string> out;  // lines the output holds, in this order
  std::string err = {};          // what stderr holds; empty: nothing at all
};

TEST_F(Batch, EveryRunNamesWhatWasTriedAndEveryFailureTheErrorThatEndedIt) {
  const BatchCase cases[] = {
      // No dialog opens for the password change, so the error itself is all there is.
      {"expired/expired@DB",
       1,
       {"ORA-28001", "Tried: Username: expired, Database: DB, Connect as: Normal",
        "Misslykka innlogging!"}},
      {"locked/locked@DB", 1, {"ORA-28000", "Tried: Username: locked", "Misslykka innlogging!"}},
      {"scott/tiger@NOWHERE",
       1,
       {"ORA-12154", "Tried: Username: scott, Database: NOWHERE", "Misslykka innlogging!"}},
      // In the grace period the logon succeeds, and the server is named as for any other.
      {"grace/grace@DB",
       0,
       {"ORA-28002", "-> No", "Tried: Username: grace", "Server: Oracle Database",
        "Vellykka innlogging!"}},
      {"sys/oracle@DB as sysdba",
       0,
       {"Connect as: SYSDBA", "Server: Oracle", "Vellykka innlogging!"}},
      // A mode that is none logs on as Normal, and says so.
      {"scott/tiger@DB as sysdbax",
       0,
       {"Connect as: Normal", "Vellykka innlogging!"},
       "dblogon: warning: \"as SYSDBAX\" is not a connect mode"},
  };
  for (const BatchCase& c : cases) {
    SCOPED_TRACE(c.userId);
    commandLine({std::string("UserId=") + c.userId});
    std::ostringstream out, err;
    EXPECT_EQ(app::RunBatch(out, err), c.exitCode);
    std::size_t at = 0;
    for (const std::string& line : c.out) {
      const std::size_t found = out.str().find(line, at);
      EXPECT_NE(found, std::string::npos) << "\"" << line << "\" after position " << at << " in\n"
                                          << out.str();
      if (found != std::string::npos) at = found + line.size();
    }
    if (c.err.empty())
      EXPECT_EQ(err.str(), "");
    else
      EXPECT_THAT(err.str(), testing::HasSubstr(c.err));
  }
}

TEST_F(OverClient, AFailedAttemptSaysWhichUserDatabaseAndModeWereTried) {
  user.OnModal().Type("UsernameEdit", "scott/bad@DB as sysdbax").PressEnter();
  user.OnModal().PressEscape();
  user.OnMainWindow().CloseBox();
  run();
  EXPECT_THAT(user.Messages(), ElementsAre(kDenied, "Misslykka innlogging!"));
  EXPECT_THAT(user.MessageDetails(),
              ElementsAre("Username: scott, Database: DB, Connect as: Normal", ""));
}

// Environment variables set for one test and put back after it.
class ScopedEnv {
 public:
  explicit ScopedEnv(std::vector<std::pair<std::string, std::string>> values) {
    for (const auto& [name, value] : values) {
      const char* previous = std::getenv(name.c_str());
      saved_.push_back(
          {name, previous != nullptr ? std::optional<std::string>(previous) : std::nullopt});
      setenv(name.c_str(), value.c_str(), 1);
    }
  }
  ~ScopedEnv() {
    for (const auto& [name, value] : saved_)
      value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST_F(ProcessStateTest, AClientThatDoesNotLoadIsShownWithTheProgramsAdvice) {
  const ScopedEnv noClient(
      {{"ORACLE_HOME", "/nonexistent"}, {"LD_LIBRARY_PATH", ""}, {"PATH", "/nonexistent"}});
  oracle::FreeOCI();
  oracle::SetClientLoadAdvice("Run the diagnosis.");
  user.OnModal().Type("UsernameEdit", "scott/tiger@DB").PressEnter();
  user.OnModal().PressEscape();
  user.OnMainWindow().CloseBox();
  {
    app::Shell shell;
    shell.RunFirstTest();
    shell.RunMainDialog();
  }
  oracle::SetClientLoadAdvice("");
  oracle::FreeOCI();
  ASSERT_EQ(user.Messages().size(), 2u);
  EXPECT_THAT(user.Messages()[0], testing::StartsWith("Initialization error"));
  EXPECT_EQ(user.MessageDetails()[0], "Run the diagnosis.");
}

TEST_F(ProcessStateTest, ABatchRunWithoutAClientNamesTheAttemptWithoutThePassword) {
  const ScopedEnv noClient(
      {{"ORACLE_HOME", "/nonexistent"}, {"LD_LIBRARY_PATH", ""}, {"PATH", "/nonexistent"}});
  oracle::FreeOCI();
  commandLine({"UserId=scott/Zq9secret@DB as sysdba"});
  std::ostringstream out, err;
  EXPECT_EQ(app::RunBatch(out, err), 1);
  oracle::FreeOCI();
  EXPECT_THAT(out.str(), testing::HasSubstr("Initialization error"));
  EXPECT_THAT(out.str(),
              testing::HasSubstr("Tried: Username: scott, Database: DB, Connect as: SYSDBA\n"));
  EXPECT_THAT(out.str(), testing::Not(testing::HasSubstr("Zq9secret")));
}

}  // namespace
}  // namespace e2e
