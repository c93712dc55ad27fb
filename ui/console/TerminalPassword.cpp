// The terminal is opened by name so that a redirected standard input still leaves the prompt on
// the screen; echo is off from before the prompt to the end of the read.
#include "ui/console/TerminalPassword.h"

#include <fcntl.h>
#include <unistd.h>

#include "ui/console/internal/EchoOff.h"

namespace ui::console {
namespace {

class TerminalFile {
 public:
  TerminalFile() : fd_(::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC)) {}
  ~TerminalFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  TerminalFile(const TerminalFile&) = delete;
  TerminalFile& operator=(const TerminalFile&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

std::optional<std::string> ReadPasswordFromTerminal(const std::string& prompt) {
  TerminalFile terminal;
  if (terminal.fd() < 0) return std::nullopt;
  // Echo goes off before the prompt shows: what is typed (or pasted) at once must not echo.
  EchoOff quiet(terminal.fd());
  if (::write(terminal.fd(), prompt.data(), prompt.size()) < 0) return std::nullopt;
  std::string line;
  char c = 0;
  for (;;) {
    const ssize_t n = ::read(terminal.fd(), &c, 1);
    if (n < 0) return std::nullopt;
    if (n == 0) {
      if (line.empty()) return std::nullopt;
      break;
    }
    if (c == '\n') break;
    line += c;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace ui::console
