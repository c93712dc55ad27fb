// The .reg file registry: cached reads keyed on the file's identity, locked read-modify-write.
#include "platform/RegFileRegistry.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "platform/Process.h"
#include "platform/Services.h"
#include "platform/internal/AtomicFile.h"
#include "platform/internal/RegDocument.h"
#include "platform/internal/Text.h"
#ifdef _WIN32
#include "platform/internal/WideText.h"
#endif

namespace platform {

#ifdef _WIN32
// What identifies one version of the file: any write (ours replace the file, so its index
// changes) changes one of these.
struct RegFileRegistry::Stamp {
  std::string path;
  bool exists = false;
  DWORD volume = 0;
  DWORD indexHigh = 0;
  DWORD indexLow = 0;
  DWORD sizeHigh = 0;
  DWORD sizeLow = 0;
  FILETIME modified{};

  static Stamp of(const std::string& path) {
    Stamp s;
    s.path = path;
    HANDLE file = ::CreateFileW(internal::toWide(path).c_str(), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return s;
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileInformationByHandle(file, &info) != 0) {
      s.exists = true;
      s.volume = info.dwVolumeSerialNumber;
      s.indexHigh = info.nFileIndexHigh;
      s.indexLow = info.nFileIndexLow;
      s.sizeHigh = info.nFileSizeHigh;
      s.sizeLow = info.nFileSizeLow;
      s.modified = info.ftLastWriteTime;
    }
    ::CloseHandle(file);
    return s;
  }
  bool operator==(const Stamp& o) const {
    return path == o.path && exists == o.exists && volume == o.volume && indexHigh == o.indexHigh &&
           indexLow == o.indexLow && sizeHigh == o.sizeHigh && sizeLow == o.sizeLow &&
           modified.dwLowDateTime == o.modified.dwLowDateTime &&
           modified.dwHighDateTime == o.modified.dwHighDateTime;
  }
};
#else
// What identifies one version of the file: any write (ours replace the inode) changes one of these.
struct RegFileRegistry::Stamp {
  std::string path;
  bool exists = false;
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  timespec modified{};
  timespec changed{};

