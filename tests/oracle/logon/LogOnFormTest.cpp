// The logon form's model without a display: preparation by the options, the picture arithmetic,
// the history menu and its choice, the keyboard and focus rules, the password-change layout.
#include "oracle/logon/LogOnForm.h"

#include <gtest/gtest.h>

#include "support/ScriptedPort.h"
#include "oracle/logon/LogonHistory.h"
#include "oracle/logon/LogonTexts.h"
#include "oracle/session/OracleSession.h"

namespace oracle {
namespace {

using ui::ModalResult;

const TLogonOptions kApplicationOptions{ldAuto, ldDatabase, ldDatabaseList, ldLogonHistory};

TLogonOptions plus(TLogonOptions options, TLogonOption member) {
  options.insert(member);
  return options;
}

ui::Picture pictureOfWidth(int width) {
  return ui::Picture{width, 10, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * 10)};
}

class LogOnFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetLogonTexts();
    THistoryItems& history = LogonHistory();
    history.Clear();
    history.WithPassword = true;
    history.MaxItems = 0;
  }
  void TearDown() override {
    LogonHistory().Clear();
    ResetLogonTexts();
  }

  void prepare(TLogonOptions options, bool clientOffersOCI8 = false) {
    form.PrepareLogon(
        session, 5, {}, options,
        [] { return std::optional<std::vector<std::string>>({"ORCL", "TEST", "ARCHIVE"}); },
        [clientOffersOCI8] { return clientOffersOCI8; });
  }

  testsupport::ScriptedPort port;
  TOracleSession session{nullptr};
  TLogOnForm form;
};

