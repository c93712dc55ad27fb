// Atomic replacement of small files: temporary file in the same folder, fsync, rename.
#include "platform/internal/AtomicFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

namespace platform::internal {
namespace {

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

bool writeAll(int fd, const std::string& content) {
  std::size_t done = 0;
  while (done < content.size()) {
    const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// The path a write must replace: the target of a symbolic link, else the path itself.
std::string resolveTarget(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (real != nullptr) {
      std::string result(real);
      std::free(real);
      return result;
    }
  }
  return path;
}

std::string baseName(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string parentFolder(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

ReadStatus readWholeFile(const std::string& path, std::string& content) {
  content.clear();
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0)
    return errno == ENOENT || errno == ENOTDIR ? ReadStatus::Missing : ReadStatus::Failed;
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0 || S_ISDIR(st.st_mode)) return ReadStatus::Failed;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      content.clear();
      return ReadStatus::Failed;
    }
    if (n == 0) break;
    content.append(buffer, static_cast<std::size_t>(n));
  }
  return ReadStatus::Ok;
}

bool replaceFile(const std::string& path, const std::string& content, mode_t newFileMode) {
  const std::string target = resolveTarget(path);
  const std::string folder = parentFolder(target);
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  // The rename would happily replace a file its owner made read-only; refuse as Windows would.
  if (exists && (S_ISDIR(old.st_mode) || ::access(target.c_str(), W_OK) != 0)) return false;

  // The temporary file is created by open(O_EXCL) with the wanted mode, so the kernel applies the
  // umask; reading the umask with umask() would change it for a moment for every thread.
  static std::atomic<unsigned> counter{0};
  std::string temp;
  int raw = -1;
  for (int attempt = 0; attempt < 100 && raw < 0; ++attempt) {
    temp = folder + "/." + baseName(target) + "." + std::to_string(::getpid()) + "." +
           std::to_string(counter.fetch_add(1)) + ".tmp";
    raw =
        ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, exists ? 0600 : newFileMode);
    if (raw < 0 && errno != EEXIST) return false;
  }
  Fd fd(raw);
  if (fd.get() < 0) return false;

  bool ok = writeAll(fd.get(), content);
  if (ok && exists) {
    ok = ::fchmod(fd.get(), old.st_mode & 07777) == 0;
    // Only root may give the file away; for anyone else the owner is already right.
    if (ok && (old.st_uid != ::geteuid() || old.st_gid != ::getegid())) {
      [[maybe_unused]] const int ignored = ::fchown(fd.get(), old.st_uid, old.st_gid);
    }
  }
  ok = ok && ::fsync(fd.get()) == 0;
  ok = (::close(fd.release()) == 0) && ok;
  ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  // Make the rename itself durable; a failure here does not undo the replacement.
  Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) ::fsync(dir.get());
  return true;
}

bool editFile(const std::string& path, const FileEditor& editor, mode_t newFileMode) {
  // The lock sits on the folder because the file itself is replaced by each write: a lock on the
  // old file would not exclude a writer that opened the new one. Without a lock (a folder that
  // cannot be opened) the edit still runs; only the protection against other writers is lost.
  Fd dir(::open(parentFolder(resolveTarget(path)).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) {
    while (::flock(dir.get(), LOCK_EX) != 0 && errno == EINTR) {
    }
  }
  std::string content;
  const ReadStatus status = readWholeFile(path, content);
  if (status == ReadStatus::Failed) return false;
  switch (editor(status, content)) {
    case EditResult::Keep:
      return true;
    case EditResult::Refuse:
      return false;
    case EditResult::Write:
      break;
  }
  return replaceFile(path, content, newFileMode);
  // The lock goes with the folder descriptor.
}

bool makeDirectories(const std::string& path) {
  if (path.empty()) return false;
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  const std::string parent = parentFolder(path);
  if (parent != path && parent != "." && parent != "/" && !makeDirectories(parent)) return false;
  return ::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

}  // namespace platform::internal
