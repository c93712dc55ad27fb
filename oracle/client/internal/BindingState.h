// All process-wide state of the client binding in one place: the home discovery's caches, the
// loaded libraries with their entry-point slots and flags, the net service names, and what the
// diagnostics report. FreeOCI resets it the way a fresh load needs (tests use that too).
//
// Threading: see oracle/THREADING.md.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "oracle/client/ClientLayout.h"
#include "oracle/client/OCIEntryPoints.h"
#include "oracle/client/OracleCriticalSection.h"
#include "oracle/client/SortedNameList.h"

namespace oracle::internal {

// One failed attempt of the operating system's loader, kept for the diagnostics.
struct LoadFailure {
  std::string path;
  std::string currentDirectory;
  std::string reason;  // the loader's own words
};

// A file named by an ifile line, and what became of it.
struct IncludedFile {
  enum Outcome { Read, Missing, AlreadyRead, TooDeep };
  std::string path;
  Outcome outcome = Read;
};

// What the last load attempt found, kept for the diagnostics after FreeOCI has reset the caches.
struct LoadAttempt {
  bool made = false;
  int code = 0;
  std::string library;  // OCIDLL at the time of loading
  std::string homeKey;
  std::string homeDir;
  bool homeHasBin = false;
  std::string homeName;
};

struct BindingState {
  ClientLayout layout = ClientLayout::Native();

  // Home discovery and library selection.
  std::string OCIDLL;
  bool OCIDLLAutoSelected = true;
  std::string OCIDLLAvoidList;
  std::unique_ptr<SortedNameList> OracleHomes;
  std::string OracleHomeName;
  bool OracleHomeNameAuto = true;
  std::string OracleHomeKey;
  std::string OracleHomeDir;
  bool OracleHomeHasBin = true;
  std::string OCITrace;

  // Loading.
  TOracleCriticalSection OCILock;
  void* OCILibHandle = nullptr;  // nullptr: not loaded
  void* MTSLibHandle = nullptr;
  std::uint64_t clientGeneration = 1;  // raised by every unload
  std::string MTSDLL;
  bool ForceOCI7 = false;
  std::string SavedCurrentDir;
  std::array<void*, kEntryPointCount> slots{};
  std::array<void*, kMTSEntryPointCount> mtsSlots{};

  bool OCI7Available = false;
  bool OlogAvailable = false;
  bool OpinitAvailable = false;
  bool Net8Available = false;
  bool OciepAvailable = false;
  bool Net81Available = false;
  bool Net9Available = false;
  bool SessionPoolAvailable = false;
  bool OraMTSAvailable = false;

  bool UseOCI8 = false;
  bool UseNet81 = false;
  bool UseNet9 = false;
  bool UseSessionPool = false;

  // Net service names.
  std::string TNSNamesFile;
  std::string DefaultDomain;
  bool StripDefaultDomain = false;
  std::unique_ptr<SortedNameList> OracleAliases;
  // While a list is being built, a sqlnet.ora without a default domain is read once, not once
  // per definition line; the answer cannot change within one build.
  bool domainLookupCached = false;
  bool domainLookupDone = false;

  // Diagnostics.
  std::vector<LoadFailure> loadFailures;
  LoadAttempt lastAttempt;
  std::string lastInitError;
  std::string sqlnetFile;  // the sqlnet.ora consulted last
  bool sqlnetFound = false;
  std::vector<IncludedFile> includedFiles;  // files reached through ifile, in reading order
};

BindingState& State();

}  // namespace oracle::internal
