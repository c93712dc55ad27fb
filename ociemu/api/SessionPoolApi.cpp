// Session pools: OCISessionPoolCreate, OCISessionGet, OCISessionRelease,
// OCISessionPoolDestroy, and the pool's attributes. A pooled connection is an attached server
// with a begun session behind a service context the pool owns; while the application holds it,
// it counts as the application's handle.
#include <map>
#include <mutex>

#include "ociemu/internal/Api.h"
#include "ociemu/internal/AttributeAccess.h"
#include "ociemu/internal/Database.h"
#include "ociemu/internal/Lasting.h"
#include "ociemu/internal/SessionPool.h"

using namespace ociemu;

namespace ociemu {
namespace {

std::mutex poolMutex;
std::map<std::string, std::weak_ptr<PoolHandle>>& Pools() {
  return Lasting<std::map<std::string, std::weak_ptr<PoolHandle>>>();
}

}  // namespace

std::shared_ptr<PoolHandle> FindPool(const std::string& name) {
  std::lock_guard<std::mutex> g(poolMutex);
  auto it = Pools().find(name);
  return it == Pools().end() ? nullptr : it->second.lock();
}

void RegisterPool(const std::shared_ptr<PoolHandle>& pool) {
  std::lock_guard<std::mutex> g(poolMutex);
  Pools()[pool->name] = pool;
}

void UnregisterPool(const std::string& name) {
  std::lock_guard<std::mutex> g(poolMutex);
  Pools().erase(name);
}

namespace {

// Ends a connection made for a pool or for OCISessionGet and frees its handles.
void Close(SvcCtxHandle& svc) {
  if (SessionHandle* s = svc.LiveSession()) {
    try {
      s->End(true);
    } catch (...) {
    }
  }
  if (svc.server && svc.server->conn) svc.server->conn->Close();
  FreeHandle(svc);
}

// A new connection with a begun session, owned by the service context it returns.
std::shared_ptr<SvcCtxHandle> Connect(const std::shared_ptr<Environment>& env,
                                      const std::string& connect, const std::string& user,
                                      const std::string& password, ub4 mode, Diagnostics* diag,
                                      sword& status) {
  auto svc = std::static_pointer_cast<SvcCtxHandle>(MakeHandle(OCI_HTYPE_SVCCTX, env, false));
  svc->fromLogon = true;
  svc->fromSessionGet = true;
  svc->server = std::static_pointer_cast<ServerHandle>(MakeHandle(OCI_HTYPE_SERVER, env, false));
  svc->session = std::static_pointer_cast<SessionHandle>(MakeHandle(OCI_HTYPE_SESSION, env, false));
  try {
    svc->server->conn = Connection::Attach(connect, "OCISessionGet");
    svc->session->username = user;
    svc->session->password = password;
    status = BeginSession(*svc, *svc->session, diag, false, mode);
    return svc;
  } catch (...) {
    Close(*svc);
    throw;
  }
}

std::string SessionUser(const std::string& user) {
  return NormalizeName(user);
}

}  // namespace

void PoolHandle::CloseAll() {
  auto all = std::move(entries);
  entries.clear();
  for (auto& e : all) {
    if (!e.svc->Freed()) Close(*e.svc);
  }
}

void PoolHandle::Release() {
  CloseAll();
  if (created) UnregisterPool(name);
  created = false;
}

bool SetPoolAttribute(Handle& target, void* attributep, ub4 attrtype) {
  if (target.Type() != OCI_HTYPE_SPOOL) return false;
  auto& pool = static_cast<PoolHandle&>(target);
  switch (attrtype) {
    case OCI_ATTR_SPOOL_TIMEOUT:
      pool.timeout = ReadUb4(attributep);
      return true;
    case OCI_ATTR_SPOOL_GETMODE:
      if (!attributep) throw OracleError(1009);
      pool.getMode = *static_cast<const ub1*>(attributep);
      return true;
    case OCI_ATTR_SPOOL_STMTCACHESIZE:
      pool.stmtCacheSize = ReadUb4(attributep);
      return true;
  }
  throw OracleError(24315);
}

bool GetPoolAttribute(Handle& target, void* attributep, ub4* sizep, ub4 attrtype) {
  if (target.Type() != OCI_HTYPE_SPOOL) return false;
  auto& pool = static_cast<PoolHandle&>(target);
  ub4 busy = 0;
  for (const auto& e : pool.entries) busy += e.busy ? 1 : 0;
  auto put = [&](ub4 v) { PutAttribute(attributep, sizep, &v, sizeof v); };
  switch (attrtype) {
    case OCI_ATTR_SPOOL_BUSY_COUNT:
      put(busy);
      return true;
    case OCI_ATTR_SPOOL_OPEN_COUNT:
      put(static_cast<ub4>(pool.entries.size()));
      return true;
    case OCI_ATTR_SPOOL_MIN:
      put(pool.min);
      return true;
    case OCI_ATTR_SPOOL_MAX:
      put(pool.max);
      return true;
    case OCI_ATTR_SPOOL_INCR:
      put(pool.increment);
      return true;
    case OCI_ATTR_SPOOL_TIMEOUT:
      put(pool.timeout);
      return true;
    case OCI_ATTR_SPOOL_STMTCACHESIZE:
      put(pool.stmtCacheSize);
      return true;
    case OCI_ATTR_SPOOL_GETMODE:
      PutAttribute(attributep, sizep, &pool.getMode, sizeof pool.getMode);
      return true;
  }
  throw OracleError(24315);
}

}  // namespace ociemu

