// The OCIThread package of the 8.1 clients: mutexes, thread keys, thread ids and threads, over
// the platform's threads. Its objects are plain allocations of this library, not handles; each
// Init call makes one and the matching Destroy call frees it and clears the caller's pointer.
#include <pthread.h>

#include <mutex>
#include <new>

#include "ociemu/internal/Api.h"

using namespace ociemu;

struct OCIThreadMutex {
  // Oracle's mutexes may be taken again by the thread that holds them.
  std::recursive_mutex mutex;
};

struct OCIThreadKey {
  pthread_key_t key;
};

struct OCIThreadId {
  pthread_t thread;
  bool set = false;
};

struct OCIThreadHandle {
  pthread_t thread;
  bool running = false;
};

namespace {

// Every OCIThread call takes an error handle that receives the failure, if one is given.
template <class Body>
sword ThreadCall(const char* name, OCIError* err, Body&& body) noexcept {
  return WithOptionalError(name, err, [&](Diagnostics*) -> sword {
    body();
    return OCI_SUCCESS;
  });
}

struct Start {
  void (*start)(void*);
  void* arg;
};

void* Run(void* p) {
  Start s = *static_cast<Start*>(p);
  delete static_cast<Start*>(p);
  s.start(s.arg);
  return nullptr;
}

}  // namespace

