// The wide command line and the console code pages on Windows; argv as it is elsewhere.
#include "platform/ProgramStart.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/WinProcess.h"
#endif

namespace platform {

std::vector<std::string> programArguments(int argc, char** argv) {
#ifdef _WIN32
  std::vector<std::string> args = commandLineArguments();
  if (!args.empty()) {
    args.erase(args.begin());
    return args;
  }
#endif
  if (argc < 1 || argv == nullptr) return {};
  return std::vector<std::string>(argv + 1, argv + argc);
}

void useUtf8Console() {
#ifdef _WIN32
  ::SetConsoleOutputCP(CP_UTF8);
  ::SetConsoleCP(CP_UTF8);
#endif
}

}  // namespace platform
