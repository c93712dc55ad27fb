// The batch run: the program's start-up with a front end that never shows a dialog.
#include "app/Batch.h"

#include <ostream>

#include "app/BatchPort.h"
#include "app/Shell.h"
#include "oracle/logon/OracleLogon.h"
#include "oracle/session/OracleSession.h"

namespace app {

int RunBatch(std::ostream& out, std::ostream& err) {
  if (oracle::CommandLineValue("UserId").empty()) {
    err << "dblogon: --batch needs an argument UserId=username/password@database\n";
    return 2;
  }
  BatchPort port(out);
  ui::ScopedPort installed(port);
  StartUnits();
  bool connected = false;
  {
    Shell shell;
    shell.dmMain().OracleLogon->Execute();
    connected = shell.dmMain().OracleSession->Connected();
    out << (connected ? kLogonSucceeded : kLogonFailed) << '\n';
  }
  StopUnits();
  return connected ? 0 : 1;
}

}  // namespace app
