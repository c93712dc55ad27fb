// The Qt port's own services: message boxes, questions, popup menus, the wait cursor, the
// keyboard state, calls from other threads, and the main dialog's message loop.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <atomic>
#include <stdexcept>
#include <thread>

#include "QtTestSupport.h"
#include "app/FormMain.h"
#include "ui/qt/PictureImage.h"

namespace {

using ui::MenuItem;
using ui::qt::FormView;
using uitest::widget;

class QtPortTest : public ::testing::Test {
 protected:
  void SetUp() override { uitest::application(); }

  // Acts on the message box that the next call opens.
  static void onMessageBox(std::function<void(QMessageBox&)> act) {
    QTimer::singleShot(0, [act = std::move(act)] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr) << "no message box";
      act(*box);
    });
  }

  ui::qt::QtPort port;
  ui::ScopedPort scopedPort{port};
};

TEST_F(QtPortTest, MessageBoxIsPlainWithTheApplicationTitle) {
  port.SetApplicationTitle("dblogon test");
  QString title, text;
  bool onlyOK = false;
  onMessageBox([&](QMessageBox& box) {
    title = box.windowTitle();
    text = box.text();
    onlyOK = box.buttons().size() == 1 && box.standardButtons() == QMessageBox::Ok;
    EXPECT_EQ(box.icon(), QMessageBox::NoIcon);
    box.button(QMessageBox::Ok)->click();
  });
  port.ShowMessage("ORA-01017: invalid username/password; logon denied\r\nsecond <b>line</b>");
  EXPECT_EQ(title, QString("dblogon test"));
  EXPECT_EQ(text, QString("ORA-01017: invalid username/password; logon denied\nsecond <b>line</b>"));
  EXPECT_TRUE(onlyOK);
}

TEST_F(QtPortTest, QuestionAnswersYesOrNo) {
  for (const auto answer : {QMessageBox::Yes, QMessageBox::No}) {
    onMessageBox([answer](QMessageBox& box) {
      EXPECT_EQ(box.standardButtons(), QMessageBox::Yes | QMessageBox::No);
      EXPECT_EQ(box.windowTitle(), QString("Confirm"));
      box.button(answer)->click();
    });
    EXPECT_EQ(port.AskYesNo("Change it now?"), answer == QMessageBox::Yes);
  }
}

TEST_F(QtPortTest, PopupMenuHasSubmenusAndSeparatorsAndReturnsTheChoice) {
  app::TFormMain form;  // any form will do as the menu's owner
  const std::vector<MenuItem> items = {
      {"scott@orcl", 0, {}, true},
      {"Group", 0, {{"hr@test", 2, {}, true}, {"a&b", 3, {}, true}}, false},
      {"-", 4, {}, true},
      {"system@orcl", 5, {}, true},
  };
  QTimer::singleShot(0, [] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 4);
    EXPECT_EQ(actions[0]->text(), QString("scott@orcl"));
    ASSERT_NE(actions[1]->menu(), nullptr);
    EXPECT_TRUE(actions[2]->isSeparator());
    QMenu* group = actions[1]->menu();
    ASSERT_EQ(group->actions().size(), 2);
    EXPECT_EQ(group->actions()[1]->text(), QString("a&&b")) << "an ampersand must show as is";
    QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Right);  // opens the group
    QTimer::singleShot(0, [group] {
      QTest::keyClick(group, Qt::Key_Down);
      QTest::keyClick(group, Qt::Key_Return);
    });
  });
  const MenuItem* chosen = port.PopupMenu(form, items, nullptr, 0, 0);
  ASSERT_NE(chosen, nullptr);
  EXPECT_EQ(chosen->tag, 3);

  QTimer::singleShot(0, [] { QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape); });
  EXPECT_EQ(port.PopupMenu(form, items, nullptr, 0, 0), nullptr);
}