extern "C" {

sword OCISessionPoolCreate(OCIEnv* envhp, OCIError* errhp, OCISPool* spoolhp, OraText** poolName,
                           ub4* poolNameLen, const OraText* connStr, ub4 connStrLen, ub4 sessMin,
                           ub4 sessMax, ub4 sessIncr, OraText* userid, ub4 useridLen,
                           OraText* password, ub4 passwordLen, ub4 mode) {
  return WithError("OCISessionPoolCreate", errhp, [&](Diagnostics* diag) -> sword {
    auto env = Require<Environment>(envhp, OCI_HTYPE_ENV);
    auto pool = Require<PoolHandle>(spoolhp, OCI_HTYPE_SPOOL);
    CallLock lock({env.get(), pool.get()});
    if (!poolName || !poolNameLen) throw OracleError(1009);
    if (pool->created && !(mode & OCI_SPC_REINITIALIZE)) throw OracleError(24300);
    if (!pool->created) {
      static std::atomic<long> counter{0};
      pool->connect = TextArg(connStr, connStrLen);
      pool->name = "OCIEMU_POOL_" + std::to_string(++counter) + ":" + pool->connect;
    }
    pool->user = TextArg(userid, useridLen);
    pool->password = TextArg(password, passwordLen);
    pool->homogeneous = (mode & OCI_SPC_HOMOGENEOUS) != 0;
    pool->min = sessMin;
    pool->max = sessMax;
    pool->increment = sessIncr ? sessIncr : 1;
    if (pool->homogeneous && pool->user.empty()) throw OracleError(24415);
    // The minimum is opened at once, so a pool that cannot connect says so now.
    sword status = OCI_SUCCESS;
    while (pool->entries.size() < pool->min && !pool->user.empty()) {
      auto svc = Connect(pool->EnvPtr(), pool->connect, pool->user, pool->password, OCI_DEFAULT,
                         diag, status);
      svc->pool = pool;
      pool->entries.push_back({svc, SessionUser(pool->user), false});
    }
    if (!pool->created) {
      pool->created = true;
      RegisterPool(pool);
    }
    *poolName = reinterpret_cast<OraText*>(pool->name.data());
    *poolNameLen = static_cast<ub4>(pool->name.size());
    return status;
  });
}

sword OCISessionPoolDestroy(OCISPool* spoolhp, OCIError* errhp, ub4 mode) {
  return WithError("OCISessionPoolDestroy", errhp, [&](Diagnostics*) -> sword {
    auto pool = Require<PoolHandle>(spoolhp, OCI_HTYPE_SPOOL);
    CallLock lock({pool.get()});
    if (!pool->created) throw OracleError(24416);
    for (const auto& e : pool->entries) {
      if (e.busy && !(mode & OCI_SPD_FORCE)) throw OracleError(24422);
    }
    pool->Release();
    return OCI_SUCCESS;
  });
}

sword OCISessionGet(OCIEnv* envhp, OCIError* errhp, OCISvcCtx** svchp, OCIAuthInfo* authhp,
                    OraText* poolName, ub4 poolName_len, const OraText* /*tagInfo*/,
                    ub4 /*tagInfo_len*/, OraText** retTagInfo, ub4* retTagInfo_len, boolean* found,
                    ub4 mode) {
  return WithError("OCISessionGet", errhp, [&](Diagnostics* diag) -> sword {
    auto env = Require<Environment>(envhp, OCI_HTYPE_ENV);
    std::shared_ptr<SessionHandle> auth;
    if (authhp) auth = Require<SessionHandle>(authhp, OCI_HTYPE_AUTHINFO);
    if (!svchp) throw OracleError(1009);
    *svchp = nullptr;
    if (retTagInfo) *retTagInfo = nullptr;
    if (retTagInfo_len) *retTagInfo_len = 0;
    if (found) *found = 0;  // tags are not kept
    const std::string name = TextArg(poolName, poolName_len);
    const ub4 sessionMode = (mode & OCI_SESSGET_SYSDBA) ? OCI_SYSDBA : OCI_DEFAULT;
    sword status = OCI_SUCCESS;
    if (!(mode & OCI_SESSGET_SPOOL)) {
      // Without a pool the name is a connect string and the connection is the caller's alone.
      CallLock lock({env.get(), auth.get()});
      if (!auth || auth->username.empty()) throw OracleError(24415);
      auto svc = Connect(env, name, auth->username, auth->password, sessionMode, diag, status);
      Registry::Instance().SetCounted(*svc, true);
      *svchp = reinterpret_cast<OCISvcCtx*>(svc.get());
      return status;
    }
    auto pool = FindPool(name);
    if (!pool || pool->Freed()) throw OracleError(24416);
    CallLock lock({env.get(), pool.get(), auth.get()});
    const bool own = !pool->homogeneous && auth && !auth->username.empty();
    const std::string user = own ? auth->username : pool->user;
    const std::string password = own ? auth->password : pool->password;
    if (user.empty()) throw OracleError(24415);
    const std::string account = SessionUser(user);
    for (auto& e : pool->entries) {
      if (!e.busy && e.user == account && e.svc->LiveSession() && sessionMode == OCI_DEFAULT &&
          (!own || e.svc->LiveSession()->password == password)) {
        e.busy = true;
        Registry::Instance().SetCounted(*e.svc, true);
        *svchp = reinterpret_cast<OCISvcCtx*>(e.svc.get());
        return OCI_SUCCESS;
      }
    }
    ub4 busy = 0;
    for (const auto& e : pool->entries) busy += e.busy ? 1 : 0;
    if (pool->max && busy >= pool->max) throw OracleError(24418);
    // Idle connections of other users make room for this one.
    if (pool->max && pool->entries.size() >= pool->max) {
      for (auto it = pool->entries.begin(); it != pool->entries.end(); ++it) {
        if (!it->busy) {
          Close(*it->svc);
          pool->entries.erase(it);
          break;
        }
      }
    }
    auto svc = Connect(pool->EnvPtr(), pool->connect, user, password, sessionMode, diag, status);
    svc->pool = pool;
    svc->stmtCacheSize = pool->stmtCacheSize;
    pool->entries.push_back({svc, account, true});
    Registry::Instance().SetCounted(*svc, true);
    *svchp = reinterpret_cast<OCISvcCtx*>(svc.get());
    return status;
  });
}

sword OCISessionRelease(OCISvcCtx* svchp, OCIError* errhp, OraText* /*tag*/, ub4 /*tag_len*/,
                        ub4 mode) {
  return WithError("OCISessionRelease", errhp, [&](Diagnostics*) -> sword {
    auto svc = Require<SvcCtxHandle>(svchp, OCI_HTYPE_SVCCTX);
    if (!svc->fromSessionGet) throw OracleError(3001);
    auto pool = std::static_pointer_cast<PoolHandle>(svc->pool.lock());
    CallLock lock({svc.get(), pool.get()});
    if (pool && !pool->Freed()) {
      for (auto it = pool->entries.begin(); it != pool->entries.end(); ++it) {
        if (it->svc != svc) continue;
        Registry::Instance().SetCounted(*svc, false);
        if ((mode & OCI_SESSRLS_DROPSESS) || !svc->LiveSession()) {
          pool->entries.erase(it);
          Close(*svc);
        } else {
          // What the borrower left uncommitted goes back with the connection undone.
          svc->LiveSession()->conn->Rollback();
          it->busy = false;
        }
        return OCI_SUCCESS;
      }
    }
    Close(*svc);
    return OCI_SUCCESS;
  });
}

}  // extern "C"
