// stat-based existence checks and a wildcard enumeration of one folder.
#include "platform/PosixFileSystem.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

#include "platform/Wildcard.h"
#include "platform/internal/AtomicFile.h"

namespace platform {

bool PosixFileSystem::fileExists(const std::string& path) const {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool PosixFileSystem::directoryExists(const std::string& path) const {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::vector<std::string> PosixFileSystem::findFiles(const std::string& directory,
                                                    const std::string& pattern) const {
  std::vector<std::string> names;
  const std::string folder = directory.empty() ? "." : directory;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return names;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == ".." || !wildcardMatch(pattern, name)) continue;
    if (directoryExists(folder + "/" + name)) continue;
    names.push_back(name);
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

bool PosixFileSystem::readFile(const std::string& path, std::string& content) const {
  return internal::readWholeFile(path, content) == internal::ReadStatus::Ok;
}

}  // namespace platform
