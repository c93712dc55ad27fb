#include "platform/IniFileProfile.h"

#include <gtest/gtest.h>

#include "platform/TempFolder.h"

namespace platform {
namespace {

TEST(IniFileProfile, ReadsWritesAndErases) {
  testing::TempFolder folder;
  const std::string file = folder.file("history.ini");
  IniFileProfile ini;
  EXPECT_EQ(ini.readString(file, "Logon", "0", "none"), "none");
  ASSERT_TRUE(ini.writeString(file, "Logon", "0", "2345"));
  ASSERT_TRUE(ini.writeString(file, "Logon", "1", "6789"));
  EXPECT_EQ(ini.readString(file, "LOGON", "0", ""), "2345");
  EXPECT_EQ(ini.readSectionKeys(file, "logon"), (std::vector<std::string>{"0", "1"}));
  ASSERT_TRUE(ini.eraseSection(file, "Logon"));
  EXPECT_EQ(ini.readString(file, "Logon", "0", ""), "");
}

}  // namespace
}  // namespace platform
