// Batch switches: "--name value" and "--name=value" alike.
#include "app/BatchOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace app {
namespace {

bool positiveInteger(const std::string& text, int& value) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return false;
  errno = 0;
  const long n = std::strtol(text.c_str(), nullptr, 10);
  if (errno != 0 || n < 1 || n > 100000) return false;
  value = static_cast<int>(n);
  return true;
}

bool positiveSeconds(const std::string& text, std::chrono::milliseconds& value) {
  if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos) return false;
  char* end = nullptr;
  const double seconds = std::strtod(text.c_str(), &end);
  if (end == nullptr || *end != '\0' || !(seconds > 0) || seconds > 86400 * 7) return false;
  value = std::chrono::milliseconds(static_cast<long long>(std::ceil(seconds * 1000.0)));
  return true;
}

}  // namespace

bool ParseBatchOption(const std::vector<std::string>& args, std::size_t& i, BatchOptions& options,
                      std::string& error) {
  std::string name = args[i];
  std::string value;
  bool inlineValue = false;
  if (const std::size_t eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
    value = name.substr(eq + 1);
    name = name.substr(0, eq);
    inlineValue = true;
  }
  const auto takeValue = [&](const char* what) {
    if (inlineValue) return true;
    if (i + 1 >= args.size()) {
      error = name + " needs " + what;
      return false;
    }
    value = args[++i];
    return true;
  };
  const auto noValue = [&] {
    if (inlineValue) error = name + " takes no value";
    return !inlineValue;
  };

  if (name == "--targets") {
    if (takeValue("a file name (or - for standard input)")) options.targetFiles.push_back(value);
  } else if (name == "--all-aliases") {
    if (takeValue("a user name")) {
      options.allAliases = true;
      options.allAliasesAccount = value;
    }
  } else if (name == "--jobs") {
    if (takeValue("a number") && !positiveInteger(value, options.jobs))
      error = "--jobs needs a whole number of at least 1";
  } else if (name == "--timeout") {
    if (takeValue("a number of seconds") && !positiveSeconds(value, options.timeout))
      error = "--timeout needs a number of seconds greater than 0";
  } else if (name == "--repeat") {
    if (takeValue("a number") && !positiveInteger(value, options.repeat))
      error = "--repeat needs a whole number of at least 1";
  } else if (name == "--format") {
    if (takeValue("table or json")) {
      if (value == "table")
        options.format = ResultFormat::Table;
      else if (value == "json")
        options.format = ResultFormat::Json;
      else
        error = "--format is table or json";
    }
  } else if (name == "--password-stdin") {
    // Where the password comes from does not change how the run reports.
    if (noValue()) options.passwordFromStdin = true;
    ++i;
    return true;
  } else if (name == "--quiet" || name == "-q") {
    if (noValue()) options.quiet = true;
  } else {
    return false;
  }
  options.listRun = true;
  ++i;
  return true;
}

const char* BatchOptionsUsage() {
  return "  --targets FILE        test the connect strings of FILE, one a line (# comments);\n"
         "                        - reads them from standard input\n"
         "  --all-aliases USER    test USER on every net service name of tnsnames.ora\n"
         "  --jobs N              targets tested at once (default: the number of cores)\n"
         "  --timeout SECONDS     time limit of each target (default 30)\n"
         "  --repeat N            log on and off N times per target; phases as min/median/max\n"
         "  --format table|json   a table for people (default) or JSON lines for programs\n"
         "  --password-stdin      read the password from the first line of standard input\n"
         "  --quiet, -q           print nothing but errors\n";
}

}  // namespace app
