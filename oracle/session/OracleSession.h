// TOracleSession: one database session. Holds the logon parameters and behaviour switches,
// the connect-string rules, the Connected state with its loading rules, the registries of the
// components attached to it, and (once logged on) the client handles of its connection.
//
// Threading: see oracle/THREADING.md (who may share a session, what the session lock covers).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "oracle/core/Component.h"
#include "oracle/core/ThreadList.h"
#include "oracle/client/OracleCriticalSection.h"
#include "oracle/session/ConnectString.h"
#include "oracle/session/SessionClients.h"
#include "oracle/session/SessionPreferences.h"
#include "oracle/session/SessionTypes.h"

namespace oracle {

class TOracleSessionPool;

// How long the phases of the last logon took, in milliseconds; -1 for a phase that did not run.
struct TLogonTimings {
  double loadClient = -1;    // loading (or checking) the client library
  double attachServer = -1;  // OCI8: attaching the server
  double beginSession = -1;  // OCI8: beginning the user session; OCI7: the logon call
};

namespace internal {
struct SessionConnection;
}

// Where RaiseOracleError reads an error from: the client error handle (OCI8 mode, or no session),
// or, in OCI7 mode, the Oracle error code itself.
struct TErrorSource {
  void* errorHandle = nullptr;
  std::int32_t code = 0;
};

class TOracleSession : public TComponent {
 public:
  explicit TOracleSession(TComponent* owner);
  ~TOracleSession() override;

  const char* ClassName() const override { return "TOracleSession"; }
  const char* ParentClassName() const override { return "TComponent"; }

  // --- Events
  TOracleSessionEvent OnChange;
  TOracleSessionEvent BeforeLogOn;
  TOracleSessionEvent AfterLogOn;

  // --- Published properties
  std::int16_t Cursor() const { return cursor_; }
  void SetCursor(std::int16_t value) { cursor_ = value; }
  bool DesignConnection() const { return designConnection_; }
  void SetDesignConnection(bool value) { designConnection_ = value; }
  const std::string& LogonUsername() const { return logonUsername_; }
  void SetLogonUsername(const std::string& value);
  const std::string& LogonPassword() const { return logonPassword_; }
  void SetLogonPassword(const std::string& value);
  const std::string& LogonDatabase() const { return logonDatabase_; }
  void SetLogonDatabase(const std::string& value);
  TConnectAsOption ConnectAs() const { return connectAs_; }
  void SetConnectAs(TConnectAsOption value) { connectAs_ = value; }
  bool ThreadSafe() const { return threadSafe_; }
  void SetThreadSafe(bool value);
  TSessionPreferences& Preferences() { return *preferences_; }
  const TSessionPreferences& Preferences() const { return *preferences_; }
  void SetPreferences(const TSessionPreferences& value) { preferences_->Assign(value); }
  TSessionPoolingOption Pooling() const { return pooling_; }
  void SetPooling(TSessionPoolingOption value);
  TOracleSessionPool* Pool() const { return pool_; }
  void SetPool(TOracleSessionPool* value);
  TMTSOptions MTSOptions() const { return mtsOptions_; }
  void SetMTSOptions(TMTSOptions value);
  bool RollbackOnDisconnect() const { return rollbackOnDisconnect_; }
  void SetRollbackOnDisconnect(bool value) { rollbackOnDisconnect_ = value; }
  TNullValueOption NullValue() const { return nullValue_; }
  void SetNullValue(TNullValueOption value) { nullValue_ = value; }
  TSQLTraceOption SQLTrace() const { return sqlTrace_; }
  void SetSQLTrace(TSQLTraceOption value);
  TOptimizerGoalOption OptimizerGoal() const { return optimizerGoal_; }
  void SetOptimizerGoal(TOptimizerGoalOption value);
  TIsolationLevelOption IsolationLevel() const { return isolationLevel_; }
  void SetIsolationLevel(TIsolationLevelOption value);
  TBytesPerCharacterOption BytesPerCharacter() const { return bytesPerCharacter_; }
  void SetBytesPerCharacter(TBytesPerCharacterOption value);
  const std::string& MessageTable() const { return messageTable_; }
  void SetMessageTable(const std::string& value) { messageTable_ = value; }
  bool Shared() const { return externalLDA_ != nullptr || externalSVC_ != nullptr; }
  bool StatementCache() const { return statementCache_; }
  void SetStatementCache(bool value);
  std::int32_t StatementCacheSize() const { return statementCacheSize_; }
  void SetStatementCacheSize(std::int32_t value);
  bool Connected() const { return connected_; }
  void SetConnected(bool value);

  // --- Operations
  // Opens the connection; raises on failure and leaves Connected false.
  virtual void LogOn();
  // Closes the connection; raises when the client reports a failure.
  virtual void LogOff();
  // Changes the password of the logon user; afterwards LogonPassword holds the new one. In OCI8
  // mode it works without a connection too (attaching the server first), for expired passwords.
  virtual void ChangePassword(const std::string& newPassword);
  void Commit();
  void Rollback();

  // The raw connection for sharing it. Reading raises unless connected in the matching mode;
  // writing logs off, stores the handle and logs on over it.
  void* ExternalLDA() const;
  void SetExternalLDA(void* lda);
  void* ExternalSVC() const;
  void SetExternalSVC(void* svc);

