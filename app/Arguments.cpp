// Command-line switches of dblogon.
#include "app/Arguments.h"

namespace app {

Arguments ParseArguments(const std::vector<std::string>& args) {
  Arguments a;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (std::size_t at = i; ParseBatchOption(args, at, a.batch, a.error)) {
      i = at - 1;
    } else if (arg == "--gui") {
      a.frontEnd = FrontEnd::Gui;
    } else if (arg == "--console") {
      a.frontEnd = FrontEnd::Console;
    } else if (arg == "--batch") {
      a.mode = Mode::Batch;
    } else if (arg == "--diagnose") {
      a.mode = Mode::Diagnose;
    } else if (arg == "--help" || arg == "-h") {
      a.mode = Mode::Help;
    } else if (arg.rfind("--", 0) == 0) {
      a.error = "unknown option " + arg;
    } else {
      a.passOn.push_back(arg);
    }
  }
  if (a.error.empty() && a.mode != Mode::Batch && (a.batch.listRun || a.batch.passwordFromStdin))
    a.error = "the switches of many targets, --password-stdin and --quiet need --batch";
  return a;
}

std::string UsageText() {
  return "Usage: dblogon [--gui | --console] [UserId=user/password@database] [OCIDLL=library]\n"
         "               [ORACLEHOME=home]\n"
         "       dblogon --batch UserId=user/password@database [OCIDLL=...] [ORACLEHOME=...]\n"
         "       dblogon --diagnose [OCIDLL=...] [ORACLEHOME=...]\n"
         "\n"
         "Tests whether a user can log on to an Oracle database.\n"
         "  --gui        use windows (the default when a display is available)\n"
         "  --console    use the terminal\n"
         "  --batch      run only the automatic test of UserId=, print the outcome;\n"
         "               exit status 0 when connected, 1 when not, 2 on a usage error\n"
         "  --diagnose   print what the Oracle client discovery found; exit 0 when the\n"
         "               client library loaded, 1 when not\n"
         "  UserId=      a connect string: username/password@database [as sysdba]\n"
         "  OCIDLL=      the client library to load\n"
         "  ORACLEHOME=  the name of the Oracle home to use\n"
         "\n"
         "With --batch, several UserId= or these switches test many targets at once:\n" +
         std::string(BatchOptionsUsage());
}

}  // namespace app
