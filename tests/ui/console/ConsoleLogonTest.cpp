// The logon and password change dialogs in the terminal, and the logon component's attempt loop
// driven from typed input.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "support/FakeSession.h"
#include "oracle/logon/LogOnForm.h"
#include "oracle/logon/LogonHistory.h"
#include "oracle/logon/LogonTexts.h"
#include "oracle/logon/OracleLogon.h"
#include "oracle/session/OracleError.h"
#include "oracle/session/OracleSession.h"
#include "ui/console/ConsolePort.h"

namespace {

using oracle::TLogonOptions;
using testing::HasSubstr;
using testing::Not;
using ui::ModalResult;

using testsupport::FakeSession;

class ConsoleLogon : public testing::Test {
 protected:
  void SetUp() override {
    oracle::ResetLogonTexts();
    oracle::LogonHistory().Clear();
    oracle::LogonHistory().WithPassword = true;
    oracle::LogonHistory().MaxItems = 6;
  }
  void TearDown() override { oracle::LogonHistory().Clear(); }

  void input(const std::string& text) {
    in_.clear();
    in_.str(text);
  }
  std::string output() const { return out_.str(); }
  std::string rest() {
    std::string left;
    std::getline(in_, left, '\0');
    return left;
  }
  void prepare(oracle::TLogOnForm& form, const FakeSession& session, TLogonOptions options) {
    form.PrepareLogon(
        session, 8, {}, options,
        [] {
          return std::optional<std::vector<std::string>>({"ORCL", "TEST"});
        },
        [] { return false; });
  }
  void addHistory(const std::string& user, const std::string& password, const std::string& db,
                  const std::string& as = {}) {
    oracle::AddHistoryItem(oracle::LogonHistory(), user, password, db, as, true);
  }

