// dblogon as a process: the exit status and the words a user sees for the ways a start can go
// wrong before any dialog.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
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

// dblogon in a terminal of its own: what it writes, and keys typed into it.
class TerminalSession {
 public:
  explicit TerminalSession(std::vector<std::string> arguments) {
    pid_ = ::forkpty(&master_, nullptr, nullptr, nullptr);
    if (pid_ == 0) {
      for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LD_LIBRARY_PATH"})
        ::unsetenv(name);
      ::setenv("ORACLE_HOME", "/nonexistent", 1);
      ::setenv("LC_ALL", "C", 1);
      std::vector<char*> argv{const_cast<char*>(DBLOGON_PROGRAM)};
      for (std::string& argument : arguments) argv.push_back(argument.data());
      argv.push_back(nullptr);
      ::execv(DBLOGON_PROGRAM, argv.data());
      ::_exit(127);
    }
  }
  ~TerminalSession() {
    if (pid_ > 0 && !exited_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (master_ >= 0) ::close(master_);
  }
  bool started() const { return pid_ > 0; }

  // Reads until `text` has appeared after what was awaited before; false after five seconds.
  bool awaitText(const std::string& text) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (screen_.find(text, seen_) == std::string::npos) {
      if (std::chrono::steady_clock::now() > deadline || !readSome()) return false;
    }
    seen_ = screen_.find(text, seen_) + text.size();
    return true;
  }
  void type(const std::string& keys) {
    [[maybe_unused]] const ssize_t n = ::write(master_, keys.data(), keys.size());
  }
  // The exit status once the program has ended; -1 when it is still running after five seconds.
  int exitStatus() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        exited_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      // A closed terminal answers at once: wait the step out, or the five seconds pass in a blink.
      if (!readSome(10)) ::usleep(10'000);
    }
    return -1;
  }
  const std::string& screen() const { return screen_; }

 private:
  bool readSome(int timeoutMs = 100) {
    pollfd fd{master_, POLLIN, 0};
    if (::poll(&fd, 1, timeoutMs) <= 0) return true;
    char buffer[4096];
    const ssize_t n = ::read(master_, buffer, sizeof buffer);
    if (n <= 0) return false;
    screen_.append(buffer, static_cast<std::size_t>(n));
    return true;
  }

  int master_ = -1;
  pid_t pid_ = -1;
  bool exited_ = false;
  std::string screen_;
  std::size_t seen_ = 0;
};

TEST(Program, CtrlDInATerminalCancelsTheDialogAndEndsOnlyFromTheMainMenu) {
  TerminalSession terminal({"--console"});
  ASSERT_TRUE(terminal.started());
  ASSERT_TRUE(terminal.awaitText("Username: ")) << terminal.screen();
  terminal.type("\x04");
  ASSERT_TRUE(terminal.awaitText("== Databaseinnlogging ==")) << terminal.screen();
  ASSERT_TRUE(terminal.awaitText("  q) quit\r\nChoose: ")) << terminal.screen();
  terminal.type("1\n");
  ASSERT_TRUE(terminal.awaitText("Username: ")) << terminal.screen();
  terminal.type("scott\n");
  ASSERT_TRUE(terminal.awaitText("Password: ")) << terminal.screen();
  terminal.type("\x04");
  ASSERT_TRUE(terminal.awaitText("Choose: ")) << terminal.screen();
  terminal.type("\x04");
  EXPECT_EQ(terminal.exitStatus(), 0) << terminal.screen();
  // Cancelled dialogs show no outcome.
  EXPECT_THAT(terminal.screen(), Not(HasSubstr("innlogging!")));
}

}  // namespace
