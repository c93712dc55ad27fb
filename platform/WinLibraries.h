// Run-time loading of DLLs through LoadLibraryW / GetProcAddress / FreeLibrary.
#pragma once

#include "platform/Libraries.h"

namespace platform {

// A failed load reports "<file>: <the loader's message>", the message as FormatMessage words it
// without its closing line break, so that the file name shows in the layer's error texts as
// dlerror's does on POSIX. The system's own error dialog (a missing dependency, a damaged file) is
// kept from popping up during the load.
class WinLibraries : public Libraries {
 public:
  LoadResult load(const std::string& path) override;
  void* symbol(LibraryHandle library, const char* name) override;
  void free(LibraryHandle library) override;
  // GetModuleFileName of the loaded DLL.
  std::string pathOf(LibraryHandle library) override;
};

// The system's message for a Win32 error code, trailing CR LF (and blanks) trimmed; the code in
// hexadecimal when the system has no text for it.
std::string systemErrorText(unsigned long code);

}  // namespace platform