  // --- The client call pattern: record the status of a call, then raise when there is an error.
  bool OCI8Mode() const;
  int LastStatus() const;
  // Stores a client call's result as the last status; true when it is 0.
  bool RecordStatus(int status);
  // The Oracle error code of the last call (0: none); see the error model.
  std::int32_t LastErrorCode() const;
  TErrorSource ErrorSource() const;
  // The per-session lock, taken around client calls when ThreadSafe is on.
  TOracleCriticalSection& SessionLock();
  // The session's client handles for the query engine and the error model (null when none).
  void* EnvironmentHandle() const;
  void* ErrorHandle() const;
  void* ServiceContextHandle() const;
  void* LogonDataArea();

  // The connect string of the logon parameters; splits a full connect string typed as the
  // username into the four parameters first.
  std::string ConnectString();

  // How a NUMBER of the given precision and scale is fetched: client type code and buffer size.
  std::pair<int, int> NumericColumnType(int precision, int scale, bool forceString) const;

  // --- Run-time state
  const std::string& LogonWarning() const { return logonWarning_; }
  const TLogonTimings& LastLogonTimings() const { return timings_; }
  // The server's version banner read at the last OCI8 logon; empty in OCI7 mode.
  const std::string& ServerVersion() const { return serverVersion_; }
  bool IsODBCLogon() const { return odbcLogon_; }
  bool OCA60Present() const { return oca60Present_; }
  int CachedCharacterWidth() const { return characterWidth_; }
  int CachedDateFormatLength() const { return dateFormatLength_; }
  bool MTSControlled() const { return mtsControlled_; }

  // --- Attached components
  void RegisterClient(TSessionRegistryKind kind, TSessionClient* client);
  void UnregisterClient(TSessionRegistryKind kind, TSessionClient* client);
  const TThreadList<TSessionClient*>& Registry(TSessionRegistryKind kind) const {
    return registries_[kind];
  }

  // Closes and reopens every registered dataset after a preference that shapes fields changed,
  // when in design mode and not being read from a stored form.
  void ReactivateDatasets();

  void Notification(TComponent* component, TOperation operation) override;
  void Loaded() override;

 protected:
  virtual void TriggerBeforeLogOn();
  virtual void TriggerAfterLogOn();

  // For the logon machinery and for test doubles of it.
  void SetConnectedState(bool connected) { connected_ = connected; }
  void SetLogonWarning(std::string warning) { logonWarning_ = std::move(warning); }
  void ClearCaches() {
    characterWidth_ = 0;
    dateFormatLength_ = -1;
  }
  // Fires AfterLogOn and OnChange unless the session is being read from a stored form.
  void FinishLogOnAttempt();

 private:
  bool storedValueRuledOut() const;
  void setLogonParameter(std::string& field, const std::string& value);
  void DetectODBC();
  void requireDisconnected(const char* property) const;
  void normalLogOn();
  void logOnSteps();
  void logOnOCI8(int sessionMode);
  void createEnvironmentAndHandles();
  void attachServer();
  void checkServerVersion();
  void logOnOCI7(const std::string& connectString);
  void adoptExternalSVC();
  bool statementCacheInUse() const;
  void applyStoredSettings();
  void notifyClientsOfLogOff();
  void endConnection();
  void abandonConnection();
  void freeHandles();
  void raiseLastError();
  void endTransaction(bool commit);

  std::int16_t cursor_ = -11;  // crHourGlass
  bool designConnection_ = false;
  std::string logonUsername_;
  std::string logonPassword_;
  std::string logonDatabase_;
  TConnectAsOption connectAs_ = caNormal;
  bool threadSafe_ = false;
  std::unique_ptr<TSessionPreferences> preferences_;
  TSessionPoolingOption pooling_ = spNone;
  TOracleSessionPool* pool_ = nullptr;
  TMTSOptions mtsOptions_{moImplicit, moUniqueServer};
  bool rollbackOnDisconnect_ = false;
  TNullValueOption nullValue_ = nvUnAssigned;
  TSQLTraceOption sqlTrace_ = stUnchanged;
  TOptimizerGoalOption optimizerGoal_ = ogUnchanged;
  TIsolationLevelOption isolationLevel_ = ilUnchanged;
  TBytesPerCharacterOption bytesPerCharacter_ = bc1Byte;
  std::string messageTable_;
  bool statementCache_ = false;
  std::int32_t statementCacheSize_ = 20;
  bool connected_ = false;

  std::string logonWarning_;
  int characterWidth_ = 0;
  int dateFormatLength_ = -1;
  bool odbcLogon_ = false;
  bool oca60Present_ = false;
  void* externalLDA_ = nullptr;
  void* externalSVC_ = nullptr;
  bool connectWhenLoaded_ = false;
  void* mtsService_ = nullptr;  // the service context the transaction coordinator handed out
  std::string serverVersion_;
  TLogonTimings timings_;
  bool mtsControlled_ = false;

  std::array<TThreadList<TSessionClient*>, rkCount> registries_;
  std::unique_ptr<internal::SessionConnection> conn_;
};

// Every session of the process, in creation order.
TThreadList<TOracleSession*>& SessionList();

}  // namespace oracle
