// Passwords for the targets that name an account without one, from anywhere but the command
// line: standard input (--password-stdin), the environment (DBLOGON_PASSWORD), or the terminal.
#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "app/Target.h"

namespace app {

struct PasswordSources {
  // --password-stdin: the first line of `standardInput` is the password of every such target.
  bool fromStandardInput = false;
  std::istream* standardInput = nullptr;
  // DBLOGON_PASSWORD, when set and not empty.
  std::optional<std::string> environment{};
  // Asks on the terminal without echo; nullopt when there is no terminal.
  std::function<std::optional<std::string>(const std::string& prompt)> askTerminal{};
};

// Gives every target that needs a password one: the one of standard input, else of the
// environment, else asked on the terminal once for each user name (letter case ignored).
// Returns an error text when a password is needed and none can be had; it never holds a password.
std::string SupplyPasswords(std::vector<Target>& targets, const PasswordSources& sources);

}  // namespace app
