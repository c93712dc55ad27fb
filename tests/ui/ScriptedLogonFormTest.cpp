// The scripted port against the real logon form: its history button, menu and key handler are
// reached the way a user reaches them, and the attempt loop reads the Ctrl state it leaves.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/FakeSession.h"
#include "oracle/logon/LogOnForm.h"
#include "oracle/logon/LogonHistory.h"
#include "oracle/logon/LogonTexts.h"
#include "oracle/logon/OracleLogon.h"
#include "oracle/session/OracleError.h"
#include "oracle/session/OracleSession.h"
#include "support/ScriptedPort.h"

namespace {

using testing::ElementsAre;
using testsupport::ScriptedPort;
using ui::ModalResult;

using testsupport::FakeSession;

class ScriptedLogon : public testing::Test {
 protected:
  void SetUp() override {
    oracle::ResetLogonTexts();
    oracle::LogonHistory().Clear();
    oracle::LogonHistory().WithPassword = true;
    oracle::LogonHistory().MaxItems = 6;
    oracle::AddHistoryItem(oracle::LogonHistory(), "scott", "tiger", "ORCL", "", true);
    oracle::AddHistoryItem(oracle::LogonHistory(), ">Test", "", "", "", false);
    oracle::AddHistoryItem(oracle::LogonHistory(), "system", "manager", "TEST", "SYSDBA", false);
  }
  void TearDown() override { oracle::LogonHistory().Clear(); }

  ScriptedPort port_;
  FakeSession session_;
  oracle::TLogonOptions options_{oracle::ldDatabase, oracle::ldLogonHistory};
};

TEST_F(ScriptedLogon, HistoryPickDrivesTheFormsOwnHandlers) {
  oracle::TLogOnForm form;
  form.PrepareLogon(session_, 8, {}, options_, nullptr, nullptr);
  port_.OnModal("Oracle Logon").PickHistory("Test > system@TEST as SYSDBA");
  EXPECT_EQ(port_.ShowModal(form), ModalResult::OK);
  EXPECT_EQ(form.UsernameEdit.text, "system");
  EXPECT_EQ(form.DatabaseEdit.text, "TEST");
  EXPECT_THAT(port_.Menus().at(0),
              ElementsAre("scott@ORCL", "Test", "Test > system@TEST as SYSDBA"));
  EXPECT_EQ(port_.Shows().at(0).focused, "UsernameEdit");

  oracle::TLogOnForm again;
  again.PrepareLogon(session_, 8, {}, options_, nullptr, nullptr);
  port_.OnModal().PickHistory("scott@ORCL", true).PressCtrlEnter();
  EXPECT_EQ(port_.ShowModal(again), ModalResult::OK);
  EXPECT_EQ(again.PasswordEdit.text, "tiger");
  EXPECT_TRUE(port_.Shows().at(1).ctrlAtClose);
  EXPECT_TRUE(port_.Problems().empty());
}

TEST_F(ScriptedLogon, AttemptLoopWithAFailureThenSuccess) {
  session_.SetLogonUsername("scott");
  session_.outcomes.push_back(
      testsupport::Failure(1017, "ORA-01017: invalid username/password; logon denied"));
  port_.OnModal().Type("PasswordEdit", "tiger").Type("DatabaseEdit", "orcl").PressEnter();
  port_.OnModal()
      .Check([](ui::Form& f) {
        // Refilled from the session after the failed attempt.
        EXPECT_EQ(f.find("PasswordEdit")->text, "tiger");
      })
      .ClickOK(true);

  EXPECT_TRUE(oracle::LogonDialog(&session_, 2, 8, {}, options_));
  EXPECT_TRUE(session_.Connected());
  EXPECT_EQ(session_.logOns(), 2);
  EXPECT_THAT(port_.Transcript(),
              ElementsAre("modal: Oracle Logon -> OK",
                          "message: ORA-01017: invalid username/password; logon denied",
                          "modal: Oracle Logon -> OK"));
  // Ctrl+click on OK: the logon is not recorded, so the history keeps its three entries.
  EXPECT_EQ(oracle::LogonHistory().Count(), 3u);
  EXPECT_TRUE(port_.Problems().empty());
  EXPECT_TRUE(port_.AllPlayed());
}

}  // namespace
