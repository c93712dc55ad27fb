// Loading and binding: real stand-in libraries whose exports differ, and the Windows layout's
// messages through the in-memory machine.
#include "oracle/client/ClientLibrary.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "PosixMachine.h"
#include "WindowsMachine.h"
#include "oracle/client/OCIConstants.h"
#include "oracle/client/OCIFunctions.h"
#include "oracle/client/OracleHome.h"
#include "oracle/client/internal/BindingState.h"
#include "oracle/core/Exception.h"
#include "platform/Libraries.h"
#include "platform/Process.h"
#include "platform/Services.h"

namespace oracle {
namespace {

using testing::FakeLibraries;
using testing::PosixMachine;
using testing::ResetBinding;
using testing::WindowsMachine;

// How often the loaded stand-in library received a start call ("opinit", "OCIInitialize").
int StartCalls(const char* name) {
  using Calls = int (*)(const char*);
  auto calls = reinterpret_cast<Calls>(
      platform::libraries().symbol(internal::State().OCILibHandle, "fake_client_calls"));
  return calls == nullptr ? -1 : calls(name);
}

unsigned StartMode(const char* name) {
  using Mode = unsigned (*)(const char*);
  auto mode = reinterpret_cast<Mode>(
      platform::libraries().symbol(internal::State().OCILibHandle, "fake_client_last_mode"));
  return mode == nullptr ? 99 : mode(name);
}

struct Flags {
  bool oci7, olog, opinit, net8, ociep, net81, net9, pool;
  bool useOci8, useNet81, useNet9, useSessionPool;
};

Flags CurrentFlags() {
  return {OCI7Available(),  OlogAvailable(),        OpinitAvailable(), Net8Available(),
          OciepAvailable(), Net81Available(),       Net9Available(),   SessionPoolAvailable(),
          UseOCI8(),        UseNet81(),             UseNet9(),         UseSessionPool()};
}

bool operator==(const Flags& a, const Flags& b) {
  return a.oci7 == b.oci7 && a.olog == b.olog && a.opinit == b.opinit && a.net8 == b.net8 &&
         a.ociep == b.ociep && a.net81 == b.net81 && a.net9 == b.net9 && a.pool == b.pool &&
         a.useOci8 == b.useOci8 && a.useNet81 == b.useNet81 && a.useNet9 == b.useNet9 &&
         a.useSessionPool == b.useSessionPool;
}

std::ostream& operator<<(std::ostream& out, const Flags& f) {
  return out << "OCI7 " << f.oci7 << " olog " << f.olog << " opinit " << f.opinit << " Net8 "
             << f.net8 << " ociep " << f.ociep << " Net81 " << f.net81 << " Net9 " << f.net9
             << " pool " << f.pool << " | UseOCI8 " << f.useOci8 << " UseNet81 " << f.useNet81
             << " UseNet9 " << f.useNet9 << " UseSessionPool " << f.useSessionPool;
}

struct ExportCase {
  const char* title;
  const char* library;
  bool forceOCI7;
  Flags flags;
  int opinitCalls;      // -1: not checked (not exported)
  int initializeCalls;  // -1: not checked (not exported)
};

// Test names and failure messages show the case title.
void PrintTo(const ExportCase& c, std::ostream* out) { *out << c.title; }

// clang-format off
const ExportCase kExportCases[] = {
    {"Oci7Only", DBL_FAKE_OCI7, false,
     {true, true, true, false, false, false, false, false, false, false, false, false}, 1, -1},
    {"Oci7WithoutOlogSkipsOpinit", DBL_FAKE_OCI7_NO_OLOG, false,
     {true, false, false, false, false, false, false, false, false, false, false, false}, 0, -1},
    {"Oci8Only", DBL_FAKE_OCI8, false,
     {false, false, false, true, true, true, true, true, true, true, true, true}, -1, 0},
    {"Oci8Without81CallsInitializesOnce", DBL_FAKE_OCI80, false,
     {false, false, false, true, false, false, false, false, true, false, false, false}, -1, 1},
    {"BothSets", DBL_FAKE_FULL, false,
     {true, true, true, true, true, true, true, true, true, true, true, true}, 0, 0},
    {"BothSetsForcedToOci7", DBL_FAKE_FULL, true,
     {true, true, true, true, true, true, true, true, false, true, true, true}, 1, 0},
    {"OneMissing81NameStopsTheLaterGroups", DBL_FAKE_81_MISSING, false,
     {true, true, true, true, true, false, false, false, true, false, false, false}, 0, 1},
};
// clang-format on

class ExportSets : public ::testing::TestWithParam<ExportCase> {
 protected:
  void SetUp() override { ResetBinding(); }
  void TearDown() override { ResetBinding(); }
};

TEST_P(ExportSets, DecideTheInterfaceLevel) {
  const ExportCase& c = GetParam();
  SetOCIDLL(c.library);
  SetForceOCI7(c.forceOCI7);
  ASSERT_NO_THROW(InitOCI()) << OCITrace();
  EXPECT_EQ(CurrentFlags(), c.flags);
  EXPECT_EQ(OCITrace(), std::string("OCIDLL forced to ") + c.library);
  if (c.opinitCalls >= 0) {
    EXPECT_EQ(StartCalls("opinit"), c.opinitCalls);
  }
  if (c.opinitCalls > 0) {
    EXPECT_EQ(StartMode("opinit"), 0u);
  }
  if (c.initializeCalls >= 0) {
    EXPECT_EQ(StartCalls("OCIInitialize"), c.initializeCalls);
  }
  if (c.initializeCalls > 0) {
    EXPECT_EQ(StartMode("OCIInitialize"), oci::OCI_THREADED | oci::OCI_OBJECT);
  }
}

INSTANTIATE_TEST_SUITE_P(StandInLibraries, ExportSets, ::testing::ValuesIn(kExportCases),
                         [](const auto& p) { return std::string(p.param.title); });

class Loading : public ::testing::Test {
 protected:
  void SetUp() override { ResetBinding(); }
  void TearDown() override { ResetBinding(); }

