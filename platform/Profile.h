// Ini files through the semantics of the Win32 profile functions
// (GetPrivateProfileString, WritePrivateProfileString, erasing a section).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Section and key names compare without regard to letter case. A missing file reads as empty.
// Writes keep every other section, key, comment and blank line of the file and are atomic.
class Profile {
 public:
  virtual ~Profile() = default;

  virtual std::string readString(const std::string& file, std::string_view section,
                                 std::string_view key, std::string_view defaultValue) const = 0;
  virtual std::vector<std::string> readSectionKeys(const std::string& file,
                                                   std::string_view section) const = 0;
  // false when the file cannot be written; the file is then left as it was.
  virtual bool writeString(const std::string& file, std::string_view section, std::string_view key,
                           std::string_view value) = 0;
  virtual bool eraseSection(const std::string& file, std::string_view section) = 0;
};

}  // namespace platform
