// Client library loading, entry-point binding, unloading and the transaction-coordinator library.
#include "oracle/client/ClientLibrary.h"

#include <exception>

#include "oracle/client/OCIConstants.h"
#include "oracle/client/OCIFunctions.h"
#include "oracle/client/OracleHome.h"
#include "oracle/client/internal/BindingState.h"
#include "oracle/core/Exception.h"
#include "platform/FileSystem.h"
#include "platform/Libraries.h"
#include "platform/Process.h"
#include "platform/Services.h"

namespace oracle {

using internal::BindingState;
using internal::State;

namespace {

// Loads a library, recording the loader's own reason when it fails.
void* LoadLibraryRecorded(const std::string& path) {
  platform::LoadResult result;
  try {
    result = platform::libraries().load(path);
  } catch (const std::exception& e) {
    result.handle = nullptr;
    result.error = e.what();
  }
  if (result.handle == nullptr) {
    std::string directory;
    try {
      directory = platform::process().currentDirectory();
    } catch (const std::exception&) {
      directory.clear();
    }
    State().loadFailures.push_back({path, directory, result.error});
  }
  return result.handle;
}

void BindGroup(void* library, TEntryGroup group, bool& flag) {
  auto& s = State();
  for (std::size_t i = 0; i < kEntryPointCount; ++i) {
    if (kEntryPoints[i].group != group) continue;
    const std::string name(kEntryPoints[i].name);
    BindEntry(library, flag, s.slots[i], name.c_str());
  }
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

void RememberAttempt(int code) {
  auto& s = State();
  s.lastAttempt.made = true;
  s.lastAttempt.code = code;
  s.lastAttempt.library = s.OCIDLL;
  s.lastAttempt.homeKey = s.OracleHomeKey;
  s.lastAttempt.homeDir = s.OracleHomeDir;
  s.lastAttempt.homeHasBin = s.OracleHomeHasBin;
  s.lastAttempt.homeName = s.OracleHomeName;
}

}  // namespace

namespace internal {

void* EntrySlot(std::size_t index) noexcept {
  return index < kEntryPointCount ? State().slots[index] : nullptr;
}

void* MTSEntrySlot(std::size_t index) noexcept {
  return index < kMTSEntryPointCount ? State().mtsSlots[index] : nullptr;
}

void ThrowMissingEntryPoint(std::string_view name) {
  // Every slot is empty while nothing is loaded; say so rather than blame one entry point.
  if (State().OCILibHandle == nullptr) throw Exception("The client library is not loaded");
  throw Exception("The client library entry point " + std::string(name) + " is not available");
}

}  // namespace internal

TOracleCriticalSection& OCILock() { return State().OCILock; }

bool OCILoaded() { return State().OCILibHandle != nullptr; }
std::uint64_t ClientGeneration() { return State().clientGeneration; }
bool MTSLoaded() { return State().MTSLibHandle != nullptr; }

bool ForceOCI7() { return State().ForceOCI7; }
void SetForceOCI7(bool value) { State().ForceOCI7 = value; }
std::string MTSDLL() { return State().MTSDLL; }
void SetMTSDLL(const std::string& value) { State().MTSDLL = value; }
std::string SavedCurrentDir() { return State().SavedCurrentDir; }

bool OCI7Available() { return State().OCI7Available; }
bool OlogAvailable() { return State().OlogAvailable; }
bool OpinitAvailable() { return State().OpinitAvailable; }
bool Net8Available() { return State().Net8Available; }
bool OciepAvailable() { return State().OciepAvailable; }
bool Net81Available() { return State().Net81Available; }
bool Net9Available() { return State().Net9Available; }
bool SessionPoolAvailable() { return State().SessionPoolAvailable; }
bool OraMTSAvailable() { return State().OraMTSAvailable; }
bool UseOCI8() { return State().UseOCI8; }
bool UseNet81() { return State().UseNet81; }
bool UseNet9() { return State().UseNet9; }
bool UseSessionPool() { return State().UseSessionPool; }

void BindEntry(void* library, bool& groupFlag, void*& slot, const char* name) {
  if (!groupFlag) {
    slot = nullptr;
    return;
  }
  slot = platform::libraries().symbol(library, name);
  if (slot == nullptr) groupFlag = false;
}

int LoadOCI() {
  auto& s = State();
  if (OCILoaded()) return lrLoaded;
  s.OCITrace.clear();
  s.loadFailures.clear();

  const int code = SelectClientLibrary();
  if (code != srSelected) {
    RememberAttempt(code);
    return code;
  }

  s.OCILibHandle = LoadLibraryRecorded(s.OCIDLL);
  if (s.OCILibHandle == nullptr) {
    // The client may need libraries of its own folder that the loader finds only from there.
    platform::Process& process = platform::process();
    const std::string current = process.currentDirectory();
    // A directory saved earlier and not yet restored is the user's own; keep it.
    if (s.SavedCurrentDir.empty()) s.SavedCurrentDir = current;
    const std::string folder = s.layout.extractFileDir(s.OCIDLL);
    const bool switched = !folder.empty() && process.setCurrentDirectory(folder);
    s.OCILibHandle = LoadLibraryRecorded(s.OCIDLL);
    if (s.OCILibHandle == nullptr) {
      // Nothing was loaded from there, so the switch has no reason to stay.
      if (switched) process.setCurrentDirectory(current);
      if (s.SavedCurrentDir == current) s.SavedCurrentDir.clear();
    }
  }
  if (s.OCILibHandle == nullptr) {
    AddTrace("LoadLibrary(" + s.OCIDLL + ") returned 0");
    RememberAttempt(lrNotLoaded);
    return lrNotLoaded;
  }

  void* library = s.OCILibHandle;
  s.OCI7Available = true;
  BindGroup(library, egOCI7, s.OCI7Available);
  s.OlogAvailable = s.OCI7Available;
  BindGroup(library, egOlog, s.OlogAvailable);
  s.OpinitAvailable = s.OlogAvailable;
  BindGroup(library, egOpinit, s.OpinitAvailable);

  s.UseOCI8 = !s.ForceOCI7;
  s.Net8Available = true;
  BindGroup(library, egNet8, s.Net8Available);
  if (!s.Net8Available) s.UseOCI8 = false;
  s.OciepAvailable = s.Net8Available;
  BindGroup(library, egOciep, s.OciepAvailable);

  // The later levels follow the call sets alone; only UseOCI8 heeds ForceOCI7.
  s.UseNet81 = s.Net8Available;
  s.Net81Available = s.Net8Available;
  BindGroup(library, egNet81, s.Net81Available);
  if (!s.Net81Available) s.UseNet81 = false;

  s.UseNet9 = s.Net81Available;
  s.Net9Available = s.Net81Available;
  BindGroup(library, egNet9, s.Net9Available);
  if (!s.Net9Available) s.UseNet9 = false;

  s.UseSessionPool = s.Net9Available;
  s.SessionPoolAvailable = s.Net9Available;
  BindGroup(library, egSessionPool, s.SessionPoolAvailable);
  if (!s.SessionPoolAvailable) s.UseSessionPool = false;

  const int result = (!s.OCI7Available && !s.UseOCI8) ? lrNoCallSet : lrLoaded;
  RememberAttempt(result);
  return result;
}

void InitOCI() {
  auto& s = State();
  CriticalSectionGuard guard(s.OCILock);
  if (OCILoaded()) return;

  const int code = LoadOCI();
  if (code != lrLoaded) {
    std::string reason;
    switch (code) {
      case lrNotLoaded:
        reason = s.OCIDLL.empty() ? "Could not locate OCI dll" : "Could not load " + Quoted(s.OCIDLL);
        break;
      case lrNoCallSet:
        reason = "Could not initialize " + Quoted(s.OCIDLL);
        break;
      default:
        reason = "SQL*Net not properly installed";
        break;
    }
    std::string message = "Initialization error\r\n" + reason + "\r\n\r\n" + s.OCITrace;
    s.lastInitError = message;
    FreeOCI();
    throw Exception(std::move(message));
  }
  s.lastInitError.clear();

  // The results of the start calls are not inspected: a failure shows at the first real call.
  if (s.OpinitAvailable && !s.UseOCI8) oci::opinit(oci::OCI_EV_DEF);
  // With the 8.1 calls the session creates its environment with OCIEnvCreate instead.
  if (s.UseOCI8 && !s.UseNet81) {
    oci::OCIInitialize(oci::OCI_THREADED | oci::OCI_OBJECT, nullptr, nullptr, nullptr, nullptr);
  }
}

void FreeOCI() {
  auto& s = State();
  platform::Libraries& libraries = platform::libraries();
  if (MTSLoaded()) libraries.free(s.MTSLibHandle);
  if (OCILoaded()) {
    libraries.free(s.OCILibHandle);
    ++s.clientGeneration;  // every handle of the unloaded copy is void from now on
  }
  s.MTSLibHandle = nullptr;
  s.OCILibHandle = nullptr;
  // The code the slots point into is gone: a call through one raises instead of jumping there.
  s.slots.fill(nullptr);
  s.mtsSlots.fill(nullptr);

  if (s.OCIDLLAutoSelected) s.OCIDLL.clear();
  if (s.OracleHomeNameAuto) s.OracleHomeName.clear();
  s.DefaultDomain.clear();

  s.OCI7Available = s.OlogAvailable = s.OpinitAvailable = false;
  s.Net8Available = s.OciepAvailable = s.Net81Available = false;
  s.Net9Available = s.SessionPoolAvailable = s.OraMTSAvailable = false;
  s.UseOCI8 = s.UseNet81 = s.UseNet9 = s.UseSessionPool = false;

  s.OracleHomeKey.clear();
  s.OracleHomeDir.clear();
  s.OracleHomeHasBin = false;
  s.MTSDLL.clear();
  s.TNSNamesFile.clear();
  s.OracleAliases.reset();
  // OCITrace and SavedCurrentDir stay.
}

void InitMTS() {
  auto& s = State();
  CriticalSectionGuard guard(s.OCILock);
  if (MTSLoaded()) return;

  s.OraMTSAvailable = false;
  InitOCI();
  if (s.MTSDLL.empty()) s.MTSDLL = s.layout.extractFilePath(s.OCIDLL) + s.layout.mtsLibrary;

  std::string reason;
  bool exists = false;
  try {
    exists = platform::fileSystem().fileExists(s.MTSDLL);
  } catch (const std::exception&) {
    exists = false;
  }
  if (!exists) {
    reason = "Could not locate " + Quoted(s.MTSDLL);
  } else {
    s.MTSLibHandle = LoadLibraryRecorded(s.MTSDLL);
    if (s.MTSLibHandle == nullptr) {
      reason = "Could not load " + Quoted(s.MTSDLL);
    } else {
      s.OraMTSAvailable = true;
      for (std::size_t i = 0; i < kMTSEntryPointCount; ++i) {
        const std::string name(kMTSEntryPoints[i]);
        BindEntry(s.MTSLibHandle, s.OraMTSAvailable, s.mtsSlots[i], name.c_str());
      }
      if (!s.OraMTSAvailable) {
        reason = "Could not initialize " + Quoted(s.MTSDLL);
        platform::libraries().free(s.MTSLibHandle);
        s.MTSLibHandle = nullptr;
        s.MTSDLL.clear();
      }
    }
  }
  if (!reason.empty()) throw Exception("Initialization error\r\n" + reason);
}

void RestoreCurrentDir() {
  auto& s = State();
  if (s.SavedCurrentDir.empty()) return;
  platform::Process& process = platform::process();
  if (process.currentDirectory() == s.layout.extractFileDir(s.OCIDLL)) {
    process.setCurrentDirectory(s.SavedCurrentDir);
  }
  s.SavedCurrentDir.clear();
}

}  // namespace oracle
