// Home discovery and loading over the POSIX layout, with real folders and real libraries.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "PosixMachine.h"
#include "oracle/client/ClientLibrary.h"
#include "oracle/client/OracleHome.h"
#include "oracle/client/internal/BindingState.h"
#include "oracle/core/Exception.h"

namespace oracle {
namespace {

using testing::PosixMachine;

struct PosixCase {
  const char* title;
  // Describes the machine; returns the registry text to install.
  std::function<std::string(PosixMachine&)> describe;
  const char* library;  // relative to the temporary folder
  const char* homeDir;  // relative to the temporary folder
  bool hasBin;
  const char* homeKey;
};

// Test names and failure messages show the case title.
void PrintTo(const PosixCase& c, std::ostream* out) {
  *out << c.title;
}

const PosixCase kPosixCases[] = {
    {"HomeFromEnvironment",
     [](PosixMachine& m) {
       m.copyLibrary(DBL_FAKE_FULL, "home/lib/libclntsh.so");
       m.process.env["ORACLE_HOME"] = m.path("home");
       return std::string();
     },
     "home/lib/libclntsh.so", "home", true, ""},
    {"InstantClientOnLibraryPath",
     [](PosixMachine& m) {
       m.copyLibrary(DBL_FAKE_FULL, "ic/libclntsh.so");
       m.process.env["LD_LIBRARY_PATH"] = "/nonexistent:" + m.path("ic");
       return std::string();
     },
     "ic/libclntsh.so", "ic", false, ""},
    {"LibraryFolderOnPath",
     [](PosixMachine& m) {
       m.copyLibrary(DBL_FAKE_FULL, "h/lib/libclntsh.so");
       m.process.env["PATH"] = "/usr/bin::" + m.path("h/lib") + "/";
       return std::string();
     },
     "h/lib/libclntsh.so", "h", true, ""},
    {"LibraryPathComesBeforePath",
     [](PosixMachine& m) {
       m.copyLibrary(DBL_FAKE_FULL, "a/libclntsh.so");
       m.copyLibrary(DBL_FAKE_FULL, "b/lib/libclntsh.so");
       m.process.env["PATH"] = m.path("b/lib");
       m.process.env["LD_LIBRARY_PATH"] = m.path("a");
       return std::string();
     },
     "a/libclntsh.so", "a", false, ""},
    {"InstantClientAsOracleHome",
     [](PosixMachine& m) {
       m.copyLibrary(DBL_FAKE_FULL, "ic/libclntsh.so");
       m.process.env["ORACLE_HOME"] = m.path("ic");
       return std::string();
     },
     "ic/libclntsh.so", "ic", false, ""},
    {"RegistryHome",
     [](PosixMachine& m) {
       m.copyLibrary(DBL_FAKE_FULL, "reg/lib/libclntsh.so");
       m.process.env["ORACLE_HOME"] = "/nonexistent";
       return "[HKEY_LOCAL_MACHINE\\SOFTWARE\\ORACLE]\r\n\"ORACLE_HOME\"=\"" + m.path("reg") +
              "\"\r\n";
     },
     "reg/lib/libclntsh.so", "reg", true, "SOFTWARE\\ORACLE"},
    // ORACLEHOME= on the command line: a folder is a home of its own, over the environment.
    {"ChosenFolderOverEnvironment",
     [](PosixMachine& m) {
       m.copyLibrary(DBL_FAKE_FULL, "env/lib/libclntsh.so");
       m.copyLibrary(DBL_FAKE_FULL, "chosen/lib/libclntsh.so");
       m.process.env["ORACLE_HOME"] = m.path("env");
       m.process.args = {"ORACLEHOME=" + m.path("chosen")};
       return std::string();
     },
     "chosen/lib/libclntsh.so", "chosen", true, ""},
    {"ChosenInstantClientFolder",
     [](PosixMachine& m) {
       m.copyLibrary(DBL_FAKE_FULL, "ic/libclntsh.so");
       m.process.args = {"ORACLEHOME=" + m.path("ic")};
       return std::string();
     },
     "ic/libclntsh.so", "ic", false, ""},
    // A name of a home in the registry file picks that home, even when a folder of that name
    // exists in the current directory.
    {"ChosenRegistryHomeByName",
     [](PosixMachine& m) {
       m.copyLibrary(DBL_FAKE_FULL, "one/lib/libclntsh.so");
       m.copyLibrary(DBL_FAKE_FULL, "two/lib/libclntsh.so");
       std::filesystem::create_directories(m.path("Second"));
       m.process.args = {"oraclehome=second"};
       return "[HKEY_LOCAL_MACHINE\\SOFTWARE\\ORACLE\\ALL_HOMES]\r\n\"HOME_COUNTER\"=\"2\"\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\ORACLE\\HOME0]\r\n\"ORACLE_HOME\"=\"" +
              m.path("one") +
              "\"\r\n\"ORACLE_HOME_NAME\"=\"First\"\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\ORACLE\\HOME1]\r\n\"ORACLE_HOME\"=\"" +
              m.path("two") + "\"\r\n\"ORACLE_HOME_NAME\"=\"Second\"\r\n";
     },
     "two/lib/libclntsh.so", "two", true, "SOFTWARE\\ORACLE\\HOME1"},
};

class PosixLayout : public ::testing::TestWithParam<PosixCase> {};

TEST_P(PosixLayout, FindsAndLoadsTheClient) {
  const PosixCase& c = GetParam();
  PosixMachine machine;
  machine.install(c.describe(machine));

  ASSERT_NO_THROW(InitOCI()) << OCITrace();
  EXPECT_TRUE(OCILoaded());
  EXPECT_TRUE(UseOCI8());
  EXPECT_EQ(OCIDLL(), machine.path(c.library));
  EXPECT_EQ(OracleHomeDir(), machine.path(c.homeDir));
  EXPECT_EQ(OracleHomeHasBin(), c.hasBin);
  EXPECT_EQ(OracleHomeKey(), c.homeKey);
  EXPECT_EQ(OCITrace(), std::string("OracleHomeKey: ") + c.homeKey +
                            "\r\nOracleHomeDir: " + machine.path(c.homeDir) +
                            "\r\nFound: libclntsh.so\r\nUsing: " + machine.path(c.library));
}

INSTANTIATE_TEST_SUITE_P(RealFolders, PosixLayout, ::testing::ValuesIn(kPosixCases),
                         [](const auto& p) { return std::string(p.param.title); });

std::string InitOCIMessage() {
  try {
    InitOCI();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "(loaded)";
}

TEST(PosixLoadFailures, EachReasonWithItsTrace) {
  {
    PosixMachine machine;
    machine.install();
    EXPECT_EQ(InitOCIMessage(),
              "Initialization error\r\nSQL*Net not properly installed\r\n\r\n"
              "OracleHomeKey: \r\nOracleHomeDir: ");
    EXPECT_FALSE(OCILoaded());
  }
  {
    PosixMachine machine;
    std::filesystem::create_directories(machine.path("empty/lib"));
    machine.process.env["ORACLE_HOME"] = machine.path("empty");
    machine.install();
    EXPECT_EQ(InitOCIMessage(),
              "Initialization error\r\nCould not locate OCI dll\r\n\r\n"
              "OracleHomeKey: \r\nOracleHomeDir: " +
                  machine.path("empty"));
  }
  {
    PosixMachine machine;
    const std::string bogus = machine.writeFile("bad/lib/libclntsh.so", "not a library");
    machine.process.env["ORACLE_HOME"] = machine.path("bad");
    machine.install();
    EXPECT_EQ(InitOCIMessage(),
              "Initialization error\r\nCould not load \"" + bogus +
                  "\"\r\n\r\nOracleHomeKey: \r\nOracleHomeDir: " + machine.path("bad") +
                  "\r\nFound: libclntsh.so\r\nUsing: " + bogus + "\r\nLoadLibrary(" + bogus +
                  ") returned 0");
    // Both attempts are kept with the loader's reason, for the diagnosis.
    const auto& failures = internal::State().loadFailures;
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_FALSE(failures[0].reason.empty());
    EXPECT_EQ(OCIDLL(), "");  // the automatic choice is forgotten, so the next call searches again
  }
}

TEST(PosixLoadFailures, AChosenHomeThatIsNeitherANameNorAFolderSaysSo) {
  PosixMachine machine;
  machine.copyLibrary(DBL_FAKE_FULL, "env/lib/libclntsh.so");
  machine.process.env["ORACLE_HOME"] = machine.path("env");  // not taken instead
  machine.process.args = {"ORACLEHOME=OraClient19"};
  machine.install();
  EXPECT_EQ(InitOCIMessage(),
            "Initialization error\r\nSQL*Net not properly installed\r\n\r\n"
            "ORACLEHOME=OraClient19: neither the name of an Oracle home in the registry file nor a "
            "folder\r\nOracleHomeKey: \r\nOracleHomeDir: ");
  EXPECT_FALSE(OCILoaded());
}

TEST(PosixLoadFailures, AfterAFailureTheNextCallStartsAfresh) {
  PosixMachine machine;
  machine.process.env["ORACLE_HOME"] = machine.path("home");
  machine.install();
  EXPECT_THROW(InitOCI(), Exception);
  machine.copyLibrary(DBL_FAKE_OCI7, "home/lib/libclntsh.so");
  ASSERT_NO_THROW(InitOCI());
  EXPECT_TRUE(OCI7Available());
  EXPECT_FALSE(UseOCI8());

  // Unloading forgets the automatic choice: the next load follows the environment again.
  FreeOCI();
  EXPECT_EQ(OCIDLL(), "");
  machine.copyLibrary(DBL_FAKE_FULL, "other/lib/libclntsh.so");
  machine.process.env["ORACLE_HOME"] = machine.path("other");
  ASSERT_NO_THROW(InitOCI());
  EXPECT_EQ(OCIDLL(), machine.path("other/lib/libclntsh.so"));
  EXPECT_TRUE(UseOCI8());
}

TEST(PosixLoadFailures, DamagedRegistryFileIsReadAsFarAsItGoes) {
  PosixMachine machine;
  std::string junk =
      "Windows Registry Editor Version 5.00\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\ORACLE";
  for (int i = 0; i < 4096; ++i) junk += static_cast<char>((i * 7919) % 256);
  const std::string file = machine.writeFile("registry.reg", junk);
  machine.copyLibrary(DBL_FAKE_FULL, "home/lib/libclntsh.so");
  machine.process.env["ORACLE_HOME"] = machine.path("home");
  machine.installRegistryFile(file);
  ASSERT_NO_THROW(InitOCI());
  EXPECT_EQ(OracleHomeKey(), "");
  EXPECT_EQ(OCIDLL(), machine.path("home/lib/libclntsh.so"));
}

}  // namespace
}  // namespace oracle
