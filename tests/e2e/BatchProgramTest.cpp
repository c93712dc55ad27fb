// dblogon --batch as a process over an emulated Oracle home: exit statuses, a target that hangs
// in the client while the process still ends at once, and a password that never shows.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "ociemu/testing/OracleHome.h"

extern char** environ;

namespace e2e {
namespace {

using namespace std::chrono_literals;
using testing::HasSubstr;

struct ProgramRun {
  int exitStatus = -1;  // 128 + signal when killed
  std::string out, err;
  std::chrono::milliseconds took{};
};

// Runs dblogon with `arguments` in a session of its own (so it has no terminal to ask on), the
// given extra environment and `input` on standard input. Kills it after `limit`.
ProgramRun runProgram(const std::vector<std::string>& arguments,
                      const std::vector<std::string>& environment, const std::string& input = "",
                      std::chrono::seconds limit = 60s) {
  int in[2], out[2], err[2];
  EXPECT_EQ(::pipe2(in, O_CLOEXEC), 0);
  EXPECT_EQ(::pipe2(out, O_CLOEXEC), 0);
  EXPECT_EQ(::pipe2(err, O_CLOEXEC), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);

  std::vector<std::string> argv{DBLOGON_PROGRAM};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  std::vector<std::string> env;
  const auto inherited = [](const std::string& entry) {
    for (const char* drop : {"ORACLE_HOME=", "TNS_ADMIN=", "ORACLE_SID=", "DBLOGON_PASSWORD=",
                             "DISPLAY=", "WAYLAND_DISPLAY=", "NO_COLOR="})
      if (entry.rfind(drop, 0) == 0) return false;
    return true;
  };
  for (char** e = environ; *e != nullptr; ++e)
    if (inherited(*e)) env.push_back(*e);
  env.insert(env.end(), environment.begin(), environment.end());
  const auto pointers = [](std::vector<std::string>& list) {
    std::vector<char*> p;
    for (std::string& s : list) p.push_back(s.data());
    p.push_back(nullptr);
    return p;
  };
  std::vector<char*> argp = pointers(argv), envp = pointers(env);

  ProgramRun run;
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int spawned =
      posix_spawn(&pid, argv[0].c_str(), &actions, &attributes, argp.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  ::close(in[0]);
  ::close(out[1]);
  ::close(err[1]);
  if (spawned != 0) {
    ADD_FAILURE() << "could not start " << argv[0];
    return run;
  }
  if (!input.empty()) {
    const ssize_t written = ::write(in[1], input.data(), input.size());
    EXPECT_EQ(written, static_cast<ssize_t>(input.size()));
  }
  ::close(in[1]);

  pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
  std::string* sinks[2] = {&run.out, &run.err};
  int open = 2;
  while (open > 0) {
    const auto left = limit - (std::chrono::steady_clock::now() - start);
    if (left <= 0s) {
      ::kill(pid, SIGKILL);
      ADD_FAILURE() << "dblogon did not end within " << limit.count() << " s";
      break;
    }
    if (::poll(fds, 2,
               static_cast<int>(
                   std::chrono::duration_cast<std::chrono::milliseconds>(left).count())) <= 0)
      continue;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buffer[4096];
      const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        sinks[i]->append(buffer, static_cast<std::size_t>(n));
      } else {
        ::close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
  }
  for (const pollfd& f : fds)
    if (f.fd >= 0) ::close(f.fd);
  int status = 0;
  ::waitpid(pid, &status, 0);
  run.took = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start);
  run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return run;
}

constexpr const char* kSecret = "Zq9-sEcret-77";

class BatchProgram : public testing::Test {
 protected:
  BatchProgram() {
    home.SetTnsNames(entry("DB") + entry("HANG"));
    db.AddAccount("SCOTT", kSecret);
    db.AddAccount("LOCKED", kSecret, ociemu::testing::Status::Locked);
    hang.AddAccount("SCOTT", kSecret);
    hang.DelayCall("OCIServerAttach", 30000);
  }
  static std::string entry(const std::string& name) {
    return name +
           " = (DESCRIPTION = (ADDRESS = (PROTOCOL = TCP)(HOST = localhost)(PORT = 1521))"
           "(CONNECT_DATA = (SERVICE_NAME = " +
           name + ")))\n";
  }
  ProgramRun run(const std::vector<std::string>& arguments,
                 std::vector<std::string> environment = {}, const std::string& input = "") {
    environment.push_back("ORACLE_HOME=" + home.Path().string());
    return runProgram(arguments, environment, input);
  }
  std::string targetsFile(const std::string& text, const std::string& name = "targets.txt") {
    const auto file = home.Path() / name;
    std::ofstream(file) << text;
    return file.string();
  }

