// dblogon.exe as a process on Windows: the exit status and the words a user sees for a start that
// goes wrong before any dialog, with arguments and output in UTF-8 whatever the code page.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

using testing::HasSubstr;

struct ProgramRun {
  int exitCode = -1;
  std::string output;  // stdout and stderr together, as the bytes the program wrote
};

// Runs the program through the command interpreter with a wide command line, so that the
// arguments reach it as typed, not through the ANSI code page.
ProgramRun run(const std::wstring& arguments) {
  const std::wstring program =
      std::filesystem::absolute(DBLOGON_PROGRAM).make_preferred().wstring();
  // cmd /c strips the outer quotes and keeps the inner ones.
  const std::wstring command = L"\"\"" + program + L"\" " + arguments + L" <NUL 2>&1\"";
  ProgramRun result;
  FILE* pipe = ::_wpopen(command.c_str(), L"rb");
  if (pipe == nullptr) return result;
  char buffer[4096];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
  result.exitCode = ::_pclose(pipe);
  return result;
}

TEST(WinProgram, UsageErrorsExitTwoWithTheProblemAndTheUsage) {
  const std::pair<const wchar_t*, const char*> cases[] = {
      {L"--batch --diagnose", "--batch and --diagnose cannot be used together"},
      {L"-v", "unknown option -v"},
      {L"UserId=a/b@c UserId=d/e@f", "UserId= is given 2 times"},
      // A word outside the ANSI code page comes back as it was typed.
      {L"bl\u00E5b\u00E6r\u20AC",
       "'bl\xC3\xA5"
       "b\xC3\xA6r\xE2\x82\xAC' is neither an option nor a setting"},
  };
  for (const auto& [arguments, problem] : cases) {
    SCOPED_TRACE(problem);
    const ProgramRun r = run(arguments);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_THAT(r.output, HasSubstr(std::string("dblogon: ") + problem)) << r.output;
  }
}

TEST(WinProgram, VersionNamesProgramAndLayerAndSaysWhenNoClientLoads) {
  const ProgramRun r = run(L"--version");
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_THAT(r.output, HasSubstr("dblogon "));
  EXPECT_THAT(r.output, HasSubstr("Oracle access layer "));
}

}  // namespace
