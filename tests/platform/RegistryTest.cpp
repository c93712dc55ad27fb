#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <thread>

#include "FileFacts.h"
#include "platform/FakeProcess.h"
#include "platform/RegFileRegistry.h"
#include "platform/Services.h"
#include "support/TempFolder.h"

namespace platform {
namespace {

using testsupport::TempFolder;
constexpr RootKey HKLM = RootKey::LocalMachine;
constexpr RootKey HKCU = RootKey::CurrentUser;

std::string bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out += static_cast<char>(v);
  return out;
}

RegValue dword(std::uint32_t n) {
  return {RegValueType::Dword,
          bytes({static_cast<int>(n & 0xFF), static_cast<int>((n >> 8) & 0xFF),
                 static_cast<int>((n >> 16) & 0xFF), static_cast<int>(n >> 24)})};
}

}  // namespace

// Found by GoogleTest through argument-dependent look-up, so outside the anonymous namespace.
void PrintTo(const RegValue& v, std::ostream* os) {
  *os << "type " << static_cast<int>(v.type) << " data \"";
  for (unsigned char c : v.data) {
    if (c >= 32 && c < 127) {
      *os << c;
    } else {
      *os << "\\x" << std::hex << static_cast<int>(c) << std::dec;
    }
  }
  *os << "\"";
}

