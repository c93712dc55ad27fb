// The Windows registry itself, behind the registry port.
#pragma once

#include "platform/Registry.h"

namespace platform {

// Reads HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER; writes HKEY_CURRENT_USER only, as the port
// promises (the .reg file on POSIX refuses the same writes). Texts are UTF-8 on this side and
// UTF-16 in the registry. The 64-bit view is used, where a 64-bit client registers its homes.
// Thread-safe: every call opens and closes its own key handles.
class WinRegistry : public Registry {
 public:
  bool keyExists(RootKey root, std::string_view key) const override;
  std::optional<RegValue> readValue(RootKey root, std::string_view key,
                                    std::string_view name) const override;
  // In the registry's own order (alphabetical, as Windows enumerates).
  std::vector<std::string> subkeys(RootKey root, std::string_view key) const override;
  std::vector<std::string> valueNames(RootKey root, std::string_view key) const override;

  bool createKey(RootKey root, std::string_view key) override;
  bool writeValue(RootKey root, std::string_view key, std::string_view name,
                  const RegValue& value) override;
  bool deleteValue(RootKey root, std::string_view key, std::string_view name) override;
};

}  // namespace platform
