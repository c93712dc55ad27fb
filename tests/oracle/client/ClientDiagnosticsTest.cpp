// The report of `dblogon --diagnose`.
#include "oracle/client/ClientDiagnostics.h"

#include <string>

#include <gtest/gtest.h>

#include "PosixMachine.h"

namespace oracle {
namespace {

using testing::PosixMachine;

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(DiagnoseClient, AFailedLoadShowsTheLoadersReasonAndTheWholeMessage) {
  PosixMachine machine;
  const std::string bogus = machine.writeFile("home/lib/libclntsh.so", "not a library");
  machine.process.env["ORACLE_HOME"] = machine.path("home");
  machine.process.env["PATH"] = "/usr/bin";
  machine.install();

  const ClientDiagnosis diagnosis = DiagnoseClient();
  const std::string& report = diagnosis.report;
  EXPECT_FALSE(diagnosis.loaded);
  EXPECT_TRUE(Contains(report, "ORACLE_HOME = " + machine.path("home") + "\n")) << report;
  EXPECT_TRUE(Contains(report, "TNS_ADMIN = (not set)\n")) << report;
  EXPECT_TRUE(Contains(report, "PATH = /usr/bin\n")) << report;
  EXPECT_TRUE(Contains(report, "LD_LIBRARY_PATH = (not set)\n")) << report;
  EXPECT_TRUE(Contains(report, "library tried = " + bogus + "\n")) << report;
  // The trace line by line, and beside it what the loader said about each attempt.
  EXPECT_TRUE(Contains(report, "  Using: " + bogus + "\n  LoadLibrary(" + bogus + ") returned 0\n"))
      << report;
  EXPECT_TRUE(Contains(report, "loading " + bogus + " from ")) << report;
  EXPECT_TRUE(Contains(report, "UseOCI8 = no")) << report;
  EXPECT_TRUE(Contains(report, "  Initialization error\n  Could not load \"" + bogus + "\"\n"))
      << report;
  EXPECT_FALSE(Contains(report, "\r")) << report;
}

TEST(DiagnoseClient, ALoadedClientListsItsNetServiceNames) {
  PosixMachine machine;
  machine.copyLibrary(DBL_FAKE_FULL, "home/lib/libclntsh.so");
  machine.writeFile("home/network/admin/tnsnames.ora",
                    "PROD.WORLD = (x)\nifile = " + machine.path("more.ora") + "\n");
  machine.writeFile("home/network/admin/sqlnet.ora", "names.default_domain = world\n");
  machine.writeFile("more.ora", "TEST = (y)\n");
  machine.process.env["ORACLE_HOME"] = machine.path("home");
  machine.install();

  const ClientDiagnosis diagnosis = DiagnoseClient();
  const std::string& report = diagnosis.report;
  EXPECT_TRUE(diagnosis.loaded);
  EXPECT_TRUE(Contains(report, "OCIDLL = " + machine.path("home/lib/libclntsh.so") + "\n"))
      << report;
  EXPECT_TRUE(Contains(report, "UseOCI8 = yes, UseNet81 = yes")) << report;
  EXPECT_TRUE(Contains(report, "TNSNamesFile = " +
                                   machine.path("home/network/admin/tnsnames.ora") + "\n"))
      << report;
  EXPECT_TRUE(
      Contains(report, "sqlnet.ora = " + machine.path("home/network/admin/sqlnet.ora") + "\n"))
      << report;
  EXPECT_TRUE(Contains(report, "DefaultDomain = world\n")) << report;
  EXPECT_TRUE(Contains(report, "ifile " + machine.path("more.ora") + "\n")) << report;
  EXPECT_TRUE(Contains(report, "  2 names\n    PROD\n    TEST\n")) << report;
  EXPECT_FALSE(Contains(report, "Initialization error")) << report;
}

}  // namespace
}  // namespace oracle
