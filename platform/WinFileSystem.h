// The file system through GetFileAttributesW and FindFirstFileW.
#pragma once

#include "platform/FileSystem.h"

namespace platform {

class WinFileSystem : public FileSystem {
 public:
  bool fileExists(const std::string& path) const override;
  bool directoryExists(const std::string& path) const override;
  // Directories are left out; the names are sorted bytewise (UTF-8), as on POSIX. The pattern is
  // matched by the port's own wildcard rule, not the system's (which also matches short 8.3 names).
  std::vector<std::string> findFiles(const std::string& directory,
                                     const std::string& pattern) const override;
  bool readFile(const std::string& path, std::string& content) const override;
};

}  // namespace platform
