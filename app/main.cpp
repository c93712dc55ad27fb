// dblogon: picks the front end, then runs the logon test and the main dialog, a batch test, or the
// client diagnostics.
#include <clocale>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/Arguments.h"
#include "app/BatchMode.h"
#include "app/FrontEnds.h"
#include "app/Shell.h"
#include "app/Version.h"
#include "platform/Process.h"
#include "platform/ProgramStart.h"
#include "platform/Services.h"

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  platform::useUtf8Console();
  const std::vector<std::string> args = platform::programArguments(argc, argv);
  const app::Arguments arguments = app::ParseArguments(args);
  if (!arguments.error.empty()) {
    std::cerr << "dblogon: " << arguments.error << "\n\n" << app::UsageText();
    return 2;
  }
  platform::process().setArguments(arguments.passOn);

  switch (arguments.mode) {
    case app::Mode::Help:
      std::cout << app::UsageText();
      return 0;
    case app::Mode::Version:
      return app::RunVersion(std::cout);
    case app::Mode::Batch:
      return app::RunBatchMode(arguments.passOn, arguments.batch);
    case app::Mode::Diagnose:
      return app::RunDiagnose(std::cout);
    case app::Mode::Interactive:
      break;
  }
  return app::RunWithFrontEnd(arguments.frontEnd, argc, argv);
}
