// The program end to end over the emulated client: the scripted user in front, a real session
// and a real client library behind, homes made in temporary folders.
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
  user.OnModal().Check([](ui::Form& form) {
    EXPECT_THAT(form.find("AliasList")->items, ElementsAre("DB"));
  }).PressEscape();
  user.OnMainWindow().CloseBox();
  run();
}

TEST_F(OverClient, ThreeFailedAttempts) {
  for (int i = 0; i < 3; ++i)
    user.OnModal().Type("UsernameEdit", "scott").Type("PasswordEdit", "bad").Type("AliasList", "DB")
        .PressEnter();
  user.OnMainWindow().CloseBox();
  run();
  EXPECT_THAT(user.Messages(), ElementsAre(kDenied, kDenied, kDenied, "Misslykka innlogging!"));
}

TEST_F(OverClient, OneFailureThenCancel) {
  user.OnModal().Type("UsernameEdit", "scott/bad@DB").PressEnter();
  user.OnModal().Check([](ui::Form& form) {
    // The connect string typed as the username comes back split.
    EXPECT_EQ(form.find("UsernameEdit")->text, "scott");
    EXPECT_EQ(form.find("PasswordEdit")->text, "bad");
    EXPECT_EQ(form.find("AliasList")->text, "DB");
  }).PressEscape();
  user.OnMainWindow().CloseBox();
  run();
  EXPECT_THAT(user.Messages(), ElementsAre(kDenied, "Misslykka innlogging!"));
}

TEST_F(OverClient, UserIdLogsOnAndARepeatedLogonReconnects) {
  commandLine({"UserId=scott/tiger@DB"});
  user.OnMainWindow().Click("ButtonNewLogOn").Click("ButtonNewLogOn").Click("ButtonExit");
  user.OnModal().PressEnter();                                            // unchanged: reconnects
  user.OnModal().Type("PasswordEdit", "bad").PressEnter();                 // fails ...
  user.OnModal().Type("PasswordEdit", "bad").PressEnter();
  user.OnModal().Type("PasswordEdit", "bad").PressEnter();                 // ... three times
  run();
  EXPECT_THAT(user.Messages(), ElementsAre("Vellykka innlogging!", "Vellykka innlogging!", kDenied,
                                           kDenied, kDenied));
  EXPECT_FALSE(connectedAtExit);
  EXPECT_EQ(client.calls("OCISessionBegin"), 5);
}

TEST_F(OverClient, AnExpiredPasswordIsChangedInTheDialog) {
  user.OnModal().Type("UsernameEdit", "expired").Type("PasswordEdit", "expired")
      .Type("AliasList", "DB").PressEnter();
  user.OnModal("Your password has expired").Type("UsernameEdit", "new1").Type("PasswordEdit", "NEW1")
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
  user.OnModal().Type("UsernameEdit", "grace").Type("PasswordEdit", "grace").Type("AliasList", "DB")
      .PressEnter();
  user.AnswerNo();
  user.OnMainWindow().Click("ButtonNewLogOn").Click("ButtonExit");
  user.OnModal().PressEnter();
  user.AnswerYes();
  user.OnModal("Your password has expired").Type("UsernameEdit", "later").Type("PasswordEdit", "later")
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
  user.OnModal().Type("UsernameEdit", "scott").Type("PasswordEdit", "tiger").Type("AliasList", "DB")
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
  user.OnModal().Type("UsernameEdit", "scott").Type("PasswordEdit", "tiger").Type("AliasList", "DB")
      .PressEnter();
  user.OnMainWindow().CloseBox();
  run();
  EXPECT_THAT(user.Messages(), ElementsAre("Vellykka innlogging!"));
  EXPECT_EQ(client.calls("olog"), 1);
}

TEST_F(OverOci7Client, ExpiredPasswordIsOnlyReported) {
  user.OnModal().Type("UsernameEdit", "expired").Type("PasswordEdit", "expired")
      .Type("AliasList", "DB").PressEnter();
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
  EXPECT_THAT(out.str(), testing::HasSubstr("Client library: " + client.home.LibraryPath().string()));
}

TEST_F(Batch, WrongPasswordPrintsTheErrorAndFails) {
  commandLine({"UserId=scott/wrong@DB"});
  std::ostringstream out, err;
  EXPECT_EQ(app::RunBatch(out, err), 1);
  EXPECT_THAT(out.str(), testing::StartsWith("ORA-01017: invalid username/password; logon denied\n"));
  EXPECT_THAT(out.str(), testing::HasSubstr("Misslykka innlogging!\n"));
}

TEST_F(Batch, WithoutUserIdIsAUsageError) {
  std::ostringstream out, err;
  EXPECT_EQ(app::RunBatch(out, err), 2);
  EXPECT_THAT(err.str(), testing::HasSubstr("UserId="));
}

}  // namespace
}  // namespace e2e
