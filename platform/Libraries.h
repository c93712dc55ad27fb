// Run-time loading of shared libraries (LoadLibraryA / GetProcAddress / FreeLibrary).
#pragma once

#include <string>

namespace platform {

using LibraryHandle = void*;

struct LoadResult {
  LibraryHandle handle = nullptr;  // nullptr when the load failed
  std::string error;               // the loader's own reason when it failed (dlerror text)
};

class Libraries {
 public:
  virtual ~Libraries() = default;

  virtual LoadResult load(const std::string& path) = 0;
  // nullptr when the library has no such export.
  virtual void* symbol(LibraryHandle library, const char* name) = 0;
  virtual void free(LibraryHandle library) = 0;
  // The full path of the file a loaded library came from, empty when unknown.
  virtual std::string pathOf(LibraryHandle library) = 0;
};

}  // namespace platform
