// The report of `dblogon --diagnose`: the summary for each way a client can fail to serve, what
// was looked at, and the discovery's own record below it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "PosixMachine.h"
#include "oracle/client/ClientDiagnostics.h"

namespace oracle {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using testing::PosixMachine;

std::string home(PosixMachine& m) {
  m.process.env["ORACLE_HOME"] = m.path("home");
  m.process.env["PATH"] = "/usr/bin";
  return m.path("home");
}

struct SummaryCase {
  const char* title;
  std::function<void(PosixMachine&)> describe;
  bool loaded;
  // Parts of the summary's three lines and of the "Looked at" list; {home} stands for the
  // machine's home folder.
  std::vector<std::string> found, failed, next, lookedAt;
};

void PrintTo(const SummaryCase& c, std::ostream* out) {
  *out << c.title;
}

const SummaryCase kSummaryCases[] = {
    {"NothingInstalled",
     [](PosixMachine& m) { m.process.env["PATH"] = m.path("bin"); },
     false,
     {"no Oracle client"},
     {"no Oracle home: ORACLE_HOME is not set, and no folder on LD_LIBRARY_PATH or PATH holds "
      "libclntsh.so."},
     {"Set ORACLE_HOME to the folder of the Oracle client"},
     {"LD_LIBRARY_PATH: not set", "{tmp}/bin/libclntsh.so: not there"}},
    {"HomeWithoutLibrary",
     [](PosixMachine& m) {
       std::filesystem::create_directories(m.path("home/lib"));
       home(m);
     },
     false,
     {"the Oracle home {home}"},
     {"the Oracle home {home} holds no lib/libclntsh.so"},
     {"Point ORACLE_HOME at a complete Oracle client installation"},
     {"{home}/lib/libclntsh.so: not there", "{home}/libclntsh.so: not there"}},
    {"NotALibrary",
     [](PosixMachine& m) {
       m.writeFile("home/lib/libclntsh.so", "not a library");
       home(m);
     },
     false,
     {"the client library {home}/lib/libclntsh.so"},
     {"the operating system's loader could not load {home}/lib/libclntsh.so: "},
     {"{home}/lib/libclntsh.so is not a shared library"},
     {"{home}/lib/libclntsh.so: found"}},
    {"MissingDependency",
     [](PosixMachine& m) {
       m.copyLibrary(DBL_FAKE_OWN_FOLDER, "home/lib/libclntsh.so");
       home(m);
     },
     false,
     {"the client library {home}/lib/libclntsh.so"},
     {"could not load", "libdbl_fake_dependency.so: cannot open shared object file"},
     {"Install the library the loader could not find, libdbl_fake_dependency.so"},
     {}},
    {"NoClientEntryPoints",
     [](PosixMachine& m) {
       m.copyLibrary(DBL_FAKE_MTS, "home/lib/libclntsh.so");
       home(m);
     },
     false,
     {"the library {home}/lib/libclntsh.so, which loads"},
     {"lacks the entry points of an Oracle client: no OCIInitialize, OCIHandleAlloc"},
     {"Point OCIDLL= or ORACLE_HOME at the Oracle client's own libclntsh.so"},
     {}},
    {"ChosenHomeThatIsNeither",
     [](PosixMachine& m) { m.process.args = {"ORACLEHOME=OraHome19"}; },
     false,
     {"no Oracle client"},
     {"ORACLEHOME=OraHome19 names neither an Oracle home in the registry file nor a folder"},
     {"Give ORACLEHOME= the folder of the Oracle client"},
     {"ORACLEHOME=OraHome19: no home of that name in the registry file, and no such folder"}},
    {"NoTnsnamesFile",
     [](PosixMachine& m) {
       m.copyLibrary(DBL_FAKE_FULL, "home/lib/libclntsh.so");
       home(m);
     },
     true,
     {"the Oracle client {home}/lib/libclntsh.so (OCI8"},
     {"no tnsnames.ora: {home}/network/admin/tnsnames.ora does not exist."},
     {"Create {home}/network/admin/tnsnames.ora", "or set TNS_ADMIN"},
     {"{home}/network/admin/tnsnames.ora: missing"}},
    {"UnclosedDefinition",
     [](PosixMachine& m) {
       m.copyLibrary(DBL_FAKE_FULL, "home/lib/libclntsh.so");
       m.writeFile("home/network/admin/tnsnames.ora",
                   "DEV = (x)\nPROD = (DESCRIPTION =\n  (ADDRESS = (HOST = h)\nTEST = (y)\n");
       home(m);
     },
     true,
     {"the Oracle client"},
     {"{home}/network/admin/tnsnames.ora line 2: the parentheses of PROD never close; it hides "
      "TEST."},
     {"Fix line 2 of {home}/network/admin/tnsnames.ora."},
     {"{home}/network/admin/tnsnames.ora: read; line 2"}},
    {"MissingIncludedFile",
     [](PosixMachine& m) {
       m.copyLibrary(DBL_FAKE_FULL, "home/lib/libclntsh.so");
       m.writeFile("home/network/admin/tnsnames.ora",
                   "DEV = (x)\nifile = " + m.path("gone.ora") + "\n");
       home(m);
     },
     true,
     {"the Oracle client"},
     {"the file {tmp}/gone.ora named by an ifile line does not exist."},
     {"Correct the ifile line that names {tmp}/gone.ora"},
     {"{tmp}/gone.ora: missing (named by ifile)"}},
    {"AllWell",
     [](PosixMachine& m) {
       m.copyLibrary(DBL_FAKE_FULL, "home/lib/libclntsh.so");
       m.writeFile("home/network/admin/tnsnames.ora", "PROD = (x)\nDEV = (y)\n");
       home(m);
     },
     true,
     {"the Oracle client", "2 net service names in {home}/network/admin/tnsnames.ora"},
     {"nothing."},
     {"Test a logon: dblogon --batch UserId=username/password@DEV."},
     {"{home}/lib/libclntsh.so: found", "{home}/network/admin/tnsnames.ora: read"}},
};

class DiagnosisSummary : public ::testing::TestWithParam<SummaryCase> {};

TEST_P(DiagnosisSummary, SaysWhatWasFoundWhatFailedAndWhatToDoNext) {
  const SummaryCase& c = GetParam();
  PosixMachine machine;
  c.describe(machine);
  machine.install();
  const auto expand = [&machine](std::string text) {
    for (const auto& [mark, value] :
         {std::pair<std::string, std::string>{"{home}", machine.path("home")},
          {"{tmp}", machine.path("")}}) {
      std::string folder = value;
      if (!folder.empty() && folder.back() == '/') folder.pop_back();
      for (std::size_t at; (at = text.find(mark)) != std::string::npos;)
        text.replace(at, mark.size(), folder);
    }
    return text;
  };

  const ClientDiagnosis diagnosis = DiagnoseClient();
  const std::string& report = diagnosis.report;
  EXPECT_EQ(diagnosis.loaded, c.loaded);
  const std::size_t summaryEnd = report.find("\nLooked at\n");
  ASSERT_NE(summaryEnd, std::string::npos) << report;
  const std::string summary = report.substr(0, summaryEnd);
  const std::size_t found = summary.find("  Found: "), failed = summary.find("  Failed: "),
                    next = summary.find("  Next: ");
  ASSERT_TRUE(found < failed && failed < next && next != std::string::npos) << report;
  for (const std::string& part : c.found)
    EXPECT_THAT(summary.substr(found, failed - found), HasSubstr(expand(part))) << report;
  for (const std::string& part : c.failed)
    EXPECT_THAT(summary.substr(failed, next - failed), HasSubstr(expand(part))) << report;
  for (const std::string& part : c.next)
    EXPECT_THAT(summary.substr(next), HasSubstr(expand(part))) << report;
  const std::string lookedAt =
      report.substr(summaryEnd, report.find("\nEnvironment\n") - summaryEnd);
  for (const std::string& part : c.lookedAt)
    EXPECT_THAT(lookedAt, HasSubstr("  " + expand(part))) << report;
}

INSTANTIATE_TEST_SUITE_P(Cases, DiagnosisSummary, ::testing::ValuesIn(kSummaryCases),
                         [](const auto& p) { return std::string(p.param.title); });

TEST(DiagnoseClient, AFailedLoadKeepsTheTraceAndGivesTheLoadersReasonOnce) {
  PosixMachine machine;
  const std::string bogus = machine.writeFile("home/lib/libclntsh.so", "not a library");
  home(machine);
  machine.install();

  const std::string report = DiagnoseClient().report;
  EXPECT_THAT(report, HasSubstr("ORACLE_HOME = " + machine.path("home") + "\n"));
  for (const char* variable : {"TNS_ADMIN", "ORACLE_SID", "LD_LIBRARY_PATH"})
    EXPECT_THAT(report, HasSubstr(std::string(variable) + " = (not set)\n"));
  EXPECT_THAT(report, HasSubstr("PATH = /usr/bin\n"));
  // Chosen by the discovery, not given, though the failed load has forgotten the choice.
  EXPECT_THAT(report, HasSubstr("OCIDLL = " + bogus + "  (chosen by the discovery)\n"));
  EXPECT_THAT(report, HasSubstr("library tried = " + bogus + "\n"));
  // The layer's trace word for word.
  EXPECT_THAT(report, HasSubstr("\nTrace (OCITrace)\n  OracleHomeKey: \n  OracleHomeDir: " +
                                machine.path("home") + "\n  Found: libclntsh.so\n  Using: " +
                                bogus + "\n  LoadLibrary(" + bogus + ") returned 0\n"));
  // The loader was asked twice and said the same; its words appear once beside the summary.
  const std::size_t loader = report.find("\nOperating system loader\n");
  ASSERT_NE(loader, std::string::npos) << report;
  const std::string reasonLine = report.substr(report.find("    ", loader));
  const std::string reason = reasonLine.substr(4, reasonLine.find('\n') - 4);
  EXPECT_THAT(report.substr(loader + 1), Not(HasSubstr(reason + "\n    " + reason)));
  EXPECT_THAT(report,
              HasSubstr("\nThe layer's message\n  Initialization error\n  Could not load \"" +
                        bogus + "\"\n"));
  EXPECT_THAT(report, Not(HasSubstr("\r")));
}

TEST(DiagnoseClient, AGivenLibraryIsShownAsGivenAndItsMissingCallsAreNamed) {
  PosixMachine machine;
  const std::string library = machine.copyLibrary(DBL_FAKE_81_MISSING, "lib/libclntsh.so");
  machine.process.args = {"OCIDLL=" + library};
  machine.install();
  const ClientDiagnosis diagnosis = DiagnoseClient();
  EXPECT_TRUE(diagnosis.loaded);
  EXPECT_THAT(diagnosis.report, HasSubstr("OCIDLL = " + library + "  (given)\n"));
  EXPECT_THAT(diagnosis.report, HasSubstr("  missing later calls: OCIDateTimeAssign\n"));
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
  EXPECT_THAT(report, HasSubstr("OCIDLL = " + machine.path("home/lib/libclntsh.so") +
                                "  (chosen by the discovery)\n"));
  EXPECT_THAT(report, HasSubstr("UseOCI8 = yes, UseNet81 = yes"));
  EXPECT_THAT(
      report,
      HasSubstr("TNSNamesFile = " + machine.path("home/network/admin/tnsnames.ora") + "\n"));
  EXPECT_THAT(report,
              HasSubstr("sqlnet.ora = " + machine.path("home/network/admin/sqlnet.ora") + "\n"));
  EXPECT_THAT(report, HasSubstr("DefaultDomain = world\n"));
  EXPECT_THAT(report, HasSubstr("ifile " + machine.path("more.ora") + "\n"));
  EXPECT_THAT(report, HasSubstr("  2 names\n    PROD\n    TEST\n"));
  EXPECT_THAT(report, Not(HasSubstr("Initialization error")));
}

}  // namespace
}  // namespace oracle
