// The terminal front end: renders any form as a series of prompts on a text stream and feeds the
// answers back through the form's own handlers, so a machine without a display can run the dialogs.
#pragma once

#include <iosfwd>
#include <set>
#include <string>
#include <vector>

#include "ui/UiPort.h"

namespace ui::console {

// How a modal show reads:
//   - the caption, then one prompt per showing, enabled edit, combo box and drop-down list in
//     tab order, labelled by the label left of it; Enter keeps the value shown in brackets;
//   - a password field (a control with a password character) is read without echo on a terminal
//     and its value is never printed;
//   - a combo box lists its items: a number picks one, any other text is taken as typed;
//     a drop-down list takes a number or an item's text;
//   - a line starting with a backslash is taken literally without it ("\h" types "h", "\"
//     alone empties the field);
//   - "h" at a prompt or at the confirmation presses the form's first speed button (the history
//     button of the logon dialog); a popup menu lists its entries by number, "!" before the
//     number picks the entry with Ctrl held;
//   - the confirmation: Enter = OK (the form's Enter key), "!" = OK with Ctrl held (Ctrl+Enter),
//     "e" = go through the fields again, "c" or Escape = Cancel (the form's Escape key), a number
//     presses one of the other buttons listed;
//   - end of input anywhere answers as the close box does: Cancel, No, nothing chosen.
// Whenever a handler closes the form (a history entry with a password), the show returns at once.
class ConsolePort final : public UiPort {
 public:
  // Reads standard input and writes standard output; passwords are read without echo when
  // standard input is a terminal.
  ConsolePort();
  // Reads `in` and writes `out`; a password is read with echo off on `echoFd` when it is a
  // terminal (pass -1 for streams that are not).
  ConsolePort(std::istream& in, std::ostream& out, int echoFd = -1);

  void ShowMessage(const std::string& text) override;
  bool AskYesNo(const std::string& text) override;
  ModalResult ShowModal(Form& form) override;
  const MenuItem* PopupMenu(Form& form, const std::vector<MenuItem>& items,
                            const Control* anchorParent, int x, int y) override;
  // True from an input that asked for Ctrl ("!") until the next input is read.
  bool ControlKeyDown() override { return ctrlHeld_; }
  int ScreenCursor() override { return cursor_; }
  // A terminal has no mouse cursor to change; the value is only kept.
  void SetScreenCursor(int cursor) override { cursor_ = cursor; }
  // The console runs everything on the thread that reads the terminal.
  void RunInMainThread(const std::function<void()>& function) override { function(); }
  // Offers the form's buttons as a numbered menu and clicks the chosen one, until Terminate or
  // the end of input; "q" closes the window.
  int RunMainWindow(Form& mainForm) override;
  void Terminate() override { terminated_ = true; }

 private:
  enum class Step { Next, Again, Closed };

  // Reads one line; false at the end of input. Releases a Ctrl held by the previous input.
  bool readLine(std::string& line, bool secret = false);
  Step promptField(Form& form, Control& control, const std::string& label);
  Step promptChoice(Form& form, Control& control, const std::string& label);
  Step confirm(Form& form);
  // Ctrl+D at a prompt, or the end of the input: the dialog is left as with Escape.
  Step endOfInput(Form& form);
  // Lists the entries of a drop-down that begin with `start` (any letter case), numbered by
  // their place in the whole list; false when none does.
  bool listEntries(const Control& control, const std::string& start);
  // Presses the form's history (first speed) button; Closed when a handler closed the form.
  Step pressAction(Form& form);
  Control* actionButton(const Form& form) const;
  void listMenu(const std::vector<MenuItem>& items, int depth,
                std::vector<const MenuItem*>& numbered);

  std::istream& in_;
  std::ostream& out_;
  int echoFd_;
  bool ctrlHeld_ = false;
  bool terminated_ = false;
  std::set<std::string> listed_;  // drop-downs whose entries were listed already
  std::string menuTitle_;         // the hint of the button whose menu is open
  int cursor_ = crDefault;
};

}  // namespace ui::console
