// The logon history: the rules of adding, the texts of an entry, the digit scrambling, and the
// registry and ini storage with damaged, long and unwritable cases.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

#include "oracle/core/Exception.h"
#include "oracle/logon/LogonHistory.h"
#include "oracle/logon/LogonHistoryStorage.h"
#include "platform/IniFileProfile.h"
#include "platform/Profile.h"
#include "platform/RegFileRegistry.h"
#include "platform/Services.h"
#include "support/TempFolder.h"

namespace oracle {
namespace {

using platform::RootKey;

std::vector<std::string> menuTexts(const THistoryItems& list) {
  std::vector<std::string> texts;
  for (const THistoryItem& item : list.Items()) texts.push_back(HistoryItemText(item));
  return texts;
}

THistoryItems listKeeping(bool withPassword, int maxItems = 0) {
  THistoryItems list;
  list.WithPassword = withPassword;
  list.MaxItems = maxItems;
  return list;
}

// A scrambled text built with a chosen seed, as a writer with that random draw would store it.
std::string scrambledWithSeed(int seed, const std::string& text) {
  std::string out = std::to_string(seed);
  for (std::size_t i = 1; i <= text.size(); ++i)
    out += std::to_string(((seed + 10 * static_cast<int>(i)) ^
                           (static_cast<unsigned char>(text[i - 1]) * 16)) +
                          1000);
  return out;
}

std::string fileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// ---- Adding

TEST(LogonHistory, AnEmptyUsernameAddsNothing) {
  THistoryItems list = listKeeping(true);
  AddHistoryItem(list, "", "tiger", "orcl", "", true);
  EXPECT_EQ(list.Count(), 0u);
}

TEST(LogonHistory, TheSeventhLogonPushesOutTheOldest) {
  THistoryItems list = listKeeping(true, 6);
  for (const char* user : {"u1", "u2", "u3", "u4", "u5", "u6"}) AddHistoryItem(list, user, "", "", "", true);
  ASSERT_EQ(menuTexts(list), (std::vector<std::string>{"u6", "u5", "u4", "u3", "u2", "u1"}));
  AddHistoryItem(list, "u7", "", "", "", true);
  EXPECT_EQ(menuTexts(list), (std::vector<std::string>{"u7", "u6", "u5", "u4", "u3", "u2"}));
}

TEST(LogonHistory, ALogonAgainReplacesTheOldEntryWhateverItsPassword) {
  for (const bool withPassword : {true, false}) {
    THistoryItems list = listKeeping(withPassword);
    AddHistoryItem(list, "scott", "tiger", "orcl", "", true);
    AddHistoryItem(list, "hr", "hr", "orcl", "", true);
    AddHistoryItem(list, "SCOTT", "lion", "ORCL", "", true);
    ASSERT_EQ(list.Count(), 2u);
    EXPECT_EQ(list[0].Username, "SCOTT");
    EXPECT_EQ(list[0].Password, withPassword ? "lion" : "");
    EXPECT_EQ(list[1].Username, "hr");
  }
}

TEST(LogonHistory, DuplicatesAreFoundByUserDatabaseAndMode) {
  THistoryItems list = listKeeping(true);
  AddHistoryItem(list, "scott", "", "orcl", "", false);
  AddHistoryItem(list, "scott", "", "orcl", "sysdba", false);
  AddHistoryItem(list, "scott", "", "test", "", false);
  AddHistoryItem(list, "scott", "", "", "", false);
  EXPECT_EQ(menuTexts(list), (std::vector<std::string>{"scott@orcl", "scott@orcl as SYSDBA",
                                                       "scott@test", "scott"}));
  // Without moving to the top the newer entry ends the list.
  AddHistoryItem(list, "scott", "x", "ORCL", "", false);
  EXPECT_EQ(menuTexts(list).back(), "scott@ORCL");
  EXPECT_EQ(list.Count(), 4u);
}

TEST(LogonHistory, AFullConnectStringAsUsernameIsSplit) {
  THistoryItems list = listKeeping(true);
  AddHistoryItem(list, "scott/tiger@orcl as sysoper", "", "", "", false);
  ASSERT_EQ(list.Count(), 1u);
  EXPECT_EQ(list[0].Username, "scott");
  EXPECT_EQ(list[0].Password, "tiger");
  EXPECT_EQ(list[0].Database, "orcl");
  EXPECT_EQ(list[0].ConnectAs, "SYSOPER");
}

TEST(LogonHistory, AGroupHeaderGivesWayToALogonWithTheSameMenuText) {
  THistoryItems list = listKeeping(true);
  AddHistoryItem(list, ">orcl", "", "", "", false);
  ASSERT_TRUE(IsHistoryGroup(list[0]));
  EXPECT_EQ(HistoryItemText(list[0]), "orcl");
  AddHistoryItem(list, "orcl", "pw", "", "", true);
  ASSERT_EQ(list.Count(), 1u);
  EXPECT_FALSE(IsHistoryGroup(list[0]));
}

TEST(LogonHistory, EntryTexts) {
  const THistoryItem bare{"scott", "", "", ""};
  EXPECT_EQ(HistoryEntryText(bare), "scott/@");
  EXPECT_EQ(HistoryItemText(bare), "scott");
  const THistoryItem full{"sys", "pw", "orcl", "SYSDBA"};
  EXPECT_EQ(HistoryEntryText(full), "sys/pw@orcl as SYSDBA");
  EXPECT_EQ(HistoryItemText(full), "sys@orcl as SYSDBA");
  EXPECT_EQ(HistoryItemText(THistoryItem{">", "", "", ""}), "");
}

// ---- Scrambling

TEST(HistoryScrambling, ThreeLettersGiveSixteenDigitsAndComeBack) {
  const std::string scrambled = ScrambleHistoryText("abc");
  ASSERT_EQ(scrambled.size(), 16u);
  EXPECT_EQ(scrambled.find_first_not_of("0123456789"), std::string::npos);
  const int seed = std::stoi(scrambled.substr(0, 4));
  EXPECT_GE(seed, 2000);
  EXPECT_LE(seed, 2999);
  EXPECT_EQ(scrambled, scrambledWithSeed(seed, "abc"));
  EXPECT_EQ(UnscrambleHistoryText(scrambled), "abc");
}

TEST(HistoryScrambling, EveryByteAndTheLongestTextComeBackAtEverySeed) {
  std::string bytes;
  for (int c = 1; c < 256; ++c) bytes += static_cast<char>(c);
  const std::string longest(519, '\xFF');
  for (int seed : {2000, 2500, 2999}) {
    for (const std::string& text : {bytes, longest}) {
      const std::string scrambled = scrambledWithSeed(seed, text);
      ASSERT_EQ(scrambled.size(), 4 + 4 * text.size()) << "a character took other than 4 digits";
      EXPECT_EQ(UnscrambleHistoryText(scrambled), text) << seed;
    }
  }
  EXPECT_EQ(UnscrambleHistoryText(ScrambleHistoryText(longest)), longest);
}

TEST(HistoryScrambling, EachScramblingDrawsItsOwnSeed) {
  std::set<std::string> seen;
  for (int i = 0; i < 20; ++i) seen.insert(ScrambleHistoryText("scott/tiger@orcl"));
  EXPECT_GT(seen.size(), 1u);
}

TEST(HistoryScrambling, TextsTooLongForFourDigitsAreRefused) {
  // Past 519 characters a character can need five digits and the text would not read back.
  EXPECT_THROW(ScrambleHistoryText(std::string(520, 'x')), Exception);
}

TEST(HistoryScrambling, DamagedTextsGiveWhatWasDecodedBeforeTheDamage) {
  const std::string good = scrambledWithSeed(2345, "scott/tiger@orcl");
  const struct {
    std::string stored;
    std::string expected;
  } cases[] = {
      {"", ""},
      {"23", ""},
      {"x345" + good.substr(4), ""},
      {good.substr(0, 4), ""},
      {good.substr(0, 4 + 4 * 5) + "12a4" + good.substr(4 + 4 * 6), "scott"},
      {good.substr(0, 4 + 4 * 5) + "-123", "scott"},
      {good.substr(0, 4 + 4 * 5) + "12", "scott"},  // a group cut short
      {good + " ", "scott/tiger@orcl"},
  };
  for (const auto& c : cases) EXPECT_EQ(UnscrambleHistoryText(c.stored), c.expected) << c.stored;
}

// ---- Registry storage

class RegistryStorage : public ::testing::Test {
 protected:
  std::string value(const std::string& name) const {
    return registry.readString(RootKey::CurrentUser, kKey, name).value_or("<none>");
  }
  void store(const std::string& name, const std::string& data) {
    ASSERT_TRUE(registry.writeString(RootKey::CurrentUser, kKey, name, data));
  }