  static Stamp of(const std::string& path) {
    Stamp s;
    s.path = path;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return s;
    s.exists = true;
    s.device = st.st_dev;
    s.inode = st.st_ino;
    s.size = st.st_size;
    s.modified = st.st_mtim;
    s.changed = st.st_ctim;
    return s;
  }
  bool operator==(const Stamp& o) const {
    return path == o.path && exists == o.exists && device == o.device && inode == o.inode &&
           size == o.size && modified.tv_sec == o.modified.tv_sec &&
           modified.tv_nsec == o.modified.tv_nsec && changed.tv_sec == o.changed.tv_sec &&
           changed.tv_nsec == o.changed.tv_nsec;
  }
};
#endif

RegFileRegistry::RegFileRegistry() : mode_(Mode::DefaultFile) {}

RegFileRegistry::RegFileRegistry(std::string path) : mode_(Mode::File), path_(std::move(path)) {}

RegFileRegistry::RegFileRegistry(RegText content) : mode_(Mode::Memory) {
  auto document = std::make_shared<internal::RegDocument>(content.text);
  if (!document->isRegistryText()) {
    document = std::make_shared<internal::RegDocument>("Windows Registry Editor Version 5.00\n\n" +
                                                       content.text);
  }
  memory_ = std::move(document);
}

RegFileRegistry::~RegFileRegistry() = default;

std::string RegFileRegistry::defaultPath() {
  const std::optional<std::string> explicitPath = process().getEnv("DBLOGON_REGISTRY");
  if (explicitPath && !explicitPath->empty()) return *explicitPath;
#ifdef _WIN32
  // Windows has the real registry; a file is used only when asked for, or in the settings folder.
  const std::optional<std::string> appData = process().getEnv("APPDATA");
  if (!appData || appData->empty()) return {};
  return *appData + "\\dblogon\\registry.reg";
#else
  const std::optional<std::string> config = process().getEnv("XDG_CONFIG_HOME");
  if (config && !config->empty() && config->front() == '/')
    return *config + "/dblogon/registry.reg";
  std::optional<std::string> home = process().getEnv("HOME");
  if (!home || home->empty()) {
    // No HOME (a service account, a stripped environment): the password database knows it.
    const passwd* entry = ::getpwuid(::getuid());
    if (entry == nullptr || entry->pw_dir == nullptr) return {};
    home = entry->pw_dir;
  }
  return *home + "/.config/dblogon/registry.reg";
#endif
}

std::string RegFileRegistry::path() const {
  switch (mode_) {
    case Mode::DefaultFile:
      return defaultPath();
    case Mode::File:
      return path_;
    case Mode::Memory:
      break;
  }
  return {};
}

std::shared_ptr<const internal::RegDocument> RegFileRegistry::document() const {
  std::lock_guard guard(mutex_);
  if (mode_ == Mode::Memory) {
    // Readers get a copy so a later write cannot change what they are looking at.
    return std::make_shared<const internal::RegDocument>(*memory_);
  }
  const std::string file = path();
  Stamp now = Stamp::of(file);
  if (cache_ && stamp_ && *stamp_ == now) return cache_;
  std::string content;
  // A file that cannot be read reads as an empty registry, like a missing one.
  if (file.empty() || internal::readWholeFile(file, content) != internal::ReadStatus::Ok) {
    content.clear();
  }
  cache_ = std::make_shared<const internal::RegDocument>(content);
  stamp_ = std::make_unique<Stamp>(std::move(now));
  return cache_;
}

std::string RegFileRegistry::text() const {
  return document()->text();
}

bool RegFileRegistry::keyExists(RootKey root, std::string_view key) const {
  return document()->keyExists(root, key);
}

std::optional<RegValue> RegFileRegistry::readValue(RootKey root, std::string_view key,
                                                   std::string_view name) const {
  return document()->value(root, key, name);
}

std::vector<std::string> RegFileRegistry::subkeys(RootKey root, std::string_view key) const {
  return document()->subkeys(root, key);
}

std::vector<std::string> RegFileRegistry::valueNames(RootKey root, std::string_view key) const {
  return document()->valueNames(root, key);
}

bool RegFileRegistry::edit(RootKey root,
                           const std::function<bool(internal::RegDocument&, bool&)>& change) {
  if (root != RootKey::CurrentUser) return false;
  std::lock_guard guard(mutex_);
  if (mode_ == Mode::Memory) {
    internal::RegDocument copy = *memory_;
    bool changed = false;
    if (!change(copy, changed)) return false;
    *memory_ = std::move(copy);
    return true;
  }
  const std::string file = path();
  if (file.empty()) return false;
  const std::string folder = internal::parentFolder(file);
  if (!internal::makeDirectories(folder)) return false;
  cache_.reset();
  return internal::editFile(
      file,
      [&](internal::ReadStatus, std::string& content) {
        internal::RegDocument document(content);
        bool changed = false;
        if (!change(document, changed)) return internal::EditResult::Refuse;
        if (!changed) return internal::EditResult::Keep;
        content = document.text();
        return internal::EditResult::Write;
      },
      0600);
}

bool RegFileRegistry::createKey(RootKey root, std::string_view key) {
  return edit(root, [&](internal::RegDocument& d, bool& changed) {
    return d.createKey(root, key, changed);
  });
}

bool RegFileRegistry::writeValue(RootKey root, std::string_view key, std::string_view name,
                                 const RegValue& value) {
  return edit(root, [&](internal::RegDocument& d, bool& changed) {
    return d.setValue(root, key, name, value, changed);
  });
}

bool RegFileRegistry::deleteValue(RootKey root, std::string_view key, std::string_view name) {
  return edit(root, [&](internal::RegDocument& d, bool& changed) {
    changed = d.deleteValue(root, key, name);
    return changed;
  });
}

}  // namespace platform
