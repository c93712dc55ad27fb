// Switches a terminal's echo off for its lifetime, so a typed password does not show. While it is
// off, an interrupting signal (SIGINT, SIGTERM, SIGHUP, SIGQUIT) turns echo back on before the
// signal ends the program.
#pragma once

#include <signal.h>
#include <termios.h>

#include <array>

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
  static constexpr std::array<int, 4> kEndingSignals{SIGINT, SIGTERM, SIGHUP, SIGQUIT};

  void RestoreSignals();

  int fd_;
  bool active_ = false;
  termios saved_{};
  std::array<struct sigaction, kEndingSignals.size()> previousActions_{};
};

}  // namespace ui::console
