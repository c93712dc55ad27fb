// The batch run: the program's start-up with a front end that never shows a dialog.
#include "app/Batch.h"

#include <chrono>
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
void printDetails(std::ostream& out, const oracle::TOracleSession& session, double loadMs) {
  if (!oracle::OCILoaded()) {
    out << "No Oracle client was loaded; 'dblogon --diagnose' shows where it was looked for.\n";
    return;
  }
  out << "Client library: " << oracle::OCIDLL() << " ("
      << (session.OCI8Mode() || (!session.Connected() && oracle::UseOCI8()) ? "OCI8" : "OCI7")
      << " mode)\n";
  if (!session.ServerVersion().empty()) out << "Server: " << session.ServerVersion() << '\n';
  const oracle::TLogonTimings& t = session.LastLogonTimings();
  std::string line;
  for (const std::string& part :
       {phase("loading the client", loadMs), phase("attaching the server", t.attachServer),
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
    // The dialog's alias list would load the client before the logon starts; loading it here
    // first lets the load be timed on its own. A failure is reported by the logon itself.
    const auto start = std::chrono::steady_clock::now();
    try {
      oracle::InitOCI();
    } catch (const std::exception&) {
    }
    const double loadMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    shell.dmMain().OracleLogon->Execute();
    connected = shell.dmMain().OracleSession->Connected();
    printDetails(out, *shell.dmMain().OracleSession, loadMs);
    out << (connected ? kLogonSucceeded : kLogonFailed) << '\n';
  }
  StopUnits();
  return connected ? 0 : 1;
}

}  // namespace app
