// JSON through nlohmann::json; fields keep the documented order.
#include "app/ResultJson.h"

#include <cmath>
#include <nlohmann/json.hpp>

namespace app {
namespace {

using Json = nlohmann::ordered_json;

double rounded(double milliseconds) {
  return std::round(milliseconds * 1000.0) / 1000.0;
}

Json phase(const PhaseStats& stats) {
  if (stats.count == 0) return nullptr;
  return Json{
      {"min", rounded(stats.min)}, {"median", rounded(stats.median)}, {"max", rounded(stats.max)}};
}

Json textOrNull(const std::string& text) {
  if (text.empty()) return nullptr;
  return text;
}

const char* connectAsName(oracle::TConnectAsOption option) {
  switch (option) {
    case oracle::caSYSDBA:
      return "sysdba";
    case oracle::caSYSOPER:
      return "sysoper";
    case oracle::caNormal:
      break;
  }
  return "normal";
}

}  // namespace

std::string ResultJsonLine(const TargetResult& r) {
  Json line;
  line["target"] = r.target.Display();
  line["user"] = r.target.username;
  line["database"] = r.target.database;
  line["connect_as"] = connectAsName(r.target.connectAs);
  line["source"] = r.target.origin;
  line["outcome"] = OutcomeName(r.outcome);
  line["connected"] = r.outcome == Outcome::Connected;
  line["error_code"] = r.errorCode != 0 ? Json(r.errorCode) : Json(nullptr);
  line["error"] = textOrNull(r.error);
  line["warning"] = textOrNull(r.warning);
  line["server_version"] = textOrNull(r.serverVersion);
  line["logons"] = r.logons;
  line["phases_ms"] =
      Json{{"attach", phase(r.attach)}, {"session", phase(r.session)}, {"logoff", phase(r.logoff)}};
  line["elapsed_ms"] = rounded(r.elapsedMs);
  // Text that is not valid UTF-8 (a server message in another character set) is replaced, not
  // allowed to abort the whole report.
  return line.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace app
