// The real registry: each run works below a key of its own under HKEY_CURRENT_USER and removes it.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/WinRegistry.h"

namespace platform {
namespace {

constexpr RootKey HKLM = RootKey::LocalMachine;
constexpr RootKey HKCU = RootKey::CurrentUser;

std::string bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out += static_cast<char>(v);
  return out;
}

class WinRegistryTest : public ::testing::Test {
 protected:
  ~WinRegistryTest() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, wideRoot().c_str()); }
  std::wstring wideRoot() const {
    return L"Software\\dblogon-tests\\" + std::to_wstring(::GetCurrentProcessId());
  }
  std::string root_ = "Software\\dblogon-tests\\" + std::to_string(::GetCurrentProcessId());
  WinRegistry reg_;
};

TEST_F(WinRegistryTest, ValuesOfEveryTypeRoundTrip) {
  const std::string key = root_ + "\\Types";
  struct Case {
    const char* name;
    RegValue value;
  };
  const Case cases[] = {
      {"", {RegValueType::String, "the default value"}},
      {"Plain", {RegValueType::String, "scott/tiger@orcl"}},
      {"Empty", {RegValueType::String, ""}},
      {"Line breaks", {RegValueType::String, "one\r\ntwo\nthree"}},
      {"Nonascii p\xC3\xA5logging", {RegValueType::String, "Bokm\xC3\xA5l \xF0\x9F\x98\x80"}},
      {"Expand", {RegValueType::ExpandString, "%ORACLE_HOME%\\bin"}},
      {"Multi", {RegValueType::MultiString, std::string("a\0bc\0\xC3\xA6\0", 8)}},
      {"Multi empty", {RegValueType::MultiString, ""}},
      {"Dword", {RegValueType::Dword, bytes({0x78, 0x56, 0x34, 0x12})}},
      {"Binary", {RegValueType::Binary, bytes({0, 10, 13, 255})}},
      {"Empty binary", {RegValueType::Binary, ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(reg_.writeValue(HKCU, key, c.name, c.value));
    EXPECT_EQ(reg_.readValue(HKCU, key, c.name), c.value);
  }
  // Names compare without regard to letter case, as everywhere in the registry.
  EXPECT_EQ(reg_.readString(HKCU, root_ + "\\TYPES", "plain"), "scott/tiger@orcl");
  EXPECT_EQ(reg_.valueNames(HKCU, key).size(), std::size(cases));
  // A DWORD is four bytes or nothing.
  EXPECT_FALSE(reg_.writeValue(HKCU, key, "Odd dword", {RegValueType::Dword, bytes({1, 2})}));
  EXPECT_EQ(reg_.readValue(HKCU, key, "Odd dword"), std::nullopt);
}

TEST_F(WinRegistryTest, KeysAndDeletionsFollowWin32) {
  EXPECT_FALSE(reg_.keyExists(HKCU, root_));
  EXPECT_TRUE(reg_.subkeys(HKCU, root_).empty());
  ASSERT_TRUE(reg_.createKey(HKCU, root_ + "\\B\\Deep"));  // keys on the way are made
  ASSERT_TRUE(reg_.createKey(HKCU, root_ + "\\A"));
  EXPECT_TRUE(reg_.keyExists(HKCU, root_ + "\\b"));
  EXPECT_EQ(reg_.subkeys(HKCU, root_), (std::vector<std::string>{"A", "B"}));

  // The history's pattern: numbered values deleted until the first deletion fails.
  for (int i = 0; i < 3; ++i)
    ASSERT_TRUE(reg_.writeString(HKCU, root_ + "\\A", "Logon" + std::to_string(i), "x"));
  int deleted = 0;
  while (reg_.deleteValue(HKCU, root_ + "\\A", "Logon" + std::to_string(deleted))) ++deleted;
  EXPECT_EQ(deleted, 3);
  EXPECT_TRUE(reg_.valueNames(HKCU, root_ + "\\A").empty());
  EXPECT_TRUE(reg_.keyExists(HKCU, root_ + "\\A"));  // the key stays
  EXPECT_FALSE(reg_.deleteValue(HKCU, root_ + "\\Missing", "v"));
  EXPECT_EQ(reg_.readValue(HKCU, root_ + "\\Missing", "v"), std::nullopt);
  EXPECT_EQ(reg_.readString(HKCU, root_ + "\\B", "none"), std::nullopt);
}

TEST_F(WinRegistryTest, LocalMachineIsReadButNeverWritten) {
  // Every Windows (and Wine) has this key and value.
  const std::string version = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
  EXPECT_TRUE(reg_.keyExists(HKLM, version));
  const std::optional<std::string> product = reg_.readString(HKLM, version, "ProductName");
  ASSERT_TRUE(product.has_value());
  EXPECT_FALSE(product->empty());
  EXPECT_FALSE(reg_.subkeys(HKLM, "SOFTWARE").empty());

  EXPECT_FALSE(reg_.writeString(HKLM, "SOFTWARE\\dblogon-tests", "v", "x"));
  EXPECT_FALSE(reg_.createKey(HKLM, "SOFTWARE\\dblogon-tests"));
  EXPECT_FALSE(reg_.deleteValue(HKLM, version, "ProductName"));
  EXPECT_FALSE(reg_.keyExists(HKLM, "SOFTWARE\\dblogon-tests"));
  EXPECT_EQ(reg_.readString(HKLM, version, "ProductName"), product);
}

}  // namespace
}  // namespace platform
