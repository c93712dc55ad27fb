// getenv/setenv, getcwd/chdir and the arguments main hands over.
#include "platform/PosixProcess.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace platform {
namespace {

// getenv and setenv are not safe against each other; this lock covers the calls made here.
std::mutex& environmentLock() {
  static std::mutex lock;
  return lock;
}

}  // namespace

std::optional<std::string> PosixProcess::getEnv(std::string_view name) const {
  const std::string key(name);
  if (key.empty() || key.find('=') != std::string::npos) return std::nullopt;
  std::lock_guard guard(environmentLock());
  const char* value = std::getenv(key.c_str());
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

void PosixProcess::setEnv(std::string_view name, std::string_view value) {
  const std::string key(name);
  if (key.empty() || key.find('=') != std::string::npos) return;
  std::lock_guard guard(environmentLock());
  ::setenv(key.c_str(), std::string(value).c_str(), 1);
}

std::vector<std::string> PosixProcess::arguments() const {
  std::lock_guard guard(mutex_);
  return arguments_;
}

void PosixProcess::setArguments(std::vector<std::string> args) {
  std::lock_guard guard(mutex_);
  arguments_ = std::move(args);
}

std::string PosixProcess::currentDirectory() const {
  std::string buffer(256, '\0');
  for (;;) {
    if (::getcwd(buffer.data(), buffer.size()) != nullptr) {
      buffer.resize(std::char_traits<char>::length(buffer.c_str()));
      return buffer;
    }
    if (errno != ERANGE) return {};
    buffer.resize(buffer.size() * 2);
  }
}

bool PosixProcess::setCurrentDirectory(const std::string& path) {
  return !path.empty() && ::chdir(path.c_str()) == 0;
}

}  // namespace platform
