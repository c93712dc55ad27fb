// The batch run: the program's start-up with a front end that never shows a dialog.
#include "app/Batch.h"

#include <cstdio>
#include <ostream>

#include "app/BatchPort.h"
#include "app/Shell.h"
#include "oracle/client/ClientLibrary.h"
#include "oracle/client/OracleHome.h"
#include "oracle/logon/OracleLogon.h"
#include "oracle/session/OracleSession.h"

namespace app {
namespace {

std::string phase(const char* name, double ms) {
  if (ms < 0) return {};
  char text[64];
  std::snprintf(text, sizeof text, "%s %.1f ms", name, ms);
  return text;
}

// What people testing logons ask for beside the outcome: which client, which server, how long.
void printDetails(std::ostream& out, const oracle::TOracleSession& session) {
  if (!oracle::OCILoaded()) return;
  out << "Client library: " << oracle::OCIDLL() << " ("
      << (session.OCI8Mode() || (!session.Connected() && oracle::UseOCI8()) ? "OCI8" : "OCI7")
      << " mode)\n";
  if (!session.ServerVersion().empty()) out << "Server: " << session.ServerVersion() << '\n';
  const oracle::TLogonTimings& t = session.LastLogonTimings();
  std::string line;
  for (const std::string& part : {phase("loading the client", t.loadClient),
                                  phase("attaching the server", t.attachServer),
                                  phase("beginning the session", t.beginSession)}) {
    if (part.empty()) continue;
    line += line.empty() ? part : ", " + part;
  }
  if (!line.empty()) out << "Timings: " << line << '\n';
}

}  // namespace

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
    printDetails(out, *shell.dmMain().OracleSession);
    out << (connected ? kLogonSucceeded : kLogonFailed) << '\n';
  }
  StopUnits();
  return connected ? 0 : 1;
}

}  // namespace app
