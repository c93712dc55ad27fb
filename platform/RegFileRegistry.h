// The registry as a .reg text file (POSIX), or as .reg text held in memory (the fake registry of
// tests: the same parser and editor, without a file).
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/Registry.h"

namespace platform {

namespace internal {
class RegDocument;
}

// Content for the in-memory form. A text without the header line gets one.
struct RegText {
  std::string text;
};

// The file holds sections "[HKEY_LOCAL_MACHINE\...]" and "[HKEY_CURRENT_USER\...]" with
// "name"="text", @= (the default value), dword:, hex:, hex(2): and hex(7): lines, ";" comments.
// A missing file is an empty registry. Lines that do not parse are skipped when reading and kept as
// they are by writes. Each write re-reads the file under a lock on its folder, changes only the
// lines of the value or key it writes, and replaces the file atomically (temporary file + rename),
// so edits made meanwhile by other processes survive and a crash never leaves half a file. A file
// that does not start with the .reg header is not taken for a registry file: it reads leniently
// but every write to it is refused (false). A new file is created with mode 0600 (the history
// values can hold scrambled passwords), with its folder if that is missing.
class RegFileRegistry : public Registry {
 public:
  // The file at defaultPath(), looked up again at each access.
  RegFileRegistry();
  explicit RegFileRegistry(std::string path);
  explicit RegFileRegistry(RegText content);
  ~RegFileRegistry() override;
  RegFileRegistry(const RegFileRegistry&) = delete;
  RegFileRegistry& operator=(const RegFileRegistry&) = delete;

  // DBLOGON_REGISTRY when set and not empty, else $XDG_CONFIG_HOME/dblogon/registry.reg (when that
  // variable holds an absolute path), else ~/.config/dblogon/registry.reg; on Windows
  // %APPDATA%\dblogon\registry.reg. Read through process().
  static std::string defaultPath();

  // The file in use; empty for the in-memory form.
  std::string path() const;
  // The whole current text (the file's content, or the in-memory text).
  std::string text() const;

  bool keyExists(RootKey root, std::string_view key) const override;
  std::optional<RegValue> readValue(RootKey root, std::string_view key,
                                    std::string_view name) const override;
  std::vector<std::string> subkeys(RootKey root, std::string_view key) const override;
  std::vector<std::string> valueNames(RootKey root, std::string_view key) const override;

  bool createKey(RootKey root, std::string_view key) override;
  bool writeValue(RootKey root, std::string_view key, std::string_view name,
                  const RegValue& value) override;
  // false also when the value does not exist, as on Windows.
  bool deleteValue(RootKey root, std::string_view key, std::string_view name) override;

 private:
  struct Stamp;
  std::shared_ptr<const internal::RegDocument> document() const;
  bool edit(RootKey root, const std::function<bool(internal::RegDocument&, bool& changed)>& change);

  enum class Mode { DefaultFile, File, Memory };
  Mode mode_;
  std::string path_;
  mutable std::mutex mutex_;
  // File forms: the last document read and the file state it was read from.
  mutable std::shared_ptr<const internal::RegDocument> cache_;
  mutable std::unique_ptr<Stamp> stamp_;
  // Memory form: the document itself.
  std::shared_ptr<internal::RegDocument> memory_;
};

}  // namespace platform
