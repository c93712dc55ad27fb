// Start-up in the program's order, the main dialog's handlers and the outcome messages.
#include "app/Shell.h"

#include <exception>
#include <iostream>
#include <string>

#include "app/FormMain.h"
#include "oracle/logon/LogonTexts.h"
#include "oracle/logon/OracleLogon.h"
#include "oracle/session/OracleSession.h"
#include "oracle/session/SessionUnit.h"
#include "platform/Locale.h"
#include "platform/Services.h"
#include "ui/Language.h"
#include "ui/UiPort.h"

namespace app {
namespace {

const ui::Words kClientLoadAdvice{
    "Run 'dblogon --diagnose' in a terminal: it shows where the Oracle client was looked for "
    "and why it did not load.",
    "Kjør «dblogon --diagnose» i en terminal: den viser hvor Oracle-klienten ble lett etter og "
    "hvorfor den ikke kunne lastes.",
    "Køyr «dblogon --diagnose» i ein terminal: han viser kvar Oracle-klienten vart leita etter "
    "og kvifor han ikkje kunne lastast."};

}  // namespace

void StartUnits() {
  oracle::ResetLogonTexts();
  const std::uint16_t languageId = platform::locale().languageId();
  oracle::SelectLanguageTexts(languageId);
  ui::SetLanguage(ui::LanguageFromId(languageId));
  oracle::SetClientLoadAdvice(ui::Say(kClientLoadAdvice));
  oracle::InitializeSessionUnit();
}

void StopUnits() {
  oracle::FinalizeSessionUnit();
}

Shell::Shell(const TdmMain::SessionFactory& makeSession)
    : dmMain_(std::make_unique<TdmMain>(nullptr, makeSession)) {}

Shell::~Shell() {
  formMain_.reset();
  dmMain_.reset();
}

void Shell::RunFirstTest() {
  if (dmMain_->OracleLogon->Execute())
    ui::port().ShowMessage(dmMain_->OracleSession->Connected() ? kLogonSucceeded : kLogonFailed);
}

int Shell::RunMainDialog() {
  formMain_ = std::make_unique<TFormMain>();
  formMain_->ButtonNewLogOn.onClick = [this] { ButtonNewLogOnClick(); };
  formMain_->ButtonExit.onClick = [this] { ButtonExitClick(); };
  return ui::port().RunMainWindow(*formMain_);
}

void Shell::ButtonNewLogOnClick() {
  // A failed or cancelled repetition says nothing here: each failure was shown in the dialog.
  if (dmMain_->OracleLogon->Execute() && dmMain_->OracleSession->Connected())
    ui::port().ShowMessage(kLogonSucceeded);
}

void Shell::ButtonExitClick() {
  ui::port().Terminate();
}

int RunInteractive(const TdmMain::SessionFactory& makeSession) {
  StartUnits();
  int code = 0;
  {
    Shell shell(makeSession);
    try {
      shell.RunFirstTest();
    } catch (const std::exception& e) {
      // Rare (the logon dialog shows its own failures), but without a word here the program
      // would just vanish: say what ended it, where the user looks, and end.
      const std::string text = kFirstTestAborted + std::string(e.what());
      std::cerr << "dblogon: " << text << '\n';
      ui::port().ShowMessage(text);
      code = 1;
    }
    if (code == 0) code = shell.RunMainDialog();
  }
  StopUnits();
  return code;
}

}  // namespace app
