// The password change dialog's loop: verification that ignores letter case, the messages, the
// change and the logon after it, and Cancel.
#include "support/FakeSession.h"
#include "oracle/logon/PasswordDialog.h"

#include <gtest/gtest.h>

#include <clocale>
#include <stdexcept>

#include "support/ScriptedPort.h"
#include "oracle/core/Exception.h"
#include "oracle/logon/LogOnForm.h"
#include "oracle/logon/LogonTexts.h"
#include "oracle/session/OracleError.h"
#include "oracle/session/OracleSession.h"

namespace oracle {
namespace {

using ui::ModalResult;

using testsupport::Failure;
using testsupport::FakeSession;

// A show in which the user types both entries and confirms.
void enter(testsupport::ScriptedPort& port, std::string first, std::string second) {
  port.OnModal()
      .Type("UsernameEdit", std::move(first))
      .Type("PasswordEdit", std::move(second))
      .ClickOK();
}

void cancel(testsupport::ScriptedPort& port) { port.OnModal().PressEscape(); }

class PasswordDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetLogonTexts(); }
  void TearDown() override { ResetLogonTexts(); }

  bool run() { return ChangePasswordDialog(&session, "Your password has expired", {}); }

  testsupport::ScriptedPort port;
  FakeSession session;
};

TEST_F(PasswordDialogTest, EntriesDifferingOnlyInCaseAreAcceptedAndTheSecondIsUsed) {
  enter(port, "NewSecret", "newsecret");
  EXPECT_TRUE(run());
  EXPECT_EQ(session.passwordChanges, std::vector<std::string>{"newsecret"});
  EXPECT_EQ(session.logOns(), 1) << "an unconnected session logs on with the new password";
  EXPECT_TRUE(session.Connected());
  EXPECT_EQ(session.LogonPassword(), "newsecret");
  EXPECT_TRUE(port.Messages().empty());
}

TEST_F(PasswordDialogTest, CaseIsIgnoredByTheLocaleBeyondAscii) {
  const std::string saved = std::setlocale(LC_CTYPE, nullptr);
  if (std::setlocale(LC_CTYPE, "C.UTF-8") == nullptr) GTEST_SKIP() << "no C.UTF-8 locale";
  enter(port, "sølvbjørn", "SØLVBJØRN");
  const bool changed = run();
  std::setlocale(LC_CTYPE, saved.c_str());
  EXPECT_TRUE(changed);
  EXPECT_EQ(session.passwordChanges, std::vector<std::string>{"SØLVBJØRN"});
}

TEST_F(PasswordDialogTest, AConnectedSessionIsNotLoggedOnAgain) {
  session.connect();
  enter(port, "x", "x");
  EXPECT_TRUE(run());
  EXPECT_EQ(session.logOns(), 0);
}

TEST_F(PasswordDialogTest, DifferentEntriesAreRefusedAndKeptForTheNextShow) {
  enter(port, "one", "two");
  port.OnModal()
      .Check([](ui::Form& form) {
        auto& f = static_cast<TLogOnForm&>(form);
        EXPECT_EQ(f.UsernameEdit.text, "one");
        EXPECT_EQ(f.PasswordEdit.text, "two");
        EXPECT_EQ(f.focused, &f.PasswordEdit) << "the first field is filled";
      })
      .PressEscape();
  EXPECT_FALSE(run());
  EXPECT_EQ(port.Messages(), std::vector<std::string>{"Verification failed"});
  EXPECT_TRUE(session.passwordChanges.empty());
  EXPECT_EQ(port.Shows().size(), 2u);
}

TEST_F(PasswordDialogTest, VerificationMessageIsLocalized) {
  SelectLanguageTexts(0x0814);
  enter(port, "a", "b");
  cancel(port);
  EXPECT_FALSE(run());
  EXPECT_EQ(port.Messages(), std::vector<std::string>{"Mislykka verifikasjon"});
}

TEST_F(PasswordDialogTest, OracleErrorsAreShownAndTheDialogComesBack) {
  // The server refuses the first new password; the logon after the second change fails once.
  session.changeOutcomes = {Failure(28003, "ORA-28003: refused")};
  session.outcomes = {Failure(1017, "ORA-1017: refused")};
  enter(port, "", "");
  enter(port, "better", "better");
  enter(port, "best", "best");
  EXPECT_TRUE(run());
  EXPECT_EQ(port.Messages(),
            (std::vector<std::string>{"ORA-28003: refused", "ORA-1017: refused"}));
  EXPECT_EQ(session.passwordChanges, (std::vector<std::string>{"", "better", "best"}));
  EXPECT_EQ(session.logOns(), 2);
  EXPECT_TRUE(session.Connected());
}

TEST_F(PasswordDialogTest, CancelLeavesThePasswordAlone) {
  session.SetLogonPassword("old");
  cancel(port);
  EXPECT_FALSE(run());
  EXPECT_TRUE(session.passwordChanges.empty());
  EXPECT_EQ(session.LogonPassword(), "old");
}

TEST_F(PasswordDialogTest, OtherFailuresPassOut) {
  session.changeOutcomes = {testsupport::ForeignFailure()};
  enter(port, "x", "x");
  EXPECT_THROW(run(), std::runtime_error);
  EXPECT_TRUE(port.Messages().empty());
}

TEST_F(PasswordDialogTest, NoSessionIsAnError) {
  try {
    ChangePasswordDialog(nullptr, "caption", {});
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Session undefined");
  }
  EXPECT_TRUE(port.Shows().empty());
}

TEST_F(PasswordDialogTest, DialogCarriesItsCaptionAndStartsInTheFirstField) {
  port.OnModal()
      .Check([](ui::Form& form) {
        auto& f = static_cast<TLogOnForm&>(form);
        EXPECT_EQ(f.caption, "Your password has expired");
        EXPECT_EQ(f.Label1.caption, "New password");
        EXPECT_EQ(f.Label2.caption, "Verification");
        EXPECT_EQ(f.focused, &f.UsernameEdit);
        EXPECT_EQ(f.UsernameEdit.passwordChar, '*');
      })
      .PressEscape();
  EXPECT_FALSE(run());
}

}  // namespace
}  // namespace oracle
