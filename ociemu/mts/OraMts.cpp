// The transaction-coordinator stand-in (liboramts.so). It hands out connections made through
// the client library beside it (the libclntsh.so of the same folder, loaded by name like any
// client program would), and answers with the coordinator's status codes. No distributed
// transaction coordinator exists on this platform, so enlisting is refused honestly.
#include <dlfcn.h>

#include <map>
#include <mutex>
#include <string>

#include "ociemu/Oci.h"

namespace {

// Status codes of the coordinator library.
constexpr ub4 kNoError = 0;
constexpr ub4 kDispenserFailed = 1002;
constexpr ub4 kInvalidSvcCtx = 1004;
constexpr ub4 kAttachFailed = 3002;
constexpr ub4 kLogonFailed = 4002;
constexpr ub4 kLogoffFailed = 4003;
constexpr ub4 kInvalidArgs = 6001;
constexpr ub4 kNoProxyServer = 6006;
constexpr ub4 kNotEnlisted = 6008;
constexpr ub4 kHandleAllocFailed = 6012;

constexpr ub4 kFlagSysdba = 0x4;
constexpr ub4 kFlagSysoper = 0x10;

struct Client {
  void* library = nullptr;
  decltype(&OCIEnvCreate) envCreate = nullptr;
  decltype(&OCIEnvInit) envInit = nullptr;
  decltype(&OCIHandleAlloc) handleAlloc = nullptr;
  decltype(&OCIHandleFree) handleFree = nullptr;
  decltype(&OCIServerAttach) serverAttach = nullptr;
  decltype(&OCIServerDetach) serverDetach = nullptr;
  decltype(&OCISessionBegin) sessionBegin = nullptr;
  decltype(&OCISessionEnd) sessionEnd = nullptr;
  decltype(&OCIAttrSet) attrSet = nullptr;

  ~Client() {
    if (library) dlclose(library);
  }
};

struct Pooled {
  OCIEnv* env = nullptr;
  OCIServer* server = nullptr;
  OCISession* session = nullptr;
  OCIError* error = nullptr;
};

std::mutex& Lock() {
  static std::mutex mutex;
  return mutex;
}

std::map<OCISvcCtx*, Pooled>& Connections() {
  static std::map<OCISvcCtx*, Pooled> connections;
  return connections;
}

template <class F>
void Bind(void* library, F& slot, const char* name) {
  slot = reinterpret_cast<F>(dlsym(library, name));
}

// The client beside this library, loaded on first use.
Client* LoadClient() {
  static Client client;
  if (client.library) return &client;
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&LoadClient), &info) == 0 || !info.dli_fname) return nullptr;
  std::string path = info.dli_fname;
  auto slash = path.find_last_of('/');
  path = (slash == std::string::npos ? std::string(".") : path.substr(0, slash)) + "/libclntsh.so";
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) return nullptr;
  Bind(library, client.envCreate, "OCIEnvCreate");
  Bind(library, client.envInit, "OCIEnvInit");
  Bind(library, client.handleAlloc, "OCIHandleAlloc");
  Bind(library, client.handleFree, "OCIHandleFree");
  Bind(library, client.serverAttach, "OCIServerAttach");
  Bind(library, client.serverDetach, "OCIServerDetach");
  Bind(library, client.sessionBegin, "OCISessionBegin");
  Bind(library, client.sessionEnd, "OCISessionEnd");
  Bind(library, client.attrSet, "OCIAttrSet");
  if ((!client.envCreate && !client.envInit) || !client.handleAlloc || !client.handleFree ||
      !client.serverAttach || !client.serverDetach || !client.sessionBegin || !client.sessionEnd ||
      !client.attrSet) {
    dlclose(library);
    return nullptr;
  }
  client.library = library;
  return &client;
}

ub4 Length(const text* s) {
  ub4 n = 0;
  if (s) {
    while (s[n]) ++n;
  }
  return n;
}

