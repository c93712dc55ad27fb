// The program's start-up, main dialog handlers and outcome messages, on whatever front end is
// installed as the UI port.
#pragma once

#include <iosfwd>
#include <memory>

#include "app/DataModule.h"

namespace app {

class TFormMain;

// Outcome texts of the logon test.
inline constexpr const char* kLogonSucceeded = "Vellykka innlogging!";
inline constexpr const char* kLogonFailed = "Misslykka innlogging!";
// Put before the text of an exception that escaped the first logon test and ends the program.
inline constexpr const char* kFirstTestAborted = "The logon test stopped with an error:\n";

// Process start-up of the layer's units, before any dialog: the texts by the user's locale and the
// list of error codes raised as warnings.
void StartUnits();
// Process shutdown: unloads the client library.
void StopUnits();

class Shell {
 public:
  explicit Shell(const TdmMain::SessionFactory& makeSession = {});
  ~Shell();
  Shell(const Shell&) = delete;
  Shell& operator=(const Shell&) = delete;

  // The first logon test: Execute, then the outcome message when the dialog was confirmed.
  void RunFirstTest();
  // Creates the main dialog and runs the message loop; returns the loop's exit code.
  int RunMainDialog();

  void ButtonNewLogOnClick();
  void ButtonExitClick();

  TdmMain& dmMain() { return *dmMain_; }
  TFormMain* FormMain() { return formMain_.get(); }

 private:
  std::unique_ptr<TdmMain> dmMain_;
  std::unique_ptr<TFormMain> formMain_;
};

// The whole interactive program on the installed port: start-up, first test, main dialog.
// An exception that escapes the first test ends the program with a message and 1.
int RunInteractive(const TdmMain::SessionFactory& makeSession = {});

}  // namespace app
