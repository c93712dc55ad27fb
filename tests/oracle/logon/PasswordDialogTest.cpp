// The password change dialog's loop: verification that ignores letter case, the messages, the
// change and the logon after it, and Cancel.
#include "oracle/logon/PasswordDialog.h"

#include <gtest/gtest.h>

#include <clocale>
#include <stdexcept>

#include "ScriptedPort.h"
#include "oracle/core/Exception.h"
#include "oracle/logon/LogOnForm.h"
#include "oracle/logon/LogonTexts.h"
#include "oracle/session/OracleError.h"
#include "oracle/session/OracleSession.h"

namespace oracle {
namespace {

using ui::ModalResult;

// A session whose password change and logon are scripted: each call takes the next failure
// (none when the list is empty).
class ScriptedSession : public TOracleSession {
 public:
  using TOracleSession::TOracleSession;

  void ChangePassword(const std::string& newPassword) override {
    changes.push_back(newPassword);
    failNext(changeFailures);
    SetLogonPassword(newPassword);
  }
  void LogOn() override {
    ++logOns;
    failNext(logOnFailures);
    SetConnectedState(true);
  }
  void LogOff() override { SetConnectedState(false); }
  void connect() { SetConnectedState(true); }

  std::vector<std::string> changes;
  int logOns = 0;
  std::vector<int> changeFailures;  // Oracle error codes; -1 raises a non-Oracle exception
  std::vector<int> logOnFailures;

 private:
  void failNext(std::vector<int>& failures) {
    if (failures.empty()) return;
    const int code = failures.front();
    failures.erase(failures.begin());
    if (code < 0) throw std::runtime_error("not an Oracle failure");
    throw EOracleError(code, "ORA-" + std::to_string(code) + ": refused", nullptr, this);
  }
};

// A modal step that types both entries and confirms.
logontest::ScriptedPort::Step enter(std::string first, std::string second) {
  return [first, second](ui::Form& form) {
    auto& f = static_cast<TLogOnForm&>(form);
    f.UsernameEdit.text = first;
    f.PasswordEdit.text = second;
    return ModalResult::OK;
  };
}

logontest::ScriptedPort::Step cancel() {
  return [](ui::Form&) { return ModalResult::Cancel; };
}

class PasswordDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetLogonTexts(); }
  void TearDown() override { ResetLogonTexts(); }

  bool run() { return ChangePasswordDialog(&session, "Your password has expired", {}); }

  logontest::ScriptedPort port;
  ui::ScopedPort scopedPort{port};
  ScriptedSession session{nullptr};
};

TEST_F(PasswordDialogTest, EntriesDifferingOnlyInCaseAreAcceptedAndTheSecondIsUsed) {
  port.shows = {enter("NewSecret", "newsecret")};
  EXPECT_TRUE(run());
  EXPECT_EQ(session.changes, std::vector<std::string>{"newsecret"});
  EXPECT_EQ(session.logOns, 1) << "an unconnected session logs on with the new password";
  EXPECT_TRUE(session.Connected());
  EXPECT_EQ(session.LogonPassword(), "newsecret");
  EXPECT_TRUE(port.messages.empty());
}

TEST_F(PasswordDialogTest, CaseIsIgnoredByTheLocaleBeyondAscii) {
  const std::string saved = std::setlocale(LC_CTYPE, nullptr);
  if (std::setlocale(LC_CTYPE, "C.UTF-8") == nullptr) GTEST_SKIP() << "no C.UTF-8 locale";
  port.shows = {enter("sølvbjørn", "SØLVBJØRN")};
  const bool changed = run();
  std::setlocale(LC_CTYPE, saved.c_str());
  EXPECT_TRUE(changed);
  EXPECT_EQ(session.changes, std::vector<std::string>{"SØLVBJØRN"});
}

TEST_F(PasswordDialogTest, AConnectedSessionIsNotLoggedOnAgain) {
  session.connect();
  port.shows = {enter("x", "x")};
  EXPECT_TRUE(run());
  EXPECT_EQ(session.logOns, 0);
}

TEST_F(PasswordDialogTest, DifferentEntriesAreRefusedAndKeptForTheNextShow) {
  port.shows = {enter("one", "two"),
                [](ui::Form& form) {
                  auto& f = static_cast<TLogOnForm&>(form);
                  EXPECT_EQ(f.UsernameEdit.text, "one");
                  EXPECT_EQ(f.PasswordEdit.text, "two");
                  EXPECT_EQ(f.focused, &f.PasswordEdit) << "the first field is filled";
                  return ModalResult::Cancel;
                }};
  EXPECT_FALSE(run());
  EXPECT_EQ(port.messages, std::vector<std::string>{"Verification failed"});
  EXPECT_TRUE(session.changes.empty());
  EXPECT_EQ(port.modalShows, 2);
}

TEST_F(PasswordDialogTest, VerificationMessageIsLocalized) {
  SelectLanguageTexts(0x0814);
  port.shows = {enter("a", "b"), cancel()};
  EXPECT_FALSE(run());
  EXPECT_EQ(port.messages, std::vector<std::string>{"Mislykka verifikasjon"});
}

TEST_F(PasswordDialogTest, OracleErrorsAreShownAndTheDialogComesBack) {
  session.changeFailures = {28003};  // the server refuses the first new password
  session.logOnFailures = {1017};    // the logon after the second change fails once
  port.shows = {enter("", ""), enter("better", "better"), enter("best", "best")};
  EXPECT_TRUE(run());
  EXPECT_EQ(port.messages,
            (std::vector<std::string>{"ORA-28003: refused", "ORA-1017: refused"}));
  EXPECT_EQ(session.changes, (std::vector<std::string>{"", "better", "best"}));
  EXPECT_EQ(session.logOns, 2);
  EXPECT_TRUE(session.Connected());
}

TEST_F(PasswordDialogTest, CancelLeavesThePasswordAlone) {
  session.SetLogonPassword("old");
  port.shows = {cancel()};
  EXPECT_FALSE(run());
  EXPECT_TRUE(session.changes.empty());
  EXPECT_EQ(session.LogonPassword(), "old");
}

TEST_F(PasswordDialogTest, OtherFailuresPassOut) {
  session.changeFailures = {-1};
  port.shows = {enter("x", "x")};
  EXPECT_THROW(run(), std::runtime_error);
  EXPECT_TRUE(port.messages.empty());
}

TEST_F(PasswordDialogTest, NoSessionIsAnError) {
  try {
    ChangePasswordDialog(nullptr, "caption", {});
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Session undefined");
  }
  EXPECT_EQ(port.modalShows, 0);
}

TEST_F(PasswordDialogTest, DialogCarriesItsCaptionAndStartsInTheFirstField) {
  port.shows = {[](ui::Form& form) {
    auto& f = static_cast<TLogOnForm&>(form);
    EXPECT_EQ(f.caption, "Your password has expired");
    EXPECT_EQ(f.Label1.caption, "New password");
    EXPECT_EQ(f.Label2.caption, "Verification");
    EXPECT_EQ(f.focused, &f.UsernameEdit);
    EXPECT_EQ(f.UsernameEdit.passwordChar, '*');
    return ModalResult::Cancel;
  }};
  EXPECT_FALSE(run());
}

}  // namespace
}  // namespace oracle
