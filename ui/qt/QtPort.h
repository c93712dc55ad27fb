// The Qt Widgets front end of the dialog port: form models become windows, messages become
// message boxes, menus become popup menus. Needs a QApplication that lives longer than the port;
// every call but RunInMainThread belongs to the GUI thread.
#pragma once

#include <vector>

#include "ui/UiPort.h"

namespace ui::qt {

class FormView;

class QtPort final : public UiPort {
 public:
  QtPort();
  ~QtPort() override;

  void ShowMessage(const std::string& text) override;
  void ShowDetailedMessage(const std::string& text, const std::string& detail) override;
  bool AskYesNo(const std::string& text) override;
  ModalResult ShowModal(Form& form) override;
  const MenuItem* PopupMenu(Form& form, const std::vector<MenuItem>& items,
                            const Control* anchorParent, int x, int y) override;
  bool ControlKeyDown() override;
  int ScreenCursor() override { return cursor_; }
  void SetScreenCursor(int cursor) override;
  void RunInMainThread(const std::function<void()>& function) override;
  int RunMainWindow(Form& mainForm) override;
  void Terminate() override;

  // The window showing `form` just now (modal or main), or nullptr.
  FormView* ViewOf(const Form& form) const;

 private:
  std::vector<FormView*> views_;  // innermost last
  int cursor_ = crDefault;
  bool terminated_ = false;
};

}  // namespace ui::qt
