// Environments, handle and descriptor allocation, error records and ociemu's own counters.
#include <limits>

#include "ociemu/internal/Api.h"
#include "ociemu/internal/Connection.h"

using namespace ociemu;

namespace {

constexpr size_t kMaxUserMemory = size_t{1} << 30;

void* GiveUserMemory(Handle& h, size_t size, void** usrmempp) {
  if (size == 0) {
    if (usrmempp) *usrmempp = nullptr;
    return nullptr;
  }
  h.userMemory.reset(new char[size]());
  if (usrmempp) *usrmempp = h.userMemory.get();
  return h.userMemory.get();
}

sword NewEnvironment(const char* name, OCIEnv** envp, ub4 mode, size_t xtramem_sz,
                     void** usrmempp) noexcept {
  try {
    CountCall(name);
    if (!envp) return OCI_ERROR;
    *envp = nullptr;
    if (xtramem_sz > kMaxUserMemory) return OCI_ERROR;
    auto env = std::make_shared<Environment>(mode);
    env->counted = true;
    GiveUserMemory(*env, xtramem_sz, usrmempp);
    Registry::Instance().Add(env);
    *envp = reinterpret_cast<OCIEnv*>(env.get());
    return OCI_SUCCESS;
  } catch (...) {
    return OCI_ERROR;
  }
}

// Allocation of a handle or descriptor from an environment; failures are recorded on it.
template <class Make>
sword Allocate(const char* name, const void* parenth, void** outp, ub4 type, size_t xtramem_sz,
               void** usrmempp, Make make) noexcept {
  try {
    CountCall(name);
    auto env = Find<Environment>(parenth, OCI_HTYPE_ENV);
    if (!env) return OCI_INVALID_HANDLE;
    CallLock lock({env.get()});
    env->diagnostics.Clear();
    if (!outp || xtramem_sz > kMaxUserMemory) {
      env->diagnostics.Add(1009, FormatError(1009));
      return OCI_ERROR;
    }
    *outp = nullptr;
    std::shared_ptr<Handle> h = make(type, env);
    if (!h) {
      env->diagnostics.Add(24316, FormatError(24316));
      return OCI_ERROR;
    }
    GiveUserMemory(*h, xtramem_sz, usrmempp);
    *outp = h.get();
    return OCI_SUCCESS;
  } catch (const InvalidHandle&) {
    return OCI_INVALID_HANDLE;
  } catch (...) {
    return OCI_ERROR;
  }
}

sword Free(const char* name, void* p, ub4 type) noexcept {
  try {
    CountCall(name);
    auto h = FindHandle(p, type);
    if (!h) return OCI_INVALID_HANDLE;
    // Binds and defines belong to their statement and go with it.
    if (type == OCI_HTYPE_BIND || type == OCI_HTYPE_DEFINE) return OCI_ERROR;
    CallLock lock({h.get()});
    FreeHandle(*h);
    return OCI_SUCCESS;
  } catch (const InvalidHandle&) {
    return OCI_INVALID_HANDLE;
  } catch (...) {
    return OCI_ERROR;
  }
}

}  // namespace

extern "C" {

sword OCIInitialize(ub4 /*mode*/, void* /*ctxp*/, void* (* /*malocfp*/)(void*, size_t),
                    void* (* /*ralocfp*/)(void*, void*, size_t),
                    void (* /*mfreefp*/)(void*, void*)) {
  CountCall("OCIInitialize");
  return OCI_SUCCESS;
}

// The memory callbacks are accepted and not used: ociemu's memory never passes through the
// application, which only an application counting its callbacks could notice.
sword OCIEnvCreate(OCIEnv** envp, ub4 mode, void* /*ctxp*/, void* (* /*malocfp*/)(void*, size_t),
                   void* (* /*ralocfp*/)(void*, void*, size_t), void (* /*mfreefp*/)(void*, void*),
                   size_t xtramem_sz, void** usrmempp) {
  return NewEnvironment("OCIEnvCreate", envp, mode, xtramem_sz, usrmempp);
}

// The character sets chosen here are accepted and not applied: every value travels in the
// database's own set, as with OCIEnvCreate.
sword OCIEnvNlsCreate(OCIEnv** envp, ub4 mode, void* /*ctxp*/, void* (* /*malocfp*/)(void*, size_t),
                      void* (* /*ralocfp*/)(void*, void*, size_t),
                      void (* /*mfreefp*/)(void*, void*), size_t xtramem_sz, void** usrmempp,
                      ub2 /*charset*/, ub2 /*ncharset*/) {
  return NewEnvironment("OCIEnvNlsCreate", envp, mode, xtramem_sz, usrmempp);
}

sword OCIEnvInit(OCIEnv** envp, ub4 mode, size_t xtramem_sz, void** usrmempp) {
  return NewEnvironment("OCIEnvInit", envp, mode, xtramem_sz, usrmempp);
}

sword OCIHandleAlloc(const void* parenth, void** hndlpp, ub4 type, size_t xtramem_sz,
                     void** usrmempp) {
  return Allocate(
      "OCIHandleAlloc", parenth, hndlpp, type, xtramem_sz, usrmempp,
      [](ub4 t, const std::shared_ptr<Environment>& env) { return MakeHandle(t, env, true); });
}

sword OCIHandleFree(void* hndlp, ub4 type) {
  return Free("OCIHandleFree", hndlp, type);
}

sword OCIDescriptorAlloc(const void* parenth, void** descpp, ub4 type, size_t xtramem_sz,
                         void** usrmempp) {
  return Allocate(
      "OCIDescriptorAlloc", parenth, descpp, type, xtramem_sz, usrmempp,
      [](ub4 t, const std::shared_ptr<Environment>& env) { return MakeDescriptor(t, env, true); });
}

sword OCIDescriptorFree(void* descp, ub4 type) {
  return Free("OCIDescriptorFree", descp, type);
}

sword OCIErrorGet(void* hndlp, ub4 recordno, OraText* /*sqlstate*/, sb4* errcodep, OraText* bufp,
                  ub4 bufsiz, ub4 type) {
  try {
    CountCall("OCIErrorGet");
    std::shared_ptr<Handle> h;
    Diagnostics* diag = nullptr;
    if (type == OCI_HTYPE_ERROR) {
      auto err = Find<ErrorHandle>(hndlp, OCI_HTYPE_ERROR);
      if (err) diag = &err->diagnostics;
      h = err;
    } else if (type == OCI_HTYPE_ENV) {
      auto env = Find<Environment>(hndlp, OCI_HTYPE_ENV);
      if (env) diag = &env->diagnostics;
      h = env;
    }
    if (!diag) return OCI_INVALID_HANDLE;
    Diagnostics::Record record;
    if (!diag->Get(recordno, record)) return OCI_NO_DATA;
    if (errcodep) *errcodep = record.code;
    CopyOut(record.text, bufp, bufsiz);
    return OCI_SUCCESS;
  } catch (...) {
    return OCI_ERROR;
  }
}

long ociemu_live_handles(void) {
  return Registry::Instance().Counted();
}

long ociemu_live_connections(void) {
  return LiveConnections();
}

long ociemu_call_count(const char* name) {
  try {
    return CallCount(name);
  } catch (...) {
    return 0;
  }
}

void ociemu_reset_call_counts(void) {
  try {
    ResetCallCounts();
  } catch (...) {
  }
}

}  // extern "C"