namespace {

// ---- reading -----------------------------------------------------------------------------------

TEST(RegFileRegistryRead, EveryValueFormat) {
  const RegFileRegistry reg(
      RegText{"Windows Registry Editor Version 5.00\r\n"
              "\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\ORACLE\\HOME0]\r\n"
              "@=\"default text\"\r\n"
              "\"ORACLE_HOME\"=\"C:\\\\orant\\\\9i\"\r\n"
              "\"Quoted\"=\"say \\\"hi\\\"\"\r\n"
              "\"Odd\\\\Name \\\"x\\\"\"=\"v\"\r\n"
              "\"Unknown escape\"=\"a\\nb\"\r\n"
              "\"Empty\"=\"\"\r\n"
              "\"Count\"=dword:0000002a\r\n"
              "\"Short dword\"=dword:ff\r\n"
              "\"Blob\"=hex:00,01,fe,FF\r\n"
              "\"Wrapped\"=hex:01,02,03,\\\r\n"
              "  04,05,\\\r\n"
              "  06\r\n"
              "\"Path\"=hex(2):25,00,4f,00,48,00,25,00,5c,00,62,00,69,00,6e,00,00,00\r\n"
              "\"List\"=hex(7):61,00,00,00,62,00,63,00,00,00,00,00\r\n"
              "\"Nonascii\"=hex(1):e5,00,3d,d8,00,de,00,00\r\n"
              "\"Dword as hex\"=hex(4):01,00,00,00\r\n"
              "\"Qword\"=hex(b):01,00,00,00,00,00,00,00\r\n"
              "\"Empty binary\"=hex:\r\n"});
  const char* key = "SOFTWARE\\ORACLE\\HOME0";
  struct Case {
    const char* name;
    RegValue value;
  };
  const Case cases[] = {
      {"", {RegValueType::String, "default text"}},
      {"ORACLE_HOME", {RegValueType::String, "C:\\orant\\9i"}},
      {"Quoted", {RegValueType::String, "say \"hi\""}},
      {"Odd\\Name \"x\"", {RegValueType::String, "v"}},
      {"Unknown escape", {RegValueType::String, "a\\nb"}},  // only \\ and \" are escapes
      {"Empty", {RegValueType::String, ""}},
      {"Count", dword(42)},
      {"Short dword", dword(255)},
      {"Blob", {RegValueType::Binary, bytes({0, 1, 0xfe, 0xff})}},
      {"Wrapped", {RegValueType::Binary, bytes({1, 2, 3, 4, 5, 6})}},
      {"Path", {RegValueType::ExpandString, "%OH%\\bin"}},
      {"List", {RegValueType::MultiString, std::string("a\0bc\0", 5)}},
      {"Nonascii", {RegValueType::String, "\xC3\xA5\xF0\x9F\x98\x80"}},  // U+00E5, U+1F600
      {"Dword as hex", dword(1)},
      {"Qword", {RegValueType::Other, bytes({1, 0, 0, 0, 0, 0, 0, 0})}},
      {"Empty binary", {RegValueType::Binary, ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<RegValue> value = reg.readValue(HKLM, key, c.name);
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(*value, c.value);
  }
  EXPECT_EQ(reg.readString(HKLM, key, "Path"), "%OH%\\bin");
  EXPECT_EQ(reg.readString(HKLM, key, "Count"), std::nullopt);  // not a string kind
  EXPECT_EQ(reg.valueNames(HKLM, key).size(), std::size(cases));
}

TEST(RegFileRegistryRead, Regedit4FilesHoldStringDataAsBytes) {
  const RegFileRegistry reg(
      RegText{"REGEDIT4\n\n[HKEY_CURRENT_USER\\Env]\n\"Path\"=hex(2):25,48,25,00\n"
              "\"List\"=hex(7):61,00,62,00,00\n"});
  EXPECT_EQ(reg.readValue(HKCU, "Env", "Path"), (RegValue{RegValueType::ExpandString, "%H%"}));
  EXPECT_EQ(reg.readValue(HKCU, "Env", "List"),
            (RegValue{RegValueType::MultiString, std::string("a\0b\0", 4)}));
}

TEST(RegFileRegistryRead, NamesCompareWithoutCaseAndKeysExistAlongTheirPath) {
  const RegFileRegistry reg(RegText{
      "Windows Registry Editor Version 5.00\n\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\ORACLE]\n\"Oracle_Home\"=\"first\"\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\ORACLE\\KEY_OraHome92]\n\"ORACLE_HOME\"=\"x\"\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\ORACLE\\HOME0]\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\ORACLE\\key_orahome92\\Sub]\n"
      "[HKLM\\SOFTWARE\\ORACLE\\HOME1]\n"
      "[hkey_current_user\\Lower]\n\"v\"=\"lower-case root\"\n"
      "[HKEY_CLASSES_ROOT\\SOFTWARE\\ORACLE]\n\"ORACLE_HOME\"=\"other root\"\n"
      "[HKEY_LOCAL_MACHINE\\software\\oracle]\n\"ORACLE_HOME\"=\"second\"\n\"Extra\"=\"e\"\n"});
  // Two sections of one key add up; the later of two values of one name wins.
  EXPECT_EQ(reg.readString(HKLM, "SOFTWARE\\ORACLE", "oracle_home"), "second");
  EXPECT_EQ(reg.readString(HKLM, "\\Software\\Oracle\\", "EXTRA"), "e");
  EXPECT_EQ(reg.valueNames(HKLM, "SOFTWARE\\ORACLE"),
            (std::vector<std::string>{"Oracle_Home", "Extra"}));
  // Subkeys in stored order, each once, in its first spelling.
  EXPECT_EQ(reg.subkeys(HKLM, "software\\oracle"),
            (std::vector<std::string>{"KEY_OraHome92", "HOME0", "HOME1"}));
  EXPECT_EQ(reg.subkeys(HKLM, ""), std::vector<std::string>{"SOFTWARE"});
  EXPECT_EQ(reg.subkeys(HKLM, "SOFTWARE\\ORACLE\\HOME0"), std::vector<std::string>{});
  // A key exists when any section names it or a key below it.
  EXPECT_TRUE(reg.keyExists(HKLM, "SOFTWARE"));
  EXPECT_TRUE(reg.keyExists(HKLM, "SOFTWARE\\ORACLE\\HOME1"));
  EXPECT_TRUE(reg.keyExists(HKLM, ""));
  EXPECT_TRUE(reg.keyExists(HKCU, ""));
  EXPECT_FALSE(reg.keyExists(HKLM, "SOFT"));
  EXPECT_FALSE(reg.keyExists(HKLM, "SOFTWARE\\ORACLE\\HOME"));
  EXPECT_FALSE(reg.keyExists(HKLM, "SOFTWARE\\\\ORACLE"));
  EXPECT_FALSE(reg.keyExists(HKCU, "SOFTWARE"));
  // Root names compare without regard to case too; other roots are ignored.
  EXPECT_EQ(reg.readString(HKCU, "Lower", "v"), "lower-case root");
  EXPECT_EQ(reg.readValue(HKCU, "SOFTWARE\\ORACLE", "ORACLE_HOME"), std::nullopt);
  EXPECT_EQ(reg.readValue(HKLM, "SOFTWARE\\ORACLE", "missing"), std::nullopt);
  EXPECT_EQ(reg.readValue(HKLM, "SOFTWARE\\MISSING", "ORACLE_HOME"), std::nullopt);
  EXPECT_TRUE(reg.valueNames(HKLM, "SOFTWARE\\MISSING").empty());
}

TEST(RegFileRegistryRead, DamagedLinesAreSkippedAndDoNotLeakIntoOtherKeys) {
  const std::string damaged[] = {
      "\"Unterminated\"=\"abc\n",
      "\"NoEquals\" \"x\"\n",
      "\"BadDword\"=dword:123456789\n",
      "\"BadDword2\"=dword:xyz\n",
      "\"BadHex\"=hex:0g,01\n",
      "\"BadHex2\"=hex:001\n",
      "\"BadType\"=hex(zz):00\n",
      "\"Garbage after\"=\"x\" trailing\n",
      "\"Deleted\"=-\n",
      "plain text line\n",
      std::string("\"Nul\0\"=x\n", 9),
      "\"Cut\"=hex:01,02,\\\n",  // continuation cut short by the value below
  };
  for (const std::string& junk : damaged) {
    SCOPED_TRACE(junk);
    const std::string text = std::string("Windows Registry Editor Version 5.00\n\n") +
                             "[HKEY_CURRENT_USER\\A]\n\"Before\"=\"1\"\n" + junk +
                             "\"After\"=\"2\"\n[HKEY_CURRENT_USER\\B]\n\"Other\"=\"3\"\n";
    const RegFileRegistry reg(RegText{text});
    EXPECT_EQ(reg.readString(HKCU, "A", "Before"), "1");
    EXPECT_EQ(reg.readString(HKCU, "A", "After"), "2");
    EXPECT_EQ(reg.readString(HKCU, "B", "Other"), "3");
    EXPECT_EQ(reg.valueNames(HKCU, "A"), (std::vector<std::string>{"Before", "After"}));
    EXPECT_EQ(reg.text(), text);  // the parser keeps every byte
  }
  // Values under a damaged section header belong to no key, not to the key above it.
  const RegFileRegistry broken(
      RegText{"Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\A]\n\"a\"=\"1\"\n"
              "[HKEY_CURRENT_USER\\B\n\"b\"=\"2\"\n[-HKEY_CURRENT_USER\\C]\n\"c\"=\"3\"\n"
              "[NOT_A_ROOT\\D]\n\"d\"=\"4\"\n[HKEY_CURRENT_USER\\E]\n\"e\"=\"5\"\n"});
  EXPECT_EQ(broken.valueNames(HKCU, "A"), std::vector<std::string>{"a"});
  EXPECT_FALSE(broken.keyExists(HKCU, "B"));
  EXPECT_FALSE(broken.keyExists(HKCU, "C"));
  EXPECT_EQ(broken.readString(HKCU, "E", "e"), "5");
  // A continuation that runs into the next value stops there; the next value still reads.
  const RegFileRegistry cut(
      RegText{"Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\A]\n\"x\"=hex:01,\\\n"
              "\"y\"=\"2\"\n\"z\"=hex:01,\\\n"});  // and one that ends the file
  EXPECT_EQ(cut.readValue(HKCU, "A", "x"), std::nullopt);
  EXPECT_EQ(cut.readString(HKCU, "A", "y"), "2");
  EXPECT_EQ(cut.readValue(HKCU, "A", "z"), std::nullopt);
}

// ---- the file ----------------------------------------------------------------------------------

class RegFileRegistryFile : public ::testing::Test {
 protected:
  TempFolder folder_;
  std::string path_ = folder_.file("registry.reg");

  // Temporary files a write left behind (they are hidden files in the same folder).
  std::vector<std::string> strayFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_.path())) {
      const std::string name = entry.path().filename().string();
      if (testing::isStrayName(name)) names.push_back(name);
    }
    return names;
  }
};

