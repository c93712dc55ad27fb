// Connecting to the display the way the windows front end would, and letting go again.
#include "app/DisplayProbe.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cerrno>
#include <cstring>

#include "platform/Process.h"

namespace app {
namespace {

std::string envOf(const platform::Process& process, const char* name) {
  return process.getEnv(name).value_or("");
}

// The compositor's socket: WAYLAND_DISPLAY as a path when absolute, else in XDG_RUNTIME_DIR.
bool waylandReachable(const platform::Process& process, const std::string& display,
                      std::string& reason) {
  std::string path = display;
  if (path.front() != '/') {
    const std::string runtimeDir = envOf(process, "XDG_RUNTIME_DIR");
    if (runtimeDir.empty()) {
      reason = "WAYLAND_DISPLAY=" + display + " cannot be opened: XDG_RUNTIME_DIR is not set";
      return false;
    }
    path = runtimeDir + "/" + display;
  }
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) {
    reason = "WAYLAND_DISPLAY=" + display + " cannot be opened: the path is too long";
    return false;
  }
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const bool connected =
      fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  const int error = errno;
  if (fd >= 0) ::close(fd);
  if (!connected)
    reason =
        "WAYLAND_DISPLAY=" + display + " cannot be opened: " + path + ": " + std::strerror(error);
  return connected;
}

// The whole X connection set-up, authorization included: a socket alone would accept a server
// that then turns the client away.
bool x11Reachable(const std::string& display, std::string& reason, std::shared_ptr<void>& held) {
  xcb_connection_t* connection = xcb_connect(display.c_str(), nullptr);
  const int error = xcb_connection_has_error(connection);
  if (error == 0) {
    held.reset(connection, [](void* c) { xcb_disconnect(static_cast<xcb_connection_t*>(c)); });
    return true;
  }
  xcb_disconnect(connection);
  const char* why = error == XCB_CONN_CLOSED_PARSE_ERR ? "the name is not a display name"
                    : error == XCB_CONN_CLOSED_INVALID_SCREEN
                        ? "there is no such screen"
                        : "no X server answers there or it refused the connection";
  reason = "DISPLAY=" + display + " cannot be opened: " + why;
  return false;
}

}  // namespace

DisplayProbe ProbeDisplay(const platform::Process& process) {
  DisplayProbe probe;
  const std::string platformName = envOf(process, "QT_QPA_PLATFORM");
  const std::string wayland = envOf(process, "WAYLAND_DISPLAY");
  const std::string x11 = envOf(process, "DISPLAY");
  const bool wantsWayland = platformName.rfind("wayland", 0) == 0;
  const bool wantsX11 = platformName.rfind("xcb", 0) == 0;
  if (!platformName.empty() && !wantsWayland && !wantsX11) {
    probe.usable = probe.named = true;
    return probe;
  }
  probe.named = !wayland.empty() || !x11.empty();

  std::string reasons;
  const auto note = [&reasons](const std::string& reason) {
    reasons += (reasons.empty() ? "" : "; ") + reason;
  };
  std::string reason;
  if (!wantsX11 && !wayland.empty()) {
    if (waylandReachable(process, wayland, reason)) {
      probe.usable = true;
      return probe;
    }
    note(reason);
  }
  if (!wantsWayland && !x11.empty()) {
    if (x11Reachable(x11, reason, probe.connection)) {
      probe.usable = true;
      return probe;
    }
    note(reason);
  }
  if (reasons.empty()) {
    reasons = wantsWayland ? "WAYLAND_DISPLAY is not set"
              : wantsX11   ? "DISPLAY is not set"
                           : "neither DISPLAY nor WAYLAND_DISPLAY is set";
  }
  probe.reason = reasons;
  return probe;
}

}  // namespace app
