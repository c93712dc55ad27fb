// Home discovery and loading over the Windows layout, with real folders and the Windows loader:
// oci.dll in a home's bin folder, found through ORACLE_HOME, PATH or the homes of the registry.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "PosixMachine.h"
#include "oracle/client/ClientLibrary.h"
#include "oracle/client/OracleHome.h"
#include "oracle/core/Exception.h"

namespace oracle {
namespace {

using Machine = testing::PosixMachine;

// A path as a .reg string holds it: backslashes doubled.
std::string escaped(const std::string& path) {
  std::string out;
  for (char c : path) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out;
}

struct WindowsCase {
  const char* title;
  // Describes the machine; returns the registry text to install.
  std::function<std::string(Machine&)> describe;
  const char* library;  // relative to the temporary folder
  const char* homeDir;  // relative to the temporary folder
  const char* homeKey;
};

void PrintTo(const WindowsCase& c, std::ostream* out) {
  *out << c.title;
}

const WindowsCase kWindowsCases[] = {
    {"HomeFromEnvironment",
     [](Machine& m) {
       m.copyLibrary(DBL_FAKE_FULL, "home/bin/oci.dll");
       m.process.env["ORACLE_HOME"] = m.path("home");
       return std::string();
     },
     "home/bin/oci.dll", "home", ""},
    {"OciDllOnPath",
     [](Machine& m) {
       m.copyLibrary(DBL_FAKE_FULL, "h/bin/oci.dll");
       m.process.env["PATH"] = "C:\\nonexistent;;" + m.path("h/bin") + "\\";
       return std::string();
     },
     "h/bin/oci.dll", "h", ""},
    {"RegistryHome",
     [](Machine& m) {
       m.copyLibrary(DBL_FAKE_FULL, "reg/bin/oci.dll");
       return "[HKEY_LOCAL_MACHINE\\SOFTWARE\\ORACLE]\r\n\"ORACLE_HOME\"=\"" +
              escaped(m.path("reg")) + "\"\r\n";
     },
     "reg/bin/oci.dll", "reg", "SOFTWARE\\ORACLE"},
    {"ChosenRegistryHomeByName",
     [](Machine& m) {
       m.copyLibrary(DBL_FAKE_FULL, "one/bin/oci.dll");
       m.copyLibrary(DBL_FAKE_FULL, "two/bin/oci.dll");
       m.process.args = {"oraclehome=second"};
       return "[HKEY_LOCAL_MACHINE\\SOFTWARE\\ORACLE\\ALL_HOMES]\r\n\"HOME_COUNTER\"=\"2\"\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\ORACLE\\HOME0]\r\n\"ORACLE_HOME\"=\"" +
              escaped(m.path("one")) +
              "\"\r\n\"ORACLE_HOME_NAME\"=\"First\"\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\ORACLE\\HOME1]\r\n\"ORACLE_HOME\"=\"" +
              escaped(m.path("two")) + "\"\r\n\"ORACLE_HOME_NAME\"=\"Second\"\r\n";
     },
     "two/bin/oci.dll", "two", "SOFTWARE\\ORACLE\\HOME1"},
};

class WindowsLayout : public ::testing::TestWithParam<WindowsCase> {};

TEST_P(WindowsLayout, FindsAndLoadsTheClient) {
  const WindowsCase& c = GetParam();
  Machine machine;
  machine.layout = ClientLayout::Windows();
  machine.install(c.describe(machine));

  ASSERT_NO_THROW(InitOCI()) << OCITrace();
  EXPECT_TRUE(OCILoaded());
  EXPECT_TRUE(UseOCI8());
  EXPECT_EQ(OCIDLL(), machine.path(c.library));
  EXPECT_EQ(OracleHomeDir(), machine.path(c.homeDir));
  EXPECT_TRUE(OracleHomeHasBin());
  EXPECT_EQ(OracleHomeKey(), c.homeKey);
}

INSTANTIATE_TEST_SUITE_P(RealFolders, WindowsLayout, ::testing::ValuesIn(kWindowsCases),
                         [](const auto& p) { return std::string(p.param.title); });

TEST(WindowsLoadFailures, AHomeWithoutAClientSaysSoWithItsTrace) {
  Machine machine;
  machine.layout = ClientLayout::Windows();
  std::filesystem::create_directories(machine.path("empty/bin"));
  machine.process.env["ORACLE_HOME"] = machine.path("empty");
  machine.install();
  try {
    InitOCI();
    ADD_FAILURE() << "a home without oci.dll loaded";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message().rfind("Initialization error\r\nCould not locate OCI dll", 0), 0u)
        << e.Message();
    EXPECT_NE(e.Message().find("OracleHomeDir: " + machine.path("empty")), std::string::npos)
        << e.Message();
  }
  EXPECT_FALSE(OCILoaded());
}

}  // namespace
}  // namespace oracle
