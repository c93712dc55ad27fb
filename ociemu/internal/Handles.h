// The handles and descriptors behind the opaque pointers the client hands out, and the
// registry that tells a live handle from a wrong or freed pointer.
//
// Threading: every handle belongs to an environment; a call locks the environments of the
// handles it works on (in address order) for its whole run, so handles of one environment are
// used by one call at a time and different environments run in parallel. The registry has its
// own lock, held only while looking up, adding or removing. A handle found in the registry is
// kept alive by the shared pointer the call holds, so a handle freed by another thread in the
// meantime is seen as freed (never as freed memory).
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "ociemu/Oci.h"
#include "ociemu/internal/Connection.h"
#include "ociemu/internal/OracleError.h"

namespace ociemu {

class Environment;
class Cursor;

// Thrown inside a call to make it return OCI_INVALID_HANDLE.
struct InvalidHandle {};

class Handle {
 public:
  Handle(ub4 type, std::shared_ptr<Environment> env) : type_(type), env_(std::move(env)) {}
  virtual ~Handle() = default;
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  ub4 Type() const { return type_; }
  Environment& Env();
  const std::shared_ptr<Environment>& EnvPtr() const { return env_; }
  bool Freed() const { return freed_.load(std::memory_order_acquire); }
  // Called once, under the environment's lock, when the handle is freed: closes what it holds
  // and unregisters the handles it owns.
  virtual void Release() {}
  void MarkFreed() { freed_.store(true, std::memory_order_release); }

  std::unique_ptr<char[]> userMemory;  // the caller's extra memory (xtramem_sz)
  bool counted = false;                // allocated by the application, so counted as live

 private:
  ub4 type_;
  std::shared_ptr<Environment> env_;
  // Read without the environment's lock when a call looks a handle up.
  std::atomic<bool> freed_{false};
};

// Error records of an error or environment handle, as OCIErrorGet reads them. The records of a
// failed call stay until the next call on the handle reports something: a call that succeeds
// (an attribute read between OCIStmtExecute and OCIErrorGet, say) leaves them alone.
class Diagnostics {
 public:
  struct Record {
    int code;
    std::string text;
  };
  void Clear();
  // The start of a call: the records it adds replace the old ones.
  void BeginCall();
  void Add(int code, std::string text);
  bool Get(ub4 recordno, Record& out) const;
  int parseOffset = 0;

 private:
  mutable std::mutex mutex_;
  std::vector<Record> records_;
  bool replacing_ = false;
};

class Environment : public Handle {
 public:
  explicit Environment(ub4 envMode) : Handle(OCI_HTYPE_ENV, nullptr), mode(envMode) {}
  std::mutex& Lock() { return lock_; }
  void Adopt(Handle* child);
  void Forget(Handle* child);
  void Release() override;

  const ub4 mode;
  Diagnostics diagnostics;

