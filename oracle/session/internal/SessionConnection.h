// The client state of one session's connection: the six OCI8 handles, the OCI7 data areas, the
// mode flags and the last status. Internal to the session module.
//
// Ownership: the error handles are always the session's own. The environment, server, service
// context and user session are the session's own when it logs on itself; the shared environment
// and the handles of an external service context are borrowed (SessionHandle::borrow) and never
// freed here.
#pragma once

#include <array>
#include <cstdint>

#include "oracle/client/ClientLibrary.h"
#include "oracle/client/OCIConstants.h"
#include "oracle/client/OCITypes.h"
#include "oracle/client/OracleCriticalSection.h"
#include "oracle/session/internal/OciHandle.h"

namespace oracle::internal {

struct SessionConnection {
  // Declared so that destruction frees the handles before the environment they came from.
  SessionHandle<oci::OCIEnv, oci::OCI_HTYPE_ENV> env;
  SessionHandle<oci::OCIServer, oci::OCI_HTYPE_SERVER> server;
  SessionHandle<oci::OCISvcCtx, oci::OCI_HTYPE_SVCCTX> service;
  OciHandle<oci::OCIError, oci::OCI_HTYPE_ERROR> error;
  OciHandle<oci::OCIError, oci::OCI_HTYPE_ERROR> auxError;
  SessionHandle<oci::OCISession, oci::OCI_HTYPE_SESSION> userSession;

  bool serverAttached = false;

  oci::Lda_Def lda{};
  alignas(8) std::array<oci::ub1, oci::HDA_SIZE> hda{};
  bool oci8Mode = false;
  bool serviceConvertedToLda = false;
  oci::sword lastStatus = 0;

  // The copy of the client library this connection's state belongs to (0: none yet).
  std::uint64_t clientGeneration = 0;

  TOracleCriticalSection lock;  // the per-session lock, used when ThreadSafe is on

  SessionConnection() = default;
  SessionConnection(const SessionConnection&) = delete;
  SessionConnection& operator=(const SessionConnection&) = delete;
  ~SessionConnection() {
    server.reset();
    service.reset();
    error.reset();
    auxError.reset();
    userSession.reset();
    env.reset();
  }

  // True when the library this state came from was unloaded since: nothing of it may be called.
  bool ClientGone() const {
    return clientGeneration != 0 && clientGeneration != ClientGeneration();
  }
  // Forgets every handle and the attachment without a call (their memory went with the library).
  void Abandon() {
    server.reset();
    service.reset();
    error.reset();
    auxError.reset();
    userSession.reset();
    env.reset();
    serverAttached = false;
    serviceConvertedToLda = false;
    lastStatus = 0;
    clientGeneration = 0;
  }
};

}  // namespace oracle::internal
