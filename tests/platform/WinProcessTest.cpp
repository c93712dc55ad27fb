#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "platform/WinProcess.h"
#include "support/TempFolder.h"

namespace platform {
namespace {

TEST(WinProcess, EnvironmentSetAndEmptyDifferFromUnset) {
  WinProcess process;
  const std::string name = "DBL_PLATFORM_TEST_VARIABLE";
  ::SetEnvironmentVariableW(L"DBL_PLATFORM_TEST_VARIABLE", nullptr);
  EXPECT_EQ(process.getEnv(name), std::nullopt);
  process.setEnv(name, "value with spaces");
  EXPECT_EQ(process.getEnv(name), "value with spaces");
  process.setEnv(name, "");
  EXPECT_EQ(process.getEnv(name), "");
  // Texts outside the ANSI code page come back as they went in.
  process.setEnv(name, "Bokm\xC3\xA5l \xE2\x82\xAC \xF0\x9F\x98\x80");
  EXPECT_EQ(process.getEnv(name), "Bokm\xC3\xA5l \xE2\x82\xAC \xF0\x9F\x98\x80");
  // Longer than the first buffer the lookup tries.
  const std::string longValue(1000, 'x');
  process.setEnv(name, longValue);
  EXPECT_EQ(process.getEnv(name), longValue);
  ::SetEnvironmentVariableW(L"DBL_PLATFORM_TEST_VARIABLE", nullptr);
  EXPECT_EQ(process.getEnv(name), std::nullopt);

  process.setEnv("A=B", "x");
  EXPECT_EQ(process.getEnv("A=B"), std::nullopt);
  EXPECT_EQ(process.getEnv("A"), std::nullopt);
  process.setEnv("", "x");
  EXPECT_EQ(process.getEnv(""), std::nullopt);
}

TEST(WinProcess, ArgumentsComeFromTheCommandLineUntilMainHandsOverOthers) {
  const std::vector<std::string> commandLine = commandLineArguments();
  ASSERT_FALSE(commandLine.empty());
  EXPECT_NE(commandLine.front().find("test_platform"), std::string::npos) << commandLine.front();

  WinProcess process;
  EXPECT_EQ(process.arguments(),
            std::vector<std::string>(commandLine.begin() + 1, commandLine.end()));
  process.setArguments({"UserId=scott/tiger@orcl", "--console"});
  EXPECT_EQ(process.arguments(),
            (std::vector<std::string>{"UserId=scott/tiger@orcl", "--console"}));
}

TEST(WinProcess, CurrentDirectoryChangesOnlyWhenItCan) {
  WinProcess process;
  const std::string before = process.currentDirectory();
  ASSERT_FALSE(before.empty());
  testsupport::TempFolder folder;
  // A folder name outside the ANSI code page: the wide calls keep it.
  const std::string nonAscii = folder.path() + "\\p\xC3\xA5logging";
  ASSERT_TRUE(
      std::filesystem::create_directory(std::filesystem::path(folder.path()) / L"p\u00E5logging"));
  ASSERT_TRUE(process.setCurrentDirectory(nonAscii));
  const std::string now = process.currentDirectory();
  EXPECT_EQ(now.substr(now.size() - 10), "p\xC3\xA5logging") << now;
  EXPECT_FALSE(process.setCurrentDirectory(folder.file("missing")));
  EXPECT_FALSE(process.setCurrentDirectory(""));
  EXPECT_EQ(process.currentDirectory(), now);
  ASSERT_TRUE(process.setCurrentDirectory(before));
  EXPECT_EQ(process.currentDirectory(), before);
}

}  // namespace
}  // namespace platform