TEST_F(RegFileRegistryFile, ValuesOfEveryTypeRoundTripThroughTheFile) {
  const std::string longBinary(300, '\xAB');
  struct Case {
    const char* name;
    RegValue value;
  };
  const Case cases[] = {
      {"", {RegValueType::String, "the default value"}},
      {"Plain", {RegValueType::String, "scott/tiger@orcl"}},
      {"Escapes", {RegValueType::String, "C:\\dir\\\"quoted\"\\"}},
      {"Name with \"quotes\" and \\", {RegValueType::String, "v"}},
      {"Empty", {RegValueType::String, ""}},
      {"Line breaks", {RegValueType::String, "one\r\ntwo\nthree"}},
      {"Nonascii", {RegValueType::String, "Oracle-p\xC3\xA5logging"}},
      {"Expand", {RegValueType::ExpandString, "%ORACLE_HOME%\\bin;\xC3\xA6\xC3\xB8"}},
      {"Multi", {RegValueType::MultiString, std::string("first\0second\0", 13)}},
      {"Multi empty", {RegValueType::MultiString, ""}},
      {"Dword", dword(0xDEADBEEF)},
      {"Odd dword", {RegValueType::Dword, bytes({1, 2})}},
      {"Binary", {RegValueType::Binary, bytes({0, 10, 13, 255})}},
      {"Long binary", {RegValueType::Binary, longBinary}},
      {"Other", {RegValueType::Other, bytes({7})}},
  };
  {
    RegFileRegistry reg(path_);
    for (const Case& c : cases)
      ASSERT_TRUE(reg.writeValue(HKCU, "Software\\Test", c.name, c.value)) << c.name;
  }
  const RegFileRegistry reg(path_);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RegValue expected = c.value;
    if (c.name == std::string("Odd dword")) expected.type = RegValueType::Other;  // not 4 bytes
    EXPECT_EQ(reg.readValue(HKCU, "Software\\Test", c.name), expected);
  }
  // Multi-string data without the last NUL reads back with it.
  RegFileRegistry writer(path_);
  ASSERT_TRUE(writer.writeValue(HKCU, "Software\\Test", "Multi",
                                {RegValueType::MultiString, std::string("a\0b", 3)}));
  EXPECT_EQ(writer.readValue(HKCU, "Software\\Test", "Multi")->data, std::string("a\0b\0", 4));

  const std::string text = TempFolder::read(path_);
  EXPECT_EQ(text.rfind(
                "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Test]\n", 0),
            0u);
  EXPECT_NE(text.find("\"Plain\"=\"scott/tiger@orcl\"\n"), std::string::npos);
  EXPECT_NE(text.find("\"Escapes\"=\"C:\\\\dir\\\\\\\"quoted\\\"\\\\\"\n"), std::string::npos);
  EXPECT_NE(text.find("\"Dword\"=dword:deadbeef\n"), std::string::npos);
  EXPECT_NE(text.find("\"Line breaks\"=hex(1):"), std::string::npos);
  // Long data is wrapped with backslash continuations, as the registry editor writes it.
  for (const std::string& line : {text}) {
    std::size_t start = 0;
    while (start < line.size()) {
      const std::size_t end = line.find('\n', start);
      EXPECT_LE(end - start, 80u);
      start = end + 1;
    }
  }
}

