#include <gtest/gtest.h>

#include <filesystem>

#include "platform/PosixProcess.h"
#include "support/TempFolder.h"

namespace platform {
namespace {

TEST(PosixProcess, EnvironmentSetAndEmptyDifferFromUnset) {
  PosixProcess process;
  const std::string name = "DBL_PLATFORM_TEST_VARIABLE";
  ::unsetenv(name.c_str());
  EXPECT_EQ(process.getEnv(name), std::nullopt);
  process.setEnv(name, "value with spaces");
  EXPECT_EQ(process.getEnv(name), "value with spaces");
  process.setEnv(name, "");
  EXPECT_EQ(process.getEnv(name), "");
  ::unsetenv(name.c_str());

  // Names the C library cannot hold are ignored, never half-applied.
  process.setEnv("A=B", "x");
  EXPECT_EQ(process.getEnv("A=B"), std::nullopt);
  EXPECT_EQ(process.getEnv("A"), std::nullopt);
  process.setEnv("", "x");
  EXPECT_EQ(process.getEnv(""), std::nullopt);
}

TEST(PosixProcess, ArgumentsAreWhatMainHandedOver) {
  PosixProcess process;
  EXPECT_TRUE(process.arguments().empty());
  process.setArguments({"UserId=scott/tiger@orcl", "--console"});
  EXPECT_EQ(process.arguments(),
            (std::vector<std::string>{"UserId=scott/tiger@orcl", "--console"}));
  process.setArguments({});
  EXPECT_TRUE(process.arguments().empty());
}

TEST(PosixProcess, CurrentDirectoryChangesOnlyWhenItCan) {
  PosixProcess process;
  const std::string before = process.currentDirectory();
  ASSERT_FALSE(before.empty());
  testsupport::TempFolder folder;
  ASSERT_TRUE(process.setCurrentDirectory(folder.path()));
  EXPECT_EQ(process.currentDirectory(), std::filesystem::canonical(folder.path()).string());
  EXPECT_FALSE(process.setCurrentDirectory(folder.file("missing")));
  EXPECT_FALSE(process.setCurrentDirectory(""));
  EXPECT_EQ(process.currentDirectory(), std::filesystem::canonical(folder.path()).string());
  ASSERT_TRUE(process.setCurrentDirectory(before));
}

}  // namespace
}  // namespace platform
