// File and directory look-ups the client discovery needs (GetFileAttributes, FindFirstFile).
#pragma once

#include <string>
#include <vector>

namespace platform {

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  virtual bool fileExists(const std::string& path) const = 0;
  virtual bool directoryExists(const std::string& path) const = 0;
  // Names (not paths) of the files in a directory that match a wildcard pattern with * and ?,
  // compared without regard to letter case; sorted by name. Empty when the directory is missing.
  virtual std::vector<std::string> findFiles(const std::string& directory,
                                             const std::string& pattern) const = 0;
  // The whole content of a file; false when it cannot be read.
  virtual bool readFile(const std::string& path, std::string& content) const = 0;
};

}  // namespace platform
