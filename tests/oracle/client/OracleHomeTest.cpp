// Home discovery and library selection over the Windows layout, on a machine held in memory.
#include "oracle/client/OracleHome.h"

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "WindowsMachine.h"

namespace oracle {
namespace {

using testing::WindowsMachine;

void NumberedHome(WindowsMachine& m, int n, const std::string& name, const std::string& folder,
                  bool usable = true) {
  const std::string key = "SOFTWARE\\ORACLE\\HOME" + std::to_string(n);
  m.regString(key, "ORACLE_HOME", folder);
  m.regString(key, "ORACLE_HOME_NAME", name);
  if (usable) m.addHome(folder);
}

void TwoHomesInPath(WindowsMachine& m) {
  m.regString("SOFTWARE\\ORACLE\\ALL_HOMES", "HOME_COUNTER", "2");
  NumberedHome(m, 0, "OraA", "C:\\oraA");
  NumberedHome(m, 1, "OraB", "C:\\oraB");
  m.files.addFile("C:\\oraA\\bin\\oci.dll");
  m.files.addFile("C:\\oraB\\bin\\oci.dll");
  m.process.env["PATH"] = "C:\\Windows;C:\\oraB\\bin;C:\\oraA\\bin";
}

void SingleHome(WindowsMachine& m, std::initializer_list<const char*> libraries) {
  m.regString("SOFTWARE\\ORACLE", "ORACLE_HOME", "C:\\ora");
  m.addHome("C:\\ora");
  for (const char* name : libraries) m.files.addFile(std::string("C:\\ora\\bin\\") + name);
}

struct DiscoveryCase {
  const char* title;
  std::function<void(WindowsMachine&)> describe;
  int code;
  const char* ocidll;
  const char* homeKey;
  const char* homeDir;
  bool hasBin;
  const char* trace;
  std::function<void()> prepare = [] {};  // after the machine is installed
};

// Test names and failure messages show the case title.
void PrintTo(const DiscoveryCase& c, std::ostream* out) { *out << c.title; }

const DiscoveryCase kDiscoveryCases[] = {
    {"LibraryFolderOnPath",
     [](WindowsMachine& m) {
       m.files.addFile("C:\\client\\bin\\oci.dll");
       m.process.env["PATH"] = "C:\\Windows;;C:\\client\\bin";
     },
     0, "C:\\client\\bin\\oci.dll", "", "C:\\client", true,
     "OracleHomeKey: \r\nOracleHomeDir: C:\\client\r\nFound: oci.dll\r\n"
     "Using: C:\\client\\bin\\oci.dll"},
    {"OracleHomeDotIsUnset",
     [](WindowsMachine& m) {
       m.files.addFile("C:\\client\\bin\\oci.dll");
       m.process.env["PATH"] = "C:\\client\\bin\\";
       m.process.env["ORACLE_HOME"] = ".";
     },
     0, "C:\\client\\bin\\oci.dll", "", "C:\\client", true,
     "OracleHomeKey: \r\nOracleHomeDir: C:\\client\r\nFound: oci.dll\r\n"
     "Using: C:\\client\\bin\\oci.dll"},
    {"PlainFolderOnPath",
     [](WindowsMachine& m) {
       m.files.addFile("C:\\instant\\oci.dll");
       m.process.env["PATH"] = "C:\\instant";
     },
     0, "C:\\instant\\oci.dll", "", "C:\\instant", false,
     "OracleHomeKey: \r\nOracleHomeDir: C:\\instant\r\nFound: oci.dll\r\n"
     "Using: C:\\instant\\oci.dll"},
    {"LibraryInCurrentDirectoryGivesNoHome",
     [](WindowsMachine& m) {
       m.files.addFile("oci.dll");
       m.files.addFile("C:\\client\\bin\\oci.dll");
       m.process.env["PATH"] = "C:\\client\\bin";
     },
     3, "", "", "", false, "OracleHomeKey: \r\nOracleHomeDir: "},
    {"NoClientAtAll", [](WindowsMachine&) {}, 3, "", "", "", false,
     "OracleHomeKey: \r\nOracleHomeDir: "},
    {"HomeEarlierOnPathWins", TwoHomesInPath, 0, "C:\\oraB\\bin\\oci.dll",
     "SOFTWARE\\ORACLE\\HOME1", "C:\\oraB", true,
     "OracleHomeKey: SOFTWARE\\ORACLE\\HOME1\r\nOracleHomeDir: C:\\oraB\r\nFound: oci.dll\r\n"
     "Using: C:\\oraB\\bin\\oci.dll"},
    {"EqualPathPositionsNameOrderWins",
     [](WindowsMachine& m) {
       m.regString("SOFTWARE\\ORACLE\\ALL_HOMES", "HOME_COUNTER", "2");
       NumberedHome(m, 0, "Zeta", "C:\\ora");
       NumberedHome(m, 1, "Alpha", "C:\\ora");
       m.files.addFile("C:\\ora\\bin\\oci.dll");
       m.process.env["PATH"] = "C:\\ora\\bin";
     },
     0, "C:\\ora\\bin\\oci.dll", "SOFTWARE\\ORACLE\\HOME1", "C:\\ora", true, nullptr},
    {"UnknownCommandLineHomeFallsBackToPath",
     [](WindowsMachine& m) {
       TwoHomesInPath(m);
       m.process.args = {"ORACLEHOME=Nowhere"};
     },
     0, "C:\\oraB\\bin\\oci.dll", "SOFTWARE\\ORACLE\\HOME1", "C:\\oraB", true, nullptr},
    {"CommandLineHomeWins",
     [](WindowsMachine& m) {
       TwoHomesInPath(m);
       m.process.args = {"UserId=scott/tiger", "oraclehome=oraa"};
     },
     0, "C:\\oraA\\bin\\oci.dll", "SOFTWARE\\ORACLE\\HOME0", "C:\\oraA", true, nullptr},
    {"RememberedHomeWins", TwoHomesInPath, 0, "C:\\oraA\\bin\\oci.dll", "SOFTWARE\\ORACLE\\HOME0",
     "C:\\oraA", true, nullptr, [] { SetOracleHomeName("OraA"); }},
    {"NoHomeOnPathTakesTheLastByName",
     [](WindowsMachine& m) {
       m.regString("SOFTWARE\\ORACLE\\ALL_HOMES", "HOME_COUNTER", "2");
       NumberedHome(m, 0, "Beta", "C:\\b");
       NumberedHome(m, 1, "Alpha", "C:\\a");
       m.files.addFile("C:\\b\\bin\\oci.dll");
     },
     0, "C:\\b\\bin\\oci.dll", "SOFTWARE\\ORACLE\\HOME0", "C:\\b", true, nullptr},
    {"HomeCounterZeroStillLooksForOneHome",
     [](WindowsMachine& m) {
       m.regString("SOFTWARE\\ORACLE\\ALL_HOMES", "HOME_COUNTER", "0");
       NumberedHome(m, 0, "Broken", "C:\\broken", false);
       NumberedHome(m, 1, "Only", "C:\\only");
       NumberedHome(m, 2, "Never", "C:\\never");
       m.files.addFile("C:\\only\\bin\\oci.dll");
       m.process.env["PATH"] = "C:\\never\\bin";
     },
     0, "C:\\only\\bin\\oci.dll", "SOFTWARE\\ORACLE\\HOME1", "C:\\only", true, nullptr},
    {"HomeCounterNotANumberProbesOnlyNamedHomes",
     [](WindowsMachine& m) {
       m.regString("SOFTWARE\\ORACLE\\ALL_HOMES", "HOME_COUNTER", "two");
       NumberedHome(m, 0, "Numbered", "C:\\num");
       m.regString("SOFTWARE\\ORACLE\\KEY_Named", "ORACLE_HOME", "C:\\named");
       m.addHome("C:\\named");
       m.files.addFile("C:\\named\\bin\\ora805.dll");
       m.process.env["PATH"] = "C:\\num\\bin";
     },
     0, "C:\\named\\bin\\ora805.dll", "SOFTWARE\\ORACLE\\KEY_Named", "C:\\named", true, nullptr},
    {"GapsInTheNumberingAreSkipped",
     [](WindowsMachine& m) {
       m.regString("SOFTWARE\\ORACLE\\ALL_HOMES", "HOME_COUNTER", "1");
       NumberedHome(m, 3, "Third", "C:\\third");
       m.files.addFile("C:\\third\\bin\\oci.dll");
     },
     0, "C:\\third\\bin\\oci.dll", "SOFTWARE\\ORACLE\\HOME3", "C:\\third", true, nullptr},
    {"NamedHomeWithANumberedHomesNameIsDropped",
     [](WindowsMachine& m) {
       m.regString("SOFTWARE\\ORACLE\\ALL_HOMES", "HOME_COUNTER", "1");
       NumberedHome(m, 0, "Dup", "C:\\h0");
       m.regString("SOFTWARE\\ORACLE\\KEY_DUP", "ORACLE_HOME", "C:\\k");
       m.addHome("C:\\k");
       m.files.addFile("C:\\h0\\bin\\oci.dll");
       m.process.env["PATH"] = "C:\\k\\bin";
     },
     0, "C:\\h0\\bin\\oci.dll", "SOFTWARE\\ORACLE\\HOME0", "C:\\h0", true, nullptr},
    {"CommandLineLibraryIsForcedUnchecked",
     [](WindowsMachine& m) {
       SingleHome(m, {"oci.dll"});
       m.process.args = {"OCIDLL=D:\\x\\ora.dll"};
     },
     0, "D:\\x\\ora.dll", "", "", true, "OCIDLL forced to D:\\x\\ora.dll"},
    {"HighestVersionWithoutMainLibrary",
     [](WindowsMachine& m) { SingleHome(m, {"ora73.dll", "ora805.dll", "oraclient.dll"}); }, 0,
     "C:\\ora\\bin\\ora805.dll", "SOFTWARE\\ORACLE", "C:\\ora", true,
     "OracleHomeKey: SOFTWARE\\ORACLE\r\nOracleHomeDir: C:\\ora\r\nFound: ora73.dll\r\n"
     "Found: ora805.dll\r\nUsing: C:\\ora\\bin\\ora805.dll"},
    {"OnlyUnversionedLibraries", [](WindowsMachine& m) { SingleHome(m, {"oraclient.dll"}); }, 1,
     "", "SOFTWARE\\ORACLE", "C:\\ora", true,
     "OracleHomeKey: SOFTWARE\\ORACLE\r\nOracleHomeDir: C:\\ora"},
    {"MainLibraryBeatsVersions",
     [](WindowsMachine& m) { SingleHome(m, {"ora805.dll", "oci.dll"}); }, 0,
     "C:\\ora\\bin\\oci.dll", "SOFTWARE\\ORACLE", "C:\\ora", true,
     "OracleHomeKey: SOFTWARE\\ORACLE\r\nOracleHomeDir: C:\\ora\r\nFound: oci.dll\r\n"
     "Found: ora805.dll\r\nUsing: C:\\ora\\bin\\oci.dll"},
    {"EqualVersionsFirstFoundWins",
     [](WindowsMachine& m) { SingleHome(m, {"ora80.dll", "ora8.dll", "orant71.dll"}); }, 0,
     "C:\\ora\\bin\\ora8.dll", "SOFTWARE\\ORACLE", "C:\\ora", true, nullptr},
    {"AvoidedMainLibraryIsPassedOver",
     [](WindowsMachine& m) { SingleHome(m, {"ora805.dll", "oci.dll"}); }, 0,
     "C:\\ora\\bin\\ora805.dll", "SOFTWARE\\ORACLE", "C:\\ora", true, nullptr,
     [] { SetOCIDLLAvoidList("\"oci.dll\""); }},
    {"EverythingAvoidedSecondPassTakesAll",
     [](WindowsMachine& m) { SingleHome(m, {"ora805.dll", "oci.dll"}); }, 0,
     "C:\\ora\\bin\\oci.dll", "SOFTWARE\\ORACLE", "C:\\ora", true, nullptr,
     [] { SetOCIDLLAvoidList("x \"OCI.DLL\",\"ora805.dll\""); }},
    {"RegistryHomeWithoutLibraryFolderFallsBackToEnvironment",
     [](WindowsMachine& m) {
       m.regString("SOFTWARE\\ORACLE", "ORACLE_HOME", "C:\\gone");
       m.process.env["ORACLE_HOME"] = "C:\\envhome";
       m.addHome("C:\\envhome");
       m.files.addFile("C:\\envhome\\bin\\oci.dll");
     },
     0, "C:\\envhome\\bin\\oci.dll", "", "C:\\envhome", true, nullptr},
    {"EnvironmentHomeWithoutLibraryFolder",
     [](WindowsMachine& m) {
       m.process.env["ORACLE_HOME"] = "C:\\flat";
       m.files.addFile("C:\\flat\\oci.dll");
     },
     0, "C:\\flat\\oci.dll", "", "C:\\flat", false, nullptr},
    {"HomeWithEmptyLibraryFolder", [](WindowsMachine& m) { SingleHome(m, {}); }, 1, "",
     "SOFTWARE\\ORACLE", "C:\\ora", true, nullptr},
};

class Discovery : public ::testing::TestWithParam<DiscoveryCase> {};

TEST_P(Discovery, SelectsTheClientLibrary) {
  const DiscoveryCase& c = GetParam();
  WindowsMachine machine;
  c.describe(machine);
  machine.install();
  c.prepare();

  EXPECT_EQ(SelectClientLibrary(), c.code);
  EXPECT_EQ(OCIDLL(), c.ocidll);
  EXPECT_EQ(OracleHomeKey(), c.homeKey);
  EXPECT_EQ(OracleHomeDir(), c.homeDir);
  EXPECT_EQ(OracleHomeHasBin(), c.hasBin);
  if (c.trace != nullptr) {
    EXPECT_EQ(OCITrace(), c.trace);
  }
}

INSTANTIATE_TEST_SUITE_P(WindowsLayout, Discovery, ::testing::ValuesIn(kDiscoveryCases),
                         [](const auto& p) { return std::string(p.param.title); });

TEST(DiscoveryState, ForcedLibraryAndPresetHomeSurviveUnloadingAutomaticOnesDoNot) {
  WindowsMachine machine;
  TwoHomesInPath(machine);
  machine.install();

  ASSERT_EQ(SelectClientLibrary(), 0);
  EXPECT_TRUE(OCIDLLAutoSelected());
  EXPECT_TRUE(OracleHomeNameAuto());
  EXPECT_EQ(OracleHomeName(), "OraB");
  ASSERT_NE(OracleHomes(), nullptr);
  EXPECT_EQ(OracleHomes()->names(), (std::vector<std::string>{"OraA", "OraB"}));
  FreeOCI();
  EXPECT_EQ(OCIDLL(), "");
  EXPECT_EQ(OracleHomeName(), "");
  EXPECT_EQ(OracleHomeKey(), "");

  SetOracleHomeName("OraA");
  SetOCIDLL("C:\\oraB\\bin\\oci.dll");
  ASSERT_EQ(SelectClientLibrary(), 0);
  EXPECT_EQ(OracleHomeKey(), "");  // a forced library needs no home
  EXPECT_EQ(GetOracleHomeKey(), "SOFTWARE\\ORACLE\\HOME0");
  FreeOCI();
  EXPECT_EQ(OCIDLL(), "C:\\oraB\\bin\\oci.dll");
  EXPECT_EQ(OracleHomeName(), "OraA");
}

TEST(DiscoveryState, AnUnusableHomeIsLookedForAgainOnEveryCall) {
  WindowsMachine machine;
  machine.regString("SOFTWARE\\ORACLE", "ORACLE_HOME", "C:\\later");
  machine.install();
  EXPECT_EQ(GetOracleHomeKey(), "");
  machine.addHome("C:\\later");
  EXPECT_EQ(GetOracleHomeKey(), "SOFTWARE\\ORACLE");
}

TEST(Registry, ValuesAreReadAsTheirBytesWithinTheBuffer) {
  WindowsMachine machine;
  machine.regString("SOFTWARE\\T", "fits", std::string(1023, 'x'));
  machine.regString("SOFTWARE\\T", "toolong", std::string(1024, 'x'));
  machine.regString("SOFTWARE\\T", "empty", "");
  machine.regDword("SOFTWARE\\T", "number", 0x00434241);
  machine.install();
  const auto HKLM = platform::RootKey::LocalMachine;
  EXPECT_EQ(ReadRegString(HKLM, "SOFTWARE\\T", "fits"), std::string(1023, 'x'));
  EXPECT_EQ(ReadRegString(HKLM, "SOFTWARE\\T", "toolong"), "");
  EXPECT_EQ(ReadRegString(HKLM, "SOFTWARE\\T", "empty"), "");
  EXPECT_EQ(ReadRegString(HKLM, "SOFTWARE\\T", "absent"), "");
  EXPECT_EQ(ReadRegString(HKLM, "SOFTWARE\\NoSuchKey", "fits"), "");
  // The type is not checked: a number reads as its bytes less the last one.
  EXPECT_EQ(ReadRegString(HKLM, "software\\t", "NUMBER"), "ABC");
}

TEST(Registry, SubkeysInOrderUntilANameDoesNotFit) {
  WindowsMachine machine;
  machine.regString("SOFTWARE\\ORACLE\\KEY_B", "x", "1");
  machine.regString("SOFTWARE\\ORACLE\\KEY_A", "x", "1");
  machine.regString("SOFTWARE\\ORACLE\\" + std::string(1024, 'L'), "x", "1");
  machine.regString("SOFTWARE\\ORACLE\\KEY_C", "x", "1");
  machine.install();
  EXPECT_EQ(ReadRegSubkeys(platform::RootKey::LocalMachine, "SOFTWARE\\ORACLE"),
            (std::vector<std::string>{"KEY_B", "KEY_A"}));
  EXPECT_TRUE(ReadRegSubkeys(platform::RootKey::LocalMachine, "SOFTWARE\\NONE").empty());
}

TEST(Registry, DamagedRegistryTextReadsAsNoHome) {
  WindowsMachine machine;
  std::string junk = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\ORACLE\r\n\"ORACLE_HOME\"=\"C:\\\\ora\r\n";
  junk += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\ORACLE\\ALL_HOMES]\r\n\"HOME_COUNTER\"=dword:zz\r\n";
  for (int i = 0; i < 256; ++i) junk += static_cast<char>(i);
  junk += "\r\n[]\r\n=\r\n\"\"=\"\r\n[HKEY_LOCAL_MACHINE\\\\\\]\r\n";
  machine.registryText = junk;
  machine.install();
  EXPECT_EQ(SelectClientLibrary(), 3);
  EXPECT_EQ(OracleHomeKey(), "");
}

TEST(Helpers, GetParamValueTakesTheFirstParameterNamingIt) {
  platform::testing::FakeProcess process;
  platform::Services services;
  services.process = &process;
  platform::ScopedServices scoped(services);
  struct Case {
    std::vector<std::string> args;
    const char* value;
  };
  const Case cases[] = {
      {{"foo", "ocidll=C:\\x.dll", "OCIDLL=second"}, "C:\\x.dll"},
      {{"OCIDLL=", "OCIDLL=second"}, ""},
      {{"XOCIDLL=abc"}, "=abc"},  // the value starts where it would after "OCIDLL="
      {{"OCIDLL"}, ""},
      {{}, ""},
      {{"OCIDLL=" + std::string(300, 'v')}, nullptr},
  };
  for (const Case& c : cases) {
    process.args = c.args;
    const std::string value = GetParamValue("OCIDLL");
    if (c.value != nullptr) {
      EXPECT_EQ(value, c.value);
    } else {
      EXPECT_EQ(value, std::string(255, 'v'));
    }
  }
}

TEST(Helpers, LibraryVersionReadsTheDigitsAfterTheNamePrefix) {
  struct Case {
    const char* name;
    std::optional<double> version;
  };
  const Case cases[] = {
      {"ora73.dll", 0.73},   {"ORA805.DLL", 0.805}, {"orant71.dll", 0.71},
      {"ora8.dll", 0.8},     {"oraclient.dll", {}}, {"ora7x.dll", {}},
      {"oci.dll", 0.0},      {"ora73", 0.0},        {"or", 0.0},
      {"ora.73.dll", 0.0},   {"ora-5.dll", {}},     {"", 0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(LibraryVersion(c.name), c.version);
  }
  EXPECT_GT(*LibraryVersion("ora8.dll"), *LibraryVersion("ora73.dll"));
  EXPECT_LT(*LibraryVersion("ora8.dll"), *LibraryVersion("ora805.dll"));
}

TEST(Helpers, AddPathPartAndAddTrace) {
  WindowsMachine machine;
  machine.install();
  struct Case {
    const char* path;
    const char* part;
    const char* result;
  };
  const Case cases[] = {
      {"", "bin", "bin"},
      {"C:\\ora", "bin\\", "C:\\ora\\bin\\"},
      {"C:\\ora\\", "bin", "C:\\ora\\bin"},
      {"C:\\ora", "", "C:\\ora\\"},
  };
  for (const Case& c : cases) {
    std::string path = c.path;
    AddPathPart(path, c.part);
    EXPECT_EQ(path, c.result);
  }
  AddTrace("one");
  AddTrace("two");
  EXPECT_EQ(OCITrace(), "one\r\ntwo");
}

}  // namespace
}  // namespace oracle
