// Owners and views of client handles. OciHandle owns one handle of a known handle type and frees
// it with OCIHandleFree; OciHandleView only names a handle that someone else frees (the shared
// environment, the handles of an external service context). Internal to the session module.
//
// Freeing never throws, and never calls into a library other than the copy the handle came
// from: after FreeOCI (ClientGeneration changed) the handle's memory went with the library, so
// it is dropped without a call.
#pragma once

#include <cstdint>

#include "oracle/client/ClientLibrary.h"
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
  Handle** out() {
    generation_ = ClientGeneration();
    return &handle_;
  }
  void** outVoid() { return reinterpret_cast<void**>(out()); }

  // Frees the handle; the last status of the call is returned (0 when there was nothing to free
  // or the library it came from is gone).
  oci::sword reset() noexcept {
    if (handle_ == nullptr) return 0;
    Handle* h = handle_;
    handle_ = nullptr;
    if (generation_ != ClientGeneration()) return 0;
    try {
      return oci::OCIHandleFree(h, HandleType);
    } catch (...) {
      return oci::OCI_INVALID_HANDLE;
    }
  }

 private:
  Handle* handle_ = nullptr;
  std::uint64_t generation_ = 0;
};

// A handle used but not owned: never freed through this object.
template <typename Handle>
class OciHandleView {
 public:
  Handle* get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  void point(Handle* handle) noexcept { handle_ = handle; }
  void clear() noexcept { handle_ = nullptr; }

 private:
  Handle* handle_ = nullptr;
};

// A handle the session either allocates itself (and so owns) or borrows. The calls use get();
// only an owned handle is ever freed, so no path has to remember to spare a borrowed one.
template <typename Handle, oci::ub4 HandleType>
class SessionHandle {
 public:
  Handle* get() const { return borrowed_ ? borrowed_.get() : owned_.get(); }
  explicit operator bool() const { return get() != nullptr; }
  bool borrowed() const { return static_cast<bool>(borrowed_); }
  // For the allocation call; the slot must be empty.
  Handle** out() { return owned_.out(); }
  void** outVoid() { return owned_.outVoid(); }
  // Uses a handle another owner frees, freeing what the slot owned before.
  void borrow(Handle* handle) noexcept {
    reset();
    borrowed_.point(handle);
  }
  // Frees an owned handle, forgets a borrowed one.
  oci::sword reset() noexcept {
    borrowed_.clear();
    return owned_.reset();
  }

 private:
  OciHandle<Handle, HandleType> owned_;
  OciHandleView<Handle> borrowed_;
};

}  // namespace oracle::internal
