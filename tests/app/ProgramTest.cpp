// dblogon as a process: the exit status and the words a user sees for the ways a start can go
// wrong before any dialog.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

using testing::HasSubstr;
using testing::Not;

struct ProgramRun {
  int exitCode = -1;
  std::string output;  // stdout and stderr together
};

// Runs the program through the shell with `environment` (VAR=value ...) before it, stdin empty.
ProgramRun run(const std::string& environment, const std::string& arguments) {
  const std::string command = "env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u DISPLAY " +
                              environment + " '" DBLOGON_PROGRAM "' " + arguments +
                              " </dev/null 2>&1";
  ProgramRun result;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
  const int status = ::pclose(pipe);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}

std::string unusedXDisplay() {
  for (int n = 917;; ++n)
    if (!std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(n)))
      return ":" + std::to_string(n);
}

TEST(Program, UsageErrorsExitTwoWithTheProblemAndTheUsage) {
  const char* const cases[][2] = {
      {"--batch --diagnose", "--batch and --diagnose cannot be used together"},
      {"--gui --console", "--gui and --console cannot be used together"},
      {"-v", "unknown option -v"},
      {"scott/tiger@DEMO", "'scott/tiger@DEMO' is neither an option nor a setting"},
      {"UserId=a/b@c UserId=d/e@f", "UserId= is given 2 times"},
  };
  for (const auto& [arguments, problem] : cases) {
    SCOPED_TRACE(arguments);
    const ProgramRun r = run("", arguments);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_THAT(r.output, HasSubstr(std::string("dblogon: ") + problem));
    EXPECT_THAT(r.output, HasSubstr("Usage: dblogon"));
  }
}

TEST(Program, GuiWithoutAReachableDisplayIsAUsageError) {
  const std::string display = unusedXDisplay();
  const ProgramRun r = run("DISPLAY=" + display, "--gui");
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_THAT(r.output, HasSubstr("--gui needs a display that can be opened: DISPLAY=" + display +
                                  " cannot be opened"));
}

TEST(Program, AnUnreachableDisplayFallsBackToTheTerminal) {
  const std::string display = unusedXDisplay();
  for (const std::string& environment :
       {"DISPLAY=" + display,
        std::string("WAYLAND_DISPLAY=wayland-nowhere XDG_RUNTIME_DIR=/nonexistent")}) {
    SCOPED_TRACE(environment);
    const ProgramRun r = run(environment, "");
    EXPECT_EQ(r.exitCode, 0);  // the terminal dialogs ran and ended at the end of input
    EXPECT_THAT(r.output, HasSubstr("cannot be opened"));
    EXPECT_THAT(r.output, HasSubstr("; using the terminal"));
    EXPECT_THAT(r.output, HasSubstr("== Oracle Logon =="));
    EXPECT_THAT(r.output, Not(HasSubstr("platform plugin")));
  }
}

TEST(Program, VersionNamesProgramAndLayerAndSaysWhenNoClientLoads) {
  const ProgramRun r =
      run("ORACLE_HOME=/nonexistent LD_LIBRARY_PATH= PATH=/usr/bin:/bin", "--version");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_THAT(r.output, testing::ContainsRegex("^dblogon [0-9]+\\.[0-9]+\n"
                                               "Oracle access layer [0-9]+\\.[0-9]+\n"
                                               "Oracle client: none loaded"));
}

}  // namespace
