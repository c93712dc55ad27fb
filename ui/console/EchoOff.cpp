// Echo control through termios; the saved settings come back also when reading throws, and when
// the program is interrupted (Ctrl+C at the password prompt must not leave the shell silent).
#include "ui/console/internal/EchoOff.h"

#include <signal.h>
#include <unistd.h>

namespace ui::console {
namespace {

// What the signal handler needs to put the terminal back. Only one password is read at a time,
// so one slot serves; the handler reads it without locks, as a handler must.
struct InterruptedEcho {
  volatile sig_atomic_t fd = -1;
  termios saved{};
};
InterruptedEcho interruptedEcho;

void RestoreEchoAndEnd(int signalNumber) {
  const int fd = interruptedEcho.fd;
  if (fd >= 0) ::tcsetattr(fd, TCSANOW, &interruptedEcho.saved);
  // The signal's own ending follows, so the parent still sees the program killed by it.
  ::signal(signalNumber, SIG_DFL);
  ::raise(signalNumber);
}

}  // namespace

EchoOff::EchoOff(int fd) : fd_(fd) {
  if (fd_ < 0 || ::isatty(fd_) == 0 || ::tcgetattr(fd_, &saved_) != 0) return;
  termios quiet = saved_;
  quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
  // The line editing stays on (ICANON), and Enter is still echoed so the cursor moves on.
  quiet.c_lflag |= ECHONL;

  interruptedEcho.saved = saved_;
  interruptedEcho.fd = fd_;
  struct sigaction restore {};
  restore.sa_handler = RestoreEchoAndEnd;
  ::sigemptyset(&restore.sa_mask);
  for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
    ::sigaction(kEndingSignals[i], nullptr, &previousActions_[i]);
    // A signal the caller chose to ignore stays ignored.
    if (previousActions_[i].sa_handler != SIG_IGN)
      ::sigaction(kEndingSignals[i], &restore, nullptr);
  }

  active_ = ::tcsetattr(fd_, TCSANOW, &quiet) == 0;
  if (!active_) RestoreSignals();
}

EchoOff::~EchoOff() {
  if (!active_) return;
  ::tcsetattr(fd_, TCSANOW, &saved_);
  RestoreSignals();
}

void EchoOff::RestoreSignals() {
  for (std::size_t i = 0; i < kEndingSignals.size(); ++i)
    ::sigaction(kEndingSignals[i], &previousActions_[i], nullptr);
  interruptedEcho.fd = -1;
}

}  // namespace ui::console