extern "C" {

void OCIThreadProcessInit(void) {
  CountCall("OCIThreadProcessInit");
}

sword OCIThreadInit(void* /*hndl*/, OCIError* err) {
  return ThreadCall("OCIThreadInit", err, [] {});
}

sword OCIThreadTerm(void* /*hndl*/, OCIError* err) {
  return ThreadCall("OCIThreadTerm", err, [] {});
}

boolean OCIThreadIsMulti(void) {
  CountCall("OCIThreadIsMulti");
  return 1;
}

sword OCIThreadMutexInit(void* /*hndl*/, OCIError* err, OCIThreadMutex** mutex) {
  return ThreadCall("OCIThreadMutexInit", err, [&] {
    if (!mutex) throw OracleError(1009);
    *mutex = new OCIThreadMutex;
  });
}

sword OCIThreadMutexDestroy(void* /*hndl*/, OCIError* err, OCIThreadMutex** mutex) {
  return ThreadCall("OCIThreadMutexDestroy", err, [&] {
    if (!mutex) throw OracleError(1009);
    delete *mutex;
    *mutex = nullptr;
  });
}

sword OCIThreadMutexAcquire(void* /*hndl*/, OCIError* err, OCIThreadMutex* mutex) {
  return ThreadCall("OCIThreadMutexAcquire", err, [&] {
    if (!mutex) throw OracleError(1009);
    mutex->mutex.lock();
  });
}

sword OCIThreadMutexRelease(void* /*hndl*/, OCIError* err, OCIThreadMutex* mutex) {
  return ThreadCall("OCIThreadMutexRelease", err, [&] {
    if (!mutex) throw OracleError(1009);
    mutex->mutex.unlock();
  });
}

sword OCIThreadKeyInit(void* /*hndl*/, OCIError* err, OCIThreadKey** key,
                       OCIThreadKeyDestFunc destFn) {
  return ThreadCall("OCIThreadKeyInit", err, [&] {
    if (!key) throw OracleError(1009);
    auto made = new OCIThreadKey;
    if (pthread_key_create(&made->key, destFn) != 0) {
      delete made;
      throw std::bad_alloc();
    }
    *key = made;
  });
}

sword OCIThreadKeyDestroy(void* /*hndl*/, OCIError* err, OCIThreadKey** key) {
  return ThreadCall("OCIThreadKeyDestroy", err, [&] {
    if (!key) throw OracleError(1009);
    if (*key) pthread_key_delete((*key)->key);
    delete *key;
    *key = nullptr;
  });
}

sword OCIThreadKeyGet(void* /*hndl*/, OCIError* err, OCIThreadKey* key, void** pValue) {
  return ThreadCall("OCIThreadKeyGet", err, [&] {
    if (!key || !pValue) throw OracleError(1009);
    *pValue = pthread_getspecific(key->key);
  });
}

sword OCIThreadKeySet(void* /*hndl*/, OCIError* err, OCIThreadKey* key, void* value) {
  return ThreadCall("OCIThreadKeySet", err, [&] {
    if (!key) throw OracleError(1009);
    pthread_setspecific(key->key, value);
  });
}

sword OCIThreadIdInit(void* /*hndl*/, OCIError* err, OCIThreadId** tid) {
  return ThreadCall("OCIThreadIdInit", err, [&] {
    if (!tid) throw OracleError(1009);
    *tid = new OCIThreadId;
  });
}

sword OCIThreadIdDestroy(void* /*hndl*/, OCIError* err, OCIThreadId** tid) {
  return ThreadCall("OCIThreadIdDestroy", err, [&] {
    if (!tid) throw OracleError(1009);
    delete *tid;
    *tid = nullptr;
  });
}

sword OCIThreadIdSet(void* /*hndl*/, OCIError* err, OCIThreadId* tidDest, OCIThreadId* tidSrc) {
  return ThreadCall("OCIThreadIdSet", err, [&] {
    if (!tidDest || !tidSrc) throw OracleError(1009);
    *tidDest = *tidSrc;
  });
}

sword OCIThreadIdSetNull(void* /*hndl*/, OCIError* err, OCIThreadId* tid) {
  return ThreadCall("OCIThreadIdSetNull", err, [&] {
    if (!tid) throw OracleError(1009);
    tid->set = false;
  });
}

sword OCIThreadIdGet(void* /*hndl*/, OCIError* err, OCIThreadId* tid) {
  return ThreadCall("OCIThreadIdGet", err, [&] {
    if (!tid) throw OracleError(1009);
    tid->thread = pthread_self();
    tid->set = true;
  });
}

sword OCIThreadIdSame(void* /*hndl*/, OCIError* err, OCIThreadId* tid1, OCIThreadId* tid2,
                      boolean* result) {
  return ThreadCall("OCIThreadIdSame", err, [&] {
    if (!tid1 || !tid2 || !result) throw OracleError(1009);
    *result =
        tid1->set == tid2->set && (!tid1->set || pthread_equal(tid1->thread, tid2->thread) != 0);
  });
}

sword OCIThreadIdNull(void* /*hndl*/, OCIError* err, OCIThreadId* tid, boolean* result) {
  return ThreadCall("OCIThreadIdNull", err, [&] {
    if (!tid || !result) throw OracleError(1009);
    *result = !tid->set;
  });
}

sword OCIThreadHndInit(void* /*hndl*/, OCIError* err, OCIThreadHandle** thnd) {
  return ThreadCall("OCIThreadHndInit", err, [&] {
    if (!thnd) throw OracleError(1009);
    *thnd = new OCIThreadHandle;
  });
}

sword OCIThreadHndDestroy(void* /*hndl*/, OCIError* err, OCIThreadHandle** thnd) {
  return ThreadCall("OCIThreadHndDestroy", err, [&] {
    if (!thnd) throw OracleError(1009);
    // A thread still running is left to finish on its own.
    if (*thnd && (*thnd)->running) pthread_detach((*thnd)->thread);
    delete *thnd;
    *thnd = nullptr;
  });
}

sword OCIThreadCreate(void* /*hndl*/, OCIError* err, void (*start)(void*), void* arg,
                      OCIThreadId* tid, OCIThreadHandle* tHnd) {
  return ThreadCall("OCIThreadCreate", err, [&] {
    if (!start || !tHnd) throw OracleError(1009);
    if (tHnd->running) throw OracleError(1009);
    auto s = new Start{start, arg};
    if (pthread_create(&tHnd->thread, nullptr, Run, s) != 0) {
      delete s;
      throw std::bad_alloc();
    }
    tHnd->running = true;
    if (tid) {
      tid->thread = tHnd->thread;
      tid->set = true;
    }
  });
}

sword OCIThreadJoin(void* /*hndl*/, OCIError* err, OCIThreadHandle* tHnd) {
  return ThreadCall("OCIThreadJoin", err, [&] {
    if (!tHnd || !tHnd->running) throw OracleError(1009);
    pthread_join(tHnd->thread, nullptr);
    tHnd->running = false;
  });
}

sword OCIThreadClose(void* /*hndl*/, OCIError* err, OCIThreadHandle* tHnd) {
  return ThreadCall("OCIThreadClose", err, [&] {
    if (!tHnd) throw OracleError(1009);
    if (tHnd->running) pthread_detach(tHnd->thread);
    tHnd->running = false;
  });
}

sword OCIThreadHandleGet(void* /*hndl*/, OCIError* err, OCIThreadHandle* tHnd) {
  return ThreadCall("OCIThreadHandleGet", err, [&] {
    if (!tHnd) throw OracleError(1009);
    // The calling thread's own handle; it is not joined through this copy.
    tHnd->thread = pthread_self();
    tHnd->running = false;
  });
}

}  // extern "C"