TEST_F(RegFileRegistryFile, EditsKeepEveryOtherByte) {
  const std::string original =
      "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n"
      "\r\n"
      "; hand-written comment\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\ORACLE]\r\n"
      "\"ORACLE_HOME\"=\"C:\\\\orant\"\r\n"
      "\r\n"
      "[HKEY_CURRENT_USER\\Software\\Kervalon\\KVL\\Warnings]\r\n"
      "  \"1\"=\"1403\"   \r\n"
      "\"2\"=hex:01,\\\r\n"
      "    02\r\n"
      "\"3\"=\"28002\"\r\n"
      "; trailing comment of the section\r\n"
      "\r\n"
      "[HKEY_CURRENT_USER\\Software\\Other]\n"  // a line with another line end
      "\"x\"=dword:00000001";                   // and no end at all
  TempFolder::write(path_, original);
  RegFileRegistry reg(path_);

  // Changing a value replaces only its line(s).
  ASSERT_TRUE(reg.writeString(HKCU, "software\\kervalon\\kvl\\warnings", "2", "942"));
  std::string expected = original;
  const std::string wrapped = "\"2\"=hex:01,\\\r\n    02\r\n";
  expected.replace(expected.find(wrapped), wrapped.size(), "\"2\"=\"942\"\r\n");
  EXPECT_EQ(TempFolder::read(path_), expected);

  // A new value goes after the key's last value, in the file's line end.
  ASSERT_TRUE(reg.writeString(HKCU, "Software\\Kervalon\\KVL\\Warnings", "4", "1"));
  expected.insert(expected.find("; trailing comment"), "\"4\"=\"1\"\r\n");
  EXPECT_EQ(TempFolder::read(path_), expected);

  // Rewriting a value with what it holds changes nothing, not even its spacing.
  ASSERT_TRUE(reg.writeString(HKCU, "Software\\Kervalon\\KVL\\Warnings", "1", "1403"));
  EXPECT_EQ(TempFolder::read(path_), expected);

  // A deletion removes only the value's line.
  ASSERT_TRUE(reg.deleteValue(HKCU, "Software\\Kervalon\\KVL\\Warnings", "3"));
  expected.erase(expected.find("\"3\"=\"28002\"\r\n"), 13);
  EXPECT_EQ(TempFolder::read(path_), expected);

  // A value in a section whose last line has no line end gets one first.
  ASSERT_TRUE(reg.writeValue(HKCU, "Software\\Other", "y", dword(2)));
  expected += "\r\n\"y\"=dword:00000002\r\n";
  EXPECT_EQ(TempFolder::read(path_), expected);

  // A new key is a new section at the end, after a blank line.
  ASSERT_TRUE(reg.createKey(HKCU, "Software\\New"));
  expected += "\r\n[HKEY_CURRENT_USER\\Software\\New]\r\n";
  EXPECT_EQ(TempFolder::read(path_), expected);
  ASSERT_TRUE(reg.createKey(HKCU, "Software\\NEW"));  // exists: nothing to write
  ASSERT_TRUE(reg.createKey(HKCU, "Software"));       // exists as the path of a section
  EXPECT_EQ(TempFolder::read(path_), expected);
  EXPECT_TRUE(strayFiles().empty());
}

