// A file system held in memory for tests, in the Windows or the POSIX layout: paths compare
// without regard to case (when asked), doubled separators count once, and a relative path stands
// for a file in the current directory.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace testsupport {

class FakeFileSystem : public platform::FileSystem {
 public:
  explicit FakeFileSystem(char separator, bool caseless)
      : separator_(separator), caseless_(caseless) {}

  // Adds a file and every folder above it.
  void addFile(const std::string& path, std::string content = "");
  void addDirectory(const std::string& path);
  // A file that exists but cannot be read.
  void addUnreadableFile(const std::string& path);
  int reads() const { return reads_; }

  bool fileExists(const std::string& path) const override;
  bool directoryExists(const std::string& path) const override;
  std::vector<std::string> findFiles(const std::string& directory,
                                     const std::string& pattern) const override;
  bool readFile(const std::string& path, std::string& content) const override;

 private:
  std::string key(const std::string& path) const;
  std::string parentKey(const std::string& key) const;

  char separator_;
  bool caseless_;
  struct File {
    std::string name;  // as added, for enumeration
    std::string content;
    bool readable = true;
  };
  std::map<std::string, File> files_;
  std::set<std::string> directories_;
  mutable int reads_ = 0;
};

}  // namespace testsupport
