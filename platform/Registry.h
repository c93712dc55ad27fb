// The registry the layer reads its Oracle installation from and keeps per-user settings in.
// Win32 has the real one; on POSIX it is a .reg text file (see RegFileRegistry.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class RootKey { LocalMachine, CurrentUser };

enum class RegValueType { String, ExpandString, Dword, Binary, MultiString, Other };

struct RegValue {
  RegValueType type = RegValueType::String;
  // String kinds: the text (UTF-8) without a terminating NUL. MultiString: each string followed by
  // one NUL ("a\0b\0"), without the list's final NUL. Dword: its 4 bytes little-endian.
  // Binary and others: the raw bytes.
  std::string data;

  friend bool operator==(const RegValue&, const RegValue&) = default;
};

// Key paths use backslashes, as in "SOFTWARE\\ORACLE\\HOME0", and are compared without regard to
// letter case, as Windows does. Every operation is thread-safe.
class Registry {
 public:
  virtual ~Registry() = default;

  virtual bool keyExists(RootKey root, std::string_view key) const = 0;
  // nullopt when the key or the value does not exist. An empty name is the key's default value.
  virtual std::optional<RegValue> readValue(RootKey root, std::string_view key,
                                            std::string_view name) const = 0;
  // Names of the direct subkeys, in the order the store keeps them; empty when the key is missing.
  virtual std::vector<std::string> subkeys(RootKey root, std::string_view key) const = 0;
  // Names of the values of a key, in stored order; empty when the key is missing.
  virtual std::vector<std::string> valueNames(RootKey root, std::string_view key) const = 0;

  // Writes are allowed below HKEY_CURRENT_USER only; HKEY_LOCAL_MACHINE is read-only here.
  // Each returns false when the store refused (read-only root, file not writable). Keys on the
  // way are created as needed. deleteValue also returns false when there is no such value, as
  // Win32 does (callers delete numbered values until the first deletion fails).
  virtual bool createKey(RootKey root, std::string_view key) = 0;
  virtual bool writeValue(RootKey root, std::string_view key, std::string_view name,
                          const RegValue& value) = 0;
  virtual bool deleteValue(RootKey root, std::string_view key, std::string_view name) = 0;

  // Convenience: a value's text when it is a String or ExpandString, nullopt otherwise.
  std::optional<std::string> readString(RootKey root, std::string_view key,
                                        std::string_view name) const;
  bool writeString(RootKey root, std::string_view key, std::string_view name,
                   std::string_view text);
};

}  // namespace platform
