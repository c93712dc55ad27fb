// dblogon --batch over a list of targets: the UserId= arguments, --targets files and
// --all-aliases, tested in parallel and reported as a table or JSON lines.
#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "app/BatchOptions.h"

namespace app {

// What the run reads and writes, so that tests can stand in for the terminal and the process.
struct ListRunIo {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
  bool colourTable = false;    // the outcome in colour: a terminal, and NO_COLOR not set
  bool errIsTerminal = false;  // a progress bar instead of progress lines
  int cores = 1;               // the default of --jobs
  std::optional<std::string> environmentPassword{};  // DBLOGON_PASSWORD
  std::function<std::optional<std::string>(const std::string& prompt)> askTerminal{};
};

struct ListRunEnd {
  int exitStatus = 2;  // 0 every target connected, 1 some did not, 2 a usage error
  // A thread of a timed-out target is still inside the client: the client library was left
  // loaded and the process must end without unloading it (see TargetRunner).
  bool clientStillInUse = false;
};

// `userIds` are the values of the UserId= arguments. Starts and stops the layer's units itself
// (stopping them only when no thread is left in the client).
ListRunEnd RunTargetList(const std::vector<std::string>& userIds, const BatchOptions& options,
                         ListRunIo& io);

// For the program: the run with the process's own streams and terminal; when a thread is still
// inside the client, ends the process at once (output flushed) instead of returning.
int RunTargetListProgram(const std::vector<std::string>& userIds, const BatchOptions& options);

}  // namespace app
