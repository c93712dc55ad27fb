// Front-end choice and the diagnostics printout.
#include "app/FrontEnds.h"

#include <iostream>

#include "app/Shell.h"
#include "oracle/client/ClientDiagnostics.h"
#include "platform/Process.h"
#include "platform/Services.h"
#include "ui/UiPort.h"

#ifdef DBLOGON_WITH_CONSOLE
#include "ui/console/ConsolePort.h"
#endif
#ifdef DBLOGON_WITH_QT
#include "ui/qt/QtFrontEnd.h"
#endif

namespace app {
namespace {

bool displayAvailable() {
  const auto nonEmpty = [](const char* name) {
    const auto value = platform::process().getEnv(name);
    return value && !value->empty();
  };
  return nonEmpty("DISPLAY") || nonEmpty("WAYLAND_DISPLAY");
}

}  // namespace

int RunWithFrontEnd(FrontEnd frontEnd, int& argc, char** argv) {
  const bool gui = frontEnd == FrontEnd::Gui ||
                   (frontEnd == FrontEnd::Automatic && displayAvailable());
  if (gui) {
#ifdef DBLOGON_WITH_QT
    return ui::qt::RunWithQt(argc, argv, "dblogon", [] { return RunInteractive(); });
#else
    (void)argc;
    (void)argv;
    std::cerr << "dblogon: windows are not built in; using the console\n";
#endif
  }
#ifdef DBLOGON_WITH_CONSOLE
  ui::console::ConsolePort console;
  ui::ScopedPort installed(console);
  return RunInteractive();
#else
  std::cerr << "dblogon: no interactive front end is built in; use --batch\n";
  return 2;
#endif
}

int RunDiagnose(std::ostream& out) {
  const oracle::ClientDiagnosis diagnosis = oracle::DiagnoseClient();
  out << diagnosis.report;
  return diagnosis.loaded ? 0 : 1;
}

}  // namespace app
