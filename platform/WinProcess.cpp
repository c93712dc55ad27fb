// GetEnvironmentVariableW, CommandLineToArgvW, GetCurrentDirectoryW.
#include "platform/WinProcess.h"

#include <windows.h>
// shellapi.h needs windows.h before it.
#include <shellapi.h>

#include "platform/internal/WideText.h"

namespace platform {
namespace {

bool acceptableName(std::string_view name) {
  return !name.empty() && name.find('=') == std::string_view::npos;
}

}  // namespace

std::vector<std::string> commandLineArguments() {
  std::vector<std::string> args;
  int count = 0;
  wchar_t** list = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (list == nullptr) return args;
  for (int i = 0; i < count; ++i) args.push_back(internal::fromWide(list[i]));
  ::LocalFree(list);
  return args;
}

WinProcess::WinProcess() {
  std::vector<std::string> args = commandLineArguments();
  if (!args.empty()) args.erase(args.begin());
  arguments_ = std::move(args);
}

std::optional<std::string> WinProcess::getEnv(std::string_view name) const {
  if (!acceptableName(name)) return std::nullopt;
  const std::wstring wideName = internal::toWide(name);
  std::wstring buffer(256, L'\0');
  for (;;) {
    // A set but empty variable gives 0 with no error; a missing one gives 0 and
    // ERROR_ENVVAR_NOT_FOUND.
    ::SetLastError(ERROR_SUCCESS);
    const DWORD length = ::GetEnvironmentVariableW(wideName.c_str(), buffer.data(),
                                                   static_cast<DWORD>(buffer.size()));
    if (length == 0) {
      if (::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
      return std::string();
    }
    if (length < buffer.size()) return internal::fromWide(std::wstring_view(buffer.data(), length));
    buffer.resize(length);
  }
}

void WinProcess::setEnv(std::string_view name, std::string_view value) {
  if (!acceptableName(name)) return;
  ::SetEnvironmentVariableW(internal::toWide(name).c_str(), internal::toWide(value).c_str());
}

std::vector<std::string> WinProcess::arguments() const {
  std::lock_guard guard(mutex_);
  return arguments_;
}

void WinProcess::setArguments(std::vector<std::string> args) {
  std::lock_guard guard(mutex_);
  arguments_ = std::move(args);
}

std::string WinProcess::currentDirectory() const {
  const DWORD needed = ::GetCurrentDirectoryW(0, nullptr);
  if (needed == 0) return {};
  std::wstring buffer(needed, L'\0');
  const DWORD length = ::GetCurrentDirectoryW(needed, buffer.data());
  if (length == 0 || length >= needed) return {};
  return internal::fromWide(std::wstring_view(buffer.data(), length));
}

bool WinProcess::setCurrentDirectory(const std::string& path) {
  return !path.empty() && ::SetCurrentDirectoryW(internal::toWide(path).c_str()) != 0;
}

}  // namespace platform
