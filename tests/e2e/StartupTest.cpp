// The program's start-up and its main dialog, with the session's logon replaced by a double.
#include <stdexcept>

#include "Fixture.h"
#include "support/FakeSession.h"
#include "app/FormMain.h"
#include "app/Shell.h"
#include "oracle/logon/OracleLogon.h"

namespace e2e {
namespace {

using testing::ElementsAre;
using testsupport::Attempt;
using testsupport::Failure;
using testsupport::FakeSession;
using testsupport::Success;
using testsupport::Warning;

class Startup : public ProcessStateTest {
 protected:
  // The shell with a session double; `session` points at it.
  app::Shell& shell() {
    if (!shell_) {
      shell_ = std::make_unique<app::Shell>([this](oracle::TComponent* owner) {
        session = new FakeSession(owner);
        return session;
      });
    }
    return *shell_;
  }
  // Start-up as the program runs it: first test, then the main dialog.
  void run() {
    shell().RunFirstTest();
    shell().RunMainDialog();
  }

  FakeSession* session = nullptr;
  std::unique_ptr<app::Shell> shell_;
};

TEST_F(Startup, CancelAtOnceShowsNoOutcomeAndTheMainDialog) {
  user.OnModal("Oracle Logon").PressEscape();
  user.OnMainWindow().Click("ButtonExit");
  run();
  EXPECT_THAT(user.Transcript(),
              ElementsAre("modal: Oracle Logon -> Cancel", "main window: Databaseinnlogging"));
  EXPECT_FALSE(session->Connected());
  EXPECT_TRUE(session->attempts.empty());
  EXPECT_TRUE(user.Terminated());
}

TEST_F(Startup, ThreeFailedAttemptsThenTheFailureOutcome) {
  shell();
  for (int i = 0; i < 3; ++i)
    session->outcomes.push_back(
        Failure(1017, "ORA-01017: invalid username/password; logon denied\n"));
  for (int i = 0; i < 3; ++i)
    user.OnModal().Type("UsernameEdit", "scott").Type("PasswordEdit", "wrong").PressEnter();
  user.OnMainWindow().CloseBox();
  run();
  const std::string error = "ORA-01017: invalid username/password; logon denied\n";
  EXPECT_THAT(user.Messages(), ElementsAre(error, error, error, "Misslykka innlogging!"));
  EXPECT_EQ(session->attempts.size(), 3u);
  EXPECT_FALSE(user.RanDry());
}

TEST_F(Startup, OneFailureThenCancelStillReportsFailure) {
  shell();
  session->outcomes.push_back(Failure(12154,
                                      "ORA-12154: TNS:could not resolve the connect "
                                      "identifier specified\n"));
  user.OnModal()
      .Type("UsernameEdit", "scott")
      .Type("PasswordEdit", "tiger")
      .Type("AliasList", "NOWHERE")
      .PressEnter();
  user.OnModal()
      .Check([](ui::Form& form) {
        // The dialog opens again with the parameters as the session holds them.
        EXPECT_EQ(form.find("UsernameEdit")->text, "scott");
        EXPECT_EQ(form.find("AliasList")->text, "NOWHERE");
      })
      .PressEscape();
  user.OnMainWindow().CloseBox();
  run();
  EXPECT_EQ(user.Messages().back(), "Misslykka innlogging!");
  EXPECT_EQ(user.Messages().size(), 2u);
}

TEST_F(Startup, UserIdArgumentLogsOnWithoutTheDialog) {
  commandLine({"UserId=scott/tiger@DEMO"});
  user.OnMainWindow().CloseBox();
  run();
  EXPECT_THAT(user.Captions(), testing::IsEmpty());
  EXPECT_THAT(user.Messages(), ElementsAre("Vellykka innlogging!"));
  EXPECT_THAT(session->attempts, ElementsAre(Attempt{"scott", "tiger", "DEMO", oracle::caNormal}));
  // The automatic logon is in the history, split into its parts.
  ASSERT_EQ(oracle::LogonHistory().Count(), 1u);
  EXPECT_EQ(oracle::HistoryItemText(oracle::LogonHistory()[0]), "scott@DEMO");
}

TEST_F(Startup, FailingUserIdShowsTheErrorThenTheDialogWithTheSplitParameters) {
  commandLine({"USERID=scott/wrong@DEMO as sysdba"});
  shell();
  session->outcomes.push_back(Failure(1031, "ORA-01031: insufficient privileges\n"));
  user.OnModal()
      .Check([](ui::Form& form) {
        EXPECT_EQ(form.find("UsernameEdit")->text, "scott");
        EXPECT_EQ(form.find("PasswordEdit")->text, "wrong");
        EXPECT_EQ(form.find("AliasList")->text, "DEMO");
      })
      .PressEscape();
  user.OnMainWindow().CloseBox();
  run();
  EXPECT_THAT(user.Messages(),
              ElementsAre("ORA-01031: insufficient privileges\n", "Misslykka innlogging!"));
  EXPECT_EQ(session->attempts.at(0).connectAs, oracle::caSYSDBA);
}

TEST_F(Startup, NewLogOnRepeatsTheTestAndReportsOnlySuccess) {
  user.OnModal().Type("UsernameEdit", "scott").Type("PasswordEdit", "tiger").PressEnter();
  // "Ny innlogging" confirmed without changes: logged off and on again.
  user.OnMainWindow().Click("ButtonNewLogOn").Click("ButtonNewLogOn").Click("ButtonExit");
  user.OnModal().PressEnter();
  user.OnModal().Type("PasswordEdit", "bad").PressEnter();
  user.OnModal().PressEscape();
  shell();
  session->outcomes = {Success(), Success(), Failure(1017, "ORA-01017: invalid\n")};
  run();
  EXPECT_THAT(user.Messages(),
              ElementsAre("Vellykka innlogging!", "Vellykka innlogging!", "ORA-01017: invalid\n"));
  EXPECT_EQ(session->logOffs, 2);
  EXPECT_EQ(session->attempts.size(), 3u);
  // ldAuto is gone after the first run: every repetition shows the dialog.
  EXPECT_FALSE(shell().dmMain().OracleLogon->Options().contains(oracle::ldAuto));
  // The later dialogs offer the history of the earlier ones.
  ASSERT_GE(user.Shows().size(), 2u);
}

TEST_F(Startup, DataModuleCarriesItsStoredValues) {
  const app::TdmMain& dm = shell().dmMain();
  EXPECT_EQ(dm.OracleLogon->Session(), dm.OracleSession);
  EXPECT_EQ(dm.OracleLogon->Retries(), 2);
  EXPECT_EQ(dm.OracleLogon->Options(),
            (oracle::TLogonOptions{oracle::ldAuto, oracle::ldDatabase, oracle::ldDatabaseList,
                                   oracle::ldLogonHistory}));
  EXPECT_EQ(dm.OracleLogon->AliasDropDownCount(), 8);
  EXPECT_EQ(dm.OracleLogon->HistorySize(), 6);
  EXPECT_TRUE(dm.OracleLogon->HistoryWithPassword());
  EXPECT_EQ(dm.OracleSession->Cursor(), -11);
  EXPECT_FALSE(dm.OracleSession->Connected());
  EXPECT_EQ(dm.OracleSession->Name(), "OracleSession");
}

// A failure that is neither an Oracle error nor the framework's exception passes out of the
// logon dialog; the program then ends with a message instead of aborting.
TEST_F(Startup, AnExceptionEscapingTheFirstTestEndsTheProgramWithAMessage) {
  struct Escaping : FakeSession {
    using FakeSession::FakeSession;
    void LogOn() override { throw std::runtime_error("out of handles"); }
  };
  user.OnModal().Type("UsernameEdit", "scott").Type("PasswordEdit", "tiger").PressEnter();
  const int code =
      app::RunInteractive([](oracle::TComponent* owner) { return new Escaping(owner); });
  EXPECT_EQ(code, 1);
  EXPECT_THAT(user.Messages(),
              ElementsAre("The logon test stopped with an error:\nout of handles"));
  EXPECT_THAT(user.Transcript(),
              testing::Not(testing::Contains("main window: Databaseinnlogging")));
}

}  // namespace
}  // namespace e2e