  static constexpr const char* kKey = "Software\\Test\\Logon";
  platform::RegFileRegistry registry{platform::RegText{
      "[HKEY_CURRENT_USER\\Software\\Test\\Logon]\n\"Other\"=\"kept\"\n"
      "[HKEY_CURRENT_USER\\Software\\Test\\Elsewhere]\n\"Logon0\"=\"not ours\"\n"}};
  const platform::ScopedServices services{{.registry = &registry}};
};

TEST_F(RegistryStorage, RoundTripKeepsOrderPasswordsAndModes) {
  THistoryItems written = listKeeping(true);
  AddHistoryItem(written, "hr", "hr", "test", "", true);
  AddHistoryItem(written, "sys", "pw", "orcl", "SYSDBA", true);
  AddHistoryItem(written, "scott", "tiger", "orcl", "", true);
  EXPECT_TRUE(WriteHistoryToRegistry(written, "\\Software\\Test\\Logon"));
  EXPECT_EQ(UnscrambleHistoryText(value("Logon0")), "scott/tiger@orcl");
  EXPECT_EQ(UnscrambleHistoryText(value("Logon1")), "sys/pw@orcl as SYSDBA");
  EXPECT_EQ(registry.readValue(RootKey::CurrentUser, kKey, "Logon1")->type,
            platform::RegValueType::String);

  THistoryItems read = listKeeping(true);
  EXPECT_TRUE(ReadHistoryFromRegistry(read, kKey));
  ASSERT_EQ(read.Count(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(read[i].Username, written[i].Username);
    EXPECT_EQ(read[i].Password, written[i].Password);
    EXPECT_EQ(read[i].Database, written[i].Database);
    EXPECT_EQ(read[i].ConnectAs, written[i].ConnectAs);
  }
  EXPECT_EQ(value("Other"), "kept");
  EXPECT_EQ(registry.readString(RootKey::CurrentUser, "Software\\Test\\Elsewhere", "Logon0"),
            "not ours");
}

TEST_F(RegistryStorage, ShorterListsDeleteTheValuesBeyondThem) {
  THistoryItems list = listKeeping(true);
  for (const char* user : {"a", "b", "c"}) AddHistoryItem(list, user, "", "", "", false);
  WriteHistoryToRegistry(list, kKey);
  list.Clear();
  AddHistoryItem(list, "d", "", "", "", false);
  WriteHistoryToRegistry(list, kKey);
  EXPECT_EQ(UnscrambleHistoryText(value("Logon0")), "d/@");
  EXPECT_EQ(value("Logon1"), "<none>");
  EXPECT_EQ(value("Logon2"), "<none>");
  WriteHistoryToRegistry(listKeeping(true), kKey);
  EXPECT_EQ(value("Logon0"), "<none>");
  EXPECT_EQ(value("Other"), "kept");
}

TEST_F(RegistryStorage, PasswordsAreNeitherStoredNorTakenWhenTheListKeepsNone) {
  THistoryItems list = listKeeping(false);
  AddHistoryItem(list, "scott", "tiger", "orcl", "", true);
  WriteHistoryToRegistry(list, kKey);
  EXPECT_EQ(UnscrambleHistoryText(value("Logon0")), "scott/@orcl");

  store("Logon0", ScrambleHistoryText("scott/tiger@orcl"));
  THistoryItems read = listKeeping(false);
  ReadHistoryFromRegistry(read, kKey);
  ASSERT_EQ(read.Count(), 1u);
  EXPECT_EQ(read[0].Password, "");
}

TEST_F(RegistryStorage, LoadingTakesOnlyAsManyAsTheListKeeps) {
  for (int n = 0; n < 5; ++n)
    store("Logon" + std::to_string(n), ScrambleHistoryText("u" + std::to_string(n) + "/@"));
  THistoryItems read = listKeeping(true, 2);
  ReadHistoryFromRegistry(read, kKey);
  EXPECT_EQ(menuTexts(read), (std::vector<std::string>{"u0", "u1"}));
}

TEST_F(RegistryStorage, LoadingStopsAtAMissingOrEmptyValue) {
  store("Logon0", ScrambleHistoryText("a/@"));
  store("Logon2", ScrambleHistoryText("c/@"));
  THistoryItems read = listKeeping(true);
  ReadHistoryFromRegistry(read, kKey);
  EXPECT_EQ(menuTexts(read), std::vector<std::string>{"a"});

  store("Logon1", "junk");
  read.Clear();
  ReadHistoryFromRegistry(read, kKey);
  EXPECT_EQ(menuTexts(read), std::vector<std::string>{"a"});
}

TEST_F(RegistryStorage, ADamagedValueGivesItsDecodedPrefix) {
  const std::string good = ScrambleHistoryText("scott/tiger@orcl");
  store("Logon0", good.substr(0, 4 + 4 * 5) + "####" + good.substr(4 + 4 * 6));
  store("Logon1", ScrambleHistoryText("hr/@test"));
  THistoryItems read = listKeeping(true);
  ReadHistoryFromRegistry(read, kKey);
  EXPECT_EQ(menuTexts(read), (std::vector<std::string>{"scott", "hr@test"}));
}

// A value longer than a 257-byte buffer (over 63 characters once scrambled) is read like any
// other: it must not end the loading and so have the entries after it deleted by the next store.
TEST_F(RegistryStorage, LongEntriesLoadAndTheOnesAfterThemToo) {
  const std::string descriptor =
      "(DESCRIPTION=(ADDRESS=(PROTOCOL=TCP)(HOST=db.example.com)(PORT=1521))"
      "(CONNECT_DATA=(SERVICE_NAME=orcl.example.com)))";
  THistoryItems written = listKeeping(true);
  AddHistoryItem(written, "hr", "hr", "test", "", false);
  AddHistoryItem(written, "scott", "tiger", descriptor, "", true);
  WriteHistoryToRegistry(written, kKey);
  ASSERT_GT(value("Logon0").size(), 257u);
  THistoryItems read = listKeeping(true);
  ReadHistoryFromRegistry(read, kKey);
  ASSERT_EQ(read.Count(), 2u);
  EXPECT_EQ(read[0].Database, descriptor);
  EXPECT_EQ(read[1].Username, "hr");
}

// An entry too long for the format is left out; the others are stored without a gap.
TEST_F(RegistryStorage, EntriesTooLongForTheFormatAreLeftOut) {
  THistoryItems written = listKeeping(true);
  written.Append({"first", "", "", ""});
  written.Append({"long", "", std::string(600, 'd'), ""});
  written.Append({"last", "", "", ""});
  EXPECT_TRUE(WriteHistoryToRegistry(written, kKey));
  THistoryItems read = listKeeping(true);
  ReadHistoryFromRegistry(read, kKey);
  EXPECT_EQ(menuTexts(read), (std::vector<std::string>{"first", "last"}));
}

TEST_F(RegistryStorage, NoKeyOrAMissingKeyChangesNothing) {
  THistoryItems list = listKeeping(true);
  AddHistoryItem(list, "kept", "", "", "", true);
  EXPECT_TRUE(ReadHistoryFromRegistry(list, ""));
  EXPECT_TRUE(ReadHistoryFromRegistry(list, "Software\\Nowhere"));
  EXPECT_EQ(menuTexts(list), std::vector<std::string>{"kept"});
  const std::string before = registry.text();
  EXPECT_TRUE(WriteHistoryToRegistry(list, ""));
  EXPECT_EQ(registry.text(), before);
}

TEST(RegistryStorageFile, AnUnwritableRegistryStoresNothingAndLosesNothing) {
  testsupport::TempFolder folder;
  // Not a registry file: every write to it is refused.
  const std::string path = folder.file("registry.reg");
  const std::string content = "[HKEY_CURRENT_USER\\Software\\Test\\Logon]\n\"Other\"=\"kept\"\n";
  testsupport::TempFolder::write(path, content);
  platform::RegFileRegistry registry(path);
  const platform::ScopedServices services({.registry = &registry});
  THistoryItems list = listKeeping(true);
  AddHistoryItem(list, "scott", "tiger", "orcl", "", true);
  EXPECT_TRUE(WriteHistoryToRegistry(list, "Software\\Test\\Logon"));
  EXPECT_EQ(fileText(path), content);
  EXPECT_EQ(list.Count(), 1u);
}

// ---- Ini storage

class IniStorage : public ::testing::Test {
 protected:
  testsupport::TempFolder folder;
  std::string file = folder.file("logon.ini");
  platform::IniFileProfile profile;
  const platform::ScopedServices services{{.profile = &profile}};
};

TEST_F(IniStorage, RoundTripKeepsEverythingElseInTheFile) {
  testsupport::TempFolder::write(
      file, "; settings\n[Window]\nLeft=10\n\n[Logon]\n0=stale\n1=stale\n2=stale\n[Last]\nx=1\n");
  THistoryItems written = listKeeping(true);
  AddHistoryItem(written, "hr", "hr", "test", "", true);
  AddHistoryItem(written, "sys", "pw", "orcl", "SYSOPER", true);
  EXPECT_TRUE(WriteHistoryToIniFile(written, file));
  EXPECT_EQ(UnscrambleHistoryText(profile.readString(file, "Logon", "0", "")), "sys/pw@orcl as SYSOPER");
  EXPECT_EQ(profile.readString(file, "Logon", "2", "<none>"), "<none>") << "the section is rewritten";
  EXPECT_EQ(profile.readString(file, "Window", "Left", ""), "10");
  EXPECT_EQ(profile.readString(file, "Last", "x", ""), "1");
  EXPECT_NE(fileText(file).find("; settings"), std::string::npos);

  THistoryItems read = listKeeping(true, 0);
  EXPECT_TRUE(ReadHistoryFromIniFile(read, file));
  EXPECT_EQ(menuTexts(read), (std::vector<std::string>{"sys@orcl as SYSOPER", "hr@test"}));
  EXPECT_EQ(read[0].Password, "pw");
}

TEST_F(IniStorage, LoadingFollowsTheListRules) {
  THistoryItems written = listKeeping(true);
  for (const char* user : {"e", "d", "c", "b", "a"}) AddHistoryItem(written, user, "pw", "", "", true);
  WriteHistoryToIniFile(written, file);
  THistoryItems read = listKeeping(false, 2);
  EXPECT_TRUE(ReadHistoryFromIniFile(read, file));
  EXPECT_EQ(menuTexts(read), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(read[0].Password, "");
}

TEST_F(IniStorage, AMissingFileOrNameReadsAsNoHistory) {
  THistoryItems read = listKeeping(true);
  EXPECT_TRUE(ReadHistoryFromIniFile(read, folder.file("none.ini")));
  EXPECT_TRUE(ReadHistoryFromIniFile(read, ""));
  EXPECT_TRUE(WriteHistoryToIniFile(read, ""));
  EXPECT_EQ(read.Count(), 0u);
}

TEST_F(IniStorage, AFileThatCannotBeWrittenIsReported) {
  THistoryItems list = listKeeping(true);
  AddHistoryItem(list, "scott", "tiger", "orcl", "", true);
  const std::string unwritable = folder.file("missing-folder/logon.ini");
  EXPECT_FALSE(WriteHistoryToIniFile(list, unwritable));
  EXPECT_EQ(list.Count(), 1u);
}

// A profile whose reads fail after a number of them.
class FailingProfile final : public platform::Profile {
 public:
  explicit FailingProfile(std::vector<std::string> values) : values_(std::move(values)) {}
  std::string readString(const std::string&, std::string_view, std::string_view key,
                         std::string_view) const override {
    const auto n = static_cast<std::size_t>(std::stoi(std::string(key)));
    if (n >= values_.size()) throw std::runtime_error("read failed");
    return values_[n];
  }
  std::vector<std::string> readSectionKeys(const std::string&, std::string_view) const override {
    return {};
  }
  bool writeString(const std::string&, std::string_view, std::string_view,
                   std::string_view) override {
    return false;
  }
  bool eraseSection(const std::string&, std::string_view) override { return false; }

 private:
  std::vector<std::string> values_;
};

TEST(IniStorageFailures, AReadFailureEndsLoadingWithFalse) {
  FailingProfile profile({ScrambleHistoryText("a/@"), ScrambleHistoryText("b/@")});
  const platform::ScopedServices services({.profile = &profile});
  THistoryItems read = listKeeping(true);
  EXPECT_FALSE(ReadHistoryFromIniFile(read, "any.ini"));
  EXPECT_EQ(menuTexts(read), (std::vector<std::string>{"a", "b"}));
  EXPECT_FALSE(WriteHistoryToIniFile(read, "any.ini"));
}

}  // namespace
}  // namespace oracle
