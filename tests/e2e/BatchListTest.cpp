// dblogon --batch over many targets, end to end over the emulated client: a list of 200 targets
// of every outcome run eight at a time, and a target whose server never answers.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include "app/ListRun.h"
#include "app/Shell.h"
#include "app/TargetRunner.h"
#include "support/ClientHome.h"

namespace e2e {
namespace {

using namespace std::chrono_literals;
using sessiontest::ClientHome;

constexpr const char* kServer =
    "Oracle Database 19c Enterprise Edition Release 19.0.0.0.0 - Production";

// The home of the tests: DB with its accounts, FAR that refuses every connection after a while
// (no listener behind a slow network), HANG whose server never answers within a test's patience.
class BatchOverClient : public testing::Test {
 protected:
  BatchOverClient() {
    client.home.SetTnsNames(entry("DB") + entry("FAR") + entry("HANG"));
    far.FailCall("OCIServerAttach", 12541);
    far.DelayCall("OCIServerAttach", 25);
    hang.DelayCall("OCIServerAttach", 4000);
  }
  ~BatchOverClient() override {
    // A hung target's thread is still in the client: it must be out before the home goes.
    EXPECT_TRUE(app::TargetRunner::WaitForThreadsInClient(20s));
    app::StopUnits();
    if (library_ != nullptr) dlclose(library_);
  }

  static std::string entry(const std::string& name) {
    return name +
           " = (DESCRIPTION = (ADDRESS = (PROTOCOL = TCP)(HOST = localhost)(PORT = 1521))"
           "(CONNECT_DATA = (SERVICE_NAME = " +
           name + ")))\n";
  }

  // The run unloads the client at its end; a reference of the test's own keeps ociemu's
  // counters readable afterwards.
  void keepLibraryLoaded() {
    library_ = dlopen(client.home.LibraryPath().c_str(), RTLD_NOW);
    ASSERT_NE(library_, nullptr);
  }

  app::ListRunEnd run(const std::vector<std::string>& userIds, const app::BatchOptions& options,
                      const std::string& input = "") {
    std::istringstream in(input);
    app::ListRunIo io{.in = in, .out = out, .err = err};
    io.cores = 2;
    io.askTerminal = [](const std::string&) -> std::optional<std::string> { return std::nullopt; };
    return app::RunTargetList(userIds, options, io);
  }

  ClientHome client;
  ociemu::testing::TestDatabase far = client.home.CreateDatabase("FAR");
  ociemu::testing::TestDatabase hang = client.home.CreateDatabase("HANG");
  std::ostringstream out, err;

