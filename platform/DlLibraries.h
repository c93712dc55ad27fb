// Run-time loading of shared libraries through dlopen / dlsym / dlclose.
#pragma once

#include "platform/Libraries.h"

namespace platform {

// Libraries are opened with RTLD_NOW | RTLD_LOCAL: every symbol is resolved at load time, so a
// library with a missing dependency fails to load (with the loader's reason) rather than at its
// first call, and the exports of one client library never satisfy another's.
class DlLibraries : public Libraries {
 public:
  // An empty path fails: dlopen would hand back the program itself.
  LoadResult load(const std::string& path) override;
  void* symbol(LibraryHandle library, const char* name) override;
  void free(LibraryHandle library) override;
  // The absolute path of the library's file; empty for the program itself or when unknown.
  std::string pathOf(LibraryHandle library) override;
};

}  // namespace platform
