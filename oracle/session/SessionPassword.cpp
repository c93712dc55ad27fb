// Changing the password of a session's account, connected or after a logon that failed with an
// expired password.
#include "oracle/client/ClientLibrary.h"
#include "oracle/client/OCIConstants.h"
#include "oracle/client/OCIFunctions.h"
#include "oracle/client/OracleHome.h"
#include "oracle/core/Exception.h"
#include "oracle/session/OracleSession.h"
#include "oracle/session/SessionUnit.h"
#include "oracle/session/internal/ClientText.h"
#include "oracle/session/internal/SessionConnection.h"
#include "ui/UiPort.h"

namespace oracle {

using namespace oci;
using internal::ClientLength;
using internal::ClientText;

void TOracleSession::ChangePassword(const std::string& newPassword) {
  if (odbcLogon_ && !oca60Present_ && OCIDLL().empty()) SetOCIDLL("ora73.dll");
  {
    ui::BusyCursor busy(cursor_);
    InitOCI();
  }
  // Handles of an unloaded copy of the library are dropped first; the change then attaches anew.
  if (conn_->ClientGone()) LogOff();
  internal::SessionConnection& c = *conn_;
  if (!c.oci8Mode) {
    // Through a statement of the session's own; that needs the query engine of a later version.
    throw Exception("Changing a password in OCI7 mode is not available in this version");
  }
  {
    ui::BusyCursor busy(cursor_);
    if (!c.serverAttached) {
      ConnectString();
      c.clientGeneration = ClientGeneration();
      createEnvironmentAndHandles();
      attachServer();
    }
    RecordStatus(OCIPasswordChange(c.service.get(), c.error.get(), ClientText(logonUsername_),
                                   ClientLength(logonUsername_), ClientText(logonPassword_),
                                   ClientLength(logonPassword_), ClientText(newPassword),
                                   ClientLength(newPassword), OCI_DEFAULT));
  }
  raiseLastError();
  logonPassword_ = newPassword;
}

}  // namespace oracle
