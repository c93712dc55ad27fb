// A dialog port for tests of the logon models: each modal show runs the next scripted step on
// the form, message boxes and questions are recorded, and the Ctrl key is a flag.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "ui/UiPort.h"

namespace logontest {

class ScriptedPort final : public ui::UiPort {
 public:
  using Step = std::function<ui::ModalResult(ui::Form&)>;

  std::deque<Step> shows;           // one per expected modal show
  std::vector<std::string> messages;  // every message box, in order
  std::vector<std::string> questions;
  std::deque<bool> answers;           // Yes/No answers, in order; No when none is left
  bool ctrl = false;                  // the Ctrl key held
  // Picks an entry of a popup menu; nothing chosen when unset.
  std::function<const ui::MenuItem*(const std::vector<ui::MenuItem>&)> chooseFromMenu;
  int modalShows = 0;
  // Where the last popup menu was asked for.
  const ui::Control* menuAnchor = nullptr;
  int menuX = -1;
  int menuY = -1;

  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  bool AskYesNo(const std::string& text) override {
    questions.push_back(text);
    if (answers.empty()) return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  ui::ModalResult ShowModal(ui::Form& form) override {
    ++modalShows;
    form.modalResult = ui::ModalResult::None;
    form.FormShow();
    if (shows.empty()) {
      ADD_FAILURE() << "unexpected modal show of " << form.name;
      return ui::ModalResult::Cancel;
    }
    const Step step = shows.front();
    shows.pop_front();
    return step(form);
  }
  const ui::MenuItem* PopupMenu(ui::Form&, const std::vector<ui::MenuItem>& items,
                                const ui::Control* anchor, int x, int y) override {
    menuAnchor = anchor;
    menuX = x;
    menuY = y;
    return chooseFromMenu ? chooseFromMenu(items) : nullptr;
  }
  bool ControlKeyDown() override { return ctrl; }
  int ScreenCursor() override { return cursor_; }
  void SetScreenCursor(int cursor) override { cursor_ = cursor; }
  void RunInMainThread(const std::function<void()>& function) override { function(); }
  int RunMainWindow(ui::Form&) override { return 0; }
  void Terminate() override {}

 private:
  int cursor_ = ui::crDefault;
};

}  // namespace logontest
