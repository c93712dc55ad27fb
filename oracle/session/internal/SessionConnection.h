// The client state of one session's connection: the six OCI8 handles, the OCI7 data areas, the
// mode flags and the last status. Internal to the session module.
#pragma once

#include <array>

#include "oracle/client/OCIConstants.h"
#include "oracle/client/OCITypes.h"
#include "oracle/client/OracleCriticalSection.h"
#include "oracle/session/internal/OciHandle.h"

namespace oracle::internal {

struct SessionConnection {
  // Declared so that destruction frees the handles before the environment they came from.
  OciHandle<oci::OCIEnv, oci::OCI_HTYPE_ENV> env;
  OciHandle<oci::OCIServer, oci::OCI_HTYPE_SERVER> server;
  OciHandle<oci::OCISvcCtx, oci::OCI_HTYPE_SVCCTX> service;
  OciHandle<oci::OCIError, oci::OCI_HTYPE_ERROR> error;
  OciHandle<oci::OCIError, oci::OCI_HTYPE_ERROR> auxError;
  OciHandle<oci::OCISession, oci::OCI_HTYPE_SESSION> userSession;

  bool serverAttached = false;
  bool envIsShared = false;  // the process-wide environment: never freed by a session

  oci::Lda_Def lda{};
  alignas(8) std::array<oci::ub1, oci::HDA_SIZE> hda{};
  bool oci8Mode = false;
  bool serviceConvertedToLda = false;
  oci::sword lastStatus = 0;

  TOracleCriticalSection lock;  // the per-session lock, used when ThreadSafe is on

  SessionConnection() = default;
  SessionConnection(const SessionConnection&) = delete;
  SessionConnection& operator=(const SessionConnection&) = delete;
  ~SessionConnection() {
    // The shared environment outlives every session.
    if (envIsShared) env.release();
    server.reset();
    service.reset();
    error.reset();
    auxError.reset();
    userSession.reset();
    env.reset();
  }
};

}  // namespace oracle::internal
