// Handle registry, allocation by type, freeing, locking and call counting.
#include "ociemu/internal/Handles.h"

#include <algorithm>
#include <map>

#include "ociemu/internal/SessionPool.h"
#include "ociemu/internal/Statement.h"

namespace ociemu {

void Diagnostics::Clear() {
  std::lock_guard<std::mutex> g(mutex_);
  records_.clear();
  parseOffset = 0;
  replacing_ = false;
}

void Diagnostics::BeginCall() {
  std::lock_guard<std::mutex> g(mutex_);
  replacing_ = true;
}

void Diagnostics::Add(int code, std::string text) {
  std::lock_guard<std::mutex> g(mutex_);
  if (replacing_) {
    records_.clear();
    parseOffset = 0;
    replacing_ = false;
  }
  records_.push_back(Record{code, std::move(text)});
}

bool Diagnostics::Get(ub4 recordno, Record& out) const {
  std::lock_guard<std::mutex> g(mutex_);
  if (recordno == 0 || recordno > records_.size()) return false;
  out = records_[recordno - 1];
  return true;
}

void ErrorHandle::Release() {
  auto handles = std::move(rowHandles);
  rowHandles.clear();
  for (auto& h : handles) {
    if (!h->Freed()) FreeHandle(*h);
  }
}

ub4 StmtHandle::PrefetchCount() const {
  if (prefetchMemory == 0) return prefetchRows;
  size_t rowSize = 0;
  for (const auto& column : cursor.Columns()) rowSize += column.type.size ? column.type.size : 22;
  const ub4 byMemory = static_cast<ub4>(prefetchMemory / (rowSize ? rowSize : 1));
  // With both set, the one reached first limits the prefetch.
  return prefetchRows ? std::min(prefetchRows, byMemory) : byMemory;
}

void StmtHandle::Release() {
  cursor.Close();
  auto handles = std::move(owned);
  owned.clear();
  for (auto& h : handles) FreeHandle(*h);
}

void Environment::Adopt(Handle* child) {
  children_.insert(child);
}
void Environment::Forget(Handle* child) {
  children_.erase(child);
}

void Environment::Release() {
  // Free every handle of the environment. Freeing one may free others it owns (a statement's
  // binds), so take them one at a time from the set.
  while (!children_.empty()) {
    Handle* child = *children_.begin();
    children_.erase(children_.begin());
    FreeHandle(*child);
  }
}

Connection& ServerHandle::Live() {
  if (!conn || !conn->Usable()) throw OracleError(3114);
  return *conn;
}

void ServerHandle::Release() {
  // Freeing an attached server detaches it; what was not committed is lost, as on a dropped
  // connection.
  if (conn) conn->Close();
  conn.reset();
}

void SessionHandle::End(bool commit) {
  if (!begun) return;
  if (conn && conn->Usable()) {
    if (commit) {
      conn->Commit();
    } else {
      conn->Rollback();
    }
    conn->currval.clear();
  }
  begun = false;
  conn.reset();
  info = SessionInfo{};
}

void SessionHandle::Release() {
  try {
    End(false);
  } catch (...) {
  }
}

Connection& SvcCtxHandle::Live() {
  if (!server || server->Freed() || !server->conn) throw OracleError(3114);
  Connection& conn = server->Live();
  SessionHandle* s = LiveSession();
  if (!s) throw OracleError(1012);
  conn.currentUser = s->info.user;
  return conn;
}

SessionHandle* SvcCtxHandle::LiveSession() {
  if (!session || session->Freed() || !session->begun) return nullptr;
  if (!server || session->conn != server->conn) return nullptr;
  return session.get();
}

void SvcCtxHandle::DropStatementCache() {
  auto cache = std::move(stmtCache);
  stmtCache.clear();
  for (auto& entry : cache) {
    if (!entry.second->Freed()) FreeHandle(*entry.second);
  }
}

void SvcCtxHandle::Release() {
  DropStatementCache();
  if (implicitSession && !implicitSession->Freed()) FreeHandle(*implicitSession);
  implicitSession.reset();
  if (fromLogon) {
    // OCILogon made the server and session; they go with the service context.
    if (session && !session->Freed()) FreeHandle(*session);
    if (server && !server->Freed()) FreeHandle(*server);
  }
  server.reset();
  session.reset();
  trans.reset();
}

Registry& Registry::Instance() {
  static Registry registry;
  return registry;
}

void Registry::Add(const std::shared_ptr<Handle>& handle) {
  std::lock_guard<std::mutex> g(mutex_);
  handles_.emplace(handle.get(), handle);
  if (handle->counted) ++counted_;
}

void Registry::SetCounted(Handle& handle, bool counted) {
  std::lock_guard<std::mutex> g(mutex_);
  if (handle.counted == counted || !handles_.count(&handle)) return;
  handle.counted = counted;
  counted_ += counted ? 1 : -1;
}

std::shared_ptr<Handle> Registry::Find(const void* p) const {
  if (!p) return nullptr;
  std::lock_guard<std::mutex> g(mutex_);
  auto it = handles_.find(p);
  return it == handles_.end() ? nullptr : it->second;
}

bool Registry::Remove(const Handle* handle) {
  std::shared_ptr<Handle> keep;  // destroyed after the registry lock is released
  std::lock_guard<std::mutex> g(mutex_);
  auto it = handles_.find(handle);
  if (it == handles_.end()) return false;
  keep = std::move(it->second);
  handles_.erase(it);
  if (keep->counted) --counted_;
  return true;
}

std::shared_ptr<Handle> FindHandle(const void* p, ub4 type) {
  auto h = Registry::Instance().Find(p);
  if (!h || h->Type() != type || h->Freed()) return nullptr;
  return h;
}

std::shared_ptr<Handle> MakeHandle(ub4 type, const std::shared_ptr<Environment>& env,
                                   bool counted) {
  std::shared_ptr<Handle> h;
  switch (type) {
    case OCI_HTYPE_ERROR:
      h = std::make_shared<ErrorHandle>(type, env);
      break;
    case OCI_HTYPE_SVCCTX:
      h = std::make_shared<SvcCtxHandle>(type, env);
      break;
    case OCI_HTYPE_STMT:
      h = std::make_shared<StmtHandle>(type, env);
      break;
    case OCI_HTYPE_SERVER:
      h = std::make_shared<ServerHandle>(type, env);
      break;
    case OCI_HTYPE_SESSION:
      h = std::make_shared<SessionHandle>(type, env);
      break;
    case OCI_HTYPE_SPOOL:
      h = std::make_shared<PoolHandle>(type, env);
      break;
    case OCI_HTYPE_DESCRIBE:
      h = std::make_shared<DescribeHandle>(type, env);
      break;
    // Each of these is a kind of its own, told apart by its type; none has state yet.
    case OCI_HTYPE_TRANS:
    case OCI_HTYPE_COMPLEXOBJECT:
    case OCI_HTYPE_SECURITY:
    case OCI_HTYPE_SUBSCRIPTION:
    case OCI_HTYPE_CPOOL:
    case OCI_HTYPE_ADMIN:
      h = std::make_shared<PlainHandle>(type, env);
      break;
    default:
      return nullptr;
  }
  h->counted = counted;
  env->Adopt(h.get());
  Registry::Instance().Add(h);
  return h;
}

std::shared_ptr<Handle> MakeDescriptor(ub4 type, const std::shared_ptr<Environment>& env,
                                       bool counted) {
  std::shared_ptr<Handle> h;
  switch (type) {
    case OCI_DTYPE_ROWID:
      h = std::make_shared<RowidDescriptor>(type, env);
      break;
    case OCI_DTYPE_LOB:
    case OCI_DTYPE_SNAP:
    case OCI_DTYPE_RSET:
    case OCI_DTYPE_COMPLEXOBJECTCOMP:
    case OCI_DTYPE_FILE:
    case OCI_DTYPE_INTERVAL_YM:
    case OCI_DTYPE_INTERVAL_DS:
    case OCI_DTYPE_DATE:
    case OCI_DTYPE_TIMESTAMP:
    case OCI_DTYPE_TIMESTAMP_TZ:
    case OCI_DTYPE_TIMESTAMP_LTZ:
      h = std::make_shared<PlainHandle>(type, env);
      break;
    default:
      return nullptr;
  }
  h->counted = counted;
  env->Adopt(h.get());
  Registry::Instance().Add(h);
  return h;
}

void FreeHandle(Handle& handle) {
  if (handle.Freed()) return;
  handle.MarkFreed();
  if (handle.EnvPtr()) handle.EnvPtr()->Forget(&handle);
  handle.Release();
  Registry::Instance().Remove(&handle);  // may destroy the handle: nothing may follow
}

CallLock::CallLock(std::initializer_list<Handle*> handles) {
  for (Handle* h : handles) {
    if (h) locks_.push_back(&h->Env().Lock());
  }
  std::sort(locks_.begin(), locks_.end());
  locks_.erase(std::unique(locks_.begin(), locks_.end()), locks_.end());
  for (auto* m : locks_) m->lock();
  for (Handle* h : handles) {
    if (h && (h->Freed() || h->Env().Freed())) {
      for (auto it = locks_.rbegin(); it != locks_.rend(); ++it) (*it)->unlock();
      locks_.clear();
      throw InvalidHandle{};
    }
  }
}

CallLock::~CallLock() {
  for (auto it = locks_.rbegin(); it != locks_.rend(); ++it) (*it)->unlock();
}

namespace {
std::mutex countMutex;
std::map<std::string, long, std::less<>>& Counts() {
  static std::map<std::string, long, std::less<>> counts;
  return counts;
}
}  // namespace

void CountCall(const char* name) noexcept {
  try {
    std::lock_guard<std::mutex> g(countMutex);
    auto& counts = Counts();
    auto it = counts.find(std::string_view(name));
    if (it == counts.end()) {
      counts.emplace(name, 1);
    } else {
      ++it->second;
    }
  } catch (...) {
  }
}

long CallCount(const char* name) {
  std::lock_guard<std::mutex> g(countMutex);
  auto it = Counts().find(std::string_view(name ? name : ""));
  return it == Counts().end() ? 0 : it->second;
}

void ResetCallCounts() {
  std::lock_guard<std::mutex> g(countMutex);
  Counts().clear();
}

}  // namespace ociemu
