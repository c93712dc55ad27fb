// Logon and logoff of a session over the client library, in OCI8 or OCI7 mode, with the
// adoption of external connections and the transaction server; commit, rollback and the
// password change that work on the same handles.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <optional>

#include "oracle/client/ClientLibrary.h"
#include "oracle/client/OCIConstants.h"
#include "oracle/client/OCIFunctions.h"
#include "oracle/client/OracleHome.h"
#include "oracle/core/Exception.h"
#include "oracle/session/OracleError.h"
#include "oracle/session/OracleSession.h"
#include "oracle/session/SessionUnit.h"
#include "oracle/session/internal/SessionConnection.h"
#include "ui/UiPort.h"

namespace oracle {
namespace {

using namespace oci;

constexpr sb4 kPasswordWillExpire = 28002;
constexpr sb4 kPasswordInGrace = 28011;
constexpr ub4 kServerVersionBufferSize = 501;
// OCIEnvInit's mode without mutexes in the clients that have no OCIEnvCreate.
constexpr ub4 kEnvInitNoMutex = 8;

OraText* cText(const std::string& s) {
  // The client takes non-const text pointers for input it does not change.
  return reinterpret_cast<OraText*>(const_cast<char*>(s.c_str()));
}

ub4 length(const std::string& s) { return static_cast<ub4>(s.size()); }

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

// Holds a lock for the scope when asked to (OCILock or the session lock under ThreadSafe, the
// session lock in OCI7 mode).
class OptionalLock {
 public:
  OptionalLock(TOracleCriticalSection& section, bool take) : section_(take ? &section : nullptr) {
    if (section_ != nullptr) section_->Enter();
  }
  ~OptionalLock() {
    if (section_ != nullptr) section_->Leave();
  }
  OptionalLock(const OptionalLock&) = delete;
  OptionalLock& operator=(const OptionalLock&) = delete;

