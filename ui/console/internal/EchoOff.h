// Switches a terminal's echo off for its lifetime, so a typed password does not show. While it is
// off, an interrupting signal (SIGINT, SIGTERM, SIGHUP, SIGQUIT; on Windows the console's control
// events) turns echo back on before the signal ends the program.
#pragma once

#ifndef _WIN32
#include <signal.h>
#include <termios.h>

#include <array>
#endif

namespace ui::console {

class EchoOff {
 public:
  // fd < 0, or an fd that is not a terminal, changes nothing (active() is false then).
  explicit EchoOff(int fd);
  ~EchoOff();
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;

  bool active() const { return active_; }

 private:
  int fd_;
  bool active_ = false;
#ifdef _WIN32
  // The console input handle and its mode before; Ctrl+C and Ctrl+Break, closing the console
  // window, logoff and shutdown restore the mode through a console control handler.
  void* console_ = nullptr;
  unsigned long savedMode_ = 0;
#else
  static constexpr std::array<int, 4> kEndingSignals{SIGINT, SIGTERM, SIGHUP, SIGQUIT};

  void RestoreSignals();

  termios saved_{};
  std::array<struct sigaction, kEndingSignals.size()> previousActions_{};
#endif
};

}  // namespace ui::console
