#include "platform/RegFileRegistry.h"

#include <gtest/gtest.h>

#include "platform/TempFolder.h"

namespace platform {
namespace {

constexpr RootKey HKLM = RootKey::LocalMachine;
constexpr RootKey HKCU = RootKey::CurrentUser;

const char* const kSample =
    "Windows Registry Editor Version 5.00\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\ORACLE]\r\n"
    "\"ORACLE_HOME\"=\"C:\\\\orant\"\r\n"
    "\"OCA60\"=\"yes\"\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\ORACLE\\ALL_HOMES]\r\n"
    "\"HOME_COUNTER\"=\"2\"\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\SOFTWARE\\Kervalon\\KVL\\Warnings]\r\n"
    "\"1\"=\"1403\"\r\n";

TEST(RegFileRegistry, InMemoryReadsValuesKeysAndSubkeys) {
  RegFileRegistry reg(RegText{kSample});
  EXPECT_EQ(reg.readString(HKLM, "SOFTWARE\\ORACLE", "ORACLE_HOME"), "C:\\orant");
  EXPECT_EQ(reg.readString(HKLM, "software\\oracle", "oracle_home"), "C:\\orant");
  EXPECT_EQ(reg.readString(HKCU, "SOFTWARE\\Kervalon\\KVL\\Warnings", "1"), "1403");
  EXPECT_EQ(reg.readString(HKCU, "SOFTWARE\\ORACLE", "ORACLE_HOME"), std::nullopt);
  EXPECT_TRUE(reg.keyExists(HKLM, "SOFTWARE"));
  EXPECT_FALSE(reg.keyExists(HKLM, "SOFTWARE\\ORA"));
  EXPECT_EQ(reg.subkeys(HKLM, "SOFTWARE\\ORACLE"), std::vector<std::string>{"ALL_HOMES"});
  EXPECT_EQ(reg.valueNames(HKLM, "SOFTWARE\\ORACLE"),
            (std::vector<std::string>{"ORACLE_HOME", "OCA60"}));
}

TEST(RegFileRegistry, FileWritesGoToCurrentUserOnlyAndRoundTrip) {
  testing::TempFolder folder;
  const std::string path = folder.file("sub/registry.reg");
  {
    RegFileRegistry reg(path);
    EXPECT_FALSE(reg.keyExists(HKCU, "SOFTWARE\\Test"));  // missing file: empty registry
    EXPECT_FALSE(reg.writeString(HKLM, "SOFTWARE\\ORACLE", "X", "y"));
    ASSERT_TRUE(reg.writeString(HKCU, "SOFTWARE\\Test", "Logon0", "12345"));
  }
  RegFileRegistry again(path);
  EXPECT_EQ(again.readString(HKCU, "SOFTWARE\\Test", "Logon0"), "12345");
  EXPECT_TRUE(again.deleteValue(HKCU, "SOFTWARE\\Test", "Logon0"));
  EXPECT_FALSE(again.deleteValue(HKCU, "SOFTWARE\\Test", "Logon0"));
  EXPECT_EQ(again.readString(HKCU, "SOFTWARE\\Test", "Logon0"), std::nullopt);
}

}  // namespace
}  // namespace platform
