// Environment variables, the command line and the current directory of this process.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class Process {
 public:
  virtual ~Process() = default;

  // nullopt when the variable is not set (an empty value is a set variable).
  virtual std::optional<std::string> getEnv(std::string_view name) const = 0;
  virtual void setEnv(std::string_view name, std::string_view value) = 0;

  // The program arguments after the program's own path.
  virtual std::vector<std::string> arguments() const = 0;
  virtual void setArguments(std::vector<std::string> args) = 0;

  virtual std::string currentDirectory() const = 0;
  // false when the directory cannot be entered; the current directory is then unchanged.
  virtual bool setCurrentDirectory(const std::string& path) = 0;
};

}  // namespace platform
