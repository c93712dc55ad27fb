// Attributes for existence, a FindFirstFileW walk over the whole folder for the enumeration.
#include "platform/WinFileSystem.h"

#include <windows.h>

#include <algorithm>

#include "platform/Wildcard.h"
#include "platform/internal/AtomicFile.h"
#include "platform/internal/WideText.h"

namespace platform {
namespace {

DWORD attributesOf(const std::string& path) {
  if (path.empty()) return INVALID_FILE_ATTRIBUTES;
  return ::GetFileAttributesW(internal::toWide(path).c_str());
}

}  // namespace

bool WinFileSystem::fileExists(const std::string& path) const {
  const DWORD attributes = attributesOf(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool WinFileSystem::directoryExists(const std::string& path) const {
  const DWORD attributes = attributesOf(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::vector<std::string> WinFileSystem::findFiles(const std::string& directory,
                                                  const std::string& pattern) const {
  std::vector<std::string> names;
  std::string folder = directory.empty() ? "." : directory;
  if (folder.back() != '\\' && folder.back() != '/') folder += '\\';
  WIN32_FIND_DATAW entry{};
  HANDLE find = ::FindFirstFileExW(internal::toWide(folder + "*").c_str(), FindExInfoBasic, &entry,
                                   FindExSearchNameMatch, nullptr, 0);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    std::string name = internal::fromWide(entry.cFileName);
    if (wildcardMatch(pattern, name)) names.push_back(std::move(name));
  } while (::FindNextFileW(find, &entry) != 0);
  ::FindClose(find);
  std::sort(names.begin(), names.end());
  return names;
}

bool WinFileSystem::readFile(const std::string& path, std::string& content) const {
  return internal::readWholeFile(path, content) == internal::ReadStatus::Ok;
}

}  // namespace platform