 private:
  std::mutex lock_;
  std::unordered_set<Handle*> children_;
};

inline Environment& Handle::Env() {
  return env_ ? *env_ : static_cast<Environment&>(*this);
}

class ErrorHandle : public Handle {
 public:
  using Handle::Handle;
  Diagnostics diagnostics;
  // The failed rows of the last array DML run in batch error mode with this handle, read back
  // one at a time with OCIParamGet into another error handle.
  struct RowError {
    ub4 row;
    int code;
    std::string text;
  };
  std::vector<RowError> rowErrors;
  // In an error handle that holds one row's error: that row's offset in the bind arrays.
  ub4 rowOffset = 0;
  // Row error handles handed out by this one (freed with it).
  std::vector<std::shared_ptr<ErrorHandle>> rowHandles;
  void Release() override;
};

class ServerHandle : public Handle {
 public:
  using Handle::Handle;
  void Release() override;
  std::shared_ptr<Connection> conn;  // set while attached
  // The connection, attached and usable; throws ORA-03114 otherwise.
  Connection& Live();
};

class SessionHandle : public Handle {
 public:
  using Handle::Handle;
  void Release() override;
  // Ends the session: the pending transaction is committed when commit is set.
  void End(bool commit);
  std::string username;
  std::string password;
  bool begun = false;
  SessionInfo info;
  std::shared_ptr<Connection> conn;  // while begun
};

class StmtHandle;

class SvcCtxHandle : public Handle {
 public:
  using Handle::Handle;
  void Release() override;
  std::shared_ptr<ServerHandle> server;
  std::shared_ptr<SessionHandle> session;
  std::shared_ptr<Handle> trans;
  ub4 stmtCacheSize = 20;
  // Statements released to the cache by key or text, most recent last.
  std::vector<std::pair<std::string, std::shared_ptr<StmtHandle>>> stmtCache;
  // Handles this service context made itself (OCILogon, a password change without a session).
  std::shared_ptr<SessionHandle> implicitSession;
  bool fromLogon = false;
  // Handed out by OCISessionGet: the pool it belongs to (none for a connection of its own).
  bool fromSessionGet = false;
  std::weak_ptr<Handle> pool;
  // The attached connection with a begun session; throws (ORA-03114, 01012) otherwise and
  // makes the session's schema the current user.
  Connection& Live();
  SessionHandle* LiveSession();
  // Frees the statements parked in the cache (the session they were prepared for ended).
  void DropStatementCache();
};

// A handle or descriptor with no behaviour of its own yet (describe, transaction, complex-object,
// security, subscription, connection-pool and admin handles; LOB and other descriptors): it can
// be allocated, have attributes refused and be freed. Its type number tells the kinds apart.
class PlainHandle : public Handle {
 public:
  using Handle::Handle;
};

class RowidDescriptor : public Handle {
 public:
  using Handle::Handle;
  std::string rowid;  // Oracle's 18-character text
};

class Registry {
 public:
  static Registry& Instance();
  void Add(const std::shared_ptr<Handle>& handle);
  std::shared_ptr<Handle> Find(const void* p) const;
  // Removes the handle; returns false when it was not registered.
  bool Remove(const Handle* handle);
  long Counted() const { return counted_.load(); }
  // Moves a registered handle between the application's count and the library's own (a
  // statement parked in a statement cache belongs to the library).
  void SetCounted(Handle& handle, bool counted);

 private:
  mutable std::mutex mutex_;
  std::unordered_map<const void*, std::shared_ptr<Handle>> handles_;
  std::atomic<long> counted_{0};
};

// The registered handle of that type at p, or null.
std::shared_ptr<Handle> FindHandle(const void* p, ub4 type);
template <class T>
std::shared_ptr<T> Find(const void* p, ub4 type) {
  return std::static_pointer_cast<T>(FindHandle(p, type));
}
// As Find, throwing InvalidHandle when there is none.
template <class T>
std::shared_ptr<T> Require(const void* p, ub4 type) {
  auto h = Find<T>(p, type);
  if (!h) throw InvalidHandle{};
  return h;
}

// Makes a handle of the given type in env and registers it. Returns null for a type this
// library does not know.
std::shared_ptr<Handle> MakeHandle(ub4 type, const std::shared_ptr<Environment>& env, bool counted);
std::shared_ptr<Handle> MakeDescriptor(ub4 type, const std::shared_ptr<Environment>& env,
                                       bool counted);
// Frees a handle: Release, unregister, mark freed. Requires its environment's lock.
void FreeHandle(Handle& handle);

// Locks the environments of the given handles in address order and rejects freed handles.
class CallLock {
 public:
  explicit CallLock(std::initializer_list<Handle*> handles);
  ~CallLock();
  CallLock(const CallLock&) = delete;
  CallLock& operator=(const CallLock&) = delete;

 private:
  std::vector<std::mutex*> locks_;
};

// Counts calls per entry point for ociemu_call_count.
void CountCall(const char* name) noexcept;
long CallCount(const char* name);
void ResetCallCounts();

}  // namespace ociemu
