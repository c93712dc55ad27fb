#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>

#include "FileFacts.h"
#include "platform/IniFileProfile.h"
#include "support/TempFolder.h"

namespace platform {
namespace {

using testsupport::TempFolder;

class IniFileProfileTest : public ::testing::Test {
 protected:
  TempFolder folder_;
  std::string file_ = folder_.file("settings.ini");
  IniFileProfile ini_;

  std::vector<std::string> strayFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_.path())) {
      const std::string name = entry.path().filename().string();
      if (testing::isStrayName(name)) names.push_back(name);
    }
    return names;
  }
};

TEST_F(IniFileProfileTest, ReadsWithTheProfileFunctionsRules) {
  TempFolder::write(file_,
                    "stray=before any section\r\n"
                    "[Logon]\r\n"
                    "0=first\r\n"
                    "  Key With Spaces  =  padded value  \r\n"
                    "quoted=\"  kept blanks  \"\r\n"
                    "single='x'\r\n"
                    "half=\"open\r\n"
                    "empty=\r\n"
                    "; 1=commented out\r\n"
                    "no equals sign\r\n"
                    "eq=a=b\r\n"
                    "0=second of the same key\r\n"
                    "[ other ]\r\n"
                    "0=other section\r\n"
                    "[LOGON]\r\n"
                    "late=from a second section of the same name\r\n"
                    "0=third\r\n");
  struct Case {
    const char* section;
    const char* key;
    const char* expected;
  };
  const Case cases[] = {
      {"Logon", "0", "first"},  // the first match wins
      {"logon", "KEY WITH SPACES", "padded value"},
      {" Logon ", " 0 ", "first"},
      {"Logon", "quoted", "  kept blanks  "},
      {"Logon", "single", "x"},
      {"Logon", "half", "\"open"},
      {"Logon", "empty", ""},
      {"Logon", "eq", "a=b"},
      {"Logon", "late", "from a second section of the same name"},
      {"other", "0", "other section"},
      {"Logon", "1", "default"},
      {"Logon", "no equals sign", "default"},
      {"Missing", "0", "default"},
      {"", "stray", "default"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ini_.readString(file_, c.section, c.key, "default"), c.expected)
        << c.section << "/" << c.key;
  }
  EXPECT_EQ(ini_.readString(file_, "Logon", "missing", "trailing blanks  "), "trailing blanks");
  EXPECT_EQ(ini_.readSectionKeys(file_, "LOGON"),
            (std::vector<std::string>{"0", "Key With Spaces", "quoted", "single", "half", "empty",
                                      "eq", "late"}));
  EXPECT_TRUE(ini_.readSectionKeys(file_, "Missing").empty());
  EXPECT_EQ(ini_.readString(folder_.file("missing.ini"), "Logon", "0", "d"), "d");
  EXPECT_TRUE(ini_.readSectionKeys(folder_.file("missing.ini"), "Logon").empty());
}

TEST_F(IniFileProfileTest, WritesChangeOnlyTheirOwnLines) {
  const std::string original =
      "\xEF\xBB\xBF; settings of the logon dialog\r\n"
      "[Logon]\r\n"
      "0 = 12345\r\n"
      "1=67890\r\n"
      "\r\n"
      "; between sections\r\n"
      "[Other]\r\n"
      "keep=this\r\n"
      "[logon]\r\n"
      "late=x";  // no line end at the end of the file
  TempFolder::write(file_, original);
  std::string expected = original;

  // A key that exists: only its value text changes; the key's spelling and spacing stay.
  ASSERT_TRUE(ini_.writeString(file_, "LOGON", "0", "555"));
  expected.replace(expected.find("0 = 12345"), 9, "0 = 555");
  EXPECT_EQ(TempFolder::read(file_), expected);

  // A new key goes after the last key of the first section of that name.
  ASSERT_TRUE(ini_.writeString(file_, "Logon", "2", "new"));
  expected.insert(expected.find("1=67890\r\n") + 9, "2=new\r\n");
  EXPECT_EQ(TempFolder::read(file_), expected);

  // A key that only a later section of that name holds is changed there.
  ASSERT_TRUE(ini_.writeString(file_, "Logon", "late", "y"));
  expected.replace(expected.find("late=x"), 6, "late=y");
  EXPECT_EQ(TempFolder::read(file_), expected);

  // Values that would not read back as written are quoted.
  ASSERT_TRUE(ini_.writeString(file_, "Other", "padded", "  a b  "));
  ASSERT_TRUE(ini_.writeString(file_, "Other", "quotes", "\"q\""));
  expected.insert(expected.find("keep=this\r\n") + 11,
                  "padded=\"  a b  \"\r\nquotes=\"\"q\"\"\r\n");
  EXPECT_EQ(TempFolder::read(file_), expected);
  EXPECT_EQ(ini_.readString(file_, "Other", "padded", ""), "  a b  ");
  EXPECT_EQ(ini_.readString(file_, "Other", "quotes", ""), "\"q\"");

  // A new section goes at the end, after a blank line.
  ASSERT_TRUE(ini_.writeString(file_, "New", "k", "v"));
  expected += "\r\n\r\n[New]\r\nk=v\r\n";
  EXPECT_EQ(TempFolder::read(file_), expected);
  EXPECT_TRUE(strayFiles().empty());
}

