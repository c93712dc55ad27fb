// Oracle home discovery and client library selection.
#include "oracle/client/OracleHome.h"

#include <charconv>
#include <exception>
#include <system_error>

#include "oracle/client/internal/BindingState.h"
#include "oracle/client/internal/Text.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "platform/Services.h"

namespace oracle {

using internal::State;
using internal::UpperCase;

namespace {

constexpr std::string_view kOracleKey = "SOFTWARE\\ORACLE";
constexpr std::size_t kRegistryBufferSize = 1024;  // bytes of a value, or characters of a name
constexpr std::size_t kParamValueLength = 255;
constexpr int kLastHomeNumber = 999;

bool DirectoryExists(const std::string& path) {
  try {
    return !path.empty() && platform::fileSystem().directoryExists(path);
  } catch (const std::exception&) {
    return false;  // an unreadable entry reads as absent
  }
}

bool FileExists(const std::string& path) {
  try {
    return !path.empty() && platform::fileSystem().fileExists(path);
  } catch (const std::exception&) {
    return false;
  }
}

std::string GetEnv(std::string_view name) {
  return platform::process().getEnv(name).value_or("");
}

// A home's library folder as the registry layouts check it: ORACLE_HOME + "\bin".
std::string HomeLibraryFolder(const std::string& home) {
  const ClientLayout& layout = State().layout;
  return home + layout.pathSeparator + layout.libraryFolder;
}

// The search path the layout names, its variables joined in order.
std::string SearchPathText() {
  const ClientLayout& layout = State().layout;
  std::string text;
  for (const std::string& variable : layout.searchVariables) {
    std::string value = GetEnv(variable);
    if (value.empty()) continue;
    if (!text.empty()) text += layout.listSeparator;
    text += value;
  }
  return text;
}

// A file search over a folder list: the bare name first (relative to the current directory),
// then each non-empty entry of the search path. Empty when nothing is found.
std::string SearchFile(const std::string& name) {
  const ClientLayout& layout = State().layout;
  if (FileExists(name)) return name;
  const std::string path = SearchPathText();
  std::size_t begin = 0;
  while (begin <= path.size()) {
    std::size_t end = path.find(layout.listSeparator, begin);
    if (end == std::string::npos) end = path.size();
    std::string folder = path.substr(begin, end - begin);
    begin = end + 1;
    if (folder.empty()) continue;
    if (!layout.isDelimiter(folder.back())) folder += layout.pathSeparator;
    std::string candidate = folder + name;
    if (FileExists(candidate)) return candidate;
  }
  return "";
}

bool TryStrToInt(std::string_view text, int& value) {
  if (text.empty()) return false;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (*first == '+') ++first;  // from_chars takes a minus sign only
  auto [end, error] = std::from_chars(first, last, value);
  return error == std::errc() && end == last && first != last;
}

}  // namespace

// ---- State accessors --------------------------------------------------------------------------

const ClientLayout& CurrentClientLayout() {
  return State().layout;
}
void SetClientLayout(const ClientLayout& layout) {
  State().layout = layout;
}

std::string OCIDLL() {
  return State().OCIDLL;
}
void SetOCIDLL(const std::string& value) {
  auto& s = State();
  s.OCIDLL = value;
  // A preset library is not the selection's own and must survive unloading.
  s.OCIDLLAutoSelected = false;
}
bool OCIDLLAutoSelected() {
  return State().OCIDLLAutoSelected;
}
std::string OCIDLLAvoidList() {
  return State().OCIDLLAvoidList;
}
void SetOCIDLLAvoidList(const std::string& value) {
  State().OCIDLLAvoidList = value;
}

const SortedNameList* OracleHomes() {
  return State().OracleHomes.get();
}
std::string OracleHomeName() {
  return State().OracleHomeName;
}
void SetOracleHomeName(const std::string& value) {
  auto& s = State();
  s.OracleHomeName = value;
  s.OracleHomeNameAuto = false;
}
bool OracleHomeNameAuto() {
  return State().OracleHomeNameAuto;
}
std::string OracleHomeKey() {
  return State().OracleHomeKey;
}
std::string OracleHomeDir() {
  return State().OracleHomeDir;
}
bool OracleHomeHasBin() {
  return State().OracleHomeHasBin;
}
std::string OCITrace() {
  return State().OCITrace;
}

// ---- Helpers ----------------------------------------------------------------------------------

std::string GetParamValue(const std::string& name) {
  const std::string wanted = UpperCase(name) + "=";
  for (const std::string& param : platform::process().arguments()) {
    if (UpperCase(param).find(wanted) == std::string::npos) continue;
    // The value starts right after Name and '=' as if the parameter began with them.
    if (param.size() <= name.size() + 1) return "";
    return param.substr(name.size() + 1, kParamValueLength);
  }
  return "";
}

std::string ReadRegString(platform::RootKey root, std::string_view keyPath,
                          std::string_view valueName) {
  try {
    const platform::Registry& registry = platform::registry();
    if (!keyPath.empty() && !registry.keyExists(root, keyPath)) return "";
    std::optional<platform::RegValue> value = registry.readValue(root, keyPath, valueName);
    if (!value) return "";
    // The value is read as the bytes the registry holds; a string kind carries its terminating
    // zero, which is then dropped. The type is not checked.
    std::string bytes = value->data;
    if (value->type == platform::RegValueType::String ||
        value->type == platform::RegValueType::ExpandString) {
      bytes.push_back('\0');
    }
    if (bytes.empty() || bytes.size() > kRegistryBufferSize) return "";
    bytes.pop_back();
    return bytes;
  } catch (const std::exception&) {
    return "";  // a damaged store reads as an absent value
  }
}

std::vector<std::string> ReadRegSubkeys(platform::RootKey root, std::string_view keyPath) {
  std::vector<std::string> result;
  try {
    for (std::string& name : platform::registry().subkeys(root, keyPath)) {
      // A name that does not fit the name buffer ends the enumeration.
      if (name.size() >= kRegistryBufferSize) break;
      if (!name.empty()) result.push_back(std::move(name));
    }
  } catch (const std::exception&) {
    // a damaged store reads as a key without subkeys
  }
  return result;
}

void AddPathPart(std::string& path, const std::string& part) {
  const char separator = State().layout.pathSeparator;
  if (!path.empty() && path.back() != separator) path += separator;
  path += part;
}

void AddTrace(const std::string& line) {
  std::string& trace = State().OCITrace;
  if (!trace.empty()) trace += "\r\n";
  trace += line;
}

// ---- Discovery --------------------------------------------------------------------------------

void BuildHomeList() {
  auto& s = State();
  if (!s.OracleHomes) s.OracleHomes = std::make_unique<SortedNameList>();
  s.OracleHomes->clear();

  // Numbered homes: HOME_COUNTER counts the usable ones; gaps in the numbering are skipped.
  int counter = 0;
  if (TryStrToInt(ReadRegString(platform::RootKey::LocalMachine, "SOFTWARE\\ORACLE\\ALL_HOMES",
                                "HOME_COUNTER"),
                  counter)) {
    int count = counter > 1 ? counter : 1;
    for (int n = 0; count > 0 && n <= kLastHomeNumber; ++n) {
      const std::string key = "SOFTWARE\\ORACLE\\HOME" + std::to_string(n);
      const std::string home = ReadRegString(platform::RootKey::LocalMachine, key, "ORACLE_HOME");
      const std::string name =
          ReadRegString(platform::RootKey::LocalMachine, key, "ORACLE_HOME_NAME");
      if (!home.empty() && !name.empty() && DirectoryExists(HomeLibraryFolder(home))) {
        s.OracleHomes->add(name, n);
        --count;
      }
    }
  }

  // Named homes; added after the numbered ones, so a name already present is dropped.
  for (const std::string& subkey : ReadRegSubkeys(platform::RootKey::LocalMachine, kOracleKey)) {
    if (UpperCase(subkey.substr(0, 4)) != "KEY_") continue;
    const std::string home = ReadRegString(platform::RootKey::LocalMachine,
                                           std::string(kOracleKey) + "\\" + subkey, "ORACLE_HOME");
    if (!home.empty() && DirectoryExists(HomeLibraryFolder(home))) {
      s.OracleHomes->add(subkey.substr(4), -1);
    }
  }
}

std::string GetOracleHomeKey() {
  auto& s = State();
  if (!s.OracleHomeKey.empty()) return s.OracleHomeKey;

  BuildHomeList();
  std::string candidate;
  if (s.OracleHomes->empty()) {
    candidate = std::string(kOracleKey);  // the single-home layout
  } else {
    std::string wanted = UpperCase(GetParamValue("ORACLEHOME"));
    if (wanted.empty()) wanted = UpperCase(s.OracleHomeName);
    s.OracleHomeNameAuto = false;
    const std::string path = UpperCase(SearchPathText());
    std::size_t bestPosition = path.size();

    std::string chosenKey;
    std::string chosenName;
    std::string lastKey;
    std::string lastName;
    for (const auto& [name, tag] : *s.OracleHomes) {
      const std::string key = tag >= 0 ? std::string(kOracleKey) + "\\HOME" + std::to_string(tag)
                                       : std::string(kOracleKey) + "\\KEY_" + name;
      lastKey = key;
      lastName = name;
      if (UpperCase(name) == wanted) {
        chosenKey = key;
        chosenName = name;
        break;
      }
      std::string home = ReadRegString(platform::RootKey::LocalMachine, key, "ORACLE_HOME");
      if (home.empty()) continue;
      AddPathPart(home, s.layout.libraryFolder);
      // Positions count from 1, as the text search reports them; 0 means not found.
      const std::size_t found = path.find(UpperCase(home));
      const std::size_t position = found == std::string::npos ? 0 : found + 1;
      if (position > 0 && position < bestPosition) {
        chosenKey = key;
        chosenName = name;
        bestPosition = position;
      }
    }
    if (chosenKey.empty()) {
      chosenKey = lastKey;  // the alphabetically last home
      chosenName = lastName;
    }
    if (s.OracleHomeName.empty()) {
      s.OracleHomeName = chosenName;
      s.OracleHomeNameAuto = true;
    }
    candidate = chosenKey;
  }

  const std::string home = ReadRegString(platform::RootKey::LocalMachine, candidate, "ORACLE_HOME");
  s.OracleHomeKey = (!home.empty() && DirectoryExists(HomeLibraryFolder(home))) ? candidate : "";
  return s.OracleHomeKey;
}

namespace {

bool namesRegisteredHome(const std::string& name) {
  BuildHomeList();
  const std::string wanted = UpperCase(name);
  for (const auto& entry : *State().OracleHomes)
    if (UpperCase(entry.first) == wanted) return true;
  return false;
}

}  // namespace

std::string GetOracleHomeDir() {
  auto& s = State();
  s.OracleHomeHasBin = true;

  // A home chosen on the command line by its folder: it wins over the environment and the
  // search path as a chosen registry home does; one that is neither is an error, not a guess.
  const std::string chosen = GetParamValue("ORACLEHOME");
  if (s.layout.homeMayBeFolder && !chosen.empty() && !namesRegisteredHome(chosen)) {
    s.OracleHomeKey.clear();
    if (DirectoryExists(chosen)) {
      s.OracleHomeHasBin = DirectoryExists(HomeLibraryFolder(chosen));
      return chosen;
    }
    const std::string line = "ORACLEHOME=" + chosen + ": neither the name of an Oracle home in " +
                             kRegistryWords + " nor a folder";
    if (s.OCITrace.find(line) == std::string::npos) AddTrace(line);
    return "";
  }

  std::string home =
      ReadRegString(platform::RootKey::LocalMachine, GetOracleHomeKey(), "ORACLE_HOME");
  if (!home.empty()) return home;

  s.OracleHomeKey.clear();
  home = GetEnv("ORACLE_HOME");
  if (!home.empty() && home != ".") {
    s.OracleHomeHasBin = DirectoryExists(HomeLibraryFolder(home));
    return home;
  }

  // A client library along the search path; its folder, or the folder above a library folder.
  std::string folder = s.layout.extractFileDir(SearchFile(s.layout.mainLibrary));
  const std::string suffix =
      UpperCase(std::string(1, s.layout.pathSeparator) + s.layout.libraryFolder);
  if (folder.size() > suffix.size() &&
      UpperCase(folder.substr(folder.size() - suffix.size())) == suffix) {
    folder.erase(folder.size() - suffix.size());
    s.OracleHomeHasBin = true;
  } else {
    s.OracleHomeHasBin = false;
  }
  return folder;
}

std::optional<double> LibraryVersion(const std::string& fileName) {
  // "oraNN.dll" or "orantNN.dll": the digits start at the fourth or the sixth character.
  const std::string nt = fileName.size() > 3 ? UpperCase(fileName.substr(3, 2)) : std::string();
  const std::size_t start = nt == "NT" ? 5 : 3;
  const std::size_t dot = fileName.find('.');
  std::string digits;
  if (dot != std::string::npos && dot > start) digits = fileName.substr(start, dot - start);
  const std::string number = "0." + digits;
  double value = 0;
  auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error != std::errc() || end != number.data() + number.size()) return std::nullopt;
  return value;
}