  static std::string Message() {
    try {
      InitOCI();
    } catch (const Exception& e) {
      return e.Message();
    }
    return "(loaded)";
  }
};

TEST_F(Loading, NeitherCallSetCompleteIsCouldNotInitialize) {
  for (const char* library : {DBL_FAKE_OCI7_INCOMPLETE, DBL_FAKE_OCI8}) {
    SetOCIDLL(library);
    SetForceOCI7(true);
    EXPECT_EQ(Message(), std::string("Initialization error\r\nCould not initialize \"") +
                             library + "\"\r\n\r\nOCIDLL forced to " + library);
    EXPECT_FALSE(OCILoaded());
    EXPECT_FALSE(OCI7Available());
    EXPECT_FALSE(OlogAvailable());  // the later groups start from the earlier flag
    EXPECT_EQ(OCIDLL(), library);   // a preset library survives the unloading
  }
}

TEST_F(Loading, GroupsStopAtTheirFirstMissingName) {
  SetOCIDLL(DBL_FAKE_81_MISSING);
  ASSERT_NO_THROW(InitOCI());
  using internal::EntrySlot;
  EXPECT_NE(EntrySlot(EntryIndex("OCIDateTimeConstruct")), nullptr);
  EXPECT_EQ(EntrySlot(EntryIndex("OCIDateTimeAssign")), nullptr);
  EXPECT_EQ(EntrySlot(EntryIndex("OCIDateTimeGetTimeZoneOffset")), nullptr);
  // Exported, but its group starts out incomplete, so it is not even looked up.
  EXPECT_EQ(EntrySlot(EntryIndex("OCIStmtFetch2")), nullptr);
  EXPECT_NE(EntrySlot(EntryIndex("OCICacheFlush")), nullptr);
  EXPECT_NE(EntrySlot(EntryIndex("odessp")), nullptr);
}

TEST_F(Loading, TypedCallsGoThroughTheSlots) {
  SetOCIDLL(DBL_FAKE_FULL);
  ASSERT_NO_THROW(InitOCI());
  oci::OraText banner[64] = {};
  int handle = 0;
  EXPECT_EQ(oci::OCIServerVersion(&handle, nullptr, banner, sizeof banner, oci::OCI_HTYPE_SERVER),
            oci::OCI_SUCCESS);
  EXPECT_STREQ(reinterpret_cast<const char*>(banner), "Fake client banner");
  EXPECT_EQ(oci::OCIServerVersion(&handle, nullptr, banner, sizeof banner, oci::OCI_HTYPE_STMT),
            oci::OCI_INVALID_HANDLE);

  FreeOCI();
  SetOCIDLL(DBL_FAKE_OCI7);
  ASSERT_NO_THROW(InitOCI());
  try {
    oci::OCIHandleFree(nullptr, oci::OCI_HTYPE_ENV);
    ADD_FAILURE() << "a call through an empty slot must raise";
  } catch (const Exception& e) {
    EXPECT_NE(e.Message().find("OCIHandleFree"), std::string::npos) << e.Message();
  }
}

TEST_F(Loading, AlreadyLoadedDoesNothing) {
  SetOCIDLL(DBL_FAKE_OCI80);
  ASSERT_NO_THROW(InitOCI());
  void* handle = internal::State().OCILibHandle;
  AddTrace("marker");
  ASSERT_NO_THROW(InitOCI());
  EXPECT_EQ(internal::State().OCILibHandle, handle);
  EXPECT_EQ(OCITrace(), std::string("OCIDLL forced to ") + DBL_FAKE_OCI80 + "\r\nmarker");
  EXPECT_EQ(StartCalls("OCIInitialize"), 1);
  EXPECT_EQ(LoadOCI(), lrLoaded);
}

TEST_F(Loading, CommandLineLibrarySurvivesUnloadingAndLoadsAgainWithoutSearching) {
  platform::testing::FakeProcess process;
  process.args = {std::string("OCIDLL=") + DBL_FAKE_OCI7};
  process.env["ORACLE_HOME"] = "/nonexistent";
  platform::Services services;
  services.process = &process;
  platform::ScopedServices scoped(services);

  ASSERT_NO_THROW(InitOCI());
  FreeOCI();
  EXPECT_EQ(OCIDLL(), DBL_FAKE_OCI7);
  process.args.clear();
  ASSERT_NO_THROW(InitOCI());
  EXPECT_EQ(OCITrace(), std::string("OCIDLL forced to ") + DBL_FAKE_OCI7);
  EXPECT_TRUE(OCI7Available());
}

// POSIX only: these need a loader that does not look for a library's dependencies in the
// library's own folder. Wine's loader does (so a first attempt never fails there), and the fake
// process' directory changes go by POSIX paths.
#ifndef _WIN32
TEST_F(Loading, FailedLoadLeavesTheCurrentDirectoryAsItWas) {
  PosixMachine machine;
  machine.install();
  const std::string missing = machine.path("client/libmissing.so");
  std::filesystem::create_directories(machine.path("client"));
  SetOCIDLL(missing);
  machine.process.cwd = "/start";
  EXPECT_EQ(Message(), "Initialization error\r\nCould not load \"" + missing +
                           "\"\r\n\r\nOCIDLL forced to " + missing + "\r\nLoadLibrary(" + missing +
                           ") returned 0");
  EXPECT_EQ(machine.process.cwd, "/start");
  EXPECT_EQ(SavedCurrentDir(), "");
  ASSERT_EQ(internal::State().loadFailures.size(), 2u);
  EXPECT_EQ(internal::State().loadFailures[1].currentDirectory, machine.path("client"));
}

// The stand-in needs a library that lies beside it and is searched for in the current directory.
class OwnFolder : public Loading {
 protected:
  void SetUp() override {
    Loading::SetUp();
    start_ = std::filesystem::current_path();
    // Absolute and in the system's separators, as a user would name it.
    library_ = std::filesystem::absolute(DBL_FAKE_OWN_FOLDER).make_preferred().string();
    folder_ = std::filesystem::path(library_).parent_path().string();
  }
  void TearDown() override {
    std::filesystem::current_path(start_);
    Loading::TearDown();
  }
  std::filesystem::path start_;
  std::string library_;
  std::string folder_;
};

TEST_F(OwnFolder, LoadsAfterSwitchingToItsFolderUntilRestored) {
  SetOCIDLL(library_);
  ASSERT_NO_THROW(InitOCI()) << OCITrace();
  EXPECT_TRUE(UseOCI8());
  // The first attempt failed on the missing dependency, as the loader says (the POSIX loader
  // names it; Windows' names the library it was asked for).
  ASSERT_EQ(internal::State().loadFailures.size(), 1u);
#ifdef _WIN32
  const std::string named = std::filesystem::path(DBL_FAKE_OWN_FOLDER).filename().string();
#else
  const std::string named = "libdbl_fake_dependency";
#endif
  EXPECT_NE(internal::State().loadFailures[0].reason.find(named), std::string::npos)
      << internal::State().loadFailures[0].reason;
  EXPECT_EQ(platform::process().currentDirectory(), folder_);
  EXPECT_EQ(SavedCurrentDir(), start_.string());

  RestoreCurrentDir();
  EXPECT_EQ(platform::process().currentDirectory(), start_.string());
  EXPECT_EQ(SavedCurrentDir(), "");
  RestoreCurrentDir();  // nothing saved: nothing to do
  EXPECT_EQ(platform::process().currentDirectory(), start_.string());
}

TEST_F(OwnFolder, ADirectoryChangedMeanwhileIsLeftAlone) {
  SetOCIDLL(library_);
  ASSERT_NO_THROW(InitOCI());
  const std::string elsewhere = std::filesystem::path(folder_).parent_path().string();
  ASSERT_TRUE(platform::process().setCurrentDirectory(elsewhere));
  RestoreCurrentDir();
  EXPECT_EQ(platform::process().currentDirectory(), elsewhere);
  EXPECT_EQ(SavedCurrentDir(), "");
}

#endif  // _WIN32

class TransactionCoordinator : public Loading {
 protected:
  void SetUp() override {
    Loading::SetUp();
    client_ = machine_.copyLibrary(DBL_FAKE_FULL, "client/libclntsh.so");
    mts_ = machine_.path("client/" + ClientLayout::Native().mtsLibrary);
    SetOCIDLL(client_);
  }
  static std::string MTSMessage() {
    try {
      InitMTS();
    } catch (const Exception& e) {
      return e.Message();
    }
    return "(loaded)";
  }
  PosixMachine machine_;
  std::string client_;
  std::string mts_;
};

TEST_F(TransactionCoordinator, LoadsBesideTheClientAndUnloadsWithIt) {
  machine_.copyLibrary(DBL_FAKE_MTS, "client/" + ClientLayout::Native().mtsLibrary);
  EXPECT_EQ(MTSMessage(), "(loaded)");
  EXPECT_TRUE(OCILoaded());
  EXPECT_TRUE(MTSLoaded());
  EXPECT_TRUE(OraMTSAvailable());
  EXPECT_EQ(MTSDLL(), mts_);
  EXPECT_EQ(oci::OraMTSTransTest(), 1);
  EXPECT_EQ(MTSMessage(), "(loaded)");  // cheap the second time
  FreeOCI();
  EXPECT_FALSE(MTSLoaded());
  EXPECT_FALSE(OraMTSAvailable());
  EXPECT_EQ(MTSDLL(), "");
}

TEST_F(TransactionCoordinator, FailuresNameTheLibraryAndKeepTheClient) {
  EXPECT_EQ(MTSMessage(), "Initialization error\r\nCould not locate \"" + mts_ + "\"");
  EXPECT_TRUE(OCILoaded());
  EXPECT_FALSE(MTSLoaded());

  machine_.writeFile("client/" + ClientLayout::Native().mtsLibrary, "not a library");
  EXPECT_EQ(MTSMessage(), "Initialization error\r\nCould not load \"" + mts_ + "\"");
  EXPECT_TRUE(OCILoaded());

  machine_.copyLibrary(DBL_FAKE_MTS_INCOMPLETE, "client/" + ClientLayout::Native().mtsLibrary);
  EXPECT_EQ(MTSMessage(), "Initialization error\r\nCould not initialize \"" + mts_ + "\"");
  EXPECT_FALSE(MTSLoaded());
  EXPECT_FALSE(OraMTSAvailable());
  EXPECT_EQ(MTSDLL(), "");
  EXPECT_TRUE(OCILoaded());
}

TEST_F(TransactionCoordinator, AClientThatCannotLoadFailsFirst) {
  FreeOCI();
  SetOCIDLL(machine_.path("client/libnothing.so"));
  const std::string message = MTSMessage();
  EXPECT_EQ(message.rfind("Initialization error\r\nCould not load \"", 0), 0u) << message;
  EXPECT_NE(message.find("LoadLibrary("), std::string::npos);
}

// ---- The Windows layout's messages -----------------------------------------------------------

struct MessageCase {
  const char* title;
  std::function<void(WindowsMachine&)> describe;
  const char* message;
};

// Test names and failure messages show the case title.
void PrintTo(const MessageCase& c, std::ostream* out) { *out << c.title; }

void Ora805Home(WindowsMachine& m) {
  m.regString("SOFTWARE\\ORACLE\\ALL_HOMES", "HOME_COUNTER", "1");
  m.regString("SOFTWARE\\ORACLE\\HOME0", "ORACLE_HOME", "C:\\ora");
  m.regString("SOFTWARE\\ORACLE\\HOME0", "ORACLE_HOME_NAME", "OraHome");
  m.addHome("C:\\ora");
  m.files.addFile("C:\\ora\\bin\\ora73.dll");
  m.files.addFile("C:\\ora\\bin\\ora805.dll");
}

const MessageCase kMessageCases[] = {
    {"NoHome", [](WindowsMachine&) {},
     "Initialization error\r\nSQL*Net not properly installed\r\n\r\n"
     "OracleHomeKey: \r\nOracleHomeDir: "},
    {"NoLibraryInTheHome", [](WindowsMachine& m) { m.addHome("C:\\ora");
                                                   m.process.env["ORACLE_HOME"] = "C:\\ora"; },
     "Initialization error\r\nCould not locate OCI dll\r\n\r\n"
     "OracleHomeKey: \r\nOracleHomeDir: C:\\ora"},
    {"ChosenLibraryDoesNotLoad", Ora805Home,
     "Initialization error\r\nCould not load \"C:\\ora\\bin\\ora805.dll\"\r\n\r\n"
     "OracleHomeKey: SOFTWARE\\ORACLE\\HOME0\r\nOracleHomeDir: C:\\ora\r\nFound: ora73.dll\r\n"
     "Found: ora805.dll\r\nUsing: C:\\ora\\bin\\ora805.dll\r\n"
     "LoadLibrary(C:\\ora\\bin\\ora805.dll) returned 0"},
    {"OnlyOci8ForcedToOci7",
     [](WindowsMachine& m) {
       m.process.env["PATH"] = "C:\\client\\bin";
       m.addLibrary("C:\\client\\bin\\oci.dll",
                    {testing::Exports({egNet8, egNet81}), ""});
       m.process.args = {"OCIDLL=C:\\client\\bin\\oci.dll"};
     },
     "Initialization error\r\nCould not initialize \"C:\\client\\bin\\oci.dll\"\r\n\r\n"
     "OCIDLL forced to C:\\client\\bin\\oci.dll"},
};

class WindowsMessages : public ::testing::TestWithParam<MessageCase> {};

TEST_P(WindowsMessages, ComposeReasonAndTrace) {
  WindowsMachine machine;
  GetParam().describe(machine);
  machine.install();
  SetForceOCI7(true);
  try {
    InitOCI();
    ADD_FAILURE() << "loaded";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), GetParam().message);
  }
  EXPECT_FALSE(OCILoaded());
  EXPECT_EQ(machine.libraries.frees(), machine.libraries.loads());
}

