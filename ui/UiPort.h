// The dialog port: everything the layer and the program ask of a user interface. The layer never
// calls a toolkit; front ends (Qt windows, the console, the scripted test driver) implement this.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ui/Form.h"

namespace ui {

// Screen cursors, numbered as the framework numbers them.
constexpr int crDefault = 0;
constexpr int crHourGlass = -11;

class UiPort {
 public:
  virtual ~UiPort() = default;

  // A plain modal box with the text, one OK button and no icon, titled with the application title.
  virtual void ShowMessage(const std::string& text) = 0;
  // The same box with a second, secondary text under the first: what was tried, what to do
  // next. The first text stays exactly as given. By default the detail follows it on a new line.
  virtual void ShowDetailedMessage(const std::string& text, const std::string& detail);
  // A confirmation question with Yes and No; true for Yes.
  virtual bool AskYesNo(const std::string& text) = 0;
  // Shows the form modally until its modalResult is set (OK, Cancel, or Cancel for the close box).
  virtual ModalResult ShowModal(Form& form) = 0;
  // Shows a popup menu at a point of the form (client coordinates of `anchor`'s parent, design
  // pixels) and returns the chosen clickable item, or nullptr when the menu was dismissed.
  virtual const MenuItem* PopupMenu(Form& form, const std::vector<MenuItem>& items,
                                    const Control* anchorParent, int x, int y) = 0;
  // True while a Ctrl key is held.
  virtual bool ControlKeyDown() = 0;
  virtual int ScreenCursor() = 0;
  virtual void SetScreenCursor(int cursor) = 0;
  // Runs the function on the main (GUI) thread and waits for it.
  virtual void RunInMainThread(const std::function<void()>& function) = 0;
  // Shows the main window and runs the message loop until Terminate or the window closes.
  virtual int RunMainWindow(Form& mainForm) = 0;
  virtual void Terminate() = 0;

  const std::string& ApplicationTitle() const { return title_; }
  void SetApplicationTitle(std::string title) { title_ = std::move(title); }

 private:
  std::string title_ = "dblogon";
};

// The port in force. Until a front end installs one, a headless port is used: messages go to
// standard error, questions answer No, modal shows return Cancel and menus nothing.
UiPort& port();

// Installs a port for its lifetime and restores the previous one after. The installing thread is
// the UI thread meanwhile.
class ScopedPort {
 public:
  explicit ScopedPort(UiPort& replacement);
  ~ScopedPort();
  ScopedPort(const ScopedPort&) = delete;
  ScopedPort& operator=(const ScopedPort&) = delete;

 private:
  UiPort* previous_;
  std::thread::id previousThread_;
};

// Shows the busy cursor for its lifetime and restores the cursor it found, also on exceptions.
// A cursor of crDefault, or one asked for outside the UI thread, changes nothing.
class BusyCursor {
 public:
  explicit BusyCursor(int cursor);
  ~BusyCursor();
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  bool active_;
  int saved_ = crDefault;
};

}  // namespace ui
