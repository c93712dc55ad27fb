// The file system through stat and opendir.
#pragma once

#include "platform/FileSystem.h"

namespace platform {

class PosixFileSystem : public FileSystem {
 public:
  // True for anything that exists and is not a directory (symbolic links followed).
  bool fileExists(const std::string& path) const override;
  bool directoryExists(const std::string& path) const override;
  // Directories (and . and ..) are left out; the names are sorted bytewise.
  std::vector<std::string> findFiles(const std::string& directory,
                                     const std::string& pattern) const override;
  bool readFile(const std::string& path, std::string& content) const override;
};

}  // namespace platform
