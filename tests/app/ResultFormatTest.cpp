// The table and the JSON lines of fixed results: alignment, colour, statistics and fields.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "app/ResultJson.h"
#include "app/ResultTable.h"

namespace {

using app::Outcome;
using app::PhaseStats;
using app::TargetResult;

TargetResult result(const char* text, Outcome outcome, std::vector<double> attach,
                    std::vector<double> session, std::vector<double> logoff) {
  TargetResult r;
  r.target = *app::ParseTarget(text, "list:1");
  r.outcome = outcome;
  r.attach = PhaseStats::Of(std::move(attach));
  r.session = PhaseStats::Of(std::move(session));
  r.logoff = PhaseStats::Of(std::move(logoff));
  r.logons = 1;
  return r;
}

std::vector<TargetResult> sample() {
  TargetResult good = result("scott/tiger@DEMO", Outcome::Connected, {1.5}, {12.25}, {0.5});
  good.serverVersion = "Oracle Database 19c";
  TargetResult denied = result("scott/bad@DEMO", Outcome::Failed, {0.75}, {2}, {});
  denied.errorCode = 1017;
  denied.error = "ORA-01017: invalid username/password; logon denied";
  TargetResult slow = result("system/manager@FAR as sysdba", Outcome::TimedOut, {}, {}, {});
  slow.error = "no answer within 30 s";
  return {good, denied, slow};
}

TEST(ResultTable, AlignedWithNumbersToTheRightAndNoTrailingBlanks) {
  std::ostringstream out;
  app::WriteResultTable(out, sample(), {});
  EXPECT_EQ(out.str(),
            "TARGET                OUTCOME    ATTACH ms  SESSION ms  LOGOFF ms  ERROR"
            "                                               SERVER\n"
            "scott@DEMO            connected       1.50       12.25       0.50"
            "                                                      Oracle Database 19c\n"
            "scott@DEMO            failed          0.75        2.00          -  "
            "ORA-01017: invalid username/password; logon denied\n"
            "system@FAR as sysdba  timed out          -           -          -  "
            "no answer within 30 s\n");
}

TEST(ResultTable, ColourOnlyOnTheOutcomeAndMinMedianMaxWhenRepeated) {
  std::vector<TargetResult> results{
      result("scott/tiger@DEMO", Outcome::Connected, {3, 1, 2, 10}, {1, 1, 1, 1}, {1, 2, 3, 4})};
  std::ostringstream out;
  app::WriteResultTable(out, results, {.colour = true, .repeated = true});
  EXPECT_EQ(out.str(),
            "TARGET      OUTCOME    ATTACH ms (min/median/max)  SESSION ms (min/median/max)  "
            "LOGOFF ms (min/median/max)\n"
            "scott@DEMO  \033[32mconnected\033[0m             1.00/2.50/10.00               "
            "1.00/1.00/1.00              1.00/2.50/4.00\n");
}

TEST(ResultTable, AColumnNoTargetHasAnythingForIsLeftOut) {
  std::ostringstream out;
  app::WriteResultTable(out, {sample()[0]}, {});
  EXPECT_EQ(out.str(),
            "TARGET      OUTCOME    ATTACH ms  SESSION ms  LOGOFF ms  SERVER\n"
            "scott@DEMO  connected       1.50       12.25       0.50  Oracle Database 19c\n");
}

TEST(ResultJson, EveryFieldOfATargetAndNullForWhatDidNotHappen) {
  const std::vector<TargetResult> results = sample();
  const auto denied = nlohmann::json::parse(app::ResultJsonLine(results[1]));
  EXPECT_EQ(denied, nlohmann::json::parse(R"({
    "target": "scott@DEMO", "user": "scott", "database": "DEMO", "connect_as": "normal",
    "source": "list:1", "outcome": "failed", "connected": false, "error_code": 1017,
    "error": "ORA-01017: invalid username/password; logon denied", "warning": null,
    "server_version": null, "logons": 1,
    "phases_ms": {"attach": {"min": 0.75, "median": 0.75, "max": 0.75},
                  "session": {"min": 2.0, "median": 2.0, "max": 2.0}, "logoff": null},
    "elapsed_ms": 0.0})"));
  const std::string slow = app::ResultJsonLine(results[2]);
  EXPECT_EQ(slow.find('\n'), std::string::npos);
  EXPECT_EQ(nlohmann::json::parse(slow)["connect_as"], "sysdba");
  EXPECT_EQ(nlohmann::json::parse(slow)["outcome"], "timed out");
  // The password of the target is nowhere in it.
  EXPECT_EQ(app::ResultJsonLine(results[0]).find("tiger"), std::string::npos);
}

TEST(ResultJson, TextThatIsNotUtf8DoesNotStopTheReport) {
  TargetResult r = sample()[1];
  r.error = "ORA-12345: caf\xe9";
  EXPECT_NO_THROW(nlohmann::json::parse(app::ResultJsonLine(r)));
}

TEST(PhaseStats, MedianOfOddAndEvenCounts) {
  const PhaseStats odd = PhaseStats::Of({5, 1, 3});
  EXPECT_EQ(odd.count, 3);
  EXPECT_EQ(odd.min, 1);
  EXPECT_EQ(odd.median, 3);
  EXPECT_EQ(odd.max, 5);
  EXPECT_EQ(PhaseStats::Of({4, 1, 3, 2}).median, 2.5);
  EXPECT_EQ(PhaseStats::Of({}).count, 0);
}

}  // namespace
