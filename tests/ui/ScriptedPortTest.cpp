// The scripted test port: it must drive forms only through their handlers, keep the Ctrl key
// state a caller reads after the show, and report every way a script can go wrong.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

#include "support/ScriptedPort.h"

namespace {

using testing::ElementsAre;
using testsupport::ScriptedPort;
using ui::ModalResult;

// A small dialog with the logon dialog's habits: Ctrl+Enter closes with OK through the key
// handler, and a menu button whose entry closes the dialog unless Ctrl is held.
class TestDialog : public ui::Form {
 public:
  TestDialog() : ui::Form("TestDialog") {
    caption = "Test dialog";
    OK.caption = "OK";
    OK.isDefault = true;
    OK.modalResult = ModalResult::OK;
    Cancel.caption = "Cancel";
    Cancel.isCancel = true;
    Cancel.modalResult = ModalResult::Cancel;
    Cancel.onClick = [this] { ++cancelClicks; };
    Kind.items = {"Normal", "SYSDBA", "SYSOPER"};
    Kind.itemIndex = 0;
    City.items = {"Oslo", "Bergen"};
    Frozen.enabled = false;
    Gone.visible = false;
    More.onClick = [this] {
      const std::vector<ui::MenuItem> menu = {
          {"alpha", 0, {}, true},
          {"-", 1, {}, true},
          {"team", 0, {{"beta", 2, {}, true}, {"gamma", 3, {}, true}}, false}};
      const ui::MenuItem* chosen = ui::port().PopupMenu(*this, menu, nullptr, 0, 0);
      if (chosen == nullptr) return;
      Name.text = chosen->caption;
      ctrlInHandler = ui::port().ControlKeyDown();
      if (!ctrlInHandler) modalResult = ModalResult::OK;
    };
  }

  void FormShow() override {
    ++shows;
    focused = &Name;
  }
  bool FormKeyDown(ui::Key key, bool ctrl) override {
    if (key == ui::Key::Enter && ctrl) {
      modalResult = ModalResult::OK;
      return true;
    }
    return ui::Form::FormKeyDown(key, ctrl);
  }

