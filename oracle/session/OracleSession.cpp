// The session's properties, connect-string handling, Connected state, registries and lifetime.
#include "oracle/session/OracleSession.h"

#include "oracle/core/Exception.h"
#include "oracle/session/SessionPool.h"
#include "oracle/session/internal/SessionConnection.h"
#include "oracle/client/OracleHome.h"
#include "ui/UiPort.h"

namespace oracle {
namespace {

bool ownerIsRemoteDataModule(const TComponent* owner) {
  return owner != nullptr &&
         UpperCaseAscii(owner->ParentClassName()).find("REMOTEDATAMODULE") != std::string::npos;
}

}  // namespace

TThreadList<TOracleSession*>& SessionList() {
  static TThreadList<TOracleSession*> sessions;
  return sessions;
}

TOracleSession::TOracleSession(TComponent* owner)
    : TComponent(owner),
      preferences_(std::make_unique<TSessionPreferences>(this, ownerIsRemoteDataModule(owner))),
      conn_(std::make_unique<internal::SessionConnection>()) {
  SessionList().Add(this);
}

TOracleSession::~TOracleSession() {
  MarkDestroying();
  try {
    LogOff();
  } catch (...) {
    // A session being freed cannot report a failed logoff; the handles go below regardless.
  }
  for (int kind = 0; kind < rkCount; ++kind) {
    const auto k = static_cast<TSessionRegistryKind>(kind);
    if (!DetachedAtDestruction(k)) continue;
    registries_[k].ForEachReverse([](TSessionClient* client) { client->SessionDetach(); });
  }
  if (pool_ != nullptr) RemoveFreeNotification(pool_);
  SessionList().Remove(this);
}

// --- Logon parameters

bool TOracleSession::storedValueRuledOut() const {
  return designConnection_ && !ComponentState().contains(csDesigning) &&
         ComponentState().contains(csReading);
}

void TOracleSession::setLogonParameter(std::string& field, const std::string& value) {
  if (value != field && !storedValueRuledOut()) field = value;
  DetectODBC();
}

void TOracleSession::SetLogonUsername(const std::string& value) {
  setLogonParameter(logonUsername_, value);
}
void TOracleSession::SetLogonPassword(const std::string& value) {
  setLogonParameter(logonPassword_, value);
}
void TOracleSession::SetLogonDatabase(const std::string& value) {
  setLogonParameter(logonDatabase_, value);
}

void TOracleSession::DetectODBC() {
  odbcLogon_ = UpperCaseAscii(logonDatabase_).find("ODBC:") != std::string::npos ||
               UpperCaseAscii(logonUsername_).find("ODBC:") != std::string::npos;
  oca60Present_ = odbcLogon_ && !ReadRegString(platform::RootKey::LocalMachine, "SOFTWARE\\ORACLE", "OCA60").empty();
}

std::string TOracleSession::ConnectString() {
  TConnectStringParts parts;
  if (ParseConnectString(logonUsername_, parts)) {
    // Stored directly: the split parts are the user's own input, ODBC detection stays as it was.
    const std::string whole = logonUsername_;
    logonUsername_ = parts.Username;
    logonPassword_ = parts.Password;
    logonDatabase_ = parts.Database;
    connectAs_ = ConnectAsFromText(parts.ConnectAs);
    return whole;
  }
  return ComposeConnectString({logonUsername_, logonPassword_, logonDatabase_,
                               ConnectAsText(connectAs_)});
}

// --- Properties refused while connected

void TOracleSession::requireDisconnected(const char* property) const {
  if (connected_)
    throw Exception(std::string("Cannot change ") + property + " property when connected");
}

void TOracleSession::SetThreadSafe(bool value) {
  if (value == threadSafe_) return;
  requireDisconnected("ThreadSafe");
  threadSafe_ = value;
}

void TOracleSession::SetPooling(TSessionPoolingOption value) {
  if (value == pooling_) return;
  requireDisconnected("Pooling");
  pooling_ = value;
  if (value != spInternal) SetPool(nullptr);
}

void TOracleSession::SetPool(TOracleSessionPool* value) {
  if (value == pool_) return;
  requireDisconnected("Pool");
  if (pool_ != nullptr) RemoveFreeNotification(pool_);
  pool_ = value;
  if (pool_ != nullptr) {
    FreeNotification(pool_);
    pooling_ = spInternal;
  }
}

void TOracleSession::SetMTSOptions(TMTSOptions value) {
  if (value == mtsOptions_) return;
  requireDisconnected("MTSOptions");
  mtsOptions_ = value;
}

void TOracleSession::SetStatementCache(bool value) {
  if (value == statementCache_) return;
  requireDisconnected("StatementCache");
  statementCache_ = value;
}

void TOracleSession::SetStatementCacheSize(std::int32_t value) {
  if (value == statementCacheSize_) return;
  statementCacheSize_ = value;
}

void TOracleSession::SetSQLTrace(TSQLTraceOption value) {
  if (value == sqlTrace_) return;
  sqlTrace_ = value;
}

void TOracleSession::SetOptimizerGoal(TOptimizerGoalOption value) {
  if (value == optimizerGoal_) return;
  optimizerGoal_ = value;
}

void TOracleSession::SetIsolationLevel(TIsolationLevelOption value) {
  if (value == isolationLevel_) return;
  isolationLevel_ = value;
}

void TOracleSession::SetBytesPerCharacter(TBytesPerCharacterOption value) {
  if (value == bytesPerCharacter_) return;
  bytesPerCharacter_ = value;
  characterWidth_ = 0;
}

// --- Connected and loading

void TOracleSession::SetConnected(bool value) {
  if (ComponentState().contains(csLoading) || ComponentState().contains(csReading)) {
    if (value && !storedValueRuledOut()) connectWhenLoaded_ = true;
    return;
  }
  connectWhenLoaded_ = false;
  if (value == connected_ || storedValueRuledOut()) return;
  if (value)
    LogOn();
  else
    LogOff();
}

void TOracleSession::Loaded() {
  TComponent::Loaded();
  if (connectWhenLoaded_) {
    connectWhenLoaded_ = false;
    try {
      LogOn();
    } catch (const std::exception& e) {
      // At design time the designer shows the failure and goes on loading the form.
      if (!ComponentState().contains(csDesigning)) throw;
      ui::port().ShowMessage(e.what());
    }
  }
  if (connected_) {
    TriggerAfterLogOn();
    if (OnChange) OnChange(*this);
  }
}

void TOracleSession::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component != nullptr && component == pool_) pool_ = nullptr;
}

