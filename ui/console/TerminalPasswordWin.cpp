// The console is opened by name (CONIN$, CONOUT$) so that a redirected standard input still leaves
// the prompt on the screen; echo is off from before the prompt to the end of the read. The text
// goes through the wide console calls, so a password outside the console's code page survives.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <iterator>

#include "ui/console/TerminalPassword.h"
#include "ui/console/internal/EchoOff.h"

namespace ui::console {
namespace {

class ConsoleFile {
 public:
  explicit ConsoleFile(const wchar_t* name)
      : handle_(::CreateFileW(name, GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                              nullptr)) {}
  ~ConsoleFile() {
    if (fd_ >= 0) {
      ::_close(fd_);  // closes the handle with it
    } else if (handle_ != INVALID_HANDLE_VALUE) {
      ::CloseHandle(handle_);
    }
  }
  ConsoleFile(const ConsoleFile&) = delete;
  ConsoleFile& operator=(const ConsoleFile&) = delete;
  HANDLE handle() const { return handle_; }
  // A C run-time descriptor over the handle, for EchoOff.
  int fd() {
    if (fd_ < 0 && handle_ != INVALID_HANDLE_VALUE)
      fd_ = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle_), _O_RDONLY);
    return fd_;
  }

 private:
  HANDLE handle_;
  int fd_ = -1;
};

std::wstring wideOf(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int length =
      ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                        length);
  return wide;
}

std::string utf8Of(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int length = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(length), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), length,
                        nullptr, nullptr);
  return utf8;
}

}  // namespace

std::optional<std::string> ReadPasswordFromTerminal(const std::string& prompt) {
  ConsoleFile input(L"CONIN$");
  ConsoleFile output(L"CONOUT$");
  if (input.handle() == INVALID_HANDLE_VALUE || output.handle() == INVALID_HANDLE_VALUE)
    return std::nullopt;
  // Echo goes off before the prompt shows: what is typed (or pasted) at once must not echo.
  EchoOff quiet(input.fd());
  const std::wstring widePrompt = wideOf(prompt);
  DWORD written = 0;
  if (::WriteConsoleW(output.handle(), widePrompt.data(), static_cast<DWORD>(widePrompt.size()),
                      &written, nullptr) == 0) {
    return std::nullopt;
  }
  std::wstring line;
  wchar_t buffer[256];
  for (;;) {
    DWORD read = 0;
    if (::ReadConsoleW(input.handle(), buffer, static_cast<DWORD>(std::size(buffer)), &read,
                       nullptr) == 0) {
      return std::nullopt;
    }
    if (read == 0) {
      if (line.empty()) return std::nullopt;
      break;
    }
    line.append(buffer, read);
    if (line.find(L'\n') != std::wstring::npos) break;
  }
  const std::size_t end = line.find_first_of(L"\r\n");
  if (end != std::wstring::npos) line.erase(end);
  return utf8Of(line);
}

}  // namespace ui::console
