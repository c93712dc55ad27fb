// The logon dialog as the Qt front end shows it: typing, the keys that close it, the history
// menu with and without Ctrl, and the rows and buttons the options and the client allow.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "QtTestSupport.h"
#include "oracle/logon/LogOnForm.h"
#include "oracle/logon/LogonHistory.h"
#include "oracle/logon/LogonTexts.h"
#include "oracle/session/OracleSession.h"

namespace {

using namespace oracle;
using ui::ModalResult;
using ui::qt::FormView;
using uitest::widget;

const TLogonOptions kApplicationOptions{ldAuto, ldDatabase, ldDatabaseList, ldLogonHistory};

TLogonOptions plus(TLogonOptions options, TLogonOption member) {
  options.insert(member);
  return options;
}

class LogonViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    uitest::application();
    ResetLogonTexts();
    THistoryItems& history = LogonHistory();
    history.Clear();
    history.WithPassword = true;
    history.MaxItems = 0;
  }
  void TearDown() override { LogonHistory().Clear(); }

  void prepare(TLogonOptions options, bool clientOffersOCI8 = false) {
    form.PrepareLogon(
        session, 8, {}, options,
        [] { return std::optional<std::vector<std::string>>({"ORCL", "TEST"}); },
        [clientOffersOCI8] { return clientOffersOCI8; });
  }

  // Picks the n-th entry (from 0, separators skipped) of the history menu, optionally with Ctrl
  // held, by the keyboard as a user would.
  static void chooseFromHistory(FormView& view, int n, bool withCtrl) {
    QTimer::singleShot(0, [n, withCtrl] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      ASSERT_NE(menu, nullptr) << "no history menu";
      for (int i = 0; i <= n; ++i) QTest::keyClick(menu, Qt::Key_Down);
      // A press without its release: Ctrl is still down when the choice is handled.
      QTest::keyPress(menu, Qt::Key_Return, withCtrl ? Qt::ControlModifier : Qt::NoModifier);
    });
    QTest::mouseClick(widget<QToolButton>(view, "HistoryBtn"), Qt::LeftButton);
  }

  ui::qt::QtPort port;
  ui::ScopedPort scopedPort{port};
  TOracleSession session{nullptr};
  TLogOnForm form;
};

TEST_F(LogonViewTest, TypedTextReachesTheModelAndThePasswordIsHidden) {
  prepare(kApplicationOptions);
  uitest::whenShown(port, form, [](FormView& view) {
    QTest::keyClicks(widget<QLineEdit>(view, "UsernameEdit"), "scott");
    auto* password = widget<QLineEdit>(view, "PasswordEdit");
    QTest::keyClicks(password, "tiger");
    EXPECT_EQ(password->displayText(), QString("*****"));
    QTest::keyClicks(widget<QComboBox>(view, "AliasList"), "demo");
    QTest::keyClick(password, Qt::Key_Return);
  });
  EXPECT_EQ(port.ShowModal(form), ModalResult::OK);
  EXPECT_EQ(form.UsernameEdit.text, "scott");
  EXPECT_EQ(form.PasswordEdit.text, "tiger");
  EXPECT_EQ(form.AliasList.text, "demo");
}

TEST_F(LogonViewTest, KeysSeenByTheFormBeforeTheFocusedControl) {
  prepare(kApplicationOptions);
  struct Row {
    const char* focus;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    ModalResult expected;
  };
  const Row rows[] = {
      {"UsernameEdit", Qt::Key_Return, Qt::NoModifier, ModalResult::OK},
      {"UsernameEdit", Qt::Key_Enter, Qt::KeypadModifier, ModalResult::OK},
      {"UsernameEdit", Qt::Key_Return, Qt::ControlModifier, ModalResult::OK},
      {"UsernameEdit", Qt::Key_Escape, Qt::NoModifier, ModalResult::Cancel},
      {"AliasList", Qt::Key_Return, Qt::NoModifier, ModalResult::OK},
      {"AliasList", Qt::Key_Escape, Qt::NoModifier, ModalResult::Cancel},
      // A focused button takes plain Enter for itself; Ctrl+Enter still confirms.
      {"CancelBtn", Qt::Key_Return, Qt::NoModifier, ModalResult::Cancel},
      {"CancelBtn", Qt::Key_Return, Qt::ControlModifier, ModalResult::OK},
      {"OKBtn", Qt::Key_Escape, Qt::NoModifier, ModalResult::Cancel},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.focus) + " key " + std::to_string(row.key));
    uitest::whenShown(port, form, [&row](FormView& view) {
      QWidget* target = view.findChild<QWidget*>(row.focus);
      ASSERT_NE(target, nullptr);
      target->setFocus();
      QTest::keyClick(target, row.key, row.modifiers);
    });
    EXPECT_EQ(port.ShowModal(form), row.expected);
  }
}

