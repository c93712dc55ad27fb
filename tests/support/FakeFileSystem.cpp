// The in-memory file system of the tests.
#include "support/FakeFileSystem.h"

#include <algorithm>

#include "platform/Wildcard.h"

namespace testsupport {

std::string FakeFileSystem::key(const std::string& path) const {
  std::string result;
  for (std::size_t i = 0; i < path.size(); ++i) {
    const char c = path[i];
    // Keep the leading pair of a network path; elsewhere a doubled separator counts once.
    if (c == separator_ && !result.empty() && result.back() == separator_ && i > 1) continue;
    result += caseless_ && c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
  }
  while (result.size() > 1 && result.back() == separator_ &&
         !(result.size() == 3 && result[1] == ':')) {
    result.pop_back();
  }
  return result;
}

std::string FakeFileSystem::parentKey(const std::string& k) const {
  const std::size_t i = k.find_last_of(separator_);
  if (i == std::string::npos) return "";
  if (i == 0 || (i == 2 && k[1] == ':')) return k.substr(0, i + 1);
  return k.substr(0, i);
}

void FakeFileSystem::addDirectory(const std::string& path) {
  std::string k = key(path);
  while (!k.empty() && directories_.insert(k).second) {
    std::string parent = parentKey(k);
    if (parent == k) break;
    k = parent;
  }
}

void FakeFileSystem::addFile(const std::string& path, std::string content) {
  const std::string k = key(path);
  const std::size_t i = path.find_last_of(separator_);
  files_[k] = File{i == std::string::npos ? path : path.substr(i + 1), std::move(content), true};
  const std::string parent = parentKey(k);
  if (!parent.empty()) addDirectory(parent);
}

void FakeFileSystem::addUnreadableFile(const std::string& path) {
  addFile(path);
  files_[key(path)].readable = false;
}

bool FakeFileSystem::fileExists(const std::string& path) const {
  return files_.count(key(path)) != 0;
}

bool FakeFileSystem::directoryExists(const std::string& path) const {
  return directories_.count(key(path)) != 0;
}

std::vector<std::string> FakeFileSystem::findFiles(const std::string& directory,
                                                   const std::string& pattern) const {
  std::vector<std::string> names;
  const std::string folder = key(directory);
  for (const auto& [k, file] : files_) {
    if (parentKey(k) == folder && platform::wildcardMatch(pattern, file.name)) {
      names.push_back(file.name);
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool FakeFileSystem::readFile(const std::string& path, std::string& content) const {
  const auto it = files_.find(key(path));
  if (it == files_.end() || !it->second.readable) return false;
  ++reads_;
  content = it->second.content;
  return true;
}

}  // namespace testsupport
