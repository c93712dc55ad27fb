// RegOpenKeyExW and friends. Each call holds its key for its own duration only.
#include "platform/WinRegistry.h"

#include <windows.h>

#include <cstring>
#include <iterator>

#include "platform/internal/WideText.h"

namespace platform {
namespace {

using internal::fromWide;
using internal::toWide;

HKEY rootHandle(RootKey root) {
  return root == RootKey::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

class Key {
 public:
  Key() = default;
  ~Key() {
    if (handle_ != nullptr) ::RegCloseKey(handle_);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;

  bool open(RootKey root, std::string_view path, REGSAM access) {
    return ::RegOpenKeyExW(rootHandle(root), toWide(path).c_str(), 0, access | KEY_WOW64_64KEY,
                           &handle_) == ERROR_SUCCESS;
  }
  bool create(RootKey root, std::string_view path, REGSAM access) {
    return ::RegCreateKeyExW(rootHandle(root), toWide(path).c_str(), 0, nullptr,
                             REG_OPTION_NON_VOLATILE, access | KEY_WOW64_64KEY, nullptr, &handle_,
                             nullptr) == ERROR_SUCCESS;
  }
  HKEY get() const { return handle_; }

 private:
  HKEY handle_ = nullptr;
};

// A string kind's UTF-16 bytes without the terminating NULs the registry may or may not hold.
std::wstring wideOf(const std::string& bytes) {
  std::wstring wide(bytes.size() / sizeof(wchar_t), L'\0');
  std::memcpy(wide.data(), bytes.data(), wide.size() * sizeof(wchar_t));
  while (!wide.empty() && wide.back() == L'\0') wide.pop_back();
  return wide;
}

std::string bytesOf(const std::wstring& wide) {
  return std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
}

RegValue valueOf(DWORD type, std::string bytes) {
  RegValue value;
  switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
      value.type = type == REG_SZ ? RegValueType::String : RegValueType::ExpandString;
      value.data = fromWide(wideOf(bytes));
      break;
    case REG_MULTI_SZ: {
      // "a\0b\0\0" in the registry; "a\0b\0" on the port's side.
      std::wstring wide = wideOf(bytes);
      if (!wide.empty()) wide.push_back(L'\0');
      value.type = RegValueType::MultiString;
      value.data = fromWide(wide);
      break;
    }
    case REG_DWORD:
      value.type = RegValueType::Dword;
      value.data = std::move(bytes);
      break;
    case REG_BINARY:
      value.type = RegValueType::Binary;
      value.data = std::move(bytes);
      break;
    default:
      value.type = RegValueType::Other;
      value.data = std::move(bytes);
      break;
  }
  return value;
}

}  // namespace

bool WinRegistry::keyExists(RootKey root, std::string_view key) const {
  Key k;
  return k.open(root, key, KEY_READ);
}

std::optional<RegValue> WinRegistry::readValue(RootKey root, std::string_view key,
                                               std::string_view name) const {
  Key k;
  if (!k.open(root, key, KEY_QUERY_VALUE)) return std::nullopt;
  const std::wstring wideName = toWide(name);
  // The value may grow between the size query and the read; ask again until it fits.
  for (int attempt = 0; attempt < 8; ++attempt) {
    DWORD type = 0;
    DWORD size = 0;
    LSTATUS status = ::RegQueryValueExW(k.get(), wideName.c_str(), nullptr, &type, nullptr, &size);
    if (status != ERROR_SUCCESS) return std::nullopt;
    std::string bytes(size, '\0');
    status = ::RegQueryValueExW(k.get(), wideName.c_str(), nullptr, &type,
                                reinterpret_cast<BYTE*>(bytes.data()), &size);
    if (status == ERROR_MORE_DATA) continue;
    if (status != ERROR_SUCCESS) return std::nullopt;
    bytes.resize(size);
    return valueOf(type, std::move(bytes));
  }
  return std::nullopt;
}

std::vector<std::string> WinRegistry::subkeys(RootKey root, std::string_view key) const {
  std::vector<std::string> names;
  Key k;
  if (!k.open(root, key, KEY_ENUMERATE_SUB_KEYS)) return names;
  // Key names are at most 255 characters.
  wchar_t buffer[256];
  for (DWORD index = 0;; ++index) {
    DWORD length = static_cast<DWORD>(std::size(buffer));
    const LSTATUS status =
        ::RegEnumKeyExW(k.get(), index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) break;
    names.push_back(fromWide(std::wstring_view(buffer, length)));
  }
  return names;
}

std::vector<std::string> WinRegistry::valueNames(RootKey root, std::string_view key) const {
  std::vector<std::string> names;
  Key k;
  if (!k.open(root, key, KEY_QUERY_VALUE)) return names;
  // Value names are at most 16383 characters.
  std::wstring buffer(16384, L'\0');
  for (DWORD index = 0;; ++index) {
    DWORD length = static_cast<DWORD>(buffer.size());
    const LSTATUS status =
        ::RegEnumValueW(k.get(), index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) break;
    names.push_back(fromWide(std::wstring_view(buffer.data(), length)));
  }
  return names;
}

bool WinRegistry::createKey(RootKey root, std::string_view key) {
  if (root != RootKey::CurrentUser) return false;
  Key k;
  return k.create(root, key, KEY_READ);
}

bool WinRegistry::writeValue(RootKey root, std::string_view key, std::string_view name,
                             const RegValue& value) {
  if (root != RootKey::CurrentUser) return false;
  DWORD type = REG_NONE;
  std::string bytes;
  switch (value.type) {
    case RegValueType::String:
    case RegValueType::ExpandString:
      type = value.type == RegValueType::String ? REG_SZ : REG_EXPAND_SZ;
      bytes = bytesOf(toWide(value.data) + L'\0');
      break;
    case RegValueType::MultiString:
      type = REG_MULTI_SZ;
      // Each string already ends in its NUL; the list's own NUL follows.
      bytes = bytesOf(toWide(value.data) + L'\0');
      break;
    case RegValueType::Dword:
      if (value.data.size() != sizeof(DWORD)) return false;
      type = REG_DWORD;
      bytes = value.data;
      break;
    case RegValueType::Binary:
      type = REG_BINARY;
      bytes = value.data;
      break;
    case RegValueType::Other:
      bytes = value.data;
      break;
  }
  Key k;
  if (!k.create(root, key, KEY_SET_VALUE)) return false;
  return ::RegSetValueExW(k.get(), toWide(name).c_str(), 0, type,
                          reinterpret_cast<const BYTE*>(bytes.data()),
                          static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

bool WinRegistry::deleteValue(RootKey root, std::string_view key, std::string_view name) {
  if (root != RootKey::CurrentUser) return false;
  Key k;
  if (!k.open(root, key, KEY_SET_VALUE)) return false;
  return ::RegDeleteValueW(k.get(), toWide(name).c_str()) == ERROR_SUCCESS;
}

}  // namespace platform