TEST_F(LogonViewTest, TheCloseBoxCancels) {
  prepare(kApplicationOptions);
  uitest::whenShown(port, form, [](FormView& view) { view.close(); });
  EXPECT_EQ(port.ShowModal(form), ModalResult::Cancel);
}

TEST_F(LogonViewTest, AHistoryEntryWithAPasswordConfirmsAtOnce) {
  AddHistoryItem(LogonHistory(), "scott", "tiger", "orcl", "", false);
  prepare(kApplicationOptions);
  QPoint menuAt, buttonBottomLeft;
  uitest::whenShown(port, form, [&](FormView& view) {
    auto* button = widget<QToolButton>(view, "HistoryBtn");
    buttonBottomLeft = button->mapToGlobal(QPoint(0, button->height()));
    QTimer::singleShot(0, [&] { menuAt = QApplication::activePopupWidget()->pos(); });
    chooseFromHistory(view, 0, false);
  });
  EXPECT_EQ(port.ShowModal(form), ModalResult::OK);
  EXPECT_EQ(menuAt, buttonBottomLeft) << "the menu opens below the history button";
  EXPECT_EQ(form.UsernameEdit.text, "scott");
  EXPECT_EQ(form.PasswordEdit.text, "tiger");
  EXPECT_EQ(form.AliasList.text, "orcl");
}

TEST_F(LogonViewTest, WithCtrlHeldAHistoryEntryOnlyFillsTheFields) {
  AddHistoryItem(LogonHistory(), "scott", "tiger", "orcl", "", false);
  prepare(kApplicationOptions);
  uitest::whenShown(port, form, [](FormView& view) {
    chooseFromHistory(view, 0, true);
    QTest::keyRelease(&view, Qt::Key_Control);
    ASSERT_TRUE(view.isVisible()) << "the dialog closed although Ctrl was held";
    EXPECT_EQ(widget<QLineEdit>(view, "UsernameEdit")->text(), QString("scott"));
    EXPECT_EQ(widget<QLineEdit>(view, "PasswordEdit")->text(), QString("tiger"));
    EXPECT_EQ(widget<QComboBox>(view, "AliasList")->currentText(), QString("orcl"));
    QTest::keyClick(widget<QLineEdit>(view, "UsernameEdit"), Qt::Key_Escape);
  });
  EXPECT_EQ(port.ShowModal(form), ModalResult::Cancel);
}

TEST_F(LogonViewTest, AHistoryEntryWithoutAPasswordWaitsForThePassword) {
  AddHistoryItem(LogonHistory(), "scott", "tiger", "orcl", "", false);
  AddHistoryItem(LogonHistory(), "hr", "", "test", "", false);
  prepare(kApplicationOptions);
  uitest::whenShown(port, form, [](FormView& view) {
    chooseFromHistory(view, 1, false);
    ASSERT_TRUE(view.isVisible());
    EXPECT_EQ(widget<QLineEdit>(view, "UsernameEdit")->text(), QString("hr"));
    EXPECT_EQ(widget<QLineEdit>(view, "PasswordEdit")->text(), QString());
    QTest::keyClicks(widget<QLineEdit>(view, "PasswordEdit"), "hrpw");
    QTest::keyClick(widget<QLineEdit>(view, "PasswordEdit"), Qt::Key_Return);
  });
  EXPECT_EQ(port.ShowModal(form), ModalResult::OK);
  EXPECT_EQ(form.UsernameEdit.text, "hr");
  EXPECT_EQ(form.PasswordEdit.text, "hrpw");
  EXPECT_EQ(form.AliasList.text, "test");
}

TEST_F(LogonViewTest, HistoryButtonIsEnabledOnlyWithEntries) {
  struct Row {
    TLogonOptions options;
    int entries;
    bool shown;
    bool enabled;
  };
  const Row rows[] = {
      {kApplicationOptions, 0, true, false},
      {kApplicationOptions, 1, true, true},
      {TLogonOptions{ldDatabase}, 1, false, true},
      {plus(kApplicationOptions, ldPasswordOnly), 1, true, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.entries);
    LogonHistory().Clear();
    for (int i = 0; i < row.entries; ++i) AddHistoryItem(LogonHistory(), "scott", "tiger", "", "", false);
    TLogOnForm fresh;
    fresh.PrepareLogon(session, 8, {}, row.options, {}, {});
    FormView view(fresh);
    view.prepareShow();
    auto* button = widget<QToolButton>(view, "HistoryBtn");
    EXPECT_EQ(button->isVisibleTo(&view), row.shown);
    if (row.shown) {
      EXPECT_EQ(button->isEnabled(), row.enabled);
      EXPECT_EQ(button->toolTip(), QString("Logon history"));
      EXPECT_FALSE(button->icon().isNull()) << "the three-dot glyph is missing";
    }
  }
}

