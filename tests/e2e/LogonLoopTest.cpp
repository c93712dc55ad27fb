// The logon component's attempt loop through a scripted user, with a session double.
#include "Fixture.h"
#include "support/FakeSession.h"
#include "oracle/core/Exception.h"
#include "oracle/logon/OracleLogon.h"

namespace e2e {
namespace {

using oracle::TLogonOptions;
using testsupport::Attempt;
using testsupport::Failure;
using testsupport::FakeSession;
using testsupport::Success;
using testsupport::Warning;
using testing::ElementsAre;

class LogonLoop : public ProcessStateTest {
 protected:
  LogonLoop() { logon.SetSession(&session); }

  FakeSession session{nullptr};
  oracle::TOracleLogon logon{nullptr};
};

TEST_F(LogonLoop, WithoutSessionNothingHappens) {
  oracle::TOracleLogon alone(nullptr);
  EXPECT_FALSE(alone.Execute());
  EXPECT_TRUE(user.Transcript().empty());
  oracle::TLogonOptions options;
  EXPECT_THROW(
      try { oracle::LogonDialog(nullptr, 2, 8, {}, options); } catch (const oracle::Exception& e) {
        EXPECT_EQ(e.Message(), "Session undefined");
        throw;
      },
      oracle::Exception);
}

TEST_F(LogonLoop, ZeroRetriesMakeExactlyOneAttempt) {
  logon.SetRetries(0);
  session.outcomes.push_back(Failure(1017, "ORA-01017\n"));
  user.OnModal().Type("UsernameEdit", "u").Type("PasswordEdit", "p").PressEnter();
  EXPECT_TRUE(logon.Execute());
  EXPECT_FALSE(session.Connected());
  EXPECT_EQ(session.attempts.size(), 1u);
  EXPECT_FALSE(user.RanDry());
}

TEST_F(LogonLoop, AutoWithoutArgumentShowsTheDialogAndIsRemoved) {
  user.OnModal().PressEscape();
  EXPECT_FALSE(logon.Execute());
  EXPECT_FALSE(logon.Options().contains(oracle::ldAuto));
  EXPECT_EQ(user.Captions().size(), 1u);
}

TEST_F(LogonLoop, AutoWithStoredCredentialsSkipsTheFirstDialog) {
  session.SetLogonUsername("scott");
  session.SetLogonPassword("tiger");
  EXPECT_TRUE(logon.Execute());
  EXPECT_TRUE(session.Connected());
  EXPECT_TRUE(user.Captions().empty());
}

TEST_F(LogonLoop, CancellingTheFirstShowingLeavesTheSessionUntouched) {
  session.SetLogonUsername("keep");
  session.SetConnectAs(oracle::caSYSOPER);
  logon.SetOptions({oracle::ldDatabase});
  user.OnModal().Type("UsernameEdit", "other").PressEscape();
  EXPECT_FALSE(logon.Execute());
  EXPECT_EQ(session.LogonUsername(), "keep");
  EXPECT_EQ(session.ConnectAs(), oracle::caSYSOPER);
}

TEST_F(LogonLoop, CtrlConfirmationLogsOnWithoutRecordingHistory) {
  logon.SetOptions({oracle::ldDatabase, oracle::ldLogonHistory});
  user.OnModal().Type("UsernameEdit", "scott").Type("PasswordEdit", "tiger").PressCtrlEnter();
  EXPECT_TRUE(logon.Execute());
  EXPECT_TRUE(session.Connected());
  EXPECT_EQ(oracle::LogonHistory().Count(), 0u);

  user.OnModal().Type("PasswordEdit", "tiger").ClickOK(/*ctrl=*/true);
  EXPECT_TRUE(logon.Execute());
  EXPECT_EQ(oracle::LogonHistory().Count(), 0u);

  user.OnModal().Type("PasswordEdit", "tiger").PressEnter();
  EXPECT_TRUE(logon.Execute());
  EXPECT_EQ(oracle::LogonHistory().Count(), 1u);
}

TEST_F(LogonLoop, WarningAskedAndAnsweredNoKeepsThePassword) {
  session.outcomes.push_back(Warning("ORA-28002: the password will expire within 7 days\n"));
  user.OnModal().Type("UsernameEdit", "scott").Type("PasswordEdit", "tiger").PressEnter();
  user.AnswerNo();
  EXPECT_TRUE(logon.Execute());
  EXPECT_TRUE(session.Connected());
  EXPECT_THAT(user.Questions(),
              ElementsAre("ORA-28002: the password will expire within 7 days\n\r\n"
                          "Do you wish to change your password now?"));
  EXPECT_TRUE(session.passwordChanges.empty());
  EXPECT_EQ(session.LogonPassword(), "tiger");
}

TEST_F(LogonLoop, WarningAnsweredYesOpensThePasswordDialog) {
  session.outcomes.push_back(Warning("ORA-28002: the password will expire within 7 days\n"));
  user.OnModal().Type("UsernameEdit", "scott").Type("PasswordEdit", "tiger").PressEnter();
  user.AnswerYes();
  user.OnModal("Your password has expired")
      .Type("UsernameEdit", "Lion")
      .Type("PasswordEdit", "lion")  // letter case is ignored by the verification
      .PressEnter();
  EXPECT_TRUE(logon.Execute());
  EXPECT_THAT(session.passwordChanges, ElementsAre("lion"));
  EXPECT_EQ(session.LogonPassword(), "lion");
  EXPECT_TRUE(session.Connected());
}

TEST_F(LogonLoop, PasswordDialogRepeatsOnMismatchAndRefusal) {
  session.outcomes.push_back(Warning("ORA-28002: expires\n"));
  session.changeOutcomes.push_back(
      Failure(28003, "ORA-28003: password verification for the specified password failed\n"));
  user.OnModal().Type("UsernameEdit", "scott").Type("PasswordEdit", "tiger").PressEnter();
  user.AnswerYes();
  user.OnModal().Type("UsernameEdit", "a").Type("PasswordEdit", "b").PressEnter();
  user.OnModal().Check([](ui::Form& form) {
    // The entries are kept after a failed verification.
    EXPECT_EQ(form.find("UsernameEdit")->text, "a");
  }).Type("PasswordEdit", "a").PressEnter();
  user.OnModal().PressEscape();
  EXPECT_TRUE(logon.Execute());
  EXPECT_THAT(user.Messages(),
              ElementsAre("Verification failed",
                          "ORA-28003: password verification for the specified password failed\n"));
  EXPECT_THAT(session.passwordChanges, ElementsAre("a"));
  EXPECT_EQ(session.LogonPassword(), "tiger");
}

TEST_F(LogonLoop, ExpiredPasswordWithoutOCI8ShowsTheErrorOnly) {
  // No client library runs in OCI8 mode here, so error 28001 is reported like any other.
  logon.SetRetries(0);
  session.outcomes.push_back(Failure(28001, "ORA-28001: the password has expired\n"));
  user.OnModal().Type("UsernameEdit", "scott").Type("PasswordEdit", "tiger").PressEnter();
  EXPECT_TRUE(logon.Execute());
  EXPECT_THAT(user.Messages(), ElementsAre("ORA-28001: the password has expired\n"));
  EXPECT_EQ(user.Captions().size(), 1u);
}

TEST_F(LogonLoop, WithoutConnectAsTheLogonIsNormal) {
  session.SetConnectAs(oracle::caSYSDBA);
  logon.SetOptions({oracle::ldDatabase});
  user.OnModal().Type("UsernameEdit", "sys").Type("PasswordEdit", "pw").PressEnter();
  EXPECT_TRUE(logon.Execute());
  ASSERT_EQ(session.attempts.size(), 1u);
  EXPECT_EQ(session.attempts[0].connectAs, oracle::caNormal);
}

TEST_F(LogonLoop, ACaptionChangesEveryLaterDialog) {
  oracle::TOracleLogon other(nullptr);
  other.SetSession(&session);
  logon.SetCaption("Test logon");
  user.OnModal("Test logon").PressEscape();
  user.OnModal("Test logon").PressEscape();
  logon.Execute();
  other.Execute();
  EXPECT_THAT(user.Captions(), ElementsAre("Test logon", "Test logon"));
}

TEST_F(LogonLoop, InMemoryHistoryGrowsUpToItsSize) {
  logon.SetOptions({oracle::ldDatabase, oracle::ldLogonHistory});
  logon.SetHistorySize(2);
  logon.SetHistoryWithPassword(true);
  for (const char* name : {"a", "b", "c"}) {
    user.OnModal().Type("UsernameEdit", name).Type("PasswordEdit", "pw").Type("DatabaseEdit", "db")
        .PressEnter();
    EXPECT_TRUE(logon.Execute());
  }
  ASSERT_EQ(oracle::LogonHistory().Count(), 2u);
  EXPECT_EQ(oracle::HistoryItemText(oracle::LogonHistory()[0]), "c@db");
  // The oldest entry made room for the newest, which went to the top.
  EXPECT_EQ(oracle::HistoryItemText(oracle::LogonHistory()[1]), "b@db");

  // Choosing an entry with a password closes the dialog at once and logs on with it.
  user.OnModal().PickHistory("b@db");
  EXPECT_TRUE(logon.Execute());
  EXPECT_EQ(session.attempts.back(), (Attempt{"b", "pw", "db", oracle::caNormal}));
  EXPECT_EQ(oracle::HistoryItemText(oracle::LogonHistory()[0]), "b@db");
}

TEST_F(LogonLoop, OtherFrameworkExceptionsAreShownAndTheLoopGoesOn) {
  struct Throwing : FakeSession {
    using FakeSession::FakeSession;
    void LogOn() override { throw oracle::Exception("Initialization error\r\nno client"); }
  } throwing(nullptr);
  logon.SetSession(&throwing);
  logon.SetRetries(1);
  user.OnModal().Type("UsernameEdit", "u").Type("PasswordEdit", "p").PressEnter();
  user.OnModal().PressEscape();
  EXPECT_TRUE(logon.Execute());
  EXPECT_THAT(user.Messages(), ElementsAre("Initialization error\r\nno client"));
}

}  // namespace
}  // namespace e2e
