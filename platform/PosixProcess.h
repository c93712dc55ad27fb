// Environment, arguments and current directory of this process through the C library.
#pragma once

#include <mutex>

#include "platform/Process.h"

namespace platform {

// The arguments are not known to the C library: the program's main hands them over once with
// setArguments (tests replace them the same way). Thread-safe except that setenv, as everywhere,
// races with getenv calls made directly by other code.
class PosixProcess : public Process {
 public:
  std::optional<std::string> getEnv(std::string_view name) const override;
  // An empty name or one holding '=' is ignored (the C library would refuse it).
  void setEnv(std::string_view name, std::string_view value) override;

  std::vector<std::string> arguments() const override;
  void setArguments(std::vector<std::string> args) override;

  std::string currentDirectory() const override;
  bool setCurrentDirectory(const std::string& path) override;

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> arguments_;
};

}  // namespace platform
