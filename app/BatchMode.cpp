// Choosing between the one-logon batch test and the list run.
#include "app/BatchMode.h"

#include <iostream>

#include "app/Batch.h"
#include "app/ListRun.h"
#include "app/PasswordSupply.h"
#include "app/Target.h"
#include "oracle/session/ConnectString.h"
#include "platform/Process.h"
#include "platform/Services.h"
#include "ui/console/TerminalPassword.h"

namespace app {
namespace {

bool isUserId(const std::string& argument) {
  const std::size_t eq = argument.find('=');
  return eq != std::string::npos && oracle::UpperCaseAscii(argument.substr(0, eq)) == "USERID";
}

}  // namespace

std::vector<std::string> UserIdValues(const std::vector<std::string>& passOn) {
  std::vector<std::string> values;
  for (const std::string& argument : passOn)
    if (isUserId(argument)) values.push_back(argument.substr(argument.find('=') + 1));
  return values;
}

int RunBatchMode(const std::vector<std::string>& passOn, const BatchOptions& options) {
  const std::vector<std::string> userIds = UserIdValues(passOn);
  if (options.listRun || userIds.size() > 1) return RunTargetListProgram(userIds, options);

  if (userIds.size() == 1) {
    std::optional<Target> target = ParseTarget(userIds.front(), "UserId=");
    if (target && target->NeedsPassword()) {
      std::vector<Target> one{*target};
      PasswordSources sources;
      sources.fromStandardInput = options.passwordFromStdin;
      sources.standardInput = &std::cin;
      sources.environment = platform::process().getEnv("DBLOGON_PASSWORD");
      sources.askTerminal = &ui::console::ReadPasswordFromTerminal;
      if (const std::string problem = SupplyPasswords(one, sources); !problem.empty()) {
        std::cerr << "dblogon: " << problem << '\n';
        return 2;
      }
      oracle::TConnectStringParts parts{one.front().username, one.front().password,
                                        one.front().database,
                                        oracle::ConnectAsText(one.front().connectAs)};
      std::vector<std::string> arguments = passOn;
      for (std::string& argument : arguments)
        if (isUserId(argument)) argument = "UserId=" + oracle::ComposeConnectString(parts);
      platform::process().setArguments(arguments);
    }
  }
  return RunBatch(std::cout, std::cerr);
}

}  // namespace app
