// The order of the password sources, and one question per account name on the terminal.
#include "app/PasswordSupply.h"

#include <istream>
#include <map>

#include "oracle/session/ConnectString.h"

namespace app {

std::string SupplyPasswords(std::vector<Target>& targets, const PasswordSources& sources) {
  bool needed = false;
  for (const Target& t : targets) needed = needed || t.NeedsPassword();
  if (!needed) return {};

  std::optional<std::string> common;
  if (sources.fromStandardInput) {
    std::string line;
    if (sources.standardInput == nullptr || !std::getline(*sources.standardInput, line))
      return "--password-stdin: standard input holds no password";
    if (!line.empty() && line.back() == '\r') line.pop_back();
    common = line;
  } else if (sources.environment && !sources.environment->empty()) {
    common = sources.environment;
  }

  std::map<std::string, std::string> asked;  // upper-cased user name -> password
  for (Target& t : targets) {
    if (!t.NeedsPassword()) continue;
    if (common) {
      t.password = *common;
      continue;
    }
    const std::string key = oracle::UpperCaseAscii(t.username);
    auto found = asked.find(key);
    if (found == asked.end()) {
      std::optional<std::string> answer;
      if (sources.askTerminal) answer = sources.askTerminal("Password for " + t.username + ": ");
      if (!answer)
        return "no password for " + t.Display() +
               ": give it with --password-stdin or DBLOGON_PASSWORD, or run dblogon on a terminal";
      found = asked.emplace(key, std::move(*answer)).first;
    }
    t.password = found->second;
  }
  return {};
}

}  // namespace app
