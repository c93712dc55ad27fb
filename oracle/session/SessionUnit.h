// The session unit's process-wide state: the shared-environment option and handle, and the list
// of Oracle error codes raised as warnings. Start-up loads the warning list; shutdown frees the
// shared environment and unloads the client library.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace oracle {

class TOracleSession;
struct TErrorSource;
class TComponent;

// When on, all sessions use one environment handle, created on first use under OCILock and never
// freed by a session. Default off.
bool SharedEnvironment();
void SetSharedEnvironment(bool on);

// The codes loaded by LoadWarningCodes; written once at start-up, read-only afterwards.
const std::vector<std::int32_t>& WarningCodes();

// Reads HKEY_CURRENT_USER "SOFTWARE\Kervalon\KVL\Warnings" values "1", "2", ... until the first
// missing or empty one; "*" switches an entry off, a value that is not a number is skipped.
void LoadWarningCodes();

// Start-up and shutdown of the session unit.
void InitializeSessionUnit();
void FinalizeSessionUnit();

// Raises the error of a failed client call as EOracleError, or EOracleWarning for a code in
// WarningCodes. Never returns. It takes and gives back no lock: a caller that holds the session
// lock around the failed call releases it by the scope of its guard as the exception leaves.
[[noreturn]] void RaiseOracleError(TOracleSession* session, const TErrorSource& source,
                                   TComponent* sender);

// The text of an Oracle error code as the client library words it (oerhms).
std::string ClientErrorMessage(TOracleSession* session, std::int32_t errorCode);

// Guards of features that need a connected session in OCI8 mode; raise with the feature name
// followed by the reason.
void RequireSessionFeature(const TOracleSession* session, const std::string& feature);
void RequireSessionFeature9(const TOracleSession* session, const std::string& feature);

namespace internal {
// The shared environment handle (null until first use) for the logon; callers hold OCILock.
// A handle made by a copy of the client library that has been unloaded since is void: the
// accessor then gives null, so that a new one is made.
void*& SharedEnvironmentHandle();
// Records that the shared environment handle was just made by the loaded library.
void SharedEnvironmentMade();
}  // namespace internal

}  // namespace oracle