INSTANTIATE_TEST_SUITE_P(WindowsLayout, WindowsMessages, ::testing::ValuesIn(kMessageCases),
                         [](const auto& p) { return std::string(p.param.title); });

TEST(WindowsLoading, LibraryLoadableOnlyFromItsFolderSwitchesTheDirectory) {
  WindowsMachine machine;
  Ora805Home(machine);
  machine.libraries.add("C:\\ora\\bin\\ora805.dll", {testing::Oci7Exports(), "C:\\ora\\bin"});
  machine.install();
  FakeLibraries::ResetCalls();

  ASSERT_NO_THROW(InitOCI());
  EXPECT_EQ(OCIDLL(), "C:\\ora\\bin\\ora805.dll");
  EXPECT_EQ(machine.process.cwd, "C:\\ora\\bin");
  EXPECT_EQ(SavedCurrentDir(), "C:\\work");
  EXPECT_EQ(FakeLibraries::Calls("opinit"), 1);
  EXPECT_EQ(FakeLibraries::Calls("OCIInitialize"), 0);
  RestoreCurrentDir();
  EXPECT_EQ(machine.process.cwd, "C:\\work");
  EXPECT_EQ(SavedCurrentDir(), "");
}

TEST(WindowsLoading, SwitchingClientsBeforeRestoringReturnsToTheUsersDirectory) {
  WindowsMachine machine;
  Ora805Home(machine);
  machine.libraries.add("C:\\ora\\bin\\ora805.dll", {testing::Oci7Exports(), "C:\\ora\\bin"});
  machine.addLibrary("C:\\ora2\\bin\\oci.dll", {testing::AllExports(), "C:\\ora2\\bin"});
  machine.install();

  ASSERT_NO_THROW(InitOCI());
  EXPECT_EQ(machine.process.cwd, "C:\\ora\\bin");
  // The logon dialog unloads and picks another client that also needs its own folder, before
  // any logon restored the directory.
  FreeOCI();
  SetOCIDLL("C:\\ora2\\bin\\oci.dll");
  ASSERT_NO_THROW(InitOCI());
  EXPECT_EQ(machine.process.cwd, "C:\\ora2\\bin");
  EXPECT_EQ(SavedCurrentDir(), "C:\\work");
  RestoreCurrentDir();
  EXPECT_EQ(machine.process.cwd, "C:\\work");
}

TEST(WindowsLoading, FreeOCIResetsTheCachesButNotTheTrace) {
  WindowsMachine machine;
  Ora805Home(machine);
  machine.libraries.add("C:\\ora\\bin\\ora805.dll",
                        {testing::AllExports(), ""});
  machine.install();
  ASSERT_NO_THROW(InitOCI());
  EXPECT_TRUE(UseSessionPool());
  const std::string trace = OCITrace();
  FreeOCI();
  EXPECT_FALSE(OCILoaded());
  EXPECT_EQ(CurrentFlags(), (Flags{}));
  EXPECT_EQ(OracleHomeKey(), "");
  EXPECT_EQ(OracleHomeDir(), "");
  EXPECT_FALSE(OracleHomeHasBin());
  EXPECT_EQ(OracleHomeName(), "");
  EXPECT_EQ(OCIDLL(), "");
  EXPECT_EQ(OCITrace(), trace);
  EXPECT_EQ(machine.libraries.frees(), 1);
  FreeOCI();  // nothing loaded: nothing freed
  EXPECT_EQ(machine.libraries.frees(), 1);
}

}  // namespace
}  // namespace oracle
