// The client call pattern of a session: the last status, the last error code and where it is
// read from, and the handles the other parts of the layer call the client with.
#include "oracle/client/ClientLibrary.h"
#include "oracle/client/OCIConstants.h"
#include "oracle/client/OCIFunctions.h"
#include "oracle/core/Exception.h"
#include "oracle/session/OracleSession.h"
#include "oracle/session/SessionUnit.h"
#include "oracle/session/internal/SessionConnection.h"

namespace oracle {

using namespace oci;

bool TOracleSession::OCI8Mode() const {
  return conn_->oci8Mode;
}
int TOracleSession::LastStatus() const {
  return conn_->lastStatus;
}

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

TOracleCriticalSection& TOracleSession::SessionLock() {
  return conn_->lock;
}
void* TOracleSession::EnvironmentHandle() const {
  return conn_->env.get();
}
void* TOracleSession::ErrorHandle() const {
  return conn_->error.get();
}
void* TOracleSession::ServiceContextHandle() const {
  return conn_->service.get();
}
void* TOracleSession::LogonDataArea() {
  return externalLDA_ != nullptr ? externalLDA_ : &conn_->lda;
}

void TOracleSession::raiseLastError() {
  if (LastErrorCode() != 0) RaiseOracleError(this, ErrorSource(), this);
}

}  // namespace oracle
