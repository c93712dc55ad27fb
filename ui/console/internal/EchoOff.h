// Switches a terminal's echo off for its lifetime, so a typed password does not show.
#pragma once

#include <termios.h>

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
  termios saved_{};
};

}  // namespace ui::console