 private:
  void* library_ = nullptr;
};

// One of five kinds per target, in turn.
struct Expected {
  std::string line;  // the targets file line
  std::string target;
  std::string outcome;
  std::int32_t code;
  std::string error;
  bool attached;  // the attach phase ran
};

std::vector<Expected> twoHundredTargets() {
  std::vector<Expected> list;
  for (int i = 0; i < 200; ++i) {
    switch (i % 5) {
      case 0:
        list.push_back({"scott/tiger@DB", "scott@DB", "connected", 0, "", true});
        break;
      case 1:
        list.push_back({"scott/wrong" + std::to_string(i) + "@DB", "scott@DB", "failed", 1017,
                        "ORA-01017: invalid username/password; logon denied", true});
        break;
      case 2:
        list.push_back({"locked/locked@DB", "locked@DB", "failed", 28000,
                        "ORA-28000: the account is locked", true});
        break;
      case 3:
        list.push_back({"scott/tiger@NOWHERE" + std::to_string(i),
                        "scott@NOWHERE" + std::to_string(i), "failed", 12154,
                        "ORA-12154: TNS:could not resolve the connect identifier specified",
                        false});
        break;
      default:
        list.push_back(
            {"scott/tiger@FAR", "scott@FAR", "failed", 12541, "ORA-12541: TNS:no listener", false});
        break;
    }
  }
  return list;
}

std::string writeTargets(const std::filesystem::path& file, const std::vector<Expected>& list) {
  std::ofstream stream(file);
  stream << "# after the network change\n\n";
  for (const Expected& e : list) stream << e.line << '\n';
  return file.string();
}

TEST_F(BatchOverClient, TwoHundredTargetsAsATable) {
  const std::vector<Expected> expected = twoHundredTargets();
  app::BatchOptions options;
  options.targetFiles = {writeTargets(client.home.Path() / "targets.txt", expected)};
  options.jobs = 8;
  options.listRun = true;
  keepLibraryLoaded();
  EXPECT_EQ(run({}, options).exitStatus, 1);

  std::vector<std::string> lines;
  std::istringstream table(out.str());
  for (std::string line; std::getline(table, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 201u) << out.str();
  const std::string& header = lines[0];
  EXPECT_THAT(header, testing::MatchesRegex(
                          "TARGET +OUTCOME +ATTACH ms +SESSION ms +LOGOFF ms +ERROR +SERVER"));
  const std::size_t outcomeAt = header.find("OUTCOME"), errorAt = header.find("ERROR"),
                    serverAt = header.find("SERVER"), logoffEnd = header.find("LOGOFF ms") + 9;
  const std::regex milliseconds("[0-9]+\\.[0-9][0-9]");
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const Expected& e = expected[i];
    const std::string& line = lines[i + 1];
    SCOPED_TRACE("row " + std::to_string(i) + ": " + line);
    EXPECT_EQ(line.substr(0, outcomeAt), e.target + std::string(outcomeAt - e.target.size(), ' '));
    EXPECT_EQ(line.compare(outcomeAt, e.outcome.size(), e.outcome), 0);
    // Phases: a time where the phase ran, "-" where it did not, right-aligned in their columns.
    std::istringstream cells(
        line.substr(outcomeAt + e.outcome.size(), logoffEnd - outcomeAt - e.outcome.size()));
    std::string attach, session, logoff;
    cells >> attach >> session >> logoff;
    EXPECT_EQ(std::regex_match(attach, milliseconds), e.attached);
    EXPECT_EQ(std::regex_match(session, milliseconds), e.attached);
    EXPECT_EQ(std::regex_match(logoff, milliseconds), e.outcome == "connected");
    EXPECT_EQ(line[logoffEnd - 1], logoff.back());
    if (e.outcome == "connected")
      EXPECT_EQ(line.substr(logoffEnd), std::string(serverAt - logoffEnd, ' ') + kServer);
    else
      EXPECT_EQ(line.substr(logoffEnd), std::string(errorAt - logoffEnd, ' ') + e.error);
  }
  // Progress on standard error: one line per target, then the summary.
  EXPECT_THAT(err.str(), testing::HasSubstr("[200/200] "));
  EXPECT_THAT(err.str(),
              testing::HasSubstr("200 targets: 40 connected, 160 not connected (0 timed out)"));
  // Every session logged off and every handle freed.
  EXPECT_EQ(client.liveConnections(), 0);
  EXPECT_EQ(client.liveHandles(), 0);
}

TEST_F(BatchOverClient, TwoHundredTargetsAsJsonLines) {
  const std::vector<Expected> expected = twoHundredTargets();
  app::BatchOptions options;
  options.targetFiles = {writeTargets(client.home.Path() / "targets.txt", expected)};
  options.jobs = 8;
  options.format = app::ResultFormat::Json;
  options.listRun = true;
  EXPECT_EQ(run({}, options).exitStatus, 1);

  std::istringstream lines(out.str());
  std::size_t i = 0;
  for (std::string line; std::getline(lines, line); ++i) {
    ASSERT_LT(i, expected.size());
    const Expected& e = expected[i];
    SCOPED_TRACE("line " + std::to_string(i));
    nlohmann::json object = nlohmann::json::parse(line);
    const nlohmann::json phases = object["phases_ms"];
    EXPECT_GE(object["elapsed_ms"].get<double>(), 0.0);
    object.erase("phases_ms");
    object.erase("elapsed_ms");
    const std::size_t at = e.target.find('@');
    nlohmann::json want = {
        {"target", e.target},
        {"user", e.target.substr(0, at)},
        {"database", e.target.substr(at + 1)},
        {"connect_as", "normal"},
        {"source", options.targetFiles[0] + ":" + std::to_string(i + 3)},
        {"outcome", e.outcome},
        {"connected", e.outcome == "connected"},
        {"error_code", e.code ? nlohmann::json(e.code) : nlohmann::json()},
        {"error", e.error.empty() ? nlohmann::json() : nlohmann::json(e.error)},
        {"warning", nullptr},
        {"server_version", e.outcome == "connected" ? nlohmann::json(kServer) : nlohmann::json()},
        {"logons", 1}};
    EXPECT_EQ(object, want);
    EXPECT_EQ(phases["attach"].is_object(), e.attached);
    EXPECT_EQ(phases["session"].is_object(), e.attached);
    EXPECT_EQ(phases["logoff"].is_object(), e.outcome == "connected");
    if (e.attached) {
      EXPECT_LE(phases["attach"]["min"], phases["attach"]["max"]);
    }
    EXPECT_EQ(line.find("wrong"), std::string::npos);
    EXPECT_EQ(line.find("tiger"), std::string::npos);
  }
  EXPECT_EQ(i, expected.size());
}

TEST_F(BatchOverClient, AHungTargetTimesOutWithoutHoldingUpTheOthers) {
  app::BatchOptions options;
  options.jobs = 2;
  options.timeout = 500ms;
  options.format = app::ResultFormat::Json;
  options.listRun = true;
  std::vector<std::string> userIds{"scott/tiger@HANG"};
  for (int i = 0; i < 6; ++i) userIds.push_back("scott/tiger@DB");
  const auto start = std::chrono::steady_clock::now();
  const app::ListRunEnd end = run(userIds, options);
  const auto took = std::chrono::steady_clock::now() - start;

  EXPECT_EQ(end.exitStatus, 1);
  // The server of HANG answers after 4 s; the run is over long before.
  EXPECT_LT(took, 3s);
  EXPECT_TRUE(end.clientStillInUse);
  std::istringstream lines(out.str());
  std::string line;
  ASSERT_TRUE(std::getline(lines, line));
  const nlohmann::json hung = nlohmann::json::parse(line);
  EXPECT_EQ(hung["outcome"], "timed out");
  EXPECT_EQ(hung["error"], "no answer within 0.5 s");
  int connected = 0;
  while (std::getline(lines, line))
    connected += nlohmann::json::parse(line)["connected"].get<bool>();
  EXPECT_EQ(connected, 6);
}

TEST_F(BatchOverClient, RepeatedLogonsAndEveryNetServiceName) {
  app::BatchOptions options;
  options.allAliases = true;
  options.allAliasesAccount = "scott";
  options.repeat = 3;
  options.format = app::ResultFormat::Json;
  options.passwordFromStdin = true;
  options.listRun = true;
  hang.ClearFaults();
  hang.AddAccount("SCOTT", "tiger");
  keepLibraryLoaded();
  EXPECT_EQ(run({}, options, "tiger\n").exitStatus, 1);  // FAR refuses

  std::map<std::string, nlohmann::json> byTarget;
  std::istringstream lines(out.str());
  for (std::string line; std::getline(lines, line);) {
    const nlohmann::json object = nlohmann::json::parse(line);
    byTarget[object["target"]] = object;
  }
  ASSERT_EQ(byTarget.size(), 3u) << out.str();
  for (const char* name : {"scott@DB", "scott@HANG"}) {
    const nlohmann::json& object = byTarget[name];
    EXPECT_EQ(object["logons"], 3) << name;
    const nlohmann::json& attach = object["phases_ms"]["attach"];
    EXPECT_LE(attach["min"], attach["median"]);
    EXPECT_LE(attach["median"], attach["max"]);
  }
  EXPECT_EQ(byTarget["scott@FAR"]["logons"], 1);
  EXPECT_EQ(client.calls("OCISessionBegin"), 6);
}

TEST_F(BatchOverClient, QuietPrintsOnlyTheTargetsThatFailed) {
  app::BatchOptions options;
  options.quiet = true;
  options.listRun = true;
  EXPECT_EQ(run({"scott/tiger@DB", "scott/tiger@DB"}, options).exitStatus, 0);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(err.str(), "");
  EXPECT_EQ(run({"scott/tiger@DB", "scott/nope@DB"}, options).exitStatus, 1);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(err.str(),
            "dblogon: scott@DB: failed: ORA-01017: invalid username/password; logon denied\n");
}

TEST_F(BatchOverClient, UsageErrorsEndWithStatusTwoBeforeAnyLogon) {
  keepLibraryLoaded();
  app::BatchOptions options;
  options.listRun = true;
  EXPECT_EQ(run({}, options).exitStatus, 2);
  options.targetFiles = {(client.home.Path() / "missing.txt").string()};
  EXPECT_EQ(run({}, options).exitStatus, 2);
  options.targetFiles = {"-"};
  options.passwordFromStdin = true;
  EXPECT_EQ(run({}, options, "scott@DB\n").exitStatus, 2);
  options = {};
  options.listRun = true;
  // No password anywhere and no terminal to ask on.
  EXPECT_EQ(run({"scott@DB"}, options).exitStatus, 2);
  EXPECT_EQ(client.calls("OCIServerAttach"), 0);
  EXPECT_THAT(err.str(), testing::HasSubstr("dblogon: no password for scott@DB"));
}

}  // namespace
}  // namespace e2e