TEST_F(RegFileRegistryFile, DamagedFileKeepsItsBytesThroughWrites) {
  const std::string original =
      "Windows Registry Editor Version 5.00\n"
      "\n"
      "[HKEY_CURRENT_USER\\Software\\Test]\n"
      "\"Good\"=\"1\"\n"
      "\"Broken\"=\"unterminated\n"
      "\xFF\xFE garbage \x01\x02\n"
      "[HKEY_CURRENT_USER\\Software\\Half\n"
      "\"Orphan\"=\"o\"\n"
      "\"Hex\"=hex:01,\\\n"
      "[HKEY_CURRENT_USER\\Software\\Test]\n"
      "\"Later\"=\"2\"\n";
  TempFolder::write(path_, original);
  RegFileRegistry reg(path_);
  EXPECT_EQ(reg.readString(HKCU, "Software\\Test", "Good"), "1");
  EXPECT_EQ(reg.readString(HKCU, "Software\\Test", "Later"), "2");

  ASSERT_TRUE(reg.writeString(HKCU, "Software\\Test", "Good", "changed"));
  std::string expected = original;
  expected.replace(expected.find("\"Good\"=\"1\""), 10, "\"Good\"=\"changed\"");
  EXPECT_EQ(TempFolder::read(path_), expected);

  // A value the damaged lines hid is written anew; the damaged lines stay.
  ASSERT_TRUE(reg.writeString(HKCU, "Software\\Test", "Broken", "fixed"));
  expected += "\"Broken\"=\"fixed\"\n";
  EXPECT_EQ(TempFolder::read(path_), expected);
  EXPECT_EQ(reg.readString(HKCU, "Software\\Test", "Broken"), "fixed");

  ASSERT_TRUE(reg.deleteValue(HKCU, "Software\\Test", "Later"));
  expected.erase(expected.find("\"Later\"=\"2\"\n"), 12);
  EXPECT_EQ(TempFolder::read(path_), expected);
}

