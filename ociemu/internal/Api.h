// The frame of every exported entry point: counts the call, finds the error handle, turns the
// engine's exceptions into OCI status codes and error records, and lets nothing escape into C.
#pragma once

#include <exception>
#include <new>

#include "ociemu/internal/Handles.h"

namespace ociemu {

inline void Record(Diagnostics* diag, const OracleError& e) {
  if (!diag) return;
  diag->Add(e.Code(), e.Message());
  if (e.Offset()) diag->parseOffset = e.Offset();
}

// Runs body(Diagnostics*) for an entry point that reports on an error handle. A missing or
// wrong error handle gives OCI_INVALID_HANDLE unless optional is set, in which case a null
// one is allowed and failures carry no record.
template <class Body>
sword RunCall(const char* name, const void* errhp, bool optional, Body&& body) noexcept {
  Diagnostics* diag = nullptr;
  try {
    CountCall(name);
    std::shared_ptr<ErrorHandle> err;
    if (errhp || !optional) {
      err = Find<ErrorHandle>(errhp, OCI_HTYPE_ERROR);
      if (!err) return OCI_INVALID_HANDLE;
      diag = &err->diagnostics;
      diag->BeginCall();
    }
    try {
      return body(diag);
    } catch (const OracleError& e) {
      Record(diag, e);
      return OCI_ERROR;
    } catch (const InvalidHandle&) {
      return OCI_INVALID_HANDLE;
    } catch (const std::bad_alloc&) {
      Record(diag, OracleError(600, {"out of memory"}));
      return OCI_ERROR;
    } catch (const std::exception& e) {
      Record(diag, OracleError(600, {e.what()}));
      return OCI_ERROR;
    }
  } catch (...) {
    return OCI_ERROR;
  }
}

template <class Body>
sword WithError(const char* name, const void* errhp, Body&& body) noexcept {
  return RunCall(name, errhp, false, std::forward<Body>(body));
}

template <class Body>
sword WithOptionalError(const char* name, const void* errhp, Body&& body) noexcept {
  return RunCall(name, errhp, true, std::forward<Body>(body));
}

// Text arguments: a null pointer is empty; a negative length means NUL-terminated.
inline std::string TextArg(const OraText* p, long len) {
  if (!p) return {};
  const char* s = reinterpret_cast<const char*>(p);
  if (len < 0) return std::string(s);
  return std::string(s, static_cast<size_t>(len));
}

// Copies text into a caller's buffer of size bytes, NUL-terminated, cutting it when needed.
// Returns the number of bytes written before the terminator.
inline size_t CopyOut(const std::string& text, OraText* buf, size_t size) {
  if (!buf || size == 0) return 0;
  size_t n = text.size() < size - 1 ? text.size() : size - 1;
  for (size_t i = 0; i < n; ++i) buf[i] = static_cast<OraText>(text[i]);
  buf[n] = 0;
  return n;
}

// Begins usr on svc's attached server (OCI_SYSDBA/OCI_SYSOPER in mode); a password in its
// grace period gives OCI_SUCCESS_WITH_INFO with ORA-28002 recorded. Throws OracleError.
sword BeginSession(SvcCtxHandle& svc, SessionHandle& usr, Diagnostics* diag, bool external,
                   ub4 mode);

}  // namespace ociemu