TEST_F(LogOnFormTest, RowsAndHeightsFollowTheOptionsAndTheClient) {
  struct Row {
    const char* name;
    TLogonOptions options;
    bool clientOffersOCI8;
    bool useOCI7;
    int clientHeight;
    bool databaseRow;
    bool connectAsRow;
    int caPanelTop;  // checked when the row is shown
  };
  const Row rows[] = {
      {"application", kApplicationOptions, false, false, 180, true, false, 0},
      {"nothing", TLogonOptions{}, true, false, 148, false, false, 0},
      {"database and connect as", TLogonOptions{ldDatabase, ldConnectAs}, true, false, 215, true,
       true, 116},
      {"connect as only", TLogonOptions{ldConnectAs}, true, false, 183, false, true, 84},
      {"connect as, no OCI8", TLogonOptions{ldDatabase, ldConnectAs}, false, false, 180, true,
       false, 0},
      {"connect as, session on OCI7", TLogonOptions{ldDatabase, ldConnectAs}, true, true, 180,
       true, false, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TOracleSession s(nullptr);
    s.Preferences().SetUseOCI7(row.useOCI7);
    TLogOnForm f;
    f.PrepareLogon(s, 8, {}, row.options, {}, [&row] { return row.clientOffersOCI8; });
    EXPECT_EQ(f.clientHeight, row.clientHeight);
    EXPECT_EQ(f.GroupBox.height, row.clientHeight - 62);  // 8 above, 47 buttons, 7 between
    EXPECT_EQ(f.ButtonPanel.top, row.clientHeight - 47);
    EXPECT_EQ(f.DBPanel.visible, row.databaseRow);
    EXPECT_EQ(f.CAPanel.visible, row.connectAsRow);
    if (row.databaseRow) {
      EXPECT_EQ(f.DBPanel.top, 84);
    }
    if (row.connectAsRow) {
      EXPECT_EQ(f.CAPanel.top, row.caPanelTop);
    }
    // Bottom-aligned rows end at the group box's inner bottom edge.
    const ui::Control& lowest = row.connectAsRow ? f.CAPanel : f.DBPanel;
    if (row.databaseRow || row.connectAsRow) {
      EXPECT_EQ(lowest.top + lowest.height, f.GroupBox.height - 2);
    }
    EXPECT_EQ(f.clientWidth, 358);
  }
}

TEST_F(LogOnFormTest, ApplicationOptionsGiveAnAliasListAndTheHistoryButton) {
  session.SetLogonUsername("scott");
  session.SetLogonPassword("tiger");
  session.SetLogonDatabase("test");
  prepare(kApplicationOptions);
  EXPECT_EQ(form.caption, "Oracle Logon");
  EXPECT_EQ(form.Label1.caption, "Username");
  EXPECT_EQ(form.Label4.caption, "Connect as");
  EXPECT_EQ(form.UsernameEdit.text, "scott");
  EXPECT_EQ(form.PasswordEdit.text, "tiger");
  EXPECT_FALSE(form.DatabaseEdit.visible);
  ASSERT_TRUE(form.AliasList.visible);
  EXPECT_EQ(form.AliasList.left, form.DatabaseEdit.left);
  EXPECT_EQ(form.AliasList.width, form.DatabaseEdit.width);
  EXPECT_EQ(form.AliasList.items, (std::vector<std::string>{"ORCL", "TEST", "ARCHIVE"}));
  EXPECT_EQ(form.AliasList.dropDownCount, 5);
  EXPECT_EQ(form.AliasList.text, "test");
  EXPECT_EQ(form.DatabaseText(kApplicationOptions), "test");
  EXPECT_TRUE(form.HistoryBtn.visible);
  EXPECT_FALSE(form.HistoryBtn.enabled) << "the history is empty";
  EXPECT_EQ(form.HistoryBtn.hint, "Logon history");
}

TEST_F(LogOnFormTest, WithoutTheListTheDatabaseIsAnEdit) {
  session.SetLogonDatabase("orcl");
  TLogOnForm f;
  bool asked = false;
  f.PrepareLogon(session, 8, {}, TLogonOptions{ldDatabase}, [&] {
    asked = true;
    return std::optional<std::vector<std::string>>();
  }, {});
  EXPECT_FALSE(asked) << "the client is asked for names only for the list";
  EXPECT_TRUE(f.DatabaseEdit.visible);
  EXPECT_FALSE(f.AliasList.visible);
  EXPECT_EQ(f.DatabaseEdit.text, "orcl");
  EXPECT_FALSE(f.HistoryBtn.visible);
}

TEST_F(LogOnFormTest, NamesThatCannotBeHadLeaveTheListEmpty) {
  TLogOnForm f;
  f.PrepareLogon(session, 8, {}, kApplicationOptions,
                 [] { return std::optional<std::vector<std::string>>(); }, {});
  EXPECT_TRUE(f.AliasList.visible);
  EXPECT_TRUE(f.AliasList.items.empty());
}

TEST_F(LogOnFormTest, FillingTheListCanLoadTheClientThatOffersConnectAs) {
  // The names are asked for first; a client loaded by that counts for the connect-as row.
  bool loaded = false;
  form.PrepareLogon(
      session, 8, {}, plus(kApplicationOptions, ldConnectAs),
      [&] {
        loaded = true;
        return std::optional<std::vector<std::string>>({"ORCL"});
      },
      [&] { return loaded; });
  EXPECT_TRUE(form.CAPanel.visible);
}

TEST_F(LogOnFormTest, ConnectAsListStartsFromTheSession) {
  const std::pair<TConnectAsOption, int> cases[] = {{caNormal, 0}, {caSYSDBA, 1}, {caSYSOPER, 2}};
  for (const auto& [mode, index] : cases) {
    TOracleSession s(nullptr);
    s.SetConnectAs(mode);
    TLogOnForm f;
    f.PrepareLogon(s, 8, {}, TLogonOptions{ldConnectAs}, {}, [] { return true; });
    EXPECT_EQ(f.ConnectAsList.itemIndex, index);
  }
}

TEST_F(LogOnFormTest, HistoryButtonEnabledOnlyWithEntries) {
  AddHistoryItem(LogonHistory(), "scott", "tiger", "orcl", "", true);
  prepare(kApplicationOptions);
  EXPECT_TRUE(form.HistoryBtn.visible);
  EXPECT_TRUE(form.HistoryBtn.enabled);
}

TEST_F(LogOnFormTest, PasswordOnlyDisablesAllButThePassword) {
  AddHistoryItem(LogonHistory(), "scott", "tiger", "orcl", "", true);
  struct Row {
    const char* username;
    TLogonOptions options;
    bool usernameEnabled;
    bool databaseEditEnabled;
    bool aliasListEnabled;
    bool label3Enabled;
  };
  const Row rows[] = {
      {"scott", TLogonOptions{ldDatabase, ldLogonHistory, ldConnectAs, ldPasswordOnly}, false,
       false, true, false},
      {"", TLogonOptions{ldDatabase, ldLogonHistory, ldConnectAs, ldPasswordOnly}, true, false,
       true, false},
      // With the list the edit is hidden and stays enabled; the label stays enabled too.
      {"scott", plus(kApplicationOptions, ldPasswordOnly), false, true, false, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.username);
    TOracleSession s(nullptr);
    s.SetLogonUsername(row.username);
    TLogOnForm f;
    f.PrepareLogon(s, 8, {}, row.options, {}, [] { return true; });
    EXPECT_EQ(f.UsernameEdit.enabled, row.usernameEnabled);
    EXPECT_EQ(f.Label1.enabled, row.usernameEnabled);
    EXPECT_TRUE(f.PasswordEdit.enabled);
    EXPECT_TRUE(f.Label2.enabled);
    EXPECT_FALSE(f.HistoryBtn.enabled);
    EXPECT_EQ(f.DatabaseEdit.enabled, row.databaseEditEnabled);
    EXPECT_EQ(f.AliasList.enabled, row.aliasListEnabled);
    EXPECT_EQ(f.Label3.enabled, row.label3Enabled);
    EXPECT_FALSE(f.ConnectAsList.enabled);
    EXPECT_FALSE(f.Label4.enabled);
    f.FormShow();
    EXPECT_EQ(f.focused, row.usernameEnabled ? &f.UsernameEdit : &f.PasswordEdit);
  }
}

TEST_F(LogOnFormTest, FocusGoesToAnEmptyUsernameElseToThePassword) {
  const std::pair<const char*, const char*> cases[] = {{"", "UsernameEdit"},
                                                       {"scott", "PasswordEdit"}};
  for (const auto& [username, focused] : cases) {
    TOracleSession s(nullptr);
    s.SetLogonUsername(username);
    s.SetLogonPassword("tiger");
    TLogOnForm f;
    f.PrepareLogon(s, 8, {}, kApplicationOptions, {}, {});
    f.FormShow();
    ASSERT_NE(f.focused, nullptr);
    EXPECT_EQ(f.focused->name, focused);
  }
}

TEST_F(LogOnFormTest, PictureWidensTheFormAndMovesThePanelAndButtons) {
  TLogOnForm f;
  f.SetLogonPicture(pictureOfWidth(32));
  EXPECT_EQ(f.clientWidth, 358 + 56);
  EXPECT_EQ(f.GroupBox.left, 64);
  EXPECT_EQ(f.OKBtn.left, 64);
  EXPECT_EQ(f.CancelBtn.left, 64 + 97 + 8);
  EXPECT_EQ(f.LogonImage.width, 64);
  EXPECT_TRUE(f.LogonImage.visible);
  EXPECT_EQ(f.LogonImage.picture.width, 32);
  EXPECT_EQ(f.ButtonPanel.width, f.clientWidth) << "the bottom panel spans the form";
}

TEST_F(LogOnFormTest, NoPictureHidesTheImageAndMovesNothing) {
  for (const ui::Picture& picture : {ui::Picture{}, ui::Picture{0, 40, {}}}) {
    TLogOnForm f;
    f.SetLogonPicture(picture);
    EXPECT_FALSE(f.LogonImage.visible);
    EXPECT_EQ(f.clientWidth, 358);
    EXPECT_EQ(f.GroupBox.left, 8);
    EXPECT_EQ(f.OKBtn.left, 8);
    EXPECT_EQ(f.CancelBtn.left, 116);
  }
}

TEST_F(LogOnFormTest, PreparationPlacesThePicture) {
  form.PrepareLogon(session, 8, pictureOfWidth(32), kApplicationOptions, {}, {});
  EXPECT_EQ(form.clientWidth, 414);
  EXPECT_EQ(form.LogonImage.height, form.clientHeight - 47) << "the image stands on the buttons";
}

// The menu is built from the history as stored, groups and separators included.
TEST_F(LogOnFormTest, HistoryMenuHasGroupsAndSeparatorsButNoLeadingSeparator) {
  THistoryItems& history = LogonHistory();
  for (const char* user : {"-", "scott", ">Test", "hr", "-", "hr2", ">", "-", "system", ">Last"})
    history.Append({user, "", "", ""});
  history.Append({"x", "", "db", "SYSDBA"});
  const std::vector<ui::MenuItem> menu = form.BuildHistoryMenu();
  ASSERT_EQ(menu.size(), 5u);
  EXPECT_EQ(menu[0].caption, "scott");
  EXPECT_EQ(menu[0].tag, 1);
  EXPECT_EQ(menu[1].caption, "Test");
  EXPECT_FALSE(menu[1].clickable);
  ASSERT_EQ(menu[1].children.size(), 3u);
  EXPECT_EQ(menu[1].children[0].tag, 3);
  EXPECT_TRUE(menu[1].children[1].isSeparator()) << "a separator inside a group";
  EXPECT_EQ(menu[1].children[2].caption, "hr2");
  EXPECT_TRUE(menu[2].isSeparator()) << "a later separator is kept";
  EXPECT_EQ(menu[3].caption, "system");
  EXPECT_EQ(menu[4].caption, "Last");
  ASSERT_EQ(menu[4].children.size(), 1u);
  EXPECT_EQ(menu[4].children[0].caption, "x@db as SYSDBA");
  EXPECT_EQ(menu[4].children[0].tag, 10);
}

TEST_F(LogOnFormTest, LeadingSeparatorsAreSkippedUntilTheFirstItem) {
  THistoryItems& history = LogonHistory();
  for (const char* user : {"-", ">", "-", "scott", "-"}) history.Append({user, "", "", ""});
  const std::vector<ui::MenuItem> menu = form.BuildHistoryMenu();
  ASSERT_EQ(menu.size(), 2u);
  EXPECT_EQ(menu[0].caption, "scott");
  EXPECT_TRUE(menu[1].isSeparator());
}

TEST_F(LogOnFormTest, HistoryButtonShowsTheMenuBelowItselfAndTakesTheChoice) {
  AddHistoryItem(LogonHistory(), "scott", "tiger", "orcl", "", false);
  AddHistoryItem(LogonHistory(), "system", "manager", "orcl", "SYSDBA", false);
  prepare(plus(TLogonOptions{ldDatabase, ldLogonHistory}, ldConnectAs), true);
  port.PickFromNextMenu("system@orcl as SYSDBA");
  form.Click(form.HistoryBtn);
  ASSERT_EQ(port.MenuPlaces().size(), 1u);
  EXPECT_EQ(port.MenuPlaces()[0].anchor, &form.GroupBox);
  EXPECT_EQ(port.MenuPlaces()[0].x, 316);
  EXPECT_EQ(port.MenuPlaces()[0].y, 45);
  EXPECT_EQ(form.UsernameEdit.text, "system");
  EXPECT_EQ(form.PasswordEdit.text, "manager");
  EXPECT_EQ(form.DatabaseEdit.text, "orcl");
  EXPECT_EQ(form.ConnectAsList.itemIndex, 1);
  EXPECT_EQ(form.modalResult, ModalResult::OK);
}

TEST_F(LogOnFormTest, ChoosingAHistoryEntry) {
  struct Row {
    const char* name;
    const char* password;
    bool withPassword;
    bool ctrl;
    const char* expectedPassword;
    ModalResult expected;
  };
  const Row rows[] = {
      {"password kept", "tiger", true, false, "tiger", ModalResult::OK},
      {"Ctrl held", "tiger", true, true, "tiger", ModalResult::None},
      {"list keeps no passwords", "tiger", false, false, "", ModalResult::None},
      {"entry without password", "", true, false, "", ModalResult::None},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    THistoryItems& history = LogonHistory();
    history.Clear();
    history.Append({"scott", row.password, "orcl", "SYSOPER"});
    history.WithPassword = row.withPassword;
    port.HoldCtrl(row.ctrl);
    TLogOnForm f;
    f.PrepareLogon(session, 8, {}, kApplicationOptions, {}, {});
    f.modalResult = ModalResult::None;
    f.HistoryClick(0);
    EXPECT_EQ(f.UsernameEdit.text, "scott");
    EXPECT_EQ(f.PasswordEdit.text, row.expectedPassword);
    EXPECT_EQ(f.AliasList.text, "orcl");
    EXPECT_EQ(f.ConnectAsList.itemIndex, 2) << "set although the row is hidden";
    EXPECT_EQ(f.modalResult, row.expected);
  }
}

TEST_F(LogOnFormTest, ChoosingAnEntryThatIsGoneChangesNothing) {
  prepare(kApplicationOptions);
  form.UsernameEdit.text = "kept";
  form.HistoryClick(3);
  form.HistoryClick(-1);
  EXPECT_EQ(form.UsernameEdit.text, "kept");
  EXPECT_EQ(form.modalResult, ModalResult::None);
}

TEST_F(LogOnFormTest, KeysThatCloseTheDialog) {
  prepare(kApplicationOptions);
  struct Row {
    ui::Control* focused;
    ui::Key key;
    bool ctrl;
    bool handled;
    ModalResult result;
  };
  const Row rows[] = {
      {&form.UsernameEdit, ui::Key::Enter, false, true, ModalResult::OK},
      {&form.UsernameEdit, ui::Key::Enter, true, true, ModalResult::OK},
      {&form.UsernameEdit, ui::Key::Escape, false, true, ModalResult::Cancel},
      {&form.UsernameEdit, ui::Key::Other, false, false, ModalResult::None},
      {&form.CancelBtn, ui::Key::Enter, false, true, ModalResult::Cancel},
      {&form.CancelBtn, ui::Key::Enter, true, true, ModalResult::OK},
  };
  for (const Row& row : rows) {
    form.modalResult = ModalResult::None;
    form.focused = row.focused;
    EXPECT_EQ(form.FormKeyDown(row.key, row.ctrl), row.handled);
    EXPECT_EQ(form.modalResult, row.result);
  }
}

TEST_F(LogOnFormTest, PasswordChangeLayout) {
  SelectLanguageTexts(0x0414);
  form.UsernameEdit.text = "scott";
  form.PasswordEdit.text = "tiger";
  form.PreparePasswordChange("Levetiden for passordet er over", pictureOfWidth(32));
  EXPECT_EQ(form.caption, "Levetiden for passordet er over");
  EXPECT_EQ(form.Label1.caption, "Nytt passord");
  EXPECT_EQ(form.Label2.caption, "Verifiser");
  EXPECT_EQ(form.CancelBtn.caption, "Avbryt");
  EXPECT_EQ(form.UsernameEdit.passwordChar, '*');
  EXPECT_EQ(form.PasswordEdit.passwordChar, '*');
  EXPECT_TRUE(form.UsernameEdit.text.empty());
  EXPECT_TRUE(form.PasswordEdit.text.empty());
  EXPECT_EQ(form.clientHeight, 215 - 32 - 35);
  EXPECT_EQ(form.GroupBox.height, 153 - 32 - 35);
  EXPECT_EQ(form.ButtonPanel.top, form.clientHeight - 47);
  EXPECT_FALSE(form.DBPanel.visible);
  EXPECT_FALSE(form.CAPanel.visible);
  EXPECT_FALSE(form.HistoryBtn.visible);
  EXPECT_EQ(form.clientWidth, 414);
  form.FormShow();
  EXPECT_EQ(form.focused, &form.UsernameEdit);
}

}  // namespace
}  // namespace oracle
