// The batch run: the program's start-up with a front end that never shows a dialog.
#include "app/Batch.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ostream>

#include "app/BatchPort.h"
#include "app/Shell.h"
#include "oracle/client/ClientLibrary.h"
#include "oracle/client/OCIConstants.h"
#include "oracle/client/OCIFunctions.h"
#include "oracle/client/OracleHome.h"
#include "oracle/core/Exception.h"
#include "oracle/logon/OracleLogon.h"
#include "oracle/session/ConnectString.h"
#include "oracle/session/OracleSession.h"

namespace app {
namespace {

// The session of a batch run remembers the failure of its last logon: a dialog that would have
// handled it (the password change for an expired password) is never shown here, yet the run
// has to name the error that ended it.
class BatchSession final : public oracle::TOracleSession {
 public:
  using TOracleSession::TOracleSession;
  void LogOn() override {
    lastFailure.clear();
    try {
      TOracleSession::LogOn();
    } catch (const oracle::Exception& e) {
      lastFailure = e.Message();
      throw;
    }
  }
  std::string lastFailure;
};

std::string forTerminal(std::string text) {
  std::string out;
  for (char c : text)
    if (c != '\r') out += c;
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

std::string phase(const char* name, double ms) {
  if (ms < 0) return {};
  char text[64];
  std::snprintf(text, sizeof text, "%s %.1f ms", name, ms);
  return text;
}

// The banner of the server the session is connected to. The logon itself reads it only when
// the session began without a warning; a logon in the password's grace period is still a
// connection to a server worth naming.
std::string serverBanner(const oracle::TOracleSession& session) {
  if (!session.ServerVersion().empty() || !session.Connected() || !session.OCI8Mode())
    return session.ServerVersion();
  namespace oci = oracle::oci;
  char banner[512] = {};
  const oci::sword status = oci::OCIServerVersion(
      session.ServiceContextHandle(), static_cast<oci::OCIError*>(session.ErrorHandle()),
      reinterpret_cast<oci::OraText*>(banner), sizeof banner, oci::OCI_HTYPE_SVCCTX);
  return status == oci::OCI_SUCCESS ? banner : "";
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
  const std::string banner = serverBanner(session);
  if (!banner.empty()) out << "Server: " << banner << '\n';
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

// The connect-string rule takes any text after " as " that is no mode as Normal. A script that
// asked for SYSDBA and got Normal deserves a warning where warnings go.
void warnOfUnknownMode(const std::string& connectString, std::ostream& err) {
  oracle::TConnectStringParts parts;
  oracle::ParseConnectString(connectString, parts);
  if (parts.ConnectAs.empty() || parts.ConnectAs == "NORMAL" ||
      oracle::ConnectAsFromText(parts.ConnectAs) != oracle::caNormal)
    return;
  err << "dblogon: warning: \"as " << parts.ConnectAs
      << "\" is not a connect mode (SYSDBA, SYSOPER or NORMAL); logging on as Normal\n";
}

}  // namespace

int RunBatch(std::ostream& out, std::ostream& err) {
  const std::string userId = oracle::CommandLineValue("UserId");
  if (userId.empty()) {
    err << "dblogon: --batch needs an argument UserId=username/password@database\n";
    return 2;
  }
  warnOfUnknownMode(userId, err);
  BatchPort port(out);
  ui::ScopedPort installed(port);
  StartUnits();
  bool connected = false;
  {
    BatchSession* session = nullptr;
    Shell shell(
        [&session](oracle::TComponent* owner) { return session = new BatchSession(owner); });
    // The dialog's alias list would load the client before the logon starts; loading it here
    // first lets the load be timed on its own. A failure is reported by the logon itself.
    const auto start = std::chrono::steady_clock::now();
    try {
      oracle::InitOCI();
    } catch (const std::exception&) {
    }
    const double loadMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    try {
      shell.dmMain().OracleLogon->Execute();
    } catch (const std::exception& e) {
      // Passed out of the logon dialog: still the error that ended the run.
      session->lastFailure = e.what();
    }
    connected = session->Connected();
    const auto& shown = port.Messages();
    if (!connected && !session->lastFailure.empty() &&
        std::find(shown.begin(), shown.end(), session->lastFailure) == shown.end())
      out << forTerminal(session->lastFailure) << '\n';
    out << "Tried: " << oracle::LogonAttemptDescription(*session) << '\n';
    printDetails(out, *session, loadMs);
    out << (connected ? kLogonSucceeded : kLogonFailed) << '\n';
  }
  StopUnits();
  return connected ? 0 : 1;
}

}  // namespace app
