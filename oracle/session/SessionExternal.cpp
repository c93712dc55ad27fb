// Connections made elsewhere that a session adopts: an OCI7 logon data area or an OCI8 service
// context with its environment, server and user session. The session borrows them (see
// internal/SessionConnection.h) and never ends or frees them.
#include "oracle/client/ClientLibrary.h"
#include "oracle/client/OCIConstants.h"
#include "oracle/client/OCIFunctions.h"
#include "oracle/core/Exception.h"
#include "oracle/session/OracleSession.h"
#include "oracle/session/SessionUnit.h"
#include "oracle/session/internal/SessionConnection.h"

namespace oracle {

using namespace oci;

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