ub4 Get(text* user, text* password, text* database, OCISvcCtx** svcOut, OCIEnv** envOut,
        ub4 flags) {
  if (!svcOut || !envOut) return kInvalidArgs;
  *svcOut = nullptr;
  *envOut = nullptr;
  std::lock_guard<std::mutex> guard(Lock());
  Client* c = LoadClient();
  if (!c) return kDispenserFailed;

  Pooled p;
  OCISvcCtx* svc = nullptr;
  sword rc = c->envCreate ? c->envCreate(&p.env, OCI_THREADED | OCI_OBJECT, nullptr, nullptr,
                                         nullptr, nullptr, 0, nullptr)
                          : c->envInit(&p.env, OCI_DEFAULT, 0, nullptr);
  if (rc != OCI_SUCCESS) return kHandleAllocFailed;
  auto fail = [&](ub4 status) {
    c->handleFree(p.env, OCI_HTYPE_ENV);
    return status;
  };
  if (c->handleAlloc(p.env, reinterpret_cast<void**>(&p.error), OCI_HTYPE_ERROR, 0, nullptr) ||
      c->handleAlloc(p.env, reinterpret_cast<void**>(&p.server), OCI_HTYPE_SERVER, 0, nullptr) ||
      c->handleAlloc(p.env, reinterpret_cast<void**>(&svc), OCI_HTYPE_SVCCTX, 0, nullptr) ||
      c->handleAlloc(p.env, reinterpret_cast<void**>(&p.session), OCI_HTYPE_SESSION, 0, nullptr)) {
    return fail(kHandleAllocFailed);
  }
  if (c->serverAttach(p.server, p.error, database, static_cast<sb4>(Length(database)),
                      OCI_DEFAULT) != OCI_SUCCESS) {
    return fail(kAttachFailed);
  }
  c->attrSet(svc, OCI_HTYPE_SVCCTX, p.server, 0, OCI_ATTR_SERVER, p.error);
  c->attrSet(p.session, OCI_HTYPE_SESSION, user, Length(user), OCI_ATTR_USERNAME, p.error);
  c->attrSet(p.session, OCI_HTYPE_SESSION, password, Length(password), OCI_ATTR_PASSWORD, p.error);
  ub4 mode = OCI_DEFAULT;
  if (flags & kFlagSysdba) mode |= OCI_SYSDBA;
  if (flags & kFlagSysoper) mode |= OCI_SYSOPER;
  rc = c->sessionBegin(svc, p.error, p.session, OCI_CRED_RDBMS, mode);
  if (rc != OCI_SUCCESS && rc != OCI_SUCCESS_WITH_INFO) {
    c->serverDetach(p.server, p.error, OCI_DEFAULT);
    return fail(kLogonFailed);
  }
  c->attrSet(svc, OCI_HTYPE_SVCCTX, p.session, 0, OCI_ATTR_SESSION, p.error);
  Connections()[svc] = p;
  *svcOut = svc;
  *envOut = p.env;
  return kNoError;
}

ub4 Release(OCISvcCtx* svc) {
  std::lock_guard<std::mutex> guard(Lock());
  auto it = Connections().find(svc);
  if (it == Connections().end()) return kInvalidSvcCtx;
  Pooled p = it->second;
  Connections().erase(it);
  Client* c = LoadClient();
  ub4 status = kNoError;
  if (c->sessionEnd(svc, p.error, p.session, OCI_DEFAULT) != OCI_SUCCESS) status = kLogoffFailed;
  c->serverDetach(p.server, p.error, OCI_DEFAULT);
  c->handleFree(p.env, OCI_HTYPE_ENV);
  return status;
}

ub4 Enlist(OCISvcCtx* svc, void* transaction) {
  std::lock_guard<std::mutex> guard(Lock());
  if (Connections().find(svc) == Connections().end()) return kInvalidSvcCtx;
  return transaction ? kNoProxyServer : kNotEnlisted;
}

}  // namespace

extern "C" {

OCIEMU_API ub4 OraMTSSvcGet(text* lpUname, text* lpPsswd, text* lpDbnam, OCISvcCtx** pOCISvc,
                            OCIEnv** pOCIEnv, ub4 ConFlgs) {
  try {
    return Get(lpUname, lpPsswd, lpDbnam, pOCISvc, pOCIEnv, ConFlgs);
  } catch (...) {
    return kDispenserFailed;
  }
}

OCIEMU_API ub4 OraMTSSvcRel(OCISvcCtx* OCISvc) {
  try {
    return Release(OCISvc);
  } catch (...) {
    return kInvalidSvcCtx;
  }
}

OCIEMU_API ub4 OraMTSSvcEnlist(OCISvcCtx* OCISvc, OCIError* /*OCIErr*/, void* lpTrans,
                               ub4 /*dwFlags*/) {
  try {
    return Enlist(OCISvc, lpTrans);
  } catch (...) {
    return kInvalidSvcCtx;
  }
}

OCIEMU_API ub4 OraMTSSvcEnlistEx(OCISvcCtx* OCISvc, OCIError* /*OCIErr*/, void* lpTrans,
                                 ub4 /*dwFlags*/, char* /*lpDBName*/) {
  try {
    return Enlist(OCISvc, lpTrans);
  } catch (...) {
    return kInvalidSvcCtx;
  }
}

// No coordinator runs here, so a caller is never inside one of its transactions.
OCIEMU_API int OraMTSTransTest(void) {
  return 0;
}

}  // extern "C"