TEST_F(RegFileRegistryFile, ForeignFilesAreReadButNeverWritten) {
  const std::string foreign = "[HKEY_CURRENT_USER\\Software\\Test]\n\"a\"=\"1\"\n";  // no header
  TempFolder::write(path_, foreign);
  RegFileRegistry reg(path_);
  EXPECT_EQ(reg.readString(HKCU, "Software\\Test", "a"), "1");
  EXPECT_FALSE(reg.writeString(HKCU, "Software\\Test", "a", "2"));
  EXPECT_FALSE(reg.createKey(HKCU, "Software\\Other"));
  EXPECT_FALSE(reg.deleteValue(HKCU, "Software\\Test", "a"));
  EXPECT_EQ(TempFolder::read(path_), foreign);

  // A UTF-16 file, as the registry editor saves one, reads too.
  std::string utf16 = "\xFF\xFE";
  for (char c : std::string("Windows Registry Editor Version "
                            "5.00\r\n\r\n[HKEY_CURRENT_USER\\T]\r\n\"v\"=\"w\"\r\n")) {
    utf16 += c;
    utf16 += '\0';
  }
  TempFolder::write(path_, utf16);
  EXPECT_EQ(reg.readString(HKCU, "T", "v"), "w");
  EXPECT_FALSE(reg.writeString(HKCU, "T", "v", "x"));
  EXPECT_EQ(TempFolder::read(path_), utf16);

  const std::string binary(
      "\x7F"
      "ELF\0\0\0",
      7);
  TempFolder::write(path_, binary);
  EXPECT_FALSE(reg.keyExists(HKCU, "Software"));
  EXPECT_FALSE(reg.writeString(HKCU, "Software\\Test", "a", "2"));
  EXPECT_EQ(TempFolder::read(path_), binary);
  EXPECT_TRUE(strayFiles().empty());
}

TEST_F(RegFileRegistryFile, WritesReplaceTheFileAtomically) {
  RegFileRegistry reg(path_);
  ASSERT_TRUE(reg.createKey(HKCU, "Software\\Test"));
  const std::uint64_t before = testing::fileIdentity(path_);
  ASSERT_NE(before, 0u);
#ifndef _WIN32
  struct stat created {};
  ASSERT_EQ(::stat(path_.c_str(), &created), 0);
  EXPECT_EQ(created.st_mode & 0777, 0600u);  // a new registry file is private
  ASSERT_EQ(::chmod(path_.c_str(), 0640), 0);
#endif
  ASSERT_TRUE(reg.writeString(HKCU, "Software\\Test", "v", "1"));
  EXPECT_NE(testing::fileIdentity(path_), before);  // a new file moved into place, not rewritten
#ifndef _WIN32
  struct stat after {};
  ASSERT_EQ(::stat(path_.c_str(), &after), 0);
  EXPECT_EQ(after.st_mode & 0777, 0640u);  // with the old file's permissions
#endif
  EXPECT_TRUE(strayFiles().empty());
#ifndef _WIN32

  // A registry reached through a symbolic link: the link stays, its target changes.
  const std::string link = folder_.file("link.reg");
  std::filesystem::create_symlink(path_, link);
  RegFileRegistry linked(link);
  ASSERT_TRUE(linked.writeString(HKCU, "Software\\Test", "w", "2"));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(reg.readString(HKCU, "Software\\Test", "w"), "2");
#endif
}

TEST_F(RegFileRegistryFile, FailedWritesLeaveEverythingAsItWas) {
  // A folder that cannot be made (its parent is a file).
  TempFolder::write(folder_.file("plain"), "x");
  RegFileRegistry impossible(folder_.file("plain/registry.reg"));
  EXPECT_FALSE(impossible.writeString(HKCU, "Software\\Test", "v", "1"));
  EXPECT_FALSE(impossible.createKey(HKCU, "Software\\Test"));

  // Read-only root, unrepresentable names.
  RegFileRegistry reg(path_);
  ASSERT_TRUE(reg.writeString(HKCU, "Software\\Test", "v", "1"));
  const std::string saved = TempFolder::read(path_);
  EXPECT_FALSE(reg.writeString(HKLM, "SOFTWARE\\ORACLE", "ORACLE_HOME", "x"));
  EXPECT_FALSE(reg.createKey(HKLM, "SOFTWARE\\ORACLE"));
  EXPECT_FALSE(reg.deleteValue(HKLM, "SOFTWARE\\ORACLE", "ORACLE_HOME"));
  EXPECT_FALSE(reg.writeString(HKCU, "Software\\Test", "line\nbreak", "x"));
  EXPECT_FALSE(reg.writeString(HKCU, "Software\\\\Test", "v", "x"));
  EXPECT_FALSE(reg.createKey(HKCU, "Software\nTest"));
  EXPECT_FALSE(reg.deleteValue(HKCU, "Software\\Test", "missing"));
  EXPECT_FALSE(reg.deleteValue(HKCU, "Software\\Missing", "v"));
  EXPECT_EQ(TempFolder::read(path_), saved);

  if (testing::permissionsBind()) {
    ASSERT_TRUE(testing::makeReadOnly(path_));
    EXPECT_FALSE(reg.writeString(HKCU, "Software\\Test", "v", "2"));
    EXPECT_EQ(TempFolder::read(path_), saved);
  }
  EXPECT_TRUE(strayFiles().empty());
}

