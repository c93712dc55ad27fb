// LoadLibraryW and friends; FormatMessageW for the loader's own words.
#include "platform/WinLibraries.h"

#include <windows.h>

#include <cstdio>

#include "platform/internal/Text.h"
#include "platform/internal/WideText.h"

namespace platform {

std::string systemErrorText(unsigned long code) {
  wchar_t* buffer = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::string text;
  if (length != 0 && buffer != nullptr)
    text = internal::fromWide(std::wstring_view(buffer, length));
  if (buffer != nullptr) ::LocalFree(buffer);
  text = std::string(internal::trimRight(text));
  if (text.empty()) {
    char hex[32];
    std::snprintf(hex, sizeof hex, "error 0x%08lX", code);
    text = hex;
  }
  return text;
}

LoadResult WinLibraries::load(const std::string& path) {
  LoadResult result;
  if (path.empty()) {
    result.error = "empty library file name";
    return result;
  }
  DWORD previousMode = 0;
  ::SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);
  HMODULE module = ::LoadLibraryW(internal::toWide(path).c_str());
  const DWORD error = ::GetLastError();
  ::SetThreadErrorMode(previousMode, nullptr);
  if (module == nullptr) {
    result.error = path + ": " + systemErrorText(error);
    return result;
  }
  result.handle = reinterpret_cast<LibraryHandle>(module);
  return result;
}

void* WinLibraries::symbol(LibraryHandle library, const char* name) {
  if (library == nullptr || name == nullptr) return nullptr;
  // A FARPROC goes out as a plain pointer, as dlsym gives it; callers cast it to the entry's type.
  return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(library), name));
}

void WinLibraries::free(LibraryHandle library) {
  if (library != nullptr) ::FreeLibrary(static_cast<HMODULE>(library));
}

std::string WinLibraries::pathOf(LibraryHandle library) {
  if (library == nullptr) return {};
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(static_cast<HMODULE>(library), buffer.data(),
                                              static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return internal::fromWide(std::wstring_view(buffer.data(), length));
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace platform
