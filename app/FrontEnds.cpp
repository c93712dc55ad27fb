// Front-end choice and the diagnostics printout.
#include "app/FrontEnds.h"

#include <iostream>

#include "app/Shell.h"
#include "oracle/client/ClientDiagnostics.h"
#include "platform/Locale.h"
#include "platform/Process.h"
#include "platform/Services.h"
#include "ui/Language.h"
#include "ui/UiPort.h"

#ifdef DBLOGON_WITH_CONSOLE
#include "ui/console/ConsolePort.h"
#endif
#ifdef DBLOGON_WITH_QT
#include "app/DisplayProbe.h"
#include "ui/qt/QtFrontEnd.h"
#endif

namespace app {

int RunWithFrontEnd(FrontEnd frontEnd, int& argc, char** argv) {
#ifdef DBLOGON_WITH_QT
  if (frontEnd != FrontEnd::Console) {
    // Held until the program ends, so the windows connect while the probe is still connected.
    const DisplayProbe display = ProbeDisplay(platform::process());
    if (display.usable) {
      // Qt's own words follow the language of the dialogs, chosen before Qt starts.
      ui::SetLanguage(ui::LanguageFromId(platform::locale().languageId()));
      return ui::qt::RunWithQt(argc, argv, "dblogon", [] { return RunInteractive(); });
    }
    if (frontEnd == FrontEnd::Gui) {
      std::cerr << "dblogon: --gui needs a display that can be opened: " << display.reason
                << "\nUse --console to run in the terminal.\n\n"
                << UsageText();
      return 2;
    }
    // A display that is named but not there is worth a word; none at all is the terminal's case.
    if (display.named) std::cerr << "dblogon: " << display.reason << "; using the terminal\n";
  }
#else
  (void)argc;
  (void)argv;
  if (frontEnd == FrontEnd::Gui) {
    std::cerr << "dblogon: --gui: windows are not built into this dblogon\n\n" << UsageText();
    return 2;
  }
#endif
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