void TOracleSession::TriggerBeforeLogOn() {
  if (BeforeLogOn) BeforeLogOn(*this);
}

void TOracleSession::TriggerAfterLogOn() {
  if (AfterLogOn) AfterLogOn(*this);
}

void TOracleSession::FinishLogOnAttempt() {
  if (ComponentState().contains(csReading)) return;
  TriggerAfterLogOn();
  if (OnChange) OnChange(*this);
}

// --- Numeric columns

std::pair<int, int> TOracleSession::NumericColumnType(int precision, int scale,
                                                      bool forceString) const {
  const int integerLimit = preferences_->IntegerPrecision() != 0
                               ? preferences_->IntegerPrecision()
                               : (odbcLogon_ ? 10 : 9);
  const int floatLimit = preferences_->FloatPrecision();  // 0: no limit
  bool floatColumn = false;
  if (scale == -127) {
    precision = 38;
    scale = 1;
    floatColumn = true;
  } else if (precision == 0 && scale == 0) {
    precision = 38;
  }
  if (scale <= 0 && precision <= integerLimit && !forceString) return {kClientTypeInteger, 4};
  if ((floatLimit == 0 || precision <= floatLimit) && !forceString) return {kClientTypeFloat, 8};
  int size = scale > 0 ? precision + 3 : precision + 2;
  if (floatColumn) size += 132;
  return {kClientTypeString, size};
}

// --- Registries

void TOracleSession::RegisterClient(TSessionRegistryKind kind, TSessionClient* client) {
  if (client != nullptr && !registries_[kind].Contains(client)) registries_[kind].Add(client);
}

void TOracleSession::UnregisterClient(TSessionRegistryKind kind, TSessionClient* client) {
  registries_[kind].Remove(client);
}

void TOracleSession::ReactivateDatasets() {
  if (!ComponentState().contains(csDesigning) || ComponentState().contains(csReading)) return;
  registries_[rkDataset].ForEach([](TSessionClient* client) {
    auto* dataset = dynamic_cast<TSessionDataset*>(client);
    if (dataset == nullptr) return;
    const bool wasActive = dataset->Active();
    dataset->Close();
    dataset->DataLinksPropertyChanged();
    if (!wasActive) return;
    try {
      dataset->Open();
    } catch (const std::exception& e) {
      // One dataset that cannot reopen must not stop the others.
      ui::port().ShowMessage("Error reactivating dataset " + dataset->DatasetName() + ":\r\n" +
                             e.what());
    }
  });
}

}  // namespace oracle