 private:
  TOracleCriticalSection* section_;
};

}  // namespace

// --- The client call pattern

bool TOracleSession::OCI8Mode() const { return conn_->oci8Mode; }
int TOracleSession::LastStatus() const { return conn_->lastStatus; }

bool TOracleSession::RecordStatus(int status) {
  conn_->lastStatus = status;
  return status == 0;
}

std::int32_t TOracleSession::LastErrorCode() const {
  if (!conn_->oci8Mode) {
    const Lda_Def* lda =
        externalLDA_ != nullptr ? static_cast<const Lda_Def*>(externalLDA_) : &conn_->lda;
    return lda->rc;
  }
  if (conn_->lastStatus != OCI_ERROR && conn_->lastStatus != OCI_SUCCESS_WITH_INFO)
    return conn_->lastStatus;
  sb4 code = 0;
  OCIErrorGet(conn_->error.get(), 1, nullptr, &code, nullptr, 0, OCI_HTYPE_ERROR);
  return code;
}

TErrorSource TOracleSession::ErrorSource() const {
  if (conn_->oci8Mode) return {conn_->error.get(), 0};
  return {nullptr, LastErrorCode()};
}

TOracleCriticalSection& TOracleSession::SessionLock() { return conn_->lock; }
void* TOracleSession::EnvironmentHandle() const { return conn_->env.get(); }
void* TOracleSession::ErrorHandle() const { return conn_->error.get(); }
void* TOracleSession::ServiceContextHandle() const { return conn_->service.get(); }
void* TOracleSession::LogonDataArea() {
  return externalLDA_ != nullptr ? externalLDA_ : &conn_->lda;
}

void TOracleSession::raiseLastError() {
  if (LastErrorCode() != 0) RaiseOracleError(this, ErrorSource(), this);
}

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
  const int flags = (mtsOptions_.contains(moImplicit) ? 0 : 1) +
                    (mtsOptions_.contains(moUniqueServer) ? 2 : 0);
  OCISvcCtx* service = nullptr;
  OCIEnv* environment = nullptr;
  const OraMTSStatus status =
      OraMTSSvcGet(cText(logonUsername_), cText(logonPassword_), cText(logonDatabase_), &service,
                   &environment, static_cast<ub4>(flags));
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
      RecordStatus(OCIEnvCreate(c.env.out(), OCI_OBJECT + (threadSafe_ ? OCI_THREADED : 0),
                                nullptr, nullptr, nullptr, nullptr, 0, nullptr));
    } else {
      RecordStatus(OCIEnvInit(c.env.out(), threadSafe_ ? OCI_DEFAULT : kEnvInitNoMutex, 0, nullptr));
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
  RecordStatus(OCIServerAttach(c.server.get(), c.error.get(), cText(logonDatabase_),
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
    OCIAttrSet(c.userSession.get(), OCI_HTYPE_SESSION, cText(logonUsername_),
               length(logonUsername_), OCI_ATTR_USERNAME, c.error.get());
    OCIAttrSet(c.userSession.get(), OCI_HTYPE_SESSION, cText(logonPassword_),
               length(logonPassword_), OCI_ATTR_PASSWORD, c.error.get());
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
    RecordStatus(olog(lda, conn_->hda.data(), cText(connectString), -1, nullptr, -1, nullptr, -1,
                      OCI_DEFAULT));
  else
    RecordStatus(orlon(lda, conn_->hda.data(), cText(connectString), -1, nullptr, -1, 0));
}

void TOracleSession::adoptExternalSVC() {
  internal::SessionConnection& c = *conn_;
  c.oci8Mode = true;
  // The service context and what hangs on it belong to whoever made it.
  c.service.borrow(static_cast<OCISvcCtx*>(externalSVC_));
  // The service context's environment is read through a temporary environment of our own.
  {
    internal::OciHandle<OCIEnv, OCI_HTYPE_ENV> temporaryEnv;
    internal::OciHandle<OCIError, OCI_HTYPE_ERROR> temporaryError;
    OCIEnvInit(temporaryEnv.out(), OCI_DEFAULT, 0, nullptr);
    OCIHandleAlloc(temporaryEnv.get(), temporaryError.outVoid(), OCI_HTYPE_ERROR, 0, nullptr);
    OCIEnv* environment = nullptr;
    OCIAttrGet(c.service.get(), OCI_HTYPE_SVCCTX, &environment, nullptr, OCI_ATTR_ENV,
               temporaryError.get());
    temporaryError.reset();
    temporaryEnv.reset();
    c.env.borrow(environment);
  }
  OCIHandleAlloc(c.env.get(), c.error.outVoid(), OCI_HTYPE_ERROR, 0, nullptr);
  OCIHandleAlloc(c.env.get(), c.auxError.outVoid(), OCI_HTYPE_ERROR, 0, nullptr);
  OCIServer* server = nullptr;
  OCISession* userSession = nullptr;
  OCIAttrGet(c.service.get(), OCI_HTYPE_SVCCTX, &server, nullptr, OCI_ATTR_SERVER, c.error.get());
  OCIAttrGet(c.service.get(), OCI_HTYPE_SVCCTX, &userSession, nullptr, OCI_ATTR_SESSION,
             c.error.get());
  c.server.borrow(server);
  c.userSession.borrow(userSession);
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

// --- Transactions and the password

void TOracleSession::endTransaction(bool commit) {
  if (mtsControlled_)
    throw Exception(commit ? "Cannot commit an MTS Controlled Transaction"
                           : "Cannot rollback an MTS Controlled Transaction");
  // The session lock guards the logon data area in OCI7 mode, up to the error text read from it.
  OptionalLock sessionLock(conn_->lock, !conn_->oci8Mode);
  if (conn_->oci8Mode)
    RecordStatus(commit ? OCITransCommit(conn_->service.get(), conn_->error.get(), OCI_DEFAULT)
                        : OCITransRollback(conn_->service.get(), conn_->error.get(), OCI_DEFAULT));
  else
    RecordStatus(commit ? ocom(static_cast<Lda_Def*>(LogonDataArea()))
                        : orol(static_cast<Lda_Def*>(LogonDataArea())));
  raiseLastError();
}

void TOracleSession::Commit() {
  if (!connected_) return;
  endTransaction(true);
}

void TOracleSession::Rollback() {
  if (!connected_) return;
  endTransaction(false);
}

void TOracleSession::ChangePassword(const std::string& newPassword) {
  if (odbcLogon_ && !oca60Present_ && OCIDLL().empty()) SetOCIDLL("ora73.dll");
  {
    ui::BusyCursor busy(cursor_);
    InitOCI();
  }
  // Handles of an unloaded copy of the library are dropped first; the change then attaches anew.
  if (conn_->ClientGone()) LogOff();
  internal::SessionConnection& c = *conn_;
  if (!c.oci8Mode) {
    // Through a statement of the session's own; that needs the query engine of a later version.
    throw Exception("Changing a password in OCI7 mode is not available in this version");
  }
  {
    ui::BusyCursor busy(cursor_);
    if (!c.serverAttached) {
      ConnectString();
      c.clientGeneration = ClientGeneration();
      createEnvironmentAndHandles();
      attachServer();
    }
    RecordStatus(OCIPasswordChange(c.service.get(), c.error.get(), cText(logonUsername_),
                                   length(logonUsername_), cText(logonPassword_),
                                   length(logonPassword_), cText(newPassword), length(newPassword),
                                   OCI_DEFAULT));
  }
  raiseLastError();
  logonPassword_ = newPassword;
}

// --- External connections

void* TOracleSession::ExternalLDA() const {
  if (!connected_ || conn_->oci8Mode)
    throw Exception("ExternalLDA only valid when connected through OCI7");
  return externalLDA_ != nullptr ? externalLDA_ : &conn_->lda;
}

void TOracleSession::SetExternalLDA(void* lda) {
  LogOff();
  if (lda == nullptr) return;
  externalLDA_ = lda;
  LogOn();
}

void* TOracleSession::ExternalSVC() const {
  if (!connected_ || !conn_->oci8Mode)
    throw Exception("ExternalSVC only valid when connected through OCI8");
  return conn_->service.get();
}

void TOracleSession::SetExternalSVC(void* svc) {
  InitOCI();
  if (!Net8Available() || preferences_->UseOCI7() || ForceOCI7())
    throw Exception("ExternalSVC only valid with OCI8");
  LogOff();
  if (svc == nullptr) return;
  externalSVC_ = svc;
  LogOn();
}

}  // namespace oracle
