// Where the password of a target without one comes from, and in which order.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "app/PasswordSupply.h"

namespace {

using app::PasswordSources;
using app::SupplyPasswords;
using app::Target;

std::vector<Target> targets(std::initializer_list<const char*> texts) {
  std::vector<Target> list;
  for (const char* text : texts) list.push_back(*app::ParseTarget(text, "test"));
  return list;
}

TEST(PasswordSupply, StandardInputBeforeTheEnvironmentAndOnlyForTargetsWithout) {
  std::vector<Target> list = targets({"scott@A", "scott/own@B", "/@C"});
  std::istringstream in("from-stdin\r\nsecond line\n");
  PasswordSources sources{.fromStandardInput = true,
                          .standardInput = &in,
                          .environment = "from-env",
                          .askTerminal = {}};
  ASSERT_EQ(SupplyPasswords(list, sources), "");
  EXPECT_EQ(list[0].password, "from-stdin");
  EXPECT_EQ(list[1].password, "own");
  EXPECT_EQ(list[2].password, "");  // an external logon has none
}

TEST(PasswordSupply, TheEnvironmentBeforeTheTerminal) {
  std::vector<Target> list = targets({"scott@A"});
  int asked = 0;
  PasswordSources sources{.environment = "from-env",
                          .askTerminal = [&](const std::string&) -> std::optional<std::string> {
                            ++asked;
                            return "typed";
                          }};
  ASSERT_EQ(SupplyPasswords(list, sources), "");
  EXPECT_EQ(list[0].password, "from-env");
  EXPECT_EQ(asked, 0);
}

TEST(PasswordSupply, TheTerminalIsAskedOncePerUserName) {
  std::vector<Target> list = targets({"scott@A", "SCOTT@B", "system@A"});
  std::vector<std::string> prompts;
  PasswordSources sources{
      .environment = "",  // set but empty: not a password
      .askTerminal = [&](const std::string& prompt) -> std::optional<std::string> {
        prompts.push_back(prompt);
        return "pw" + std::to_string(prompts.size());
      }};
  ASSERT_EQ(SupplyPasswords(list, sources), "");
  EXPECT_THAT(prompts, testing::ElementsAre("Password for scott: ", "Password for system: "));
  EXPECT_EQ(list[0].password, "pw1");
  EXPECT_EQ(list[1].password, "pw1");
  EXPECT_EQ(list[2].password, "pw2");
}

TEST(PasswordSupply, NoSourceIsAnErrorThatSaysWhereToGiveIt) {
  std::vector<Target> list = targets({"scott@A"});
  PasswordSources sources{
      .askTerminal = [](const std::string&) -> std::optional<std::string> { return std::nullopt; }};
  EXPECT_THAT(SupplyPasswords(list, sources),
              testing::AllOf(testing::HasSubstr("scott@A"), testing::HasSubstr("--password-stdin"),
                             testing::HasSubstr("DBLOGON_PASSWORD")));
  std::istringstream empty;
  PasswordSources stdinOnly{.fromStandardInput = true, .standardInput = &empty};
  EXPECT_THAT(SupplyPasswords(list, stdinOnly), testing::HasSubstr("standard input holds no"));
}

}  // namespace
