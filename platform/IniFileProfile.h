// The profile (ini file) functions over real files.
#pragma once

#include "platform/Profile.h"

namespace platform {

// Reads go to the file each time (no cache: another program may edit it). Writes re-read the file
// under a lock on its folder, change only the lines concerned and replace the file atomically; a
// new file is created (mode 0666 less the umask) but never its folder. A value that would not read
// back as written (leading or trailing blanks, surrounding quotes) is written in double quotes,
// which the reader strips; a value, key or section holding a line break is refused (false), as it
// would turn into lines of its own.
class IniFileProfile : public Profile {
 public:
  // The default loses trailing blanks, as GetPrivateProfileString does.
  std::string readString(const std::string& file, std::string_view section, std::string_view key,
                         std::string_view defaultValue) const override;
  std::vector<std::string> readSectionKeys(const std::string& file,
                                           std::string_view section) const override;
  bool writeString(const std::string& file, std::string_view section, std::string_view key,
                   std::string_view value) override;
  // true also when the section did not exist.
  bool eraseSection(const std::string& file, std::string_view section) override;
};

}  // namespace platform
