// The process-wide port pointer and the headless fallback.
#include "ui/UiPort.h"

#include <iostream>
#include <thread>

namespace ui {

void UiPort::ShowDetailedMessage(const std::string& text, const std::string& detail) {
  if (detail.empty()) return ShowMessage(text);
  const bool endsInBreak = !text.empty() && text.back() == '\n';
  ShowMessage(text + (endsInBreak ? "" : "\r\n") + detail);
}

namespace {

class HeadlessPort final : public UiPort {
 public:
  void ShowMessage(const std::string& text) override { std::cerr << text << '\n'; }
  bool AskYesNo(const std::string& text) override {
    std::cerr << text << " [No]\n";
    return false;
  }
  ModalResult ShowModal(Form& /*form*/) override { return ModalResult::Cancel; }
  const MenuItem* PopupMenu(Form&, const std::vector<MenuItem>&, const Control*, int,
                            int) override {
    return nullptr;
  }
  bool ControlKeyDown() override { return false; }
  int ScreenCursor() override { return cursor_; }
  void SetScreenCursor(int cursor) override { cursor_ = cursor; }
  void RunInMainThread(const std::function<void()>& function) override { function(); }
  int RunMainWindow(Form& /*mainForm*/) override { return 0; }
  void Terminate() override {}

 private:
  int cursor_ = crDefault;
};

HeadlessPort& headless() {
  static HeadlessPort instance;
  return instance;
}

UiPort* current = nullptr;
// The screen cursor belongs to the thread that runs the windows: the one that installed the port
// in force, or the process's main thread while none is installed (static initialisation runs
// there).
std::thread::id uiThread = std::this_thread::get_id();

}  // namespace

UiPort& port() {
  return current != nullptr ? *current : headless();
}

ScopedPort::ScopedPort(UiPort& replacement) : previous_(current), previousThread_(uiThread) {
  current = &replacement;
  uiThread = std::this_thread::get_id();
}

ScopedPort::~ScopedPort() {
  current = previous_;
  uiThread = previousThread_;
}

// Sessions that log on from worker threads leave the cursor alone: a window system's cursor may
// only be touched from its own thread, and two threads saving and restoring it in turn would
// leave the hourglass up for good.
BusyCursor::BusyCursor(int cursor)
    : active_(cursor != crDefault && std::this_thread::get_id() == uiThread) {
  if (!active_) return;
  saved_ = port().ScreenCursor();
  port().SetScreenCursor(cursor);
}

BusyCursor::~BusyCursor() {
  if (active_) port().SetScreenCursor(saved_);
}

}  // namespace ui