std::vector<std::string> FindClientLibraries(bool trace) {
  auto& s = State();
  std::vector<std::string> result;
  s.OracleHomeDir = GetOracleHomeDir();
  if (s.OracleHomeDir.empty()) return result;

  std::string folder = s.OracleHomeDir;
  AddPathPart(folder, s.OracleHomeHasBin
                          ? s.layout.libraryFolder + std::string(1, s.layout.pathSeparator)
                          : std::string());

  if (FileExists(folder + s.layout.mainLibrary)) {
    if (trace) AddTrace("Found: " + s.layout.mainLibrary);
    result.push_back(folder + s.layout.mainLibrary);
  }
  if (!s.layout.versionedPattern.empty()) {
    std::vector<std::string> names;
    try {
      names = platform::fileSystem().findFiles(folder, s.layout.versionedPattern);
    } catch (const std::exception&) {
      names.clear();  // an unreadable folder holds nothing
    }
    for (const std::string& name : names) {
      std::optional<double> version = LibraryVersion(name);
      if (!version || *version <= 0) continue;
      if (trace) AddTrace("Found: " + name);
      result.push_back(folder + name);
    }
  }
  return result;
}

int SelectClientLibrary() {
  auto& s = State();
  s.OCIDLLAutoSelected = false;
  s.OCIDLLAvoidList = UpperCase(s.OCIDLLAvoidList);

  const std::string forced = GetParamValue("OCIDLL");
  if (!forced.empty()) s.OCIDLL = forced;
  if (!s.OCIDLL.empty()) {
    // Not checked here: a bad value fails in the load.
    AddTrace("OCIDLL forced to " + s.OCIDLL);
    return srSelected;
  }

  s.OracleHomeDir = GetOracleHomeDir();
  AddTrace("OracleHomeKey: " + s.OracleHomeKey);
  AddTrace("OracleHomeDir: " + s.OracleHomeDir);
  const std::vector<std::string> candidates = FindClientLibraries(true);
  if (s.OracleHomeDir.empty()) return srNoHome;

  const std::string mainName = UpperCase(s.layout.mainLibrary);
  for (int pass = 0; pass < 2 && s.OCIDLL.empty(); ++pass) {
    double bestVersion = 0;
    for (const std::string& candidate : candidates) {
      const std::string fileName = s.layout.extractFileName(candidate);
      const std::string upperName = UpperCase(fileName);
      if (pass == 0 && s.OCIDLLAvoidList.find("\"" + upperName + "\"") != std::string::npos) {
        continue;
      }
      if (upperName == mainName) {
        s.OCIDLL = candidate;
        s.OCIDLLAutoSelected = true;
        break;
      }
      std::optional<double> version = LibraryVersion(fileName);
      if (version && *version > bestVersion) {
        bestVersion = *version;
        s.OCIDLL = candidate;
        s.OCIDLLAutoSelected = true;
      }
    }
  }

  if (s.OCIDLL.empty()) return srNoLibrary;
  AddTrace("Using: " + s.OCIDLL);
  return srSelected;
}

}  // namespace oracle
