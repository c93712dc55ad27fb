// The logon test of one target, over the layer's own session.
#include "app/LogonProbe.h"

#include <chrono>

#include "oracle/session/OracleError.h"
#include "oracle/session/OracleSession.h"
#include "ui/UiPort.h"

namespace app {
namespace {

double millisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

void fail(TargetResult& result, std::int32_t code, const std::string& message) {
  result.outcome = Outcome::Failed;
  result.errorCode = code;
  result.error = FirstLine(message);
}

}  // namespace

TargetResult ProbeTarget(const Target& target, int repeat) {
  const auto start = std::chrono::steady_clock::now();
  TargetResult result;
  result.target = target;
  result.outcome = Outcome::Connected;
  std::vector<double> attach, begin, logoff;
  {
    oracle::TOracleSession session(nullptr);
    // No busy cursor: a batch run has no screen, and workers must not touch one.
    session.SetCursor(ui::crDefault);
    session.SetLogonUsername(target.username);
    session.SetLogonPassword(target.password);
    session.SetLogonDatabase(target.database);
    session.SetConnectAs(target.connectAs);
    for (int i = 0; i < repeat && result.outcome == Outcome::Connected; ++i) {
      ++result.logons;
      try {
        session.LogOn();
      } catch (const oracle::EOracleError& e) {
        fail(result, e.ErrorCode(), e.Message());
      } catch (const std::exception& e) {
        fail(result, 0, e.what());
      }
      const oracle::TLogonTimings& t = session.LastLogonTimings();
      if (t.attachServer >= 0) attach.push_back(t.attachServer);
      if (t.beginSession >= 0) begin.push_back(t.beginSession);
      if (result.outcome != Outcome::Connected) break;
      if (!session.Connected()) {
        fail(result, 0, "the session did not connect");
        break;
      }
      if (result.serverVersion.empty()) result.serverVersion = session.ServerVersion();
      if (!session.LogonWarning().empty()) result.warning = FirstLine(session.LogonWarning());
      const auto logoffStart = std::chrono::steady_clock::now();
      try {
        session.LogOff();
      } catch (const oracle::EOracleError& e) {
        fail(result, e.ErrorCode(), e.Message());
      } catch (const std::exception& e) {
        fail(result, 0, e.what());
      }
      logoff.push_back(millisecondsSince(logoffStart));
    }
  }
  result.attach = PhaseStats::Of(std::move(attach));
  result.session = PhaseStats::Of(std::move(begin));
  result.logoff = PhaseStats::Of(std::move(logoff));
  result.elapsedMs = millisecondsSince(start);
  return result;
}

}  // namespace app
