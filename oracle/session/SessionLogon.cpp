// Logon and logoff of a session over the client library, in OCI8 or OCI7 mode, and through the
// transaction server.
#include <algorithm>
#include <chrono>
#include <cstring>

#include "oracle/client/ClientLibrary.h"
#include "oracle/client/OCIConstants.h"
#include "oracle/client/OCIFunctions.h"
#include "oracle/client/OracleHome.h"
#include "oracle/core/Exception.h"
#include "oracle/session/OracleError.h"
#include "oracle/session/OracleSession.h"
#include "oracle/session/SessionUnit.h"
#include "oracle/session/internal/ClientText.h"
#include "oracle/session/internal/OptionalLock.h"
#include "oracle/session/internal/SessionConnection.h"
#include "ui/UiPort.h"

namespace oracle {
namespace {

using namespace oci;
using internal::ClientLength;
using internal::ClientText;
using internal::OptionalLock;

constexpr sb4 kPasswordWillExpire = 28002;
constexpr sb4 kPasswordInGrace = 28011;
constexpr ub4 kServerVersionBufferSize = 501;
// OCIEnvInit's mode without mutexes in the clients that have no OCIEnvCreate.
constexpr ub4 kEnvInitNoMutex = 8;

// The banner of an older server (before Oracle8) turns the session to OCI7 mode. The classic
// test looks for "ORACLE8", "ORACLE9" or "RELEASE 1"; a release number of 8 or more is taken as
// current too, so that 20 and later releases are not mistaken for Oracle7.
bool isCurrentServer(const std::string& banner) {
  std::string upper = banner;
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  if (upper.find("ORACLE8") != std::string::npos || upper.find("ORACLE9") != std::string::npos ||
      upper.find("RELEASE 1") != std::string::npos)
    return true;
  const std::size_t at = upper.find("RELEASE ");
  if (at == std::string::npos) return false;
  const char* digits = upper.c_str() + at + 8;
  if (*digits < '0' || *digits > '9') return false;
  return std::strtol(digits, nullptr, 10) >= 8;
}

// Milliseconds since `start`, for the logon's phase timings.
double millisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

}  // namespace

// --- LogOn

void TOracleSession::LogOn() {
  characterWidth_ = 0;
  if ((!connected_ && Shared()) || pooling_ == spNone) {
    normalLogOn();
    return;
  }
  LogOff();
  if (pooling_ == spInternal)
    throw Exception("Session pooling is not available in this version of the layer");
  // spMTS: the transaction coordinator hands out a service context that is adopted as external.
  try {
    InitMTS();
  } catch (const Exception& e) {
    throw EOracleMTSError(e.Message(), 0);
  }
  const int flags =
      (mtsOptions_.contains(moImplicit) ? 0 : 1) + (mtsOptions_.contains(moUniqueServer) ? 2 : 0);
  OCISvcCtx* service = nullptr;
  OCIEnv* environment = nullptr;
  const OraMTSStatus status =
      OraMTSSvcGet(ClientText(logonUsername_), ClientText(logonPassword_),
                   ClientText(logonDatabase_), &service, &environment, static_cast<ub4>(flags));
  CheckMTSError(static_cast<std::int32_t>(status), "OraMTSSvcGet");
  mtsControlled_ = mtsOptions_.contains(moImplicit);
  mtsService_ = service;
  SetExternalSVC(service);
}

void TOracleSession::normalLogOn() {
  TriggerBeforeLogOn();
  std::exception_ptr failure;
  {
    OptionalLock clientLock(OCILock(), threadSafe_);
    try {
      logOnSteps();
    } catch (...) {
      failure = std::current_exception();
    }
  }
  // The finally part: the lock is given back first, then the directory, then the events.
  RestoreCurrentDir();
  FinishLogOnAttempt();
  if (failure) std::rethrow_exception(failure);
}

void TOracleSession::logOnSteps() {
  if (odbcLogon_ && !oca60Present_ && OCIDLL().empty()) SetOCIDLL("ora73.dll");
  timings_ = {};
  serverVersion_.clear();
  {
    ui::BusyCursor busy(cursor_);
    const auto start = std::chrono::steady_clock::now();
    InitOCI();
    timings_.loadClient = millisecondsSince(start);
  }
  LogOff();
  conn_->clientGeneration = ClientGeneration();
  conn_->oci8Mode = !preferences_->UseOCI7() && Net8Available() && !ForceOCI7() && !odbcLogon_ &&
                    externalLDA_ == nullptr;
  conn_->serviceConvertedToLda = false;

  if (!Shared()) {
    const std::string connectString = ConnectString();
    conn_->hda.fill(0);
    std::memset(LogonDataArea(), 0, 4);
    {
      ui::BusyCursor busy(cursor_);
      if (conn_->oci8Mode) {
        int mode = connectAs_ == caSYSDBA ? OCI_SYSDBA : connectAs_ == caSYSOPER ? OCI_SYSOPER : 0;
        if (statementCacheInUse()) mode += OCI_STMT_CACHE;
        logOnOCI8(mode);
      } else {
        logOnOCI7(connectString);
      }
    }
    const std::int32_t code = LastErrorCode();
    if (code == kPasswordWillExpire || code == kPasswordInGrace) {
      // Built only for its text: the logon goes on and the dialog offers a password change.
      try {
        RaiseOracleError(this, ErrorSource(), this);
      } catch (const EOracleError& warning) {
        logonWarning_ = warning.Message();
      }
      conn_->lastStatus = 0;
      if (!conn_->oci8Mode) static_cast<Lda_Def*>(LogonDataArea())->rc = 0;
    } else {
      logonWarning_.clear();
      raiseLastError();
    }
  }

  if (externalSVC_ != nullptr) adoptExternalSVC();

  if (statementCacheInUse()) {
    ub4 size = static_cast<ub4>(statementCacheSize_);
    OCIAttrSet(conn_->service.get(), OCI_HTYPE_SVCCTX, &size, sizeof size, OCI_ATTR_STMTCACHESIZE,
               conn_->auxError.get());
  }
  connected_ = true;
  if (!Shared()) applyStoredSettings();
}

void TOracleSession::createEnvironmentAndHandles() {
  internal::SessionConnection& c = *conn_;
  if (!c.env) {
    if (SharedEnvironment()) {
      CriticalSectionGuard guard(OCILock());
      void*& shared = internal::SharedEnvironmentHandle();
      if (shared == nullptr) {
        OCIEnv* env = nullptr;
        RecordStatus(UseNet81() ? OCIEnvCreate(&env, OCI_OBJECT | OCI_THREADED, nullptr, nullptr,
                                               nullptr, nullptr, 0, nullptr)
                                : OCIEnvInit(&env, OCI_DEFAULT, 0, nullptr));
        shared = env;
        internal::SharedEnvironmentMade();
      }
      c.env.borrow(static_cast<OCIEnv*>(shared));  // the session unit frees it at the end
    } else if (UseNet81()) {
      RecordStatus(OCIEnvCreate(c.env.out(), OCI_OBJECT + (threadSafe_ ? OCI_THREADED : 0), nullptr,
                                nullptr, nullptr, nullptr, 0, nullptr));
    } else {
      RecordStatus(
          OCIEnvInit(c.env.out(), threadSafe_ ? OCI_DEFAULT : kEnvInitNoMutex, 0, nullptr));
    }
  }
  OCIEnv* env = c.env.get();
  RecordStatus(OCIHandleAlloc(env, c.service.outVoid(), OCI_HTYPE_SVCCTX, 0, nullptr));
  RecordStatus(OCIHandleAlloc(env, c.server.outVoid(), OCI_HTYPE_SERVER, 0, nullptr));
  RecordStatus(OCIHandleAlloc(env, c.error.outVoid(), OCI_HTYPE_ERROR, 0, nullptr));
  RecordStatus(OCIHandleAlloc(env, c.auxError.outVoid(), OCI_HTYPE_ERROR, 0, nullptr));
  RecordStatus(OCIHandleAlloc(env, c.userSession.outVoid(), OCI_HTYPE_SESSION, 0, nullptr));
}

void TOracleSession::attachServer() {
  internal::SessionConnection& c = *conn_;
  if (c.serverAttached) {
    OCIServerDetach(c.server.get(), c.auxError.get(), OCI_DEFAULT);
    c.serverAttached = false;
  }
  RecordStatus(OCIServerAttach(c.server.get(), c.error.get(), ClientText(logonDatabase_),
                               static_cast<sb4>(logonDatabase_.size()), OCI_DEFAULT));
  raiseLastError();
  c.serverAttached = true;
  OCIAttrSet(c.service.get(), OCI_HTYPE_SVCCTX, c.server.get(), 0, OCI_ATTR_SERVER, c.error.get());
  OCIAttrSet(c.service.get(), OCI_HTYPE_SVCCTX, c.userSession.get(), 0, OCI_ATTR_SESSION,
             c.error.get());
}

void TOracleSession::logOnOCI8(int sessionMode) {
  internal::SessionConnection& c = *conn_;
  createEnvironmentAndHandles();
  const auto attachStart = std::chrono::steady_clock::now();
  attachServer();
  timings_.attachServer = millisecondsSince(attachStart);
  ub4 credentials = OCI_CRED_EXT;
  if (!logonUsername_.empty() || !logonPassword_.empty()) {
    OCIAttrSet(c.userSession.get(), OCI_HTYPE_SESSION, ClientText(logonUsername_),
               ClientLength(logonUsername_), OCI_ATTR_USERNAME, c.error.get());
    OCIAttrSet(c.userSession.get(), OCI_HTYPE_SESSION, ClientText(logonPassword_),
               ClientLength(logonPassword_), OCI_ATTR_PASSWORD, c.error.get());
    credentials = OCI_CRED_RDBMS;
  }
  const auto beginStart = std::chrono::steady_clock::now();
  RecordStatus(OCISessionBegin(c.service.get(), c.error.get(), c.userSession.get(), credentials,
                               static_cast<ub4>(sessionMode)));
  timings_.beginSession = millisecondsSince(beginStart);
  if (LastErrorCode() == 0) checkServerVersion();
}

void TOracleSession::checkServerVersion() {
  internal::SessionConnection& c = *conn_;
  char banner[kServerVersionBufferSize] = {};
  OCIServerVersion(c.server.get(), c.error.get(), reinterpret_cast<OraText*>(banner),
                   kServerVersionBufferSize, OCI_HTYPE_SERVER);
  serverVersion_ = banner;
  if (isCurrentServer(serverVersion_)) return;
  // An older server: this connection goes on in OCI7 mode through a logon data area.
  RecordStatus(OCISvcCtxToLda(c.service.get(), c.error.get(), &c.lda));
  c.serviceConvertedToLda = true;
  c.oci8Mode = false;
}

void TOracleSession::logOnOCI7(const std::string& connectString) {
  auto* lda = static_cast<Lda_Def*>(LogonDataArea());
  const auto start = std::chrono::steady_clock::now();
  struct Timing {
    double& target;
    std::chrono::steady_clock::time_point start;
    ~Timing() { target = millisecondsSince(start); }
  } timing{timings_.beginSession, start};
  if (OlogAvailable())
    RecordStatus(olog(lda, conn_->hda.data(), ClientText(connectString), -1, nullptr, -1, nullptr,
                      -1, OCI_DEFAULT));
  else
    RecordStatus(orlon(lda, conn_->hda.data(), ClientText(connectString), -1, nullptr, -1, 0));
}

bool TOracleSession::statementCacheInUse() const {
  if (!conn_->oci8Mode || !UseSessionPool()) return false;
  // Pools keep their own setting; until sessions take connections from a pool, the session's
  // own switch decides for a connection it opens itself.
  if (Shared()) return false;
  return statementCache_;
}

void TOracleSession::applyStoredSettings() {
  // Each setting kept while disconnected is set to unchanged and back, which runs its statement.
  if (sqlTrace_ != stUnchanged) {
    const TSQLTraceOption value = sqlTrace_;
    SetSQLTrace(stUnchanged);
    SetSQLTrace(value);
  }
  if (optimizerGoal_ != ogUnchanged) {
    const TOptimizerGoalOption value = optimizerGoal_;
    SetOptimizerGoal(ogUnchanged);
    SetOptimizerGoal(value);
  }
  if (isolationLevel_ != ilUnchanged) {
    const TIsolationLevelOption value = isolationLevel_;
    SetIsolationLevel(ilUnchanged);
    SetIsolationLevel(value);
  }
}

// --- LogOff

void TOracleSession::notifyClientsOfLogOff() {
  const auto tell = [](TSessionClient* client) {
    try {
      client->SessionLoggingOff();
    } catch (...) {
      // A component that fails to close must not keep the session connected.
    }
  };
  for (TSessionRegistryKind kind : {rkAlerter, rkPipe, rkScheduler, rkQuery})
    registries_[kind].ForEachReverse(tell);
  registries_[rkDataset].ForEachReverse([](TSessionClient* client) {
    auto* dataset = dynamic_cast<TSessionDataset*>(client);
    if (dataset == nullptr || dataset->Detachable()) return;
    try {
      dataset->Close();
    } catch (...) {
      // As above: closing goes on with the next dataset.
    }
  });
  registries_[rkLoader].ForEachReverse(tell);
}

void TOracleSession::endConnection() {
  internal::SessionConnection& c = *conn_;
  ui::BusyCursor busy(cursor_);
  OptionalLock clientLock(OCILock(), threadSafe_);
  if (Shared()) {
    void* mtsService = mtsService_;
    externalLDA_ = nullptr;
    externalSVC_ = nullptr;
    c.service.reset();
    c.server.reset();
    c.userSession.reset();
    c.env.reset();
    if (c.oci8Mode) {
      c.error.reset();
      c.auxError.reset();
    }
    if (pooling_ == spMTS && mtsService != nullptr) {
      mtsService_ = nullptr;
      mtsControlled_ = false;
      OCISvcCtx* service = static_cast<OCISvcCtx*>(mtsService);
      CheckMTSError(static_cast<std::int32_t>(OraMTSSvcRel(service)), "OraMTSSvcRel");
    }
    mtsControlled_ = false;
    return;
  }
  if (c.serviceConvertedToLda) {
    OCISvcCtx* service = c.service.get();
    RecordStatus(OCILdaToSvcCtx(&service, c.error.get(), &c.lda));
    c.oci8Mode = true;
    c.serviceConvertedToLda = false;
  }
  if (c.oci8Mode)
    RecordStatus(OCISessionEnd(c.service.get(), c.error.get(), c.userSession.get(), OCI_DEFAULT));
  else
    RecordStatus(ologof(static_cast<Lda_Def*>(LogonDataArea())));
  raiseLastError();
}

void TOracleSession::freeHandles() {
  internal::SessionConnection& c = *conn_;
  if (!c.oci8Mode || !c.env) return;
  c.server.reset();
  c.service.reset();
  c.error.reset();
  c.auxError.reset();
  c.userSession.reset();
  c.env.reset();
}

void TOracleSession::abandonConnection() {
  conn_->Abandon();
  externalLDA_ = nullptr;
  externalSVC_ = nullptr;
  mtsService_ = nullptr;
  mtsControlled_ = false;
}

void TOracleSession::LogOff() {
  // The library this session's handles came from was unloaded (FreeOCI) since: they went with
  // it, and nothing of them may be called, neither in the gone copy nor in a newly loaded one.
  const bool clientGone = conn_->ClientGone();
  if (connected_) {
    if (rollbackOnDisconnect_ && !Shared() && !clientGone) {
      try {
        Rollback();
      } catch (...) {
        // The connection closes regardless; an open transaction is rolled back by the server.
      }
    }
    notifyClientsOfLogOff();
    connected_ = false;
    ClearCaches();
    if (clientGone)
      abandonConnection();
    else
      endConnection();
    if (!ComponentState().contains(csDestroying) && OnChange) OnChange(*this);
  }
  // Also what a failed logon left attached.
  if (clientGone) abandonConnection();
  internal::SessionConnection& c = *conn_;
  if (c.serverAttached) {
    RecordStatus(OCIServerDetach(c.server.get(), c.error.get(), OCI_DEFAULT));
    c.serverAttached = false;
    raiseLastError();
  }
  freeHandles();
  registries_[rkDataset].ForEach([](TSessionClient* client) {
    auto* dataset = dynamic_cast<TSessionDataset*>(client);
    if (dataset == nullptr || !dataset->Detached()) return;
    try {
      dataset->DetachedLogOff();
    } catch (...) {
      // The dataset's own affair; the session is logged off regardless.
    }
  });
}

}  // namespace oracle
