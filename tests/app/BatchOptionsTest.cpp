// The batch switches through the program's argument parser.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/Arguments.h"

namespace {

using app::ParseArguments;

TEST(BatchOptions, EverySwitchWithItsValue) {
  const app::Arguments a =
      ParseArguments({"--batch", "--targets", "a.txt", "--targets=-", "--all-aliases", "scott",
                      "--jobs", "8", "--timeout", "2.5", "--repeat=3", "--format", "json",
                      "--password-stdin", "--quiet", "UserId=scott@DEMO"});
  ASSERT_TRUE(a.error.empty()) << a.error;
  EXPECT_EQ(a.mode, app::Mode::Batch);
  EXPECT_THAT(a.batch.targetFiles, testing::ElementsAre("a.txt", "-"));
  EXPECT_TRUE(a.batch.allAliases);
  EXPECT_EQ(a.batch.allAliasesAccount, "scott");
  EXPECT_EQ(a.batch.jobs, 8);
  EXPECT_EQ(a.batch.timeout, std::chrono::milliseconds(2500));
  EXPECT_EQ(a.batch.repeat, 3);
  EXPECT_EQ(a.batch.format, app::ResultFormat::Json);
  EXPECT_TRUE(a.batch.passwordFromStdin);
  EXPECT_TRUE(a.batch.quiet);
  EXPECT_TRUE(a.batch.listRun);
  EXPECT_THAT(a.passOn, testing::ElementsAre("UserId=scott@DEMO"));
}

TEST(BatchOptions, OneUserIdWithOnlyAPasswordSourceStaysASingleTest) {
  const app::Arguments a = ParseArguments({"--batch", "--password-stdin", "UserId=scott@DEMO"});
  ASSERT_TRUE(a.error.empty()) << a.error;
  EXPECT_FALSE(a.batch.listRun);
}

struct BadCase {
  const char* name;
  std::vector<std::string> args;
  const char* error;
};

void PrintTo(const BadCase& c, std::ostream* os) {
  *os << c.name;
}

class BadBatchOption : public testing::TestWithParam<BadCase> {};

TEST_P(BadBatchOption, IsAUsageError) {
  const app::Arguments a = ParseArguments(GetParam().args);
  EXPECT_THAT(a.error, testing::HasSubstr(GetParam().error));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadBatchOption,
    testing::Values(BadCase{"JobsZero", {"--batch", "--jobs", "0"}, "--jobs needs a whole number"},
                    BadCase{"JobsWord", {"--batch", "--jobs=many"}, "--jobs needs a whole number"},
                    BadCase{"TimeoutNegative", {"--batch", "--timeout", "-1"}, "--timeout needs"},
                    BadCase{"TimeoutMissing", {"--batch", "--timeout"}, "--timeout needs"},
                    BadCase{"RepeatZero", {"--batch", "--repeat", "0"}, "--repeat needs"},
                    BadCase{
                        "FormatXml", {"--batch", "--format", "xml"}, "--format is table or json"},
                    BadCase{"QuietWithValue", {"--batch", "--quiet=yes"}, "--quiet takes no value"},
                    BadCase{"TargetsWithoutBatch", {"--targets", "a.txt"}, "need --batch"}),
    [](const testing::TestParamInfo<BadCase>& row) { return row.param.name; });

}  // namespace
