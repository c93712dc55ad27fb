// Whether the windows front end can really open a display, found out before Qt starts: Qt ends
// the process when its platform plugin cannot connect, so a display that is named but not there
// has to be caught here for the program to fall back to the terminal.
#pragma once

#include <memory>
#include <string>

namespace platform {
class Process;
}

namespace app {

struct DisplayProbe {
  bool usable = false;
  bool named = false;  // a display was named at all (DISPLAY, WAYLAND_DISPLAY, QT_QPA_PLATFORM)
  std::string reason;  // when not usable: what was tried, in one line
  // The probe's own X connection, to be held until the windows have connected: an X server may
  // turn away a client that connects while it is still closing the one before.
  std::shared_ptr<void> connection;
};

// Tries what Qt would use: the Wayland socket of WAYLAND_DISPLAY and the X server of DISPLAY,
// by connecting to them. A QT_QPA_PLATFORM that names neither (offscreen, vnc, ...) is taken as
// usable: Qt is then told where to draw.
DisplayProbe ProbeDisplay(const platform::Process& process);

}  // namespace app