TEST_F(RegFileRegistryFile, ChangesByOtherWritersAreSeenAndKept) {
  RegFileRegistry mine(path_);
  RegFileRegistry theirs(path_);  // stands for another process
  ASSERT_TRUE(mine.writeString(HKCU, "Software\\Test", "a", "1"));
  EXPECT_EQ(mine.readString(HKCU, "Software\\Test", "a"), "1");  // now cached
  ASSERT_TRUE(theirs.writeString(HKCU, "Software\\Test", "b", "2"));
  EXPECT_EQ(mine.readString(HKCU, "Software\\Test", "b"), "2");
  ASSERT_TRUE(mine.writeString(HKCU, "Software\\Test", "c", "3"));
  EXPECT_EQ(theirs.readString(HKCU, "Software\\Test", "b"), "2");
  EXPECT_EQ(theirs.valueNames(HKCU, "Software\\Test"), (std::vector<std::string>{"a", "b", "c"}));

  // An edit by hand that keeps the size still shows (the file's identity changed).
  std::string text = TempFolder::read(path_);
  text.replace(text.find("\"1\""), 3, "\"9\"");
  std::filesystem::remove(path_);
  TempFolder::write(path_, text);
  EXPECT_EQ(mine.readString(HKCU, "Software\\Test", "a"), "9");

  std::filesystem::remove(path_);
  EXPECT_FALSE(mine.keyExists(HKCU, "Software\\Test"));  // a vanished file is an empty registry
}

TEST_F(RegFileRegistryFile, ConcurrentWritersLoseNothing) {
  constexpr int kThreads = 4;
  constexpr int kValues = 15;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([this, t] {
      RegFileRegistry reg(path_);  // one instance each, as separate processes would have
      for (int i = 0; i < kValues; ++i) {
        const std::string name = "t" + std::to_string(t) + "v" + std::to_string(i);
        EXPECT_TRUE(reg.writeString(HKCU, "Software\\Test", name, name));
      }
    });
  }
  for (auto& thread : threads) thread.join();
  const RegFileRegistry reg(path_);
  EXPECT_EQ(reg.valueNames(HKCU, "Software\\Test").size(),
            static_cast<std::size_t>(kThreads * kValues));
  EXPECT_TRUE(strayFiles().empty());
}

