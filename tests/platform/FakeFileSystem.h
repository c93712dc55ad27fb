// A file system held in memory for tests: files with their content and folders, under
// slash-separated paths. Parent folders of a file are made along with it.
#pragma once

#include <algorithm>
#include <map>
#include <set>

#include "platform/FileSystem.h"
#include "platform/Wildcard.h"

namespace platform::testing {

class FakeFileSystem : public FileSystem {
 public:
  void addFile(const std::string& path, std::string content = {}) {
    files_[path] = std::move(content);
    addParents(path);
  }
  void addDirectory(const std::string& path) {
    directories_.insert(path);
    addParents(path);
  }

  bool fileExists(const std::string& path) const override { return files_.count(path) != 0; }
  bool directoryExists(const std::string& path) const override {
    return directories_.count(path) != 0;
  }
  std::vector<std::string> findFiles(const std::string& directory,
                                     const std::string& pattern) const override {
    std::vector<std::string> names;
    if (!directoryExists(directory)) return names;
    const std::string prefix = directory + "/";
    for (const auto& [path, content] : files_) {
      if (path.rfind(prefix, 0) != 0) continue;
      const std::string name = path.substr(prefix.size());
      if (name.find('/') == std::string::npos && wildcardMatch(pattern, name))
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  bool readFile(const std::string& path, std::string& content) const override {
    const auto it = files_.find(path);
    if (it == files_.end()) return false;
    content = it->second;
    return true;
  }

 private:
  void addParents(const std::string& path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
      directories_.insert(path.substr(0, slash));
    }
  }

  std::map<std::string, std::string> files_;
  std::set<std::string> directories_;
};

}  // namespace platform::testing
