// Locating tnsnames.ora and sqlnet.ora and reading the aliases out of them.
#include "oracle/client/NetServiceNames.h"

#include <exception>
#include <set>
#include <string_view>

#include "oracle/client/ClientLibrary.h"
#include "oracle/client/OracleHome.h"
#include "oracle/client/internal/BindingState.h"
#include "oracle/client/internal/Text.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "platform/Services.h"

namespace oracle {

using internal::LowerCase;
using internal::State;
using internal::Trim;
using internal::UpperCase;

namespace {

// Nested includes beyond this depth are not followed; real configurations nest a level or two.
constexpr int kMaxIncludeDepth = 64;

bool ReadTextFile(const std::string& path, std::string& content) {
  try {
    return !path.empty() && platform::fileSystem().fileExists(path) &&
           platform::fileSystem().readFile(path, content);
  } catch (const std::exception&) {
    return false;  // an unreadable file reads as a missing one
  }
}

// Calls f(line) for each line of text, lines ending at CR LF, CR or LF.
template <typename F>
void ForEachLine(std::string_view text, F&& f) {
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t end = text.find_first_of("\r\n", begin);
    if (end == std::string_view::npos) end = text.size();
    f(text.substr(begin, end - begin));
    if (end < text.size() && text[end] == '\r') ++end;
    if (end < text.size() && text[end] == '\n') ++end;
    begin = end;
  }
}

struct ParseContext {
  std::set<std::string> visited;  // files already read in this parse
  int depth = 0;
};

void ParseFile(std::string path, ParseContext& context);

void ParseLines(std::string_view content, ParseContext& context) {
  auto& s = State();
  // The depth is carried from line to line: a descriptor may span many lines.
  long long depth = 0;
  bool includePending = false;
  std::string topLevel;

  ForEachLine(content, [&](std::string_view line) {
    if (!line.empty() && line.front() == '#') return;
    topLevel.clear();
    for (char c : line) {
      if (c == '(') ++depth;
      if (depth == 0 && static_cast<unsigned char>(c) >= 32) topLevel += c;
      if (c == ')') --depth;
    }
    std::string_view text = Trim(topLevel);
    if (text.empty()) return;

    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
      if (includePending) {
        includePending = false;
        ParseFile(std::string(text), context);
      }
      return;
    }

    const std::string value(Trim(text.substr(equals + 1)));
    std::string name(Trim(text.substr(0, equals)));

    const std::string domain = GetDefaultDomain();
    const bool strip = s.StripDefaultDomain ? !domain.empty() : UpperCase(domain) == "WORLD";
    if (strip) {
      const std::string suffix = "." + UpperCase(domain);
      if (name.size() >= suffix.size() &&
          UpperCase(std::string_view(name).substr(name.size() - suffix.size())) == suffix) {
        name.erase(name.size() - suffix.size());
      }
    }

    if (LowerCase(name) == "ifile") {
      includePending = false;
      if (!value.empty()) {
        ParseFile(value, context);
      } else {
        includePending = true;  // the file is named on the next line of its own
      }
      return;
    }

    if (!s.OracleAliases) s.OracleAliases = std::make_unique<SortedNameList>();
    for (std::string& alias : SplitNameList(name)) s.OracleAliases->add(std::move(alias));
  });
}

void ParseFile(std::string path, ParseContext& context) {
  using internal::IncludedFile;
  auto& s = State();
  // "\\\server" is taken as the network path "\\server".
  while (path.size() >= 3 && path.compare(0, 3, "\\\\\\") == 0) path.erase(0, 1);
  const bool included = context.depth > 0;
  auto note = [&](IncludedFile::Outcome outcome) {
    if (included) s.includedFiles.push_back({path, outcome});
  };

  // Each file is read once per parse: this ends include cycles, direct or through other files,
  // and reading a file again could add nothing new.
  const bool caseless = s.layout.driveDelimiter;
  if (!context.visited.insert(caseless ? UpperCase(path) : path).second) {
    note(IncludedFile::AlreadyRead);
    return;
  }
  if (context.depth >= kMaxIncludeDepth) {
    note(IncludedFile::TooDeep);
    return;
  }
  std::string content;
  if (!ReadTextFile(path, content)) {
    note(IncludedFile::Missing);
    return;
  }
  note(IncludedFile::Read);
  ++context.depth;
  ParseLines(content, context);
  --context.depth;
}

}  // namespace

std::string TNSNamesFile() { return State().TNSNamesFile; }
bool StripDefaultDomain() { return State().StripDefaultDomain; }
void SetStripDefaultDomain(bool value) { State().StripDefaultDomain = value; }