TEST_F(QtPortTest, BusyCursorShowsTheHourglassAndRestores) {
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  try {
    const ui::BusyCursor busy(ui::crHourGlass);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    EXPECT_EQ(port.ScreenCursor(), ui::crHourGlass);
    throw std::runtime_error("logon failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(port.ScreenCursor(), ui::crDefault);
}

TEST_F(QtPortTest, ControlKeyFollowsTheKeyboard) {
  QWidget target;
  QTest::keyPress(&target, Qt::Key_Control, Qt::ControlModifier);
  EXPECT_TRUE(port.ControlKeyDown());
  QTest::keyRelease(&target, Qt::Key_Control, Qt::NoModifier);
  EXPECT_FALSE(port.ControlKeyDown());
}

TEST_F(QtPortTest, RunInMainThreadRunsOnTheGuiThreadAndPassesExceptions) {
  std::atomic<bool> done{false};
  QThread* ranOn = nullptr;
  bool rethrown = false;
  std::thread worker([&] {
    port.RunInMainThread([&] { ranOn = QThread::currentThread(); });
    try {
      port.RunInMainThread([] { throw std::runtime_error("from the GUI thread"); });
    } catch (const std::runtime_error&) {
      rethrown = true;
    }
    done = true;
  });
  while (!done) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  worker.join();
  EXPECT_EQ(ranOn, QCoreApplication::instance()->thread());
  EXPECT_TRUE(rethrown);
}

TEST_F(QtPortTest, PictureSurvivesTheTripThroughAnImage) {
  const ui::Picture picture{3, 2, {0xFF000000, 0xFFFF0000, 0x00000000, 0xFF00FF00, 0xFF0000FF, 0x80FFFFFF}};
  const ui::Picture back = ui::qt::FromImage(ui::qt::ToImage(picture));
  EXPECT_EQ(back.width, 3);
  EXPECT_EQ(back.height, 2);
  EXPECT_EQ(back.pixels, picture.pixels);
  EXPECT_TRUE(ui::qt::ToImage(ui::Picture{4, 4, {1, 2}}).isNull()) << "too few pixels";
}

TEST(ScaleTest, EdgesThatTouchInTheDesignTouchOnTheScreen) {
  const ui::qt::Scale scale(120, 96);
  EXPECT_EQ(scale(358), 286);
  EXPECT_EQ(scale(215), 172);
  // Neighbours at design edges 84 and 116 (the database and connect-as rows).
  for (int origin : {0, 7, 8, 10, 93}) {
    const QRect upper = scale.rect(origin, origin, 2, 84, 339, 32);
    const QRect lower = scale.rect(origin, origin, 2, 116, 339, 35);
    EXPECT_EQ(upper.bottom() + 1, lower.top()) << origin;
    EXPECT_EQ(upper.left(), lower.left()) << origin;
  }
  EXPECT_EQ(ui::qt::Scale(96, 96).rect(5, 5, 18, 19, 100, 25), QRect(18, 19, 100, 25));
}

class MainDialogTest : public QtPortTest {};

TEST_F(MainDialogTest, LooksAsDesigned) {
  app::TFormMain form;
  FormView view(form);
  view.prepareShow();
  EXPECT_EQ(view.windowTitle(), QString("Databaseinnlogging"));
  const ui::qt::Scale scale(96, uitest::application().primaryScreen()->logicalDotsPerInch());
  EXPECT_EQ(view.size(), QSize(scale(255), scale(60)));
  EXPECT_EQ(widget<QPushButton>(view, "ButtonExit")->geometry(), scale.rect(0, 0, 138, 19, 100, 25));
  auto* newLogOn = widget<QPushButton>(view, "ButtonNewLogOn");
  auto* exit = widget<QPushButton>(view, "ButtonExit");
  EXPECT_EQ(newLogOn->text(), QString("Ny innlogging"));
  EXPECT_EQ(exit->text(), QString("Avslutt"));
  EXPECT_FALSE(newLogOn->isDefault());
  EXPECT_FALSE(exit->isDefault());
}

TEST_F(MainDialogTest, ButtonsRunTheirHandlersAndExitEndsTheLoop) {
  app::TFormMain form;
  int newLogOns = 0;
  form.ButtonNewLogOn.onClick = [&] { ++newLogOns; };
  form.ButtonExit.onClick = [this] { port.Terminate(); };
  bool stillOpenAfterEscape = false;
  QTimer::singleShot(0, [&] {
    FormView* view = port.ViewOf(form);
    ASSERT_NE(view, nullptr);
    auto* newLogOn = widget<QPushButton>(*view, "ButtonNewLogOn");
    QTest::mouseClick(newLogOn, Qt::LeftButton);
    newLogOn->setFocus();
    QTest::keyClick(newLogOn, Qt::Key_Return);  // the focused button
    QTest::keyClick(newLogOn, Qt::Key_Escape);  // no cancel button: nothing happens
    stillOpenAfterEscape = view->isVisible();
    QTest::mouseClick(widget<QPushButton>(*view, "ButtonExit"), Qt::LeftButton);
  });
  port.RunMainWindow(form);
  EXPECT_EQ(newLogOns, 2);
  EXPECT_TRUE(stillOpenAfterEscape);
  EXPECT_EQ(port.RunMainWindow(form), 0) << "a terminated program shows no window again";
}

TEST_F(MainDialogTest, TheCloseBoxEndsTheLoop) {
  app::TFormMain form;
  QTimer::singleShot(0, [&] { port.ViewOf(form)->close(); });
  port.RunMainWindow(form);
  EXPECT_EQ(port.ViewOf(form), nullptr);
}

}  // namespace
