// Reading targets from connect strings, a targets file and the configured net service names.
#include "app/Target.h"

#include <istream>

#include "oracle/client/NetServiceNames.h"
#include "oracle/session/ConnectString.h"

namespace app {
namespace {

std::string trim(const std::string& text) {
  std::size_t begin = 0, end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
  return text.substr(begin, end - begin);
}

bool knownConnectAs(const std::string& upper) {
  return upper.empty() || upper == "NORMAL" || upper == "SYSDBA" || upper == "SYSOPER";
}

}  // namespace

std::string FirstLine(const std::string& text) {
  const std::string kept = trim(text);
  std::string line;
  for (char c : kept) {
    if (c == '\r') continue;
    if (c == '\n') {
      // "Initialization error" is followed by its reason: both belong on the one line.
      if (line == "Initialization error") {
        line += ": ";
        continue;
      }
      break;
    }
    line += c;
  }
  return line;
}

std::string Target::Display() const {
  std::string text = External() ? "/" : username;
  if (!database.empty()) text += "@" + database;
  if (connectAs == oracle::caSYSDBA) text += " as sysdba";
  if (connectAs == oracle::caSYSOPER) text += " as sysoper";
  return text;
}

std::optional<Target> ParseTarget(const std::string& connectString, const std::string& origin) {
  const std::string text = trim(connectString);
  oracle::TConnectStringParts parts;
  const bool complete = oracle::ParseConnectString(text, parts);
  // "/" alone, or "/@db", is an external logon; "@db" alone names no account.
  const bool external = parts.Username.empty() && parts.Password.empty() && text.rfind('/', 0) == 0;
  if (text.empty() || (parts.Username.empty() && !external)) return std::nullopt;
  if (!complete && parts.Username.empty()) return std::nullopt;
  if (!knownConnectAs(parts.ConnectAs)) return std::nullopt;
  Target target;
  target.username = parts.Username;
  target.password = parts.Password;
  target.database = parts.Database;
  target.connectAs = oracle::ConnectAsFromText(parts.ConnectAs);
  target.origin = origin;
  return target;
}

TargetList ReadTargets(std::istream& in, const std::string& name) {
  TargetList list;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    const std::string text = trim(line);
    if (text.empty() || text[0] == '#') continue;
    const std::string origin = name + ":" + std::to_string(number);
    std::optional<Target> target = ParseTarget(text, origin);
    // The line itself is not quoted: it may hold a password.
    if (!target) {
      list.error = origin + ": not a connect string (user[/password][@database][ as sysdba])";
      list.targets.clear();
      return list;
    }
    list.targets.push_back(std::move(*target));
  }
  if (in.bad()) list.error = name + ": could not be read";
  return list;
}

TargetList AliasTargets(const std::string& account) {
  TargetList list;
  std::optional<Target> base = ParseTarget(account, "--all-aliases");
  if (!base || !base->database.empty()) {
    list.error = "--all-aliases needs an account without a database: user[/password][ as sysdba]";
    return list;
  }
  try {
    oracle::BuildAliasList();
  } catch (const std::exception& e) {
    list.error = FirstLine(e.what());
    return list;
  }
  const oracle::SortedNameList* aliases = oracle::GetAliasList();
  if (aliases == nullptr || aliases->empty()) {
    const std::string file = oracle::TNSNamesFile();
    list.error =
        "no net service names are configured" + (file.empty() ? std::string() : " in " + file);
    return list;
  }
  for (const std::string& alias : aliases->names()) {
    Target target = *base;
    target.database = alias;
    list.targets.push_back(std::move(target));
  }
  return list;
}

}  // namespace app
