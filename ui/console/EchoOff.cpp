// Echo control through termios; the saved settings come back also when reading throws.
#include "ui/console/internal/EchoOff.h"

#include <unistd.h>

namespace ui::console {

EchoOff::EchoOff(int fd) : fd_(fd) {
  if (fd_ < 0 || ::isatty(fd_) == 0 || ::tcgetattr(fd_, &saved_) != 0) return;
  termios quiet = saved_;
  quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
  // The line editing stays on (ICANON), and Enter is still echoed so the cursor moves on.
  quiet.c_lflag |= ECHONL;
  active_ = ::tcsetattr(fd_, TCSANOW, &quiet) == 0;
}

EchoOff::~EchoOff() {
  if (active_) ::tcsetattr(fd_, TCSANOW, &saved_);
}

}  // namespace ui::console
