// An environment of the test's own, so locale and path look-ups can be steered without touching
// the real one.
#pragma once

#include <map>

#include "platform/Process.h"

namespace platform::testing {

class FakeProcess : public Process {
 public:
  std::map<std::string, std::string, std::less<>> env;
  std::vector<std::string> args;
  std::string cwd = "/";

  std::optional<std::string> getEnv(std::string_view name) const override {
    const auto it = env.find(name);
    if (it == env.end()) return std::nullopt;
    return it->second;
  }
  void setEnv(std::string_view name, std::string_view value) override {
    env[std::string(name)] = std::string(value);
  }
  std::vector<std::string> arguments() const override { return args; }
  void setArguments(std::vector<std::string> a) override { args = std::move(a); }
  std::string currentDirectory() const override { return cwd; }
  bool setCurrentDirectory(const std::string& path) override {
    cwd = path;
    return true;
  }
};

}  // namespace platform::testing