TEST_F(IniFileProfileTest, EraseSectionRemovesEverySectionOfThatName) {
  TempFolder::write(file_,
                    "[Logon]\n0=a\n; comment inside\n[Keep]\nk=v\n[LOGON]\n1=b\n\n[Tail]\nt=1\n");
  ASSERT_TRUE(ini_.eraseSection(file_, "logon"));
  EXPECT_EQ(TempFolder::read(file_), "[Keep]\nk=v\n[Tail]\nt=1\n");
  EXPECT_EQ(ini_.readString(file_, "Logon", "0", "gone"), "gone");
  ASSERT_TRUE(ini_.eraseSection(file_, "Missing"));  // nothing to do is no failure
  EXPECT_EQ(TempFolder::read(file_), "[Keep]\nk=v\n[Tail]\nt=1\n");
  EXPECT_TRUE(ini_.eraseSection(folder_.file("missing.ini"), "Logon"));
  EXPECT_FALSE(std::filesystem::exists(folder_.file("missing.ini")));
}

TEST_F(IniFileProfileTest, HistoryStyleRewriteRoundTrips) {
  // The logon history's way of storing: erase the section, then write keys 0..n.
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(ini_.eraseSection(file_, "Logon"));
    for (int i = 0; i < 5; ++i) {
      ASSERT_TRUE(
          ini_.writeString(file_, "Logon", std::to_string(i), std::to_string(1000 * (i + round))));
    }
  }
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(ini_.readString(file_, "Logon", std::to_string(i), ""),
              std::to_string(1000 * (i + 1)));
  }
  EXPECT_EQ(TempFolder::read(file_), "[Logon]\n0=1000\n1=2000\n2=3000\n3=4000\n4=5000\n");
}

TEST_F(IniFileProfileTest, RefusedWritesLeaveTheFileAlone) {
  ASSERT_TRUE(ini_.writeString(file_, "Logon", "0", "v"));
  const std::string saved = TempFolder::read(file_);
  struct Case {
    const char* section;
    const char* key;
    const char* value;
  };
  const Case refused[] = {
      {"Logon", "0", "two\nlines"}, {"Logon", "0", "cr\r"}, {"Logon", "a=b", "v"},
      {"Logon", "", "v"},           {"Logon", "[x", "v"},   {"Logon", ";x", "v"},
      {"Lo]gon", "k", "v"},         {"Lo\ngon", "k", "v"},  {"", "k", "v"},
      {"Logon", "k\nk", "v"},
  };
  for (const Case& c : refused) {
    EXPECT_FALSE(ini_.writeString(file_, c.section, c.key, c.value)) << c.section << "/" << c.key;
  }
  EXPECT_EQ(TempFolder::read(file_), saved);
  EXPECT_FALSE(ini_.writeString(folder_.file("no/such/folder.ini"), "Logon", "0", "v"));
  EXPECT_FALSE(ini_.writeString("", "Logon", "0", "v"));
  if (testing::permissionsBind()) {
    ASSERT_TRUE(testing::makeReadOnly(file_));
    EXPECT_FALSE(ini_.writeString(file_, "Logon", "0", "w"));
    EXPECT_EQ(TempFolder::read(file_), saved);
  }
  EXPECT_TRUE(strayFiles().empty());
}

TEST_F(IniFileProfileTest, WritesReplaceTheFileAtomically) {
  TempFolder::write(file_, "[Logon]\n0=a\n");
#ifndef _WIN32
  ASSERT_EQ(::chmod(file_.c_str(), 0604), 0);
#endif
  const std::uint64_t before = testing::fileIdentity(file_);
  ASSERT_TRUE(ini_.writeString(file_, "Logon", "0", "b"));
  const std::uint64_t after = testing::fileIdentity(file_);
  EXPECT_NE(after, before);
#ifndef _WIN32
  struct stat kept {};
  ASSERT_EQ(::stat(file_.c_str(), &kept), 0);
  EXPECT_EQ(kept.st_mode & 0777, 0604u);
#endif
  EXPECT_EQ(TempFolder::read(file_), "[Logon]\n0=b\n");

  // Rewriting the same value leaves the file itself alone.
  ASSERT_TRUE(ini_.writeString(file_, "Logon", "0", "b"));
  EXPECT_EQ(testing::fileIdentity(file_), after);

  // A new file gets the usual mode for new files (0666 less the umask).
  const std::string fresh = folder_.file("fresh.ini");
  ASSERT_TRUE(ini_.writeString(fresh, "S", "k", "v"));
#ifndef _WIN32
  const mode_t mask = ::umask(0);
  ::umask(mask);
  struct stat created {};
  ASSERT_EQ(::stat(fresh.c_str(), &created), 0);
  EXPECT_EQ(created.st_mode & 0777, 0666u & ~mask);
#endif
  EXPECT_EQ(TempFolder::read(fresh), "[S]\nk=v\n");
  EXPECT_TRUE(strayFiles().empty());
}

}  // namespace
}  // namespace platform
