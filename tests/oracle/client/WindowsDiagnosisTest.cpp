// The report of `dblogon --diagnose` on Windows: the summary in Windows words (PATH, oci.dll in a
// home's bin folder, the registry), over real folders and the Windows loader.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "PosixMachine.h"
#include "oracle/client/ClientDiagnostics.h"

namespace oracle {
namespace {

using ::testing::HasSubstr;
using Machine = testing::PosixMachine;

struct WindowsSummaryCase {
  const char* title;
  std::function<void(Machine&)> describe;
  bool loaded;
  // Parts of the summary's lines and of the "Looked at" list; {home} and {tmp} stand for the
  // machine's home folder and its temporary folder.
  std::vector<std::string> failed, next, lookedAt;
};

void PrintTo(const WindowsSummaryCase& c, std::ostream* out) {
  *out << c.title;
}

void useHome(Machine& m) {
  m.process.env["ORACLE_HOME"] = m.path("home");
  m.process.env["PATH"] = "C:\\windows\\system32";
}

const WindowsSummaryCase kWindowsSummaryCases[] = {
    {"NothingInstalled",
     [](Machine& m) { m.process.env["PATH"] = m.path("bin"); },
     false,
     {"no Oracle home: ORACLE_HOME is not set, and no folder on PATH holds oci.dll."},
     {"Set ORACLE_HOME to the folder of the Oracle client (the one with bin\\oci.dll), or add the "
      "folder that holds oci.dll to PATH."},
     {"{tmp}\\bin\\oci.dll: not there"}},
    {"NotADll",
     [](Machine& m) {
       m.writeFile("home/bin/oci.dll", "not a library");
       useHome(m);
     },
     false,
     {"the operating system's loader could not load {home}\\bin\\oci.dll: {home}\\bin\\oci.dll: "},
     {"Install the Oracle client's other DLLs beside {home}\\bin\\oci.dll"},
     {}},
    {"ChosenHomeThatIsNeither",
     [](Machine& m) { m.process.args = {"ORACLEHOME=OraHome19"}; },
     false,
     {"ORACLEHOME=OraHome19 names neither an Oracle home in the registry nor a folder."},
     {"Give ORACLEHOME= the folder of the Oracle client (the one with bin\\oci.dll)"},
     {}},
};

class WindowsDiagnosisSummary : public ::testing::TestWithParam<WindowsSummaryCase> {};

TEST_P(WindowsDiagnosisSummary, SaysWhatFailedAndWhatToDoInWindowsWords) {
  const WindowsSummaryCase& c = GetParam();
  Machine machine;
  machine.layout = ClientLayout::Windows();
  c.describe(machine);
  machine.install();
  const auto expand = [&machine](std::string text) {
    std::string tmp = machine.path("");
    tmp.pop_back();
    for (const auto& [mark, value] :
         {std::pair<std::string, std::string>{"{home}", machine.path("home")}, {"{tmp}", tmp}}) {
      for (std::size_t at; (at = text.find(mark)) != std::string::npos;)
        text.replace(at, mark.size(), value);
    }
    return text;
  };

  const ClientDiagnosis diagnosis = DiagnoseClient();
  const std::string& report = diagnosis.report;
  EXPECT_EQ(diagnosis.loaded, c.loaded);
  const std::size_t summaryEnd = report.find("\nLooked at\n");
  ASSERT_NE(summaryEnd, std::string::npos) << report;
  const std::string summary = report.substr(0, summaryEnd);
  const std::size_t failed = summary.find("  Failed: "), next = summary.find("  Next: ");
  ASSERT_TRUE(failed < next && next != std::string::npos) << report;
  for (const std::string& part : c.failed)
    EXPECT_THAT(summary.substr(failed, next - failed), HasSubstr(expand(part))) << report;
  for (const std::string& part : c.next)
    EXPECT_THAT(summary.substr(next), HasSubstr(expand(part))) << report;
  const std::string lookedAt =
      report.substr(summaryEnd, report.find("\nEnvironment\n") - summaryEnd);
  for (const std::string& part : c.lookedAt)
    EXPECT_THAT(lookedAt, HasSubstr("  " + expand(part))) << report;
  // The POSIX loader's variable has no place in a Windows report.
  EXPECT_THAT(report, ::testing::Not(HasSubstr("LD_LIBRARY_PATH"))) << report;
}

INSTANTIATE_TEST_SUITE_P(Cases, WindowsDiagnosisSummary, ::testing::ValuesIn(kWindowsSummaryCases),
                         [](const auto& p) { return std::string(p.param.title); });

}  // namespace
}  // namespace oracle
