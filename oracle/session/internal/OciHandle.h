// Owns one client handle of a known handle type and frees it with OCIHandleFree. Internal to the
// session module. Freeing never throws: a handle that outlives the loaded library is dropped.
#pragma once

#include "oracle/client/OCIConstants.h"
#include "oracle/client/OCIFunctions.h"

namespace oracle::internal {

template <typename Handle, oci::ub4 HandleType>
class OciHandle {
 public:
  OciHandle() = default;
  ~OciHandle() { reset(); }
  OciHandle(const OciHandle&) = delete;
  OciHandle& operator=(const OciHandle&) = delete;

  Handle* get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  // For the allocation call to write into; the handle must be empty.
  Handle** out() { return &handle_; }
  void** outVoid() { return reinterpret_cast<void**>(&handle_); }

  // Frees the handle; the last status of the call is returned (0 when there was nothing to free).
  oci::sword reset() noexcept {
    if (handle_ == nullptr) return 0;
    Handle* h = handle_;
    handle_ = nullptr;
    try {
      return oci::OCIHandleFree(h, HandleType);
    } catch (...) {
      return oci::OCI_INVALID_HANDLE;  // the library is gone; the memory went with it
    }
  }
  // Forgets the handle without freeing it (a handle owned elsewhere).
  Handle* release() noexcept {
    Handle* h = handle_;
    handle_ = nullptr;
    return h;
  }
  // Adopts a handle owned elsewhere that this object must not free: pair with release().
  void adopt(Handle* handle) noexcept {
    reset();
    handle_ = handle;
  }

 private:
  Handle* handle_ = nullptr;
};

}  // namespace oracle::internal
