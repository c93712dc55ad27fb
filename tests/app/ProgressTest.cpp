// Progress on standard error, and colour only for a terminal without NO_COLOR.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#ifndef _WIN32
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>
#endif

#include <sstream>

#include "app/Progress.h"
#include "app/ResultTable.h"

namespace {

using app::Outcome;
using app::TargetResult;

TargetResult finished(const char* text, Outcome outcome, const char* error = "") {
  TargetResult r;
  r.target = *app::ParseTarget(text, "t");
  r.outcome = outcome;
  r.error = error;
  r.elapsedMs = 1.25;
  return r;
}

TEST(Progress, ALinePerTargetWhenNotATerminal) {
  std::ostringstream err;
  {
    app::Progress progress(err, 2, false);
    progress.Finished(finished("scott/tiger@A", Outcome::Connected));
    progress.Finished(
        finished("scott/tiger@B", Outcome::Failed, "ORA-12154: TNS:could not resolve"));
  }
  EXPECT_EQ(err.str(),
            "[1/2] scott@A: connected (1.2 ms)\n"
            "[2/2] scott@B: failed: ORA-12154: TNS:could not resolve (1.2 ms)\n");
}

TEST(Progress, OneBarRedrawnInPlaceAndTakenAwayOnATerminal) {
  std::ostringstream err;
  {
    app::Progress progress(err, 4, true);
    progress.Finished(finished("scott/tiger@A", Outcome::Connected));
    progress.Finished(finished("scott/tiger@B", Outcome::TimedOut, "no answer within 1 s"));
  }
  EXPECT_EQ(err.str(),
            "\r[#######                       ] 1/4"
            "\r[###############               ] 2/4, 1 not connected"
            "\r\033[K");
}

// Colour needs a terminal, made here as a POSIX pseudo-terminal; a Windows console cannot be
// made without a window, so Windows has no counterpart of this case yet.
#ifndef _WIN32
// The environment variable for the test's span only.
class ScopedNoColor {
 public:
  explicit ScopedNoColor(const char* value) {
    if (const char* old = std::getenv("NO_COLOR")) previous_ = old;
    if (value != nullptr)
      ::setenv("NO_COLOR", value, 1);
    else
      ::unsetenv("NO_COLOR");
  }
  ~ScopedNoColor() {
    if (previous_)
      ::setenv("NO_COLOR", previous_->c_str(), 1);
    else
      ::unsetenv("NO_COLOR");
  }

 private:
  std::optional<std::string> previous_;
};

TEST(Colour, OnlyOnATerminalAndNeverWithNoColor) {
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(::grantpt(master), 0);
  ASSERT_EQ(::unlockpt(master), 0);
  const int terminal = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
  ASSERT_GE(terminal, 0);
  const int file = ::open("/dev/null", O_WRONLY);
  {
    ScopedNoColor unset(nullptr);
    EXPECT_TRUE(app::ColourWanted(terminal));
    EXPECT_FALSE(app::ColourWanted(file));
  }
  {
    ScopedNoColor empty("");  // set but empty: no effect
    EXPECT_TRUE(app::ColourWanted(terminal));
  }
  {
    ScopedNoColor set("1");
    EXPECT_FALSE(app::ColourWanted(terminal));
  }
  ::close(file);
  ::close(terminal);
  ::close(master);
}
#endif  // _WIN32

}  // namespace
