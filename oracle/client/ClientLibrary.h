// Loading the Oracle client library at run time and binding its entry points by name into the
// process-wide slots (OCIFunctions.h calls through them). The groups that resolve completely
// decide the interface level: OCI7 or OCI8 mode, the 8.1 calls, the Net 9 fetch, the session pool.
// Also loads the optional transaction-coordinator library, owns OCILock and unloads everything.
//
// Threading: see oracle/THREADING.md (OCILock, what FreeOCI's callers must make sure of).
#pragma once

#include <cstdint>
#include <string>

#include "oracle/client/OracleCriticalSection.h"

namespace oracle {

// The binding's recursive process-wide lock.
TOracleCriticalSection& OCILock();

bool OCILoaded();
// Names the loaded copy of the client library: it changes whenever FreeOCI unloads the library,
// so a handle made under one generation is void under any other (its memory went with the copy).
std::uint64_t ClientGeneration();
bool MTSLoaded();

// Process-wide switch: never use the OCI8 interface.
bool ForceOCI7();
void SetForceOCI7(bool value);

// Path of the transaction-coordinator library; derived from OCIDLL's folder when empty.
std::string MTSDLL();
void SetMTSDLL(const std::string& value);

// Current directory saved before a load retried from the library's own folder.
std::string SavedCurrentDir();

// Group flags: true when every entry point of the group was found.
bool OCI7Available();
bool OlogAvailable();
bool OpinitAvailable();
bool Net8Available();
bool OciepAvailable();
bool Net81Available();
bool Net9Available();
bool SessionPoolAvailable();
bool OraMTSAvailable();

// In-use flags: the interface levels the rest of the layer is to use.
bool UseOCI8();
bool UseNet81();
bool UseNet9();
bool UseSessionPool();

// Resolves Name in Library into Slot while GroupFlag is true; the first missing name clears
// GroupFlag, and from then on the group's slots are left empty without a look-up.
void BindEntry(void* library, bool& groupFlag, void*& slot, const char* name);

enum TLoadResult : int { lrLoaded = 0, lrNotLoaded = 1, lrNoCallSet = 2, lrNoHome = 3 };
// 0 = loaded, 1 = no library found or the load failed, 2 = neither usable call set,
// 3 = no Oracle home. Called by InitOCI with OCILock held.
int LoadOCI();

// Makes sure the client library is loaded and initialized; cheap when it is. Raises
// oracle::Exception "Initialization error\r\n" + reason + "\r\n\r\n" + OCITrace on failure,
// after unloading everything so that the next call starts afresh.
void InitOCI();

// Unloads both libraries and resets the binding's state, so the next InitOCI selects afresh.
// The entry-point slots are emptied: a call through them raises "The client library is not
// loaded" until the next InitOCI.
void FreeOCI();

// Loads the transaction-coordinator library on first need; raises "Initialization error\r\n" +
// reason on failure, leaving the client library loaded.
void InitMTS();

// Returns to the directory saved by a load retried from the library's own folder, unless
// someone else has changed it meanwhile.
void RestoreCurrentDir();

}  // namespace oracle
