// The client diagnosis report.
#include "oracle/client/ClientDiagnostics.h"

#include <exception>
#include <optional>
#include <sstream>
#include <string_view>

#include "oracle/client/ClientLibrary.h"
#include "oracle/client/NetServiceNames.h"
#include "oracle/client/OracleHome.h"
#include "oracle/client/internal/BindingState.h"
#include "oracle/core/Exception.h"
#include "platform/Process.h"
#include "platform/Services.h"

namespace oracle {

using internal::State;

namespace {

const char* YesNo(bool value) { return value ? "yes" : "no"; }

std::string OrNone(const std::string& text) { return text.empty() ? "(none)" : text; }

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

void WriteEnvironment(std::ostream& out) {
  out << "Environment\n";
  const platform::Process& process = platform::process();
  for (const char* name : {"ORACLE_HOME", "TNS_ADMIN", "PATH", "LD_LIBRARY_PATH"}) {
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
  out << "  OCIDLL = " << OrNone(s.OCIDLL) << '\n';
  if (attempt.made) {
    out << "  library tried = " << OrNone(attempt.library) << '\n';
    out << "  Oracle home key = " << OrNone(attempt.homeKey) << '\n';
    out << "  Oracle home folder = " << OrNone(attempt.homeDir) << '\n';
    out << "  libraries in its " << s.layout.libraryFolder << " folder = "
        << YesNo(attempt.homeHasBin) << '\n';
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
    for (const auto& failure : s.loadFailures) {
      out << "  loading " << failure.path << " from " << OrNone(failure.currentDirectory)
          << " failed: " << OrNone(failure.reason) << '\n';
    }
  }

  out << "\nInterface\n";
  out << "  loaded = " << YesNo(OCILoaded()) << '\n';
  out << "  OCI7Available = " << YesNo(s.OCI7Available) << ", OlogAvailable = "
      << YesNo(s.OlogAvailable) << ", OpinitAvailable = " << YesNo(s.OpinitAvailable) << '\n';
  out << "  Net8Available = " << YesNo(s.Net8Available) << ", OciepAvailable = "
      << YesNo(s.OciepAvailable) << ", Net81Available = " << YesNo(s.Net81Available)
      << ", Net9Available = " << YesNo(s.Net9Available)
      << ", SessionPoolAvailable = " << YesNo(s.SessionPoolAvailable) << '\n';
  out << "  UseOCI8 = " << YesNo(s.UseOCI8) << ", UseNet81 = " << YesNo(s.UseNet81)
      << ", UseNet9 = " << YesNo(s.UseNet9) << ", UseSessionPool = " << YesNo(s.UseSessionPool)
      << ", ForceOCI7 = " << YesNo(s.ForceOCI7) << '\n';
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
  std::ostringstream out;
  out << "Oracle client diagnosis\n\n";
  WriteEnvironment(out);

  std::string failure;
  try {
    InitOCI();
  } catch (const Exception& e) {
    failure = e.Message();
  } catch (const std::exception& e) {
    failure = e.what();
  }
  diagnosis.loaded = OCILoaded();
  WriteLoad(out);

  if (diagnosis.loaded) {
    const SortedNameList* aliases = GetAliasList();
    try {
      GetDefaultDomain();  // also when no definition line asked for it
    } catch (const std::exception&) {
      // the library is loaded, so locating the files cannot fail on it; nothing else raises
    }
    WriteNames(out, aliases);
  } else {
    out << "\nNet service names\n  not looked up: the client library is not loaded\n";
  }

  if (!failure.empty()) {
    out << "\nThe client library could not be loaded:\n";
    WriteLines(out, failure, "  ");
  }
  diagnosis.report = out.str();
  return diagnosis;
}

}  // namespace oracle
