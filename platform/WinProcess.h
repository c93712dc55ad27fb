// Environment, arguments and current directory of this process through the wide Win32 calls.
#pragma once

#include <mutex>

#include "platform/Process.h"

namespace platform {

// Texts are UTF-8 on the port's side, UTF-16 towards Windows, so names and values outside the
// ANSI code page survive. An empty value is a set variable, as on POSIX. The arguments are the
// program's own command line split as the C run-time splits it (CommandLineToArgvW), until
// main hands over others with setArguments.
class WinProcess : public Process {
 public:
  WinProcess();

  std::optional<std::string> getEnv(std::string_view name) const override;
  // An empty name or one holding '=' is ignored, as on POSIX.
  void setEnv(std::string_view name, std::string_view value) override;

  std::vector<std::string> arguments() const override;
  void setArguments(std::vector<std::string> args) override;

  std::string currentDirectory() const override;
  bool setCurrentDirectory(const std::string& path) override;

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> arguments_;
};

// The program's command line as UTF-8 arguments, the program's own path first.
std::vector<std::string> commandLineArguments();

}  // namespace platform
