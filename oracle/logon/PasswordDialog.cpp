// The password change dialog's loop over the logon form.
#include "oracle/logon/PasswordDialog.h"

#include "oracle/core/Exception.h"
#include "oracle/core/TextCase.h"
#include "oracle/logon/LogOnForm.h"
#include "oracle/logon/LogonTexts.h"
#include "oracle/session/OracleError.h"
#include "oracle/session/OracleSession.h"
#include "ui/UiPort.h"

namespace oracle {

bool ChangePasswordDialog(TOracleSession* session, const std::string& caption,
                          const ui::Picture& picture) {
  if (session == nullptr) throw Exception("Session undefined");
  TLogOnForm form;
  form.PreparePasswordChange(caption, picture);
  bool result = false;
  bool done = true;
  do {
    done = true;
    if (ui::port().ShowModal(form) != ui::ModalResult::OK) break;
    if (UpperCaseLocale(form.UsernameEdit.text) != UpperCaseLocale(form.PasswordEdit.text)) {
      ui::port().ShowMessage(LogonTexts().VerificationFailedText);
      done = false;
      continue;
    }
    try {
      session->ChangePassword(form.PasswordEdit.text);
      if (!session->Connected()) session->LogOn();
      result = true;
    } catch (const EOracleError& e) {
      ui::port().ShowMessage(e.Message());
      done = false;
    }
  } while (!done);
  return result;
}

}  // namespace oracle