  ociemu::testing::OracleHome home;
  ociemu::testing::TestDatabase db = home.CreateDatabase("DB");
  ociemu::testing::TestDatabase hang = home.CreateDatabase("HANG");
};

TEST_F(BatchProgram, ExitStatusZeroOnlyWhenEveryTargetConnected) {
  const std::string good = std::string("UserId=scott/") + kSecret + "@DB";
  EXPECT_EQ(run({"--batch", good, good}).exitStatus, 0);
  EXPECT_EQ(run({"--batch", "--jobs", "1", good, "UserId=scott/bad@DB"}).exitStatus, 1);
  EXPECT_EQ(run({"--batch", "--format", "json", good}).exitStatus, 0);
  EXPECT_EQ(run({"--batch", "--targets", targetsFile("# none\n")}).exitStatus, 2);
  EXPECT_EQ(run({"--batch", "--jobs", "0", good}).exitStatus, 2);
  EXPECT_EQ(run({"--targets", "x.txt"}).exitStatus, 2);
  // No password anywhere, and no terminal to ask on.
  const ProgramRun noPassword = run({"--batch", "--quiet", "UserId=scott@DB"});
  EXPECT_EQ(noPassword.exitStatus, 2);
  EXPECT_THAT(noPassword.err, HasSubstr("no password for scott@DB"));
}

TEST_F(BatchProgram, AHungTargetTimesOutAndTheProcessStillEndsAtOnce) {
  const std::string good = std::string("UserId=scott/") + kSecret + "@DB";
  const ProgramRun r = run({"--batch", "--timeout", "1", "--jobs", "2",
                            std::string("UserId=scott/") + kSecret + "@HANG", good, good, good});
  EXPECT_EQ(r.exitStatus, 1);
  // The server of HANG would answer after 30 s; the run ends with its time limit.
  EXPECT_LT(r.took, 10s);
  EXPECT_THAT(r.out, testing::ContainsRegex("scott@HANG +timed out .* no answer within 1 s"));
  EXPECT_THAT(r.err, HasSubstr("4 targets: 3 connected, 1 not connected (1 timed out)"));
}

TEST_F(BatchProgram, ThePasswordNeverShows) {
  const std::string withPassword = std::string("UserId=scott/") + kSecret + "@DB";
  const std::string wrong = std::string("UserId=locked/") + kSecret + "x@DB";
  const std::string file = targetsFile(std::string("scott/") + kSecret + "@DB\nlocked@DB\n" +
                                       "scott/" + kSecret + "@NOWHERE\n");
  const std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>> runs{
      {{"--batch", withPassword}, {}},  // one logon, as the dialog
      {{"--batch", wrong}, {}},         // ... that fails
      {{"--batch", "UserId=scott@DB"}, {std::string("DBLOGON_PASSWORD=") + kSecret}},
      {{"--batch", "--targets", file, "--format", "json"},
       {std::string("DBLOGON_PASSWORD=") + kSecret}},
      {{"--batch", "--targets", file, "--repeat", "2"},
       {std::string("DBLOGON_PASSWORD=") + kSecret}},
      {{"--batch", "--targets", file, "--quiet"}, {std::string("DBLOGON_PASSWORD=") + kSecret}},
      {{"--batch", withPassword, "--format", "xml"}, {}},      // a usage error
      {{withPassword, withPassword}, {}},                      // another usage error
      {{"--batch", withPassword, "ORACLEHOME=/nowhere"}, {}},  // no client
      {{"--batch", "--targets", targetsFile(std::string("@DB/") + kSecret + "\n", "bad.txt")}, {}},
  };
  for (const auto& [arguments, environment] : runs) {
    const ProgramRun r = run(arguments, environment);
    SCOPED_TRACE(testing::PrintToString(arguments) + "\n" + r.out + r.err);
    EXPECT_NE(r.out + r.err, "");
    EXPECT_EQ((r.out + r.err).find(kSecret), std::string::npos);
  }
  // Read from standard input for every target without one of its own.
  const ProgramRun fromStdin =
      run({"--batch", "--password-stdin", "--targets", file, "--format", "json"}, {},
          std::string(kSecret) + "\n");
  EXPECT_EQ(fromStdin.out.find(kSecret), std::string::npos);
  EXPECT_EQ(fromStdin.err.find(kSecret), std::string::npos);
  EXPECT_THAT(fromStdin.out, testing::ContainsRegex("\"target\":\"locked@DB\".*ORA-28000"));
}

// Reads the terminal's side until `text` has come (or the terminal closed); returns all read.
std::string readUntil(int fd, const std::string& text, std::chrono::seconds limit = 20s) {
  std::string seen;
  const auto end = std::chrono::steady_clock::now() + limit;
  while (seen.find(text) == std::string::npos && std::chrono::steady_clock::now() < end) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 100) <= 0) continue;
    char buffer[1024];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n <= 0) break;
    seen.append(buffer, static_cast<std::size_t>(n));
  }
  return seen;
}

TEST_F(BatchProgram, APasswordAskedOnTheTerminalIsNotEchoed) {
  const std::string oracleHome = home.Path().string();
  int terminal = -1;
  const pid_t pid = ::forkpty(&terminal, nullptr, nullptr, nullptr);
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    // The child: its terminal is the pseudo-terminal; standard output goes to it too.
    ::setenv("ORACLE_HOME", oracleHome.c_str(), 1);
    ::unsetenv("DBLOGON_PASSWORD");
    ::unsetenv("TNS_ADMIN");
    ::execl(DBLOGON_PROGRAM, DBLOGON_PROGRAM, "--batch", "UserId=scott@DB", "UserId=scott@DB",
            static_cast<char*>(nullptr));
    ::_exit(127);
  }
  const std::string prompt = readUntil(terminal, "Password for scott: ");
  EXPECT_THAT(prompt, HasSubstr("Password for scott: "));
  const std::string typed = std::string(kSecret) + "\n";
  ASSERT_EQ(::write(terminal, typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
  const std::string rest = readUntil(terminal, "2 targets: ");
  int status = 0;
  ::waitpid(pid, &status, 0);
  ::close(terminal);
  // Asked once for the two targets of one user, and both logged on with what was typed.
  EXPECT_THAT(rest, testing::Not(HasSubstr("Password for")));
  EXPECT_THAT(rest, HasSubstr("2 targets: 2 connected"));
  EXPECT_EQ((prompt + rest).find(kSecret), std::string::npos) << prompt + rest;
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
}  // namespace e2e