#ifdef _WIN32
TEST(RegFileRegistryPath, DefaultLocationIsInTheSettingsFolder) {
  testing::FakeProcess env;
  ScopedServices scoped({.process = &env});
  EXPECT_EQ(RegFileRegistry::defaultPath(), "");  // no APPDATA: no file
  env.env["APPDATA"] = "C:\\Users\\u\\AppData\\Roaming";
  EXPECT_EQ(RegFileRegistry::defaultPath(),
            "C:\\Users\\u\\AppData\\Roaming\\dblogon\\registry.reg");
  env.env["DBLOGON_REGISTRY"] = "";
  EXPECT_EQ(RegFileRegistry::defaultPath(),
            "C:\\Users\\u\\AppData\\Roaming\\dblogon\\registry.reg");
  env.env["DBLOGON_REGISTRY"] = "D:\\elsewhere\\my.reg";
  EXPECT_EQ(RegFileRegistry::defaultPath(), "D:\\elsewhere\\my.reg");

  // The default instance looks the path up at each access, and makes the folder for a write.
  TempFolder folder;
  RegFileRegistry reg;
  env.env["DBLOGON_REGISTRY"] = "";
  env.env["APPDATA"] = folder.path();
  ASSERT_TRUE(reg.writeString(HKCU, "Software\\Test", "v", "1"));
  EXPECT_EQ(reg.path(), folder.path() + "\\dblogon\\registry.reg");
  EXPECT_TRUE(std::filesystem::exists(folder.file("dblogon/registry.reg")));
  env.env["DBLOGON_REGISTRY"] = folder.file("other.reg");
  EXPECT_EQ(reg.readString(HKCU, "Software\\Test", "v"), std::nullopt);  // missing: empty
}
#else
TEST(RegFileRegistryPath, DefaultLocationFollowsTheEnvironment) {
  testing::FakeProcess env;
  ScopedServices scoped({.process = &env});
  env.env["HOME"] = "/home/u";
  EXPECT_EQ(RegFileRegistry::defaultPath(), "/home/u/.config/dblogon/registry.reg");
  env.env["XDG_CONFIG_HOME"] = "relative/ignored";
  EXPECT_EQ(RegFileRegistry::defaultPath(), "/home/u/.config/dblogon/registry.reg");
  env.env["XDG_CONFIG_HOME"] = "/cfg";
  EXPECT_EQ(RegFileRegistry::defaultPath(), "/cfg/dblogon/registry.reg");
  env.env["DBLOGON_REGISTRY"] = "";
  EXPECT_EQ(RegFileRegistry::defaultPath(), "/cfg/dblogon/registry.reg");
  env.env["DBLOGON_REGISTRY"] = "/elsewhere/my.reg";
  EXPECT_EQ(RegFileRegistry::defaultPath(), "/elsewhere/my.reg");

  // The default instance looks the path up at each access, and makes the folder for a write.
  TempFolder folder;
  RegFileRegistry reg;
  env.env["DBLOGON_REGISTRY"] = "";
  env.env["XDG_CONFIG_HOME"] = folder.path();
  ASSERT_TRUE(reg.writeString(HKCU, "Software\\Test", "v", "1"));
  EXPECT_EQ(reg.path(), folder.file("dblogon/registry.reg"));
  EXPECT_TRUE(std::filesystem::exists(folder.file("dblogon/registry.reg")));
  env.env["DBLOGON_REGISTRY"] = folder.file("other.reg");
  EXPECT_EQ(reg.readString(HKCU, "Software\\Test", "v"), std::nullopt);  // missing: empty
}
#endif

// ---- the in-memory form ------------------------------------------------------------------------

TEST(RegFileRegistryMemory, BehavesLikeTheFileWithoutOne) {
  RegFileRegistry reg(
      RegText{"[HKEY_LOCAL_MACHINE\\SOFTWARE\\ORACLE]\n\"ORACLE_HOME\"=\"/opt/oracle\"\n"});
  EXPECT_EQ(reg.path(), "");
  EXPECT_EQ(reg.readString(HKLM, "SOFTWARE\\ORACLE", "ORACLE_HOME"),
            "/opt/oracle");  // header added
  EXPECT_FALSE(reg.writeString(HKLM, "SOFTWARE\\ORACLE", "ORACLE_HOME", "x"));
  ASSERT_TRUE(reg.writeString(HKCU, "Software\\Test", "Logon0", "1234"));
  EXPECT_EQ(reg.text(),
            "Windows Registry Editor Version 5.00\n\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\ORACLE]\n\"ORACLE_HOME\"=\"/opt/oracle\"\n\n"
            "[HKEY_CURRENT_USER\\Software\\Test]\n\"Logon0\"=\"1234\"\n");
  EXPECT_TRUE(reg.deleteValue(HKCU, "Software\\Test", "logon0"));
  EXPECT_FALSE(reg.deleteValue(HKCU, "Software\\Test", "logon0"));
  EXPECT_TRUE(reg.keyExists(HKCU, "Software\\Test"));  // the key stays

  RegFileRegistry empty(RegText{""});
  EXPECT_FALSE(empty.keyExists(HKCU, "Software"));
  ASSERT_TRUE(empty.createKey(HKCU, "Software\\X"));
  EXPECT_EQ(empty.text(),
            "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\X]\n");
}

}  // namespace
}  // namespace platform
