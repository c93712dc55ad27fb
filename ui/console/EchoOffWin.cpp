// Echo control of a Windows console through SetConsoleMode; a console control handler puts the
// mode back when Ctrl+C, Ctrl+Break or closing the window ends the program at the prompt.
#include <io.h>
#include <windows.h>

#include <atomic>

#include "ui/console/internal/EchoOff.h"

namespace ui::console {
namespace {

// What the control handler needs to put the console back. Only one password is read at a time,
// so one slot serves. The handler runs on a thread of its own, hence the atomics.
std::atomic<HANDLE> interruptedConsole{nullptr};
std::atomic<DWORD> interruptedMode{0};

BOOL WINAPI RestoreEchoOnControl(DWORD) {
  const HANDLE console = interruptedConsole.load();
  if (console != nullptr) ::SetConsoleMode(console, interruptedMode.load());
  // Not handled: the next handler (the default one, which ends the process) runs.
  return FALSE;
}

}  // namespace

EchoOff::EchoOff(int fd) : fd_(fd) {
  if (fd_ < 0) return;
  const intptr_t osHandle = ::_get_osfhandle(fd_);
  if (osHandle == -1 || osHandle == -2) return;
  const HANDLE console = reinterpret_cast<HANDLE>(osHandle);
  DWORD mode = 0;
  // A pipe or a file (redirected input) has no console mode: nothing to switch.
  if (::GetConsoleMode(console, &mode) == 0) return;
  savedMode_ = mode;
  console_ = console;
  interruptedMode = mode;
  interruptedConsole = console;
  ::SetConsoleCtrlHandler(RestoreEchoOnControl, TRUE);
  // Line input stays on, so the user can still correct what they type.
  active_ = ::SetConsoleMode(console, mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT)) != 0;
  if (!active_) {
    ::SetConsoleCtrlHandler(RestoreEchoOnControl, FALSE);
    interruptedConsole = nullptr;
  }
}

EchoOff::~EchoOff() {
  if (!active_) return;
  ::SetConsoleMode(static_cast<HANDLE>(console_), savedMode_);
  // The console does not echo the Enter that ended the line either; the cursor moves on here, as
  // a terminal's ECHONL does, so whatever follows starts on a line of its own.
  const HANDLE output = ::CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
  if (output != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    ::WriteConsoleW(output, L"\r\n", 2, &written, nullptr);
    ::CloseHandle(output);
  }
  ::SetConsoleCtrlHandler(RestoreEchoOnControl, FALSE);
  interruptedConsole = nullptr;
}

}  // namespace ui::console
