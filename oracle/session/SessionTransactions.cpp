// Commit and rollback of a session's own transaction.
#include "oracle/client/ClientLibrary.h"
#include "oracle/client/OCIConstants.h"
#include "oracle/client/OCIFunctions.h"
#include "oracle/core/Exception.h"
#include "oracle/session/OracleSession.h"
#include "oracle/session/SessionUnit.h"
#include "oracle/session/internal/OptionalLock.h"
#include "oracle/session/internal/SessionConnection.h"

namespace oracle {

using namespace oci;
using internal::OptionalLock;

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

}  // namespace oracle