  ui::Control& OK = add("OKBtn", ui::ControlKind::Button, nullptr, 8, 100, 80, 25);
  ui::Control& Cancel = add("CancelBtn", ui::ControlKind::Button, nullptr, 96, 100, 80, 25);
  ui::Control& Name = add("NameEdit", ui::ControlKind::Edit, nullptr, 100, 8, 120, 24);
  ui::Control& City = add("CityCombo", ui::ControlKind::ComboBox, nullptr, 100, 36, 120, 24);
  ui::Control& Kind = add("KindList", ui::ControlKind::DropDownList, nullptr, 100, 64, 120, 24);
  ui::Control& Frozen = add("FrozenEdit", ui::ControlKind::Edit, nullptr, 100, 92, 120, 24);
  ui::Control& Gone = add("GoneEdit", ui::ControlKind::Edit, nullptr, 100, 92, 120, 24);
  ui::Control& More = add("MoreBtn", ui::ControlKind::SpeedButton, nullptr, 224, 8, 20, 24);
  int shows = 0;
  int cancelClicks = 0;
  bool ctrlInHandler = false;
};

TEST(ScriptedPort, PlaysTheStepsThroughTheFormAndRecordsTheShow) {
  ScriptedPort port;
  TestDialog form;
  form.Name.text = "before";
  port.OnModal("Test dialog")
      .Type("NameEdit", "scott")
      .Type("CityCombo", "Bergen")
      .Choose("KindList", 2)
      .ClickOK();

  EXPECT_EQ(ui::port().ShowModal(form), ModalResult::OK);
  EXPECT_EQ(form.shows, 1);
  EXPECT_EQ(form.Name.text, "scott");
  EXPECT_EQ(form.City.itemIndex, 1);  // typed text matching an item selects it
  EXPECT_EQ(form.Kind.itemIndex, 2);
  EXPECT_EQ(form.Kind.text, "SYSOPER");
  EXPECT_FALSE(port.ControlKeyDown());

  ASSERT_EQ(port.Shows().size(), 1u);
  const ScriptedPort::ShowRecord& show = port.Shows()[0];
  EXPECT_EQ(show.texts.at("NameEdit"), "before");  // as the form was shown, not as it closed
  EXPECT_EQ(show.texts.at("KindList"), "Normal");
  EXPECT_EQ(show.focused, "NameEdit");
  EXPECT_EQ(show.result, ModalResult::OK);
  EXPECT_THAT(port.Transcript(), ElementsAre("modal: Test dialog -> OK"));
  EXPECT_TRUE(port.Problems().empty());
  EXPECT_FALSE(port.RanDry());
  EXPECT_TRUE(port.AllPlayed());
}

TEST(ScriptedPort, KeysAndCloseBoxGiveTheFormsOwnResults) {
  struct Case {
    const char* name;
    void (*script)(testsupport::Script&);
    ModalResult result;
    bool ctrlAfter;
    int cancelClicks;
  };
  const Case cases[] = {
      {"Enter presses the default button", [](auto& s) { s.PressEnter(); }, ModalResult::OK, false,
       0},
      {"Ctrl+Enter goes through the key handler", [](auto& s) { s.PressCtrlEnter(); },
       ModalResult::OK, true, 0},
      {"Ctrl+click on OK", [](auto& s) { s.ClickOK(true); }, ModalResult::OK, true, 0},
      {"Escape presses the cancel button", [](auto& s) { s.PressEscape(); }, ModalResult::Cancel,
       false, 1},
      {"Click on Cancel", [](auto& s) { s.Click("CancelBtn"); }, ModalResult::Cancel, false, 1},
      {"the close box runs no handler", [](auto& s) { s.CloseBox(); }, ModalResult::Cancel, false,
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedPort port;
    TestDialog form;
    c.script(port.OnModal());
    EXPECT_EQ(port.ShowModal(form), c.result);
    EXPECT_EQ(port.ControlKeyDown(), c.ctrlAfter);
    EXPECT_EQ(port.Shows().at(0).ctrlAtClose, c.ctrlAfter);
    EXPECT_EQ(form.cancelClicks, c.cancelClicks);
    EXPECT_TRUE(port.Problems().empty());
  }
}

TEST(ScriptedPort, MenuPickRunsTheButtonsHandlerWithTheCtrlState) {
  {
    ScriptedPort port;
    TestDialog form;
    port.OnModal().PickMenu("MoreBtn", "team > gamma");
    EXPECT_EQ(port.ShowModal(form), ModalResult::OK);
    EXPECT_EQ(form.Name.text, "gamma");
    EXPECT_FALSE(form.ctrlInHandler);
    ASSERT_EQ(port.Menus().size(), 1u);
    EXPECT_THAT(port.Menus()[0], ElementsAre("alpha", "-", "team", "team > beta", "team > gamma"));
    EXPECT_THAT(port.Transcript(), ElementsAre("modal: Test dialog -> OK",
                                               "menu: alpha | - | team | team > beta | "
                                               "team > gamma"));
    EXPECT_TRUE(port.Problems().empty());
  }
  {
    // With Ctrl the entry only fills the field; the user then confirms without Ctrl.
    ScriptedPort port;
    TestDialog form;
    port.OnModal()
        .PickMenu("MoreBtn", "beta", true)
        .Check([](ui::Form& f) { EXPECT_EQ(f.modalResult, ModalResult::None); })
        .ClickOK();
    EXPECT_EQ(port.ShowModal(form), ModalResult::OK);
    EXPECT_EQ(form.Name.text, "beta");
    EXPECT_TRUE(form.ctrlInHandler);
    EXPECT_FALSE(port.ControlKeyDown());
    EXPECT_TRUE(port.Problems().empty());
  }
  {
    // A plain click opens the menu and dismisses it.
    ScriptedPort port;
    TestDialog form;
    port.OnModal().Click("MoreBtn").PressEscape();
    EXPECT_EQ(port.ShowModal(form), ModalResult::Cancel);
    EXPECT_EQ(form.Name.text, "");
    EXPECT_EQ(port.Menus().size(), 1u);
    EXPECT_TRUE(port.Problems().empty());
  }
}

TEST(ScriptedPort, ScriptMistakesCancelTheShowAndAreReported) {
  struct Case {
    const char* name;
    void (*script)(testsupport::Script&);
    const char* problem;
  };
  const Case cases[] = {
      {"unknown control", [](auto& s) { s.Type("NoSuchEdit", "x").ClickOK(); },
       "no control named NoSuchEdit"},
      {"disabled field", [](auto& s) { s.Type("FrozenEdit", "x").ClickOK(); },
       "FrozenEdit is disabled"},
      {"hidden field", [](auto& s) { s.Type("GoneEdit", "x").ClickOK(); },
       "GoneEdit is not showing"},
      {"typing into a drop-down list", [](auto& s) { s.Type("KindList", "x").ClickOK(); },
       "KindList cannot be typed into"},
      {"list index out of range", [](auto& s) { s.Choose("KindList", 3).ClickOK(); },
       "KindList has no item 3"},
      {"choosing in an edit", [](auto& s) { s.Choose("NameEdit", 0).ClickOK(); },
       "NameEdit is not a list"},
      {"clicking a field", [](auto& s) { s.Click("NameEdit"); }, "NameEdit is not a button"},
      {"menu entry not offered", [](auto& s) { s.PickMenu("MoreBtn", "delta").ClickOK(); },
       "the menu of MoreBtn has no entry \"delta\""},
      {"separator is no entry", [](auto& s) { s.PickMenu("MoreBtn", "-").ClickOK(); },
       "no entry \"-\""},
      {"submenu header is no entry", [](auto& s) { s.PickMenu("MoreBtn", "team").ClickOK(); },
       "no entry \"team\""},
      {"button without a menu", [](auto& s) { s.PickMenu("OKBtn", "alpha"); },
       "clicking OKBtn opened no menu"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedPort port;
    TestDialog form;
    c.script(port.OnModal());
    EXPECT_EQ(port.ShowModal(form), ModalResult::Cancel);
    ASSERT_EQ(port.Problems().size(), 1u);
    EXPECT_THAT(port.Problems()[0], testing::HasSubstr(c.problem));
    EXPECT_THAT(port.Problems()[0], testing::HasSubstr("show 1 \"Test dialog\""));
    EXPECT_FALSE(port.RanDry());
    EXPECT_EQ(form.cancelClicks, 0);  // cancelled as by the close box
  }
}

TEST(ScriptedPort, StepsLeftOrMissingAreReported) {
  {
    ScriptedPort port;
    TestDialog form;
    port.OnModal("Another caption").ClickOK();
    EXPECT_EQ(port.ShowModal(form), ModalResult::Cancel);
    EXPECT_THAT(port.Problems(),
                ElementsAre(testing::HasSubstr("expected the caption \"Another caption\"")));
  }
  {
    // The menu entry closed the form: the steps after it were never taken.
    ScriptedPort port;
    TestDialog form;
    port.OnModal().PickMenu("MoreBtn", "alpha").Type("NameEdit", "x").ClickOK();
    EXPECT_EQ(port.ShowModal(form), ModalResult::OK);
    EXPECT_EQ(form.Name.text, "alpha");
    EXPECT_THAT(port.Problems(),
                ElementsAre(testing::HasSubstr("closed with OK after step 1 of 3")));
  }
  {
    // Steps that leave the form open: the script ran dry and the show answers Cancel.
    ScriptedPort port;
    TestDialog form;
    port.OnModal().Type("NameEdit", "x");
    EXPECT_EQ(port.ShowModal(form), ModalResult::Cancel);
    EXPECT_TRUE(port.RanDry());
    EXPECT_THAT(port.Problems(), ElementsAre(testing::HasSubstr("ended with the form open")));
  }
  {
    ScriptedPort port;
    TestDialog form;
    EXPECT_EQ(port.ShowModal(form), ModalResult::Cancel);
    EXPECT_FALSE(port.AskYesNo("Sure?"));
    EXPECT_TRUE(port.RanDry());
    EXPECT_EQ(port.Problems().size(), 2u);
    EXPECT_THAT(port.Transcript(),
                ElementsAre("modal: Test dialog -> Cancel", "question: Sure? -> No"));
  }
  {
    ScriptedPort port;
    port.OnModal().ClickOK();
    port.AnswerYes();
    EXPECT_FALSE(port.AllPlayed());
    EXPECT_FALSE(port.RanDry());
  }
}

TEST(ScriptedPort, ShowsTakeTheirScriptsInOrderAlsoWhenNested) {
  ScriptedPort port;
  TestDialog outer;
  TestDialog inner;
  inner.caption = "Inner";
  // The outer dialog's button opens another dialog and a question before the outer one closes.
  ui::Control& open = outer.add("OpenBtn", ui::ControlKind::Button, nullptr, 0, 0, 10, 10);
  open.onClick = [&] {
    ui::port().ShowModal(inner);
    ui::port().ShowMessage(ui::port().AskYesNo("Keep it?") ? "kept" : "dropped");
  };
  port.OnModal("Test dialog").Click("OpenBtn").Type("NameEdit", "outer").ClickOK();
  port.OnModal("Inner").Type("NameEdit", "inner").PressEscape();
  port.AnswerNo();

  EXPECT_EQ(port.ShowModal(outer), ModalResult::OK);
  EXPECT_EQ(outer.Name.text, "outer");
  EXPECT_EQ(inner.Name.text, "inner");
  EXPECT_THAT(port.Transcript(), ElementsAre("modal: Test dialog -> OK", "modal: Inner -> Cancel",
                                             "question: Keep it? -> No", "message: dropped"));
  EXPECT_THAT(port.Captions(), ElementsAre("Test dialog", "Inner"));
  EXPECT_THAT(port.Questions(), ElementsAre("Keep it?"));
  EXPECT_THAT(port.Messages(), ElementsAre("dropped"));
  EXPECT_TRUE(port.Problems().empty());
  EXPECT_TRUE(port.AllPlayed());
}

TEST(ScriptedPort, FormThatClosesWhileShownUsesNoScript) {
  struct SelfClosing : TestDialog {
    void FormShow() override { modalResult = ModalResult::Cancel; }
  } form;
  ScriptedPort port;
  port.OnModal().ClickOK();
  EXPECT_EQ(port.ShowModal(form), ModalResult::Cancel);
  EXPECT_FALSE(port.AllPlayed());
  EXPECT_FALSE(port.RanDry());
  EXPECT_TRUE(port.Problems().empty());
  EXPECT_THAT(port.Transcript(), ElementsAre("modal: Test dialog -> Cancel"));
}

TEST(ScriptedPort, BusyCursorChangesAreRecorded) {
  ScriptedPort port;
  {
    ui::BusyCursor busy(ui::crHourGlass);
    ui::port().ShowMessage("working");
  }
  { ui::BusyCursor none(ui::crDefault); }
  // A session working in another thread leaves the window system's cursor alone.
  std::thread([] { ui::BusyCursor elsewhere(ui::crHourGlass); }).join();
  EXPECT_THAT(port.CursorChanges(), ElementsAre(ui::crHourGlass, ui::crDefault));
  EXPECT_THAT(port.Transcript(), ElementsAre("message: working"));
  EXPECT_EQ(port.Events().size(), 3u);
}

class MainDialog : public ui::Form {
 public:
  MainDialog() : ui::Form("MainDialog") { caption = "Main"; }
  ui::Control& Again = add("AgainBtn", ui::ControlKind::Button, nullptr, 0, 0, 10, 10);
  ui::Control& Quit = add("QuitBtn", ui::ControlKind::Button, nullptr, 20, 0, 10, 10);
};

TEST(ScriptedPort, MainWindowRunsUntilTerminate) {
  ScriptedPort port;
  MainDialog main;
  int again = 0;
  main.Again.onClick = [&] {
    ++again;
    if (again == 2) throw std::runtime_error("boom");
  };
  main.Quit.onClick = [] { ui::port().Terminate(); };
  port.OnMainWindow().Click("AgainBtn").Click("AgainBtn").Click("QuitBtn");

  EXPECT_EQ(port.RunMainWindow(main), 0);
  EXPECT_EQ(again, 2);
  EXPECT_TRUE(port.Terminated());
  // An exception a handler lets out is shown and the window goes on, as a message loop does.
  EXPECT_THAT(port.Transcript(), ElementsAre("main window: Main", "message: boom"));
  EXPECT_TRUE(port.Problems().empty());
  EXPECT_TRUE(port.AllPlayed());
}

TEST(ScriptedPort, MainWindowEndsAtTheCloseBoxOrWhenTheScriptRunsOut) {
  {
    ScriptedPort port;
    MainDialog main;
    port.OnMainWindow().CloseBox().Click("AgainBtn");
    port.RunMainWindow(main);
    EXPECT_FALSE(port.Terminated());
    EXPECT_THAT(port.Problems(), ElementsAre(testing::HasSubstr("closed with 1 steps left")));
  }
  {
    ScriptedPort port;
    MainDialog main;
    int again = 0;
    main.Again.onClick = [&] { ++again; };
    port.OnMainWindow().Click("AgainBtn");
    port.RunMainWindow(main);
    EXPECT_EQ(again, 1);
    EXPECT_TRUE(port.RanDry());
  }
  {
    // Terminated before the loop starts: the window closes at once.
    ScriptedPort port;
    MainDialog main;
    port.Terminate();
    port.RunMainWindow(main);
    EXPECT_FALSE(port.RanDry());
    EXPECT_TRUE(port.Problems().empty());
  }
}

TEST(ScriptedPort, InstallsItselfForItsLifetime) {
  ui::UiPort* before = &ui::port();
  {
    ScriptedPort port;
    EXPECT_EQ(&ui::port(), &port);
  }
  EXPECT_EQ(&ui::port(), before);
}

}  // namespace
