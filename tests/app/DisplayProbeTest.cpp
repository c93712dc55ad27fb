// The display check before Qt starts: displays that are named but not there, and ones that are.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "app/DisplayProbe.h"
#include "platform/FakeProcess.h"
#include "support/TempFolder.h"

namespace {

using platform::testing::FakeProcess;
using testsupport::TempFolder;
using testing::HasSubstr;

// An X display number with no server behind it on this machine.
std::string unusedXDisplay() {
  for (int n = 917;; ++n)
    if (!std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(n)))
      return ":" + std::to_string(n);
}

// A listening Unix socket, as a compositor offers one.
class ListeningSocket {
 public:
  explicit ListeningSocket(const std::string& path) : fd_(::socket(AF_UNIX, SOCK_STREAM, 0)) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    EXPECT_EQ(::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(::listen(fd_, 1), 0);
  }
  ~ListeningSocket() { ::close(fd_); }

 private:
  int fd_;
};

TEST(DisplayProbe, NothingNamedIsTheTerminalsCase) {
  FakeProcess process;
  const app::DisplayProbe probe = app::ProbeDisplay(process);
  EXPECT_FALSE(probe.usable);
  EXPECT_FALSE(probe.named);
  EXPECT_EQ(probe.reason, "neither DISPLAY nor WAYLAND_DISPLAY is set");
}

TEST(DisplayProbe, DisplaysThatCannotBeOpened) {
  TempFolder runtime;
  const std::string x = unusedXDisplay();
  struct Case {
    std::map<std::string, std::string, std::less<>> env;
    std::vector<std::string> reasons;
  };
  const Case cases[] = {
      {{{"DISPLAY", x}}, {"DISPLAY=" + x + " cannot be opened: no X server answers"}},
      {{{"DISPLAY", "not a display"}}, {"DISPLAY=not a display cannot be opened"}},
      {{{"WAYLAND_DISPLAY", "wayland-9"}, {"XDG_RUNTIME_DIR", runtime.path()}},
       {"WAYLAND_DISPLAY=wayland-9 cannot be opened: " + runtime.path() + "/wayland-9"}},
      {{{"WAYLAND_DISPLAY", "wayland-9"}}, {"XDG_RUNTIME_DIR is not set"}},
      // Both named and neither there: both are reported.
      {{{"WAYLAND_DISPLAY", runtime.file("gone")}, {"DISPLAY", x}},
       {"WAYLAND_DISPLAY=" + runtime.file("gone"), "DISPLAY=" + x}},
      // Qt told to use X only: a working compositor does not count.
      {{{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", x}}, {"DISPLAY=" + x}},
      {{{"QT_QPA_PLATFORM", "wayland"}, {"DISPLAY", x}}, {"WAYLAND_DISPLAY is not set"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.env));
    FakeProcess process;
    process.env = c.env;
    const app::DisplayProbe probe = app::ProbeDisplay(process);
    EXPECT_FALSE(probe.usable);
    EXPECT_TRUE(probe.named);
    for (const std::string& reason : c.reasons) EXPECT_THAT(probe.reason, HasSubstr(reason));
  }
}

TEST(DisplayProbe, AReachableCompositorOrAnExplicitPlatformIsUsable) {
  TempFolder runtime;
  const ListeningSocket compositor(runtime.file("wayland-1"));
  FakeProcess process;
  process.env = {{"WAYLAND_DISPLAY", "wayland-1"},
                 {"XDG_RUNTIME_DIR", runtime.path()},
                 {"DISPLAY", unusedXDisplay()}};
  EXPECT_TRUE(app::ProbeDisplay(process).usable);

  FakeProcess offscreen;
  offscreen.env = {{"QT_QPA_PLATFORM", "offscreen"}};
  EXPECT_TRUE(app::ProbeDisplay(offscreen).usable);
}

}  // namespace