  std::istringstream in_;
  std::ostringstream out_;
  ui::console::ConsolePort port_{in_, out_};
  ui::ScopedPort installed_{port_};
  FakeSession session_;
};

const TLogonOptions kApplicationOptions{oracle::ldDatabase, oracle::ldDatabaseList,
                                        oracle::ldLogonHistory};

TEST_F(ConsoleLogon, DefaultsAreKeptAndThePasswordIsNeverShown) {
  session_.SetLogonUsername("scott");
  session_.SetLogonPassword("tiger");
  session_.SetLogonDatabase("ORCL");
  oracle::TLogOnForm form;
  prepare(form, session_, kApplicationOptions);
  input("\n\n\n\n");

  EXPECT_EQ(port_.ShowModal(form), ModalResult::OK);
  EXPECT_EQ(form.UsernameEdit.text, "scott");
  EXPECT_EQ(form.PasswordEdit.text, "tiger");
  EXPECT_EQ(form.DatabaseText(kApplicationOptions), "ORCL");
  const std::string out = output();
  EXPECT_THAT(out, HasSubstr("== Oracle Logon ==\n(Enter keeps the value in brackets)\nUsername "
                             "[scott]: Password [********]: "
                             "Database:\n  1) ORCL\n  2) TEST\n"));
  EXPECT_THAT(out, HasSubstr("Database [ORCL]: "));
  EXPECT_THAT(out, Not(HasSubstr("tiger")));
  // No connect-as row, and the history button is disabled while the history is empty.
  EXPECT_THAT(out, Not(HasSubstr("Connect as")));
  EXPECT_THAT(out, Not(HasSubstr("Logon history")));
}

TEST_F(ConsoleLogon, AliasByNumberAndATypedPassword) {
  session_.SetLogonUsername("scott");
  oracle::TLogOnForm form;
  prepare(form, session_, kApplicationOptions);
  input("\nnewpw\n2\n\n");

  EXPECT_EQ(port_.ShowModal(form), ModalResult::OK);
  EXPECT_EQ(form.PasswordEdit.text, "newpw");
  EXPECT_EQ(form.AliasList.text, "TEST");
  EXPECT_THAT(output(), Not(HasSubstr("newpw")));
}

TEST_F(ConsoleLogon, PasswordChangeDialogHidesBothEntries) {
  oracle::TLogOnForm form;
  form.PreparePasswordChange(oracle::LogonTexts().PasswordExpiredText, {});
  input("Geheim42\ngeheim42\n\n");

  EXPECT_EQ(port_.ShowModal(form), ModalResult::OK);
  EXPECT_EQ(form.UsernameEdit.text, "Geheim42");
  EXPECT_EQ(form.PasswordEdit.text, "geheim42");
  const std::string out = output();
  EXPECT_THAT(out, HasSubstr("== Your password has expired ==\n(Enter keeps the value in "
                             "brackets)\nNew password: Verification: "));
  EXPECT_THAT(out, Not(HasSubstr("eheim42")));
}

TEST_F(ConsoleLogon, HistoryEntryWithAPasswordClosesTheDialogAtOnce) {
  addHistory("scott", "tiger", "ORCL");
  addHistory("system", "manager", "TEST", "SYSDBA");
  oracle::TLogOnForm form;
  prepare(form, session_, kApplicationOptions);
  input("h\n2\nnot read\n");

  EXPECT_EQ(port_.ShowModal(form), ModalResult::OK);
  EXPECT_EQ(form.UsernameEdit.text, "scott");
  EXPECT_EQ(form.PasswordEdit.text, "tiger");
  EXPECT_EQ(form.AliasList.text, "ORCL");
  EXPECT_EQ(rest(), "not read\n");
  EXPECT_THAT(
      output(),
      HasSubstr(
          "(Enter keeps the value in brackets; h at any prompt: Logon history; \\h types an h)\n"));
  EXPECT_THAT(output(), HasSubstr("Logon history:\n  1) system@TEST as SYSDBA\n  2) scott@ORCL\n"));
  EXPECT_FALSE(port_.ControlKeyDown());
}

TEST_F(ConsoleLogon, HistoryEntryWithCtrlOrWithoutAPasswordOnlyFillsTheFields) {
  addHistory("scott", "tiger", "ORCL");
  addHistory("system", "manager", "TEST", "SYSDBA");
  {
    oracle::TLogOnForm form;
    prepare(form, session_, kApplicationOptions);
    // Entry 1 with Ctrl, then the fields again with the entry's values, then OK.
    input("h\n!1\n\n\n\n\n");
    EXPECT_EQ(port_.ShowModal(form), ModalResult::OK);
    EXPECT_EQ(form.UsernameEdit.text, "system");
    EXPECT_EQ(form.PasswordEdit.text, "manager");
    EXPECT_EQ(form.AliasList.text, "TEST");
    EXPECT_THAT(output(), HasSubstr("Username [system]: "));
    // Offered as "h" at the confirmation, not as a numbered button.
    EXPECT_THAT(output(), HasSubstr(", h = Logon history, c = Cancel: "));
    EXPECT_THAT(output(), HasSubstr("Database [TEST]: Enter = OK"));
    EXPECT_FALSE(port_.ControlKeyDown());
  }
  {
    oracle::LogonHistory().WithPassword = false;
    oracle::TLogOnForm form;
    prepare(form, session_, kApplicationOptions);
    input("h\n2\n\ntiger\n\n\n");
    EXPECT_EQ(port_.ShowModal(form), ModalResult::OK);
    EXPECT_EQ(form.UsernameEdit.text, "scott");
    EXPECT_EQ(form.PasswordEdit.text, "tiger");
    EXPECT_EQ(form.AliasList.text, "ORCL");
  }
}

TEST_F(ConsoleLogon, PasswordOnlyAsksForThePasswordAlone) {
  session_.SetLogonUsername("scott");
  session_.SetLogonDatabase("ORCL");
  addHistory("system", "manager", "TEST");
  oracle::TLogOnForm form;
  prepare(form, session_, {oracle::ldDatabase, oracle::ldLogonHistory, oracle::ldPasswordOnly});
  input("pw\n\n");

  EXPECT_EQ(port_.ShowModal(form), ModalResult::OK);
  EXPECT_EQ(form.PasswordEdit.text, "pw");
  const std::string out = output();
  EXPECT_THAT(
      out,
      HasSubstr("== Oracle Logon ==\n(Enter keeps the value in brackets)\nPassword: Enter = OK"));
  EXPECT_THAT(out, Not(HasSubstr("Username")));
  EXPECT_THAT(out, Not(HasSubstr("h = ")));
}

TEST_F(ConsoleLogon, AttemptLoopShowsTheErrorAndTheDialogAgain) {
  session_.SetLogonUsername("scott");
  session_.SetLogonDatabase("ORCL");
  session_.outcomes.push_back(
      testsupport::Failure(1017, "ORA-01017: invalid username/password; logon denied"));
  TLogonOptions options{oracle::ldDatabase, oracle::ldLogonHistory};
  // First showing: the password typed, OK; the logon fails; second showing: all kept, OK.
  input("\ntiger\n\n\n\n\n\n\n");

  EXPECT_TRUE(oracle::LogonDialog(&session_, 2, 8, {}, options));
  EXPECT_TRUE(session_.Connected());
  EXPECT_EQ(session_.logOns(), 2);
  const std::string out = output();
  const auto first = out.find("== Oracle Logon ==");
  const auto error = out.find("\ndblogon: ORA-01017: invalid username/password; logon denied\n");
  const auto second = out.find("== Oracle Logon ==", first + 1);
  ASSERT_NE(error, std::string::npos);
  EXPECT_LT(first, error);
  EXPECT_LT(error, second);
  EXPECT_NE(second, std::string::npos);
  EXPECT_THAT(out.substr(second), HasSubstr("Password [********]: "));
  EXPECT_THAT(out, Not(HasSubstr("tiger")));
  ASSERT_EQ(oracle::LogonHistory().Count(), 1u);
  EXPECT_EQ(oracle::HistoryItemText(oracle::LogonHistory()[0]), "scott@ORCL");
}

TEST_F(ConsoleLogon, AttemptLoopConfirmedWithCtrlOrCancelled) {
  session_.SetLogonUsername("scott");
  TLogonOptions options{oracle::ldDatabase, oracle::ldLogonHistory};
  input("\ntiger\n\n!\n");
  EXPECT_TRUE(oracle::LogonDialog(&session_, 2, 8, {}, options));
  EXPECT_TRUE(session_.Connected());
  EXPECT_EQ(oracle::LogonHistory().Count(), 0u);  // confirmed "with Ctrl": not recorded

  FakeSession other;
  input("\n\n\nc\n");
  EXPECT_FALSE(oracle::LogonDialog(&other, 2, 8, {}, options));
  EXPECT_EQ(other.logOns(), 0);

  input("");
  EXPECT_FALSE(oracle::LogonDialog(&other, 2, 8, {}, options));
  EXPECT_EQ(other.logOns(), 0);
}

}  // namespace