TEST_F(LogonViewTest, ConnectAsRowOnlyWhenTheOptionAndTheClientAllowIt) {
  struct Row {
    bool option;
    bool clientOffersOCI8;
    bool useOCI7;
    bool shown;
  };
  const Row rows[] = {
      {true, true, false, true},
      {true, false, false, false},
      {true, true, true, false},
      {false, true, false, false},
  };
  const ui::qt::Scale scale(120, uitest::application().primaryScreen()->logicalDotsPerInch());
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.option << row.clientOffersOCI8 << row.useOCI7);
    TOracleSession s(nullptr);
    s.Preferences().SetUseOCI7(row.useOCI7);
    TLogonOptions options{ldDatabase};
    if (row.option) options.insert(ldConnectAs);
    TLogOnForm fresh;
    fresh.PrepareLogon(s, 8, {}, options, {}, [&row] { return row.clientOffersOCI8; });
    FormView view(fresh);
    view.prepareShow();
    EXPECT_EQ(widget<QFrame>(view, "CAPanel")->isVisibleTo(&view), row.shown);
    EXPECT_EQ(widget<QComboBox>(view, "ConnectAsList")->isVisibleTo(&view), row.shown);
    EXPECT_EQ(view.height(), scale(row.shown ? 215 : 215 - 35));
  }
}

TEST_F(LogonViewTest, FocusFollowsTheFormAfterShowing) {
  struct Row {
    const char* username;
    TLogonOptions options;
    const char* focused;
  };
  const Row rows[] = {
      {"", kApplicationOptions, "UsernameEdit"},
      {"scott", kApplicationOptions, "PasswordEdit"},
      {"scott", plus(kApplicationOptions, ldPasswordOnly), "PasswordEdit"},
      {"", plus(kApplicationOptions, ldPasswordOnly), "UsernameEdit"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.username);
    TOracleSession s(nullptr);
    s.SetLogonUsername(row.username);
    TLogOnForm fresh;
    fresh.PrepareLogon(s, 8, {}, row.options, {}, {});
    FormView view(fresh);
    view.prepareShow();
    ASSERT_NE(view.focusWidget(), nullptr);
    EXPECT_EQ(view.focusWidget()->objectName(), QString(row.focused));
  }
}

TEST_F(LogonViewTest, TabWalksTheControlsInTheirTabOrder) {
  prepare(plus(kApplicationOptions, ldConnectAs), true);
  FormView view(form);
  view.prepareShow();
  view.show();
  QStringList walk;
  for (int i = 0; i < 6; ++i) {
    QWidget* focus = view.focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, Qt::Key_Tab);
    walk << view.focusWidget()->objectName();
  }
  // The hidden database edit and the history button (a speed button) take no focus.
  EXPECT_EQ(walk, (QStringList{"PasswordEdit", "AliasList", "ConnectAsList", "OKBtn", "CancelBtn",
                               "UsernameEdit"}));
  view.hide();

  // Made in another order than their tab order.
  ui::Form other("Other");
  other.clientWidth = 200;
  other.clientHeight = 100;
  other.add("A", ui::ControlKind::Edit, nullptr, 0, 0, 50, 20).tabOrder = 0;
  other.add("C", ui::ControlKind::Edit, nullptr, 0, 30, 50, 20).tabOrder = 2;
  other.add("B", ui::ControlKind::Edit, nullptr, 0, 60, 50, 20).tabOrder = 1;
  FormView otherView(other);
  otherView.show();
  QWidget* a = otherView.findChild<QWidget*>("A");
  a->setFocus();
  QTest::keyClick(a, Qt::Key_Tab);
  EXPECT_EQ(otherView.focusWidget()->objectName(), QString("B"));
  otherView.hide();
}

TEST_F(LogonViewTest, WindowFollowsTheModel) {
  SelectLanguageTexts(0x0814);  // Nynorsk
  prepare(kApplicationOptions);
  FormView view(form);
  view.prepareShow();
  EXPECT_EQ(view.windowTitle(), QString::fromUtf8("Oracle-pålogging"));
  EXPECT_TRUE(view.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_EQ(view.minimumSize(), view.maximumSize()) << "the border is not fixed";
  EXPECT_EQ(widget<QLabel>(view, "Label1")->text(), QString("Brukarnamn"));
  EXPECT_TRUE(widget<QLabel>(view, "Label1")->alignment().testFlag(Qt::AlignRight));
  EXPECT_EQ(widget<QPushButton>(view, "CancelBtn")->text(), QString("Avbryt"));
  auto* aliases = widget<QComboBox>(view, "AliasList");
  EXPECT_TRUE(aliases->isEditable());
  EXPECT_EQ(aliases->count(), 2);
  EXPECT_EQ(aliases->maxVisibleItems(), 8);
  EXPECT_FALSE(widget<QLineEdit>(view, "DatabaseEdit")->isVisibleTo(&view));
  // The alias list takes the edit's place, scaled like every other control.
  EXPECT_EQ(aliases->geometry(), ui::qt::Scale(120, uitest::application().primaryScreen()
                                                        ->logicalDotsPerInch())
                                     .rect(10, 92, 126, 0, 185, 24));
}

}  // namespace
