// What the atomic-write tests ask of a file, on POSIX and on Windows alike: which file a path
// names now (a replacement is a new file), making it read-only, and whether this process may
// write a read-only file anyway (root on POSIX).
#pragma once

#include <cstdint>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform::testing {

// The file's identity (inode; volume and file index on Windows); 0 when it does not exist.
inline std::uint64_t fileIdentity(const std::string& path) {
#ifdef _WIN32
  HANDLE file =
      ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool ok = ::GetFileInformationByHandle(file, &info) != 0;
  ::CloseHandle(file);
  if (!ok) return 0;
  return (std::uint64_t{info.nFileIndexHigh} << 32 | info.nFileIndexLow) ^
         (std::uint64_t{info.dwVolumeSerialNumber} << 48);
#else
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return 0;
  return static_cast<std::uint64_t>(st.st_ino);
#endif
}

inline bool makeReadOnly(const std::string& path) {
#ifdef _WIN32
  return ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY) != 0;
#else
  return ::chmod(path.c_str(), 0400) == 0;
#endif
}

// Root writes a read-only file regardless; a refusal cannot be shown then.
inline bool permissionsBind() {
#ifdef _WIN32
  return true;
#else
  return ::geteuid() != 0;
#endif
}

// The names of temporary files a write leaves behind: hidden names (a leading dot) in the folder,
// not counting the lock file Windows writers keep beside the file (removing it would race with
// the next writer).
inline bool isStrayName(const std::string& name) {
  if (name.empty() || name.front() != '.') return false;
#ifdef _WIN32
  if (name.size() > 5 && name.compare(name.size() - 5, 5, ".lock") == 0) return false;
#endif
  return true;
}

}  // namespace platform::testing
