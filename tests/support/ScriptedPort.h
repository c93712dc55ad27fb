// A UI port for tests: plays a scripted user against the form models and records everything the
// program showed. It acts only as a user can (typing, choosing, clicking, keys, the close box),
// through the forms' own handlers, so the models' keyboard and menu rules are exercised too.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ui/UiPort.h"

namespace testsupport {

// What the scripted user does in one modal show (or in the main window), step by step.
// Every step names controls by their `name`.
class Script {
 public:
  // Replaces the text of an edit or combo box (showing and enabled).
  Script& Type(std::string field, std::string text);
  // Picks item `index` of a drop-down list or combo box; its text follows the item.
  Script& Choose(std::string field, int index);
  // Clicks the history button (HistoryBtn) and picks the menu entry with this caption, with the
  // Ctrl key held or not. A caption in a submenu may also be given as "Group > entry".
  Script& PickHistory(std::string caption, bool ctrl = false);
  // The same for any button that opens a popup menu.
  Script& PickMenu(std::string button, std::string caption, bool ctrl = false);
  // Clicks the button; with `ctrl` the Ctrl key is held during the click and after it.
  Script& Click(std::string button, bool ctrl = false);
  // Clicks the form's default button.
  Script& ClickOK(bool ctrl = false);
  Script& PressEnter();
  Script& PressCtrlEnter();
  Script& PressEscape();
  // The window's close box: the show ends with Cancel, no handler runs.
  Script& CloseBox();
  // Runs a check (or any inspection) on the form at this point of the show.
  Script& Check(std::function<void(ui::Form&)> check);

 private:
  friend class ScriptedPort;
  enum class Kind { Type, Choose, PickMenu, Click, ClickOK, Enter, Escape, CloseBox, Check };
  struct Action {
    Kind kind = Kind::Check;
    std::string target;  // field or button name
    std::string text;    // typed text or menu caption
    int index = -1;
    bool ctrl = false;
    std::function<void(ui::Form&)> check;
  };
  static Action step(Kind kind, std::string target = {}, std::string text = {}, int index = -1,
                     bool ctrl = false);
  Script& add(Action action);

  std::string expectedCaption_;
  std::vector<Action> actions_;
};

class ScriptedPort final : public ui::UiPort {
 public:
  // Installs itself as the port in force for its lifetime.
  ScriptedPort();
  ~ScriptedPort() override;
  ScriptedPort(const ScriptedPort&) = delete;
  ScriptedPort& operator=(const ScriptedPort&) = delete;

  // --- The script ---------------------------------------------------------------------------
  // The steps of the next modal show not yet scripted; shows use them in the order they were
  // added. With a caption, the show must carry it (else the show is cancelled as a problem).
  Script& OnModal(std::string expectedCaption = {});
  // The steps taken in the main window; it closes at Terminate, the close box or their end.
  Script& OnMainWindow();
  // The answers to the next Yes/No questions, in order.
  ScriptedPort& AnswerYes();
  ScriptedPort& AnswerNo();
  // The Ctrl key as handlers that a test calls directly (outside any script) see it.
  ScriptedPort& HoldCtrl(bool held) {
    ctrlHeld_ = held;
    return *this;
  }
  // The entry with this caption is chosen from the next popup menu that no script picks from
  // (a menu a test opens by calling a handler directly).
  ScriptedPort& PickFromNextMenu(std::string caption);

  // --- What happened ------------------------------------------------------------------------
  enum class EventKind { Message, Question, Modal, Menu, MainWindow, Cursor };
  struct Event {
    EventKind kind;
    std::string text;     // message, question, form or window caption; menu entries joined by " | "
    std::string outcome;  // question: "Yes"/"No"; modal: "OK"/"Cancel"; else empty
    int cursor = 0;       // cursor changes
  };
  // A modal show as it started (after the form's FormShow) and how it ended.
  struct ShowRecord {
    std::string caption;
    std::map<std::string, std::string> texts;  // every edit, combo box and list: name -> text
    std::string focused;                       // name of the control FormShow focused
    ui::ModalResult result = ui::ModalResult::None;
    bool ctrlAtClose = false;  // the Ctrl key state the caller sees when the show returns
  };

