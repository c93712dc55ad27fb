// The client diagnosis report: a summary in plain words first (what was found, what failed, the
// one thing to do next), then every folder and file looked at, then the discovery's own record
// (environment, choice, trace word for word, the loader's reasons, the interface level, the net
// service names).
#include "oracle/client/ClientDiagnostics.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <sstream>
#include <string_view>
#include <vector>

#include "oracle/client/ClientLibrary.h"
#include "oracle/client/ClientVersion.h"
#include "oracle/client/NetServiceNames.h"
#include "oracle/client/OCIEntryPoints.h"
#include "oracle/client/OracleHome.h"
#include "oracle/client/TnsNamesCheck.h"
#include "oracle/client/internal/BindingState.h"
#include "oracle/core/Exception.h"
#include "platform/FileSystem.h"
#include "platform/Libraries.h"
#include "platform/Process.h"
#include "platform/Services.h"

namespace oracle {

using internal::State;

namespace {

const char* YesNo(bool value) {
  return value ? "yes" : "no";
}

std::string OrNone(const std::string& text) {
  return text.empty() ? "(none)" : text;
}

std::string EnvOf(const char* name) {
  return platform::process().getEnv(name).value_or("");
}

bool FileThere(const std::string& path) {
  try {
    return platform::fileSystem().fileExists(path);
  } catch (const std::exception&) {
    return false;
  }
}

bool FolderThere(const std::string& path) {
  try {
    return platform::fileSystem().directoryExists(path);
  } catch (const std::exception&) {
    return false;
  }
}

std::string Joined(const std::vector<std::string>& items, std::size_t most = 8) {
  std::string text;
  for (std::size_t i = 0; i < items.size() && i < most; ++i)
    text += (i == 0 ? "" : ", ") + items[i];
  if (items.size() > most) text += " and " + std::to_string(items.size() - most) + " more";
  return text;
}

std::string JoinedWithOr(const std::vector<std::string>& items) {
  std::string text;
  for (std::size_t i = 0; i < items.size(); ++i)
    text += (i == 0 ? "" : i + 1 == items.size() ? " or " : ", ") + items[i];
  return text;
}

// Writes text whose lines end in CR LF (the trace, the error message) one indented line each.
void WriteLines(std::ostream& out, std::string_view text, std::string_view indent) {
  std::size_t begin = 0;
  while (begin <= text.size()) {
    std::size_t end = text.find_first_of("\r\n", begin);
    if (end == std::string_view::npos) end = text.size();
    out << indent << text.substr(begin, end - begin) << '\n';
    if (end == text.size()) break;
    if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    begin = end + 1;
  }
}

// ---- What the load found ----------------------------------------------------------------------

// The entry points of the call sets a library lacks, asked of the library itself: the binding
// stops looking at a group's first missing name.
struct MissingEntries {
  std::vector<std::string> oci7, oci8, later;
};

std::optional<MissingEntries> FindMissingEntries(const std::string& library) {
  void* handle = State().OCILibHandle;
  bool own = false;
  if (handle == nullptr) {
    if (library.empty()) return std::nullopt;
    try {
      handle = platform::libraries().load(library).handle;
    } catch (const std::exception&) {
      handle = nullptr;
    }
    if (handle == nullptr) return std::nullopt;
    own = true;
  }
  MissingEntries missing;
  for (const EntryPointName& entry : kEntryPoints) {
    if (platform::libraries().symbol(handle, std::string(entry.name).c_str()) != nullptr) continue;
    auto& list = entry.group == egOCI7   ? missing.oci7
                 : entry.group == egNet8 ? missing.oci8
                                         : missing.later;
    list.emplace_back(entry.name);
  }
  if (own) platform::libraries().free(handle);
  return missing;
}

// The loader's reasons, each once (the load is retried from the library's own folder, and the
// loader says the same thing twice).
std::vector<std::string> LoaderReasons() {
  std::vector<std::string> reasons;
  for (const auto& failure : State().loadFailures)
    if (std::find(reasons.begin(), reasons.end(), failure.reason) == reasons.end())
      reasons.push_back(failure.reason);
  return reasons;
}

#ifdef _WIN32
// What to do about a loader's reason. Windows words its reasons in the user's language and does
// not name a missing dependency, so the advice goes by whether the file itself is there: when it
// is, a DLL it needs is missing or it is built for another machine.
std::string AdviceForLoader(const std::string& library, const std::string&) {
  if (!platform::fileSystem().fileExists(library))
    return "Check that " + library +
           " exists, or point ORACLE_HOME at a folder that holds the client.";
  return "Install the Oracle client's other DLLs beside " + library +
         " (or put their folder on PATH), and make sure the client is built for this machine (" +
         std::string(sizeof(void*) == 8 ? "64" : "32") +
         "-bit); then run dblogon --diagnose again.";
}
#else
// What to do about a loader's reason: a missing dependency is named by the loader before ": cannot
// open shared object file"; other reasons name the library itself.
std::string AdviceForLoader(const std::string& library, const std::string& reason) {
  const std::size_t colon = reason.find(": cannot open shared object file");
  if (colon != std::string::npos) {
    const std::string missing = reason.substr(0, colon);
    if (missing != library && missing.find('/') == std::string::npos)
      return "Install the library the loader could not find, " + missing +
             " (its package, for example with apt-get), then run dblogon --diagnose again.";
    return "Make " + library + " readable, or point ORACLE_HOME at a folder that holds the client.";
  }
  if (reason.find("wrong ELF class") != std::string::npos)
    return "Install an Oracle client built for this machine (" +
           std::string(sizeof(void*) == 8 ? "64" : "32") + "-bit), and point ORACLE_HOME at it.";
  if (reason.find("invalid ELF header") != std::string::npos ||
      reason.find("file too short") != std::string::npos)
    return library + " is not a shared library: reinstall the Oracle client there.";
  return "The loader's reason above tells what is wrong with " + library + ".";
}
#endif

struct Summary {
  std::vector<std::string> found;
  std::string failed;
  std::string next;
};

void SummarizeLoadFailure(Summary& summary, const std::string& chosenHome) {
  const auto& s = State();
  const auto& attempt = s.lastAttempt;
  const std::string& library = attempt.library;
  const std::string lib =
      s.layout.libraryFolder + std::string(1, s.layout.pathSeparator) + s.layout.mainLibrary;
  switch (attempt.code) {
    case lrNoHome:
      summary.found.push_back("no Oracle client");
      if (!chosenHome.empty()) {
        summary.failed = "ORACLEHOME=" + chosenHome + " names neither an Oracle home in " +
                         kRegistryWords + " nor a folder.";
        summary.next = "Give ORACLEHOME= the folder of the Oracle client (the one with " + lib +
                       "), or leave it out.";
      } else {
        summary.failed = "no Oracle home: ORACLE_HOME is not set, and no folder on " +
                         JoinedWithOr(s.layout.searchVariables) + " holds " + s.layout.mainLibrary +
                         ".";
        summary.next = "Set ORACLE_HOME to the folder of the Oracle client (the one with " + lib +
                       "), or add the folder that holds " + s.layout.mainLibrary + " to " +
                       s.layout.searchVariables.front() + ".";
      }
      return;
    case lrNotLoaded:
      if (library.empty()) {
        summary.found.push_back("the Oracle home " + attempt.homeDir);
        summary.failed = "the Oracle home " + attempt.homeDir + " holds no " + lib + " and no " +
                         s.layout.mainLibrary + ".";
        summary.next =
            "Point ORACLE_HOME at a complete Oracle client installation, or install "
            "the client in " +
            attempt.homeDir + ".";
      } else {
        summary.found.push_back("the client library " + library);
        const std::vector<std::string> reasons = LoaderReasons();
        const std::string reason = reasons.empty() ? std::string() : reasons.front();
        summary.failed = "the operating system's loader could not load " + library +
                         (reason.empty() ? "." : ": " + reason);
        summary.next = reason.empty() ? "Check that " + library + " exists and can be read."
                                      : AdviceForLoader(library, reason);
      }
      return;
    case lrNoCallSet: {
      summary.found.push_back("the library " + library + ", which loads");
      summary.failed = library + " lacks the entry points of an Oracle client";
      if (const auto missing = FindMissingEntries(library)) {
        summary.failed += ": no " + Joined(missing->oci8, 4) + " (OCI8) and no " +
                          Joined(missing->oci7, 4) + " (OCI7)";
      }
      summary.failed += ".";
      summary.next =
          "Point OCIDLL= or ORACLE_HOME at the Oracle client's own " + s.layout.mainLibrary + ".";
      return;
    }
    default:
      summary.failed = "the client library did not load.";
      summary.next = "See the trace and the message below.";
  }
}

// ---- What the net service names depend on -------------------------------------------------------

struct FileFinding {
  std::string path;
  bool exists = false;
  TnsNamesBalance balance;
};

FileFinding CheckNamesFile(const std::string& path) {
  FileFinding finding;
  finding.path = path;
  std::string content;
  try {
    finding.exists = platform::fileSystem().readFile(path, content);
  } catch (const std::exception&) {
    finding.exists = false;
  }
  if (finding.exists) finding.balance = CheckTnsNamesBalance(content);
  return finding;
}

std::string DescribeBalance(const FileFinding& file) {
  const TnsNamesBalance& b = file.balance;
  std::string text;
  if (b.kind == TnsNamesBalance::Unclosed)
    text = "line " + std::to_string(b.line) + ": the parentheses of " +
           (b.name.empty() ? std::string("the definition") : b.name) + " never close";
  else
    text = "line " + std::to_string(b.line) + ": a \")\" closes nothing";
  if (!b.hiddenNames.empty()) text += "; it hides " + Joined(b.hiddenNames);
  return text;
}

void SummarizeNames(Summary& summary, const std::vector<FileFinding>& files,
                    const SortedNameList* aliases) {
  const auto& s = State();
  const FileFinding& main = files.front();
  if (!main.exists) {
    summary.failed = "no tnsnames.ora: " + main.path + " does not exist.";
    summary.next = "Create " + main.path +
                   " with your net service names, or set TNS_ADMIN to the folder that holds "
                   "tnsnames.ora.";
    return;
  }
  for (const FileFinding& file : files) {
    if (file.exists && file.balance.kind != TnsNamesBalance::Balanced) {
      summary.failed = file.path + " " + DescribeBalance(file) + ".";
      summary.next = "Fix line " + std::to_string(file.balance.line) + " of " + file.path + ".";
      return;
    }
  }
  for (const auto& included : s.includedFiles) {
    if (included.outcome == internal::IncludedFile::Missing) {
      summary.failed = "the file " + included.path + " named by an ifile line does not exist.";
      summary.next = "Correct the ifile line that names " + included.path + ", or create it.";
      return;
    }
  }
  const std::size_t count = aliases == nullptr ? 0 : aliases->count();
  summary.found.push_back(std::to_string(count) +
                          (count == 1 ? " net service name" : " net service names") + " in " +
                          main.path);
  if (count == 0) {
    summary.failed = main.path + " defines no net service names.";
    summary.next = "Add the definitions of your databases to " + main.path + ".";
    return;
  }
  summary.failed = "nothing.";
  summary.next =
      "Test a logon: dblogon --batch UserId=username/password@" + aliases->begin()->first + ".";
}

// ---- The report's parts -----------------------------------------------------------------------

void WriteSummary(std::ostream& out, const Summary& summary) {
  out << "Summary\n";
  out << "  Found: " << (summary.found.empty() ? "nothing" : Joined(summary.found, 99)) << ".\n";
  out << "  Failed: " << summary.failed << '\n';
  out << "  Next: " << summary.next << '\n';
}

void WriteLookedAt(std::ostream& out, const std::vector<FileFinding>& names,
                   const std::string& chosenHome) {
  const auto& s = State();
  const char sep = s.layout.pathSeparator;
  const auto library = [&](std::string folder) {
    if (!folder.empty() && folder.back() != sep) folder += sep;
    return folder + s.layout.mainLibrary;
  };
  const auto line = [&out](const std::string& what, const std::string& found) {
    out << "  " << what << ": " << found << '\n';
  };
  out << "\nLooked at\n";
  if (!EnvOf("DBLOGON_REGISTRY").empty() || (s.OracleHomes && !s.OracleHomes->empty())) {
    std::vector<std::string> homes;
    if (s.OracleHomes)
      for (const auto& entry : *s.OracleHomes) homes.push_back(entry.first);
    line(std::string("Oracle homes in ") + kRegistryWords,
         homes.empty() ? "none" : Joined(homes, 99));
  }
  const std::string forced = GetParamValue("OCIDLL");
  if (!forced.empty())
    line("OCIDLL=" + forced, FileThere(forced) ? "the file exists" : "no such file");
  if (!chosenHome.empty()) {
    const bool registered = s.OracleHomes && s.OracleHomes->contains(chosenHome);
    line("ORACLEHOME=" + chosenHome, registered ? "a home in the registry file"
                                     : FolderThere(chosenHome)
                                         ? "a folder"
                                         : "no home of that name in the "
                                           "registry file, and no such folder");
  }
  const std::string oracleHome = EnvOf("ORACLE_HOME");
  const bool searchPath = forced.empty() && (oracleHome.empty() || oracleHome == ".") &&
                          s.lastAttempt.homeKey.empty() && chosenHome.empty();
  std::vector<std::string> homeFolders;
  if (!s.lastAttempt.homeDir.empty()) homeFolders.push_back(s.lastAttempt.homeDir);
  if (!oracleHome.empty() && oracleHome != "." &&
      std::find(homeFolders.begin(), homeFolders.end(), oracleHome) == homeFolders.end())
    homeFolders.push_back(oracleHome);
  for (const std::string& home : homeFolders) {
    if (!FolderThere(home)) {
      line(home, "no such folder");
      continue;
    }
    std::string inLibFolder = home;
    if (!inLibFolder.empty() && inLibFolder.back() != sep) inLibFolder += sep;
    inLibFolder += s.layout.libraryFolder;
    line(library(inLibFolder), FileThere(library(inLibFolder)) ? "found" : "not there");
    line(library(home), FileThere(library(home)) ? "found" : "not there");
  }
  if (searchPath) {
    for (const std::string& variable : s.layout.searchVariables) {
      const std::string value = EnvOf(variable.c_str());
      if (value.empty()) {
        line(variable, "not set");
        continue;
      }
      std::size_t begin = 0;
      while (begin <= value.size()) {
        std::size_t end = value.find(s.layout.listSeparator, begin);
        if (end == std::string::npos) end = value.size();
        const std::string folder = value.substr(begin, end - begin);
        if (!folder.empty())
          line(library(folder), FileThere(library(folder)) ? "found" : "not there");
        begin = end + 1;
      }
    }
  }
  for (const FileFinding& file : names) {
    if (!file.exists) {
      line(file.path, "missing");
    } else if (file.balance.kind != TnsNamesBalance::Balanced) {
      line(file.path, "read; " + DescribeBalance(file));
    } else {
      line(file.path, "read");
    }
  }
  if (!s.sqlnetFile.empty())
    line(s.sqlnetFile, s.sqlnetFound ? "read" : "missing (no default domain)");
  for (const auto& included : s.includedFiles) {
    if (included.outcome == internal::IncludedFile::Missing)
      line(included.path, "missing (named by ifile)");
  }
}

void WriteEnvironment(std::ostream& out) {
  out << "\nEnvironment\n";
  const platform::Process& process = platform::process();
#ifdef _WIN32
  // The loader searches PATH only, and the homes are in the registry itself.
  const auto names = {"ORACLE_HOME", "TNS_ADMIN", "ORACLE_SID", "TWO_TASK", "PATH"};
#else
  const auto names = {"ORACLE_HOME", "TNS_ADMIN",       "ORACLE_SID",      "TWO_TASK",
                      "PATH",        "LD_LIBRARY_PATH", "DBLOGON_REGISTRY"};
#endif
  for (const char* name : names) {
    std::optional<std::string> value = process.getEnv(name);
    out << "  " << name << " = " << (value ? *value : std::string("(not set)")) << '\n';
  }
  out << "  current directory = " << process.currentDirectory() << '\n';
  for (const char* name : {"OCIDLL", "ORACLEHOME"}) {
    std::string value = GetParamValue(name);
    if (!value.empty()) out << "  command line " << name << "=" << value << '\n';
  }
}

void WriteLoad(std::ostream& out) {
  const auto& s = State();
  const auto& attempt = s.lastAttempt;

  out << "\nClient library\n";
  // The library as given (command line, program) or as the discovery chose it; an automatic
  // choice is forgotten when a load fails, so the attempt's record names it then.
  const bool given =
      !GetParamValue("OCIDLL").empty() || (!s.OCIDLL.empty() && !s.OCIDLLAutoSelected);
  if (given) {
    out << "  OCIDLL = " << (s.OCIDLL.empty() ? attempt.library : s.OCIDLL) << "  (given)\n";
  } else if (!s.OCIDLL.empty() || !attempt.library.empty()) {
    out << "  OCIDLL = " << (s.OCIDLL.empty() ? attempt.library : s.OCIDLL)
        << "  (chosen by the discovery)\n";
  } else {
    out << "  OCIDLL = (none chosen)\n";
  }
  if (attempt.made) {
    out << "  library tried = " << OrNone(attempt.library) << '\n';
    out << "  Oracle home key = " << OrNone(attempt.homeKey) << '\n';
    out << "  Oracle home folder = " << OrNone(attempt.homeDir) << '\n';
    out << "  libraries in its " << s.layout.libraryFolder
        << " folder = " << YesNo(attempt.homeHasBin) << '\n';
    out << "  Oracle home name = " << OrNone(attempt.homeName) << '\n';
  }
  if (s.OracleHomes && !s.OracleHomes->empty()) {
    out << "  homes in the registry:\n";
    for (const auto& [name, tag] : *s.OracleHomes) {
      out << "    " << name << (tag >= 0 ? "  (HOME" + std::to_string(tag) + ")" : "  (KEY_)")
          << '\n';
    }
  }

  out << "\nTrace (OCITrace)\n";
  if (s.OCITrace.empty()) {
    out << "  (empty)\n";
  } else {
    WriteLines(out, s.OCITrace, "  ");
  }
  if (!s.loadFailures.empty()) {
    out << "\nOperating system loader\n";
    std::vector<std::string> folders;
    for (const auto& failure : s.loadFailures) folders.push_back(OrNone(failure.currentDirectory));
    out << "  loading " << s.loadFailures.front().path << " failed (tried from " << Joined(folders)
        << "):\n";
    for (const std::string& reason : LoaderReasons()) out << "    " << OrNone(reason) << '\n';
  }

  out << "\nInterface\n";
  out << "  loaded = " << YesNo(OCILoaded()) << '\n';
  if (OCILoaded()) {
    const std::string version = ClientLibraryVersion();
    if (!version.empty()) out << "  client version = " << version << '\n';
  }
  out << "  OCI7Available = " << YesNo(s.OCI7Available)
      << ", OlogAvailable = " << YesNo(s.OlogAvailable)
      << ", OpinitAvailable = " << YesNo(s.OpinitAvailable) << '\n';
  out << "  Net8Available = " << YesNo(s.Net8Available)
      << ", OciepAvailable = " << YesNo(s.OciepAvailable)
      << ", Net81Available = " << YesNo(s.Net81Available)
      << ", Net9Available = " << YesNo(s.Net9Available)
      << ", SessionPoolAvailable = " << YesNo(s.SessionPoolAvailable) << '\n';
  out << "  UseOCI8 = " << YesNo(s.UseOCI8) << ", UseNet81 = " << YesNo(s.UseNet81)
      << ", UseNet9 = " << YesNo(s.UseNet9) << ", UseSessionPool = " << YesNo(s.UseSessionPool)
      << ", ForceOCI7 = " << YesNo(s.ForceOCI7) << '\n';
  const bool incomplete =
      (OCILoaded() && !(s.OCI7Available && s.SessionPoolAvailable)) || attempt.code == lrNoCallSet;
  if (incomplete) {
    if (const auto missing = FindMissingEntries(attempt.library)) {
      if (!missing->oci7.empty())
        out << "  missing OCI7 calls: " << Joined(missing->oci7, 99) << '\n';
      if (!missing->oci8.empty())
        out << "  missing OCI8 calls: " << Joined(missing->oci8, 99) << '\n';
      if (!missing->later.empty())
        out << "  missing later calls: " << Joined(missing->later, 99) << '\n';
    }
  }
}

void WriteNames(std::ostream& out, const SortedNameList* aliases) {
  const auto& s = State();
  out << "\nNet service names\n";
  out << "  TNSNamesFile = " << OrNone(s.TNSNamesFile) << '\n';
  if (!s.sqlnetFile.empty()) {
    out << "  sqlnet.ora = " << s.sqlnetFile << (s.sqlnetFound ? "" : "  (not found)") << '\n';
  }
  out << "  DefaultDomain = " << OrNone(s.DefaultDomain) << '\n';
  for (const auto& file : s.includedFiles) {
    static constexpr const char* kOutcome[] = {"", "  (not found)", "  (already read)",
                                               "  (nested too deep, not read)"};
    out << "  ifile " << file.path << kOutcome[file.outcome] << '\n';
  }
  if (aliases == nullptr) {
    out << "  (no list)\n";
    return;
  }
  out << "  " << aliases->count() << (aliases->count() == 1 ? " name" : " names") << '\n';
  for (const auto& entry : *aliases) out << "    " << entry.first << '\n';
}

}  // namespace

ClientDiagnosis DiagnoseClient() {
  ClientDiagnosis diagnosis;
  std::string failure;
  try {
    InitOCI();
  } catch (const Exception& e) {
    failure = e.Message();
  } catch (const std::exception& e) {
    failure = e.what();
  }
  diagnosis.loaded = OCILoaded();
  const std::string chosenHome = GetParamValue("ORACLEHOME");

  Summary summary;
  const SortedNameList* aliases = nullptr;
  std::vector<FileFinding> nameFiles;
  if (diagnosis.loaded) {
    summary.found.push_back("the Oracle client " + OCIDLL() + " (" + ClientInterfaceLevel() + ")");
    aliases = GetAliasList();
    try {
      GetDefaultDomain();  // also when no definition line asked for it
    } catch (const std::exception&) {
      // the library is loaded, so locating the files cannot fail on it; nothing else raises
    }
    nameFiles.push_back(CheckNamesFile(State().TNSNamesFile));
    for (const auto& included : State().includedFiles)
      if (included.outcome == internal::IncludedFile::Read)
        nameFiles.push_back(CheckNamesFile(included.path));
    SummarizeNames(summary, nameFiles, aliases);
  } else {
    SummarizeLoadFailure(summary, chosenHome);
  }

  std::ostringstream out;
  out << "Oracle client diagnosis\n\n";
  WriteSummary(out, summary);
  WriteLookedAt(out, nameFiles, chosenHome);
  WriteEnvironment(out);
  WriteLoad(out);
  if (diagnosis.loaded) {
    WriteNames(out, aliases);
  } else {
    out << "\nNet service names\n  not looked up: the client library is not loaded\n";
  }
  if (!failure.empty()) {
    // The message without the trace, which stands above already.
    const std::size_t traceStart = failure.find("\r\n\r\n");
    out << "\nThe layer's message\n";
    WriteLines(out, std::string_view(failure).substr(0, traceStart), "  ");
  }
  diagnosis.report = out.str();
  return diagnosis;
}

}  // namespace oracle
