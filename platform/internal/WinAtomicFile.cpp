// Atomic replacement of small files on Windows: a temporary file in the same folder, flushed, then
// moved over the old one with MoveFileExW(MOVEFILE_REPLACE_EXISTING), one rename in the file
// system, so a reader opens either the old file or the new one. ReplaceFileW is not used: it
// swaps the files in steps, and a reader between them finds no file at all (seen under Wine). The
// old file's attributes are carried over by hand; its security comes from the folder either way,
// as for a file in the user's own settings folder. Another program holding the file open without
// FILE_SHARE_DELETE (an editor, a virus scanner, a second writer reading it) makes these fail with
// a sharing violation for a moment; those are waited out for a bounded time rather than lost.
#include <windows.h>

#include <atomic>
#include <string>

#include "platform/internal/AtomicFile.h"
#include "platform/internal/WideText.h"

namespace platform::internal {
namespace {

// How long a sharing violation is waited out before the write gives up.
constexpr DWORD kSharingWaitMs = 5000;
constexpr DWORD kRetryStepMs = 20;

class Handle {
 public:
  explicit Handle(HANDLE h) : handle_(h) {}
  ~Handle() { close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  bool close() {
    if (!valid()) return true;
    const bool ok = ::CloseHandle(handle_) != 0;
    handle_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE handle_;
};

bool isTransient(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
         error == ERROR_ACCESS_DENIED;
}

// Runs an attempt until it succeeds, fails for good, or the sharing wait is over.
template <typename Attempt>
bool retryWhileShared(Attempt attempt) {
  for (DWORD waited = 0;; waited += kRetryStepMs) {
    if (attempt()) return true;
    if (!isTransient(::GetLastError()) || waited >= kSharingWaitMs) return false;
    ::Sleep(kRetryStepMs);
  }
}

DWORD attributesOf(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str());
}

std::string baseName(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool writeAll(HANDLE file, const std::string& content) {
  std::size_t done = 0;
  while (done < content.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(content.size() - done, 1u << 20));
    DWORD written = 0;
    if (::WriteFile(file, content.data() + done, chunk, &written, nullptr) == 0) return false;
    done += written;
  }
  return true;
}

}  // namespace

std::string parentFolder(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return ".";
  // "C:\name" lives in "C:\", not in "C:" (the drive's current folder).
  if (slash == 2 && path[1] == ':') return path.substr(0, 3);
  if (slash == 0) return path.substr(0, 1);
  return path.substr(0, slash);
}

ReadStatus readWholeFile(const std::string& path, std::string& content) {
  content.clear();
  const std::wstring wide = toWide(path);
  HANDLE raw = INVALID_HANDLE_VALUE;
  retryWhileShared([&] {
    raw = ::CreateFileW(wide.c_str(), GENERIC_READ,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (raw != INVALID_HANDLE_VALUE) return true;
    // A directory cannot be opened this way; it must not count as a passing sharing conflict.
    const DWORD error = ::GetLastError();
    const DWORD attributes = attributesOf(wide);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
      ::SetLastError(ERROR_DIRECTORY);
    else
      ::SetLastError(error);
    return false;
  });
  if (raw == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ReadStatus::Missing
                                                                          : ReadStatus::Failed;
  }
  Handle file(raw);
  char buffer[65536];
  for (;;) {
    DWORD n = 0;
    if (::ReadFile(file.get(), buffer, sizeof buffer, &n, nullptr) == 0) {
      content.clear();
      return ReadStatus::Failed;
    }
    if (n == 0) break;
    content.append(buffer, n);
  }
  return ReadStatus::Ok;
}

bool replaceFile(const std::string& path, const std::string& content, mode_t) {
  const std::wstring target = toWide(path);
  const DWORD attributes = attributesOf(target);
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  // ReplaceFile would replace a read-only file's content; refuse it as a write to it would fail.
  if (exists && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0)
    return false;

  static std::atomic<unsigned> counter{0};
  const std::string folder = parentFolder(path);
  const std::string separator = folder.back() == '\\' || folder.back() == '/' ? "" : "\\";
  std::wstring temp;
  HANDLE raw = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 100 && raw == INVALID_HANDLE_VALUE; ++attempt) {
    temp = toWide(folder + separator + "." + baseName(path) + "." +
                  std::to_string(::GetCurrentProcessId()) + "." +
                  std::to_string(counter.fetch_add(1)) + ".tmp");
    raw = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                        nullptr);
    if (raw == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) return false;
  }
  Handle file(raw);
  if (!file.valid()) return false;

  bool ok = writeAll(file.get(), content);
  ok = ok && ::FlushFileBuffers(file.get()) != 0;
  ok = file.close() && ok;
  if (ok) {
    // Hidden, system or not indexed: the new file is what the old one was.
    const DWORD carried = exists ? attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                                 FILE_ATTRIBUTE_NOT_CONTENT_INDEXED)
                                 : 0;
    if (carried != 0) ::SetFileAttributesW(temp.c_str(), carried);
    ok = retryWhileShared([&] {
      return ::MoveFileExW(temp.c_str(), target.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    });
  }
  if (!ok) {
    ::DeleteFileW(temp.c_str());
    return false;
  }
  return true;
}

bool editFile(const std::string& path, const FileEditor& editor, mode_t newFileMode) {
  // The lock is a byte-range lock on a small hidden file beside the target: the target itself is
  // replaced by each write, so a lock on it would not exclude a writer that opened the new one.
  // Byte-range locks belong to the handle, so threads of this process exclude each other too.
  // Without a lock (a folder without write access) the edit still runs, unprotected, as on POSIX.
  const std::string folder = parentFolder(path);
  const std::string separator = folder.back() == '\\' || folder.back() == '/' ? "" : "\\";
  const std::wstring lockPath = toWide(folder + separator + "." + baseName(path) + ".lock");
  HANDLE rawLock = INVALID_HANDLE_VALUE;
  retryWhileShared([&] {
    rawLock = ::CreateFileW(lockPath.c_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr);
    return rawLock != INVALID_HANDLE_VALUE;
  });
  Handle lockFile(rawLock);
  OVERLAPPED region{};
  const bool locked = lockFile.valid() &&
                      ::LockFileEx(lockFile.get(), LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &region) != 0;

  bool result = false;
  std::string content;
  const ReadStatus status = readWholeFile(path, content);
  if (status != ReadStatus::Failed) {
    switch (editor(status, content)) {
      case EditResult::Keep:
        result = true;
        break;
      case EditResult::Refuse:
        result = false;
        break;
      case EditResult::Write:
        result = replaceFile(path, content, newFileMode);
        break;
    }
  }
  if (locked) ::UnlockFileEx(lockFile.get(), 0, 1, 0, &region);
  return result;
}

bool makeDirectories(const std::string& path) {
  if (path.empty()) return false;
  const std::wstring wide = toWide(path);
  const DWORD attributes = attributesOf(wide);
  if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const std::string parent = parentFolder(path);
  if (parent != path && parent != "." && !makeDirectories(parent)) return false;
  return ::CreateDirectoryW(wide.c_str(), nullptr) != 0 || ::GetLastError() == ERROR_ALREADY_EXISTS;
}

}  // namespace platform::internal