  const std::vector<Event>& Events() const { return events_; }
  // The events without cursor changes, one line each: "message: ...", "question: ... -> Yes",
  // "modal: <caption> -> OK", "menu: a | b", "main window: <caption>".
  std::vector<std::string> Transcript() const;
  std::vector<std::string> Messages() const;
  // The secondary texts of the messages, in order (empty for a message without one).
  const std::vector<std::string>& MessageDetails() const { return messageDetails_; }
  std::vector<std::string> Questions() const;
  std::vector<std::string> Captions() const;  // of the modal shows
  std::vector<int> CursorChanges() const;
  // Each popup menu shown, as its entries: submenu entries as "Group > entry", separators "-".
  const std::vector<std::vector<std::string>>& Menus() const { return menus_; }
  // Where each popup menu was shown: the control it was placed in and the position in that.
  struct MenuPlace {
    const ui::Control* anchor = nullptr;
    int x = 0;
    int y = 0;
  };
  const std::vector<MenuPlace>& MenuPlaces() const { return menuPlaces_; }
  const std::vector<ShowRecord>& Shows() const { return shows_; }

  // A show, question or main window found no script left and was answered Cancel / No / closed.
  bool RanDry() const { return ranDry_; }
  // Every scripted show, answer and main-window step was used.
  bool AllPlayed() const;
  // What went against the script, in words (ran dry, unknown or unusable control, menu entry not
  // found, wrong caption, steps left after the form closed). Empty in a run that went as written.
  const std::vector<std::string>& Problems() const { return problems_; }
  bool Terminated() const { return terminated_; }

  // --- The port -----------------------------------------------------------------------------
  void ShowMessage(const std::string& text) override;
  void ShowDetailedMessage(const std::string& text, const std::string& detail) override;
  bool AskYesNo(const std::string& text) override;
  ui::ModalResult ShowModal(ui::Form& form) override;
  const ui::MenuItem* PopupMenu(ui::Form& form, const std::vector<ui::MenuItem>& items,
                                const ui::Control* anchorParent, int x, int y) override;
  bool ControlKeyDown() override { return ctrlHeld_; }
  int ScreenCursor() override { return cursor_; }
  void SetScreenCursor(int cursor) override;
  void RunInMainThread(const std::function<void()>& function) override { function(); }
  int RunMainWindow(ui::Form& mainForm) override;
  void Terminate() override { terminated_ = true; }

 private:
  struct PendingPick {
    std::string caption;
    bool opened = false;  // a menu was shown for the pick
    bool found = false;
  };

  // Plays one step; false (with a problem recorded) when the step could not be taken.
  bool play(ui::Form& form, const Script::Action& action, const std::string& where);
  ui::Control* usable(ui::Form& form, const std::string& name, const std::string& where);
  void problem(std::string text) { problems_.push_back(std::move(text)); }

  std::deque<Script> modals_;
  std::optional<Script> mainWindow_;
  std::deque<bool> answers_;
  std::vector<Event> events_;
  std::vector<std::string> messageDetails_;
  std::vector<std::vector<std::string>> menus_;
  std::vector<MenuPlace> menuPlaces_;
  std::vector<ShowRecord> shows_;
  std::vector<std::string> problems_;
  std::optional<PendingPick> pick_;
  bool ranDry_ = false;
  bool ctrlHeld_ = false;
  bool terminated_ = false;
  int cursor_ = ui::crDefault;
  ui::ScopedPort installed_{*this};  // last: uninstalled before anything else goes
};

// "OK", "Cancel", "Yes", "No" or "None".
std::string ToString(ui::ModalResult result);

}  // namespace testsupport
