// File-name wildcards as the Win32 file search matches them: * (any run of characters, also none)
// and ? (exactly one character), without regard to letter case. Shared by the POSIX file system and
// the fake file systems of tests.
#pragma once

#include <string_view>

namespace platform {

// A pattern ending in ".*" also matches names without that dot, as "*.*" matches every name on
// Windows ("README" as well as "oci.dll").
bool wildcardMatch(std::string_view pattern, std::string_view name);

}  // namespace platform
