// The front end of --batch: no dialog is ever shown. Messages are written out, questions are
// answered No, and a dialog that would open again ends the attempt loop as Cancel does.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "ui/UiPort.h"

namespace app {

class BatchPort final : public ui::UiPort {
 public:
  explicit BatchPort(std::ostream& out) : out_(out) {}

  void ShowMessage(const std::string& text) override;
  void ShowDetailedMessage(const std::string& text, const std::string& detail) override;
  bool AskYesNo(const std::string& text) override;
  ui::ModalResult ShowModal(ui::Form& form) override;
  const ui::MenuItem* PopupMenu(ui::Form&, const std::vector<ui::MenuItem>&, const ui::Control*,
                                int, int) override {
    return nullptr;
  }
  bool ControlKeyDown() override { return false; }
  int ScreenCursor() override { return cursor_; }
  void SetScreenCursor(int cursor) override { cursor_ = cursor; }
  void RunInMainThread(const std::function<void()>& function) override { function(); }
  int RunMainWindow(ui::Form&) override { return 0; }
  void Terminate() override {}

  const std::vector<std::string>& Messages() const { return messages_; }

 private:
  std::ostream& out_;
  int cursor_ = ui::crDefault;
  std::vector<std::string> messages_;
};

}  // namespace app
