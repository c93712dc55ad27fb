// Turning failed client calls into exceptions, the warning-code list, and the feature guards.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>

#include "oracle/client/ClientLibrary.h"
#include "oracle/client/OCIConstants.h"
#include "oracle/client/OCIFunctions.h"
#include "oracle/client/OracleHome.h"
#include "oracle/core/Exception.h"
#include "oracle/session/OracleError.h"
#include "oracle/session/OracleSession.h"
#include "oracle/session/SessionUnit.h"

namespace oracle {
namespace {

constexpr std::size_t kErrorBufferSize = 4001;
constexpr std::size_t kMessageBufferSize = 2001;

struct SessionUnitState {
  bool sharedEnvironment = false;
  void* sharedEnvironmentHandle = nullptr;
  std::uint64_t sharedEnvironmentGeneration = 0;  // the library copy that made it
  std::vector<std::int32_t> warningCodes;
};

SessionUnitState& unit() {
  static SessionUnitState state;
  return state;
}

bool readsThroughHandle(const TOracleSession* session) {
  return session == nullptr || session->OCI8Mode();
}

// The code of the first error record of an error handle, without its text.
std::int32_t codeFromHandle(void* handle) {
  oci::sb4 code = 0;
  oci::OCIErrorGet(handle, 1, nullptr, &code, nullptr, 0, oci::OCI_HTYPE_ERROR);
  return code;
}

}  // namespace

bool SharedEnvironment() { return unit().sharedEnvironment; }
void SetSharedEnvironment(bool on) { unit().sharedEnvironment = on; }
void*& internal::SharedEnvironmentHandle() {
  SessionUnitState& state = unit();
  if (state.sharedEnvironmentGeneration != ClientGeneration()) state.sharedEnvironmentHandle = nullptr;
  return state.sharedEnvironmentHandle;
}
void internal::SharedEnvironmentMade() { unit().sharedEnvironmentGeneration = ClientGeneration(); }

const std::vector<std::int32_t>& WarningCodes() { return unit().warningCodes; }

void LoadWarningCodes() {
  std::vector<std::int32_t>& codes = unit().warningCodes;
  codes.clear();
  for (int n = 1;; ++n) {
    const std::string value = ReadRegString(platform::RootKey::CurrentUser,
                                             "SOFTWARE\\Kervalon\\KVL\\Warnings", std::to_string(n));
    if (value.empty()) break;
    if (value[0] == '*') continue;  // switched off without renumbering
    char* end = nullptr;
    const long code = std::strtol(value.c_str(), &end, 10);
    if (end == value.c_str() || *end != '\0') continue;  // not a number: skipped silently
    codes.push_back(static_cast<std::int32_t>(code));
  }
}

void InitializeSessionUnit() { LoadWarningCodes(); }

void FinalizeSessionUnit() {
  void*& shared = internal::SharedEnvironmentHandle();
  if (shared != nullptr) {
    try {
      oci::OCIHandleFree(shared, oci::OCI_HTYPE_ENV);
    } catch (...) {
      // The library is already gone, and the environment with it.
    }
    shared = nullptr;
  }
  FreeOCI();
}

[[noreturn]] void RaiseOracleError(TOracleSession* session, const TErrorSource& source,
                                   TComponent* sender) {
  bool warning = false;
  if (!unit().warningCodes.empty()) {
    const std::int32_t code =
        readsThroughHandle(session) ? codeFromHandle(source.errorHandle) : source.code;
    const auto& codes = unit().warningCodes;
    warning = std::find(codes.begin(), codes.end(), code) != codes.end();
  }

  std::array<char, kErrorBufferSize> buffer{};
  std::int32_t code = 0;
  try {
    if (readsThroughHandle(session)) {
      oci::sb4 errorCode = 0;
      oci::OCIErrorGet(source.errorHandle, 1, nullptr, &errorCode,
                       reinterpret_cast<oci::OraText*>(buffer.data()), kErrorBufferSize,
                       oci::OCI_HTYPE_ERROR);
      code = errorCode;
    } else {
      oci::oerhms(static_cast<oci::Lda_Def*>(session->LogonDataArea()),
                  static_cast<oci::sb2>(source.code),
                  reinterpret_cast<oci::OraText*>(buffer.data()), kErrorBufferSize);
      code = source.code;
    }
  } catch (...) {
    // No text could be had (the library is gone): the error is raised with an empty message.
    if (!readsThroughHandle(session)) code = source.code;
  }
  buffer[MaxErrorMessageLength] = '\0';
  std::string message(buffer.data());
  if (warning) throw EOracleWarning(code, std::move(message), sender, session);
  throw EOracleError(code, std::move(message), sender, session);
}

std::string ClientErrorMessage(TOracleSession* session, std::int32_t errorCode) {
  std::array<char, kMessageBufferSize> buffer{};
  oci::Lda_Def standIn{};
  const bool ownArea = session != nullptr && !session->OCI8Mode();
  if (!ownArea) {
    oci::oerhms(&standIn, static_cast<oci::sb2>(errorCode),
                reinterpret_cast<oci::OraText*>(buffer.data()), kMessageBufferSize);
    return buffer.data();
  }
  // The session's logon data area is read under its lock.
  CriticalSectionGuard guard(session->SessionLock());
  oci::oerhms(static_cast<oci::Lda_Def*>(session->LogonDataArea()), static_cast<oci::sb2>(errorCode),
              reinterpret_cast<oci::OraText*>(buffer.data()), kMessageBufferSize);
  return buffer.data();
}

void RequireSessionFeature(const TOracleSession* session, const std::string& feature) {
  if (session == nullptr) throw Exception(feature + " requires a session");
  if (!session->Connected()) throw Exception(feature + " requires a connected session");
  if (!session->OCI8Mode())
    throw Exception(feature + (Net8Available() ? " requires OCI8 mode, but OCI7 mode is used."
                                               : " requires Net8, which is not detected on this PC"));
}

void RequireSessionFeature9(const TOracleSession* session, const std::string& feature) {
  if (session == nullptr) throw Exception(feature + " requires a session");
  if (!session->Connected()) throw Exception(feature + " requires a connected session");
  if (!session->OCI8Mode())
    throw Exception(feature +
                    (Net9Available() ? " requires OCI8 mode, but OCI7 mode is used."
                                     : " requires Oracle Net 9, which is not detected on this PC"));
}

}  // namespace oracle