const SortedNameList* GetAliasList() {
  auto& s = State();
  if (!s.OracleAliases) {
    try {
      BuildAliasList();
    } catch (...) {
      // No client, no list: the caller shows an empty drop-down and the next call tries again.
    }
  }
  return s.OracleAliases.get();
}

void BuildAliasList() {
  auto& s = State();
  if (!s.OracleAliases) s.OracleAliases = std::make_unique<SortedNameList>();
  s.OracleAliases->clear();
  s.includedFiles.clear();

  struct CacheScope {
    CacheScope() { State().domainLookupCached = true; }
    ~CacheScope() {
      State().domainLookupCached = false;
      State().domainLookupDone = false;
    }
  } cacheScope;
  ParseTNSNames(GetTNSNamesFile());
}

std::string GetTNSNamesFile() {
  auto& s = State();
  if (!s.TNSNamesFile.empty()) return s.TNSNamesFile;

  GetOracleHomeKey();
  InitOCI();

  try {
    const platform::RootKey machine = platform::RootKey::LocalMachine;
    s.TNSNamesFile = platform::process().getEnv("TNS_ADMIN").value_or("");
    if (s.TNSNamesFile.empty()) {
      s.TNSNamesFile = ReadRegString(machine, s.OracleHomeKey, "TNS_ADMIN");
    }
    if (s.TNSNamesFile.empty() && UpperCase(s.OracleHomeKey) != "SOFTWARE\\ORACLE") {
      s.TNSNamesFile = ReadRegString(machine, "SOFTWARE\\ORACLE", "TNS_ADMIN");
    }
    if (s.TNSNamesFile.empty()) {
      std::string network =
          ReadRegString(machine, s.OracleHomeKey, s.Net8Available ? "NET80" : "NET20");
      if (!network.empty()) {
        AddPathPart(network, s.layout.adminFolder);
        s.TNSNamesFile = network;
      } else {
        std::string folder = GetOracleHomeDir();
        AddPathPart(folder, s.Net8Available && !s.Net81Available ? s.layout.net80AdminFolder
                                                                  : s.layout.networkAdminFolder);
        s.TNSNamesFile = folder;
      }
    }
    AddPathPart(s.TNSNamesFile, "tnsnames.ora");
  } catch (const std::exception&) {
    // The location stays as far as it was assembled; a wrong one only means no aliases.
  }
  return s.TNSNamesFile;
}

std::string GetDefaultDomain() {
  auto& s = State();
  if (!s.DefaultDomain.empty()) return s.DefaultDomain;
  if (s.domainLookupCached && s.domainLookupDone) return "";

  const std::string file = s.layout.extractFilePath(GetTNSNamesFile()) + "sqlnet.ora";
  s.sqlnetFile = file;
  std::string content;
  s.sqlnetFound = ReadTextFile(file, content);
  if (s.sqlnetFound) {
    bool found = false;
    ForEachLine(content, [&](std::string_view line) {
      if (found) return;
      const std::size_t equals = line.find('=');
      if (equals == std::string_view::npos) return;
      if (LowerCase(Trim(line.substr(0, equals))) != "names.default_domain") return;
      s.DefaultDomain = std::string(Trim(line.substr(equals + 1)));
      found = true;
    });
  }
  if (s.domainLookupCached) s.domainLookupDone = true;
  return s.DefaultDomain;
}

void ParseTNSNames(const std::string& path) {
  ParseContext context;
  ParseFile(path, context);
}

std::vector<std::string> SplitNameList(const std::string& text) {
  std::vector<std::string> items;
  const std::size_t n = text.size();
  auto separatorBlank = [&](std::size_t i) {
    auto c = static_cast<unsigned char>(text[i]);
    return c >= 1 && c <= 32;
  };
  std::size_t p = 0;
  while (p < n && separatorBlank(p)) ++p;
  // A zero character ends the text.
  while (p < n && text[p] != '\0') {
    std::string item;
    if (text[p] == '"') {
      ++p;
      while (p < n) {
        if (text[p] == '"') {
          if (p + 1 < n && text[p + 1] == '"') {
            item += '"';
            p += 2;
            continue;
          }
          ++p;
          break;
        }
        item += text[p++];
      }
    } else {
      const std::size_t begin = p;
      while (p < n && static_cast<unsigned char>(text[p]) > 32 && text[p] != ',') ++p;
      item = text.substr(begin, p - begin);
    }
    items.push_back(std::move(item));
    while (p < n && separatorBlank(p)) ++p;
    if (p < n && text[p] == ',') {
      do {
        ++p;
      } while (p < n && separatorBlank(p));
    }
  }
  return items;
}

}  // namespace oracle
