// Command-line switches and settings of dblogon, read from two tables.
#include "app/Arguments.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>
#include <string_view>

namespace app {
namespace {

// Switches of one group exclude each other: one front end, one mode. --help and --version only
// print, so they win over everything else on the line.
enum class Group { FrontEnd, Mode, Information };

struct Switch {
  std::string_view name;
  Group group;
  void (*apply)(Arguments&);
};

constexpr std::array kSwitches{
    Switch{"--gui", Group::FrontEnd, [](Arguments& a) { a.frontEnd = FrontEnd::Gui; }},
    Switch{"--console", Group::FrontEnd, [](Arguments& a) { a.frontEnd = FrontEnd::Console; }},
    Switch{"--batch", Group::Mode, [](Arguments& a) { a.mode = Mode::Batch; }},
    Switch{"--diagnose", Group::Mode, [](Arguments& a) { a.mode = Mode::Diagnose; }},
    Switch{"--help", Group::Information, [](Arguments& a) { a.mode = Mode::Help; }},
    Switch{"-h", Group::Information, [](Arguments& a) { a.mode = Mode::Help; }},
    Switch{"--version", Group::Information, [](Arguments& a) { a.mode = Mode::Version; }},
};

// The settings the layer reads. Keys compare without regard to case, as the layer's look-up does.
struct Setting {
  std::string_view key;
  bool repeatableInBatch;  // a batch run may test several values
};

constexpr std::array kSettings{
    Setting{"UserId", true},
    Setting{"OCIDLL", false},
    Setting{"ORACLEHOME", false},
};

bool sameKey(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) {
    return std::toupper(static_cast<unsigned char>(x)) ==
           std::toupper(static_cast<unsigned char>(y));
  });
}

const Switch* findSwitch(std::string_view word) {
  const auto* found = std::ranges::find(kSwitches, word, &Switch::name);
  return found == kSwitches.end() ? nullptr : found;
}

const Setting* findSetting(std::string_view key) {
  for (const Setting& setting : kSettings)
    if (sameKey(setting.key, key)) return &setting;
  return nullptr;
}

std::string knownSettings() {
  std::string text;
  for (const Setting& setting : kSettings)
    text += (text.empty() ? "" : ", ") + std::string(setting.key) + "=";
  return text;
}

}  // namespace

Arguments ParseArguments(const std::vector<std::string>& args) {
  Arguments a;
  std::array<const Switch*, 3> chosen{};  // per group, the switch given
  std::vector<std::pair<const Setting*, int>> counts;
  // The first problem is kept, but the scan goes on: --help or --version anywhere still answers.
  std::string problem;
  const auto note = [&problem](std::string message) {
    if (problem.empty()) problem = std::move(message);
  };

  bool batchSwitches = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!arg.empty() && arg.front() == '-') {
      // The switches of a run over many targets, with their values, have a parser of their own.
      std::string batchError;
      if (std::size_t next = i; ParseBatchOption(args, next, a.batch, batchError)) {
        if (!batchError.empty()) note(batchError);
        batchSwitches = true;
        i = next - 1;
        continue;
      }
      const Switch* option = findSwitch(arg);
      if (option == nullptr) {
        note("unknown option " + arg);
        continue;
      }
      const Switch*& previous = chosen[static_cast<std::size_t>(option->group)];
      if (previous != nullptr && previous->name != option->name &&
          option->group != Group::Information)
        note(std::string(previous->name) + " and " + arg + " cannot be used together");
      previous = option;
      continue;
    }
    const std::size_t equals = arg.find('=');
    if (equals == std::string::npos || equals == 0) {
      note("'" + arg + "' is neither an option nor a setting KEY=VALUE (" + knownSettings() + ")");
      continue;
    }
    const Setting* setting = findSetting(std::string_view(arg).substr(0, equals));
    if (setting == nullptr) {
      note("unknown setting " + arg.substr(0, equals + 1) + " (known: " + knownSettings() + ")");
      continue;
    }
    auto count = std::ranges::find(counts, setting, &std::pair<const Setting*, int>::first);
    if (count == counts.end()) count = counts.insert(counts.end(), {setting, 0});
    ++count->second;
    a.passOn.push_back(arg);
  }

  for (const Switch* option : chosen)
    if (option != nullptr) option->apply(a);
  if (a.mode == Mode::Help || a.mode == Mode::Version) return a;

  if (batchSwitches && a.mode != Mode::Batch)
    note(
        "--targets, --all-aliases, --jobs, --timeout, --repeat, --format, --password-stdin and "
        "--quiet need --batch");
  for (const auto& [setting, count] : counts) {
    if (count < 2 || (setting->repeatableInBatch && a.mode == Mode::Batch)) continue;
    note(std::string(setting->key) + "= is given " + std::to_string(count) +
         " times; give it once" +
         (setting->repeatableInBatch ? " (several are allowed with --batch)" : ""));
  }
  a.error = problem;
  return a;
}

std::string UsageText() {
  return "Usage: dblogon [--gui | --console] [UserId=user/password@database] [OCIDLL=library]\n"
         "               [ORACLEHOME=home]\n"
         "       dblogon --batch UserId=user/password@database [OCIDLL=...] [ORACLEHOME=...]\n"
         "       dblogon --batch [UserId=...]... [--targets FILE] [--all-aliases USER] [switches]\n"
         "       dblogon --diagnose [OCIDLL=...] [ORACLEHOME=...]\n"
         "       dblogon --version | --help\n"
         "\n"
         "Tests whether a user can log on to an Oracle database.\n"
         "  --gui        use windows (the default when a display can be opened)\n"
         "  --console    use the terminal\n"
         "  --batch      run only the automatic test of UserId=, print the outcome;\n"
         "               exit status 0 when connected, 1 when not, 2 on a usage error\n"
         "  --diagnose   print what the Oracle client discovery found; exit 0 when the\n"
         "               client library loaded, 1 when not\n"
         "  --version    print the versions of dblogon, its Oracle layer and the client\n"
         "  UserId=      a connect string: username/password@database [as sysdba]\n"
         "  OCIDLL=      the client library to load\n"
         "  ORACLEHOME=  the Oracle home to use: a home's name, or its folder\n"
         "\n"
         "With --batch, several UserId= or these switches test many targets at once:\n" +
         std::string(BatchOptionsUsage()) +
         "A UserId= without a password takes it from --password-stdin, DBLOGON_PASSWORD or\n"
         "the terminal.\n";
}

}  // namespace app
